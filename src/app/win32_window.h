// The status window Form1 as a native Win32 window: a window of class
// "TForm1" with STATIC labels, read-only EDIT fields, a multi-line read-only
// EDIT with both scroll bars for Memo1 and a BUTTON for "Halt", placed at the
// model's pixel positions in "MS Sans Serif" 8 points on the button-face
// colour. It draws the window model and feeds it the window's events; every
// decision is the model's:
//   - activation: FormActivate when the window becomes the application's
//     active form (ActiveFormRule), so switching programs runs nothing;
//     being shown counts, should the system not activate the window;
//   - WM_TIMER: TimerFunction while Timer1 is enabled; the real timer follows
//     the model's (TimerFollower), restarted whenever the model restarts it;
//   - WM_GETMINMAXINFO and WM_SIZE: the minimum size and FormResize;
//   - WM_CLOSE (close box, Alt+F4): Close, which obeys the close rule;
//   - clicks on the background and the labels: GeneralClick; "Halt":
//     Button1Click.
// Texts go to the controls through the ANSI functions, so Windows-1252 shows
// as it is. When the model's application terminates, the message loop ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/activation.h"
#include "app/form.h"
#include "app/timer_follower.h"

class Win32Window : public FormView {
public:
    Win32Window(TApplication& application, TForm1& form);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Registers the window class and builds the window and its controls,
    // invisible. False when the window cannot be made.
    bool Create(HINSTANCE instance);
    // Shows the window; its first activation starts the run.
    void Show(int showCommand);

    // The model asks to be repainted at once.
    void Update() override;

private:
    struct Control {
        Control(TControl* model, const std::string* text, int id, const char* windowClass, DWORD style,
                 DWORD extendedStyle)
            : model(model), text(text), id(id), windowClass(windowClass), style(style), extendedStyle(extendedStyle)
        {
        }
        TControl* model;
        const std::string* text;  // the model's caption or text; none for Memo1
        int id;
        const char* windowClass;
        DWORD style;
        DWORD extendedStyle;
        HWND window = nullptr;
        std::string shownText;
        RECT shownPlace{};
        bool shownVisible = false;
    };

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ColourOf(HWND control, HDC context);
    void Command(int id, int code, HWND control);
    void Activated(bool active, HWND other);
    void Sized();

    // After every event fed to the model: show what changed, keep the timer
    // in step, end the message loop when the application terminated.
    void AfterEvent();
    void Sync();
    void SyncControl(Control& control);
    void SyncMemo();
    void FollowTimer();
    int AutoSizedWidth(const Control& control, const std::string& text) const;

    TApplication& application;
    TForm1& form;
    HWND window = nullptr;
    HFONT font = nullptr;
    std::vector<Control> controls;
    HWND memo = nullptr;
    std::string memoShown;
    std::string captionShown;
    ActiveFormRule activeForm;
    TimerFollower timer;
    bool quitPosted = false;
};
