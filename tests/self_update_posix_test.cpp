// Self-update: up to date, updater missing, and the hand-over with the log
// file's exact bytes and the updater started as a real process (a shell
// script on a logon path reached through the POSIX path mapping; the Windows
// hand-over is run end to end under Wine).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "command_test_support.h"
#include "commands/self_update.h"
#include "engine/runner.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

// \\srv\logon is tree/unc/srv/logon; the program directory is tree/exe.
class SelfUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(tree / "exe");
        std::strcpy(context.logonPath, "\\\\srv\\logon");
        exeDir = tree / "exe";
        SetExeDir(context, exeDir.c_str());
        tree.write("unc/srv/logon/tallmoor.exe", "version 2");
        tree.write("exe/tallmoor.exe", "version 1");
        WriteScript(tree / "unc/srv/logon/update.sh", "echo \"$@\" > '" + (tree / "handed-over") + "'");
    }
    std::string difference() const
    {
        return "\r\n\\\\srv\\logon\\tallmoor.exe ist verschieden zu " + exeDir + "\\tallmoor.exe.";
    }

    TempDir tree;
    ScopedEnv unc{"TALLMOOR_UNC_ROOT", (tree / "unc").c_str()};
    FakePlatform fake;
    ScopedPlatform use{fake};
    SessionContext context;
    std::string exeDir;
};

TEST_F(SelfUpdateTest, UpToDate)
{
    tree.write("exe/tallmoor.exe", "version 2");
    tree.write("exe/Tallmoor.log", "old log");
    const LineOutcome outcome = RunLine(context, "selfupdate update.sh");
    EXPECT_EQ(outcome.result, LineDone);
    EXPECT_EQ(outcome.text, "selfupdate update.sh \r\nTallMoor ist aktuell.\r\n");
    EXPECT_EQ(tree.read("exe/Tallmoor.log"), "old log");
    EXPECT_STREQ(context.updaterPath, "\\\\srv\\logon\\update.sh");
    EXPECT_EQ(context.localExePath, exeDir + "\\tallmoor.exe");
}

TEST_F(SelfUpdateTest, UpdaterMissing)
{
    const LineOutcome outcome = RunLine(context, "selfupdate gone.sh");
    EXPECT_EQ(outcome.result, LineFailed);
    EXPECT_EQ(outcome.text, "selfupdate gone.sh " + difference() +
                                "\r\nUpdater \\\\srv\\logon\\gone.sh nicht gefunden! <-- Nicht ausgef\xfchrt!\r\n");
    EXPECT_FALSE(std::filesystem::exists(tree / "exe/Tallmoor.log"));
}

TEST_F(SelfUpdateTest, HandOverWritesTheReportAndStartsTheUpdater)
{
    tree.write("exe/Tallmoor.log", std::string(20000, 'o'));  // replaced as a whole
    tree.write("unc/srv/logon/Logon.def", "write \"Gr\xfc\xdf" "e\"\r\nselfupdate UPDATE.SH\r\nwrite danach\r\n");
    std::strcpy(context.scriptPath, "\\\\srv\\logon\\Logon.def");
    bool aborted = false;
    const std::string report = RunScript(context, aborted);

    EXPECT_TRUE(aborted);
    const std::string tail = "Gr\xfc\xdf" "e\r\nselfupdate update.sh " + difference() + "\r\n\\\\srv\\logon\\update.sh " +
                             exeDir + "\r\nShutdown\r\n";
    ASSERT_GE(report.size(), tail.size());
    EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
    EXPECT_EQ(tree.read("exe/Tallmoor.log"), report);
    EXPECT_EQ(WaitForContent(tree / "handed-over"), exeDir + "\n");
}

TEST_F(SelfUpdateTest, LogFileBytesAreNotTranslated)
{
    const std::string text = std::string("a\nb\r\n\x1a\xff", 7);
    AppendReportText(context, text.c_str());
    EXPECT_EQ(WriteLogFile(context), 1);
    EXPECT_EQ(tree.read("exe/Tallmoor.log"), text);

    SetExeDir(context, (tree / std::string(255 - tree.path.size(), 'e')).c_str());
    EXPECT_EQ(WriteLogFile(context), 0);  // the log path would not fit
}

TEST_F(SelfUpdateTest, PathsThatDoNotFitFail)
{
    const std::string name(260, 'u');
    const LineOutcome outcome = RunLine(context, "selfupdate " + name);
    EXPECT_EQ(outcome.result, LineFailed);
    EXPECT_EQ(outcome.text, "selfupdate " + name + "  <-- Nicht ausgef\xfchrt!\r\n");
    EXPECT_FALSE(std::filesystem::exists(tree / "exe/Tallmoor.log"));
}

}  // namespace
