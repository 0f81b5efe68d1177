// The POSIX implementation of the platform layer. Paths are mapped with
// MapWindowsPath; the read-only attribute is the owner's write bit and is
// honoured by this layer itself, so that a privileged user sees the same
// refusals as everyone else (as on Windows, where read-only binds all).
#include "platform/platform.h"
#include "platform/text_out.h"
#include "platform/posix/path_map.h"
#include "platform/posix/posix_connections.h"
#include "platform/posix/posix_process.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {



bool StatMapped(const char* path, struct stat& info)
{
    std::string mapped;
    return MapWindowsPath(path, mapped) && stat(mapped.c_str(), &info) == 0;
}

bool IsReadOnly(const struct stat& info)
{
    return (info.st_mode & S_IWUSR) == 0;
}

// An existing file marked read-only, which must not be written, replaced or
// removed.
bool IsReadOnlyFile(const std::string& mapped)
{
    struct stat info;
    return stat(mapped.c_str(), &info) == 0 && IsReadOnly(info);
}

void ToLocalTime(time_t moment, LocalTime& out)
{
    struct tm parts {};
    localtime_r(&moment, &parts);
    out.year = parts.tm_year + 1900;
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    out.second = parts.tm_sec;
}

// Makes a rename or a new entry in the directory of `path` durable.
void SyncDirectoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string directory =
        slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}

class PosixFile : public File {
public:
    explicit PosixFile(int descriptor) : descriptor(descriptor) {}
    ~PosixFile() override { close(); }

    size_t read(void* buffer, size_t size) override
    {
        return transfer(buffer, size, false);
    }

    size_t write(const void* buffer, size_t size) override
    {
        return transfer(const_cast<void*>(buffer), size, true);
    }

    int64_t seekEnd() override
    {
        if (descriptor < 0)
            return -1;
        return lseek(descriptor, 0, SEEK_END);
    }

    bool flush() override
    {
        if (descriptor < 0)
            return false;
        // Pipes and terminals cannot be synced; they have nothing to keep.
        return fsync(descriptor) == 0 || errno == EINVAL || errno == EROFS;
    }

    bool close() override
    {
        if (descriptor < 0)
            return true;
        const int result = ::close(descriptor);
        descriptor = -1;
        return result == 0;
    }

    bool failed() const override { return broken; }

private:
    // Loops until everything is moved, the end of the file, or an error.
    size_t transfer(void* buffer, size_t size, bool writing)
    {
        if (descriptor < 0)
            return 0;
        char* bytes = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < size) {
            const ssize_t moved = writing ? ::write(descriptor, bytes + done, size - done)
                                          : ::read(descriptor, bytes + done, size - done);
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved < 0)
                broken = true;  // an error, not the end of the file
            if (moved <= 0)
                break;
            done += static_cast<size_t>(moved);
        }
        return done;
    }

    int descriptor;
    bool broken = false;
};

int OpenFlags(OpenMode mode)
{
    switch (mode) {
    case OpenMode::Read:
        return O_RDONLY;
    case OpenMode::Write:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case OpenMode::Append:
        return O_WRONLY | O_CREAT | O_APPEND;
    case OpenMode::CreateNew:
        return O_WRONLY | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

// The first interface that is not a loopback and has a 6-byte hardware
// address, in interface-index order. It is adapter number 0.
bool FirstAdapterAddress(uint8_t address[6])
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    int bestIndex = 0;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET)
            continue;
        if (entry->ifa_flags & IFF_LOOPBACK)
            continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
        static const uint8_t zero[6] = {0};
        if (link->sll_halen != 6 || std::memcmp(link->sll_addr, zero, 6) == 0)
            continue;
        if (bestIndex != 0 && link->sll_ifindex >= bestIndex)
            continue;
        bestIndex = link->sll_ifindex;
        std::memcpy(address, link->sll_addr, 6);
    }
    freeifaddrs(list);
    return bestIndex != 0;
}

