// How both platform implementations hand a text back to their caller's
// buffer: whole or not at all (names, paths), or cut to fit (values the
// caller may shorten, such as environment variables).
#pragma once

#include <cstddef>
#include <cstring>

// Copies `text` with its terminator when it fits `size`; false otherwise,
// and then nothing is written.
inline bool CopyIfFits(const char* text, char* out, size_t size)
{
    const size_t length = std::strlen(text);
    if (!out || length >= size)
        return false;
    std::memcpy(out, text, length + 1);
    return true;
}

// Copies at most size - 1 characters of `text` and a terminator.
inline void CopyCut(const char* text, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    const size_t length = std::strlen(text);
    const size_t count = length < size - 1 ? length : size - 1;
    std::memcpy(out, text, count);
    out[count] = '\0';
}
