// One logon without the window, as a process of its own, for measuring the
// CPU time and peak memory of a whole logon: the start file in the program
// directory given as the only argument, the user, the script, the report.
// Answers 0 when the script ran.
#include <cstdio>

#include "engine/logon.h"
#include "engine/session.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_logon_driver PROGRAM_DIR\n");
        return 2;
    }
    const LogonOutcome outcome = RunLogon(TheSession(), argv[1]);
    return outcome.ran ? 0 : 1;
}
