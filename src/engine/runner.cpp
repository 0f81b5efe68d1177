// Script runner.
//
// Header (date and time, operating system, computer, user, adapter address),
// then the script line by line: comments (";" or "#" first after trimming)
// are dropped, every other line goes to the executor, whose answer becomes a
// line end, a failure mark or the end of the run.
#include "engine/runner.h"

#include "engine/executor.h"
#include "engine/text_file.h"
#include "engine/tokenizer.h"
#include "facts/facts.h"

static void AppendHeader(SessionContext& context)
{
    DateTimeText(context, 1);
    AppendReport(context, "\r\n");
    AppendOsVersion(context);
    ReadComputerName(context);
    ReadMacAddress(context);
    AppendReport(context, "Computer: %s\r\n", context.computerName);
    AppendReport(context, "Username: %s\r\n", context.userName);
    AppendReport(context, "MacAddress: %s\r\n", context.macAddress);
}

// Runs the lines of an open script; answers whether the run was aborted.
static bool RunLines(SessionContext& context, TextReader& script)
{
    char line[LineSize];
    while (script.readLine(line)) {
        TrimLine(line);
        if (CharInSet(";#", static_cast<unsigned char>(line[0])))
            continue;
        switch (ExecuteLine(context, line)) {
        case LineDone:
            AppendReport(context, "\r\n");
            break;
        case LineFailed:
            AppendReport(context, " <-- Nicht ausgef\xfchrt!\r\n");
            break;
        case LineAbort:
            return true;
        case LineStop:
            return false;
        case LineSkipped:
        case LineIgnored:
            break;
        }
    }
    return false;
}

const char* RunScript(SessionContext& context, bool& aborted)
{
    aborted = false;
    context.ifDepth = 0;
    context.excessDepth = 0;
    AppendHeader(context);
    if (!context.computerName[0] || !context.macAddress[0]) {
        AppendReport(context, "Netzwerk unvollst\xe4ndig installiert");
        return context.report;
    }

    {
        TextReader script(context.scriptPath);
        if (!script.isOpen()) {
            AppendReport(context, "Konnte Scriptfile nicht \xf6" "ffnen!\r\n");
        } else {
            AppendReport(context, "Ausf\xfchren von %s\r\n", context.scriptPath);
            aborted = RunLines(context, script);
        }
    }

    if (OpenBlocks(context) > 0)
        AppendReport(context, "%d-mal zu viel 'if'\r\n", OpenBlocks(context));
    return context.report;
}
