// The Win32 implementation of the platform layer. Paths are passed on to the
// ANSI functions unchanged; Windows itself enforces read-only files, sharing
// and locks. Buffer sizes given to Win32 are always the caller's own.
#include "platform/platform.h"
#include "platform/text_out.h"
#include "platform/win32/netbios.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_file.h"
#include "platform/win32/win32_process.h"

#include <windows.h>
#include <winnetwk.h>

#include <cstring>
#include <string>

namespace {

// The attributes that SetFileAttributesA accepts; the others (directory,
// compressed, encrypted, ...) are states it cannot set.
constexpr DWORD SettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_TEMPORARY;

// The record size GetVersionExA expects for the basic OSVERSIONINFOA.
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
// CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE: remembered in the profile,
// and the system may ask for credentials.
constexpr DWORD ConnectFlags = CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE;
static_assert(ConnectFlags == 9, "connection flags are 9");

DWORD SizeArgument(size_t size)
{
    return static_cast<DWORD>(size < MAXDWORD ? size : MAXDWORD);
}



void ToLocalTime(const SYSTEMTIME& time, LocalTime& out)
{
    out.year = time.wYear;
    out.month = time.wMonth;
    out.day = time.wDay;
    out.hour = time.wHour;
    out.minute = time.wMinute;
    out.second = time.wSecond;
}

bool HasWildcard(const char* path)
{
    return std::strpbrk(path, "*?") != nullptr;
}

class Win32Platform : public Platform {
public:
    // --- Files -----------------------------------------------------------

    std::unique_ptr<File> openFile(const char* path, OpenMode mode) override
    {
        return OpenWin32File(path, mode);
    }

    FsStatus attributes(const char* path, FileAttributes& out) override
    {
        if (!path)
            return FsStatus::NotFound;
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return StatusOfWin32Error(GetLastError());
        out.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        out.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return FsStatus::Ok;
    }

    // Changes the read-only bit alone and keeps every other attribute.
    bool setReadOnly(const char* path, bool readOnly) override
    {
        if (!path)
            return false;
        const DWORD current = GetFileAttributesA(path);
        if (current == INVALID_FILE_ATTRIBUTES)
            return false;
        DWORD wanted = current & SettableAttributes & ~FILE_ATTRIBUTE_NORMAL;
        wanted = readOnly ? wanted | FILE_ATTRIBUTE_READONLY : wanted & ~FILE_ATTRIBUTE_READONLY;
        if (wanted == 0)
            wanted = FILE_ATTRIBUTE_NORMAL;  // must stand alone
        return SetFileAttributesA(path, wanted) != 0;
    }

    // DeleteFileA refuses directories by itself.
    bool removeFile(const char* path) override
    {
        return path && !IsReadOnlyFile(path) && DeleteFileA(path) != 0;
    }

    // MoveFileExA replaces the target in one step on the same volume and
    // copies and deletes across volumes; write-through makes it return only
    // once the move is on disk. A read-only target is refused. ReplaceFileA
    // is not used: it would carry the target's attributes over to the new
    // content and it fails on several network redirectors.
    bool replaceFile(const char* from, const char* to) override
    {
        if (!from || !to || IsReadOnlyFile(to))
            return false;
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    // Volume serial number and file index: the same for every name and
    // every hard link of one file.
    bool identity(const char* path, FileIdentity& out) override
    {
        if (!path)
            return false;
        // No access rights are needed to read the file information; backup
        // semantics let directories open too.
        const HANDLE handle =
            CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        BY_HANDLE_FILE_INFORMATION information;
        const bool read = GetFileInformationByHandle(handle, &information) != 0;
        CloseHandle(handle);
        if (!read)
            return false;
        out.volume = information.dwVolumeSerialNumber;
        out.index = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
        return true;
    }

    // A directory search for this one name: no wildcards, and the entry
    // found must not be a directory. The last-write time is reported in
    // local time.
    bool findFile(const char* path, FoundFile& out) override
    {
        if (!path || !*path || HasWildcard(path))
            return false;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(path, &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        FindClose(search);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return false;
        FILETIME local;
        SYSTEMTIME parts;
        if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &parts))
            return false;
        out.size = static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        ToLocalTime(parts, out.lastWrite);
        return true;
    }

    // The absolute form is exactly "x:\" and names a drive that exists.
    bool isDriveRoot(const char* path) override
    {
        if (!path || !*path)
            return false;
        char full[MAX_PATH + 4];
        const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
        if (length != 3 || full[1] != ':' || full[2] != '\\')
            return false;
        const UINT type = GetDriveTypeA(full);
        return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
    }

