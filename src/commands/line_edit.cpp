// Line-file editing: cmd_insert and cmd_delete behind a verified numbered
// backup, with the rewrite made beside the file.
#include "commands/line_edit.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "commands/file_operations.h"
#include "commands/file_probes.h"
#include "commands/temp_file.h"
#include "engine/command_table.h"
#include "engine/text_file.h"
#include "engine/tokenizer.h"
#include "platform/platform.h"

namespace {

const char BackupLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// The first part of both commands: FILE is looked for, opened and scanned
// for a line equal to LINE. `wholeFile` reads on after a match. Answers 1 found,
// 0 not found, -1 unreadable (message appended). LINE is trimmed with the
// first line read; when no line is read it stays as it came.
int ScanFile(SessionContext& context, const char* file, char* line, bool wholeFile)
{
    if (!FileExists(file))
        AppendReport(context, "\r\nDatei %s nicht gefunden!", file);
    TextReader reader(file);
    // A file of 2 GiB or more cannot be backed up; it is refused before it
    // is read rather than scanned in vain.
    bool readable = reader.isOpen() && FileLength(file) >= 0;
    int found = 0;
    char piece[LineSize];
    while (readable && reader.readLine(piece)) {
        TrimLine(piece);
        TrimLine(line);
        if (EqualsFolded(piece, line)) {
            found = 1;
            if (!wholeFile)
                return found;
        }
    }
    // A read error is not the end of the file: what was not read cannot be
    // judged, nor may the file be rewritten on that ground.
    if (!readable || reader.failed()) {
        AppendReport(context, "\rKann nDatei %s nicht lesen!", file);
        return -1;
    }
    return found;
}

// Before any change: a free backup name in `backup` and a copy of FILE under it
// that compares identical to FILE.
bool MakeVerifiedBackup(SessionContext& context, const char* file, char* backup, size_t size)
{
    if (!JoinFits(backup, size, file)) {
        AppendReport(context, "\r\nKonnte kein Backup %s schreiben!", file);
        return false;
    }
    if (!MakeBackupName(backup, size)) {
        AppendReport(context, "\r\nKonnte kein Backup %s schreiben!", backup);
        return false;
    }
    CopyFileVerified(backup, file, 1, 1);
    if (CompareFiles(backup, file) != 1) {
        AppendReport(context, "\r\nKonnte kein Backup %s schreiben!", backup);
        return false;
    }
    return true;
}

enum class Fill { Complete, BackupUnreadable, NotWritten };

// The new content: `first` (when given), then every line of the backup,
// trimmed, except those equal to `drop` (when given).
Fill FillNewContent(TextWriter& writer, const char* backup, const char* first, const char* drop)
{
    if (first)
        writer.writeLine(first);
    TextReader reader(backup);
    if (!reader.isOpen())
        return Fill::BackupUnreadable;
    char piece[LineSize];
    while (reader.readLine(piece)) {
        TrimLine(piece);
        if (!drop || !EqualsFolded(piece, drop))
            writer.writeLine(piece);
    }
    if (reader.failed())
        return Fill::BackupUnreadable;
    return writer.flush() ? Fill::Complete : Fill::NotWritten;
}

bool Writable(const char* path)
{
    FileAttributes attributes;
    return Os().attributes(path, attributes) == FsStatus::Ok && !attributes.readOnly;
}

// The change itself: the new content is written into a file beside FILE and put
// in FILE's place once it is complete. On any failure FILE stays as it was
// and the file beside it is removed. 1 done, -1 failed (message appended).
int Rewrite(SessionContext& context, const char* file, const char* backup, const char* first,
            const char* drop)
{
    char temp[FieldSize];
    std::optional<TextWriter> writer;
    // A read-only FILE is not to be replaced (and could not be on Windows).
    const bool created = Writable(file) && CreateTempBeside(temp, sizeof temp, file, [&](const char* name) {
        writer.emplace(name, OpenMode::CreateNew);
        return writer->isOpen();
    });
    if (!created) {
        AppendReport(context, "\r\nKonnte %s nicht schreiben!", file);
        return -1;
    }
    Fill outcome = FillNewContent(*writer, backup, first, drop);
    if (!writer->finish() && outcome == Fill::Complete)
        outcome = Fill::NotWritten;
    // Atomic on POSIX (rename); see CopyFileVerified for Win32.
    if (outcome == Fill::Complete && !Os().replaceFile(temp, file))
        outcome = Fill::NotWritten;
    if (outcome == Fill::Complete)
        return 1;
    Os().removeFile(temp);
    if (outcome == Fill::BackupUnreadable)
        AppendReport(context, "\r\nKonnte %s nicht lesen!", backup);
    else
        AppendReport(context, "\r\nKonnte %s nicht schreiben!", file);
    return -1;
}

}  // namespace

int MakeBackupName(char* name, size_t size)
{
    if (!name || !*name)
        return 0;
    char* dot = std::strrchr(name, '.');
    if (!dot || static_cast<size_t>(dot - name) + 5 > size)
        return 0;
    for (const char* letter = BackupLetters; *letter; letter++) {
        for (int number = 0; number < 100; number++) {
            std::snprintf(dot, 5, ".%c%02d", *letter, number);
            if (!FileExists(name))
                return 1;
        }
    }
    return 0;
}

int InsertLine(SessionContext& context, const char* file, char* line)
{
    const int found = ScanFile(context, file, line, false);
    if (found != 0)
        return found == 1 ? 0 : -1;
    char backup[BackupNameSize];
    if (!MakeVerifiedBackup(context, file, backup, sizeof backup))
        return -1;
    return Rewrite(context, file, backup, line, nullptr);
}

int DeleteLine(SessionContext& context, const char* file, char* line)
{
    const int found = ScanFile(context, file, line, true);
    if (found != 1)
        return found;  // 0: nothing to remove, no backup; -1: unreadable
    char backup[BackupNameSize];
    if (!MakeVerifiedBackup(context, file, backup, sizeof backup))
        return -1;
    return Rewrite(context, file, backup, nullptr, line);
}

LineResult CmdInsertCommand(SessionContext& context)
{
    EchoTokens(context);
    switch (InsertLine(context, context.tokens[1], context.tokens[2])) {
    case 1:
        AppendReport(context, " aktualisiert.");
        return LineDone;
    case 0:
        AppendReport(context, " schon da.");
        return LineDone;
    default:
        return LineFailed;
    }
}

LineResult CmdDeleteCommand(SessionContext& context)
{
    EchoTokens(context);
    switch (DeleteLine(context, context.tokens[1], context.tokens[2])) {
    case 1:
        AppendReport(context, " ausgef\xfchrt");
        return LineDone;
    case 0:
        AppendReport(context, " unn\xf6tig.");
        return LineDone;
    default:
        return LineFailed;
    }
}
