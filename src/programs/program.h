#pragma once

#include <functional>
#include <string>
#include <vector>

using ProgramEntry = int (*)(const std::vector<std::string> &);

// Runs `work`; if memory runs out anywhere in it, prints "Error: Malloc
// failed" and returns 1. Whatever `work` owns (a temporary file, say) is
// released on the way.
int reportingMallocFailure(const std::function<int()> &work);

// What both programs do around their work (runConverter, runPreview): set the
// signals up, take the arguments, and make sure that standard output took
// every line before promising success.
int runProgram(ProgramEntry entry, int argc, char *argv[]);
