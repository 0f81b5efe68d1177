// Network drives: drive and killdrive on real symbolic links under a
// temporary drive root (POSIX only: the links are the POSIX layer's drives),
// and every platform answer through a fake.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command_test_support.h"
#include "commands/network_drives.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

const char* const Failed = " <-- Nicht ausgef\xfchrt!\r\n";

struct DriveStep {
    std::string line;
    LineResult result;
    std::string text;
};

#ifndef _WIN32
class PosixDrives : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(tree / "unc/srv/share");
        std::filesystem::create_directories(tree / "drives/c");
        tree.write("unc/srv/share/data.txt", "on the share");
    }
    bool isLink(char letter) { return std::filesystem::is_symlink(tree / "drives/" + std::string(1, letter)); }

    TempDir tree;
    ScopedEnv unc{"TALLMOOR_UNC_ROOT", (tree / "unc").c_str()};
    ScopedEnv drives{"TALLMOOR_DRIVES", (tree / "drives").c_str()};
    SessionContext context;
};

TEST_F(PosixDrives, ConnectAndRemoveThroughLinks)
{
    const std::vector<DriveStep> steps = {
        {"drive x: \\\\srv\\share", LineDone, "drive x: \\\\srv\\share \r\n"},
        {"drive x: \\\\srv\\other", LineFailed, std::string("drive x: \\\\srv\\other ") + Failed},
        {"drive y: \\\\srv\\missing", LineFailed, std::string("drive y: \\\\srv\\missing ") + Failed},
        {"drive c: \\\\srv\\share", LineFailed, std::string("drive c: \\\\srv\\share ") + Failed},
        {"drive zq \\\\SRV\\SHARE", LineDone, "drive zq \\\\srv\\share \r\n"},
        {"killdrive c:", LineSkipped, ""},
        {"killdrive m:", LineSkipped, ""},
        {"killdrive x", LineFailed, std::string("Fehler killdrive x ") + Failed},
        {"killdrive x:", LineDone, "killdrive x: \r\n"},
        {"killdrive z:", LineDone, "killdrive z: \r\n"},
        {"killdrive x:", LineSkipped, ""},
    };
    for (const DriveStep& step : steps) {
        const LineOutcome outcome = RunLine(context, step.line);
        EXPECT_EQ(outcome.result, step.result) << step.line;
        EXPECT_EQ(outcome.text, step.text) << step.line;
        if (step.line == "drive x: \\\\srv\\share") {
            EXPECT_TRUE(isLink('x'));
            EXPECT_EQ(tree.read("drives/x/data.txt"), "on the share");
            char remote[260];
            EXPECT_EQ(Os().getConnection("x:", remote, sizeof remote), 0);
            EXPECT_STREQ(remote, "\\\\srv\\share");
            EXPECT_EQ(Os().getConnection("x:", remote, 5), 234);
        }
    }
    EXPECT_FALSE(isLink('x'));
    EXPECT_FALSE(isLink('z'));
    EXPECT_TRUE(std::filesystem::is_directory(tree / "drives/c"));
}

TEST_F(PosixDrives, LinkToVanishedShareIsNotConnected)
{
    ASSERT_TRUE(MapDrive("q:", "\\\\srv\\share"));
    std::filesystem::remove_all(tree / "unc/srv/share");
    char remote[260];
    EXPECT_EQ(Os().getConnection("q:", remote, sizeof remote), 1201);
    EXPECT_FALSE(IsDriveConnected("q:"));
    EXPECT_EQ(RunLine(context, "killdrive q:").text, "");
    EXPECT_TRUE(isLink('q'));
}

TEST_F(PosixDrives, MissingDriveRootIsCreated)
{
    ScopedEnv fresh("TALLMOOR_DRIVES", (tree / "new/drives").c_str());
    EXPECT_TRUE(MapDrive("h:", "\\\\srv\\share"));
    EXPECT_TRUE(std::filesystem::is_symlink(tree / "new/drives/h"));
    EXPECT_FALSE(MapDrive("", "\\\\srv\\share"));
    EXPECT_EQ(Os().addConnection("hh", "\\\\srv\\share"), 1200);
}

