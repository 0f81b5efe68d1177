// File probes.
#include "commands/file_probes.h"

#include <cstring>

#include "platform/platform.h"

int IsDirectory(const char* path)
{
    if (!path)
        return 0;
    FileAttributes attributes;
    if (Os().attributes(path, attributes) == FsStatus::Ok)
        return attributes.directory ? 1 : 0;
    // A drive root is not found by a directory search; it is asked for
    // separately, and only for paths that can be one.
    if (std::strpbrk(path, "\\/.") && Os().isDriveRoot(path))
        return 1;
    return 0;
}

int FileExists(const char* path)
{
    if (!path)
        return 0;
    if (IsDirectory(path))
        return 0;
    FileAttributes attributes;
    switch (Os().attributes(path, attributes)) {
    case FsStatus::Ok:
        return 1;
    case FsStatus::AccessDenied:  // present, but locked or denied
        return 1;
    default:
        return 0;
    }
}
