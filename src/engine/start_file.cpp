// Start-file reader.
//
// A line counts when it has exactly three tokens: a key (server or
// logonalias), a token beginning with "=", and the value. Every other line is
// ignored without a message; the last counting line of a key wins.
#include "engine/start_file.h"

#include <cstring>

#include "engine/text_file.h"
#include "engine/tokenizer.h"

static void TakeLine(SessionContext& context, const char* line)
{
    if (SplitLine(context, line) != 3 || context.tokens[1][0] != '=')
        return;
    const char* value = context.tokens[2];
    if (EqualsFolded(context.tokens[0], "server")) {
        if (value[0] == '\\' || value[1] == '\\')
            CopyBounded(context.serverName, value, FieldSize);
        else
            JoinFits(context.serverName, FieldSize, "\\\\", value);
    } else if (EqualsFolded(context.tokens[0], "logonalias")) {
        CopyBounded(context.logonAlias, value, FieldSize);
    }
}

bool ReadStartFile(SessionContext& context, const char* directory)
{
    context.serverName[0] = 0;
    context.logonAlias[0] = 0;

    char path[FieldSize];
    size_t length = std::strlen(directory);
    const char* separator = (length > 0 && directory[length - 1] == '\\') ? "" : "\\";
    if (!JoinFits(path, sizeof path, directory, separator, "TallMoor.dat"))
        return false;

    TextReader reader(path);
    char line[LineSize];
    while (reader.readLine(line))
        TakeLine(context, line);

    if (!context.serverName[0] || !context.logonAlias[0])
        return false;

    // A derived path that does not fit its field is refused rather than cut:
    // a cut path could name another, valid place.
    char logonPath[FieldSize];
    char scriptPath[FieldSize];
    if (!JoinFits(logonPath, FieldSize, context.serverName, "\\", context.logonAlias) ||
        !JoinFits(scriptPath, FieldSize, logonPath, "\\Logon.def"))
        return false;
    std::memcpy(context.logonPath, logonPath, FieldSize);
    std::memcpy(context.scriptPath, scriptPath, FieldSize);
    return true;
}
