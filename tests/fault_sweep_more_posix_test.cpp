// Fault sweeps beyond the file commands' own: the run journal's append, the
// log file of a self-update hand-over and the backup copy of cmd_insert, each
// with a failure injected at every step; files that vanish or change size
// while they are being copied; a full disk. After every fault nothing that
// existed before is lost, and a command that did not do its work says so.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "command_test_support.h"
#include "commands/run_journal.h"
#include "fake_platform.h"
#include "fault_platform.h"
#include "temp_dir.h"

namespace {

// A platform that starts nothing: a start "succeeds" and is counted.
class QuietPlatform : public FakePlatform {
public:
    int startProcess(const char*, const char*, bool) override
    {
        starts++;
        return 0;
    }
    int starts = 0;
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The lines of a file as its readers see them: CR dropped, trimmed.
std::vector<std::string> Lines(const std::string& content)
{
    std::vector<std::string> lines;
    std::string line;
    auto finish = [&] {
        const size_t start = line.find_first_not_of(" \t");
        const size_t end = line.find_last_not_of(" \t");
        lines.push_back(start == std::string::npos ? "" : line.substr(start, end - start + 1));
        line.clear();
    };
    for (char c : content) {
        if (c == '\n')
            finish();
        else if (c != '\r')
            line += c;
    }
    if (!line.empty())
        finish();
    return lines;
}

bool HoldsLine(const std::string& content, const std::string& wanted)
{
    for (const std::string& line : Lines(content))
        if (line == wanted)
            return true;
    return false;
}

// Names of temporary copies left in `dir`.
std::vector<std::string> TemporaryFiles(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (Contains(name, "~tm"))
            names.push_back(name);
    }
    return names;
}

// \\srv\logon is tree/unc/srv/logon; the program directory is tree/exe. Every
// sweep restores its files, runs once without a fault to count the steps it
// is narrowed to, then once with each step failing, alone and for good.
class SweepBase : public ::testing::Test {
protected:
    TempDir tree;
    ScopedEnv unc{"TALLMOOR_UNC_ROOT", (tree / "unc").c_str()};
    QuietPlatform quiet;
    FaultPlatform faults{quiet};
    SessionContext context;
    std::string exe = tree / "exe";
    int tried = 0;

    void SetUp() override
    {
        std::filesystem::create_directories(tree / "exe");
        std::filesystem::create_directories(tree / "unc/srv/logon");
    }

    void Fresh()
    {
        ClearSession(context);
        std::strcpy(context.logonPath, "\\\\srv\\logon");
        SetExeDir(context, exe.c_str());
        quiet.starts = 0;
    }

    // Runs `scenario(n, sticky)` for every step n of the operations on paths
    // containing `part`.
    template <class Scenario>
    void Sweep(const std::string& part, Scenario scenario)
    {
        faults.counts = [part](FileOp, const std::string& path) { return Contains(path, part); };
        faults.arm(0);
        const int runs = faults.sweep(scenario);
        EXPECT_GT(runs, 0) << "no step to sweep";
        tried += runs;
    }

    LineOutcome Run(int n, bool sticky, const std::string& line)
    {
        Fresh();
        faults.arm(n, sticky);
        ScopedPlatform use{faults};
        return RunLine(context, line);
    }
    // A run without the fault platform, which leaves its count alone.
    LineOutcome RunUnharmed(const std::string& line)
    {
        Fresh();
        ScopedPlatform use{quiet};
        return RunLine(context, line);
    }

    std::string Step(const char* what, int n, bool sticky) const
    {
        return std::string(what) + (sticky ? " from " : " at ") + std::to_string(n) + ": " + faults.describe(n);
    }

    void TearDown() override { std::cout << "[ sweep    ] " << tried << " faults tried\n"; }
};

// --- The run journal ----------------------------------------------------------

class JournalSweep : public SweepBase {
protected:
    const std::string earlier = "\\\\srv\\logon\\old.exe 10 Byte 2001-01-01 00:00:00";
    const std::string last = "\\\\srv\\logon\\older.exe 20 Byte 2002-02-02 00:00:00";
    std::string entry;

