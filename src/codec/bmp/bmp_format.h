#pragma once

// What the BMP reader learns from a file's headers, and the pieces that turn
// its stored pixels into red, green, blue bytes.

#include "outcome.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Rgb = std::array<std::uint8_t, 3>;

// One colour channel of a 16- or 32-bit pixel: its bits, moved down and
// widened to 8 bits.
struct ChannelMask {
    std::uint32_t mask = 0;
    unsigned shift = 0;
    unsigned bits = 0;
    // For channels of up to 8 bits: the widened value of each raw value.
    std::array<std::uint8_t, 256> widened{};

    std::uint8_t extract(std::uint32_t pixel) const {
        const std::uint32_t raw = (pixel & mask) >> shift;
        return bits > 8 ? static_cast<std::uint8_t>(raw >> (bits - 8)) : widened[raw];
    }
};

// Builds the channel for a mask; false if its bits are not contiguous.
bool makeChannel(std::uint32_t mask, ChannelMask &channel);

enum class BmpEncoding { uncompressed, rle8, rle4 };

struct BmpLayout {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    bool topDown = false;
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowStride = 0; // uncompressed rows only
    unsigned bitsPerPixel = 0;
    BmpEncoding encoding = BmpEncoding::uncompressed;
    // 1, 4 and 8 bits a pixel.
    std::array<Rgb, 256> palette{};
    std::size_t paletteSize = 0;
    // 16 and 32 bits a pixel: red, green, blue.
    std::array<ChannelMask, 3> channels{};
    bool plainBgrx = false; // 32 bits as blue, green, red and a byte that is not colour
    // 16 and 32 bits: the alpha bits (0 if there are none). A pixel whose
    // alpha bits are all 0 is transparent.
    std::uint32_t alphaMask = 0;
};

// The most bytes of the file that the headers, bit masks and palette can take.
constexpr std::size_t maxHeaderBytes = 14 + 124 + 16 + 256 * 4;

// Reads the headers from the first bytes of a file (`available` of them, all
// there are up to maxHeaderBytes) of `fileSize` bytes. Every field is checked
// before it is used; so is that the file holds what the headers promise
// (every row, or for RLE enough stream for the pixels declared).
Outcome parseBmpHeaders(const std::uint8_t *bytes, std::size_t available, std::uint64_t fileSize,
                        BmpLayout &layout);

// Decodes one stored row of an uncompressed picture into red, green, blue
// bytes, and where the layout has an alpha mask, into `transparent` 1 for
// each transparent pixel and 0 for the others. False if a colour index lies
// beyond the palette.
bool decodeRow(const BmpLayout &layout, const std::uint8_t *row, std::uint8_t *rgb,
               std::uint8_t *transparent);
