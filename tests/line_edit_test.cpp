// Line-file editing: backup names, cmd_insert and cmd_delete.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/line_edit.h"
#include "engine/executor.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

class LineEdit : public ::testing::Test {
protected:
    FakePlatform fake;
    ScopedPlatform use{fake};
    TempDir dir;
    SessionContext context;

    // Runs the worker on FILE `name` with LINE and answers its result; the
    // report holds what it appended.
    int Run(int (*worker)(SessionContext&, const char*, char*), const std::string& name, const char* line)
    {
        ClearSession(context);
        char slot[FieldSize];
        CopyBounded(slot, line, sizeof slot);
        return worker(context, (dir / name).c_str(), slot);
    }
    std::string Report() const { return context.report; }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
    // Empties the directory for the next case.
    void Reset() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path))
            std::filesystem::remove_all(entry.path());
    }
};

TEST_F(LineEdit, BackupNameSequence)
{
    std::vector<std::string> upTo099;
    for (int n = 0; n < 100; n++)
        upTo099.push_back("a.0" + std::string(n < 10 ? "0" : "") + std::to_string(n));
    struct Case {
        std::string name;
        std::vector<std::string> taken;
        int result;
        std::string backup;
    } cases[] = {
        {"a.txt", {}, 1, "a.000"},
        {"a.txt", {"a.000", "a.001"}, 1, "a.002"},
        {"a.txt", upTo099, 1, "a.100"},
        {"a.", {}, 1, "a.000"},
        {"a.tar.gz", {}, 1, "a.tar.000"},
        {"conf.d/hosts", {}, 1, "conf.000"},
        {"hosts", {}, 0, "hosts"},
        {"", {}, 0, ""},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        for (const std::string& name : c.taken)
            fresh.write(name, "x");
        char buffer[BackupNameSize];
        CopyBounded(buffer, c.name.empty() ? "" : (fresh / c.name).c_str(), sizeof buffer);
        EXPECT_EQ(MakeBackupName(buffer, sizeof buffer), c.result) << c.name;
        EXPECT_EQ(buffer, c.name.empty() ? "" : fresh / c.backup) << c.name;
    }
}

