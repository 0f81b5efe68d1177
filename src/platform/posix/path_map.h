// Mapping of the system's Windows-style paths onto the POSIX file system.
//
//   \\server\share\rest  ->  $TALLMOOR_UNC_ROOT/server/share/rest  (default /mnt)
//   x:\rest, x:rest      ->  $TALLMOOR_DRIVES/x/rest
//                            (default $HOME/.local/share/tallmoor/drives;
//                            the drive letter in lower case)
//   \rooted\path         ->  /rooted/path
//   relative\path        ->  relative/path
//   /posix/path          ->  unchanged
//
// Windows names are case-insensitive and unquoted script tokens arrive in
// lower case, so each component that does not exist under its exact name is
// looked up in its directory ignoring the case of A-Z. Components that do not
// exist at all (a file about to be created) are kept as given. The variables
// are read at every call.
#pragma once

#include <string>

// Answers false only when there is no path to map (null or empty).
bool MapWindowsPath(const char* windowsPath, std::string& posixPath);

// The directory that stands for drive `letter` (any case): the drive root.
std::string DriveDirectory(char letter);

// The system's name for a POSIX path: a path below $TALLMOOR_UNC_ROOT as the
// UNC name it stands for ("\\server\share\rest"), any other path as it is.
std::string WindowsNameOf(const std::string& posixPath);
