// The start file "TallMoor.dat" beside the program: the server and the logon
// alias, and the logon and script paths derived from them.
#pragma once

#include "engine/session.h"

// Reads the start file in `directory` (the program directory, without a
// trailing backslash). True when both settings were found and the derived
// paths fit their fields; then serverName, logonAlias, logonPath and
// scriptPath are set. False otherwise; logonPath and scriptPath then stay as
// they were.
bool ReadStartFile(SessionContext& context, const char* directory);
