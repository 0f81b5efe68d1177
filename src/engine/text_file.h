// Line files in text mode, the way every reader and writer of the system
// treats them: on reading every CR byte is dropped and a Ctrl-Z byte ends the
// text; a line is read in pieces of at most 259 characters (with its line
// feed when it fits), each piece handled as a line of its own. On writing
// every line feed is stored as CR LF.
#pragma once

#include <memory>

#include "engine/session.h"
#include "platform/platform.h"

class TextReader {
public:
    // Whether a Ctrl-Z byte ends the text, as text mode has it, or is an
    // ordinary byte, for a file that must be read to its physical end.
    enum class CtrlZ { EndsText, Ordinary };
    explicit TextReader(const char* path, CtrlZ ctrlZ = CtrlZ::EndsText);
    bool isOpen() const { return file != nullptr; }
    // Reads the next piece into `line` (room for size - 1 characters and a
    // terminator). False at the end of the text or after a read error; the
    // piece being read when an error happens is dropped.
    bool readLine(char* line, int size = LineSize);
    // True when reading stopped at a read error rather than at the end.
    bool failed() const { return file && file->failed(); }

private:
    bool fill();

    std::unique_ptr<File> file;
    CtrlZ ctrlZ;
    bool ended = false;
    size_t position = 0;
    size_t available = 0;
    char buffer[16384];
};

class TextWriter {
public:
    TextWriter(const char* path, OpenMode mode);
    ~TextWriter();
    bool isOpen() const { return file != nullptr; }
    // Writes `text`, every line feed in it as CR LF.
    void write(const char* text);
    // Writes `text` and a line end.
    void writeLine(const char* text);
    // Writes out what is buffered and makes it durable: true when every
    // byte so far reached the file.
    bool flush();
    // Writes out what is buffered and closes: true when every byte reached
    // the file.
    bool finish();

private:
    void put(char c);
    void drain();

    std::unique_ptr<File> file;
    bool ok = true;
    size_t used = 0;
    char buffer[16384];
};
