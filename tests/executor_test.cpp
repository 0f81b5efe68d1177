// Line executor and conditional blocks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/executor.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

struct Step {
    std::string line;
    LineResult result;
    std::string appended;  // what the line adds to the report
};

class Executor : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUserName(context, "Hans");
        std::strcpy(context.computerName, "PC01");
        std::strcpy(context.macAddress, "001A2B3C4D5E");
    }
    // Runs the steps in order against one session.
    void Run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            size_t before = std::strlen(context.report);
            EXPECT_EQ(ExecuteLine(context, step.line.c_str()), step.result) << step.line;
            EXPECT_EQ(std::string(context.report + before), step.appended) << step.line;
        }
    }

    FakePlatform fake;
    ScopedPlatform use{fake};
    SessionContext context;
};

TEST_F(Executor, BuiltInCommands)
{
    fake.env["TMP"] = "C:\\TEMP";
    Run({
        {"echo \"Guten Morgen\"", LineDone, "Guten Morgen"},
        {"write Hallo", LineDone, "hallo"},
        {"print \"100% %s %n\"", LineDone, "100% %s %n"},
        {"show_tmp", LineDone, "TMP='C:\\TEMP';"},
        {"", LineIgnored, ""},
        {"----", LineIgnored, ""},
        {"echo eins zwei drei", LineIgnored, ""},
        {"echo hallo welt", LineFailed, "Unbekanntes 3-er Kommando 'echo hallo welt "},
        {"echo a b c d", LineFailed, "Unbekanntes 5-er Kommando 'echo a b c d "},
        {"timesync", LineFailed, "Unbekanntes 1-er Kommando 'timesync "},
        {"write", LineFailed, "Unbekanntes 1-er Kommando 'write "},
        {"show_tmp now", LineFailed, "Unbekanntes 2-er Kommando 'show_tmp now "},
        {"if user <> hans", LineFailed, "Unbekanntes 3-er Kommando 'if user hans "},
        {"if user=hans", LineFailed, "Unbekanntes 2-er Kommando 'if user=hans "},
        {"EXIT", LineStop, "exit "},
    });
    EXPECT_EQ(context.ifDepth, 0);
}

TEST_F(Executor, ExitVariants)
{
    for (const char* line : {"exit", "quit", "Exit", "\"Exit\""}) {
        SessionContext session;
        EXPECT_EQ(ExecuteLine(session, "if user ! nobody"), LineSkipped);
        EXPECT_EQ(ExecuteLine(session, line), LineStop) << line;
        EXPECT_EQ(session.ifDepth, 0);
    }
}

TEST_F(Executor, ConditionSubjectsAndOperators)
{
    struct Case {
        std::string condition;
        bool holds;
    };
    const Case cases[] = {
        {"if user = hans", true},        {"if user = HANS", true},   {"if user == hans", true},
        {"if user =! hans", true},       {"if user != hans", false}, {"if user ! hans", false},
        {"if user ! fritz", true},       {"if computername = pc01", true},
        {"if computername = pc99", false}, {"if macaddress = 001a2b3c4d5e", true},
        {"if macaddress ! 001A2B3C4D5E", false}, {"if colour = red", false},
        {"if user x hans", false},       {"if \"USER\" = hans", true},
    };
    for (const Case& c : cases) {
        SessionContext session;
        SetUserName(session, "Hans");
        std::strcpy(session.computerName, "PC01");
        std::strcpy(session.macAddress, "001A2B3C4D5E");
        LineResult result = ExecuteLine(session, c.condition.c_str());
        EXPECT_EQ(result, c.holds ? LineSkipped : LineIgnored) << c.condition;
        EXPECT_EQ(session.ifDepth, 1) << c.condition;
        EXPECT_EQ(ExecuteLine(session, "echo x"), c.holds ? LineDone : LineSkipped) << c.condition;
        EXPECT_EQ(ExecuteLine(session, "endif"), LineSkipped);
        EXPECT_EQ(session.ifDepth, 0);
    }
}

TEST_F(Executor, FilePresence)
{
    TempDir dir;
    std::string present = dir.write("boot.ini", "x");
    std::string missing = dir / "x.txt";
    Run({
        {"if filepresence = \"" + present + "\"", LineDone, "Filepresence = " + present},
        {"echo yes", LineDone, "yes"},
        {"endif", LineSkipped, ""},
        {"if filepresence ! \"" + missing + "\"", LineDone, "Filepresence != " + missing},
        {"endif", LineSkipped, ""},
        {"if filepresence = \"" + missing + "\"", LineIgnored, ""},
        {"echo no", LineSkipped, ""},
        // Inside an inactive block a holding filepresence still reports, and
        // its level stays inactive.
        {"if filepresence = \"" + present + "\"", LineDone, "Filepresence = " + present},
        {"echo no", LineSkipped, ""},
        {"endif", LineSkipped, ""},
        {"endif", LineSkipped, ""},
    });
}

TEST_F(Executor, NestingInactiveAndSurplus)
{
    Run({
        {"endif", LineFailed, "Zu viele 'endif'"},
        {"if user = fritz", LineIgnored, ""},
        {"if computername = pc01", LineSkipped, ""},  // holds, but inside an inactive block
        {"echo no", LineSkipped, ""},
        {"exit", LineSkipped, ""},
        {"endif x", LineSkipped, ""},
        {"unknown cmd", LineSkipped, ""},
        {"a b c d e", LineIgnored, ""},
        {"endif", LineSkipped, ""},
        {"echo no", LineSkipped, ""},
        {"endif", LineSkipped, ""},
        {"echo yes", LineDone, "yes"},
        {"if user = hans", LineSkipped, ""},
        {"if computername = pc01", LineSkipped, ""},
        {"echo deep", LineDone, "deep"},
        {"endif", LineSkipped, ""},
        {"endif", LineSkipped, ""},
    });
    EXPECT_EQ(context.ifDepth, 0);
    EXPECT_EQ(OpenBlocks(context), 0);
}

TEST_F(Executor, DeepNestingStaysInsideTheBlockState)
{
    auto session = std::make_unique<SessionContext>();
    SetUserName(*session, "hans");
    // 29 levels can be open and active; the 30th and deeper count only.
    for (int level = 1; level <= 1000; level++) {
        EXPECT_EQ(ExecuteLine(*session, "if user = hans"), LineSkipped);
        EXPECT_EQ(OpenBlocks(*session), level);
        EXPECT_LE(session->ifDepth, MaxLevels - 1);
        EXPECT_EQ(ExecuteLine(*session, "echo x"), level < MaxLevels ? LineDone : LineSkipped) << level;
    }
    EXPECT_EQ(session->report[0] != 0, true);
    for (int level = 1000; level >= 1; level--)
        EXPECT_EQ(ExecuteLine(*session, "endif"), LineSkipped);
    EXPECT_EQ(OpenBlocks(*session), 0);
    EXPECT_EQ(ExecuteLine(*session, "echo back"), LineDone);
    EXPECT_EQ(ExecuteLine(*session, "endif"), LineFailed);
    EXPECT_EQ(std::string(session->report).substr(29), "backZu viele 'endif'");
}

}  // namespace
