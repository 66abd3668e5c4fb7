#pragma once

// The picture a data text shows, as data2bmp previews it: every block
// checked, then one under another, as a 24-bit BMP.

#include "data_parser.h"
#include "outcome.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct DataPreview {
    std::vector<std::array<std::uint32_t, 2>> blockSizes; // each block's width and height
    DataImage image;                                      // the blocks stacked
};

// Parses `text` and stacks its blocks (see parseDataBlocks, stackBlocks).
Outcome stackDataText(const std::string &text, DataPreview &preview);

// The preview BMP of colour bytes: `rgb` keeps their colours (red, green,
// blue, top row first), and `bmp` the file's bytes.
Outcome encodePreview(const DataImage &image, std::vector<std::uint8_t> &rgb, std::string &bmp);
