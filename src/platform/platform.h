#pragma once

// The few places where the converter depends on the operating system. File
// names are UTF-8 on every platform; on Windows they are converted to the
// wide names the system uses, so names with non-ASCII letters work.

#include <cstddef>
#include <string>
#include <vector>

#ifdef _WIN32
// A UTF-8 name as the wide name Windows uses.
std::wstring widen(const std::string &text);
#endif

// Moves `from` onto `to`, replacing `to` if it exists. Returns false on failure.
bool replaceFile(const std::string &from, const std::string &to);

bool removeFile(const std::string &fileName);

unsigned long processId();

// Asks the system to back a large buffer with huge pages before it is first
// touched. Where virtual machines make page faults dear, this saves most of
// the time spent filling a large picture. Advice only: it may do nothing.
void adviseHugePages(void *data, std::size_t bytes);

// If standard input, output or error is closed, opens the null device in its
// place, so that no file this program opens takes its number (and receives
// what is printed). Returns whether standard output was open.
bool reserveStandardStreams();

// The command-line arguments as UTF-8 strings.
std::vector<std::string> commandLineArguments(int argc, char *argv[]);
