// Line-file editing: cmd_insert puts a line first in a text file unless an
// equal line is there, cmd_delete removes every equal line. Lines compare
// trimmed, ignoring the case of A-Z. Before any change the file is copied to
// a numbered backup beside it (.000 ... .z99) and the copy is verified; the
// new content is then written beside the file and replaces it only once it is
// complete, so that a failure leaves the file as it was.
#pragma once

#include <cstddef>

#include "engine/line_result.h"
#include "engine/session.h"

// Room for a backup name: the file's name and five bytes of suffix and
// terminator.
constexpr int BackupNameSize = FieldSize + 5;

// Replaces everything from the last '.' of `name` (directory parts included)
// by the first free suffix of ".000" ... ".z99". 1 when `name` holds a free
// backup name; 0 when none can be formed (empty name, no '.', no room, all
// taken: the buffer then ends in ".z99").
int MakeBackupName(char* name, size_t size);

// 1 inserted, 0 an equal line is there already, -1 failed. `line` is the
// token slot of LINE and is trimmed in place. Failure messages are appended.
int InsertLine(SessionContext& context, const char* file, char* line);
// 1 removed, 0 no equal line, -1 failed.
int DeleteLine(SessionContext& context, const char* file, char* line);

// Handlers of "cmd_insert FILE LINE" and "cmd_delete FILE LINE".
LineResult CmdInsertCommand(SessionContext& context);
LineResult CmdDeleteCommand(SessionContext& context);
