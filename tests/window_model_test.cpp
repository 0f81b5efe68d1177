// The status window as a model: the memo's line list, the window as the
// constructor leaves it, the layout, clicks, the program directory, and the
// front end's text conversion and plain output.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/cp1252.h"
#include "app/form.h"
#include "app/memo_lines.h"
#include "app/plain_view.h"
#include "app/program_dir.h"
#include "app/terminal_view.h"

// --- Memo1's line list -----------------------------------------------------

struct MemoCase {
    const char* start;     // text set first
    const char* operation; // "add" or "put-last"
    const char* argument;
    const char* text;      // the text afterwards
    int count;             // Count afterwards
};

TEST(MemoLines, AddAndReplaceFollowTheMemoControl)
{
    const MemoCase cases[] = {
        {"", "add", "a", "a\r\n", 1},
        {"Start", "add", "b", "Start\r\nb", 2},
        {"Start\r\n", "add", "b", "Start\r\nb\r\n", 2},
        // An empty added line after a text without a break leaves no visible line.
        {"Start", "add", "", "Start\r\n", 1},
        {"a\r\n", "add", "", "a\r\n\r\n", 2},
        {"a\r\n", "add", "r1\r\nr2\r\n", "a\r\nr1\r\nr2\r\n\r\n", 4},
        {"a\r\nb", "add", "x\ny", "a\r\nb\r\nx\r\ny", 4},
        // The last counted line is replaced; a trailing break stays.
        {"a\r\n*\r\n", "put-last", "Pause 3", "a\r\nPause 3\r\n", 2},
        {"a\r\nb", "put-last", "c", "a\r\nc", 2},
        {"a", "put-last", "", "", 0},
        {"", "put-last", "x", "", 0},
    };
    for (const MemoCase& c : cases) {
        MemoLines lines;
        lines.SetText(c.start);
        if (std::string(c.operation) == "add")
            lines.Add(c.argument);
        else
            lines.Put(lines.Count() - 1, c.argument);
        EXPECT_EQ(lines.Text(), c.text) << c.start << " " << c.operation << " " << c.argument;
        EXPECT_EQ(lines.Count(), c.count) << c.start << " " << c.operation << " " << c.argument;
    }
}

TEST(MemoLines, CountIgnoresOnlyAnEmptyLastLine)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"x", 1}, {"\r\n", 1}, {"a\r\n", 1}, {"a\r\nb", 2}, {"a\r\n\r\n", 2}, {"\r\n\r\nc", 3},
    };
    for (const auto& [text, count] : cases) {
        MemoLines lines;
        lines.SetText(text);
        EXPECT_EQ(lines.Count(), count) << text;
    }
}

TEST(MemoLines, SettingTextAdjustsEveryKindOfLineBreak)
{
    EXPECT_EQ(AdjustLineBreaks("a\r\nb\nc\rd\n\re"), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(AdjustLineBreaks("a\n\nb"), "a\r\n\r\nb");
    EXPECT_EQ(AdjustLineBreaks("a\r\r\nb"), "a\r\n\r\nb");
    MemoLines lines;
    lines.SetText("eins\nzwei\r\ndrei\r\n");
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Get(0), "eins");
    EXPECT_EQ(lines.Get(1), "zwei");
    EXPECT_EQ(lines.Get(2), "drei");
    EXPECT_EQ(lines.Get(3), "");
    EXPECT_EQ(lines.Get(-1), "");
}

TEST(MemoLines, ListenerHearsEveryChange)
{
    struct Recorder : MemoListener {
        std::vector<std::string> heard;
        void LineAdded(const std::string& line) override { heard.push_back("add " + line); }
        void LineReplaced(int index, const std::string& line) override
        {
            heard.push_back("put " + std::to_string(index) + " " + line);
        }
        void TextReplaced(const std::string& text) override { heard.push_back("text " + text); }
    } recorder;
    MemoLines lines;
    lines.SetListener(&recorder);
    lines.SetText("a\nb");
    lines.Add("c");
    lines.Put(2, "d");
    lines.Put(7, "never");
    EXPECT_EQ(recorder.heard, (std::vector<std::string>{"text a\r\nb", "add c", "put 2 d"}));
}

