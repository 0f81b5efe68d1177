// The run sequencer, tick by tick: the timer is only data, and each test
// fires TimerFunction itself while Timer1 is enabled. The program directory
// and the logon share are temporary directories; the share is reached as
// \\srv\share through TALLMOOR_UNC_ROOT.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/form.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

const char ScriptPath[] = "\\\\srv\\share\\Logon.def";

// The runner the sequencer calls, replaced for the tests that need it.
int fakeRuns = 0;
bool fakeAborts = false;
const char* FakeRunScript(SessionContext& context, bool& aborted)
{
    ++fakeRuns;
    AppendReport(context, "Bericht %d\r\nZeile zwei\r\n", fakeRuns);
    aborted = fakeAborts;
    return context.report;
}

struct RepaintCounter : FormView {
    int repaints = 0;
    void Update() override { ++repaints; }
};

class Sequencer : public ::testing::Test {
protected:
    Sequencer()
    {
        fakeRuns = 0;
        fakeAborts = false;
        programDir.write("TallMoor.dat", "server = srv\r\nlogonalias = share\r\n");
        form.SetView(&repaints);
    }

    void PlaceScript(const std::string& text = "echo \"Guten Morgen\"\n")
    {
        share.write("srv/share/Logon.def", text);
    }

    // One timer tick; the timer must be running.
    void Tick()
    {
        ASSERT_TRUE(form.Timer1.Enabled()) << "tick with the timer stopped";
        form.TimerFunction();
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            Tick();
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < form.Memo1.Lines.Count(); ++i)
            lines.push_back(form.Memo1.Lines.Get(i));
        return lines;
    }
    std::string LastLine() const { return form.Memo1.Lines.Get(form.Memo1.Lines.Count() - 1); }
    // The last `count` lines.
    std::vector<std::string> Tail(size_t count) const
    {
        std::vector<std::string> lines = Lines();
        if (lines.size() > count)
            lines.erase(lines.begin(), lines.end() - static_cast<long>(count));
        return lines;
    }

    // Ticks through the exit countdown: 8 ticks count down, the 9th ends.
    void ExpectExitCountdown()
    {
        for (int left = 7; left >= 0; --left) {
            Tick();
            EXPECT_EQ(LastLine(), "Warte auf Abbruch " + std::to_string(left));
            EXPECT_FALSE(application.Terminated()) << left;
        }
        Tick();
        EXPECT_EQ(LastLine(), "Warte auf Abbruch 0");
        EXPECT_TRUE(application.Terminated());
        EXPECT_FALSE(form.Timer1.Enabled());
        EXPECT_EQ(form.ticksLeft, 0);
    }

    FakePlatform platform;
    ScopedPlatform installed{platform};
    TempDir programDir;
    TempDir share;
    ScopedEnv uncRoot{"TALLMOOR_UNC_ROOT", share.path};
    TApplication application;
    SessionContext session;
    TForm1 form{application, session, programDir.path.c_str()};
    RepaintCounter repaints;
};

TEST_F(Sequencer, ActivationShowsTheFieldsAndStartsPolling)
{
    form.FormActivate();
    EXPECT_EQ(form.Caption, " Solvanto TallMoor v2.15");
    EXPECT_EQ(form.Edit1.Text, "\\\\srv");
    EXPECT_EQ(form.Edit2.Text, "hans");
    EXPECT_EQ(form.Edit3.Text, programDir.path);
    EXPECT_EQ(form.Edit4.Text, "\\\\srv\\share");
    EXPECT_EQ(form.Label5.Caption, ScriptPath);
    EXPECT_STREQ(session.exeDir, programDir.path.c_str());
    EXPECT_STREQ(session.userName, "hans");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Start", "Startdatei gelesen", "Suche Logonscript auf Server ...", "*"}));
    EXPECT_EQ(form.runState, RunState::WaitNetwork);
    EXPECT_EQ(form.ticksLeft, 60);
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_GT(repaints.repaints, 0);
}