    void SetUp() override
    {
        SweepBase::SetUp();
        tree.write("unc/srv/logon/setup.exe", "program");
        ScopedPlatform use{quiet};
        entry = FileFingerprint("\\\\srv\\logon\\setup.exe");
    }

    // `journal` is what the journal holds before each run.
    void Check(const std::string& journal, int n, bool sticky)
    {
        const std::string step = Step("runonce", n, sticky);
        tree.write("exe/tallmoor.run", journal);
        const LineOutcome first = Run(n, sticky, "runonce setup.exe");
        const std::string now = tree.read("exe/tallmoor.run");
        EXPECT_EQ(now.substr(0, journal.size()), journal) << step;
        EXPECT_TRUE(HoldsLine(now, earlier) && HoldsLine(now, last)) << step << ": " << now;
        if (first.result == LineDone) {
            EXPECT_TRUE(Contains(first.text, " ausgef\xfchrt")) << step;
            EXPECT_TRUE(HoldsLine(now, entry)) << step;
        } else {
            EXPECT_EQ(first.result, LineFailed) << step;
            EXPECT_FALSE(Contains(first.text, " ausgef\xfchrt\r\n")) << step;
        }

        // The next logon, without a fault: whatever the failed append left,
        // the program is recorded once and no earlier entry is spoilt.
        const LineOutcome next = RunUnharmed("runonce setup.exe");
        const std::string after = tree.read("exe/tallmoor.run");
        EXPECT_EQ(next.result, LineDone) << step;
        // A failed close may follow a complete write: then the entry is
        // there, and the program is not started again.
        if (first.result == LineDone) {
            EXPECT_TRUE(Contains(next.text, " unn\xf6tig.")) << step;
        }
        EXPECT_TRUE(HoldsLine(after, earlier) && HoldsLine(after, last) && HoldsLine(after, entry))
            << step << ": " << after;
    }
};

TEST_F(JournalSweep, AppendToAJournalEndingInALineEnd)
{
    const std::string journal = earlier + "\r\n" + last + "\r\n";
    Sweep("tallmoor.run", [&](int n, bool sticky) { Check(journal, n, sticky); });
}

// A journal whose last append was cut short: the next entry must not be
// glued onto that line.
TEST_F(JournalSweep, AppendToAJournalEndingInsideALine)
{
    const std::string journal = earlier + "\r\n" + last;
    Sweep("tallmoor.run", [&](int n, bool sticky) { Check(journal, n, sticky); });
}

// --- The log file of a hand-over ---------------------------------------------

class LogSweep : public SweepBase {
protected:
    void SetUp() override
    {
        SweepBase::SetUp();
        tree.write("exe/tallmoor.exe", "version 1");
        tree.write("unc/srv/logon/tallmoor.exe", "version 2");
        tree.write("unc/srv/logon/update.exe", "updater");
    }
};

TEST_F(LogSweep, TheOldLogOrTheWholeReport)
{
    const std::string oldLog = "Logon vom letzten Mal\r\nShutdown\r\n";
    Sweep("Tallmoor.log", [&](int n, bool sticky) {
        const std::string step = Step("selfupdate", n, sticky);
        tree.write("exe/Tallmoor.log", oldLog);
        Fresh();
        for (int i = 0; i < 200; i++)
            AppendReport(context, "\r\nZeile %d des Berichts", i);
        faults.arm(n, sticky);
        LineResult result;
        {
            ScopedPlatform use{faults};
            result = ExecuteLine(context, "selfupdate update.exe");
        }
        // The hand-over goes on without the log.
        EXPECT_EQ(result, LineAbort) << step;
        EXPECT_EQ(quiet.starts, 1) << step;
        const std::string log = tree.read("exe/Tallmoor.log");
        EXPECT_TRUE(log == oldLog || log == context.report) << step << ": " << log.size() << " bytes";
        if (!sticky) {
            EXPECT_TRUE(TemporaryFiles(exe).empty()) << step;
        }
    });
}

// --- The backup copy of cmd_insert ---------------------------------------------

class BackupSweep : public SweepBase {};

TEST_F(BackupSweep, CmdInsertKeepsEarlierBackups)
{
    // Two chunks of copying: 40 KiB of lines already in their cleaned-up form.
    std::string original;
    for (int i = 0; i < 400; i++)
        original += "zeile " + std::to_string(i) + " " + std::string(90, 'z') + "\r\n";
    const std::string earlierBackup = "a backup of an earlier change";
    const std::string file = tree / "hosts.txt";
    const std::string line = "cmd_insert \"" + file + "\" neu";
    Sweep("hosts.001", [&](int n, bool sticky) {
        const std::string step = Step("backup copy", n, sticky);
        tree.write("hosts.txt", original);
        tree.write("hosts.000", earlierBackup);
        std::filesystem::remove(tree / "hosts.001");
        const LineOutcome outcome = Run(n, sticky, line);
        const std::string now = tree.read("hosts.txt");
        EXPECT_EQ(tree.read("hosts.000"), earlierBackup) << step;
        if (outcome.result == LineDone) {
            EXPECT_EQ(now, "neu\r\n" + original) << step;
            EXPECT_EQ(tree.read("hosts.001"), original) << step;
        } else {
            EXPECT_EQ(now, original) << step;
            EXPECT_TRUE(Contains(outcome.text, tree / "hosts.001")) << step << ": " << outcome.text;
            if (std::filesystem::exists(tree / "hosts.001")) {
                EXPECT_EQ(tree.read("hosts.001"), original) << step << ": a backup left is whole";
            }
        }
        if (!sticky) {
            EXPECT_TRUE(TemporaryFiles(tree.path).empty()) << step;
        }
    });
}

// --- Files that change while they are copied -----------------------------------

// Changes one file behind the back of the command that reads it: right after
// its `at`-th opening for reading, or after the first read through it.
class ChangingPlatform : public QuietPlatform {
public:
    enum class Change { Vanish, Append, Rewrite, Shrink };
    enum class Moment { AfterOpen, AfterFirstRead };

