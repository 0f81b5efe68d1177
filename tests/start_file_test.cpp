// Start-file reader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/start_file.h"
#include "temp_dir.h"

namespace {

struct StartCase {
    std::string content;
    bool read;
    std::string server;
    std::string alias;
    std::string logonPath;
};

TEST(StartFile, ReadsServerAndAlias)
{
    const StartCase cases[] = {
        {"server = srv01\nlogonalias = skripte\n", true, "\\\\srv01", "skripte", "\\\\srv01\\skripte"},
        {"server = \\\\srv01\r\nlogonalias = skripte", true, "\\\\srv01", "skripte", "\\\\srv01\\skripte"},
        {"server = \\srv01\nlogonalias = skripte\n", true, "\\srv01", "skripte", "\\srv01\\skripte"},
        {"server = SRV01\nlogonalias = skripte\n", true, "\\\\srv01", "skripte", "\\\\srv01\\skripte"},
        {"server = \"SRV-01\"\nlogonalias = skripte\n", true, "\\\\SRV-01", "skripte", "\\\\SRV-01\\skripte"},
        {"server = srv-01\nlogonalias = skripte\n", false, "", "skripte", ""},
        {"Server = srv01\nLOGONALIAS == skripte\n", true, "\\\\srv01", "skripte", "\\\\srv01\\skripte"},
        {"server = a\nserver = b\nlogonalias = x\n", true, "\\\\b", "x", "\\\\b\\x"},
        {"logonalias = skripte\n", false, "", "skripte", ""},
        {"; server = x\n# logonalias = y\n", true, "\\\\x", "y", "\\\\x\\y"},
        {"server=srv01\nlogonalias = y\n", false, "", "y", ""},
        {"server = srv01 extra\nlogonalias = y\n", false, "", "y", ""},
        {"server = srv01\nlogonalias = y\x1a\nlogonalias = z\n", true, "\\\\srv01", "y", "\\\\srv01\\y"},
        {std::string("server = s") + std::string(1, '\0') + "rv\nlogonalias = y\n", true, "\\\\s", "y", "\\\\s\\y"},
        {"", false, "", "", ""},
    };
    for (const StartCase& c : cases) {
        TempDir dir;
        dir.write("TallMoor.dat", c.content);
        SessionContext context;
        EXPECT_EQ(ReadStartFile(context, dir.path.c_str()), c.read) << c.content;
        EXPECT_STREQ(context.serverName, c.server.c_str()) << c.content;
        EXPECT_STREQ(context.logonAlias, c.alias.c_str()) << c.content;
        EXPECT_STREQ(context.logonPath, c.logonPath.c_str()) << c.content;
        if (c.read) {
            EXPECT_EQ(std::string(context.scriptPath), c.logonPath + "\\Logon.def");
        }
    }
}

TEST(StartFile, MissingFileAndTrailingBackslash)
{
    TempDir dir;
    SessionContext context;
    EXPECT_FALSE(ReadStartFile(context, dir.path.c_str()));
    dir.write("TallMoor.dat", "server = s\nlogonalias = a\n");
    EXPECT_TRUE(ReadStartFile(context, (dir.path + "\\").c_str()));
}

TEST(StartFile, LongValuesAreRefusedRatherThanCut)
{
    TempDir dir;
    std::string server(200, 's'), alias(200, 'a');
    dir.write("TallMoor.dat", "server = " + server + "\nlogonalias = " + alias + "\n");
    SessionContext context;
    std::strcpy(context.logonPath, "old");
    EXPECT_FALSE(ReadStartFile(context, dir.path.c_str()));
    EXPECT_STREQ(context.logonPath, "old");

    // Fits the logon path but not the script path behind it.
    TempDir dir2;
    dir2.write("TallMoor.dat", "server = " + std::string(150, 's') + "\nlogonalias = " + std::string(105, 'a') + "\n");
    EXPECT_FALSE(ReadStartFile(context, dir2.path.c_str()));
    EXPECT_STREQ(context.logonPath, "old");
}

TEST(StartFile, GarbageAndHugeLinesDoNotHurt)
{
    TempDir dir;
    std::string garbage;
    for (int i = 0; i < 70000; i++)
        garbage += static_cast<char>((i * 7919) % 256 == 0x1A ? 0x1B : (i * 7919) % 256);
    dir.write("TallMoor.dat", garbage + "\n" + std::string(10000, 'x') + "\nserver = s\nlogonalias = a\n");
    SessionContext context;
    EXPECT_TRUE(ReadStartFile(context, dir.path.c_str()));
    EXPECT_STREQ(context.logonPath, "\\\\s\\a");
}

}  // namespace
