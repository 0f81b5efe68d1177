// Text-mode reading and writing of line files.
#include "engine/text_file.h"

#include <algorithm>
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

// Copies the run of ordinary bytes at the start of `text` (at most
// `length`) to `out` and answers its length: it ends before the first CR,
// LF or, when it ends the text, Ctrl-Z.
static size_t CopyPlainRun(const char* text, size_t length, bool ctrlZEnds, char* out)
{
    static const struct Stops {
        bool withCtrlZ[256] = {};
        bool withoutCtrlZ[256] = {};
        Stops()
        {
            withCtrlZ['\r'] = withCtrlZ['\n'] = withCtrlZ[0x1A] = true;
            withoutCtrlZ['\r'] = withoutCtrlZ['\n'] = true;
        }
    } stops;
    const bool* stop = ctrlZEnds ? stops.withCtrlZ : stops.withoutCtrlZ;
    size_t i = 0;
    for (; i < length; i++) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (stop[c])
            break;
        out[i] = static_cast<char>(c);
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
        size_t run = 0;
        while (p[run] && p[run] != '\n')
            run++;
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
