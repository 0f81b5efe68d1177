// The script runner: carries out the whole script Logon.def in one call.
#pragma once

#include "engine/session.h"

// Runs the script at context.scriptPath for context.userName: writes the
// header, executes every line, and the footer for blocks left open. Answers
// the session's report itself; `aborted` is true only when a line handed
// over to the updater.
const char* RunScript(SessionContext& context, bool& aborted);
