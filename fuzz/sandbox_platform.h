// A platform for fuzzing: the real file system, but only inside one
// directory tree; processes and network connections are faked so that
// nothing outside the tree is ever touched, whatever a script asks for.
#pragma once

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/posix/path_map.h"

class SandboxPlatform : public Platform {
public:
    explicit SandboxPlatform(std::string rootDirectory) : root(std::move(rootDirectory)) {}

    // True when `path` maps to a place inside the tree.
    bool inside(const char* path)
    {
        std::string mapped;
        if (!path || !MapWindowsPath(path, mapped))
            return false;
        if (mapped.compare(0, root.size() + 1, root + "/") != 0)
            return false;
        // No way back up: a ".." component could leave the tree.
        return mapped.find("/..") == std::string::npos;
    }

    std::unique_ptr<File> openFile(const char* path, OpenMode mode) override
    {
        return inside(path) ? real.openFile(path, mode) : nullptr;
    }
    FsStatus attributes(const char* path, FileAttributes& out) override
    {
        return inside(path) ? real.attributes(path, out) : FsStatus::NotFound;
    }
    bool setReadOnly(const char* path, bool readOnly) override
    {
        return inside(path) && real.setReadOnly(path, readOnly);
    }
    bool removeFile(const char* path) override { return inside(path) && real.removeFile(path); }
    bool replaceFile(const char* from, const char* to) override
    {
        return inside(from) && inside(to) && real.replaceFile(from, to);
    }
    bool identity(const char* path, FileIdentity& out) override { return inside(path) && real.identity(path, out); }
    bool findFile(const char* path, FoundFile& out) override { return inside(path) && real.findFile(path, out); }
    bool isDriveRoot(const char* path) override { return inside(path) && real.isDriveRoot(path); }
    bool shortPath(const char* path, char* out, size_t size) override { return real.shortPath(path, out, size); }
    bool programPath(char* out, size_t size) override { return real.programPath(out, size); }

    bool userName(char* out, size_t size) override { return Give("hans", out, size); }
    bool computerName(char* out, size_t size) override { return Give("PC01", out, size); }
    bool adapterEnum(uint8_t* list, size_t size) override
    {
        if (size < 2)
            return false;
        list[0] = 1;
        list[1] = 0;
        return true;
    }
    bool adapterReset(uint8_t) override { return true; }
    bool adapterStatus(uint8_t, uint8_t* buffer, size_t size) override
    {
        static const uint8_t address[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
        if (size < 6)
            return false;
        std::memcpy(buffer, address, 6);
        return true;
    }
    bool versionInfo(VersionInfo& out) override
    {
        out = VersionInfo();
        out.platformId = 2;
        out.major = 5;
        out.minor = 1;
        out.build = 2600;
        return true;
    }
    void localTime(LocalTime& out) override { out = {2008, 7, 26, 10, 57, 50}; }
    long environment(const char* name, char* out, size_t size) override
    {
        if (std::strcmp(name, "TMP") != 0)
            return -1;
        Give("C:\\TEMP", out, size);
        return 7;
    }

    // Nothing is ever started: a start "succeeds" with exit status 0.
    int startProcess(const char*, const char*, bool) override
    {
        processesStarted++;
        return 0;
    }
    int addConnection(const char*, const char*) override { return 1222; }
    int getConnection(const char*, char*, size_t) override { return 2250; }
    int cancelConnection(const char*, bool) override { return 2250; }

    int processesStarted = 0;

private:
    static bool Give(const char* value, char* out, size_t size)
    {
        if (size == 0)
            return false;
        std::strncpy(out, value, size - 1);
        out[size - 1] = 0;
        return true;
    }

    Platform& real = NativePlatform();
    std::string root;
};
