#pragma once

// The programs' only way to standard output: one line at a time.

#include "outcome.h"

#include <string>

void printLine(const std::string &line);

// Prints the failure's message line; prints nothing for success.
void report(const Outcome &outcome);

// Flushes standard output; whether it took every line printed so far.
bool outputFlushed();
