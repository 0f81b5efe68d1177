// The POSIX entry point of `tallmoor`: the status window in the terminal.
//
// Builds the application and the window, then runs the message loop: the
// window is shown and activated, and from then on key presses, signals and
// the 500 ms timer are fed to it until the application is terminated or the
// window has closed. When standard output is not a terminal, the window's
// text goes out as plain lines instead of a drawing. Takes no arguments;
// ends with exit status 0.
#include <chrono>
#include <exception>
#include <functional>
#include <cstdio>

#include <unistd.h>

#include "app/form.h"
#include "app/plain_view.h"
#include "app/program_dir.h"
#include "app/terminal_input.h"
#include "app/terminal_view.h"

using Clock = std::chrono::steady_clock;

static int MillisecondsUntil(Clock::time_point moment)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(moment - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

static void FeedKey(TForm1& form, Key key)
{
    if (key == Key::Halt && form.Button1.Visible && form.Button1.Enabled)
        form.Click(form.Button1);
    else if (key == Key::Close)
        form.Close();
}

static void RunMessageLoop(TApplication& application, TForm1& form, TerminalInput& input,
                           const std::function<void()>& redraw)
{
    // Showing the window sizes it, and it becomes active.
    form.FormResize();
    redraw();
    form.FormActivate();
    redraw();

    const auto interval = [&form] { return std::chrono::milliseconds(form.Timer1.Interval); };
    uint32_t seenStarts = form.Timer1.Starts();
    Clock::time_point nextTick = Clock::now() + interval();
    while (!application.Terminated() && !form.Closed()) {
        const int timeout = form.Timer1.Enabled() ? MillisecondsUntil(nextTick) : -1;
        const Key key = input.Wait(timeout);
        if (key != Key::None) {
            FeedKey(form, key);
        } else if (form.Timer1.Enabled() && Clock::now() >= nextTick) {
            nextTick = Clock::now() + interval();
            form.TimerFunction();
        }
        // A timer started anew ticks a full interval after its start.
        if (form.Timer1.Starts() != seenStarts) {
            seenStarts = form.Timer1.Starts();
            nextTick = Clock::now() + interval();
        }
        redraw();
    }
}

static void Run()
{
    TApplication application;
    application.Initialize();
    application.Title = " TallMoor";
    char programDir[ProgramDirSize];
    TakeProgramDir(programDir);
    TForm1 form(application, TheSession(), programDir);
    TerminalInput input;

    if (!isatty(STDOUT_FILENO)) {
        PlainView view(stdout);
        form.SetView(&view);
        view.Show(form);
        RunMessageLoop(application, form, input, [] {});
        form.SetView(nullptr);
        return;
    }
    TerminalView view(form, stdout);
    int columns = 0, rows = 0;
    if (TerminalInput::Size(columns, rows))
        view.SetSize(columns, rows);
    form.SetView(&view);
    view.Show();
    RunMessageLoop(application, form, input, [&] {
        if (input.TakeResize() && TerminalInput::Size(columns, rows))
            view.SetSize(columns, rows);
        view.Draw();
    });
    form.SetView(nullptr);
    view.Finish();
}

int main()
{
    try {
        Run();
    } catch (const std::exception& error) {
        // The platform's exception display.
        std::fprintf(stderr, "tallmoor: %s\n", error.what());
    }
    return 0;
}