    std::string path;
    int at = 0;
    Change change = Change::Vanish;
    Moment moment = Moment::AfterOpen;
    int opens = 0;
    bool changed = false;

    void arm(int n, Change what, Moment when)
    {
        at = n;
        change = what;
        moment = when;
        opens = 0;
        changed = false;
    }

    // What the file holds after each change of `content`.
    static std::string Changed(const std::string& content, Change what)
    {
        switch (what) {
        case Change::Vanish:
            return "";
        case Change::Append:
            return content + "appended line\r\n";
        case Change::Rewrite: {
            std::string longer;
            for (int i = 0; longer.size() <= content.size() + 1000; i++)
                longer += "neu geschrieben " + std::to_string(i) + "\r\n";
            return longer;
        }
        case Change::Shrink: {
            // Cut after a line end where there is one.
            const size_t end = content.rfind("\r\n", content.size() / 2);
            return content.substr(0, end == std::string::npos ? content.size() / 2 : end + 2);
        }
        }
        return content;
    }

    void apply()
    {
        if (changed)
            return;
        changed = true;
        if (change == Change::Vanish) {
            std::filesystem::remove(path);
            return;
        }
        // In place, as another writer would change it.
        const std::string content = Changed(ReadAll(path), change);
        std::fstream(path, std::ios::binary | std::ios::in | std::ios::out) << content;
        std::filesystem::resize_file(path, content.size());
    }