#endif  // _WIN32

// Answers each connection request with the next scripted code and records
// the names it was given.
class ScriptedConnections : public FakePlatform {
public:
    int addResult = 0;
    std::vector<int> getResults;
    int cancelResult = 0;
    std::vector<std::string> calls;

    int addConnection(const char* local, const char* remote) override
    {
        calls.push_back(std::string("add ") + local + " " + remote);
        return addResult;
    }
    int getConnection(const char* local, char*, size_t size) override
    {
        calls.push_back(std::string("get ") + local + " " + std::to_string(size));
        if (getResults.empty())
            return 2250;
        const int result = getResults.front();
        getResults.erase(getResults.begin());
        return result;
    }
    int cancelConnection(const char* local, bool force) override
    {
        calls.push_back(std::string("cancel ") + local + (force ? " force" : ""));
        return cancelResult;
    }
};

struct CodeCase {
    const char* name;
    std::string line;
    int addResult;
    std::vector<int> getResults;
    int cancelResult;
    LineResult result;
    std::string text;
    std::vector<std::string> calls;
};

TEST(DriveCodes, EveryAnswerOfThePlatform)
{
    const std::string fail = Failed;
    const std::vector<CodeCase> cases = {
        {"connected", "drive x: \\\\srv\\share", 0, {}, 0, LineDone, "drive x: \\\\srv\\share \r\n",
         {"add x: \\\\srv\\share"}},
        {"credential prompt cancelled", "drive x: \\\\srv\\share", 1223, {}, 0, LineFailed,
         "drive x: \\\\srv\\share " + fail, {"add x: \\\\srv\\share"}},
        {"wrong password", "drive x: \\\\srv\\share", 86, {}, 0, LineFailed, "drive x: \\\\srv\\share " + fail,
         {"add x: \\\\srv\\share"}},
        {"letter in use", "drive xyz \\\\srv\\share", 85, {}, 0, LineFailed, "drive xyz \\\\srv\\share " + fail,
         {"add x: \\\\srv\\share"}},
        {"quoted letter keeps case", "drive \"X:\" \"\\\\Srv\\Share\"", 0, {}, 0, LineDone,
         "drive X: \\\\Srv\\Share \r\n", {"add X: \\\\Srv\\Share"}},
        {"removed", "killdrive x:", 0, {0, 0}, 0, LineDone, "killdrive x: \r\n",
         {"get x: 260", "get x: 260", "cancel x: force"}},
        {"not removed", "killdrive x:", 0, {0, 0}, 2401, LineFailed, "killdrive x: " + fail,
         {"get x: 260", "get x: 260", "cancel x: force"}},
        {"not connected", "killdrive x:", 0, {2250}, 0, LineSkipped, "", {"get x: 260"}},
        {"remembered, unavailable", "killdrive x:", 0, {1201}, 0, LineSkipped, "", {"get x: 260"}},
        {"local disk", "killdrive c:", 0, {2250}, 0, LineSkipped, "", {"get c: 260"}},
        {"vanished between the tests", "killdrive x:", 0, {0, 2250}, 0, LineDone, "killdrive x: \r\n",
         {"get x: 260", "get x: 260"}},
        {"malformed letter", "killdrive x", 0, {0}, 0, LineFailed, "Fehler killdrive x " + fail, {}},
    };
    for (const CodeCase& c : cases) {
        ScriptedConnections fake;
        fake.addResult = c.addResult;
        fake.getResults = c.getResults;
        fake.cancelResult = c.cancelResult;
        ScopedPlatform use(fake);
        SessionContext context;
        const LineOutcome outcome = RunLine(context, c.line);
        EXPECT_EQ(outcome.result, c.result) << c.name;
        EXPECT_EQ(outcome.text, c.text) << c.name;
        EXPECT_EQ(fake.calls, c.calls) << c.name;
    }
}

}  // namespace
