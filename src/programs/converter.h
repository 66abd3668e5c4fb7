#pragma once

#include <string>
#include <vector>

// Runs one conversion for the command line `arguments` (invocation name
// first): reads BASE.bmp, prints its size and writes BASE.data. All messages
// go to standard output. Returns the exit status: 0 on success, 1 on any
// failure.
int runConverter(const std::vector<std::string> &arguments);
