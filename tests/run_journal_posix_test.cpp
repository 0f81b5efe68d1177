// The run journal and runonce: a program on the logon path runs once per
// version, whatever the journal already holds. The logon path is reached
// through the POSIX path mapping and the programs are shell scripts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "command_test_support.h"
#include "commands/run_journal.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

const char* const Failed = " <-- Nicht ausgef\xfchrt!\r\n";

// Local time as seconds since the epoch.
time_t LocalMoment(int year, int month, int day, int hour, int minute, int second)
{
    struct tm parts {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return mktime(&parts);
}

void SetLastWrite(const std::string& path, time_t moment)
{
    const utimbuf times{moment, moment};
    utime(path.c_str(), &times);
}

// \\srv\logon is tree/unc/srv/logon; the program directory is tree/exe.
class RunOnceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(tree / "exe");
        std::filesystem::create_directories(tree / "unc/srv/logon");
        std::strcpy(context.logonPath, "\\\\srv\\logon");
        SetExeDir(context, (tree / "exe").c_str());
        program = tree / "unc/srv/logon/setup.sh";
        WriteScript(program, "echo run >> '" + (tree / "runs") + "'");
        SetLastWrite(program, LocalMoment(2008, 7, 26, 10, 57, 51));
    }
    std::string fingerprint() const
    {
        return "\\\\srv\\logon\\setup.sh " + std::to_string(std::filesystem::file_size(program)) +
               " Byte 2008-07-26 10:57:50";
    }
    std::string runs() const { return tree.read("runs"); }
    std::string journal() const { return tree.read("exe/tallmoor.run"); }
    void writeJournal(const std::string& content) const { tree.write("exe/tallmoor.run", content); }

    TempDir tree;
    ScopedEnv unc{"TALLMOOR_UNC_ROOT", (tree / "unc").c_str()};
    FakePlatform fake;
    ScopedPlatform use{fake};
    SessionContext context;
    std::string program;
};

TEST_F(RunOnceTest, FingerprintOfAFileVersion)
{
    const char* print = FileFingerprint("\\\\srv\\logon\\setup.sh");
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print, fingerprint());
    EXPECT_EQ(FileFingerprint("\\\\srv\\logon\\missing.exe"), nullptr);
    EXPECT_EQ(FileFingerprint("\\\\srv\\logon"), nullptr);

    SetLastWrite(program, LocalMoment(1975, 5, 1, 12, 0, 0));
    EXPECT_NE(std::string(FileFingerprint("\\\\srv\\logon\\setup.sh")).find(" Byte 1980-01-01 00:00:00"),
              std::string::npos);
}

TEST_F(RunOnceTest, RunsOncePerVersion)
{
    const std::string ran = "runonce setup.sh  ausgef\xfchrt\r\n";
    const std::string unnecessary = "runonce setup.sh  unn\xf6tig.\r\n";
    EXPECT_EQ(RunLine(context, "runonce setup.sh").text, ran);
    EXPECT_EQ(journal(), fingerprint() + "\r\n");
    EXPECT_EQ(RunLine(context, "runonce SETUP.SH").text, unnecessary);
    EXPECT_EQ(runs(), "run\n");

    const std::string first = fingerprint();
    std::ofstream(program, std::ios::app) << "# another size\n";
    SetLastWrite(program, LocalMoment(2008, 7, 26, 10, 57, 51));
    EXPECT_EQ(RunLine(context, "runonce setup.sh").text, ran);
    const std::string second = fingerprint();

    SetLastWrite(program, LocalMoment(2008, 7, 26, 10, 57, 53));  // same size, other time
    EXPECT_EQ(RunLine(context, "runonce setup.sh").text, ran);
    EXPECT_EQ(RunLine(context, "runonce setup.sh").text, unnecessary);
    EXPECT_EQ(runs(), "run\nrun\nrun\n");
    EXPECT_EQ(journal(), first + "\r\n" + second + "\r\n" + second.substr(0, second.size() - 1) + "2\r\n");
}

TEST_F(RunOnceTest, JournalMatchingRules)
{
    const std::string print = fingerprint();
    std::string shouted = print;
    for (char& c : shouted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string spread = print;
    spread.replace(spread.find(" Byte "), 6, "  \t Byte   ");
    const std::string garbage = std::string("\x01\xff\xfc junk\0\0 more", 16) + "\r\n" + std::string(10000, 'g') +
                                "\n\x1a\r\n" + std::string(300, '\0') + "\n";
    const struct {
        const char* name;
        std::string content;
        int expected;
    } cases[] = {
        {"CR LF", print + "\r\n", 0},
        {"bare LF", "other\n" + print + "\n", 0},
        {"no final line end", "other\r\n" + print, 0},
        {"case of letters", shouted + "\r\n", 0},
        {"blanks around and inside", "  \t" + spread + " \t\r\n", 0},
        {"behind garbage, long lines, NUL and Ctrl-Z", garbage + print + "\r\n", 0},
        {"other time", print.substr(0, print.size() - 1) + "2\r\n", 1},
        {"glued onto another line", "other" + print + "\r\n", 1},
    };
    for (const auto& c : cases) {
        writeJournal(c.content);
        EXPECT_EQ(RunOnce(context, "setup.sh"), c.expected) << c.name;
    }
}

TEST_F(RunOnceTest, NewEntryStartsOnALineOfItsOwn)
{
    const std::vector<std::string> lastLines = {"unterminated", "ends in CR\r", std::string("NUL\0", 4), "\x1a"};
    for (const std::string& last : lastLines) {
        writeJournal(last);
        EXPECT_EQ(RunOnce(context, "setup.sh"), 1);
        EXPECT_EQ(journal(), last + "\r\n" + fingerprint() + "\r\n");
        EXPECT_EQ(RunOnce(context, "setup.sh"), 0);
    }
}

TEST_F(RunOnceTest, Failures)
{
    std::filesystem::create_directories(tree / "unc/srv/logon/folder");
    const std::string longName(250, 'n');
    // What a cut program path would name: it must not run.
    WriteScript(tree / "unc/srv/logon/" + longName.substr(0, 248), "echo cut >> '" + (tree / "runs") + "'");
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"missing", "missing.exe"},
        {"directory", "folder"},
        {"program path does not fit", longName},
    };
    for (const auto& c : cases) {
        const LineOutcome outcome = RunLine(context, "runonce " + c.file);
        EXPECT_EQ(outcome.result, LineFailed) << c.name;
        EXPECT_EQ(outcome.text, "runonce " + c.file + " " + Failed) << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(tree / "exe/tallmoor.run"));

    SetExeDir(context, (tree / std::string(250 - tree.path.size(), 'e')).c_str());  // journal path too long
    EXPECT_EQ(RunOnce(context, "setup.sh"), -1);
    EXPECT_EQ(runs(), "");
}

TEST_F(RunOnceTest, JournalNotWritable)
{
    writeJournal("");
    ASSERT_TRUE(Os().setReadOnly((tree / "exe/tallmoor.run").c_str(), true));
    EXPECT_EQ(RunLine(context, "runonce setup.sh").result, LineFailed);
    EXPECT_EQ(RunLine(context, "runonce setup.sh").result, LineFailed);
    EXPECT_EQ(runs(), "run\nrun\n");  // no entry, so it runs again next time
}

TEST_F(RunOnceTest, FileWithoutExtensionStartsOnPosix)
{
    WriteScript(tree / "unc/srv/logon/setup", "echo plain >> '" + (tree / "runs") + "'");
    EXPECT_EQ(RunOnce(context, "setup"), 1);
    EXPECT_EQ(runs(), "plain\n");
}

}  // namespace
