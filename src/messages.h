#pragma once

#include "file_io.h"

#include <string>

// A file name as messages show it: control characters escaped ("\n", "\t",
// "\x1b"), so that every message stays on one line. Everything else, a
// Windows path's backslashes included, is shown as it is.
std::string printableName(const std::string &name);

// Opens an input file. If it cannot be opened, or is not a regular file,
// prints the line that says so on standard output and returns false.
bool openInputFile(const std::string &name, FileHandle &file);
