#pragma once

#include "outcome.h"

#include <cstdint>
#include <string>
#include <vector>

struct BmpLayoutOptions {
    std::uint32_t infoHeaderSize = 40; // 40, or 108/124 as newer editors write
    bool topDown = false;              // rows stored top row first, height negative
};

// Bytes in one stored pixel row: three a pixel, padded to a multiple of four.
std::uint64_t bmpRowStride(std::uint32_t width);

// The file and information headers of a 24-bit uncompressed BMP with
// width × height pixels; the pixel rows follow them directly.
std::string bmpHeaders(std::uint32_t width, std::uint32_t height, BmpLayoutOptions options = {});

// Encodes a 24-bit uncompressed BMP into `bytes`. `rgb` holds width × height
// pixels as red, green, blue bytes, top row first.
Outcome encodeBmp(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t> &rgb,
                  std::string &bytes, BmpLayoutOptions options = {});
