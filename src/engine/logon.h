// A whole logon without the window: what the status window does from its
// activation to the end of the script, minus the waiting. For tests, the
// checker and front ends that show no window.
#pragma once

#include "engine/session.h"

struct LogonOutcome {
    bool startFileRead = false;  // "TallMoor.dat" held server and alias
    bool userKnown = false;      // somebody is logged on
    bool scriptFound = false;    // the script file could be opened
    bool ran = false;            // the script runner was called
    bool aborted = false;        // the script handed over to the updater
    const char* report = "";     // the session's report
};

// Reads the start file in `programDir` and the user, probes the script once
// and runs it as the window would.
LogonOutcome RunLogon(SessionContext& context, const char* programDir);

// Opens the file for reading and closes it again: the window's probe.
bool FileReadable(const char* path);
