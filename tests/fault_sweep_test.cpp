// Fault sweeps: every file operation of file_copy, cmd_insert and cmd_delete
// is made to fail in turn, once alone and once for good (a disk that stays
// full). After every fault the original content must be intact in FILE, or
// the command must have completed exactly; a verified backup, where one was
// made, holds the original; nothing half-written is left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "engine/executor.h"
#include "fake_platform.h"
#include "fault_platform.h"
#include "temp_dir.h"

namespace {

const std::string Original = "  eins\r\nzwei\n  drei  \r\nzwei\r\n" + std::string(400, 'v') + "\r\nende";
const std::string Source = std::string(40000, 's') + "\r\nquelle\r\n";

struct Scenario {
    const char* name;
    std::string command;    // script line, with FILE and SOURCE in place
    std::string done;       // what the worker appends on success
    std::string expected;   // FILE after success
    bool sourceIsFallback;  // file_copy: a failed report may follow a completed copy
    bool readOnlyFile;      // FILE is marked read-only before each run
};

class FaultSweep : public ::testing::Test {
protected:
    FakePlatform fake;
    FaultPlatform faults{fake};
    TempDir dir;
    std::string file = dir / "hosts.txt";
    std::string source = dir / "quelle.txt";
    int tried = 0;

    void Restore(const Scenario& s) const
    {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
            // Windows removes no read-only file.
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
            std::filesystem::remove_all(entry.path());
        }
        dir.write("hosts.txt", Original);
        dir.write("quelle.txt", Source);
        if (s.readOnlyFile)
            chmod(file.c_str(), 0444);
    }

    // Runs the command once; answers the line's result and what it appended.
    LineResult Run(const Scenario& scenario, std::string& appended)
    {
        SessionContext context;
        ScopedPlatform use{faults};
        const LineResult result = ExecuteLine(context, scenario.command.c_str());
        appended = context.report;
        return result;
    }

    void Check(const Scenario& s, int n, bool sticky)
    {
        Restore(s);
        faults.arm(n, sticky);
        std::string appended;
        const LineResult result = Run(s, appended);
        const std::string step = std::string(s.name) + (sticky ? " from " : " at ") +
                                 std::to_string(n) + ": " + faults.describe(n);
        const std::string now = dir.read("hosts.txt");
        EXPECT_EQ(dir.read("quelle.txt"), Source) << step;
        if (result == LineDone) {
            EXPECT_NE(appended.find(s.done), std::string::npos) << step;
            EXPECT_EQ(now, s.expected) << step;
        } else {
            EXPECT_EQ(result, LineFailed) << step;
            EXPECT_EQ(appended.find(s.done), std::string::npos) << step;
            if (!(s.sourceIsFallback && now == s.expected)) {
                EXPECT_EQ(now, Original) << step;
            }
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
            const std::string name = entry.path().filename().string();
            if (name.find("~tm") != std::string::npos) {
                // A temporary file stays only when removing it failed too.
                EXPECT_TRUE(sticky) << step << ": left " << name;
            } else if (name != "hosts.txt" && name != "quelle.txt") {
                EXPECT_EQ(name, "hosts.000") << step;
                EXPECT_EQ(dir.read(name), Original) << step << ": backup";
            }
        }
    }

    void Sweep(const Scenario& s)
    {
        faults.counts = nullptr;
        const int runs = faults.sweep([&](int n, bool sticky) { Check(s, n, sticky); });
        EXPECT_GT(runs, 0) << "no step to sweep";
        tried += runs;
    }

    void TearDown() override
    {
        std::cout << "[ sweep    ] " << tried << " faults tried\n";
    }
};

TEST_F(FaultSweep, FileCopy)
{
    Sweep({"file_copy", "file_copy \"" + source + "\" \"" + file + "\"", " kopiert", Source, true, false});
}

TEST_F(FaultSweep, FileCopyOntoReadOnlyTarget)
{
    Sweep({"file_copy", "file_copy \"" + source + "\" \"" + file + "\"", " kopiert", Source, true, true});
}

TEST_F(FaultSweep, CmdInsert)
{
    Sweep({"cmd_insert", "cmd_insert \"" + file + "\" neu", " aktualisiert.",
           "neu\r\neins\r\nzwei\r\ndrei\r\nzwei\r\n" + std::string(259, 'v') + "\r\n" + std::string(141, 'v') +
               "\r\nende\r\n",
           false, false});
}

TEST_F(FaultSweep, CmdDelete)
{
    Sweep({"cmd_delete", "cmd_delete \"" + file + "\" zwei", " ausgef\xfchrt",
           "eins\r\ndrei\r\n" + std::string(259, 'v') + "\r\n" + std::string(141, 'v') + "\r\nende\r\n", false, false});
}

}  // namespace