// "6.1.0-18-amd64" -> 6, 1, 0. Missing numbers stay 0.
void ParseRelease(const char* release, VersionInfo& out)
{
    unsigned long numbers[3] = {0, 0, 0};
    const char* cursor = release;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        numbers[i] = std::strtoul(cursor, &end, 10);
        if (end == cursor || (*end != '.' && i < 2))
            break;
        cursor = end + 1;
    }
    out.major = static_cast<uint32_t>(numbers[0]);
    out.minor = static_cast<uint32_t>(numbers[1]);
    out.build = static_cast<uint32_t>(numbers[2]);
}

class PosixPlatform : public Platform {
public:
    // --- Files -----------------------------------------------------------

    std::unique_ptr<File> openFile(const char* path, OpenMode mode) override
    {
        std::string mapped;
        if (!MapWindowsPath(path, mapped))
            return nullptr;
        if (mode != OpenMode::Read && IsReadOnlyFile(mapped))
            return nullptr;
        const int descriptor = open(mapped.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
        if (descriptor < 0)
            return nullptr;
        auto file = std::make_unique<PosixFile>(descriptor);
        // POSIX opens a directory for reading; Windows does not open it at all.
        struct stat info;
        if (fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode))
            return nullptr;
        return file;
    }

    FsStatus attributes(const char* path, FileAttributes& out) override
    {
        std::string mapped;
        struct stat info;
        if (!MapWindowsPath(path, mapped))
            return FsStatus::NotFound;
        if (stat(mapped.c_str(), &info) != 0)
            return StatusOf(errno);
        out.directory = S_ISDIR(info.st_mode);
        out.readOnly = IsReadOnly(info);
        return FsStatus::Ok;
    }

    bool setReadOnly(const char* path, bool readOnly) override
    {
        std::string mapped;
        struct stat info;
        if (!MapWindowsPath(path, mapped) || stat(mapped.c_str(), &info) != 0)
            return false;
        const mode_t permissions = info.st_mode & 07777;
        const mode_t changed = readOnly ? permissions & ~mode_t(0222) : permissions | S_IWUSR;
        return chmod(mapped.c_str(), changed) == 0;
    }

    bool removeFile(const char* path) override
    {
        std::string mapped;
        struct stat info;
        if (!MapWindowsPath(path, mapped) || lstat(mapped.c_str(), &info) != 0)
            return false;
        if (S_ISDIR(info.st_mode) || IsReadOnlyFile(mapped))
            return false;
        return unlink(mapped.c_str()) == 0;
    }

    bool replaceFile(const char* from, const char* to) override
    {
        std::string source;
        std::string target;
        if (!MapWindowsPath(from, source) || !MapWindowsPath(to, target))
            return false;
        if (IsReadOnlyFile(target))
            return false;
        if (rename(source.c_str(), target.c_str()) != 0)
            return false;
        SyncDirectoryOf(target);
        return true;
    }

    bool identity(const char* path, FileIdentity& out) override
    {
        struct stat info;
        if (!StatMapped(path, info))
            return false;
        out.volume = static_cast<uint64_t>(info.st_dev);
        out.index = static_cast<uint64_t>(info.st_ino);
        return true;
    }

    bool findFile(const char* path, FoundFile& out) override
    {
        struct stat info;
        if (!StatMapped(path, info) || !S_ISREG(info.st_mode))
            return false;
        out.size = static_cast<int64_t>(info.st_size);
        ToLocalTime(info.st_mtime, out.lastWrite);
        return true;
    }

