// A temporary directory for one test, removed with everything in it.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#include <filesystem>

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/tallmoor-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
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
    std::string operator/(const std::string& name) const { return path + "/" + name; }

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
