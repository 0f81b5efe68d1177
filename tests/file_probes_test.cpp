// File probes on the real file system.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>

#include "commands/file_probes.h"
#include "temp_dir.h"

namespace {

TEST(FileProbes, FilesDirectoriesAndMissingPaths)
{
    TempDir dir;
    std::string file = dir.write("a.txt", "x");
    std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);

    EXPECT_EQ(FileExists(file.c_str()), 1);
    EXPECT_EQ(IsDirectory(file.c_str()), 0);
    EXPECT_EQ(FileExists(sub.c_str()), 0);
    EXPECT_EQ(IsDirectory(sub.c_str()), 1);
    EXPECT_EQ(FileExists((dir / "missing").c_str()), 0);
    EXPECT_EQ(IsDirectory((dir / "missing").c_str()), 0);
    EXPECT_EQ(FileExists(nullptr), 0);
    EXPECT_EQ(IsDirectory(nullptr), 0);
    EXPECT_EQ(FileExists(""), 0);
    // Another spelling of the same name is the same file.
    EXPECT_EQ(FileExists((dir / "A.TXT").c_str()), 1);
}

TEST(FileProbes, DriveRootIsADirectoryNeverAFile)
{
    TempDir drives;
    // The POSIX layer finds its drives here; Windows has its own c:.
    std::filesystem::create_directory(drives / "c");
    SetTestEnv("TALLMOOR_DRIVES", drives.path.c_str());
    EXPECT_EQ(IsDirectory("c:\\"), 1);
    EXPECT_EQ(FileExists("c:\\"), 0);
    EXPECT_EQ(IsDirectory("q:\\"), 0);
    SetTestEnv("TALLMOOR_DRIVES", nullptr);
}

// Denial through file modes; the Win32 error mapping is tested with the
// Win32 layer.
#ifndef _WIN32
TEST(FileProbes, DeniedFileStillCountsAsPresent)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root is never denied";
    TempDir dir;
    dir.write("locked/f.txt", "x");
    chmod((dir / "locked").c_str(), 0);
    EXPECT_EQ(FileExists((dir / "locked/f.txt").c_str()), 1);
    chmod((dir / "locked").c_str(), 0755);
}
#endif

}  // namespace
