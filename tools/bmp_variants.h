#pragma once

// Writes BMP files of every kind the reader takes, and of kinds it refuses,
// for tests and the fuzzing corpus.

#include "bmp/bmp_writer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class BmpCompression : std::uint32_t {
    none = 0,
    rle8 = 1,
    rle4 = 2,
    bitFields = 3,
    jpeg = 4,
    png = 5,
    alphaBitFields = 6,
};

struct BmpVariant {
    std::uint32_t infoHeaderSize = 40; // 12 (OS/2 1.x), 40, 52, 56, 108 or 124
    unsigned bitsPerPixel = 24;
    BmpCompression compression = BmpCompression::none;
    bool topDown = false;
    // 1, 4 and 8 bits: red, green, blue entries. Written with its count in
    // the header, or 0 if `countZero` (meaning 2^bits entries).
    std::vector<std::array<std::uint8_t, 3>> palette;
    bool countZero = false;
    // Bit fields: red, green, blue, alpha (alpha written only where there is room).
    std::array<std::uint32_t, 4> masks{};
    std::uint32_t gapBeforePixels = 0; // bytes of 0x5A between the palette and the pixels
};

// The headers, masks, palette and gap of a variant, then `pixelData` as stored.
std::string bmpFile(std::uint32_t width, std::uint32_t height, const BmpVariant &variant,
                    const std::string &pixelData);

// A whole file: `pixels` (top row first) are palette indexes for 1, 4 and 8
// bits, stored values (as the masks lay them out) for 16 and 32 bits, and
// 0xRRGGBB for 24 bits. RLE variants are run-length encoded.
std::string encodeVariant(std::uint32_t width, std::uint32_t height,
                          const std::vector<std::uint32_t> &pixels, const BmpVariant &variant);

// Run-length encoding of palette indexes (top row first), as writers do it:
// runs of equal pixels, absolute runs of unequal ones, an end of line after
// every row and an end of bitmap.
std::string rleStream(std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint32_t> &indexes, bool fourBits);

// encodeBmp's bytes, for pictures that tests and tools make: a failure to
// encode one ends the program.
std::string bmpFile(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t> &rgb,
                    BmpLayoutOptions options = {});
