// The program directory.
#include "app/program_dir.h"

#include <cstring>

#include "engine/session.h"
#include "platform/platform.h"

void CutProgramDir(const char* programFile, char* out)
{
    out[0] = 0;
    if (std::strlen(programFile) >= ProgramDirSize)
        return;
    CopyBounded(out, programFile, ProgramDirSize);
    for (size_t i = std::strlen(out); i-- > 1;) {
        if (out[i] == '\\') {
            out[i] = 0;
            return;
        }
    }
}

void TakeProgramDir(char* out)
{
    char path[ProgramPathLimit + 1];
    out[0] = 0;
    if (Os().programPath(path, sizeof path))
        CutProgramDir(path, out);
}
