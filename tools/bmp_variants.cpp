#include "bmp_variants.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace {

void append(std::string &bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(value >> (8 * i) & 0xFFU);
    }
}

std::uint32_t masksAfterHeader(const BmpVariant &variant) {
    if (variant.infoHeaderSize != 40) {
        return 0;
    }
    if (variant.compression == BmpCompression::bitFields) {
        return 12;
    }
    return variant.compression == BmpCompression::alphaBitFields ? 16 : 0;
}

std::string infoHeader(std::uint32_t width, std::uint32_t height, const BmpVariant &variant,
                       std::uint32_t imageSize) {
    std::string info;
    append(info, variant.infoHeaderSize, 4);
    if (variant.infoHeaderSize == 12) {
        append(info, width, 2);
        append(info, height, 2);
        append(info, 1, 2);
        append(info, variant.bitsPerPixel, 2);
        return info;
    }
    append(info, width, 4);
    append(info, variant.topDown ? 0U - height : height, 4);
    append(info, 1, 2);
    append(info, variant.bitsPerPixel, 2);
    append(info, static_cast<std::uint32_t>(variant.compression), 4);
    append(info, imageSize, 4);
    append(info, 2835, 4);
    append(info, 2835, 4);
    append(info, variant.countZero ? 0 : static_cast<std::uint32_t>(variant.palette.size()), 4);
    append(info, 0, 4);
    const std::uint32_t masksInside = std::min<std::uint32_t>(variant.infoHeaderSize - 40, 16);
    const std::uint32_t masksAfter = masksAfterHeader(variant);
    for (std::uint32_t i = 0; i < (masksInside + masksAfter) / 4; ++i) {
        append(info, variant.masks.at(i), 4);
    }
    info.resize(variant.infoHeaderSize + masksAfter, '\0');
    return info;
}

std::uint32_t paletteEntryBytes(const BmpVariant &variant) {
    return variant.infoHeaderSize == 12 ? 3 : 4;
}

std::string uncompressedRows(std::uint32_t width, std::uint32_t height,
                             const std::vector<std::uint32_t> &pixels, unsigned bits,
                             bool topDown) {
    const std::size_t stride = (std::size_t{width} * bits + 31) / 32 * 4;
    std::string rows(stride * height, '\0');
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t fileRow = topDown ? y : height - 1 - y;
        char *row = &rows[fileRow * stride];
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t value = pixels.at(y * width + x);
            if (bits < 8) {
                const unsigned shift = static_cast<unsigned>(8 - bits - (x * bits) % 8);
                row[x * bits / 8] = static_cast<char>(
                    static_cast<unsigned char>(row[x * bits / 8]) | value << shift);
            } else {
                for (unsigned i = 0; i < bits / 8; ++i) {
                    row[x * (bits / 8) + i] = static_cast<char>(value >> (8 * i) & 0xFFU);
                }
            }
        }
    }
    return rows;
}

} // namespace

std::string bmpFile(std::uint32_t width, std::uint32_t height, const BmpVariant &variant,
                    const std::string &pixelData) {
    const std::string info =
        infoHeader(width, height, variant, static_cast<std::uint32_t>(pixelData.size()));
    std::string palette;
    for (const auto &entry : variant.palette) {
        palette += static_cast<char>(entry[2]);
        palette += static_cast<char>(entry[1]);
        palette += static_cast<char>(entry[0]);
        if (paletteEntryBytes(variant) == 4) {
            palette += '\0';
        }
    }
    const std::size_t pixelOffset = 14 + info.size() + palette.size() + variant.gapBeforePixels;
    std::string bytes = "BM";
    append(bytes, static_cast<std::uint32_t>(pixelOffset + pixelData.size()), 4);
    append(bytes, 0, 4);
    append(bytes, static_cast<std::uint32_t>(pixelOffset), 4);
    return bytes + info + palette + std::string(variant.gapBeforePixels, '\x5A') + pixelData;
}

namespace {

// How many pixels from `x` on repeat the first one (at most 255).
std::size_t repeats(const std::uint32_t *row, std::size_t x, std::size_t width) {
    std::size_t run = 1;
    while (x + run < width && run < 255 && row[x + run] == row[x]) {
        ++run;
    }
    return run;
}

// How many pixels from `x` on differ from their right neighbour (at most 255).
std::size_t differing(const std::uint32_t *row, std::size_t x, std::size_t width) {
    std::size_t count = 1;
    while (x + count < width && count < 255 &&
           (x + count + 1 >= width || row[x + count] != row[x + count + 1])) {
        ++count;
    }
    return count;
}

void appendAbsoluteRun(std::string &stream, const std::uint32_t *pixels, std::size_t count) {
    stream += '\0';
    stream += static_cast<char>(count);
    for (std::size_t i = 0; i < count; ++i) {
        stream += static_cast<char>(pixels[i]);
    }
    if (count % 2 != 0) {
        stream += '\0'; // absolute runs end on a 16-bit boundary
    }
}

} // namespace

std::string rleStream(std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint32_t> &indexes, bool fourBits) {
    std::string stream;
    for (std::size_t y = height; y-- > 0;) {
        const std::uint32_t *row = indexes.data() + y * width;
        std::size_t x = 0;
        while (x < width) {
            const std::size_t run = repeats(row, x, width);
            const std::size_t unequal = run == 1 && !fourBits ? differing(row, x, width) : 0;
            if (unequal >= 3) {
                appendAbsoluteRun(stream, row + x, unequal);
                x += unequal;
                continue;
            }
            stream += static_cast<char>(run);
            stream += static_cast<char>(fourBits ? row[x] << 4U | row[x] : row[x]);
            x += run;
        }
        stream += std::string("\0\0", 2); // end of line
    }
    stream += std::string("\0\1", 2); // end of bitmap
    return stream;
}

std::string encodeVariant(std::uint32_t width, std::uint32_t height,
                          const std::vector<std::uint32_t> &pixels, const BmpVariant &variant) {
    if (variant.compression == BmpCompression::rle8 ||
        variant.compression == BmpCompression::rle4) {
        return bmpFile(
            width, height, variant,
            rleStream(width, height, pixels, variant.compression == BmpCompression::rle4));
    }
    return bmpFile(width, height, variant,
                   uncompressedRows(width, height, pixels, variant.bitsPerPixel, variant.topDown));
}

std::string bmpFile(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t> &rgb,
                    BmpLayoutOptions options) {
    std::string bytes;
    if (!encodeBmp(width, height, rgb, bytes, options).ok()) {
        std::abort();
    }
    return bytes;
}
