// Machine and time facts: user, computer, adapter address, operating-system
// line, date and time texts, and the temporary-directory text. Each fact is
// read from the platform anew whenever it is asked for. Texts come back in a
// static buffer of the operation, overwritten by its next call.
#pragma once

#include "engine/session.h"
#include "platform/platform.h"

const char* ReadUserName();
bool ReadComputerName(SessionContext& context);
void ReadMacAddress(SessionContext& context);
void AppendOsVersion(SessionContext& context);
const char* DateText(SessionContext& context, int append);
const char* TimeText(SessionContext& context, int append);
const char* DateTimeText(SessionContext& context, int append);
const char* TempInfoText();

// The operating-system line for one version record, as AppendOsVersion
// writes it (without its line end); for tests of the version table.
void FormatOsVersion(SessionContext& context, const VersionInfo& info);
