#include "bmp/bmp_format.h"

namespace {

// 1, 4 and 8 bits a pixel: indexes into the palette, the leftmost pixel in
// the highest bits of each byte.
template <unsigned bits>
bool decodePaletteRow(const BmpLayout &layout, const std::uint8_t *row, std::uint8_t *rgb) {
    constexpr unsigned perByte = 8 / bits;
    constexpr unsigned lowMask = (1U << bits) - 1;
    const std::size_t paletteSize = layout.paletteSize;
    for (std::size_t x = 0; x < layout.columns; ++x, rgb += 3) {
        const unsigned slot = static_cast<unsigned>(x % perByte);
        const unsigned index = row[x / perByte] >> (8 - bits - slot * bits) & lowMask;
        if (index >= paletteSize) {
            return false;
        }
        const Rgb &entry = layout.palette[index];
        rgb[0] = entry[0];
        rgb[1] = entry[1];
        rgb[2] = entry[2];
    }
    return true;
}

void decodeBgrRow(const BmpLayout &layout, const std::uint8_t *row, std::uint8_t *rgb) {
    for (std::size_t x = 0; x < layout.columns; ++x, row += 3, rgb += 3) {
        rgb[0] = row[2];
        rgb[1] = row[1];
        rgb[2] = row[0];
    }
}

// 32 bits without masks: blue, green, red and a byte that is not colour
// (but alpha, where it is read).
void decodeBgrxRow(const BmpLayout &layout, const std::uint8_t *row, std::uint8_t *rgb,
                   std::uint8_t *transparent) {
    for (std::size_t x = 0; x < layout.columns; ++x, row += 4, rgb += 3) {
        rgb[0] = row[2];
        rgb[1] = row[1];
        rgb[2] = row[0];
        if (transparent != nullptr) {
            transparent[x] = static_cast<std::uint8_t>(row[3] == 0);
        }
    }
}

template <unsigned bytesPerPixel>
void decodeMaskedRow(const BmpLayout &layout, const std::uint8_t *row, std::uint8_t *rgb,
                     std::uint8_t *transparent) {
    const auto &[red, green, blue] = layout.channels;
    for (std::size_t x = 0; x < layout.columns; ++x, row += bytesPerPixel, rgb += 3) {
        std::uint32_t pixel = 0;
        for (unsigned i = 0; i < bytesPerPixel; ++i) {
            pixel |= std::uint32_t{row[i]} << (8 * i);
        }
        rgb[0] = red.extract(pixel);
        rgb[1] = green.extract(pixel);
        rgb[2] = blue.extract(pixel);
        if (transparent != nullptr) {
            transparent[x] = static_cast<std::uint8_t>((pixel & layout.alphaMask) == 0);
        }
    }
}

} // namespace

bool decodeRow(const BmpLayout &layout, const std::uint8_t *row, std::uint8_t *rgb,
               std::uint8_t *transparent) {
    if (layout.alphaMask == 0) {
        transparent = nullptr;
    }
    switch (layout.bitsPerPixel) {
    case 24:
        decodeBgrRow(layout, row, rgb);
        return true;
    case 32:
        if (layout.plainBgrx) {
            decodeBgrxRow(layout, row, rgb, transparent);
        } else {
            decodeMaskedRow<4>(layout, row, rgb, transparent);
        }
        return true;
    case 16:
        decodeMaskedRow<2>(layout, row, rgb, transparent);
        return true;
    case 8:
        return decodePaletteRow<8>(layout, row, rgb);
    case 4:
        return decodePaletteRow<4>(layout, row, rgb);
    default:
        return decodePaletteRow<1>(layout, row, rgb);
    }
}