// --- The window --------------------------------------------------------------

struct WindowTest : ::testing::Test {
    TApplication application;
    SessionContext session;
    TForm1 form{application, session, "C:\\Tools"};
};

TEST_F(WindowTest, ConstructorLeavesTheWindowReadyToShow)
{
    EXPECT_EQ(form.Caption, "SolvanTo TallMoor");
    EXPECT_EQ(form.runState, RunState::Startup);
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval, 500);
    EXPECT_EQ(form.Timer1.OnTimer, &TForm1::TimerFunction);
    for (const TEdit* edit : {&form.Edit1, &form.Edit2, &form.Edit3, &form.Edit4}) {
        EXPECT_EQ(edit->Text, "") << edit->Name;
        EXPECT_TRUE(edit->ReadOnly) << edit->Name;
    }
    EXPECT_EQ(form.Memo1.Lines.Text(), "Start");
    EXPECT_EQ(form.Memo1.Lines.Count(), 1);
    EXPECT_FALSE(form.Button1.Visible);
    EXPECT_EQ(form.Button1.Caption, "Halt");
    EXPECT_EQ(form.Label5.Caption, "Status: ");
    EXPECT_EQ(form.Label1.Caption, "Server:");
    EXPECT_EQ(form.Label4.Caption, "LogonPfad:");
    // 8 points at 96 pixels per inch.
    EXPECT_EQ(form.Font.Height, -11);
    EXPECT_EQ(form.Memo1.Font.Size(), 8);
    EXPECT_EQ(form.Label2.Font.Name, "MS Sans Serif");
}

TEST_F(WindowTest, ConstructorRaisesTheSizeAndCentres)
{
    EXPECT_EQ(form.Width, 310);
    EXPECT_EQ(form.Height, 385);
    EXPECT_EQ(form.Left, (1024 - 310) / 2);
    EXPECT_EQ(form.Top, (768 - 385) / 2);
}

TEST(Window, NarrowScreenGivesANegativeLeftTruncatedTowardZero)
{
    TApplication application;
    application.Screen.Width = 301;
    application.Screen.Height = 380;
    SessionContext session;
    TForm1 form(application, session, "C:\\Tools");
    EXPECT_EQ(form.Left, -4);
    EXPECT_EQ(form.Top, -2);
}

TEST_F(WindowTest, LayoutFollowsTheWindowSize)
{
    struct LayoutCase {
        int width, height;  // given
        int outerWidth, outerHeight, editWidth, memoWidth, memoHeight, buttonLeft;
    };
    const LayoutCase cases[] = {
        {310, 385, 310, 385, 210, 270, 169, 241},
        {200, 100, 310, 385, 210, 270, 169, 241},  // set back to the minimum
        {400, 500, 400, 500, 300, 360, 284, 331},
        {309, 600, 310, 600, 210, 270, 384, 241},
    };
    for (const LayoutCase& c : cases) {
        form.Resize(c.width, c.height);
        EXPECT_EQ(form.Width, c.outerWidth) << c.width;
        EXPECT_EQ(form.Height, c.outerHeight) << c.height;
        for (const TEdit* edit : {&form.Edit1, &form.Edit2, &form.Edit3, &form.Edit4}) {
            EXPECT_EQ(edit->Width, c.editWidth) << edit->Name;
            EXPECT_EQ(edit->Left, 72) << edit->Name;
        }
        EXPECT_EQ(form.Memo1.Left, 16);
        EXPECT_EQ(form.Memo1.Top, 166);
        EXPECT_EQ(form.Memo1.Width, c.memoWidth);
        EXPECT_EQ(form.Memo1.Height, c.memoHeight);
        EXPECT_EQ(form.Button1.Top, 136);
        EXPECT_EQ(form.Button1.Left, c.buttonLeft);
        EXPECT_EQ(form.Label5.Top, 136);
    }
}

