// The status window on Win32: controls, drawing the model, feeding events.
#include "app/win32_window.h"

#include <algorithm>

#include "app/win32_controls.h"

namespace {

constexpr UINT_PTR TimerId = 1;
// The smallest outer size the window keeps (the model's FormResize rule).
constexpr int MinimumWidth = 310;
constexpr int MinimumHeight = 385;

bool IsLabel(const char* windowClass)
{
    return windowClass[0] == 'S';  // "STATIC"
}

// Whether `other` is a window of this program.
bool OwnWindow(HWND other)
{
    if (!other)
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(other, &process);
    return process == GetCurrentProcessId();
}

}  // namespace

Win32Window::Win32Window(TApplication& application, TForm1& form) : application(application), form(form)
{
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    const DWORD label = child | SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
    const DWORD edit = child | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
    const DWORD memoStyle = child | WS_TABSTOP | ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                            WS_VSCROLL | WS_HSCROLL;
    const DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;
    // The creation order of the form resource.
    controls = {
        {&form.Label1, &form.Label1.Caption, IdLabel1, "STATIC", label, 0},
        {&form.Label2, &form.Label2.Caption, IdLabel2, "STATIC", label, 0},
        {&form.Label5, &form.Label5.Caption, IdLabel5, "STATIC", label, 0},
        {&form.Label3, &form.Label3.Caption, IdLabel3, "STATIC", label, 0},
        {&form.Label4, &form.Label4.Caption, IdLabel4, "STATIC", label, 0},
        {&form.Edit1, &form.Edit1.Text, IdEdit1, "EDIT", edit, WS_EX_CLIENTEDGE},
        {&form.Edit2, &form.Edit2.Text, IdEdit2, "EDIT", edit, WS_EX_CLIENTEDGE},
        {&form.Memo1, nullptr, IdMemo1, "EDIT", memoStyle, WS_EX_CLIENTEDGE},
        {&form.Edit3, &form.Edit3.Text, IdEdit3, "EDIT", edit, WS_EX_CLIENTEDGE},
        {&form.Edit4, &form.Edit4.Text, IdEdit4, "EDIT", edit, WS_EX_CLIENTEDGE},
        {&form.Button1, &form.Button1.Caption, IdButton1, "BUTTON", button, 0},
    };
}

Win32Window::~Win32Window()
{
    form.SetView(nullptr);
    if (window)
        DestroyWindow(window);
    if (font)
        DeleteObject(font);
}

