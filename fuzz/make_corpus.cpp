// Writes the fuzzing seed corpus: small valid BMPs of every layout and broken ones.
// Usage: make_corpus DIRECTORY
#include "bmp_variants.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

void save(const std::string &directory, const std::string &name, const std::string &bytes) {
    std::ofstream out(directory + "/" + name, std::ios::binary);
    out << bytes;
}

std::string withField(std::string bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>(value >> (8 * i) & 0xFFU);
    }
    return bytes;
}

// Every depth, compression and header the reader takes, 5 × 3 pixels.
void saveVariants(const std::string &directory) {
    std::vector<std::uint32_t> pixels(15);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint32_t>(i * 2654435761U);
    }
    const std::vector<std::array<std::uint8_t, 3>> palette(16, {10, 200, 30});
    struct Kind {
        unsigned bits;
        BmpCompression compression;
        std::array<std::uint32_t, 4> masks;
    };
    const Kind kinds[] = {
        {1, BmpCompression::none, {}},
        {4, BmpCompression::none, {}},
        {8, BmpCompression::none, {}},
        {4, BmpCompression::rle4, {}},
        {8, BmpCompression::rle8, {}},
        {16, BmpCompression::none, {}},
        {32, BmpCompression::none, {}},
        {16, BmpCompression::bitFields, {0xF800, 0x7E0, 0x1F, 0}},
        {16, BmpCompression::bitFields, {0x7C00, 0x3E0, 0x1F, 0x8000}},
        {32, BmpCompression::alphaBitFields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
    };
    for (const Kind &kind : kinds) {
        for (const std::uint32_t header : {12U, 40U, 56U, 124U}) {
            const bool paletted = kind.bits <= 8;
            if (header == 12 && (kind.compression != BmpCompression::none || kind.bits == 16)) {
                continue;
            }
            BmpVariant variant;
            variant.infoHeaderSize = header;
            variant.bitsPerPixel = kind.bits;
            variant.compression = kind.compression;
            variant.masks = kind.masks;
            if (paletted) {
                variant.palette.assign(palette.begin(),
                                       palette.begin() + (kind.bits == 1 ? 2 : 16));
            }
            std::vector<std::uint32_t> values = pixels;
            const auto colours = static_cast<std::uint32_t>(variant.palette.size());
            std::transform(values.begin(), values.end(), values.begin(),
                           [&](std::uint32_t value) { return paletted ? value % colours : value; });
            save(directory,
                 "variant-" + std::to_string(kind.bits) + "-" +
                     std::to_string(static_cast<int>(kind.compression)) + "-" +
                     std::to_string(header) + (kind.masks[3] != 0 ? "-alpha" : "") + ".bmp",
                 encodeVariant(5, 3, values, variant));
        }
    }
}

} // namespace

// cppcheck-suppress constParameter
int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::cout << "usage: make_corpus DIRECTORY\n";
        return 1;
    }
    const std::string directory = argv[1];
    for (std::uint32_t width = 0; width <= 5; ++width) {
        for (const std::uint32_t infoSize : {40U, 124U}) {
            for (const bool topDown : {false, true}) {
                std::vector<std::uint8_t> rgb(std::size_t{width} * 3 * 3);
                for (std::size_t i = 0; i < rgb.size(); ++i) {
                    rgb[i] = static_cast<std::uint8_t>(i * 37);
                }
                save(directory,
                     "valid-" + std::to_string(width) + "x3-" + std::to_string(infoSize) +
                         (topDown ? "-topdown" : "") + ".bmp",
                     bmpFile(width, 3, rgb, {infoSize, topDown}));
            }
        }
    }
    saveVariants(directory);
    const std::string base = bmpFile(2, 2, std::vector<std::uint8_t>(12, 200));
    save(directory, "truncated.bmp", base.substr(0, base.size() - 1));
    save(directory, "header-only.bmp", base.substr(0, 54));
    save(directory, "huge-claim.bmp", withField(withField(base, 18, 1U << 20), 22, 1U << 20));
    save(directory, "negative-width.bmp", withField(base, 18, 0xFFFFFFFFU));
    save(directory, "offset-inside.bmp", withField(base, 10, 20));
    save(directory, "32-bit.bmp", withField(base, 28, 32));
    return 0;
}
