#pragma once

#include <cstddef>
#include <cstdint>

// Rows of pixels in memory: `rows` rows of `columns` pixels of `channels`
// bytes each. Row r, counted from the top, starts at first + r × stride, so
// rows stored bottom-up are seen top-down through a negative stride.
template <typename Byte> struct Rows {
    Byte *first = nullptr;
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    std::ptrdiff_t stride = 0;
    std::uint32_t channels = 3;

    Byte *row(std::uint32_t r) const {
        return first + static_cast<std::ptrdiff_t>(r) * stride;
    }

    // Rows stored top row first, one after another.
    static Rows topDown(Byte *pixels, std::uint32_t columns, std::uint32_t rows,
                        std::uint32_t channels) {
        return {pixels, columns, rows, rowBytes(columns, channels), channels};
    }

    // Rows stored bottom row first, as in a BMP file and the image state.
    static Rows bottomUp(Byte *pixels, std::uint32_t columns, std::uint32_t rows,
                         std::uint32_t channels) {
        const std::ptrdiff_t bytes = rowBytes(columns, channels);
        return {rows == 0 ? pixels : pixels + (static_cast<std::ptrdiff_t>(rows) - 1) * bytes,
                columns, rows, -bytes, channels};
    }

    static std::ptrdiff_t rowBytes(std::uint32_t columns, std::uint32_t channels) {
        return static_cast<std::ptrdiff_t>(std::size_t{columns} * channels);
    }
};
using PixelRows = Rows<const std::uint8_t>;
using PixelTarget = Rows<std::uint8_t>;
