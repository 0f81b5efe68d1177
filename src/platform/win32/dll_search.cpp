// DLL search restriction. Both functions are looked up at run time, so that
// the program still starts on systems that lack them.
#include "platform/win32/dll_search.h"

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

template <typename Function>
Function KernelFunction(const char* name)
{
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return nullptr;
    // FARPROC goes through the generic function pointer type to its real one.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}

}  // namespace

bool RestrictDllSearch()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

    bool restricted = false;
    if (auto setDefault = KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories"))
        restricted = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != 0;
    if (auto setDirectory = KernelFunction<SetDllDirectoryFunction>("SetDllDirectoryA"))
        setDirectory("");
    return restricted;
}
