// A platform on which a script can run without changing anything.
//
// Reads fall through to a base platform (the real one), read-only. Writes,
// deletions, read-only changes and renames go to an in-memory overlay that
// later reads see, so a script that copies a file and then compares it
// finds the copied bytes. Programs are not started: each start is recorded
// and answers exit status 0. Network connections are recorded: a letter is
// connected once added, until it is cancelled. The identity (user,
// computer, adapter address) can be given; else the base's is used.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

class OverlayPlatform : public Platform {
public:
    explicit OverlayPlatform(Platform& base);
    ~OverlayPlatform() override;

    // Identity to pretend; an empty text keeps the base's.
    std::string user;
    std::string computer;
    void setAdapterAddress(const uint8_t address[6]);

    // Makes `path` an existing empty file unless something is there already.
    void assumeFile(const char* path);

    // What the run would have done, in the order it first happened
    // (Windows-1252 texts): drives, program starts, and every file whose
    // content, presence or read-only flag ends up different.
    std::vector<std::string> actions() const;

    std::unique_ptr<File> openFile(const char* path, OpenMode mode) override;
    FsStatus attributes(const char* path, FileAttributes& out) override;
    bool setReadOnly(const char* path, bool readOnly) override;
    bool removeFile(const char* path) override;
    bool replaceFile(const char* from, const char* to) override;
    bool identity(const char* path, FileIdentity& out) override;
    bool findFile(const char* path, FoundFile& out) override;
    bool isDriveRoot(const char* path) override { return base.isDriveRoot(path); }
    bool shortPath(const char* path, char* out, size_t size) override;
    bool programPath(char* out, size_t size) override { return base.programPath(out, size); }

    bool userName(char* out, size_t size) override;
    bool computerName(char* out, size_t size) override;
    bool adapterEnum(uint8_t* list, size_t size) override;
    bool adapterReset(uint8_t adapter) override;
    bool adapterStatus(uint8_t adapter, uint8_t* buffer, size_t size) override;
    bool versionInfo(VersionInfo& out) override { return base.versionInfo(out); }
    void localTime(LocalTime& out) override { base.localTime(out); }
    long environment(const char* name, char* out, size_t size) override { return base.environment(name, out, size); }

    int startProcess(const char* application, const char* commandLine, bool wait) override;
    const char* commandProcessorName() override { return base.commandProcessorName(); }
    char pathListSeparator() override { return base.pathListSeparator(); }
    bool startsFilesWithoutExtension() override { return base.startsFilesWithoutExtension(); }
    int addConnection(const char* localName, const char* remoteName) override;
    int getConnection(const char* localName, char* remote, size_t size) override;
    int cancelConnection(const char* localName, bool force) override;

    // One file as the overlay holds it; public for the overlay's file
    // objects only.
    struct Entry;

private:
    std::shared_ptr<Entry> find(const char* path) const;
    std::shared_ptr<Entry> materialize(const char* path);
    void noteChange(const std::shared_ptr<Entry>& entry);
    bool parentExists(const char* path);
    std::string baseContent(const char* path) const;
    std::string describe(const Entry& entry) const;
    std::string copySource(const Entry& entry) const;

    Platform& base;
    bool hasAddress = false;
    uint8_t address[6] = {0};
    std::map<std::string, std::shared_ptr<Entry>> entries;  // by folded path
    uint64_t nextIndex = 1;
    std::map<std::string, std::string> connections;  // folded local name -> remote name
    std::vector<std::string> readPaths;              // files read, for naming the source of a copy
    std::set<std::string> readKeys;

    // Every action in order; a file's entry is described at the end, from
    // its final state.
    struct Event {
        std::string text;
        std::shared_ptr<Entry> file;
    };
    std::vector<Event> events;
};
