// Script runner: header, line loop, comments, pieces, failure marks, footer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/logon.h"
#include "engine/runner.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

const std::string Header =
    "2008-07-26 10:57\r\n"
    "Windows NT v5.1 Build 2600 Service Pack 2\r\n"
    "Computer: PC01\r\n"
    "Username: hans\r\n"
    "MacAddress: 001A2B3C4D5E\r\n";

class Runner : public ::testing::Test {
protected:
    // Runs `script` and answers the report after the header and the
    // "Ausführen von" line.
    std::string Run(const std::string& script)
    {
        std::string path = dir.write("Logon.def", script);
        context = std::make_unique<SessionContext>();
        SetUserName(*context, "hans");
        CopyBounded(context->scriptPath, path.c_str(), FieldSize);
        std::string report = RunScript(*context, aborted);
        std::string start = Header + "Ausf\xfchren von " + path + "\r\n";
        EXPECT_EQ(report.substr(0, start.size()), start);
        return report.substr(std::min(start.size(), report.size()));
    }

    FakePlatform fake;
    ScopedPlatform use{fake};
    TempDir dir;
    std::unique_ptr<SessionContext> context;
    bool aborted = true;
};

TEST_F(Runner, WorkedExample)
{
    std::string body = Run(
        "; Anmeldung\r\n"
        "echo \"Guten Morgen\"\r\n"
        "if user = hans\r\n"
        "echo \"Hallo Hans\"\r\n"
        "endif\r\n"
        "foo\r\n"
        "if computername = pc99\r\n"
        "echo \"nie\"\r\n");
    EXPECT_EQ(body,
              "Guten Morgen\r\n"
              "Hallo Hans\r\n"
              "Unbekanntes 1-er Kommando 'foo  <-- Nicht ausgef\xfchrt!\r\n"
              "1-mal zu viel 'if'\r\n");
    EXPECT_FALSE(aborted);
}

TEST_F(Runner, LinesCommentsAndPieces)
{
    struct Case {
        std::string script;
        std::string body;
    };
    const Case cases[] = {
        {"", ""},
        {"   ;text\n#x\necho x ; note\n", "Unbekanntes 3-er Kommando 'echo x note  <-- Nicht ausgef\xfchrt!\r\n"},
        {"echo a\nexit\necho b\n", "a\r\nexit "},
        {"endif\nif user = hans\necho in\n", "Zu viele 'endif' <-- Nicht ausgef\xfchrt!\r\nin\r\n1-mal zu viel 'if'\r\n"},
        {"if user = x\nif user = y\n", "2-mal zu viel 'if'\r\n"},
        {"echo last", "last\r\n"},
        {std::string("echo a") + std::string(1, '\0') + "junk\necho b\n", "a\r\nb\r\n"},
        {"echo a\x1a\necho b\n", "a\r\n"},
        {"echo \"\xe4\xf6\xfc\xdf\"\n", "\xe4\xf6\xfc\xdf\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(c.script), c.body) << c.script;
}

TEST_F(Runner, CarriageReturnsAreDropped)
{
    // Text mode drops every CR: "echo a\recho b" reads as "echo aecho b".
    EXPECT_EQ(Run("echo a\recho b\n"), "Unbekanntes 3-er Kommando 'echo aecho b  <-- Nicht ausgef\xfchrt!\r\n");
}

TEST_F(Runner, LongLinesRunAsPieces)
{
    // 259 characters of a comment, then the rest runs as a line of its own.
    std::string comment = ";" + std::string(258, 'x') + "echo \"tail\"\n";
    EXPECT_EQ(Run(comment), "tail\r\n");
    std::string huge = "echo \"" + std::string(10000, 'y') + "\"\n";
    std::string body = Run(huge);
    EXPECT_NE(body.find("Unbekanntes"), std::string::npos);
}

TEST_F(Runner, ReportStopsGrowingButTheRunGoesOn)
{
    std::string script;
    for (int i = 0; i < 3000; i++)
        script += "echo \"line of output %s %n\"\n";
    std::string marker = dir / "marker.txt";
    script += "if filepresence ! \"" + marker + "\"\nendif\nexit\n";
    Run(script);
    EXPECT_EQ(std::strlen(context->report), size_t(ReportSize - 1));
    EXPECT_EQ(context->tokens[0][0] != 0, true);  // the last line (exit) still ran
    EXPECT_STREQ(context->tokens[0], "exit");
}

TEST_F(Runner, RefusalsAndMissingScript)
{
    SessionContext session;
    SetUserName(session, "hans");
    CopyBounded(session.scriptPath, (dir / "missing.def").c_str(), FieldSize);
    bool wasAborted = true;
    EXPECT_EQ(std::string(RunScript(session, wasAborted)), Header + "Konnte Scriptfile nicht \xf6" "ffnen!\r\n");
    EXPECT_FALSE(wasAborted);

    fake.computerReadable = false;
    SessionContext noName;
    SetUserName(noName, "hans");
    std::string report = RunScript(noName, wasAborted);
    EXPECT_EQ(report.substr(report.size() - 34), "Netzwerk unvollst\xe4ndig installiert");
    EXPECT_NE(report.find("Computer: \r\n"), std::string::npos);
}

#ifndef _WIN32
// The logon share is reached through the POSIX path mapping.
TEST(Logon, RunsLikeTheWindowWithoutWaiting)
{
    FakePlatform fake;
    ScopedPlatform use(fake);
    TempDir program, share;
    ScopedEnv uncRoot("TALLMOOR_UNC_ROOT", share.path);
    program.write("TallMoor.dat", "server = srv\nlogonalias = logon\n");
    share.write("srv/logon/Logon.def", "echo \"Hallo\"\n");

    auto context = std::make_unique<SessionContext>();
    LogonOutcome outcome = RunLogon(*context, program.path.c_str());
    EXPECT_TRUE(outcome.startFileRead);
    EXPECT_TRUE(outcome.ran);
    EXPECT_FALSE(outcome.aborted);
    std::string report = outcome.report;
    EXPECT_EQ(report.substr(report.size() - 7), "Hallo\r\n");

    fake.user = "";
    auto nobody = std::make_unique<SessionContext>();
    outcome = RunLogon(*nobody, program.path.c_str());
    EXPECT_FALSE(outcome.userKnown);
    EXPECT_FALSE(outcome.ran);
}
#endif  // _WIN32

}  // namespace
