// Fuzz target: the start-file reader on an arbitrary "TallMoor.dat".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/start_file.h"
#include "invariants.h"

static std::string Directory()
{
    static std::string directory;
    if (directory.empty()) {
        char pattern[] = "/tmp/tallmoor-fuzz-start-XXXXXX";
        directory = mkdtemp(pattern);
    }
    return directory;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string directory = Directory();
    FILE* file = std::fopen((directory + "/TallMoor.dat").c_str(), "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    static SessionContext context;
    bool read = ReadStartFile(context, directory.c_str());
    CheckSession(context);
    if (read) {
        Require(context.serverName[0] && context.logonAlias[0], "a read start file has both settings");
        Require(std::strlen(context.scriptPath) == std::strlen(context.logonPath) + 10, "script path derived whole");
    }
    return 0;
}
