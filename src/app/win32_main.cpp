// The Windows entry point of tallmoor.exe: the status window as a native
// window.
//
// Restricts the DLL search first (the scripts and their programs come from a
// network share), builds the application object with its title and the
// window with the program directory, and runs the message loop until the
// application is terminated or the window has closed. An exception that
// escapes is shown in a message box under the application's title. Takes no
// arguments; the exit code is 0 in every case.
#include <windows.h>

#include <exception>

#include "app/form.h"
#include "app/program_dir.h"
#include "app/win32_window.h"
#include "platform/win32/dll_search.h"

static void RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static void Run(TApplication& application, HINSTANCE instance, int showCommand)
{
    application.Initialize();
    application.Title = " TallMoor";
    application.Screen.Width = GetSystemMetrics(SM_CXSCREEN);
    application.Screen.Height = GetSystemMetrics(SM_CYSCREEN);
    char programDir[ProgramDirSize];
    TakeProgramDir(programDir);
    TForm1 form(application, TheSession(), programDir);
    Win32Window window(application, form);
    if (!window.Create(instance))
        return;
    window.Show(showCommand);
    RunMessageLoop();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    RestrictDllSearch();
    TApplication application;
    try {
        Run(application, instance, showCommand);
    } catch (const std::exception& error) {
        // The platform's exception display.
        MessageBoxA(nullptr, error.what(), application.Title.c_str(), MB_OK | MB_ICONERROR);
    }
    return 0;
}