bool Win32Window::Create(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // clBtnFace
    windowClass.lpszClassName = WindowClassName;
    if (!RegisterClassA(&windowClass))
        return false;

    // The default sizeable border with only the system menu: a close box, no
    // minimise or maximise box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    window = CreateWindowExA(0, WindowClassName, form.Caption.c_str(), style, form.Left, form.Top, form.Width,
                             form.Height, nullptr, nullptr, instance, this);
    if (!window)
        return false;
    captionShown = form.Caption;

    const TFont& model = form.Memo1.Font;
    font = CreateFontA(model.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, model.Name.c_str());
    for (Control& control : controls) {
        control.window = CreateWindowExA(control.extendedStyle, control.windowClass, "", control.style, 0, 0, 0, 0,
                                         window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                         instance, nullptr);
        if (!control.window)
            return false;
        SendMessageA(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (control.model == &form.Memo1) {
            memo = control.window;
            SendMessageA(memo, EM_SETLIMITTEXT, 0, 0);  // no limit below the system's
        }
    }
    // A long status line runs under "Halt"; the button stays on top.
    SetWindowPos(controls.back().window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    form.SetView(this);
    form.FormResize();
    Sync();
    return true;
}

void Win32Window::Show(int showCommand)
{
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    // Shown, the one form is the application's active form, also when the
    // system kept the keyboard focus with another program (the foreground
    // lock at logon) and sent no activation: the run must not wait for a
    // click. After a real activation this does nothing.
    Activated(true, nullptr);
}

void Win32Window::Update()
{
    Sync();
    if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

LRESULT CALLBACK Win32Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE: {
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        Activated(LOWORD(wParam) != WA_INACTIVE, reinterpret_cast<HWND>(lParam));
        return result;
    }
    case WM_TIMER:
        if (wParam == TimerId) {
            // Also reached from a modal loop inside the script run (the
            // credential dialog): the model's timer is off then.
            if (form.Timer1.Enabled())
                form.TimerFunction();
            AfterEvent();
        }
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = MinimumWidth;
        limits->ptMinTrackSize.y = MinimumHeight;
        return 0;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && memo)
            Sized();
        return 0;
    case WM_CLOSE:
        form.Close();
        AfterEvent();
        return 0;
    case WM_LBUTTONDOWN:
        form.ClickBackground();
        AfterEvent();
        return 0;
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return ColourOf(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
        // Destroyed from outside (the session ends): the loop ends too.
        if (!quitPosted) {
            quitPosted = true;
            PostQuitMessage(0);
        }
        window = nullptr;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Labels lie on the form's button face; the read-only edits keep the white
// of an edit field (they ask through WM_CTLCOLORSTATIC too).
LRESULT Win32Window::ColourOf(HWND control, HDC context)
{
    int colour = COLOR_WINDOW;
    for (const Control& c : controls)
        if (c.window == control && IsLabel(c.windowClass))
            colour = COLOR_BTNFACE;
    SetTextColor(context, RGB(0, 0, 0));  // clBlack
    SetBkColor(context, GetSysColor(colour));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
}

// STN_CLICKED of a label and BN_CLICKED of the button (both code 0).
void Win32Window::Command(int id, int code, HWND control)
{
    if (code != STN_CLICKED || !control)
        return;
    for (Control& c : controls) {
        if (c.id != id)
            continue;
        if (c.model->Visible && c.model->Enabled)
            form.Click(*c.model);
        AfterEvent();
        return;
    }
}

void Win32Window::Activated(bool active, HWND other)
{
    if (!active) {
        activeForm.WindowDeactivated(&form, OwnWindow(other));
        return;
    }
    if (activeForm.WindowActivated(&form)) {
        form.FormActivate();
        AfterEvent();
    }
}

void Win32Window::Sized()
{
    RECT outer;
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    form.Resize(width, height);
    // The model keeps its minimum size; a smaller window is set back to it.
    if (form.Width != width || form.Height != height)
        SetWindowPos(window, nullptr, 0, 0, form.Width, form.Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AfterEvent();
}

void Win32Window::AfterEvent()
{
    Sync();
    FollowTimer();
    if (application.Terminated() && !quitPosted) {
        quitPosted = true;
        PostQuitMessage(0);
    }
}

void Win32Window::Sync()
{
    if (!window)
        return;
    if (form.Caption != captionShown) {
        SetWindowTextA(window, form.Caption.c_str());
        captionShown = form.Caption;
    }
    for (Control& control : controls)
        SyncControl(control);
}

// A label sizes itself to its caption (the label's AutoSize), starting at
// its left edge.
int Win32Window::AutoSizedWidth(const Control& control, const std::string& text) const
{
    HDC context = GetDC(control.window);
    HGDIOBJ old = SelectObject(context, font);
    SIZE extent{};
    GetTextExtentPoint32A(context, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(context, old);
    ReleaseDC(control.window, context);
    return std::max<int>(extent.cx, 1);
}

void Win32Window::SyncControl(Control& control)
{
    const TControl& model = *control.model;
    if (!control.text) {
        SyncMemo();
    } else if (*control.text != control.shownText) {
        SetWindowTextA(control.window, control.text->c_str());
        control.shownText = *control.text;
    }
    int width = model.Width;
    if (IsLabel(control.windowClass))
        width = AutoSizedWidth(control, control.shownText);
    const RECT place{model.Left, model.Top, model.Left + width, model.Top + model.Height};
    if (!EqualRect(&place, &control.shownPlace)) {
        MoveWindow(control.window, place.left, place.top, width, model.Height, TRUE);
        control.shownPlace = place;
    }
    if (model.Visible != control.shownVisible) {
        ShowWindow(control.window, model.Visible ? SW_SHOWNA : SW_HIDE);
        control.shownVisible = model.Visible;
    }
}

// Replaces only what differs from the shown text, from the first differing
// character to the end, and leaves the caret at the end: the memo scrolls to
// its last line, the live status line, as the memo does on Add.
void Win32Window::SyncMemo()
{
    const std::string& text = form.Memo1.Lines.Text();
    if (text == memoShown)
        return;
    const size_t common = std::mismatch(text.begin(), text.begin() + std::min(text.size(), memoShown.size()),
                                        memoShown.begin())
                              .first -
                          text.begin();
    SendMessageA(memo, EM_SETSEL, common, memoShown.size());
    SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + common));
    SendMessageA(memo, EM_SCROLLCARET, 0, 0);
    memoShown = text;
}

void Win32Window::FollowTimer()
{
    if (!window)
        return;
    switch (timer.Follow(form.Timer1)) {
    case TimerFollower::Action::Start:
        // SetTimer on a running timer restarts its period.
        SetTimer(window, TimerId, static_cast<UINT>(form.Timer1.Interval), nullptr);
        break;
    case TimerFollower::Action::Stop:
        KillTimer(window, TimerId);
        break;
    case TimerFollower::Action::Keep:
        break;
    }
}