TEST_F(WindowTest, LabelsAndBackgroundAskToCloseOtherControlsDoNothing)
{
    // Outside WaitExit the close rule refuses, so only the handler is checked.
    for (TControl* label : {static_cast<TControl*>(&form.Label1), static_cast<TControl*>(&form.Label2),
                            static_cast<TControl*>(&form.Label3), static_cast<TControl*>(&form.Label4),
                            static_cast<TControl*>(&form.Label5)})
        EXPECT_EQ(label->OnClick, &TForm1::GeneralClick) << label->Name;
    for (TControl* other : {static_cast<TControl*>(&form.Edit1), static_cast<TControl*>(&form.Edit2),
                            static_cast<TControl*>(&form.Edit3), static_cast<TControl*>(&form.Edit4),
                            static_cast<TControl*>(&form.Memo1)})
        EXPECT_EQ(other->OnClick, nullptr) << other->Name;
    EXPECT_EQ(form.Button1.OnClick, &TForm1::Button1Click);

    form.runState = RunState::WaitExit;
    form.Click(form.Edit1);
    form.Click(form.Memo1);
    EXPECT_FALSE(form.Closed());
    form.Click(form.Label3);
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(application.Terminated());
}

TEST_F(WindowTest, BackgroundClickClosesInWaitExit)
{
    form.ClickBackground();
    EXPECT_FALSE(form.Closed());
    form.runState = RunState::WaitExit;
    form.ClickBackground();
    EXPECT_TRUE(form.Closed());
}

// --- The program directory ---------------------------------------------------

TEST(ProgramDir, CutAtTheLastBackslashBeyondTheFirstCharacter)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Tools\\tallmoor.exe", "C:\\Tools"},
        {"C:\\tallmoor.exe", "C:"},
        {"\\tallmoor.exe", "\\tallmoor.exe"},
        {"tallmoor.exe", "tallmoor.exe"},
        {"\\opt\\tm\\tallmoor", "\\opt\\tm"},
        {"", ""},
    };
    for (const auto& [path, dir] : cases) {
        char out[ProgramDirSize];
        CutProgramDir(path, out);
        EXPECT_STREQ(out, dir) << path;
    }
}

TEST(ProgramDir, APathTooLongForTheBufferIsRefusedNotCut)
{
    const std::string longPath = "C:\\" + std::string(300, 'a') + "\\tallmoor.exe";
    char out[ProgramDirSize];
    CutProgramDir(longPath.c_str(), out);
    EXPECT_STREQ(out, "");
}

TEST(ProgramDir, TakenFromTheRunningProgram)
{
    char out[ProgramDirSize];
    TakeProgramDir(out);
    ASSERT_NE(out[0], 0);
    EXPECT_EQ(std::string(out).find('/'), std::string::npos);
    EXPECT_EQ(std::string(out).back() == '\\', false);
}

// --- Text for the terminal ---------------------------------------------------

TEST(Cp1252, EveryByteHasACodePoint)
{
    EXPECT_EQ(Cp1252CodePoint('A'), 0x41u);
    EXPECT_EQ(Cp1252CodePoint(0x80), 0x20ACu);
    EXPECT_EQ(Cp1252CodePoint(0x8A), 0x0160u);
    EXPECT_EQ(Cp1252CodePoint(0x81), 0x0081u);
    EXPECT_EQ(Cp1252CodePoint(0x9F), 0x0178u);
    EXPECT_EQ(Cp1252CodePoint(0xA0), 0x00A0u);
    EXPECT_EQ(Cp1252CodePoint(0xFF), 0x00FFu);
    for (int byte = 0; byte < 256; ++byte) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
        const uint32_t point = Cp1252CodePoint(static_cast<unsigned char>(byte));
        EXPECT_EQ(utf8.size(), point < 0x80 ? 1u : point < 0x800 ? 2u : 3u) << byte;
    }
}