    std::unique_ptr<File> openFile(const char* name, OpenMode mode) override
    {
        std::unique_ptr<File> file = QuietPlatform::openFile(name, mode);
        if (!file || mode != OpenMode::Read || path != name || ++opens != at)
            return file;
        if (moment == Moment::AfterOpen) {
            apply();
            return file;
        }
        return std::make_unique<ChangeAfterRead>(*this, std::move(file));
    }

private:
    class ChangeAfterRead : public File {
    public:
        ChangeAfterRead(ChangingPlatform& owner, std::unique_ptr<File> file) : owner(owner), file(std::move(file)) {}
        size_t read(void* buffer, size_t size) override
        {
            const size_t got = file->read(buffer, size);
            owner.apply();
            return got;
        }
        size_t write(const void* buffer, size_t size) override { return file->write(buffer, size); }
        int64_t seekEnd() override { return file->seekEnd(); }
        bool flush() override { return file->flush(); }
        bool close() override { return file->close(); }
        bool failed() const override { return file->failed(); }

    private:
        ChangingPlatform& owner;
        std::unique_ptr<File> file;
    };
};

using Change = ChangingPlatform::Change;
using Moment = ChangingPlatform::Moment;

class ChangingSource : public ::testing::Test {
protected:
    TempDir dir;
    ChangingPlatform platform;
    int tried = 0;

    // Runs `scenario(change, moment)` once for every opening of `path` for
    // reading that the command makes, with every change at both moments.
    template <class Scenario>
    void Sweep(const std::string& path, Scenario scenario)
    {
        platform.path = path;
        platform.arm(0, Change::Vanish, Moment::AfterOpen);
        scenario("no change");
        const int opens = platform.opens;
        ASSERT_GT(opens, 0);
        const char* changes[] = {"vanishes", "grows", "is rewritten longer", "shrinks"};
        for (int n = 1; n <= opens; n++)
            for (int c = 0; c < 4; c++)
                for (Moment moment : {Moment::AfterOpen, Moment::AfterFirstRead}) {
                    platform.arm(n, static_cast<Change>(c), moment);
                    scenario(std::string(changes[c]) + (moment == Moment::AfterOpen ? " after opening " : " after reading ") +
                             std::to_string(n));
                    tried++;
                }
    }

    LineOutcome Run(const std::string& line)
    {
        SessionContext context;
        ScopedPlatform use{platform};
        return RunLine(context, line);
    }

    void TearDown() override { std::cout << "[ sweep    ] " << tried << " changes tried\n"; }
};

TEST_F(ChangingSource, FileCopy)
{
    const std::string source = std::string(40000, 's') + "\r\nquelle\r\n";
    const std::string oldTarget = "the target as it was";
    Sweep(dir / "quelle.txt", [&](const std::string& step) {
        dir.write("quelle.txt", source);
        dir.write("ziel.txt", oldTarget);
        const LineOutcome outcome = Run("file_copy \"" + dir / "quelle.txt" + "\" \"" + dir / "ziel.txt" + "\"");
        const std::string target = dir.read("ziel.txt");
        const std::string now = dir.read("quelle.txt");
        // The target is as it was or a whole copy of the source at one
        // moment: never a mixture, never cut short.
        const bool whole = target == source || (platform.changed && target == now && !now.empty());
        EXPECT_TRUE(target == oldTarget || whole) << step << ": " << target.size() << " bytes";
        if (outcome.result == LineDone) {
            EXPECT_EQ(target, platform.changed && platform.change == Change::Vanish ? source : now) << step;
            EXPECT_TRUE(Contains(outcome.text, " kopiert")) << step;
        } else {
            EXPECT_TRUE(Contains(outcome.text, " Keine Kopie.")) << step;
        }
        EXPECT_TRUE(TemporaryFiles(dir.path).empty()) << step;
    });
}

TEST_F(ChangingSource, CmdInsert)
{
    std::string original;
    for (int i = 0; i < 400; i++)
        original += "zeile " + std::to_string(i) + " " + std::string(90, 'x') + "\r\n";
    const std::string file = dir / "hosts.txt";
    Sweep(file, [&](const std::string& step) {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path))
            std::filesystem::remove_all(entry.path());
        dir.write("hosts.txt", original);
        const LineOutcome outcome = Run("cmd_insert \"" + file + "\" neu");
        const bool exists = std::filesystem::exists(file);
        const std::string now = dir.read("hosts.txt");
        const std::string changed = platform.changed ? ChangingPlatform::Changed(original, platform.change) : original;
        const std::string backup = dir.read("hosts.000");
        if (std::filesystem::exists(dir / "hosts.000")) {
            EXPECT_TRUE(backup == original || backup == changed) << step << ": the backup is a whole file";
        }
        if (outcome.result == LineDone) {
            // The rewrite comes from the verified backup; what another
            // writer added before it was verified is not lost.
            EXPECT_EQ(now, "neu\r\n" + backup) << step;
            if (platform.change != Change::Vanish) {
                EXPECT_EQ(backup, changed) << step;
            }
        } else {
            EXPECT_EQ(outcome.result, LineFailed) << step;
            EXPECT_EQ(exists, !platform.changed || platform.change != Change::Vanish) << step;
            EXPECT_EQ(now, changed) << step << ": left as the other writer left it";
        }
        EXPECT_TRUE(TemporaryFiles(dir.path).empty()) << step;
    });
}

