// How Win32 error codes of the file services map onto the system's own
// distinction of a missing file, a denied one and any other failure.
#pragma once

#include "platform/platform.h"

// The Win32 error (GetLastError) of a failed file request, as an FsStatus.
FsStatus StatusOfWin32Error(unsigned long error);
