// Text-mode reading and writing of line files.
#include "engine/text_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

TextReader::TextReader(const char* path, CtrlZ ctrlZ) : file(Os().openFile(path, OpenMode::Read)), ctrlZ(ctrlZ) {}

bool TextReader::fill()
{
    if (ended || !file)
        return false;
    available = file->read(buffer, sizeof buffer);
    position = 0;
    if (available == 0)
        ended = true;
    return available > 0;
}

// True when one of the eight bytes of `word` is `byte`: a byte equal to it
// becomes zero, and a zero byte is the one whose high bit survives.
static bool HasByte(uint64_t word, unsigned char byte)
{
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t highBits = 0x8080808080808080u;
    const uint64_t zeroWhereEqual = word ^ (ones * byte);
    return ((zeroWhereEqual - ones) & ~zeroWhereEqual & highBits) != 0;
}

// Copies the run of ordinary bytes at the start of `text` (at most
// `length`) to `out` and answers its length: it ends before the first CR,
// LF or, when it ends the text, Ctrl-Z. Bytes are looked at eight at a time
// while none of the eight can end the run, then one by one.
static size_t CopyPlainRun(const char* text, size_t length, bool ctrlZEnds, char* out)
{
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        if (HasByte(word, '\r') || HasByte(word, '\n') || (ctrlZEnds && HasByte(word, 0x1A)))
            break;
        std::memcpy(out + i, &word, 8);
    }
    for (; i < length; i++) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || (ctrlZEnds && c == 0x1A))
            break;
        out[i] = c;
    }
    return i;
}

bool TextReader::readLine(char* line, int size)
{
    if (!file || size <= 1)
        return false;
    const size_t limit = static_cast<size_t>(size - 1);
    size_t n = 0;
    while (n < limit) {
        if (position == available && !fill())
            break;
        // Whole runs of ordinary bytes are copied at once; only the byte
        // that ends a run is looked at on its own.
        const size_t span = std::min(available - position, limit - n);
        const size_t plain = CopyPlainRun(buffer + position, span, ctrlZ == CtrlZ::EndsText, line + n);
        n += plain;
        position += plain;
        if (plain == span)
            continue;
        const char c = buffer[position++];
        if (c == '\r')
            continue;
        if (c == '\n') {
            line[n++] = c;
            break;
        }
        ended = true;  // Ctrl-Z: nothing after it is text
        available = position = 0;
        break;
    }
    line[n] = 0;
    if (file->failed())
        return false;
    return n > 0;
}

TextWriter::TextWriter(const char* path, OpenMode mode) : file(Os().openFile(path, mode)) {}

TextWriter::~TextWriter()
{
    if (file)
        finish();
}

void TextWriter::drain()
{
    if (used > 0 && file && ok && file->write(buffer, used) != used)
        ok = false;
    used = 0;
}

void TextWriter::put(char c)
{
    if (used == sizeof buffer)
        drain();
    buffer[used++] = c;
}

void TextWriter::putRun(const char* bytes, size_t size)
{
    while (size > 0) {
        if (used == sizeof buffer)
            drain();
        const size_t part = std::min(size, sizeof buffer - used);
        std::memcpy(buffer + used, bytes, part);
        used += part;
        bytes += part;
        size -= part;
    }
}

void TextWriter::write(const char* text)
{
    for (const char* p = text; *p;) {
        const size_t run = std::strcspn(p, "\n");
        putRun(p, run);
        p += run;
        if (*p == '\n') {
            put('\r');
            put('\n');
            p++;
        }
    }
}

void TextWriter::writeLine(const char* text)
{
    write(text);
    write("\n");
}

bool TextWriter::flush()
{
    if (!file)
        return false;
    drain();
    if (!file->flush())
        ok = false;
    return ok;
}

bool TextWriter::finish()
{
    if (!file)
        return false;
    drain();
    if (!file->close())
        ok = false;
    file.reset();
    return ok;
}
