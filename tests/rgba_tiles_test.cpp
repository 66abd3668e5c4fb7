#include "bmp/bmp_decoder.h"
#include "display/rgba_tiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// Every component value 0 to 255 (red x, green x + 85, blue x + 170) in each
// row, the rows at alpha 128, 192, 255 and 0.
constexpr std::uint32_t columns = 256;
constexpr std::uint8_t alphas[] = {128, 192, 255, 0};
constexpr std::uint32_t rows = 4;

std::uint8_t stored(std::uint32_t x, std::size_t k) {
    return static_cast<std::uint8_t>((x + 85 * k) & 255U);
}

// The tile as a decoder gives it: colours as stored, or multiplied by alpha
// and divided by 255, rounded to the nearest or up.
std::vector<std::uint8_t> tile(AlphaForm form) {
    std::vector<std::uint8_t> pixels;
    for (const std::uint8_t alpha : alphas) {
        for (std::uint32_t x = 0; x < columns; ++x) {
            for (std::size_t k = 0; k < 3; ++k) {
                const unsigned c = stored(x, k);
                const unsigned product = c * alpha;
                pixels.push_back(static_cast<std::uint8_t>(form == AlphaForm::straight ? c
                                                           : form == AlphaForm::premultiplied
                                                               ? (product + 127) / 255
                                                               : (product + 254) / 255));
            }
            pixels.push_back(alpha);
        }
    }
    return pixels;
}

// The colour stored for pixel x of row y, counted from the top.
const std::uint8_t *texel(std::uint32_t x, std::uint32_t y) {
    return &texels[(std::size_t{rows - 1 - y} * columns + x) * 3];
}

TEST(RgbaTiles, StraightColoursAreKeptAndAlphaZeroIsMarked) {
    ASSERT_TRUE(startTiledPicture(columns, rows).ok());
    bool partly = false;
    ASSERT_TRUE(putTile(tile(AlphaForm::straight).data(), 0, 0, columns, rows, RgbaLayout::rgba,
                        AlphaForm::straight, partly)
                    .ok());
    EXPECT_TRUE(partly);
    for (std::uint32_t y = 0; y < rows; ++y) {
        for (std::uint32_t x = 0; x < columns; ++x) {
            for (std::size_t k = 0; k < 3; ++k) {
                ASSERT_EQ(texel(x, y)[k], stored(x, k)) << x << ", " << y;
            }
            ASSERT_EQ(transparency[(rows - 1 - y) * columns + x], alphas[y] == 0 ? 1 : 0);
        }
    }
}

// A decoder that multiplies colours by alpha loses their low bits: divided
// again, each comes back within one of the stored colour from alpha 128 up.
TEST(RgbaTiles, PremultipliedColoursAreDividedAgain) {
    for (const AlphaForm form : {AlphaForm::premultiplied, AlphaForm::premultipliedUp}) {
        ASSERT_TRUE(startTiledPicture(columns, rows).ok());
        bool partly = false;
        const std::vector<std::uint8_t> pixels = tile(form);
        ASSERT_TRUE(
            putTile(pixels.data(), 0, 0, columns, rows, RgbaLayout::rgba, form, partly).ok());
        for (std::uint32_t y = 0; y < 3; ++y) {
            for (std::uint32_t x = 0; x < columns; ++x) {
                for (std::size_t k = 0; k < 3; ++k) {
                    ASSERT_LE(std::abs(texel(x, y)[k] - stored(x, k)), alphas[y] == 255 ? 0 : 1)
                        << x << ", " << y << (form == AlphaForm::premultiplied ? "" : " (up)");
                }
            }
        }
    }
}

} // namespace