// --- A full disk ------------------------------------------------------------------

// A file system of 128 KiB mounted for the test (skipped where mounting is
// not allowed). Before each run the disk is filled up to `room` bytes.
class FullDisk : public ::testing::Test {
protected:
    TempDir tree;
    std::string disk = tree / "disk";
    ScopedEnv unc{"TALLMOOR_UNC_ROOT", (tree / "disk/unc").c_str()};
    QuietPlatform platform;
    bool mounted = false;

    void SetUp() override
    {
        std::filesystem::create_directories(disk);
        mounted = mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=128k") == 0;
        if (!mounted)
            GTEST_SKIP() << "no small file system can be mounted here";
    }
    void TearDown() override
    {
        if (mounted)
            umount2(disk.c_str(), MNT_DETACH);
    }

    void Clear() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(disk))
            std::filesystem::remove_all(entry.path());
    }

    // Fills the disk, then frees `room` bytes of the filler.
    void FillUpTo(size_t room) const
    {
        const std::string filler = disk + "/filler";
        {
            std::ofstream out(filler, std::ios::binary);
            const std::string block(4096, 'f');
            while (out.write(block.data(), block.size()) && out.flush()) {
            }
        }
        const auto size = std::filesystem::file_size(filler);
        std::filesystem::resize_file(filler, size > room ? size - room : 0);
    }

    void Write(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(disk + "/" + name).parent_path());
        std::ofstream(disk + "/" + name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const { return ReadAll(disk + "/" + name); }

    LineOutcome Run(const std::string& line, SessionContext& context)
    {
        ScopedPlatform use{platform};
        return RunLine(context, line);
    }

    // Every amount of room from none to enough, in steps of one page.
    template <class Scenario>
    void ForEachRoom(Scenario scenario)
    {
        int done = 0;
        for (size_t room = 0; room <= 64 * 1024; room += 4096) {
            Clear();
            done += scenario(room) ? 1 : 0;
        }
        std::cout << "[ disk     ] " << done << " of 17 fill levels let the command finish\n";
    }
};

TEST_F(FullDisk, CmdInsert)
{
    std::string original;
    for (int i = 0; i < 200; i++)
        original += "zeile " + std::to_string(i) + " " + std::string(90, 'z') + "\r\n";
    ForEachRoom([&](size_t room) {
        Write("hosts.txt", original);
        FillUpTo(room);
        SessionContext context;
        const LineOutcome outcome = Run("cmd_insert \"" + disk + "/hosts.txt\" neu", context);
        const std::string step = std::to_string(room) + " bytes free";
        if (outcome.result == LineDone) {
            EXPECT_EQ(Read("hosts.txt"), "neu\r\n" + original) << step;
            EXPECT_EQ(Read("hosts.000"), original) << step;
        } else {
            EXPECT_EQ(Read("hosts.txt"), original) << step;
            EXPECT_TRUE(Contains(outcome.text, "Konnte")) << step << ": " << outcome.text;
        }
        EXPECT_TRUE(TemporaryFiles(disk).empty()) << step;
        return outcome.result == LineDone;
    });
}

