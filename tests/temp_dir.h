// A temporary directory for one test, removed with everything in it, and
// portable helpers for setting environment variables in tests.
#pragma once

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

// Sets (value non-null) or removes (value null) an environment variable of
// this process.
inline void SetTestEnv(const char* name, const char* value)
{
#ifdef _WIN32
    // _putenv_s removes a variable given the empty text; the process's own
    // environment, which the platform layer reads, can hold an empty value.
    _putenv_s(name, value ? value : "");
    if (value && !*value)
        SetEnvironmentVariableA(name, "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

// Sets (or, with nullptr, removes) an environment variable for the life of
// the object, then restores what it was.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        const char* old = std::getenv(name);
        hadValue = old != nullptr;
        if (old)
            previous = old;
        SetTestEnv(name, value);
    }
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv() { SetTestEnv(name, hadValue ? previous.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    bool hadValue = false;
    std::string previous;
};

class TempDir {
public:
#ifdef _WIN32
    static constexpr char Separator = '\\';
#else
    static constexpr char Separator = '/';
#endif

    TempDir()
    {
        std::error_code ignored;
        const std::filesystem::path base = std::filesystem::temp_directory_path(ignored);
        std::random_device seed;
        std::mt19937 numbers(seed());
        for (int attempt = 0; attempt < 100 && path.empty(); attempt++) {
            std::filesystem::path candidate = base / ("tallmoor-test-" + std::to_string(numbers()));
            if (std::filesystem::create_directory(candidate, ignored))
                path = candidate.string();
        }
        if (path.empty())
            path = base.string();
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
        for (auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + Separator + name; }

    std::string write(const std::string& name, const std::string& content) const
    {
        std::string full = *this / name;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << content;
        return full;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string path;
};
