// A fault-injecting platform for tests. It wraps another platform (usually a
// FakePlatform, or NativePlatform()), forwards every call to it, and counts
// the file operations that can fail:
//
//   open, read, write, seek to the end, flush, close (of an open file),
//   replace (rename), remove, and setting the read-only attribute.
//
// The n-th counted operation (1-based, `failAt`) fails the way the platform
// reports such a failure: open answers nullptr; read and write move only half
// of the bytes asked for and the file reports failed() from then on (a disk
// that fills up, a read error); seek answers -1; flush, close, replace,
// remove and setReadOnly answer false (close still closes the file). With
// `sticky` every counted operation from the n-th on fails, like a disk that
// stays full. Queries (attributes, identity, findFile) are never counted.
//
// `counts` narrows what takes part, by kind and path (for example only the
// writes to one journal file); operations it refuses pass through uncounted.
// `trail` records every counted operation, so that a test can also check what
// a command did, or name the step at which a fault was injected.
//
// A sweep runs a scenario once with failAt = 0 to learn its number of
// operations N, then once for every n from 1 to N, restoring the fixture each
// time, and checks after every run that nothing was lost.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

enum class FileOp { Open, Read, Write, Seek, Flush, Close, Replace, Remove, SetReadOnly };

inline const char* FileOpName(FileOp op)
{
    static const char* const names[] = {"open",  "read",    "write",  "seek",       "flush",
                                        "close", "replace", "remove", "setReadOnly"};
    return names[static_cast<int>(op)];
}

struct FileOpRecord {
    FileOp op;
    std::string path;
    size_t size;  // bytes asked for by a read or write, else 0
    bool failed;
};

class FaultPlatform : public Platform {
public:
    explicit FaultPlatform(Platform& inner) : inner(inner) {}

    std::function<bool(FileOp, const std::string& path)> counts;  // empty: all
    int failAt = 0;       // the counted operation that fails; 0: none
    bool sticky = false;  // every counted operation after it fails as well
    int operations = 0;   // counted so far
    int faults = 0;       // injected so far
    std::vector<FileOpRecord> trail;

    // Starts a new run: nothing counted yet, the n-th operation to fail.
    void arm(int n, bool persistent = false)
    {
        failAt = n;
        sticky = persistent;
        operations = 0;
        faults = 0;
        trail.clear();
    }

    // Counts one operation; true when it is to fail.
    bool next(FileOp op, const std::string& path, size_t size = 0)
    {
        if (counts && !counts(op, path))
            return false;
        operations++;
        const bool fail = failAt > 0 && (operations == failAt || (sticky && operations > failAt));
        if (fail)
            faults++;
        trail.push_back({op, path, size, fail});
        return fail;
    }

    // A sweep over every step: `scenario(0, false)` runs once without a fault
    // (it arms the platform itself) and so counts the steps; then
    // `scenario(n, sticky)` runs with the n-th step failing, once alone and
    // once with every step from the n-th on failing. Answers the number of
    // faulty runs, 0 when the run without a fault counted no step. With
    // TALLMOOR_SWEEP_TRAIL set, lists the steps.
    template <class Scenario>
    int sweep(Scenario scenario)
    {
        scenario(0, false);
        const int steps = operations;
        if (std::getenv("TALLMOOR_SWEEP_TRAIL"))
            for (int i = 1; i <= steps; i++)
                std::printf("  %d %s\n", i, describe(i).c_str());
        int runs = 0;
        for (bool sticky : {false, true})
            for (int n = 1; n <= steps; n++, runs++)
                scenario(n, sticky);
        return runs;
    }

    // "write /tmp/x~tm0 (512)": a counted operation, for failure messages.
    std::string describe(int number) const
    {
        if (number < 1 || number > static_cast<int>(trail.size()))
            return "-";
        const FileOpRecord& record = trail[static_cast<size_t>(number - 1)];
        std::string text = std::string(FileOpName(record.op)) + " " + record.path;
        if (record.size)
            text += " (" + std::to_string(record.size) + ")";
        return text;
    }

