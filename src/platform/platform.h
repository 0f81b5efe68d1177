// The platform layer: every operating-system service the system uses, behind
// one narrow interface named in the system's own terms.
//
// Engine, facts and commands call only this interface (through Os()); the
// Win32 and POSIX implementations live in win32/ and posix/, and tests swap in
// fakes or fault-injecting wrappers with SetPlatform().
//
// Paths given to this interface are the system's own Windows-style texts
// (for example "\\srv\share\Logon.def" or "c:\boot.ini"). The POSIX layer maps
// them onto its file system; the Win32 layer passes them on unchanged.
// All texts are Windows-1252 byte strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// How a file-system request failed, as far as the system distinguishes it.
enum class FsStatus {
    Ok,
    NotFound,      // no such file or path, bad name, unreachable server
    AccessDenied,  // exists but is locked, shared away or denied
    Failed,        // any other failure
};

struct FileAttributes {
    bool directory = false;
    bool readOnly = false;
};

// Identity of a file independent of the name used to reach it:
// device and inode on POSIX, volume serial and file index on Windows.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
};

struct LocalTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// One directory-search hit: ordinary, read-only, hidden, system and archive
// files, never directories. The time is the last write, in local time.
struct FoundFile {
    int64_t size = 0;
    LocalTime lastWrite;
};

// The Win32 OSVERSIONINFO fields the system prints. A POSIX layer reports
// platformId PlatformPosix and a text of its own in systemText.
struct VersionInfo {
    uint32_t major = 0, minor = 0, build = 0, platformId = 0;
    char csdVersion[128] = {0};
    char systemText[64] = {0};
};
constexpr uint32_t PlatformPosix = 0x100;

enum class OpenMode {
    Read,       // binary reading
    Write,      // binary writing: create, or truncate an existing file
    Append,     // binary appending: create when missing
    CreateNew,  // binary writing of a file that must not exist yet
};

// An open file. Streams are unbuffered at this level: callers read and write
// in chunks of their own. Every file is opened with sharing for reading and
// writing. Destroying an open file closes it.
class File {
public:
    virtual ~File() = default;
    // Bytes transferred; fewer than asked means end of file or an error.
    virtual size_t read(void* buffer, size_t size) = 0;
    virtual size_t write(const void* buffer, size_t size) = 0;
    // Moves to the end; answers the position there, or -1.
    virtual int64_t seekEnd() = 0;
    // Makes written data durable (as far as the platform can).
    virtual bool flush() = 0;
    // Closes the file; false when buffered data could not be written.
    virtual bool close() = 0;
    // True once a read or write has failed (as opposed to reaching the end).
    virtual bool failed() const { return false; }
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Files -----------------------------------------------------------
    virtual std::unique_ptr<File> openFile(const char* path, OpenMode mode) = 0;
    virtual FsStatus attributes(const char* path, FileAttributes& out) = 0;
    virtual bool setReadOnly(const char* path, bool readOnly) = 0;
    virtual bool removeFile(const char* path) = 0;
    // Puts `from` in the place of `to`, replacing it, as one step where the
    // platform can do that.
    virtual bool replaceFile(const char* from, const char* to) = 0;
    virtual bool identity(const char* path, FileIdentity& out) = 0;
    // Directory search for exactly this path (files only).
    virtual bool findFile(const char* path, FoundFile& out) = 0;
    // True when the path is the root of a drive that exists ("c:\").
    virtual bool isDriveRoot(const char* path) = 0;
    // Short (8.3) form of an existing path where the file system has one,
    // else the path itself. Answers false when it does not fit `size`.
    virtual bool shortPath(const char* path, char* out, size_t size) = 0;
    // Full path of the running program file.
    virtual bool programPath(char* out, size_t size) = 0;

    // --- Identity and machine --------------------------------------------
    virtual bool userName(char* out, size_t size) = 0;
    virtual bool computerName(char* out, size_t size) = 0;
    // The three NetBIOS steps behind the adapter address: enumerate the
    // adapters into a 256-byte list (count byte, then adapter numbers),
    // reset one, and read its status record (first 6 bytes: the address).
    virtual bool adapterEnum(uint8_t* list, size_t size) = 0;
    virtual bool adapterReset(uint8_t adapter) = 0;
    virtual bool adapterStatus(uint8_t adapter, uint8_t* buffer, size_t size) = 0;
    virtual bool versionInfo(VersionInfo& out) = 0;
    virtual void localTime(LocalTime& out) = 0;

    // --- Environment -----------------------------------------------------
    // Copies the variable's value into `out` (cut to size - 1 characters).
    // Answers the value's full length, or -1 when the variable is not set.
    virtual long environment(const char* name, char* out, size_t size) = 0;

    // --- Processes -------------------------------------------------------
    // Starts `application` with the Win32 command line `commandLine`, with
    // the caller's environment, directory and handles. With `wait`, waits
    // without a time limit and answers the exit status; without, answers 0.
    // Answers -1 when the process cannot be started.
    virtual int startProcess(const char* application, const char* commandLine, bool wait) = 0;
    // The command processor looked for in the current directory and along
    // PATH when COMSPEC is not set, and the separator between the entries of
    // PATH. The defaults are the Windows ones.
    virtual const char* commandProcessorName() { return "CMD.EXE"; }
    virtual char pathListSeparator() { return ';'; }
    // True when a program file without an extension can be started as it
    // is; on Windows only .EXE, .BAT and .CMD files start.
    virtual bool startsFilesWithoutExtension() { return false; }

    // --- Network connections ---------------------------------------------
    // Win32 result codes: 0 (NO_ERROR) on success, anything else a failure.
    virtual int addConnection(const char* localName, const char* remoteName) = 0;
    virtual int getConnection(const char* localName, char* remote, size_t size) = 0;
    virtual int cancelConnection(const char* localName, bool force) = 0;
};

// The platform in use: the real one of this build unless a test set another.
Platform& Os();
// Installs `platform` (nullptr restores the real one). For tests.
void SetPlatform(Platform* platform);
// The real platform of this build.
Platform& NativePlatform();