    bool shortPath(const char* path, char* out, size_t size) override
    {
        if (!path || !out || size == 0)
            return false;
        const DWORD length = GetShortPathNameA(path, out, SizeArgument(size));
        if (length == 0)  // no such file, or no short form: the path itself
            return CopyIfFits(path, out, size);
        if (length >= size) {  // the answer is the size it would need
            out[0] = '\0';
            return false;
        }
        return true;
    }

    bool programPath(char* out, size_t size) override
    {
        if (!out || size == 0)
            return false;
        const DWORD length = GetModuleFileNameA(nullptr, out, SizeArgument(size));
        // A cut path fills the whole buffer (without terminator on older
        // systems): refused rather than used.
        if (length == 0 || length >= size) {
            out[0] = '\0';
            return false;
        }
        return true;
    }

    // --- Identity and machine --------------------------------------------

    bool userName(char* out, size_t size) override
    {
        if (!out || size == 0)
            return false;
        DWORD length = SizeArgument(size);
        return GetUserNameA(out, &length) != 0;
    }

    bool computerName(char* out, size_t size) override
    {
        if (!out || size == 0)
            return false;
        DWORD length = SizeArgument(size);
        return GetComputerNameA(out, &length) != 0;
    }

    bool adapterEnum(uint8_t* list, size_t size) override { return NetbiosEnumAdapters(list, size); }
    bool adapterReset(uint8_t adapter) override { return NetbiosResetAdapter(adapter); }
    bool adapterStatus(uint8_t adapter, uint8_t* buffer, size_t size) override
    {
        return NetbiosAdapterStatus(adapter, buffer, size);
    }

    bool versionInfo(VersionInfo& out) override
    {
        OSVERSIONINFOA version;
        std::memset(&version, 0, sizeof version);
        version.dwOSVersionInfoSize = sizeof version;
        if (!GetVersionExA(&version))
            return false;
        out = VersionInfo();
        out.major = version.dwMajorVersion;
        out.minor = version.dwMinorVersion;
        out.build = version.dwBuildNumber;
        out.platformId = version.dwPlatformId;
        version.szCSDVersion[sizeof version.szCSDVersion - 1] = '\0';
        CopyCut(version.szCSDVersion, out.csdVersion, sizeof out.csdVersion);
        return true;
    }

    void localTime(LocalTime& out) override
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        ToLocalTime(now, out);
    }

    // --- Environment -----------------------------------------------------

    // An unset variable and an empty one both give 0 characters; only the
    // error code tells them apart.
    long environment(const char* name, char* out, size_t size) override
    {
        if (!name)
            return -1;
        std::string value(256, '\0');
        for (;;) {
            SetLastError(ERROR_SUCCESS);
            const DWORD length = GetEnvironmentVariableA(name, &value[0], SizeArgument(value.size()));
            if (length == 0) {
                if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                    return -1;
                value.clear();
                break;
            }
            if (length < value.size()) {
                value.resize(length);
                break;
            }
            value.assign(length, '\0');  // the size it needs, terminator included
        }
        CopyCut(value.c_str(), out, size);
        return static_cast<long>(value.size());
    }

    // --- Processes -------------------------------------------------------

    int startProcess(const char* application, const char* commandLine, bool wait) override
    {
        return StartWin32Process(application, commandLine, wait);
    }

    // --- Network connections ---------------------------------------------

    int addConnection(const char* localName, const char* remoteName) override
    {
        static char noProvider[] = "";  // an empty text, not a null pointer
        NETRESOURCEA resource;
        std::memset(&resource, 0, sizeof resource);
        resource.dwScope = RESOURCE_GLOBALNET;
        resource.dwType = RESOURCETYPE_DISK;
        resource.dwDisplayType = RESOURCEDISPLAYTYPE_GENERIC;
        resource.dwUsage = RESOURCEUSAGE_CONNECTABLE;
        resource.lpLocalName = const_cast<char*>(localName);
        resource.lpRemoteName = const_cast<char*>(remoteName);
        resource.lpComment = nullptr;
        resource.lpProvider = noProvider;
        return static_cast<int>(WNetAddConnection2A(&resource, nullptr, nullptr, ConnectFlags));
    }

    int getConnection(const char* localName, char* remote, size_t size) override
    {
        DWORD length = SizeArgument(size);
        return static_cast<int>(WNetGetConnectionA(localName, remote, &length));
    }

    int cancelConnection(const char* localName, bool force) override
    {
        return static_cast<int>(WNetCancelConnectionA(localName, force ? TRUE : FALSE));
    }
};

}  // namespace

Platform& NativePlatform()
{
    static Win32Platform platform;
    return platform;
}