    bool isDriveRoot(const char* path) override
    {
        if (!path || std::strlen(path) != 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/'))
            return false;
        const char letter = path[0];
        if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z')))
            return false;
        struct stat info;
        return stat(DriveDirectory(letter).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    // POSIX file systems have no 8.3 names.
    bool shortPath(const char* path, char* out, size_t size) override
    {
        return path && CopyIfFits(path, out, size);
    }

    // Given with backslashes, the separator the system cuts at; the path map
    // takes "\opt\tm" back to "/opt/tm".
    bool programPath(char* out, size_t size) override
    {
        char target[4096];
        const ssize_t length = readlink("/proc/self/exe", target, sizeof target - 1);
        if (length <= 0)
            return false;
        target[length] = '\0';
        for (char* c = target; *c; ++c)
            if (*c == '/')
                *c = '\\';
        return CopyIfFits(target, out, size);
    }

    // --- Identity and machine --------------------------------------------

    bool userName(char* out, size_t size) override
    {
        const passwd* entry = getpwuid(geteuid());
        if (entry && entry->pw_name && *entry->pw_name)
            return CopyIfFits(entry->pw_name, out, size);
        for (const char* variable : {"USER", "LOGNAME"}) {
            const char* value = std::getenv(variable);
            if (value && *value)
                return CopyIfFits(value, out, size);
        }
        return false;
    }

    // The host name up to its first dot: a Windows computer name is a single
    // label, never a domain name.
    bool computerName(char* out, size_t size) override
    {
        char host[256] = {0};
        if (gethostname(host, sizeof host - 1) != 0 || !*host)
            return false;
        if (char* dot = std::strchr(host, '.'))
            *dot = '\0';
        return CopyIfFits(host, out, size);
    }

    bool adapterEnum(uint8_t* list, size_t size) override
    {
        if (!list || size < 2)
            return false;
        uint8_t address[6];
        const bool found = FirstAdapterAddress(address);
        list[0] = found ? 1 : 0;
        list[1] = 0;
        return found;
    }

    bool adapterReset(uint8_t adapter) override
    {
        uint8_t address[6];
        return adapter == 0 && FirstAdapterAddress(address);
    }

    // Writes only the address; the rest of the caller's buffer stays.
    bool adapterStatus(uint8_t adapter, uint8_t* buffer, size_t size) override
    {
        uint8_t address[6];
        if (adapter != 0 || !buffer || size < 6 || !FirstAdapterAddress(address))
            return false;
        std::memcpy(buffer, address, 6);
        return true;
    }

    bool versionInfo(VersionInfo& out) override
    {
        struct utsname system;
        if (uname(&system) != 0)
            return false;
        out = VersionInfo();
        out.platformId = PlatformPosix;
        ParseRelease(system.release, out);
        CopyCut(system.release, out.csdVersion, sizeof out.csdVersion);
        CopyCut(system.sysname, out.systemText, sizeof out.systemText);
        return true;
    }

    void localTime(LocalTime& out) override
    {
        ToLocalTime(std::time(nullptr), out);
    }

    // --- Environment -----------------------------------------------------

    long environment(const char* name, char* out, size_t size) override
    {
        const char* value = name ? std::getenv(name) : nullptr;
        if (!value)
            return -1;
        if (out)
            CopyCut(value, out, size);
        return static_cast<long>(std::strlen(value));
    }

    // --- Processes --------------------------------------------------------

    int startProcess(const char* application, const char* commandLine, bool wait) override
    {
        return StartPosixProcess(application, commandLine, wait);
    }

    // The POSIX command processor, run as "sh -c TEXT"; PATH entries are
    // separated by colons; a program file needs no extension.
    const char* commandProcessorName() override { return "sh"; }
    char pathListSeparator() override { return ':'; }
    bool startsFilesWithoutExtension() override { return true; }

    // --- Network connections ---------------------------------------------

    int addConnection(const char* localName, const char* remoteName) override
    {
        return AddPosixConnection(localName, remoteName);
    }
    int getConnection(const char* localName, char* remote, size_t size) override
    {
        return GetPosixConnection(localName, remote, size);
    }
    int cancelConnection(const char* localName, bool) override { return CancelPosixConnection(localName); }

private:
    static FsStatus StatusOf(int error)
    {
        switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return FsStatus::NotFound;
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY:
            return FsStatus::AccessDenied;
        default:
            return FsStatus::Failed;
        }
    }
};

}  // namespace

Platform& NativePlatform()
{
    static PosixPlatform platform;
    return platform;
}
