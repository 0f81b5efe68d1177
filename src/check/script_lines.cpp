// Reading a script twice: its raw bytes for the physical lines, and through
// TextReader for the pieces the runner executes.
#include "check/script_lines.h"

#include "engine/session.h"
#include "engine/text_file.h"
#include "platform/platform.h"

// Scripts are small; this bounds the memory a stray huge file can take.
constexpr size_t MaxScriptBytes = 16 * 1024 * 1024;

static bool ReadAllBytes(const char* path, std::string& out)
{
    std::unique_ptr<File> file = Os().openFile(path, OpenMode::Read);
    if (!file)
        return false;
    char chunk[16384];
    size_t got;
    while (out.size() < MaxScriptBytes && (got = file->read(chunk, sizeof chunk)) > 0)
        out.append(chunk, got);
    return !file->failed();
}

// Cuts the bytes into physical lines, ending at the first Ctrl-Z as the
// text-mode reader does.
static void CutLines(ScriptText& script)
{
    const size_t ctrlZ = script.bytes.find('\x1a');
    if (ctrlZ != std::string::npos) {
        for (size_t i = ctrlZ + 1; i < script.bytes.size(); i++)
            if (static_cast<unsigned char>(script.bytes[i]) > 0x20)
                script.textAfterCtrlZ = true;
        script.bytes.resize(ctrlZ);
    }
    ScriptLine line;
    line.number = 1;
    for (char c : script.bytes) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            line.endsWithLineFeed = true;
            script.lines.push_back(line);
            line.endsWithLineFeed = false;
            line.text.clear();
            line.number++;
            continue;
        }
        line.text += c;
    }
    if (!line.text.empty())
        script.lines.push_back(line);
    if (ctrlZ != std::string::npos)
        script.ctrlZLine = line.number;
}

// How many pieces TextReader makes of a physical line: 259 characters per
// piece, the line feed counted.
static size_t PieceCount(const ScriptLine& line)
{
    const size_t total = line.text.size() + (line.endsWithLineFeed ? 1 : 0);
    const size_t perPiece = LineSize - 1;
    return (total + perPiece - 1) / perPiece;
}

ScriptText ReadScriptText(const char* path)
{
    ScriptText script;
    if (!ReadAllBytes(path, script.bytes))
        return script;
    script.readable = true;
    CutLines(script);

    TextReader reader(path);
    char piece[LineSize];
    for (ScriptLine& line : script.lines) {
        for (size_t n = PieceCount(line); n > 0; n--) {
            if (!reader.readLine(piece))
                return script;
            line.pieces.emplace_back(piece);
        }
    }
    return script;
}
