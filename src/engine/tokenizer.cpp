// Tokenizer and line clean-up.
//
// Outside quotes every byte is one of three classes: a token character
// (TokenChars and A-Z), the double quote, or a separator (everything else,
// skipped). Inside quotes every byte up to the next quote is copied as it is.
#include "engine/tokenizer.h"

#include <cstring>

const char TokenChars[] = "abcdefghijklmnopqrstuvwxyz_0123456789\\/.:=!$";

bool CharInSet(const char* set, unsigned char c)
{
    if (!set || c == 0)
        return false;
    return std::strchr(set, c) != nullptr;
}

bool CharInSetFolded(const char* set, unsigned char c)
{
    return CharInSet(set, FoldCase(c));
}

// A 256-entry table of the token characters, built once, so that the inner
// loop of the tokenizer is a single lookup per byte.
static const bool* TokenCharTable()
{
    static bool table[256];
    static bool built = false;
    if (!built) {
        for (int c = 1; c < 256; c++)
            table[c] = CharInSetFolded(TokenChars, static_cast<unsigned char>(c));
        built = true;
    }
    return table;
}

const char* NextToken(const char* text, char* slot, int limit)
{
    if (!text || !slot || limit <= 0)
        return nullptr;
    const bool* isTokenChar = TokenCharTable();
    slot[0] = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (;; p++) {
        unsigned char c = *p;
        if (c == 0)
            return nullptr;
        if (isTokenChar[c]) {
            int n = 0;
            while (n < limit && isTokenChar[*p])
                slot[n++] = static_cast<char>(FoldCase(*p++));
            slot[n] = 0;
            return reinterpret_cast<const char*>(p);
        }
        if (c == '"') {
            p++;
            int n = 0;
            while (n < limit && *p && *p != '"')
                slot[n++] = static_cast<char>(*p++);
            slot[n] = 0;
            if (*p == '"')
                p++;
            return reinterpret_cast<const char*>(p);
        }
        // Blanks, bytes 0x80-0xFF and every other separator are skipped.
    }
}

int SplitLine(SessionContext& context, const char* line)
{
    context.tokenCount = 0;
    const char* position = line;
    while (position) {
        position = NextToken(position, context.tokens[context.tokenCount], TokenLimit);
        if (context.tokens[context.tokenCount][0] != 0) {
            context.tokenCount++;
            if (context.tokenCount == MaxTokens)
                break;
        }
    }
    context.tokens[context.tokenCount][0] = 0;
    return context.tokenCount;
}

bool EqualsFolded(const char* a, const char* b)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    while (*x && FoldCase(*x) == FoldCase(*y)) {
        x++;
        y++;
    }
    return FoldCase(*x) == FoldCase(*y);
}

void TrimLeft(char* text)
{
    if (!text)
        return;
    size_t start = 0;
    while (IsBlank(static_cast<unsigned char>(text[start])))
        start++;
    if (start > 0)
        std::memmove(text, text + start, std::strlen(text + start) + 1);
}

void TrimRight(char* text)
{
    if (!text)
        return;
    size_t end = std::strlen(text);
    while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        end--;
    text[end] = 0;
}

void TrimLine(char* text)
{
    TrimLeft(text);
    TrimRight(text);
}

void CollapseBlanks(char* text)
{
    if (!text)
        return;
    char* out = text;
    bool inRun = false;
    for (const char* in = text; *in; in++) {
        if (IsBlank(static_cast<unsigned char>(*in))) {
            if (!inRun)
                *out++ = ' ';
            inRun = true;
        } else {
            *out++ = *in;
            inRun = false;
        }
    }
    *out = 0;
}
