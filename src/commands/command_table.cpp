// The workers' entries of the command table: keyword, token count, handler.
// A keyword is a command only with its token count here.
#include "engine/command_table.h"

#include "commands/file_operations.h"
#include "commands/line_edit.h"
#include "commands/network_drives.h"
#include "commands/program_launch.h"
#include "commands/run_journal.h"
#include "commands/self_update.h"

extern const CommandEntry WorkerCommands[] = {
    {"drive", 3, DriveCommand},
    {"killdrive", 2, KillDriveCommand},
    {"start", 2, StartCommand},
    {"runonce", 2, RunOnceCommand},
    {"selfupdate", 2, SelfUpdate},
    {"file_copy", 3, FileCopyCommand},
    {"file_delete", 2, FileDeleteCommand},
    {"cmd_insert", 3, CmdInsertCommand},
    {"cmd_delete", 3, CmdDeleteCommand},
    {nullptr, 0, nullptr},
};
