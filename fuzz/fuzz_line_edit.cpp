// Fuzz target: cmd_insert and cmd_delete on an arbitrary file and LINE, inside
// a temporary directory (every file access outside it is refused).
//
// Input: the first byte chooses the case, LINE runs up to the first NUL byte,
// and the rest is the file's content.
//   bit 0  0 cmd_insert, 1 cmd_delete
//   bit 1  through the executor, as the script line
//          cmd_insert "FILE" "LINE" (LINE loses its quote characters)
//   bit 2  FILE is read-only
//   bit 3  FILE does not exist (with bit 2: a directory of that name)
//
// After every run the outcome is checked against a model of the edit built
// here from the original bytes alone: the file is unchanged, or holds exactly
// the expected lines and a backup beside it holds the original bytes; nothing
// else is left in the directory; the session's invariants hold.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "commands/line_edit.h"
#include "engine/executor.h"
#include "engine/tokenizer.h"
#include "invariants.h"
#include "sandbox_platform.h"

namespace {

// --- The model ------------------------------------------------------------

std::string Trimmed(const std::string& text)
{
    size_t start = 0;
    while (start < text.size() && text[start] >= 0x01 && static_cast<unsigned char>(text[start]) <= 0x20)
        start++;
    size_t end = text.size();
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        end--;
    return text.substr(start, end - start);
}

// The lines of `bytes` as text mode reads them: CR dropped, Ctrl-Z ends the
// text, a piece ends after its line feed or at 259 characters; a piece is a
// C text (it ends at a NUL byte) and is compared trimmed.
std::vector<std::string> TrimmedPieces(const std::string& bytes)
{
    std::vector<std::string> raw;
    std::string piece;
    for (char c : bytes) {
        if (c == '\r')
            continue;
        if (c == 0x1A)
            break;
        piece += c;
        if (c == '\n' || piece.size() == 259) {
            raw.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty())
        raw.push_back(piece);

    std::vector<std::string> pieces;
    for (std::string& text : raw)
        pieces.push_back(Trimmed(text.c_str()));
    return pieces;
}

bool SameFolded(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return false;
    }
    return true;
}

// A line as the text writer stores it: every LF as CR LF, then CR LF.
std::string Stored(const std::string& line)
{
    std::string out;
    for (char c : line) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out + "\r\n";
}

struct Expected {
    bool changed;
    std::string content;  // when changed
};

Expected Model(bool insert, const std::string& original, std::string line)
{
    const std::vector<std::string> pieces = TrimmedPieces(original);
    // LINE is trimmed along with the first line read; with no line it stays.
    if (!pieces.empty())
        line = Trimmed(line);
    bool found = false;
    for (const std::string& piece : pieces)
        found = found || SameFolded(piece, line);
    if (insert == found)
        return {false, ""};
    std::string content = insert ? Stored(line) : "";
    for (const std::string& piece : pieces)
        if (insert || !SameFolded(piece, line))
            content += Stored(piece);
    return {true, content};
}

// --- The run ----------------------------------------------------------------

struct Directory {
    std::string root;
    std::string file;
    std::string backup;
    std::unique_ptr<SandboxPlatform> platform;

    Directory()
    {
        // Every edit makes its writes durable; in memory that costs nothing,
        // on a disk it would cost most of the runs.
        const bool memory = std::filesystem::is_directory("/dev/shm");
        std::string pattern = std::string(memory ? "/dev/shm" : "/tmp") + "/tallmoor-fuzz-edit-XXXXXX";
        root = mkdtemp(pattern.data());
        file = root + "/edit.txt";
        backup = root + "/edit.000";
        platform = std::make_unique<SandboxPlatform>(root);
        SetPlatform(platform.get());
    }

