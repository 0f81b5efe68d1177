// Mapping of Windows-style paths onto the POSIX file system (see path_map.h).
#include "platform/posix/path_map.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Only A-Z and a-z are folded; every other byte must be equal.
bool SameIgnoringCase(const char* a, const char* b)
{
    while (*a && FoldCase(*a) == FoldCase(*b)) {
        ++a;
        ++b;
    }
    return *a == *b;
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string VariableOr(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return WithoutTrailingSlashes(value && *value ? value : fallback);
}

std::string HomeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : ".";
}

std::string UncRoot()
{
    return VariableOr("TALLMOOR_UNC_ROOT", "/mnt");
}

std::string DrivesRoot()
{
    return VariableOr("TALLMOOR_DRIVES", HomeDirectory() + "/.local/share/tallmoor/drives");
}

std::string Join(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

bool EntryExists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The name in `directory` that equals `name` ignoring the case of A-Z. When
// several do, the smallest in byte order is taken so the choice is stable.
bool FindFoldedName(const std::string& directory, const std::string& name, std::string& found)
{
    DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
    if (!listing)
        return false;
    bool any = false;
    while (const dirent* entry = readdir(listing)) {
        if (!SameIgnoringCase(entry->d_name, name.c_str()))
            continue;
        if (!any || std::strcmp(entry->d_name, found.c_str()) < 0)
            found = entry->d_name;
        any = true;
    }
    closedir(listing);
    return any;
}

// Appends the '/'-separated components of `rest` to `base`, each under the
// name it has on disk. Once a component is missing, the ones below it cannot
// exist and are kept as given.
std::string ResolveComponents(const std::string& base, const std::string& rest)
{
    std::string path = base;
    bool missing = false;
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string::npos)
            end = rest.size();
        const std::string name = rest.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;  // doubled separator
        const std::string exact = Join(path, name);
        std::string found;
        if (missing || name == "." || name == ".." || EntryExists(exact))
            path = exact;
        else if (errno == ENOENT && FindFoldedName(path, name, found))
            path = Join(path, found);
        else {
            path = exact;
            missing = true;
        }
    }
    if (!rest.empty() && rest.back() == '/' && (path.empty() || path.back() != '/'))
        path += '/';
    return path;
}

}  // namespace

std::string DriveDirectory(char letter)
{
    return DrivesRoot() + "/" + FoldCase(letter);
}

bool MapWindowsPath(const char* windowsPath, std::string& posixPath)
{
    if (!windowsPath || !*windowsPath)
        return false;
    const std::string text = windowsPath;
    std::string base;
    std::string rest;
    if (text.compare(0, 2, "\\\\") == 0) {
        base = UncRoot();
        rest = text.substr(2);
    } else if (IsLetter(text[0]) && text[1] == ':') {
        base = DriveDirectory(text[0]);
        rest = text.substr(2);
    } else if (text[0] == '\\' || text[0] == '/') {
        base = "/";
        rest = text.substr(1);
    } else {
        rest = text;
    }
    // The system's texts use the backslash as their only separator, so it
    // is one here too, even inside paths that already look like POSIX paths.
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    posixPath = ResolveComponents(base, rest);
    return true;
}

std::string WindowsNameOf(const std::string& posixPath)
{
    const std::string root = UncRoot() + "/";
    if (posixPath.size() <= root.size() || posixPath.compare(0, root.size(), root) != 0)
        return posixPath;
    std::string name = "\\\\" + posixPath.substr(root.size());
    for (char& c : name)
        if (c == '/')
            c = '\\';
    return name;
}
