// Tokenizer and line clean-up.
//
// Outside quotes every byte is one of three classes: a token character
// (TokenChars and A-Z), the double quote, or a separator (everything else,
// skipped). Inside quotes every byte up to the next quote is copied as it is.
#include "engine/tokenizer.h"

#include <cstring>

constexpr char TokenChars[] = "abcdefghijklmnopqrstuvwxyz_0123456789\\/.:=!$";

bool CharInSet(const char* set, unsigned char c)
{
    if (!set || c == 0)
        return false;
    for (const char* p = set; *p; p++) {
        if (static_cast<unsigned char>(*p) == c)
            return true;
    }
    return false;
}

bool CharInSetFolded(const char* set, unsigned char c)
{
    return CharInSet(set, FoldCase(c));
}

namespace {

// Every token character folded to lower case, 0 for every other byte, so
// that the inner loops of the tokenizer are one lookup per byte.
struct FoldTable {
    unsigned char folded[256] = {};
};

constexpr FoldTable MakeFoldTable()
{
    FoldTable table;
    for (const char* p = TokenChars; *p; p++) {
        const unsigned char c = static_cast<unsigned char>(*p);
        table.folded[c] = c;
        if (c >= 'a' && c <= 'z')
            table.folded[c - 'a' + 'A'] = c;
    }
    return table;
}

constexpr FoldTable TokenFold = MakeFoldTable();

}  // namespace

const char* NextToken(const char* text, char* slot, int limit)
{
    if (!text || !slot || limit <= 0)
        return nullptr;
    const unsigned char* folded = TokenFold.folded;
    slot[0] = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    // Blanks, bytes 0x80-0xFF and every other separator are skipped.
    while (*p && !folded[*p] && *p != '"')
        p++;
    if (*p == 0)
        return nullptr;
    int n = 0;
    if (*p == '"') {
        p++;
        while (n < limit && *p && *p != '"')
            slot[n++] = static_cast<char>(*p++);
        if (*p == '"')
            p++;
    } else {
        for (unsigned char c; n < limit && (c = folded[*p]) != 0; p++)
            slot[n++] = static_cast<char>(c);
    }
    slot[n] = 0;
    return reinterpret_cast<const char*>(p);
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
    while (*x && (*x == *y || FoldCase(*x) == FoldCase(*y))) {
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

// TrimLeft and then TrimRight, in one pass over the text.
void TrimLine(char* text)
{
    if (!text)
        return;
    size_t start = 0;
    while (IsBlank(static_cast<unsigned char>(text[start])))
        start++;
    size_t end = start + std::strlen(text + start);
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        end--;
    if (start > 0)
        std::memmove(text, text + start, end - start);
    text[end - start] = 0;
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
