// The run sequencer: the program's course over time, driven by the window's
// activation and its 500 ms timer. Read the start file and the user, poll
// until the script file opens, pause, run the script, show the report and
// count down to the end, unless "Halt" stops the countdown.
//
// Memo1's last line is the live status line: every tick replaces it with the
// status word of the state the tick began in and the count after the tick.
//
// Two dead ends are closed here so that the program can always end:
// - when polling has run out, "Logonscript nicht gefunden!" is shown and the
//   exit countdown follows;
// - after "Halt" the window may be closed in any state, not only in WaitExit.
#include "app/form.h"

#include <cstdio>

#include "engine/logon.h"
#include "engine/start_file.h"
#include "facts/facts.h"

static int32_t CountdownFor(RunState state)
{
    switch (state) {
    case RunState::Pause:
        return 4;
    case RunState::WaitNetwork:
        return 60;
    case RunState::WaitExit:
        return 8;
    case RunState::Startup:
        break;
    }
    return 0;
}

static const char* StatusWord(RunState state)
{
    switch (state) {
    case RunState::Pause:
        return "Pause ";
    case RunState::WaitNetwork:
        return "Warte auf Netzwerk ";
    case RunState::WaitExit:
        return "Warte auf Abbruch ";
    case RunState::Startup:
        break;
    }
    return "";
}

void TForm1::SetRunState(RunState state)
{
    Update();
    Timer1.SetEnabled(false);
    ticksLeft = CountdownFor(state);
    runState = state;
    haltedByUser = false;
    // The placeholder that the tick's status update replaces.
    Memo1.Lines.Add("*");
    Timer1.SetEnabled(true);
}

void TForm1::FormActivate()
{
    Caption = " Solvanto TallMoor v2.15";
    SetExeDir(session, programDir);
    // Without a program directory there is no start file to read: its path
    // would name a file somewhere else.
    if (!programDir[0] || !ReadStartFile(session, programDir)) {
        Memo1.Lines.Add("Fehler LogonDatDatei nicht lesbar");
        SetRunState(RunState::WaitExit);
        return;
    }
    Memo1.Lines.Add("Startdatei gelesen");
    Memo1.Lines.Add(session.report);
    Edit1.Text = session.serverName;
    SetUserName(session, ReadUserName());
    Edit2.Text = session.userName;
    Edit3.Text = programDir;
    Edit4.Text = session.logonPath;
    Label5.Caption = session.scriptPath;
    Update();
    if (!session.userName[0]) {
        Memo1.Lines.Add(NotLoggedOn);
        Edit2.Text = NotLoggedOn;
        SetRunState(RunState::WaitExit);
    } else {
        Memo1.Lines.Add("Suche Logonscript auf Server ...");
        SetRunState(RunState::WaitNetwork);
    }
}

void TForm1::TimerFunction()
{
    const RunState state = runState;
    const int32_t old = ticksLeft;
    switch (state) {
    case RunState::Pause:
        ticksLeft = old - 1;
        if (old <= 0)
            RunTheScript();
        break;
    case RunState::WaitNetwork:
        ticksLeft = old - 1;
        if (old <= 0) {
            ticksLeft = 0;
            Timer1.SetEnabled(false);
            GiveUpWaiting();
        } else if (FileReadable(session.scriptPath)) {
            ticksLeft = 0;
            Label5.Caption = "Scriptdatei gefunden.";
            Memo1.Lines.Add(session.scriptPath);
            SetRunState(RunState::Pause);
        }
        break;
    case RunState::WaitExit:
        ticksLeft = old - 1;
        if (old <= 0) {
            ticksLeft = 0;
            Timer1.SetEnabled(false);
            application.Terminate();
        }
        break;
    case RunState::Startup:
        return;  // the timer is off until the first activation
    }
    ShowStatus(state);
}

// The tick that ends the pause: the whole script runs inside it, with the
// timer stopped, and its report replaces everything the memo showed.
void TForm1::RunTheScript()
{
    ticksLeft = 0;
    Timer1.SetEnabled(false);
    bool aborted = false;
    const char* report = runScript(session, aborted);
    Memo1.Lines.SetText(report);
    if (aborted)
        Memo1.Lines.Add("Scriptabbruch!");
    Button1.Visible = true;
    SetRunState(RunState::WaitExit);
}

// Polling has run out without the script file: say so and count down to the
// end, instead of waiting in a window that refuses to close.
void TForm1::GiveUpWaiting()
{
    Memo1.Lines.Add("Logonscript nicht gefunden!");
    SetRunState(RunState::WaitExit);
}

void TForm1::ShowStatus(RunState state)
{
    char status[48];
    std::snprintf(status, sizeof status, "%s%ld", StatusWord(state), static_cast<long>(ticksLeft));
    Memo1.Lines.Put(Memo1.Lines.Count() - 1, status);
    Update();
}

void TForm1::Button1Click()
{
    Timer1.SetEnabled(false);
    Button1.Visible = false;
    Memo1.Lines.Add("Automatisches Beenden abgebrochen!");
    haltedByUser = true;
}

void TForm1::FormCloseQuery(bool& canClose)
{
    canClose = runState == RunState::WaitExit || haltedByUser;
}

void TForm1::FormClose()
{
    ticksLeft = 0;
    Timer1.SetEnabled(false);
}
