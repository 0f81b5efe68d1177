// The status window `Form1` (class TForm1) as a model independent of any
// toolkit: its components with their properties, the layout, and the run
// sequencer's handlers. A front end draws the model and feeds it events:
// show (FormResize), activation (FormActivate), timer ticks (TimerFunction
// while Timer1 is enabled), clicks (Click / ClickBackground), close requests
// (Close) and resizes (Resize).
//
// The window itself is built in form.cpp (constructor, layout, clicks,
// closing); the run sequencer's handlers are in sequencer.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "app/application.h"
#include "app/components.h"
#include "app/form_view.h"
#include "app/program_dir.h"
#include "engine/session.h"

enum class RunState : uint8_t { Startup = 0, Pause = 1, WaitNetwork = 2, WaitExit = 3 };

// The script runner the sequencer calls when the pause has run out.
using ScriptRunner = const char* (*)(SessionContext& context, bool& aborted);

extern const char NotLoggedOn[];  // "Nicht angemeldet!"

class TForm1 {
public:
    TForm1(TApplication& application, SessionContext& session, const char* programDir);

    // Components, in the window's declaration order.
    TLabel Label1;
    TLabel Label2;
    TEdit Edit1;
    TEdit Edit2;
    TLabel Label5;
    TMemo Memo1;
    TEdit Edit3;
    TLabel Label3;
    TEdit Edit4;
    TLabel Label4;
    TTimer Timer1;
    TButton Button1;

    // The window's own properties. Width and Height are the outer size,
    // frame and caption included.
    std::string Caption;
    int ClientWidth = 301, ClientHeight = 351;
    int Left = 221, Top = 303;
    int Width = 0, Height = 0;
    uint32_t Color = clBtnFace;
    TFont Font;
    bool AutoScroll = false;
    bool Scaled = false;

    // Event handlers, in declaration order.
    void FormActivate();
    void GeneralClick();
    void TimerFunction();
    void Button1Click();
    void FormResize();
    void FormClose();
    void FormCloseQuery(bool& canClose);

    void SetRunState(RunState state);

    // The platform's side of the window.
    // Close: consults FormCloseQuery; when allowed runs FormClose, closes the
    // window and, it being the main window, ends the application.
    void Close();
    bool Closed() const { return closed; }
    // A click on a component: runs its OnClick handler, if it has one.
    void Click(TControl& control);
    // A click on the window's background.
    void ClickBackground() { GeneralClick(); }
    // The user or the platform gives the window a new outer size.
    void Resize(int width, int height);
    void SetView(FormView* newView);

    // The run sequencer's state, once per program in the system; here per
    // window, so that tests can start afresh.
    RunState runState = RunState::Startup;
    int32_t ticksLeft = 0;
    // Set by "Halt", cleared when a state is entered: the timer is stopped by
    // the user, and the window may then be closed in any state.
    bool haltedByUser = false;
    // Called when the pause has run out; tests put a fake here.
    ScriptRunner runScript;

private:
    void Update();
    void RunTheScript();
    void GiveUpWaiting();
    void ShowStatus(RunState state);

    TApplication& application;
    SessionContext& session;
    char programDir[ProgramDirSize];
    FormView* view = nullptr;
    bool closed = false;
};
