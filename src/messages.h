#pragma once

#include "data_parser.h"
#include "file_io.h"

#include <cstdint>
#include <string>

// "size:W x H", the line both programs print on success.
std::string sizeLine(std::int64_t width, std::int64_t height);

// "Error: bad data file (line N): WHAT" for a data file that did not parse.
std::string badDataMessage(const DataParseResult &parsed);

// A file name as messages show it: control characters escaped ("\n", "\t",
// "\x1b"), so that every message stays on one line. Everything else, a
// Windows path's backslashes included, is shown as it is.
std::string printableName(const std::string &name);

// Opens an input file. If it cannot be opened, or is not a regular file,
// prints the line that says so on standard output and returns false.
bool openInputFile(const std::string &name, FileHandle &file);
