#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Expands colour bytes back to 24-bit red, green, blue triples: red and green
// round(level × 255 / 7), blue level × 85. Packing an expanded colour again
// gives the same byte.
std::vector<std::uint8_t> expandColors(const std::vector<std::uint8_t> &values);

// Runs data2bmp for the command line `arguments` (invocation name first):
// reads BASE.data, prints its size and writes BASE.preview.bmp. Returns the
// exit status: 0 on success, 1 on any failure.
int runPreview(const std::vector<std::string> &arguments);