TEST_F(Sequencer, ScriptOnTheFirstProbeRunsOnTheSixthTickAndEndsNineTicksLater)
{
    PlaceScript();
    form.FormActivate();
    Tick();
    EXPECT_EQ(Tail(4), (std::vector<std::string>{"Suche Logonscript auf Server ...", "*", ScriptPath,
                                                 "Warte auf Netzwerk 4"}));
    EXPECT_EQ(form.Label5.Caption, "Scriptdatei gefunden.");
    EXPECT_EQ(form.runState, RunState::Pause);
    for (int left = 3; left >= 0; --left) {
        Tick();
        EXPECT_EQ(LastLine(), "Pause " + std::to_string(left));
    }
    EXPECT_FALSE(form.Button1.Visible);

    const int repaintsBefore = repaints.repaints;
    Tick();  // the real runner
    EXPECT_GT(repaints.repaints, repaintsBefore);
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[2], "Computer: PC01");
    EXPECT_EQ(lines[3], "Username: hans");
    EXPECT_EQ(lines[5], std::string("Ausf\xfchren von ") + ScriptPath);
    EXPECT_EQ(Tail(2), (std::vector<std::string>{"Guten Morgen", "Pause 8"}));
    EXPECT_EQ(form.Memo1.Lines.Text().find("Start"), std::string::npos);
    EXPECT_TRUE(form.Button1.Visible);
    EXPECT_EQ(form.runState, RunState::WaitExit);
    ExpectExitCountdown();
}

TEST_F(Sequencer, ScriptOnTheSecondProbe)
{
    form.runScript = FakeRunScript;
    form.FormActivate();
    Tick();
    EXPECT_EQ(LastLine(), "Warte auf Netzwerk 59");
    PlaceScript();
    Tick();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Start", "Startdatei gelesen", "Suche Logonscript auf Server ...",
                                                 "Warte auf Netzwerk 59", ScriptPath, "Warte auf Netzwerk 4"}));
    Ticks(4);
    EXPECT_EQ(LastLine(), "Pause 0");
    EXPECT_EQ(fakeRuns, 0);
    Tick();
    EXPECT_EQ(fakeRuns, 1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Bericht 1", "Zeile zwei", "Pause 8"}));
    ExpectExitCountdown();
}

TEST_F(Sequencer, ScriptOnTheSixtiethProbe)
{
    form.runScript = FakeRunScript;
    form.FormActivate();
    Ticks(59);
    EXPECT_EQ(LastLine(), "Warte auf Netzwerk 1");
    PlaceScript();
    Tick();
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"Warte auf Netzwerk 1", ScriptPath, "Warte auf Netzwerk 4"}));
    Ticks(5);
    EXPECT_EQ(fakeRuns, 1);
    ExpectExitCountdown();
}

TEST_F(Sequencer, NoScriptAfterSixtyProbesSaysSoAndCountsDownToTheEnd)
{
    form.runScript = FakeRunScript;
    form.FormActivate();
    Ticks(60);
    EXPECT_EQ(LastLine(), "Warte auf Netzwerk 0");
    EXPECT_EQ(form.ticksLeft, 0);
    EXPECT_TRUE(form.Timer1.Enabled());
    // Even a script that turns up now is no longer looked for.
    PlaceScript();
    Tick();
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"Warte auf Netzwerk 0", "Logonscript nicht gefunden!",
                                                 "Warte auf Netzwerk 8"}));
    EXPECT_EQ(form.runState, RunState::WaitExit);
    EXPECT_EQ(form.Label5.Caption, ScriptPath);
    EXPECT_FALSE(form.Button1.Visible);
    ExpectExitCountdown();
    EXPECT_EQ(fakeRuns, 0);
}

TEST_F(Sequencer, NoScriptAfterSixtyProbesTheWindowMayBeClosed)
{
    form.FormActivate();
    Ticks(61);
    form.Click(form.Label1);
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(application.Terminated());
}

TEST_F(Sequencer, AbortedScriptAddsScriptabbruch)
{
    fakeAborts = true;
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(6);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Bericht 1", "Zeile zwei", "Scriptabbruch!", "Pause 8"}));
    EXPECT_TRUE(form.Button1.Visible);
    ExpectExitCountdown();
}

