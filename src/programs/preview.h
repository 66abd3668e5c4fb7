#pragma once

#include <string>
#include <vector>

// Runs data2bmp for the command line `arguments` (invocation name first):
// reads BASE.data, prints its size and writes BASE.preview.bmp. Returns the
// exit status: 0 on success, 1 on any failure.
int runPreview(const std::vector<std::string> &arguments);
