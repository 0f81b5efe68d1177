// The run journal "tallmoor.run" beside the program and the command
// `runonce`: a program file on the logon path is started once for each
// version of it, a version being known by its fingerprint (path, size and
// last-write time). The journal is only ever appended to.
#pragma once

#include "engine/line_result.h"
#include "engine/session.h"

// "<path> <size> Byte YYYY-MM-DD hh:mm:ss" for the file at `path`, in a
// static buffer that the next call overwrites; nullptr when no file matches
// or the path is longer than 259 characters.
const char* FileFingerprint(const char* path);

// 1: started and recorded; 0: already in the journal, nothing started;
// -1: failure (no such file, a path that does not fit, journal not written).
int RunOnce(SessionContext& context, const char* fileName);

// runonce <file on the logon path>
LineResult RunOnceCommand(SessionContext& context);