TEST_F(Sequencer, ReportWithoutALineEndStillGetsItsStatusLine)
{
    form.runScript = [](SessionContext& context, bool& aborted) -> const char* {
        aborted = false;
        AppendReport(context, "Netzwerk unvollst\xe4ndig installiert");
        return context.report;
    };
    PlaceScript();
    form.FormActivate();
    Ticks(6);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Netzwerk unvollst\xe4ndig installiert", "Pause 8"}));
}

TEST_F(Sequencer, EmptyUserCountsDownWithoutPolling)
{
    for (bool readable : {true, false}) {
        TApplication app;
        SessionContext fresh;
        TForm1 window(app, fresh, programDir.path.c_str());
        window.runScript = FakeRunScript;
        platform.user = "";
        platform.userReadable = readable;
        PlaceScript();
        window.FormActivate();
        EXPECT_EQ(window.Edit2.Text, "Nicht angemeldet!");
        EXPECT_EQ(window.Edit1.Text, "\\\\srv");
        EXPECT_EQ(window.runState, RunState::WaitExit);
        for (int left = 7; left >= 0; --left) {
            window.TimerFunction();
            EXPECT_FALSE(app.Terminated());
        }
        EXPECT_EQ(window.Memo1.Lines.Get(0), "Start");
        EXPECT_EQ(window.Memo1.Lines.Get(1), "Startdatei gelesen");
        EXPECT_EQ(window.Memo1.Lines.Get(2), "Nicht angemeldet!");
        EXPECT_EQ(window.Memo1.Lines.Get(3), "Warte auf Abbruch 0");
        EXPECT_EQ(window.Memo1.Lines.Count(), 4);
        window.TimerFunction();
        EXPECT_TRUE(app.Terminated());
        EXPECT_EQ(fakeRuns, 0);
    }
}

TEST_F(Sequencer, UnreadableStartFileCountsDownToTheEnd)
{
    std::filesystem::remove(programDir / "TallMoor.dat");
    form.FormActivate();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Start", "Fehler LogonDatDatei nicht lesbar", "*"}));
    EXPECT_EQ(form.runState, RunState::WaitExit);
    for (const TEdit* edit : {&form.Edit1, &form.Edit2, &form.Edit3, &form.Edit4})
        EXPECT_EQ(edit->Text, "") << edit->Name;
    EXPECT_EQ(form.Label5.Caption, "Status: ");
    EXPECT_STREQ(session.userName, "");
    ExpectExitCountdown();
    EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(Sequencer, StartFileWithoutAliasIsUnreadable)
{
    programDir.write("TallMoor.dat", "server = srv\r\n");
    form.FormActivate();
    EXPECT_EQ(Tail(2), (std::vector<std::string>{"Fehler LogonDatDatei nicht lesbar", "*"}));
}

TEST_F(Sequencer, WithoutAProgramDirectoryNoStartFileIsRead)
{
    TForm1 window(application, session, "");
    window.FormActivate();
    EXPECT_EQ(window.Memo1.Lines.Get(1), "Fehler LogonDatDatei nicht lesbar");
    EXPECT_EQ(window.runState, RunState::WaitExit);
}

TEST_F(Sequencer, HaltDuringTheExitCountdownKeepsTheWindowOpenUntilClosed)
{
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(6 + 5);
    EXPECT_EQ(LastLine(), "Warte auf Abbruch 3");
    const int ticksLeft = form.ticksLeft;
    form.Click(form.Button1);
    EXPECT_EQ(Tail(2), (std::vector<std::string>{"Warte auf Abbruch 3", "Automatisches Beenden abgebrochen!"}));
    EXPECT_FALSE(form.Button1.Visible);
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.runState, RunState::WaitExit);
    EXPECT_EQ(form.ticksLeft, ticksLeft);
    EXPECT_FALSE(application.Terminated());
    form.Close();
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(application.Terminated());
    EXPECT_EQ(form.ticksLeft, 0);
}

