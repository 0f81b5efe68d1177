// Network drive connections on POSIX.
//
// Drive letter x stands for the directory $TALLMOOR_DRIVES/x. A connection is
// a symbolic link there to the share's directory, which is found through the
// same mapping as every UNC path; it lasts until it is removed, as a
// connection remembered in the user's profile does. A plain directory there
// is a local disk and never a connection.
//
// The answers are Win32 codes:
//   0     NO_ERROR
//   5     ERROR_ACCESS_DENIED         the link cannot be made or removed
//   67    ERROR_BAD_NET_NAME          the share's directory does not exist
//   85    ERROR_ALREADY_ASSIGNED      the letter is in use (link, disk, file)
//   234   ERROR_MORE_DATA             the remote name does not fit the buffer
//   1200  ERROR_BAD_DEVICE            the local name is not a letter and ":"
//   1201  ERROR_CONNECTION_UNAVAIL    a link whose share is not there now
//   2250  ERROR_NOT_CONNECTED         no link at that letter
#pragma once

#include <cstddef>

int AddPosixConnection(const char* localName, const char* remoteName);
int GetPosixConnection(const char* localName, char* remote, size_t size);
int CancelPosixConnection(const char* localName);
