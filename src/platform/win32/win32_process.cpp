// Process start. The program file is passed to CreateProcessA as the
// application name: with a null application name Windows would take the
// program from the unquoted command line and, for "C:\Program Files\x.exe",
// try "C:\Program.exe" first.
#include "platform/win32/win32_process.h"

#include <windows.h>

#include <cstring>
#include <vector>

int StartWin32Process(const char* application, const char* commandLine, bool wait)
{
    if (!application || !*application)
        return -1;
    // CreateProcess may write into the command line; it gets a copy.
    const char* text = commandLine ? commandLine : "";
    std::vector<char> line(text, text + std::strlen(text) + 1);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    if (!CreateProcessA(application, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    CloseHandle(process.hThread);

    int result = 0;
    if (wait) {
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process.hProcess, &code))
            result = -1;
        else
            result = static_cast<int>(code);
    }
    CloseHandle(process.hProcess);
    return result;
}