TEST_F(FullDisk, FileCopy)
{
    const std::string source = std::string(20000, 's');
    ForEachRoom([&](size_t room) {
        Write("quelle.txt", source);
        Write("ziel.txt", "the target as it was");
        FillUpTo(room);
        SessionContext context;
        const LineOutcome outcome =
            Run("file_copy \"" + disk + "/quelle.txt\" \"" + disk + "/ziel.txt\"", context);
        const std::string step = std::to_string(room) + " bytes free";
        EXPECT_EQ(Read("ziel.txt"), outcome.result == LineDone ? source : "the target as it was") << step;
        if (outcome.result != LineDone) {
            EXPECT_TRUE(Contains(outcome.text, " Keine Kopie.")) << step;
        }
        EXPECT_TRUE(TemporaryFiles(disk).empty()) << step;
        return outcome.result == LineDone;
    });
}

TEST_F(FullDisk, RunOnceJournal)
{
    // Long entries, so that a page holds only a few of them.
    const std::string entry = "\\\\srv\\logon\\" + std::string(200, 'p') + ".exe 10 Byte 2001-01-01 00:00:00";
    std::string journal;
    for (int i = 0; i < 30; i++)
        journal += entry + std::to_string(i) + "\r\n";
    ForEachRoom([&](size_t room) {
        Write("exe/tallmoor.run", journal);
        Write("unc/srv/logon/setup.exe", "program");
        FillUpTo(room);
        SessionContext context;
        std::strcpy(context.logonPath, "\\\\srv\\logon");
        SetExeDir(context, (disk + "/exe").c_str());
        const LineOutcome outcome = Run("runonce setup.exe", context);
        const std::string step = std::to_string(room) + " bytes free";
        const std::string now = Read("exe/tallmoor.run");
        EXPECT_EQ(now.substr(0, journal.size()), journal) << step;
        if (room >= 4096) {
            EXPECT_EQ(outcome.result, LineDone) << step;
        }

        // Room again: the next logon records the program on a line of its
        // own, whatever the full disk left.
        std::filesystem::remove(disk + "/filler");
        SessionContext next;
        std::strcpy(next.logonPath, "\\\\srv\\logon");
        SetExeDir(next, (disk + "/exe").c_str());
        EXPECT_EQ(Run("runonce setup.exe", next).result, LineDone) << step;
        const std::string after = Read("exe/tallmoor.run");
        ScopedPlatform use{platform};
        EXPECT_TRUE(HoldsLine(after, FileFingerprint("\\\\srv\\logon\\setup.exe"))) << step;
        for (int i = 0; i < 30; i++)
            EXPECT_TRUE(HoldsLine(after, entry + std::to_string(i))) << step;
        return outcome.result == LineDone;
    });
}

TEST_F(FullDisk, SelfUpdateLog)
{
    const std::string oldLog = "Logon vom letzten Mal\r\nShutdown\r\n";
    ForEachRoom([&](size_t room) {
        Write("exe/tallmoor.exe", "version 1");
        Write("exe/Tallmoor.log", oldLog);
        Write("unc/srv/logon/tallmoor.exe", "version 2");
        Write("unc/srv/logon/update.exe", "updater");
        FillUpTo(room);
        SessionContext context;
        std::strcpy(context.logonPath, "\\\\srv\\logon");
        SetExeDir(context, (disk + "/exe").c_str());
        for (int i = 0; i < 600; i++)
            AppendReport(context, "\r\nZeile %d des Berichts", i);
        LineResult result;
        {
            ScopedPlatform use{platform};
            result = ExecuteLine(context, "selfupdate update.exe");
        }
        const std::string step = std::to_string(room) + " bytes free";
        EXPECT_EQ(result, LineAbort) << step;
        const std::string log = Read("exe/Tallmoor.log");
        EXPECT_TRUE(log == oldLog || log == context.report) << step << ": " << log.size() << " bytes";
        EXPECT_TRUE(TemporaryFiles(disk + "/exe").empty()) << step;
        return log == context.report;
    });
}

}  // namespace
