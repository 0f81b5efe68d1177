// Lookup in the command table, and the token helpers every worker uses.
#include "engine/command_table.h"

#include "engine/tokenizer.h"

// The workers' entries; defined with the workers in the commands folder.
extern const CommandEntry WorkerCommands[];

const CommandEntry* FindCommand(const char* keyword, int tokenCount)
{
    for (const CommandEntry* entry = WorkerCommands; entry->keyword; entry++) {
        if (entry->tokenCount == tokenCount && EqualsFolded(entry->keyword, keyword))
            return entry;
    }
    return nullptr;
}

bool TokenIs(const SessionContext& context, int index, const char* word)
{
    if (index < 0 || index >= context.tokenCount)
        return false;
    return EqualsFolded(context.tokens[index], word);
}

void EchoTokens(SessionContext& context)
{
    for (int i = 0; i < context.tokenCount; i++) {
        AppendReportText(context, context.tokens[i]);
        AppendReportText(context, " ");
    }
}
