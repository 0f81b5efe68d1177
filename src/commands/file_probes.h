// File probes: does a path name a directory, and does it name something that
// exists and is not a directory. Both answer 1 or 0 and cache nothing.
#pragma once

int IsDirectory(const char* path);
int FileExists(const char* path);
