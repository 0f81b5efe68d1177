// Program launch: starting a program file with or without waiting for it,
// running a command text through the command processor, and the script
// command `start` built on that.
#pragma once

#include <initializer_list>

#include "engine/line_result.h"
#include "engine/session.h"

enum class StartMode { Wait, NoWait };

// Starts `program` with the command line made of `arguments` (the first is
// the program path). With Wait: the program's exit status, or -1 when it
// cannot be started. Without: 0, or -1 when it could not be started.
int StartProcess(StartMode mode, const char* program, std::initializer_list<const char*> arguments);

// Runs `command` through the command processor and waits for it: the
// processor's exit status, or -1 when no processor can be found or started.
int RunCommand(const char* command);

// start <command text>
LineResult StartCommand(SessionContext& context);