TEST_F(Sequencer, LabelClickDuringThePauseDoesNothingDuringTheCountdownCloses)
{
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(3);
    EXPECT_EQ(LastLine(), "Pause 2");
    const std::string before = form.Memo1.Lines.Text();
    form.Click(form.Label2);
    EXPECT_FALSE(form.Closed());
    EXPECT_EQ(form.Memo1.Lines.Text(), before);
    EXPECT_TRUE(form.Timer1.Enabled());

    Ticks(3 + 3);
    EXPECT_EQ(LastLine(), "Warte auf Abbruch 5");
    form.Click(form.Label2);
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(application.Terminated());
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.ticksLeft, 0);
}

TEST_F(Sequencer, CloseRequestsOutsideWaitExitAreRefusedSilently)
{
    form.Close();
    EXPECT_FALSE(form.Closed());  // Startup
    form.FormActivate();
    const std::string before = form.Memo1.Lines.Text();
    form.Close();
    EXPECT_FALSE(form.Closed());
    EXPECT_FALSE(application.Terminated());
    EXPECT_EQ(form.Memo1.Lines.Text(), before);
}

TEST_F(Sequencer, RepeatedActivationAfterARunLooksForTheScriptAgain)
{
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(6 + 2);
    EXPECT_EQ(LastLine(), "Warte auf Abbruch 6");
    form.FormActivate();
    EXPECT_EQ(Tail(7), (std::vector<std::string>{"Warte auf Abbruch 6", "Startdatei gelesen", "Bericht 1",
                                                 "Zeile zwei", "", "Suche Logonscript auf Server ...", "*"}));
    EXPECT_EQ(form.runState, RunState::WaitNetwork);
    EXPECT_EQ(form.ticksLeft, 60);
    // "Halt" stays visible from the first run.
    EXPECT_TRUE(form.Button1.Visible);
    Ticks(6);
    EXPECT_EQ(fakeRuns, 2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Bericht 1", "Zeile zwei", "Bericht 2", "Zeile zwei", "Pause 8"}));
}

TEST_F(Sequencer, RepeatedActivationGivesUpAPendingPause)
{
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(3);
    EXPECT_EQ(form.runState, RunState::Pause);
    form.FormActivate();
    EXPECT_EQ(form.runState, RunState::WaitNetwork);
    EXPECT_EQ(form.ticksLeft, 60);
    Ticks(5);
    EXPECT_EQ(fakeRuns, 0);
    Tick();
    EXPECT_EQ(fakeRuns, 1);
}

TEST_F(Sequencer, HaltOutsideWaitExitAllowsClosing)
{
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(6);
    form.FormActivate();  // polling again, "Halt" still visible
    Tick();
    EXPECT_EQ(form.runState, RunState::Pause);
    form.Close();
    EXPECT_FALSE(form.Closed());
    form.Click(form.Button1);
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.runState, RunState::Pause);
    form.Click(form.Label1);
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(application.Terminated());
}

TEST_F(Sequencer, HaltAllowsClosingOnlyUntilTheTimerRunsAgain)
{
    form.runScript = FakeRunScript;
    PlaceScript();
    form.FormActivate();
    Ticks(6);
    form.Click(form.Button1);
    // A further activation starts the timer again: the close rule is the usual one.
    form.FormActivate();
    EXPECT_TRUE(form.Timer1.Enabled());
    form.Close();
    EXPECT_FALSE(form.Closed());
}

TEST_F(Sequencer, EveryTickRepaints)
{
    form.FormActivate();
    for (int i = 0; i < 5; ++i) {
        const int before = repaints.repaints;
        Tick();
        EXPECT_GT(repaints.repaints, before);
    }
}

TEST_F(Sequencer, EnteringAStateRestartsTheTimer)
{
    PlaceScript();
    form.runScript = FakeRunScript;
    form.FormActivate();
    const uint32_t starts = form.Timer1.Starts();
    Tick();  // finds the script and enters the pause
    EXPECT_EQ(form.Timer1.Starts(), starts + 1);
    Tick();  // an ordinary tick
    EXPECT_EQ(form.Timer1.Starts(), starts + 1);
}

}  // namespace