    // Every run starts from an empty directory: the backups of earlier runs
    // would otherwise fill the 3600 backup names.
    void clear() const
    {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(root, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(entry.path(), ignored);
        }
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(root))
            found.push_back(entry.path().filename().string());
        return found;
    }
};

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// 1 changed, 0 nothing to do, -1 failed: what the command answers.
int RunCommand(SessionContext& context, bool insert, bool executor, const std::string& file,
               std::string& line)
{
    if (!executor) {
        char slot[FieldSize];
        CopyBounded(slot, line.c_str(), sizeof slot);
        const int result = insert ? InsertLine(context, file.c_str(), slot) : DeleteLine(context, file.c_str(), slot);
        CheckSession(context);
        return result;
    }
    const std::string script = std::string(insert ? "cmd_insert" : "cmd_delete") + " \"" + file + "\" \"" + line + "\"";
    static SessionContext scratch;
    Require(SplitLine(scratch, script.c_str()) == 3, "the script line gives three tokens");
    Require(line == scratch.tokens[2], "LINE is the quoted token");
    const LineResult result = ExecuteLine(context, script.c_str());
    CheckSession(context);
    if (result == LineFailed)
        return -1;
    Require(result == LineDone, "a line edit is done or failed");
    const bool changed = EndsWith(context.report, insert ? " aktualisiert." : " ausgef\xfc" "hrt");
    const bool unneeded = EndsWith(context.report, insert ? " schon da." : " unn\xf6tig.");
    Require(changed != unneeded, "the report says whether the file was changed");
    return changed ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Directory dir;
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const bool insert = (mode & 1) == 0;
    bool executor = (mode & 2) != 0;
    const bool readOnly = (mode & 4) != 0;
    const bool missing = (mode & 8) != 0;

    const char* rest = reinterpret_cast<const char*>(data + 1);
    const char* end = reinterpret_cast<const char*>(data + size);
    const char* separator = static_cast<const char*>(std::memchr(rest, 0, end - rest));
    std::string line(rest, separator ? separator : end);
    const std::string original(separator ? separator + 1 : end, end);

    // The script line must fit a line buffer, and an empty token is no token.
    if (executor) {
        std::string unquoted;
        for (char c : line)
            if (c != '"')
                unquoted += c;
        line = unquoted.substr(0, LineSize - 1 - dir.file.size() - 16);
        executor = !line.empty();
    }
    line = line.substr(0, TokenLimit);

    dir.clear();
    if (missing && readOnly)
        std::filesystem::create_directory(dir.file);
    else if (!missing)
        Write(dir.file, original);
    if (readOnly && !missing)
        std::filesystem::permissions(dir.file, std::filesystem::perms::owner_read);

    static SessionContext context;
    ClearSession(context);
    const int result = RunCommand(context, insert, executor, dir.file, line);

    const Expected expected = Model(insert, original, line);
    if (missing) {
        Require(result == -1, "a missing file fails");
        Require(dir.names().size() == (readOnly ? 1u : 0u), "nothing is created");
        return 0;
    }
    const std::string now = Read(dir.file);
    const std::vector<std::string> names = dir.names();
    const bool backedUp = std::filesystem::exists(dir.backup);
    if (backedUp)
        Require(Read(dir.backup) == original, "the backup holds the original bytes");
    Require(names.size() == 1u + backedUp, "nothing but FILE and its backup is left");

    // An empty backup never compares identical: an empty FILE gets no line.
    if (insert && original.empty()) {
        Require(result == -1, "an empty file cannot be backed up");
        Require(now.empty(), "an empty file stays empty");
    } else if (readOnly && expected.changed) {
        Require(result == -1, "a read-only file is not rewritten");
        Require(now == original, "a read-only file stays as it was");
    } else if (expected.changed) {
        Require(result == 1, "the edit is made when the model changes the file");
        Require(now == expected.content, "the file holds exactly the expected lines");
        Require(backedUp, "a changed file has a backup");
    } else {
        Require(result == 0, "nothing to do is no failure");
        Require(now == original, "an unchanged file keeps its bytes");
        Require(!backedUp, "no backup without a change");
    }
    return 0;
}
