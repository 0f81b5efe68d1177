// Text-mode reading and writing of line files.
#include "engine/text_file.h"

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

bool TextReader::readLine(char* line, int size)
{
    if (!file || size <= 1)
        return false;
    int n = 0;
    while (n < size - 1) {
        if (position == available && !fill())
            break;
        char c = buffer[position++];
        if (c == '\r')
            continue;
        if (c == 0x1A && ctrlZ == CtrlZ::EndsText) {  // Ctrl-Z: nothing after it is text
            ended = true;
            available = position = 0;
            break;
        }
        line[n++] = c;
        if (c == '\n')
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

void TextWriter::write(const char* text)
{
    for (const char* p = text; *p; p++) {
        if (*p == '\n')
            put('\r');
        put(*p);
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
