// Text-mode reading: CR dropped wherever it stands, Ctrl-Z ending the text
// or not, and lines cut into pieces of 259 characters, also where a line or
// a CR LF pair straddles the reader's buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/text_file.h"
#include "temp_dir.h"

namespace {

std::vector<std::string> Pieces(const std::string& content, TextReader::CtrlZ ctrlZ = TextReader::CtrlZ::EndsText)
{
    TempDir dir;
    TextReader reader(dir.write("lines.txt", content).c_str(), ctrlZ);
    std::vector<std::string> pieces;
    char line[LineSize];
    while (reader.readLine(line))
        pieces.push_back(line);
    return pieces;
}

std::string Repeat(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; i++)
        all += text;
    return all;
}

TEST(TextReader, PiecesOfLines)
{
    const std::string x258(258, 'x');
    const std::string x259(259, 'x');
    const struct {
        const char* name;
        std::string content;
        std::vector<std::string> pieces;
    } cases[] = {
        {"CR LF and bare LF", "a\r\nb\nc", {"a\n", "b\n", "c"}},
        {"CR inside a line", "a\rb\r\r\n", {"ab\n"}},
        {"only CRs", "\r\r\r", {}},
        {"empty lines", "\n\r\n", {"\n", "\n"}},
        {"258 characters and the line feed", x258 + "\r\n", {x258 + "\n"}},
        {"259 characters: the line feed is a piece of its own", x259 + "\n", {x259, "\n"}},
        {"259 characters, the CR at the cut", x259 + "\r\n", {x259, "\n"}},
        {"600 characters", std::string(600, 'y'), {std::string(259, 'y'), std::string(259, 'y'), std::string(82, 'y')}},
        {"Ctrl-Z ends the text", std::string("a\nb\x1a" "c\nd\n"), {"a\n", "b"}},
        {"Ctrl-Z first", std::string("\x1a" "a\n"), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pieces(c.content), c.pieces) << c.name;
}

TEST(TextReader, CtrlZAsAnOrdinaryByte)
{
    EXPECT_EQ(Pieces(std::string("a\x1a" "b\n\x1a"), TextReader::CtrlZ::Ordinary),
              (std::vector<std::string>{"a\x1a" "b\n", "\x1a"}));
}

TEST(TextReader, LinesAcrossTheBuffer)
{
    // 16384 = 3276 * 5 + 4: the buffer ends between a CR and its LF.
    const std::vector<std::string> crLf = Pieces(Repeat("abc\r\n", 4000));
    EXPECT_EQ(crLf, std::vector<std::string>(4000, "abc\n"));
    // 16384 = 1260 * 13 + 4: a line is cut by the end of the buffer.
    const std::vector<std::string> cut = Pieces(Repeat("0123456789\r\r\n", 2000));
    EXPECT_EQ(cut, std::vector<std::string>(2000, "0123456789\n"));
}

}  // namespace
