// Program launch: start through the command processor, the program file
// search and the command line, with small shell scripts as real processes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <vector>

#include "command_test_support.h"
#include "commands/program_launch.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

const char* const Failed = " <-- Nicht ausgef\xfchrt!\r\n";

class Launch : public ::testing::Test {
protected:
    void SetUp() override { fake.env["PATH"] = "/nonexistent:\"/usr/bin\":/bin"; }
    // A script that records its arguments in "args" and exits with `status`.
    std::string recorder(const std::string& name, int status)
    {
        const std::string path = dir / name;
        WriteScript(path, "echo \"$@\" > '" + (dir / "args") + "'\nexit " + std::to_string(status));
        return path;
    }

    TempDir dir;
    FakePlatform fake;
    ScopedPlatform use{fake};
    SessionContext context;
};

TEST_F(Launch, StartRunsTheTextThroughTheCommandProcessor)
{
    const std::string out = dir / "out";
    const struct {
        std::string line;
        LineResult result;
        std::string text;
    } cases[] = {
        {"start true", LineDone, "start true \r\n"},
        {"start \"exit 3\"", LineFailed, std::string("start exit 3 ") + Failed},
        {"start \"echo a  b > " + out + "\"", LineDone, "start echo a  b > " + out + " \r\n"},
    };
    for (const auto& c : cases) {
        const LineOutcome outcome = RunLine(context, c.line);
        EXPECT_EQ(outcome.result, c.result) << c.line;
        EXPECT_EQ(outcome.text, c.text) << c.line;
    }
    EXPECT_EQ(ReadAll(out), "a b\n");
}

TEST_F(Launch, ComspecIsTheCommandProcessorWhenSet)
{
    fake.env["COMSPEC"] = recorder("myshell", 7);
    EXPECT_EQ(RunCommand("dir c:\\"), 7);
    EXPECT_EQ(ReadAll(dir / "args"), "-c dir c:\\\n");
}

TEST_F(Launch, NoCommandProcessor)
{
    fake.env["PATH"] = dir.path;
    EXPECT_EQ(RunCommand("true"), -1);
    const LineOutcome outcome = RunLine(context, "start true");
    EXPECT_EQ(outcome.result, LineFailed);
    EXPECT_EQ(outcome.text, std::string("start true ") + Failed);

    fake.env["COMSPEC"] = std::string(300, 'c');  // set, but does not fit: no cut path
    fake.env["PATH"] = "/usr/bin:/bin";
    EXPECT_EQ(RunCommand("true"), -1);
}

TEST_F(Launch, ProgramFileSearchAndCommandLine)
{
    const std::string program = recorder("tool.sh", 5);
    EXPECT_EQ(StartProcess(StartMode::Wait, program.c_str(), {program.c_str(), "eins", "zwei drei"}), 5);
    EXPECT_EQ(ReadAll(dir / "args"), "eins zwei drei\n");

    // Without an extension: .EXE, .BAT, .CMD in this order, then the bare
    // name, which POSIX can start.
    recorder("plain", 0);
    const std::string plain = dir / "plain";
    EXPECT_EQ(StartProcess(StartMode::Wait, plain.c_str(), {plain.c_str(), "x"}), 0);
    EXPECT_EQ(ReadAll(dir / "args"), "x\n");
    recorder("plain.EXE", 1);
    EXPECT_EQ(StartProcess(StartMode::Wait, plain.c_str(), {plain.c_str()}), 1);

    const std::string missing = dir / "missing.sh";
    EXPECT_EQ(StartProcess(StartMode::Wait, missing.c_str(), {missing.c_str()}), -1);
    const std::string nothing = dir / "nothing";
    EXPECT_EQ(StartProcess(StartMode::Wait, nothing.c_str(), {nothing.c_str()}), -1);
    const std::string tooLong = dir / std::string(300, 'p');
    EXPECT_EQ(StartProcess(StartMode::Wait, tooLong.c_str(), {tooLong.c_str()}), -1);
}

TEST_F(Launch, BatchFilesRunThroughComspec)
{
    recorder("job.cmd", 0);
    const std::string job = dir / "job";
    EXPECT_EQ(StartProcess(StartMode::Wait, job.c_str(), {job.c_str(), "arg"}), -1);  // COMSPEC not set

    fake.env["COMSPEC"] = recorder("myshell", 4);
    EXPECT_EQ(StartProcess(StartMode::Wait, job.c_str(), {job.c_str(), "arg"}), 4);
    EXPECT_EQ(ReadAll(dir / "args"), "-c " + job + " arg\n");
}

TEST_F(Launch, WithoutWaitingLeavesNoZombie)
{
    const std::string marker = dir / "marker";
    const std::string program = dir / "late.sh";
    WriteScript(program, "sleep 1\necho \"$1\" > '" + marker + "'");
    EXPECT_EQ(StartProcess(StartMode::NoWait, program.c_str(), {program.c_str(), "done"}), 0);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // no child of ours is left
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(WaitForContent(marker), "done\n");
}

}  // namespace
