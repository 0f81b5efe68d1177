// Self-update and the log file.
#include "commands/self_update.h"

#include <cstring>

#include "commands/file_operations.h"
#include "commands/file_probes.h"
#include "commands/program_launch.h"
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

int WriteLogFile(SessionContext& context)
{
    char path[FieldSize];
    if (!JoinFits(path, sizeof path, context.exeDir, "\\Tallmoor.log"))
        return 0;
    std::unique_ptr<File> log = Os().openFile(path, OpenMode::Write);
    if (!log)
        return 0;
    const size_t length = strnlen(context.report, ReportSize);
    const bool written = log->write(context.report, length) == length;
    return log->close() && written ? 1 : 0;
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
