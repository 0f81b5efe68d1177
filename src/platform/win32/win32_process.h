// Starting a program with CreateProcessA.
#pragma once

// Starts `application` (the program file itself, never looked up from the
// command line) with `commandLine`, inheriting environment, directory and
// inheritable handles. With `wait`: waits without a time limit and answers
// the exit code. Without: answers 0. -1 when it cannot be started.
int StartWin32Process(const char* application, const char* commandLine, bool wait);
