// Process start on POSIX: how a Win32 command line is carried out here.
//
// The program is the mapped application path; it must be a regular,
// executable file. The command line is read the Windows way, without quotes:
//   - it begins with the program's own text, which becomes argv[0];
//   - "<program> /c TEXT" is a command-processor call and runs as
//     `program -c TEXT`, TEXT passed on unchanged as one argument;
//   - any other command line is split on blanks (space, tab) into argv.
// The child has the caller's environment, directory and inheritable
// descriptors. With `wait`, the answer is the exit status (128 + the signal
// number for a process ended by a signal); without, the program is started
// through an intermediate child that ends at once, so the program is adopted
// and reaped by init and never stays a zombie of ours.
#pragma once

int StartPosixProcess(const char* application, const char* commandLine, bool wait);
