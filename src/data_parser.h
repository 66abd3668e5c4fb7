#pragma once

#include "outcome.h"

#include <cstdint>
#include <string>
#include <vector>

// A data file as bmp2data writes it: the dimensions and one colour byte per
// pixel, top row first.
struct DataImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> values;
};

// Parses the text of a data file: the first non-empty line "LABEL: .word W, H",
// then ".byte " and exactly W × H decimal values from 0 to 255, each followed
// by a comma. Line ends may be LF or CR LF; blank lines and spaces between
// tokens are ignored; rows may share lines or not. A text that is not such a
// file gives badData, with the line (1-based) where the problem was found.
Outcome parseData(const std::string &text, DataImage &image);
