// znOpenFile.h -- opens a file for reading only when it is a regular file.
//
// A FIFO would block a reader forever and a device such as /dev/zero never
// ends, so every file the library reads goes through here: the check and the
// open use one descriptor, so the file cannot be swapped in between.

#ifndef UTIL_ZNOPENFILE_H
#define UTIL_ZNOPENFILE_H

#include <cstdio>
#include <string>

// Opens `path` for reading with the stdio `mode` ("r", "rb", "rt"). Returns
// null when it cannot, with `reason` (when given) set to a short lower-case
// text: "no such file", "permission denied", "is a directory", "not a
// regular file", or the system's own text for anything else.
FILE* ZnOpenRegularFile(const char* path, const char* mode, std::string* reason = nullptr);

// True when `path` names a regular file (after links). For a path handed on
// to a library that opens it itself; a reader of its own uses the opener.
bool ZnIsRegularFile(const char* path);

// The reason ZnOpenRegularFile would give for `path`, or "" when it opens.
std::string ZnRegularFileProblem(const char* path);

#endif
