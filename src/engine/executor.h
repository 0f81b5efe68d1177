// The line executor: runs one script line against the session. It keeps the
// state of the nested if ... endif blocks, carries out the built-in commands
// (if, endif, exit, quit, write, echo, print, show_tmp) and hands every other
// command to its worker in the command table.
#pragma once

#include "engine/line_result.h"
#include "engine/session.h"

// `line` is one trimmed script line that is not a comment.
LineResult ExecuteLine(SessionContext& context, const char* line);

// What a line is, from its tokens alone (after SplitLine), whatever the
// block state: the executor acts on this, and the script checker reads it.
enum class LineKind {
    Empty,        // no token
    Builtin,      // exit, quit, show_tmp, write, echo, print
    Worker,       // a command of the command table
    Condition,    // if with subject, operator and value
    EndBlock,     // endif
    Dropped,      // four tokens that are no if: dropped without a message
    Unknown,      // no command with this keyword and token count
};
LineKind ClassifyLine(const SessionContext& context);

// The parts of an if line the executor can read: a subject it knows (user,
// computername, macaddress, filepresence) and an operator whose first
// character is "=" or "!". A condition with anything else opens an inactive
// level.
bool IsConditionSubject(const char* word);
bool IsConditionOperator(const char* word);

// Number of if blocks open at the current line, those beyond the deepest
// level the block state holds included.
int OpenBlocks(const SessionContext& context);
