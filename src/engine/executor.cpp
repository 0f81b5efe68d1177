// Line executor and conditional blocks.
//
// Block state: ifDepth counts the blocks around the current line and
// levelActive[d] says whether lines at depth d run. levelActive has room for
// depths 0 to 29. A block opened deeper than that is counted in excessDepth
// instead: it is inactive, as is everything inside it, and its endif still
// balances it, so a script nested too deeply runs none of the too-deep lines
// and nothing outside the block state is ever touched.
#include "engine/executor.h"

#include "commands/file_probes.h"
#include "engine/command_table.h"
#include "engine/tokenizer.h"
#include "facts/facts.h"

static bool LineActive(const SessionContext& context)
{
    return context.excessDepth == 0 && context.levelActive[context.ifDepth] != 0;
}

int OpenBlocks(const SessionContext& context)
{
    return context.ifDepth + context.excessDepth;
}

// Opens a level for an if line. Answers whether the level has a slot in the
// block state (and so may become active).
static bool OpenLevel(SessionContext& context)
{
    if (context.excessDepth > 0 || context.ifDepth >= MaxLevels - 1) {
        context.excessDepth++;
        return false;
    }
    context.ifDepth++;
    context.levelActive[context.ifDepth] = 0;
    return true;
}

static LineResult CloseLevel(SessionContext& context)
{
    if (context.excessDepth > 0) {
        context.excessDepth--;
        return LineSkipped;
    }
    context.levelActive[context.ifDepth] = 0;
    context.ifDepth--;
    context.levelActive[0] = 1;
    if (context.ifDepth >= 0)
        return LineSkipped;
    context.ifDepth = 0;
    AppendReport(context, "Zu viele 'endif'");
    return LineFailed;
}

static LineResult UnknownCommand(SessionContext& context)
{
    if (!LineActive(context))
        return context.tokenCount == MaxTokens ? LineIgnored : LineSkipped;
    AppendReport(context, "Unbekanntes %d-er Kommando '", context.tokenCount);
    EchoTokens(context);
    return LineFailed;
}

bool IsConditionSubject(const char* word)
{
    return EqualsFolded(word, "user") || EqualsFolded(word, "computername") || EqualsFolded(word, "macaddress") ||
           EqualsFolded(word, "filepresence");
}

bool IsConditionOperator(const char* word)
{
    return word[0] == '=' || word[0] == '!';
}

// The field a known if subject compares with; nullptr for filepresence.
static const char* SubjectField(SessionContext& context)
{
    if (TokenIs(context, 1, "user"))
        return context.userName;
    if (TokenIs(context, 1, "computername"))
        return context.computerName;
    if (TokenIs(context, 1, "macaddress"))
        return context.macAddress;
    return nullptr;
}

static LineResult Condition(SessionContext& context)
{
    bool hasSlot = OpenLevel(context);
    if (!IsConditionSubject(context.tokens[1]) || !IsConditionOperator(context.tokens[2]))
        return LineIgnored;
    const char* field = SubjectField(context);
    char op = context.tokens[2][0];
    const char* value = context.tokens[3];

    bool present = false;
    bool holds;
    if (field) {
        holds = EqualsFolded(value, field) == (op == '=');
    } else {
        present = FileExists(value) != 0;
        holds = present == (op == '=');
    }
    if (!holds)
        return LineIgnored;
    if (!field)
        AppendReport(context, present ? "Filepresence = %s" : "Filepresence != %s", value);
    if (hasSlot && context.levelActive[context.ifDepth - 1] != 0)
        context.levelActive[context.ifDepth] = 1;
    return field ? LineSkipped : LineDone;
}

static bool IsBuiltin(const SessionContext& context)
{
    if (context.tokenCount == 1)
        return TokenIs(context, 0, "exit") || TokenIs(context, 0, "quit") || TokenIs(context, 0, "show_tmp");
    if (context.tokenCount == 2)
        return TokenIs(context, 0, "write") || TokenIs(context, 0, "echo") || TokenIs(context, 0, "print");
    return false;
}

LineKind ClassifyLine(const SessionContext& context)
{
    switch (context.tokenCount) {
    case 0:
        return LineKind::Empty;
    case 4:
        return TokenIs(context, 0, "if") ? LineKind::Condition : LineKind::Dropped;
    case 5:
        return LineKind::Unknown;
    }
    if (context.tokenCount == 1 && TokenIs(context, 0, "endif"))
        return LineKind::EndBlock;
    if (IsBuiltin(context))
        return LineKind::Builtin;
    if (FindCommand(context.tokens[0], context.tokenCount))
        return LineKind::Worker;
    return LineKind::Unknown;
}

static LineResult Builtin(SessionContext& context)
{
    if (TokenIs(context, 0, "exit") || TokenIs(context, 0, "quit")) {
        EchoTokens(context);
        context.ifDepth = 0;
        context.excessDepth = 0;
        return LineStop;
    }
    if (TokenIs(context, 0, "show_tmp")) {
        AppendReportText(context, TempInfoText());
        return LineDone;
    }
    // write, echo, print: the text as it stands, without the keyword.
    AppendReportText(context, context.tokens[1]);
    return LineDone;
}

LineResult ExecuteLine(SessionContext& context, const char* line)
{
    if (context.ifDepth == 0)
        context.levelActive[0] = 1;
    SplitLine(context, line);
    // At an inactive level a line of one to three tokens is skipped unless it
    // is an endif; nothing needs to be looked up for it.
    const bool shortLine = context.tokenCount >= 1 && context.tokenCount <= 3;
    if (shortLine && !LineActive(context) && !(context.tokenCount == 1 && TokenIs(context, 0, "endif")))
        return LineSkipped;
    switch (ClassifyLine(context)) {
    case LineKind::Empty:
    case LineKind::Dropped:
        return LineIgnored;
    case LineKind::EndBlock:  // closes inactive blocks too
        return CloseLevel(context);
    case LineKind::Condition:  // evaluated whether or not the line is active
        return Condition(context);
    case LineKind::Unknown:
        return UnknownCommand(context);
    case LineKind::Builtin:
        return LineActive(context) ? Builtin(context) : LineSkipped;
    case LineKind::Worker:
        if (!LineActive(context))
            return LineSkipped;
        return FindCommand(context.tokens[0], context.tokenCount)->handler(context);
    }
    return LineIgnored;
}
