// The rules a toolkit front end follows to feed the window model: when the
// window's activation runs FormActivate (the form becoming the application's
// active form), and when the real timer is started, restarted or stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/activation.h"
#include "app/form.h"
#include "app/timer_follower.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

struct ActivationStep {
    const char* event;  // "activate", "to other program", "to own window"
    const void* form;
    bool runsActivate;  // for "activate": whether FormActivate runs
};

TEST(ActiveFormRule, OnlyBecomingTheApplicationsActiveFormRunsTheEvent)
{
    const int first = 0, second = 0;
    const std::vector<ActivationStep> steps = {
        {"activate", &first, true},
        // Switching to another program and back: still the active form.
        {"to other program", &first, false},
        {"activate", &first, false},
        {"to other program", &first, false},
        {"activate", &first, false},
        // Another form of the application becomes active, then this one again.
        {"to own window", &first, false},
        {"activate", &second, true},
        {"to other program", &second, false},
        {"activate", &second, false},
        {"to own window", &second, false},
        {"activate", &first, true},
        // A deactivation reported for a form that is not the active one.
        {"to own window", &second, false},
        {"activate", &first, false},
    };
    ActiveFormRule rule;
    int index = 0;
    for (const ActivationStep& step : steps) {
        const std::string event = step.event;
        if (event == "activate")
            EXPECT_EQ(rule.WindowActivated(step.form), step.runsActivate) << "step " << index;
        else
            rule.WindowDeactivated(step.form, event == "to own window");
        ++index;
    }
}

// The window model fed by a front end that follows both rules.
class FrontEnd : public ::testing::Test {
protected:
    FrontEnd() { programDir.write("TallMoor.dat", "server = srv\r\nlogonalias = share\r\n"); }

    void Activated()
    {
        if (rule.WindowActivated(&form))
            form.FormActivate();
    }
    void Deactivated(bool toOwnWindow) { rule.WindowDeactivated(&form, toOwnWindow); }
    int Count(const std::string& line) const
    {
        int count = 0;
        for (int i = 0; i < form.Memo1.Lines.Count(); ++i)
            count += form.Memo1.Lines.Get(i) == line;
        return count;
    }

    FakePlatform platform;
    ScopedPlatform installed{platform};
    TempDir programDir;
    TApplication application;
    SessionContext session;
    TForm1 form{application, session, programDir.path.c_str()};
    ActiveFormRule rule;
    TimerFollower timer;
};

TEST_F(FrontEnd, SwitchingProgramsDoesNotStartTheRunAgain)
{
    Activated();
    EXPECT_EQ(Count("Startdatei gelesen"), 1);
    form.SetRunState(RunState::Pause);  // as when the script has been found
    form.TimerFunction();
    const std::string shown = form.Memo1.Lines.Text();
    for (int i = 0; i < 3; ++i) {
        Deactivated(false);
        Activated();
    }
    EXPECT_EQ(form.Memo1.Lines.Text(), shown);
    EXPECT_EQ(form.runState, RunState::Pause);
    EXPECT_EQ(form.ticksLeft, 3);
}

const char* FakeRunScript(SessionContext& context, bool& aborted)
{
    aborted = false;
    return context.report;
}

TEST_F(FrontEnd, RealTimerFollowsTheModelsTimer)
{
    using Action = TimerFollower::Action;
    form.runScript = FakeRunScript;
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Keep) << "off until the first activation";
    Activated();
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Start);
    form.SetRunState(RunState::Pause);  // entered anew: restarted
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Start);
    for (int i = 0; i < 4; ++i) {
        form.TimerFunction();
        EXPECT_EQ(timer.Follow(form.Timer1), Action::Keep) << "Pause " << form.ticksLeft;
    }
    // The tick that runs the script enters WaitExit inside the tick: the
    // next tick is a full interval after it.
    form.TimerFunction();
    ASSERT_EQ(form.runState, RunState::WaitExit);
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Start);
    form.TimerFunction();
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Keep);
    form.Click(form.Button1);  // "Halt"
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Stop);
    EXPECT_EQ(timer.Follow(form.Timer1), Action::Keep);
}

}  // namespace