    // Sizes of the counted reads or writes on `path`, in order.
    std::vector<size_t> transfers(FileOp op, const std::string& path) const
    {
        std::vector<size_t> sizes;
        for (const FileOpRecord& record : trail)
            if (record.op == op && record.path == path)
                sizes.push_back(record.size);
        return sizes;
    }

    // --- Files -------------------------------------------------------------

    std::unique_ptr<File> openFile(const char* path, OpenMode mode) override
    {
        if (next(FileOp::Open, path))
            return nullptr;
        std::unique_ptr<File> file = inner.openFile(path, mode);
        if (!file)
            return nullptr;
        return std::make_unique<FaultFile>(*this, std::move(file), path);
    }
    bool setReadOnly(const char* path, bool readOnly) override
    {
        return !next(FileOp::SetReadOnly, path) && inner.setReadOnly(path, readOnly);
    }
    bool removeFile(const char* path) override { return !next(FileOp::Remove, path) && inner.removeFile(path); }
    bool replaceFile(const char* from, const char* to) override
    {
        return !next(FileOp::Replace, to) && inner.replaceFile(from, to);
    }

    FsStatus attributes(const char* path, FileAttributes& out) override { return inner.attributes(path, out); }
    bool identity(const char* path, FileIdentity& out) override { return inner.identity(path, out); }
    bool findFile(const char* path, FoundFile& out) override { return inner.findFile(path, out); }
    bool isDriveRoot(const char* path) override { return inner.isDriveRoot(path); }
    bool shortPath(const char* path, char* out, size_t size) override { return inner.shortPath(path, out, size); }
    bool programPath(char* out, size_t size) override { return inner.programPath(out, size); }

    // --- Everything else passes through --------------------------------------

    bool userName(char* out, size_t size) override { return inner.userName(out, size); }
    bool computerName(char* out, size_t size) override { return inner.computerName(out, size); }
    bool adapterEnum(uint8_t* list, size_t size) override { return inner.adapterEnum(list, size); }
    bool adapterReset(uint8_t adapter) override { return inner.adapterReset(adapter); }
    bool adapterStatus(uint8_t adapter, uint8_t* buffer, size_t size) override
    {
        return inner.adapterStatus(adapter, buffer, size);
    }
    bool versionInfo(VersionInfo& out) override { return inner.versionInfo(out); }
    void localTime(LocalTime& out) override { inner.localTime(out); }
    long environment(const char* name, char* out, size_t size) override
    {
        return inner.environment(name, out, size);
    }
    int startProcess(const char* application, const char* commandLine, bool wait) override
    {
        return inner.startProcess(application, commandLine, wait);
    }
    int addConnection(const char* local, const char* remote) override { return inner.addConnection(local, remote); }
    int getConnection(const char* local, char* remote, size_t size) override
    {
        return inner.getConnection(local, remote, size);
    }
    int cancelConnection(const char* local, bool force) override { return inner.cancelConnection(local, force); }

private:
    class FaultFile : public File {
    public:
        FaultFile(FaultPlatform& owner, std::unique_ptr<File> file, std::string path)
            : owner(owner), file(std::move(file)), path(std::move(path))
        {
        }
        size_t read(void* buffer, size_t size) override
        {
            if (!owner.next(FileOp::Read, path, size))
                return file->read(buffer, size);
            broken = true;
            return file->read(buffer, size / 2);
        }
        size_t write(const void* buffer, size_t size) override
        {
            if (!owner.next(FileOp::Write, path, size))
                return file->write(buffer, size);
            broken = true;
            return file->write(buffer, size / 2);
        }
        int64_t seekEnd() override { return owner.next(FileOp::Seek, path) ? -1 : file->seekEnd(); }
        bool flush() override { return !owner.next(FileOp::Flush, path) && file->flush(); }
        bool close() override
        {
            const bool fail = owner.next(FileOp::Close, path);
            return file->close() && !fail;
        }
        bool failed() const override { return broken || file->failed(); }

    private:
        FaultPlatform& owner;
        std::unique_ptr<File> file;
        std::string path;
        bool broken = false;
    };

    Platform& inner;
};
