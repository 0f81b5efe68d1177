// File probes on the real file system.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "commands/file_probes.h"
#include "temp_dir.h"

namespace {

TEST(FileProbes, FilesDirectoriesAndMissingPaths)
{
    TempDir dir;
    std::string file = dir.write("a.txt", "x");
    std::string sub = dir / "sub";
    mkdir(sub.c_str(), 0755);

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
    mkdir((drives / "c").c_str(), 0755);
    setenv("TALLMOOR_DRIVES", drives.path.c_str(), 1);
    EXPECT_EQ(IsDirectory("c:\\"), 1);
    EXPECT_EQ(FileExists("c:\\"), 0);
    EXPECT_EQ(IsDirectory("q:\\"), 0);
    unsetenv("TALLMOOR_DRIVES");
}

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

}  // namespace
