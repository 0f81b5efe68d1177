// Mapping of Win32 file-service errors.
#include "platform/win32/win32_errors.h"

FsStatus StatusOfWin32Error(unsigned long error)
{
    switch (error) {
    // The file is there but cannot be reached now: denied, shared away,
    // locked, and their kin, which the C runtime also files under EACCES.
    case 5:    // ERROR_ACCESS_DENIED
    case 16:   // ERROR_CURRENT_DIRECTORY
    case 32:   // ERROR_SHARING_VIOLATION
    case 33:   // ERROR_LOCK_VIOLATION
    case 65:   // ERROR_NETWORK_ACCESS_DENIED
    case 82:   // ERROR_CANNOT_MAKE
    case 83:   // ERROR_FAIL_I24
    case 108:  // ERROR_DRIVE_LOCKED
    case 132:  // ERROR_SEEK_ON_DEVICE
    case 158:  // ERROR_NOT_LOCKED
    case 167:  // ERROR_LOCK_FAILED
        return FsStatus::AccessDenied;
    // Nothing there to reach: file, path, drive, network path or share not
    // found, device not ready, a bad or over-long name, a server that
    // cannot be reached.
    case 2:     // ERROR_FILE_NOT_FOUND
    case 3:     // ERROR_PATH_NOT_FOUND
    case 15:    // ERROR_INVALID_DRIVE
    case 21:    // ERROR_NOT_READY
    case 51:    // ERROR_REM_NOT_LIST
    case 53:    // ERROR_BAD_NETPATH
    case 64:    // ERROR_NETNAME_DELETED
    case 67:    // ERROR_BAD_NET_NAME
    case 123:   // ERROR_INVALID_NAME
    case 161:   // ERROR_BAD_PATHNAME
    case 206:   // ERROR_FILENAME_EXCED_RANGE
    case 1231:  // ERROR_NETWORK_UNREACHABLE
    case 1232:  // ERROR_HOST_UNREACHABLE
        return FsStatus::NotFound;
    default:
        return FsStatus::Failed;
    }
}
