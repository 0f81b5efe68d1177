// The workers' entries of the command table: keyword, token count, handler.
// A keyword is a command only with its token count here.
#include "engine/command_table.h"

#include "commands/file_operations.h"
#include "commands/line_edit.h"

extern const CommandEntry WorkerCommands[] = {
    {"file_copy", 3, FileCopyCommand},
    {"file_delete", 2, FileDeleteCommand},
    {"cmd_insert", 3, CmdInsertCommand},
    {"cmd_delete", 3, CmdDeleteCommand},
    {nullptr, 0, nullptr},
};
