// Shared-mode file streams: CreateFileA, ReadFile, WriteFile,
// SetFilePointerEx, FlushFileBuffers and CloseHandle.
#include "platform/win32/win32_file.h"

#include <windows.h>

namespace {

// ReadFile and WriteFile move at most a DWORD per call.
constexpr size_t MaxTransfer = 1u << 30;

class Win32File : public File {
public:
    Win32File(HANDLE handle, bool appending, bool writable)
        : handle(handle), appending(appending), writable(writable)
    {
    }
    ~Win32File() override { close(); }

    size_t read(void* buffer, size_t size) override
    {
        char* bytes = static_cast<char*>(buffer);
        size_t done = 0;
        while (handle != INVALID_HANDLE_VALUE && done < size) {
            DWORD moved = 0;
            if (!ReadFile(handle, bytes + done, Chunk(size - done), &moved, nullptr)) {
                // A pipe whose writer has gone is at its end, not broken.
                if (GetLastError() != ERROR_BROKEN_PIPE)
                    error = true;
                break;
            }
            if (moved == 0)
                break;
            done += moved;
        }
        return done;
    }

    size_t write(const void* buffer, size_t size) override
    {
        if (handle == INVALID_HANDLE_VALUE)
            return 0;
        // Appending writes at the end as it is now, also when another opener
        // has made the file longer meanwhile.
        if (appending && !SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_END)) {
            error = true;
            return 0;
        }
        const char* bytes = static_cast<const char*>(buffer);
        size_t done = 0;
        while (done < size) {
            DWORD moved = 0;
            if (!WriteFile(handle, bytes + done, Chunk(size - done), &moved, nullptr) || moved == 0) {
                error = true;
                break;
            }
            done += moved;
        }
        return done;
    }

    int64_t seekEnd() override
    {
        LARGE_INTEGER position{};
        if (handle == INVALID_HANDLE_VALUE || !SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_END))
            return -1;
        return position.QuadPart;
    }

    // A file opened for reading has nothing to write out (and Windows refuses
    // to flush a handle without write access).
    bool flush() override
    {
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        return !writable || FlushFileBuffers(handle);
    }

    bool close() override
    {
        if (handle == INVALID_HANDLE_VALUE)
            return true;
        const BOOL closed = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed != 0;
    }

    bool failed() const override { return error; }

private:
    static DWORD Chunk(size_t remaining)
    {
        return static_cast<DWORD>(remaining < MaxTransfer ? remaining : MaxTransfer);
    }

    HANDLE handle;
    bool appending;
    bool writable;
    bool error = false;
};

}  // namespace

bool IsReadOnlyFile(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::unique_ptr<File> OpenWin32File(const char* path, OpenMode mode)
{
    if (!path)
        return nullptr;
    DWORD access = GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case OpenMode::Read:
        access = GENERIC_READ;
        disposition = OPEN_EXISTING;
        break;
    case OpenMode::Write:
        disposition = CREATE_ALWAYS;  // creates, or truncates in place
        break;
    case OpenMode::Append:
        disposition = OPEN_ALWAYS;
        break;
    case OpenMode::CreateNew:
        disposition = CREATE_NEW;
        break;
    }
    if (mode != OpenMode::Read && IsReadOnlyFile(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32File>(handle, mode == OpenMode::Append, mode != OpenMode::Read);
}
