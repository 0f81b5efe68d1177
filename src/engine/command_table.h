// The command table of the script language: each worker supplies its
// keywords with their token counts and handlers. The line executor finds an
// entry by the line's token count and first token.
#pragma once

#include "engine/line_result.h"
#include "engine/session.h"

// A handler gets the session with the line's tokens in place and answers the
// line's result. Tokens are counted from 0; token 0 is the keyword.
using CommandHandler = LineResult (*)(SessionContext& context);

struct CommandEntry {
    const char* keyword;
    int tokenCount;
    CommandHandler handler;
};

// The entry for `keyword` with `tokenCount` tokens, or nullptr.
const CommandEntry* FindCommand(const char* keyword, int tokenCount);

// True when token `index` of the current line equals `word`, ignoring the
// case of A-Z.
bool TokenIs(const SessionContext& context, int index, const char* word);

// Appends every token of the current line, each followed by one blank.
void EchoTokens(SessionContext& context);
