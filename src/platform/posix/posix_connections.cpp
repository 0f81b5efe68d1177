// Network drive connections on POSIX (see posix_connections.h).
#include "platform/posix/posix_connections.h"

#include "platform/posix/path_map.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr int NoError = 0;
constexpr int AccessDenied = 5;
constexpr int BadNetName = 67;
constexpr int AlreadyAssigned = 85;
constexpr int MoreData = 234;
constexpr int BadDevice = 1200;
constexpr int ConnectionUnavailable = 1201;
constexpr int NotConnected = 2250;

// The drive's link path for a local name "x:", or false for anything else.
bool LinkPathOf(const char* localName, std::string& link)
{
    if (!localName || std::strlen(localName) != 2 || localName[1] != ':')
        return false;
    const char letter = localName[0];
    if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z')))
        return false;
    link = DriveDirectory(letter);
    return true;
}

bool IsLink(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool IsDirectoryPath(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the directory that holds the drive letters, with its parents.
void MakeParentDirectories(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char here[PATH_MAX];
    return getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

}  // namespace

int AddPosixConnection(const char* localName, const char* remoteName)
{
    std::string link;
    std::string share;
    if (!LinkPathOf(localName, link))
        return BadDevice;
    struct stat info;
    if (lstat(link.c_str(), &info) == 0)
        return AlreadyAssigned;
    if (!MapWindowsPath(remoteName, share) || !IsDirectoryPath(share))
        return BadNetName;
    MakeParentDirectories(link);
    if (symlink(Absolute(share).c_str(), link.c_str()) != 0)
        return errno == EEXIST ? AlreadyAssigned : AccessDenied;
    return NoError;
}

int GetPosixConnection(const char* localName, char* remote, size_t size)
{
    std::string link;
    if (!LinkPathOf(localName, link))
        return BadDevice;
    if (!IsLink(link))
        return NotConnected;
    char target[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length < 0)
        return NotConnected;
    target[length] = 0;
    if (!IsDirectoryPath(link))
        return ConnectionUnavailable;
    const std::string name = WindowsNameOf(target);
    if (!remote || name.size() >= size)
        return MoreData;
    std::memcpy(remote, name.c_str(), name.size() + 1);
    return NoError;
}

// Removing the link never disturbs files open below it, so there is nothing
// for "force" to override.
int CancelPosixConnection(const char* localName)
{
    std::string link;
    if (!LinkPathOf(localName, link))
        return BadDevice;
    if (!IsLink(link))
        return NotConnected;
    return unlink(link.c_str()) == 0 ? NoError : AccessDenied;
}
