#pragma once

// The few places where the converter depends on the operating system. File
// names are UTF-8 on every platform; on Windows they are converted to the
// wide names the system uses, so names with non-ASCII letters work.

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

void openForReading(std::ifstream &in, const std::string &fileName);
// Opens for writing, truncating; text mode turns "\n" into the platform's line end.
void openForWriting(std::ofstream &out, const std::string &fileName, bool binary);

// Moves `from` onto `to`, replacing `to` if it exists. Returns false on failure.
bool replaceFile(const std::string &from, const std::string &to);

bool removeFile(const std::string &fileName);

unsigned long processId();

// Asks the system to back a large buffer with huge pages before it is first
// touched. Where virtual machines make page faults dear, this saves most of
// the time spent filling a large picture. Advice only: it may do nothing.
void adviseHugePages(void *data, std::size_t bytes);

// The command-line arguments as UTF-8 strings.
std::vector<std::string> commandLineArguments(int argc, char *argv[]);
