// A platform for tests: files, processes and connections go to the real
// platform of the build; the machine's identity, version, clock and
// environment are what the test sets. Install it with a ScopedPlatform.
#pragma once

#include <cstring>
#include <map>
#include <string>

#include "platform/platform.h"

class FakePlatform : public Platform {
public:
    Platform& real = NativePlatform();

    std::string user = "hans";
    bool userReadable = true;
    std::string computer = "PC01";
    bool computerReadable = true;
    bool hasAdapter = true;
    uint8_t address[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    VersionInfo version = MakeVersion(2, 5, 1, 2600, "Service Pack 2");
    bool versionReadable = true;
    LocalTime now = {2008, 7, 26, 10, 57, 50};
    std::map<std::string, std::string> env;

    static VersionInfo MakeVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                                   const char* csd)
    {
        VersionInfo v;
        v.platformId = platformId;
        v.major = major;
        v.minor = minor;
        v.build = build;
        std::strncpy(v.csdVersion, csd, sizeof v.csdVersion - 1);
        return v;
    }

    std::unique_ptr<File> openFile(const char* path, OpenMode mode) override { return real.openFile(path, mode); }
    FsStatus attributes(const char* path, FileAttributes& out) override { return real.attributes(path, out); }
    bool setReadOnly(const char* path, bool readOnly) override { return real.setReadOnly(path, readOnly); }
    bool removeFile(const char* path) override { return real.removeFile(path); }
    bool replaceFile(const char* from, const char* to) override { return real.replaceFile(from, to); }
    bool identity(const char* path, FileIdentity& out) override { return real.identity(path, out); }
    bool findFile(const char* path, FoundFile& out) override { return real.findFile(path, out); }
    bool isDriveRoot(const char* path) override { return real.isDriveRoot(path); }
    bool shortPath(const char* path, char* out, size_t size) override { return real.shortPath(path, out, size); }
    bool programPath(char* out, size_t size) override { return real.programPath(out, size); }

    bool userName(char* out, size_t size) override { return Give(user, userReadable, out, size); }
    bool computerName(char* out, size_t size) override { return Give(computer, computerReadable, out, size); }
    bool adapterEnum(uint8_t* list, size_t size) override
    {
        if (!hasAdapter || size < 2)
            return false;
        list[0] = 1;
        list[1] = 0;
        return true;
    }
    bool adapterReset(uint8_t) override { return hasAdapter; }
    bool adapterStatus(uint8_t, uint8_t* buffer, size_t size) override
    {
        if (!hasAdapter || size < 6)
            return false;
        std::memcpy(buffer, address, 6);
        return true;
    }
    bool versionInfo(VersionInfo& out) override
    {
        out = version;
        return versionReadable;
    }
    void localTime(LocalTime& out) override { out = now; }
    long environment(const char* name, char* out, size_t size) override
    {
        auto found = env.find(name);
        if (found == env.end())
            return -1;
        Give(found->second, true, out, size);
        return static_cast<long>(found->second.size());
    }

    int startProcess(const char* application, const char* commandLine, bool wait) override
    {
        return real.startProcess(application, commandLine, wait);
    }
    const char* commandProcessorName() override { return real.commandProcessorName(); }
    char pathListSeparator() override { return real.pathListSeparator(); }
    bool startsFilesWithoutExtension() override { return real.startsFilesWithoutExtension(); }
    int addConnection(const char* local, const char* remote) override { return real.addConnection(local, remote); }
    int getConnection(const char* local, char* remote, size_t size) override
    {
        return real.getConnection(local, remote, size);
    }
    int cancelConnection(const char* local, bool force) override { return real.cancelConnection(local, force); }

private:
    static bool Give(const std::string& value, bool readable, char* out, size_t size)
    {
        if (!readable || size == 0)
            return false;
        std::strncpy(out, value.c_str(), size - 1);
        out[size - 1] = 0;
        return true;
    }
};

// Installs a platform for the lifetime of the object.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) { SetPlatform(&platform); }
    ~ScopedPlatform() { SetPlatform(nullptr); }
};
