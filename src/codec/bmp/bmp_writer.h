#pragma once

#include "outcome.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BmpLayoutOptions {
    std::uint32_t infoHeaderSize = 40; // 40, or 108/124 as newer editors write (at most 124)
    bool topDown = false;              // rows stored top row first, height negative
};

// Bytes in one stored pixel row: three a pixel, padded to a multiple of four.
std::uint64_t bmpRowStride(std::uint32_t width);

// The file and information headers of a 24-bit uncompressed BMP: the first
// `size` bytes. Made without allocating.
struct BmpHeaders {
    std::array<char, 14 + 124> bytes{};
    std::size_t size = 0;

    std::string_view view() const {
        return {bytes.data(), size};
    }
};

// The headers of a BMP with width × height pixels; the pixel rows follow
// them directly.
BmpHeaders bmpHeaders(std::uint32_t width, std::uint32_t height, BmpLayoutOptions options = {});

// Encodes a 24-bit uncompressed BMP into `bytes`. `rgb` holds width × height
// pixels as red, green, blue bytes, top row first.
Outcome encodeBmp(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t> &rgb,
                  std::string &bytes, BmpLayoutOptions options = {});
