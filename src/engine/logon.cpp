// A logon without the window.
#include "engine/logon.h"

#include "engine/runner.h"
#include "engine/start_file.h"
#include "facts/facts.h"
#include "platform/platform.h"

bool FileReadable(const char* path)
{
    std::unique_ptr<File> file = Os().openFile(path, OpenMode::Read);
    return file != nullptr;
}

LogonOutcome RunLogon(SessionContext& context, const char* programDir)
{
    LogonOutcome outcome;
    SetExeDir(context, programDir);
    outcome.startFileRead = ReadStartFile(context, programDir);
    if (outcome.startFileRead) {
        SetUserName(context, ReadUserName());
        outcome.userKnown = context.userName[0] != 0;
        outcome.scriptFound = outcome.userKnown && FileReadable(context.scriptPath);
        if (outcome.scriptFound) {
            RunScript(context, outcome.aborted);
            outcome.ran = true;
        }
    }
    outcome.report = context.report;
    return outcome;
}
