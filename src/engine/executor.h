// The line executor: runs one script line against the session. It keeps the
// state of the nested if ... endif blocks, carries out the built-in commands
// (if, endif, exit, quit, write, echo, print, show_tmp) and hands every other
// command to its worker in the command table.
#pragma once

#include "engine/line_result.h"
#include "engine/session.h"

// `line` is one trimmed script line that is not a comment.
LineResult ExecuteLine(SessionContext& context, const char* line);

// Number of if blocks open at the current line, those beyond the deepest
// level the block state holds included.
int OpenBlocks(const SessionContext& context);
