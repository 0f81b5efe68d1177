// Self-update and the log file.
#include "commands/self_update.h"

#include <cstring>

#include "commands/file_operations.h"
#include "commands/file_probes.h"
#include "commands/program_launch.h"
#include "commands/temp_file.h"
#include "engine/command_table.h"
#include "platform/platform.h"

namespace {

// Builds the three paths anew; false when one of them does not fit its
// field (the fields are then left empty rather than naming another file).
bool BuildUpdatePaths(SessionContext& context)
{
    const bool local = JoinFits(context.localExePath, FieldSize, context.exeDir, "\\tallmoor.exe");
    const bool server = JoinFits(context.serverExePath, FieldSize, context.logonPath, "\\tallmoor.exe");
    const bool updater = JoinFits(context.updaterPath, FieldSize, context.logonPath, "\\", context.tokens[1]);
    return local && server && updater;
}

}  // namespace

// The log is written beside its place and replaces the old one only when it
// is complete: a full disk or a write error leaves the previous log whole
// rather than a part of the new one.
int WriteLogFile(SessionContext& context)
{
    char path[FieldSize];
    if (!JoinFits(path, sizeof path, context.exeDir, "\\Tallmoor.log"))
        return 0;
    // A read-only log cannot be opened for writing, so it is not replaced.
    FileAttributes attributes;
    const FsStatus status = Os().attributes(path, attributes);
    if (status == FsStatus::Ok && (attributes.readOnly || attributes.directory))
        return 0;
    char temp[FieldSize + 4];
    std::unique_ptr<File> log;
    const bool created = CreateTempBeside(temp, sizeof temp, path, [&](const char* name) {
        log = Os().openFile(name, OpenMode::CreateNew);
        return log != nullptr;
    });
    if (!created)
        return 0;
    const size_t length = strnlen(context.report, ReportSize);
    bool written = log->write(context.report, length) == length;
    written = log->flush() && written;
    written = log->close() && written;
    if (written && Os().replaceFile(temp, path))
        return 1;
    Os().removeFile(temp);
    return 0;
}

LineResult SelfUpdate(SessionContext& context)
{
    EchoTokens(context);
    if (!BuildUpdatePaths(context))
        return LineFailed;
    if (CompareFiles(context.serverExePath, context.localExePath) == 1) {
        AppendReport(context, "\r\nTallMoor ist aktuell.");
        return LineDone;
    }
    AppendReport(context, "\r\n%s ist verschieden zu %s.", context.serverExePath, context.localExePath);
    if (!FileExists(context.updaterPath)) {
        AppendReport(context, "\r\nUpdater %s nicht gefunden!", context.updaterPath);
        return LineFailed;
    }
    AppendReport(context, "\r\n%s %s\r\nShutdown\r\n", context.updaterPath, context.exeDir);
    WriteLogFile(context);
    StartProcess(StartMode::NoWait, context.updaterPath, {context.updaterPath, context.exeDir});
    return LineAbort;
}