TEST(Cp1252, UmlautsAndTheEuroSignBecomeUtf8)
{
    EXPECT_EQ(Cp1252ToUtf8("ausgef\xfchrt \xe4\xf6\xdf \x80"), "ausgef\xc3\xbchrt \xc3\xa4\xc3\xb6\xc3\x9f \xe2\x82\xac");
}

TEST(Cp1252, DisplayTextHasLfLineEndsAndNoControls)
{
    EXPECT_EQ(DisplayText("a\r\nb\rc\n", true), "a\nb\nc\n");
    EXPECT_EQ(DisplayText("x\x1b[2Jy", true), "x\xef\xbf\xbd[2Jy");
    EXPECT_EQ(DisplayText("\x9d", true), "\xef\xbf\xbd");
    EXPECT_EQ(DisplayText("a\tb", true), "a\tb");
    EXPECT_EQ(DisplayText("a\tb", false), "a b");
}

// --- Front-end views ---------------------------------------------------------

TEST_F(WindowTest, PlainViewWritesEachAddedReplacedAndSetTextAsLines)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    PlainView view(out);
    form.SetView(&view);
    view.Show(form);
    form.Memo1.Lines.Add("Startdatei gelesen");
    form.Memo1.Lines.Add("");
    form.Memo1.Lines.Add("*");
    form.Memo1.Lines.Put(form.Memo1.Lines.Count() - 1, "Warte auf Netzwerk 59");
    form.Memo1.Lines.SetText("Kopf\r\nAusgef\xfchrt\r\n");
    form.SetView(nullptr);
    std::string written(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    written.resize(std::fread(&written[0], 1, written.size(), out));
    std::fclose(out);
    EXPECT_EQ(written, "Start\nStartdatei gelesen\n*\nWarte auf Netzwerk 59\nKopf\nAusgef\xc3\xbchrt\n");
}

// Characters of a UTF-8 text: every byte that does not continue a sequence.
static size_t Utf8Length(const std::string& text)
{
    size_t length = 0;
    for (unsigned char byte : text)
        length += (byte & 0xC0) != 0x80;
    return length;
}

TEST_F(WindowTest, TerminalDrawingFitsTheTerminal)
{
    form.Edit1.Text = "\\\\srv";
    form.Memo1.Lines.SetText(std::string(200, 'x') + "\r\n" + "letzte Zeile");
    form.Button1.Visible = true;
    for (int columns : {20, 40, 80}) {
        const std::vector<std::string> screen = RenderForm(form, columns, 24);
        ASSERT_LE(screen.size(), 24u);
        bool halt = false, last = false, server = false;
        for (const std::string& row : screen) {
            EXPECT_LE(Utf8Length(row), static_cast<size_t>(columns)) << row;
            halt = halt || row.find("[ Halt ]") != std::string::npos;
            last = last || row.find("letzte") != std::string::npos;
            server = server || row.find("Server: [\\\\srv") != std::string::npos;
        }
        EXPECT_TRUE(halt) << columns;
        EXPECT_TRUE(server) << columns;
        EXPECT_TRUE(last) << columns;
    }
    form.Button1.Visible = false;
    for (const std::string& row : RenderForm(form, 80, 24))
        EXPECT_EQ(row.find("Halt"), std::string::npos) << row;
}

TEST_F(WindowTest, TerminalTextAreaShowsTheLastLines)
{
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "Zeile " + std::to_string(i) + "\r\n";
    form.Memo1.Lines.SetText(text);
    const std::vector<std::string> screen = RenderForm(form, 80, 20);
    std::string all;
    for (const std::string& row : screen)
        all += row + "\n";
    EXPECT_NE(all.find("Zeile 49"), std::string::npos);
    EXPECT_EQ(all.find("Zeile 10 "), std::string::npos);
}
