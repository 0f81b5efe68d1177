// The run journal and the command runonce.
#include "commands/run_journal.h"

#include <cstdio>
#include <cstring>

#include "commands/file_probes.h"
#include "commands/program_launch.h"
#include "engine/command_table.h"
#include "engine/text_file.h"
#include "engine/tokenizer.h"
#include "platform/platform.h"

namespace {

const char JournalName[] = "tallmoor.run";

// A 259-character path and the fixed part: at most 296 characters.
char fingerprint[300];

// DOS dates cover 1980 to 2107 in two-second steps. A time outside that range
// is held at its nearer end, so that every file still has a fingerprint.
LocalTime DosResolution(LocalTime time)
{
    if (time.year < 1980)
        return LocalTime{1980, 1, 1, 0, 0, 0};
    if (time.year > 2107)
        return LocalTime{2107, 12, 31, 23, 59, 58};
    time.second &= ~1;
    return time;
}

// EqualsFolded(CollapseBlanks(line), entry) in one pass that stops at the
// first difference: every run of blanks in `line` stands for one blank.
bool EqualsCollapsedFolded(const char* line, const char* entry)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(line);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(entry);
    for (;;) {
        if (IsBlank(*x)) {
            while (IsBlank(*x))
                x++;
            if (*y++ != ' ')
                return false;
            continue;
        }
        if (FoldCase(*x) != FoldCase(*y))
            return false;
        if (*x == 0)
            return true;
        x++;
        y++;
    }
}

// True when the journal holds the fingerprint on a line of its own, ignoring
// blanks around and doubled blanks inside the line and the case of A-Z. The
// journal is read to its end whatever it holds; a missing journal is empty.
bool JournalHolds(const char* journal, const char* entry)
{
    TextReader reader(journal, TextReader::CtrlZ::Ordinary);
    char line[LineSize];
    bool found = false;
    while (reader.readLine(line)) {
        TrimLine(line);
        if (EqualsCollapsedFolded(line, entry))
            found = true;
    }
    return found;
}

// True when the file exists, is not empty and its last byte is no line
// feed: an entry appended as it is would be glued onto that last line. A
// file that exists but cannot be read to its end counts as ending inside a
// line: an empty line more is harmless, a glued entry spoils the last one.
bool EndsInsideLine(const char* path)
{
    std::unique_ptr<File> file = Os().openFile(path, OpenMode::Read);
    if (!file) {
        FileAttributes attributes;
        return Os().attributes(path, attributes) == FsStatus::Ok;
    }
    char chunk[4096];
    char last = '\n';
    size_t got;
    while ((got = file->read(chunk, sizeof chunk)) > 0)
        last = chunk[got - 1];
    return last != '\n' || file->failed();
}

// Appends the entry on a line of its own; false when it was not written.
bool AppendEntry(const char* journal, const char* entry)
{
    const bool needsLineEnd = EndsInsideLine(journal);
    TextWriter writer(journal, OpenMode::Append);
    if (!writer.isOpen())
        return false;
    if (needsLineEnd)
        writer.write("\n");
    writer.writeLine(entry);
    return writer.finish();
}

}  // namespace

const char* FileFingerprint(const char* path)
{
    FoundFile found;
    if (!path || std::strlen(path) >= LineSize || !Os().findFile(path, found))
        return nullptr;
    const LocalTime t = DosResolution(found.lastWrite);
    const long size = static_cast<int32_t>(static_cast<uint32_t>(found.size));
    std::snprintf(fingerprint, sizeof fingerprint, "%s %ld Byte %04d-%02d-%02d %02d:%02d:%02d", path, size,
                  t.year, t.month, t.day, t.hour, t.minute, t.second);
    return fingerprint;
}

int RunOnce(SessionContext& context, const char* fileName)
{
    char program[LineSize];
    char journal[LineSize];
    char entry[sizeof fingerprint];
    if (!JoinFits(program, sizeof program, context.logonPath, "\\", fileName))
        return -1;
    const char* print = FileFingerprint(program);
    if (!print)
        return -1;
    CopyBounded(entry, print, sizeof entry);
    if (!JoinFits(journal, sizeof journal, context.exeDir, "\\", JournalName))
        return -1;
    if (JournalHolds(journal, entry))
        return 0;
    if (!FileExists(program))
        return -1;
    StartProcess(StartMode::Wait, program, {program});
    return AppendEntry(journal, entry) ? 1 : -1;
}

LineResult RunOnceCommand(SessionContext& context)
{
    EchoTokens(context);
    switch (RunOnce(context, context.tokens[1])) {
    case 0:
        AppendReport(context, " unn\xf6tig.");
        return LineDone;
    case 1:
        AppendReport(context, " ausgef\xfchrt");
        return LineDone;
    default:
        return LineFailed;
    }
}
