// Network drives: connecting a drive letter to a share and removing such a
// connection, and the script commands `drive` and `killdrive` built on that.
// The platform's error codes are never shown; only success counts.
#pragma once

#include "engine/line_result.h"
#include "engine/session.h"

// Each takes the whole drive token; only its first character is used, as the
// letter of the local device name "x:".
bool MapDrive(const char* driveToken, const char* remoteName);
bool IsDriveConnected(const char* driveToken);
// True when no connection remains: removed, or there was none.
bool UnmapDrive(const char* driveToken);

// drive <letter> <remote name>
LineResult DriveCommand(SessionContext& context);
// killdrive <letter>
LineResult KillDriveCommand(SessionContext& context);
