// probe.exe: drives a running tallmoor.exe from outside, as a second Windows
// program, for the end-to-end tests under Wine. It finds the status window by
// its class, reads the controls' texts with WM_GETTEXT, presses buttons with
// BM_CLICK, sends close requests and moves the activation to a window of its
// own and back. Texts are written to standard output as they are (Windows-
// 1252, CR LF), without translation.
//
//   probe.exe wait-window MS              the window exists
//   probe.exe text CONTROL                prints the control's text
//   probe.exe wait-text CONTROL TEXT MS   until the control's text holds TEXT; prints it
//   probe.exe visible CONTROL             prints 1 or 0
//   probe.exe click CONTROL               BM_CLICK
//   probe.exe close                       WM_CLOSE, as the close box sends it
//   probe.exe switch-away                 activates a window of the probe, then the status window again
//   probe.exe wait-gone MS                the window has gone
//   probe.exe rect                        prints the window's outer rectangle as WxH+X+Y
// CONTROL is a component name (Memo1, Label5, Edit1, Button1, ...) or
// "Form1" for the window's caption. Exit code 0 on success, 1 otherwise.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/win32_controls.h"

namespace {

constexpr UINT AnswerTime = 5000;  // ms a window may take to answer

HWND FindStatusWindow()
{
    return FindWindowA(WindowClassName, nullptr);
}

bool WaitFor(int milliseconds, bool (*condition)())
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds))
            return false;
        Sleep(50);
    }
    return true;
}

HWND Control(const char* name)
{
    static const struct {
        const char* name;
        int id;
    } names[] = {{"Label1", IdLabel1}, {"Label2", IdLabel2}, {"Label3", IdLabel3}, {"Label4", IdLabel4},
                 {"Label5", IdLabel5}, {"Edit1", IdEdit1},   {"Edit2", IdEdit2},   {"Edit3", IdEdit3},
                 {"Edit4", IdEdit4},   {"Memo1", IdMemo1},   {"Button1", IdButton1}};
    HWND window = FindStatusWindow();
    if (!window)
        return nullptr;
    if (std::strcmp(name, "Form1") == 0)
        return window;
    for (const auto& entry : names)
        if (std::strcmp(name, entry.name) == 0)
            return GetDlgItem(window, entry.id);
    return nullptr;
}

bool ReadText(const char* name, std::string& text)
{
    HWND control = Control(name);
    DWORD_PTR length = 0;
    if (!control || !SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, AnswerTime, &length))
        return false;
    text.assign(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             AnswerTime, &copied))
        return false;
    text.resize(copied);
    return true;
}

void Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

int WaitText(const char* name, const char* wanted, int milliseconds)
{
    const DWORD start = GetTickCount();
    std::string text;
    for (;;) {
        const bool read = ReadText(name, text);
        if (read && text.find(wanted) != std::string::npos) {
            Print(text);
            return 0;
        }
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) {
            Print(text);
            std::fprintf(stderr, "probe: %s did not show \"%s\"\n", name, wanted);
            return 1;
        }
        Sleep(50);
    }
}

LRESULT CALLBACK PlainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Pumps this thread's messages for a moment, so that activation can settle.
void Settle()
{
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < 500) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(20);
    }
}

// Another program takes the activation, then the status window gets it back.
int SwitchAway()
{
    HWND status = FindStatusWindow();
    if (!status)
        return 1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindow;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TallMoorProbe";
    RegisterClassA(&windowClass);
    HWND other = CreateWindowExA(0, "TallMoorProbe", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    ShowWindow(other, SW_SHOWNORMAL);
    SetForegroundWindow(other);
    Settle();
    const bool away = GetForegroundWindow() == other;
    SetForegroundWindow(status);
    Settle();
    const bool back = GetForegroundWindow() == status;
    DestroyWindow(other);
    std::printf("away %d back %d\n", away, back);
    return away && back ? 0 : 1;
}

bool WindowGone()
{
    return FindStatusWindow() == nullptr;
}

bool WindowThere()
{
    return FindStatusWindow() != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "wait-window" && argc == 3)
        return WaitFor(std::atoi(argv[2]), WindowThere) ? 0 : 1;
    if (command == "wait-gone" && argc == 3)
        return WaitFor(std::atoi(argv[2]), WindowGone) ? 0 : 1;
    if (command == "text" && argc == 3) {
        std::string text;
        if (!ReadText(argv[2], text))
            return 1;
        Print(text);
        return 0;
    }
    if (command == "wait-text" && argc == 5)
        return WaitText(argv[2], argv[3], std::atoi(argv[4]));
    if (command == "visible" && argc == 3) {
        HWND control = Control(argv[2]);
        std::printf("%d", control && IsWindowVisible(control) ? 1 : 0);
        return control ? 0 : 1;
    }
    if (command == "click" && argc == 3) {
        HWND control = Control(argv[2]);
        DWORD_PTR ignored = 0;
        return control && SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, AnswerTime, &ignored) ? 0 : 1;
    }
    if (command == "close" && argc == 2) {
        HWND window = FindStatusWindow();
        return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == "switch-away" && argc == 2)
        return SwitchAway();
    if (command == "rect" && argc == 2) {
        HWND window = FindStatusWindow();
        RECT outer;
        if (!window || !GetWindowRect(window, &outer))
            return 1;
        std::printf("%ldx%ld+%ld+%ld", outer.right - outer.left, outer.bottom - outer.top, outer.left, outer.top);
        return 0;
    }
    std::fprintf(stderr, "usage: probe.exe wait-window|wait-gone MS | text|visible|click CONTROL | "
                         "wait-text CONTROL TEXT MS | close | switch-away | rect\n");
    return 2;
}
