// The workers' entries of the command table: keyword, token count, handler.
// A keyword is a command only with its token count here.
#include "engine/command_table.h"

extern const CommandEntry WorkerCommands[] = {
    {nullptr, 0, nullptr},
};
