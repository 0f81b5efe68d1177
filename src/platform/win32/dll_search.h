// Start-up hardening of the DLL search.
#pragma once

// Restricts where DLLs are loaded from for the rest of the process: the
// program is started from a local directory while its scripts and their
// programs come from a network share, and neither the current directory nor
// the share may supply a DLL. Uses SetDefaultDllDirectories (system
// directory only) where the system has it, and removes the current
// directory from the search with SetDllDirectoryA(""). Call it first thing
// in the entry point. Answers true when SetDefaultDllDirectories was applied.
bool RestrictDllSearch();
