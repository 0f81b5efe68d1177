// The lexical form of the start file and the script: cutting a line into at
// most five tokens, the character classes, and the small in-place line
// clean-ups shared by every reader of a line file.
#pragma once

#include "engine/session.h"

// The token characters besides A-Z, which are folded to lower case.
extern const char TokenChars[];

// Reads the next token of `text` into `slot` (room for `limit` characters and
// a terminator). Answers the position just after the token, or nullptr when
// the line holds no further token (the slot is then empty).
const char* NextToken(const char* text, char* slot, int limit);

// Cuts `line` into the record's token slots; answers the count (0 to 5).
int SplitLine(SessionContext& context, const char* line);

bool CharInSet(const char* set, unsigned char c);
bool CharInSetFolded(const char* set, unsigned char c);

// A blank is any byte 0x01-0x20.
inline bool IsBlank(unsigned char c)
{
    return c >= 0x01 && c <= 0x20;
}

// Folds A-Z to a-z; every other byte stays.
inline unsigned char FoldCase(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Compares two texts ignoring the case of A-Z only.
bool EqualsFolded(const char* a, const char* b);

void TrimLeft(char* text);
void TrimRight(char* text);
void TrimLine(char* text);
void CollapseBlanks(char* text);
