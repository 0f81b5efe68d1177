// Test-only stand-in for CompareFiles until the file operations are in the
// tree; it compiles to nothing once commands/file_operations.h exists, and
// is deleted then. 1 identical, 0 same length but different, -1 when either
// file is missing, unreadable or empty, or the lengths differ.
#if !__has_include("commands/file_operations.h")

#include <memory>
#include <string>

#include "platform/platform.h"

namespace {

bool ReadWhole(const char* path, std::string& content)
{
    std::unique_ptr<File> file = path && *path ? Os().openFile(path, OpenMode::Read) : nullptr;
    if (!file)
        return false;
    char chunk[4096];
    size_t got;
    while ((got = file->read(chunk, sizeof chunk)) > 0)
        content.append(chunk, got);
    return !file->failed();
}

}  // namespace

int CompareFiles(const char* first, const char* second)
{
    std::string a;
    std::string b;
    if (!ReadWhole(first, a) || !ReadWhole(second, b) || a.size() != b.size() || a.empty())
        return -1;
    return a == b ? 1 : 0;
}

#endif
