// A dry run of a script: the real runner and executor on an overlay
// platform, for a given user, computer and adapter address. Nothing on disk
// changes, no drive is connected and no program is started; the result is
// the report this user would get and the list of what would have been done.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct SimulationOptions {
    std::string user;      // empty: the platform's
    std::string computer;  // empty: the platform's
    std::string mac;       // 12 hexadecimal digits; empty: the platform's
    std::vector<std::string> existing;  // files assumed to exist (empty)
    std::string exeDir;    // the program directory; empty: the script's directory
};

struct SimulationResult {
    bool ran = false;        // false: `error` says why not
    std::string error;       // Windows-1252
    bool aborted = false;    // the script handed over to the updater
    std::string report;      // Windows-1252, CR LF line ends
    std::vector<std::string> actions;  // Windows-1252
};

// Reads an adapter address: 12 hexadecimal digits, optionally separated by
// "-" or ":" after every two.
bool ParseAdapterAddress(const std::string& text, uint8_t address[6]);

// Runs the script at `scriptPath` on an overlay over `base`. The script's
// directory stands for the logon path.
SimulationResult SimulateScript(const std::string& scriptPath, const SimulationOptions& options,
                                Platform& base = NativePlatform());
