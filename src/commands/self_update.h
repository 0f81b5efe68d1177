// Self-update: the command `selfupdate` compares the program file beside the
// program with the one on the logon path; when they differ it saves the
// report to the log file "Tallmoor.log", starts the updater from the logon
// path without waiting and ends the script, leaving the replacement of the
// program file to the updater.
#pragma once

#include "engine/line_result.h"
#include "engine/session.h"

// selfupdate <updater file name on the logon path>
LineResult SelfUpdate(SessionContext& context);

// Writes the report byte for byte to "Tallmoor.log" in exeDir, replacing the
// file: 1 when written, 0 when it cannot be opened (or written).
int WriteLogFile(SessionContext& context);
