// Tokenizer and line clean-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tokenizer.h"

namespace {

std::vector<std::string> Split(const std::string& line)
{
    static SessionContext context;
    int count = SplitLine(context, line.c_str());
    std::vector<std::string> tokens;
    for (int i = 0; i < count; i++)
        tokens.push_back(context.tokens[i]);
    EXPECT_EQ(context.tokens[count][0], 0) << "slot after the last token is empty";
    return tokens;
}

struct SplitCase {
    std::string line;
    std::vector<std::string> tokens;
};

TEST(Tokenizer, SplitsLinesAsTheLanguageDefines)
{
    const SplitCase cases[] = {
        {"drive h: \"\\\\srv\\Home Dir\"", {"drive", "h:", "\\\\srv\\Home Dir"}},
        {"server = srv01", {"server", "=", "srv01"}},
        {"server=srv01", {"server=srv01"}},
        {"Start \"C:\\Programme\\Tool.exe /x\"", {"start", "C:\\Programme\\Tool.exe /x"}},
        {"file_copy c:\\a-b.txt d:\\ziel.txt", {"file_copy", "c:\\a", "b.txt", "d:\\ziel.txt"}},
        {"file_copy \"c:\\a-b.txt\" d:\\ziel.txt", {"file_copy", "c:\\a-b.txt", "d:\\ziel.txt"}},
        {"if user = M\xfcller", {"if", "user", "=", "m", "ller"}},
        {"echo \"Hallo\"Welt", {"echo", "Hallo", "welt"}},
        {"a b c d e f g", {"a", "b", "c", "d", "e"}},
        {"echo \"\"", {"echo"}},
        {"echo \"\" x", {"echo", "x"}},
        {"; server = x", {"server", "=", "x"}},
        {"   \t  ", {}},
        {"----", {}},
        {"SERVER \"MiXeD\"", {"server", "MiXeD"}},
        {"echo \"unclosed rest of line", {"echo", "unclosed rest of line"}},
        {"$a!b:c/d.e_f", {"$a!b:c/d.e_f"}},
        {"x\x7fy\x80z", {"x", "y", "z"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(Split(c.line), c.tokens) << c.line;
}

TEST(Tokenizer, LongTokensAreCutAt260Characters)
{
    std::string word(300, 'W');
    EXPECT_EQ(Split(word), (std::vector<std::string>{std::string(260, 'w'), std::string(40, 'w')}));

    std::string quoted = "\"" + std::string(260, 'Q') + "\" next";
    EXPECT_EQ(Split(quoted), (std::vector<std::string>{std::string(260, 'Q'), "next"}));

    // A quoted text of more than 260 characters: the rest is read unquoted,
    // and its closing quote opens a new quoted token to the end of the line.
    std::string longQuoted = "\"" + std::string(262, 'Q') + "\" tail";
    EXPECT_EQ(Split(longQuoted), (std::vector<std::string>{std::string(260, 'Q'), "qq", " tail"}));
}

TEST(Tokenizer, NextTokenRefusesMissingArguments)
{
    char slot[8] = "x";
    EXPECT_EQ(NextToken(nullptr, slot, 7), nullptr);
    EXPECT_EQ(NextToken("abc", nullptr, 7), nullptr);
    EXPECT_EQ(NextToken("abc", slot, 0), nullptr);
    SessionContext context;
    EXPECT_EQ(SplitLine(context, nullptr), 0);
}

TEST(Tokenizer, CharacterSets)
{
    EXPECT_TRUE(CharInSet(";#", ';'));
    EXPECT_TRUE(CharInSet(";#", '#'));
    EXPECT_FALSE(CharInSet(";#", 0));
    EXPECT_TRUE(CharInSetFolded(TokenChars, 'Q'));
    EXPECT_FALSE(CharInSetFolded(TokenChars, 0xE4));  // ä
    EXPECT_TRUE(EqualsFolded("LogonAlias", "logonalias"));
    EXPECT_FALSE(EqualsFolded("\xc4", "\xe4"));  // Ä and ä differ
    EXPECT_FALSE(EqualsFolded("abc", "ab"));
}

struct CleanCase {
    std::string in;
    std::string trimmed;
    std::string collapsed;
};

TEST(Tokenizer, TrimAndCollapse)
{
    const CleanCase cases[] = {
        {"\t abc \r\n", "abc", " abc "},
        {"  a \t b  ", "a \t b", " a b "},
        {"\xe4 x \xe4", "\xe4 x \xe4", "\xe4 x \xe4"},
        {" \t\r\n", "", " "},
        {"", "", ""},
    };
    for (const CleanCase& c : cases) {
        std::string t = c.in;
        TrimLine(t.data());
        EXPECT_EQ(std::string(t.c_str()), c.trimmed) << c.in;
        std::string k = c.in;
        CollapseBlanks(k.data());
        EXPECT_EQ(std::string(k.c_str()), c.collapsed) << c.in;
    }
    TrimLine(nullptr);
    CollapseBlanks(nullptr);
}

}  // namespace