TEST_F(LineEdit, BackupNamesRunOut)
{
    const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    char suffix[8];
    for (const char* c = digits; *c; c++)
        for (int n = 0; n < 100; n++) {
            std::snprintf(suffix, sizeof suffix, ".%c%02d", *c, n);
            std::ofstream(dir / ("a" + std::string(suffix)));
        }
    char buffer[BackupNameSize];
    CopyBounded(buffer, (dir / "a.txt").c_str(), sizeof buffer);
    EXPECT_EQ(MakeBackupName(buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer, dir / "a.z99");
    // No room for the suffix.
    char small[] = "ab.c";
    EXPECT_EQ(MakeBackupName(small, 5), 0);
    EXPECT_STREQ(small, "ab.c");
}

TEST_F(LineEdit, InsertRewritesEveryLineCleaned)
{
    const std::string x300(300, 'x');
    struct Case {
        const char* title;
        std::string content, line;
        int result;
        std::string after;
    } cases[] = {
        {"equal but for blanks and case", "  Eins  \r\nzwei\r\n", "eins", 0, "  Eins  \r\nzwei\r\n"},
        {"trimmed LINE", "eins\r\n", "  EINS\t", 0, "eins\r\n"},
        {"umlaut case differs", "\xc4rger\r\n", "\xe4rger", 1, "\xe4rger\r\n\xc4rger\r\n"},
        {"new first line", "  eins \nzwei\r\n\r\ndrei", "neu", 1, "neu\r\neins\r\nzwei\r\n\r\ndrei\r\n"},
        {"Ctrl-Z ends the text", "eins\r\n\x1a" "rest\r\n", "neu", 1, "neu\r\neins\r\n"},
        {"300 characters", x300 + "\n", "neu", 1, "neu\r\n" + x300.substr(0, 259) + "\r\n" + x300.substr(0, 41) + "\r\n"},
        {"equal piece of a long line", x300 + "\n", x300.substr(0, 41), 0, x300 + "\n"},
    };
    for (const Case& c : cases) {
        Reset();
        dir.write("hosts.txt", c.content);
        EXPECT_EQ(Run(InsertLine, "hosts.txt", c.line.c_str()), c.result) << c.title;
        EXPECT_EQ(Report(), "") << c.title;
        EXPECT_EQ(dir.read("hosts.txt"), c.after) << c.title;
        EXPECT_EQ(Exists("hosts.000"), c.result == 1) << c.title;
        if (c.result == 1) {
            EXPECT_EQ(dir.read("hosts.000"), c.content) << c.title;
        }
        EXPECT_FALSE(Exists("hosts.txt~tm0")) << c.title;
    }
}

TEST_F(LineEdit, DeleteRemovesEveryEqualLine)
{
    struct Case {
        const char* title;
        std::string content, line;
        int result;
        std::string after;
    } cases[] = {
        {"several equal lines", "Zwei\r\neins\n  zwei \r\ndrei", "zwei", 1, "eins\r\ndrei\r\n"},
        {"no equal line", "eins\r\n", "zwei", 0, "eins\r\n"},
        {"empty file", "", "zwei", 0, ""},
        {"after Ctrl-Z", "eins\r\n\x1a" "zwei\r\n", "zwei", 0, "eins\r\n\x1a" "zwei\r\n"},
        {"all lines", "zwei\r\n", "zwei", 1, ""},
    };
    for (const Case& c : cases) {
        Reset();
        dir.write("hosts.txt", c.content);
        EXPECT_EQ(Run(DeleteLine, "hosts.txt", c.line.c_str()), c.result) << c.title;
        EXPECT_EQ(Report(), "") << c.title;
        EXPECT_EQ(dir.read("hosts.txt"), c.after) << c.title;
        EXPECT_EQ(Exists("hosts.000"), c.result == 1) << c.title;
        if (c.result == 1) {
            EXPECT_EQ(dir.read("hosts.000"), c.content) << c.title;
        }
    }
}

TEST_F(LineEdit, FailuresLeaveTheFileAsItWas)
{
    dir.write("hosts.txt", "eins\r\n");
    dir.write("empty.txt", "");
    dir.write("plain", "eins\r\n");
    dir.write("ro.txt", "eins\r\n");
    chmod((dir / "ro.txt").c_str(), 0444);
    dir.write("taken.txt", "eins\r\n");
    std::filesystem::create_directory(dir / "taken.000");
    const std::string path = dir.path + TempDir::Separator;
    struct Case {
        std::string name;
        std::string report;  // with the directory's path in front of every name
        bool backup;         // whether a backup .000 lies beside it afterwards
    } cases[] = {
        {"missing.txt", "\r\nDatei " + path + "missing.txt nicht gefunden!\rKann nDatei " + path + "missing.txt nicht lesen!", false},
        {"empty.txt", "\r\nKonnte kein Backup " + path + "empty.000 schreiben!", true},
        {"plain", "\r\nKonnte kein Backup " + path + "plain schreiben!", false},
        {"ro.txt", "\r\nKonnte " + path + "ro.txt nicht schreiben!", true},
        {"taken.txt", "\r\nKonnte kein Backup " + path + "taken.000 schreiben!", true},
    };
    for (const Case& c : cases) {
        const std::string before = Exists(c.name) ? dir.read(c.name) : "";
        EXPECT_EQ(Run(InsertLine, c.name, "neu"), -1) << c.name;
        EXPECT_EQ(Report(), c.report) << c.name;
        EXPECT_EQ(Exists(c.name), c.name != "missing.txt") << c.name;
        if (Exists(c.name)) {
            EXPECT_EQ(dir.read(c.name), before) << c.name;
        }
        const std::string stem = c.name.substr(0, c.name.find('.'));
        EXPECT_EQ(Exists(stem + ".000"), c.backup) << c.name;
    }
    struct stat info;
    ASSERT_EQ(stat((dir / "ro.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    EXPECT_EQ(dir.read("ro.000"), "eins\r\n");
}

TEST_F(LineEdit, TwoGibibyteFileIsRefusedUnread)
{
    const std::string huge = dir.write("huge.txt", "");
    std::error_code error;
    std::filesystem::resize_file(huge, uintmax_t(1) << 31, error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(Run(InsertLine, "huge.txt", "neu"), -1);
    EXPECT_EQ(Report(), "\rKann nDatei " + huge + " nicht lesen!");
    EXPECT_EQ(Run(DeleteLine, "huge.txt", "neu"), -1);
    EXPECT_FALSE(Exists("huge.000"));
}

TEST_F(LineEdit, ScriptCommands)
{
    const std::string file = dir.write("hosts.txt", "eins\n");
    struct Step {
        std::string line;
        LineResult result;
        std::string appended;
    } steps[] = {
        {"cmd_insert \"" + file + "\" Neu", LineDone, "cmd_insert " + file + " neu  aktualisiert."},
        {"cmd_insert \"" + file + "\" neu", LineDone, "cmd_insert " + file + " neu  schon da."},
        {"cmd_delete \"" + file + "\" eins", LineDone, "cmd_delete " + file + " eins  ausgef\xfchrt"},
        {"cmd_delete \"" + file + "\" eins", LineDone, "cmd_delete " + file + " eins  unn\xf6tig."},
        {"cmd_delete \"" + file + "x\" eins", LineFailed,
         "cmd_delete " + file + "x eins \r\nDatei " + file + "x nicht gefunden!\rKann nDatei " + file +
             "x nicht lesen!"},
    };
    for (const Step& step : steps) {
        const size_t before = context.reportLength;
        EXPECT_EQ(ExecuteLine(context, step.line.c_str()), step.result) << step.line;
        EXPECT_EQ(std::string(context.report + before), step.appended) << step.line;
    }
    EXPECT_EQ(dir.read("hosts.txt"), "neu\r\n");
    EXPECT_EQ(dir.read("hosts.000"), "eins\n");
    EXPECT_EQ(dir.read("hosts.001"), "neu\r\neins\r\n");
}

}  // namespace
