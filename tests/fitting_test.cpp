#include "bmp/bmp_decoder.h"
#include "data_writer.h"
#include "display/color_modes.h"
#include "display/resize.h"
#include "test_support.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <sstream>

namespace {

// Makes the image state a picture of red, green, blue bytes, top row first,
// with the transparent pixels marked 1 in `transparent` (if given).
void setImage(std::uint32_t columns, std::uint32_t rows, const std::vector<std::uint8_t> &rgb,
              const std::vector<std::uint8_t> &transparent = {}) {
    width = static_cast<std::int32_t>(columns);
    height = static_cast<std::int32_t>(rows);
    texels.reset(new std::uint8_t[rgb.size() + 1]); // NOLINT(cppcoreguidelines-owning-memory)
    transparency.reset();
    if (!transparent.empty()) {
        transparency.reset(
            new std::uint8_t[transparent.size() + 1]); // NOLINT(cppcoreguidelines-owning-memory)
    }
    for (std::size_t y = 0; y < rows && !rgb.empty(); ++y) {
        std::memcpy(texels.get() + (rows - 1 - y) * columns * 3, rgb.data() + y * columns * 3,
                    std::size_t{columns} * 3);
        if (transparency) {
            std::memcpy(transparency.get() + (rows - 1 - y) * columns,
                        transparent.data() + y * columns, columns);
        }
    }
}

// The image state's transparent pixels, top row first; empty if none.
std::vector<std::uint8_t> imageTransparency() {
    const auto columns = static_cast<std::size_t>(width);
    std::vector<std::uint8_t> marks;
    for (std::size_t row = static_cast<std::size_t>(height); transparency && row-- > 0;) {
        marks.insert(marks.end(), transparency.get() + row * columns,
                     transparency.get() + (row + 1) * columns);
    }
    return marks;
}

// The image state's pixels, top row first.
std::vector<std::uint8_t> imageRgb() {
    const auto columns = static_cast<std::size_t>(width);
    std::vector<std::uint8_t> rgb;
    for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
        rgb.insert(rgb.end(), texels.get() + row * columns * 3,
                   texels.get() + (row + 1) * columns * 3);
    }
    return rgb;
}

// Red values only, green and blue 0.
std::vector<std::uint8_t> reds(const std::vector<std::uint8_t> &values) {
    std::vector<std::uint8_t> rgb;
    for (const std::uint8_t value : values) {
        rgb.insert(rgb.end(), {value, 0, 0});
    }
    return rgb;
}

std::vector<std::uint8_t> resized(std::uint32_t columns, std::uint32_t rows,
                                  const std::vector<std::uint8_t> &rgb, std::uint32_t toColumns,
                                  std::uint32_t toRows, ResizeFilter filter,
                                  const std::vector<std::uint8_t> &transparent = {}) {
    setImage(columns, rows, rgb, transparent);
    EXPECT_TRUE(resizeImage(toColumns, toRows, filter).ok());
    EXPECT_EQ(width, static_cast<std::int32_t>(toColumns));
    EXPECT_EQ(height, static_cast<std::int32_t>(toRows));
    return imageRgb();
}

// Worked out by hand: the source positions each output takes and their weights.
TEST(Resize, SmallPicturesByHand) {
    // Nearest, 2 → 5: floor((2x + 1) × 2 / 10) is 0, 0, 1, 1, 1.
    EXPECT_EQ(resized(2, 1, reds({10, 200}), 5, 1, ResizeFilter::sharp),
              reds({10, 10, 200, 200, 200}));
    // Box, 3 → 2: each output covers 1.5 pixels: (0×2 + 90)/3 and (90 + 255×2)/3.
    EXPECT_EQ(resized(3, 1, reds({0, 90, 255}), 2, 1, ResizeFilter::smooth), reds({30, 200}));
    // Box, 2 × 2 → 1: (0 + 255 + 255 + 0) / 4 = 127.5, halves away from zero.
    EXPECT_EQ(resized(2, 2, reds({0, 255, 255, 0}), 1, 1, ResizeFilter::smooth), reds({128}));
    // Bilinear, 2 → 4: centres at -0.25, 0.25, 0.75, 1.25; the edges hold.
    EXPECT_EQ(resized(2, 1, reds({0, 255}), 4, 1, ResizeFilter::smooth), reds({0, 64, 191, 255}));
    // Rows follow the same rules: 1 × 3 → 1 × 2 by box.
    EXPECT_EQ(resized(1, 3, reds({0, 90, 255}), 1, 2, ResizeFilter::smooth), reds({30, 200}));
}

// Transparent pixels lend no colour to their opaque neighbours, and an output
// pixel is transparent when more than half of what it covers is.
TEST(Resize, TransparentPixelsByHand) {
    // Half of it transparent: opaque, its colour from the opaque half alone.
    EXPECT_EQ(resized(2, 1, reds({200, 10}), 1, 1, ResizeFilter::smooth, {0, 1}), reds({200}));
    EXPECT_EQ(imageTransparency(), (std::vector<std::uint8_t>{0}));
    // Two thirds transparent: transparent, with the opaque third's colour.
    EXPECT_EQ(resized(3, 1, reds({200, 10, 10}), 1, 1, ResizeFilter::smooth, {0, 1, 1}),
              reds({200}));
    EXPECT_EQ(imageTransparency(), (std::vector<std::uint8_t>{1}));
    // All of it transparent: the plain mean of the stored colours.
    EXPECT_EQ(resized(2, 1, reds({200, 11}), 1, 1, ResizeFilter::smooth, {1, 1}), reds({106}));
    EXPECT_EQ(imageTransparency(), (std::vector<std::uint8_t>{1}));
    // Nearest, 2 → 4: each output is its source pixel, transparency and all.
    EXPECT_EQ(resized(2, 1, reds({200, 10}), 4, 1, ResizeFilter::sharp, {1, 0}),
              reds({200, 200, 10, 10}));
    EXPECT_EQ(imageTransparency(), (std::vector<std::uint8_t>{1, 1, 0, 0}));
    // Bilinear, 2 → 4: the weights 3/4 and 1/4 decide, the colour stays opaque.
    EXPECT_EQ(resized(2, 1, reds({0, 255}), 4, 1, ResizeFilter::smooth, {0, 1}),
              reds({0, 0, 0, 255}));
    EXPECT_EQ(imageTransparency(), (std::vector<std::uint8_t>{0, 0, 1, 1}));
    // Fill and crop keeps the marks with their pixels: columns 1 and 2 of 4.
    setImage(4, 1, reds({1, 2, 3, 4}), {1, 0, 1, 1});
    ASSERT_TRUE(fitImage(2, 1, FitMode::fillAndCrop, ResizeFilter::sharp).ok());
    EXPECT_EQ(imageRgb(), reds({2, 3}));
    EXPECT_EQ(imageTransparency(), (std::vector<std::uint8_t>{0, 1}));
}

TEST(Resize, SameSizeChangesNothing) {
    const std::vector<std::uint8_t> rgb = randomPixels(13, 7, 5);
    for (const ResizeFilter filter : {ResizeFilter::sharp, ResizeFilter::smooth}) {
        EXPECT_EQ(resized(13, 7, rgb, 13, 7, filter), rgb);
    }
}

TEST(Resize, UniformPicturesStayUniformAtAnySize) {
    const std::vector<std::uint8_t> grey(std::size_t{9} * 5 * 3, 77);
    for (const auto &[columns, rows] :
         {std::pair{4U, 3U}, std::pair{20U, 11U}, std::pair{9U, 1U}}) {
        for (const ResizeFilter filter : {ResizeFilter::sharp, ResizeFilter::smooth}) {
            EXPECT_EQ(resized(9, 5, grey, columns, rows, filter),
                      std::vector<std::uint8_t>(std::size_t{columns} * rows * 3, 77));
        }
    }
}

TEST(Resize, BadSizesAreRefusedAndChangeNothing) {
    setImage(2, 1, reds({1, 2}));
    for (const auto &[columns, rows] :
         {std::pair{0U, 240U}, std::pair{320U, 0U}, std::pair{8193U, 1U}}) {
        const Outcome outcome = resizeImage(columns, rows, ResizeFilter::smooth);
        EXPECT_EQ(messageOf(outcome), "Error: bad size (" + std::to_string(columns) + " x " +
                                          std::to_string(rows) + ": each side must be 1 to 8192)");
        EXPECT_EQ(imageRgb(), reds({1, 2}));
    }
    setImage(0, 3, {});
    EXPECT_EQ(messageOf(resizeImage(4, 4, ResizeFilter::sharp)),
              "Error: bad size (the picture has no pixels)");
}

TEST(Fit, EachModeGivesItsSize) {
    std::vector<std::uint8_t> columnsAsRed;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            columnsAsRed.insert(columnsAsRed.end(), {static_cast<std::uint8_t>(x), 0, 0});
        }
    }
    struct Case {
        FitMode fit;
        std::uint32_t columns, rows, expectedColumns, expectedRows;
    };
    const Case cases[] = {
        {FitMode::original, 320, 240, 40, 20},  {FitMode::fitInside, 320, 240, 320, 160},
        {FitMode::fitInside, 10, 30, 10, 5},    {FitMode::stretch, 8, 8, 8, 8},
        {FitMode::fillAndCrop, 20, 20, 20, 20}, {FitMode::fillAndCrop, 80, 10, 80, 10},
    };
    for (const Case &c : cases) {
        setImage(40, 20, columnsAsRed);
        ASSERT_TRUE(fitImage(c.columns, c.rows, c.fit, ResizeFilter::sharp).ok());
        EXPECT_EQ(width, static_cast<std::int32_t>(c.expectedColumns));
        EXPECT_EQ(height, static_cast<std::int32_t>(c.expectedRows));
    }
    // Filling a square keeps the middle 20 columns, 10 to 29, as they were.
    setImage(40, 20, columnsAsRed);
    ASSERT_TRUE(fitImage(20, 20, FitMode::fillAndCrop, ResizeFilter::smooth).ok());
    EXPECT_EQ(imageRgb()[0], 10);
    EXPECT_EQ(imageRgb()[std::size_t{19} * 3], 29);
}

std::vector<std::uint8_t> reducedWith(ColorMode mode) {
    std::vector<std::uint8_t> values;
    EXPECT_TRUE(reduceColors(mode, values).ok());
    return values;
}

TEST(ColorModes, NearestIsThePackingForEveryValue) {
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint8_t> expected;
    for (int v = 0; v < 256; ++v) {
        const auto c = static_cast<std::uint8_t>(v);
        const auto d = static_cast<std::uint8_t>(255 - v);
        rgb.insert(rgb.end(), {c, d, c});
        expected.push_back(packColor(c, d, c));
    }
    setImage(16, 16, rgb);
    EXPECT_EQ(reducedWith(ColorMode::nearest), expected);
}

// The text of colour bytes made by `nearest` is the command line's text.
TEST(ColorModes, NearestValuesWriteTheCommandLinesText) {
    setImage(37, 5, randomPixels(37, 5, 9));
    std::ostringstream direct;
    writeDataRows(direct);
    std::ostringstream fromValues;
    writeValueRows(fromValues, reducedWith(ColorMode::nearest), 37, 5);
    EXPECT_EQ(fromValues.str(), direct.str());
}

// Grey 64 everywhere rounds to red and green level 2, blue 1: byte 82.
TEST(ColorModes, SmallPicturesByHand) {
    setImage(4, 4, std::vector<std::uint8_t>(48, 64));
    EXPECT_EQ(reducedWith(ColorMode::nearest), std::vector<std::uint8_t>(16, 82));
    // Ordered: 64 × 7 / 255 + t reaches level 2 (and 64 × 3 / 255 + t level 1)
    // where the Bayer entry is 16 or more; elsewhere levels 1 and 0: byte 9.
    EXPECT_EQ(
        reducedWith(ColorMode::ordered),
        (std::vector<std::uint8_t>{9, 82, 9, 82, 82, 82, 82, 82, 9, 82, 9, 82, 82, 82, 82, 82}));
    // Floyd–Steinberg on 2 × 2: the errors of the first three pixels (red
    // -9, -12.94, -14.24; blue -21, -30.19, -33.22) bring the last one down
    // to red 53.17 (level 1) and blue 38.72 (level 0).
    setImage(2, 2, std::vector<std::uint8_t>(12, 64));
    EXPECT_EQ(reducedWith(ColorMode::diffuse), (std::vector<std::uint8_t>{82, 82, 82, 9}));
}

// Grey 64 with its top right pixel transparent, key colour 227.
TEST(ColorModes, KeyColourByHand) {
    const std::vector<std::uint8_t> grey(12, 64);
    const std::vector<std::uint8_t> topRight{0, 1, 0, 0};
    const std::optional<std::uint8_t> key = 227;
    setImage(2, 2, grey, topRight);
    std::vector<std::uint8_t> values;
    // Without a key the transparent pixel keeps its stored colour.
    EXPECT_EQ(reducedWith(ColorMode::nearest), std::vector<std::uint8_t>(4, 82));
    ASSERT_TRUE(reduceColors(ColorMode::nearest, values, key).ok());
    EXPECT_EQ(values, (std::vector<std::uint8_t>{82, 227, 82, 82}));
    ASSERT_TRUE(reduceColors(ColorMode::ordered, values, key).ok());
    EXPECT_EQ(values, (std::vector<std::uint8_t>{9, 227, 82, 82}));
    // Diffused, the keyed pixel takes and gives no error, so the last pixel
    // gets only 1/16 of the first's and 7/16 of the third's (red 58.27,
    // blue 50.63: levels 2 and 1), where all four opaque give 82, 82, 82, 9.
    ASSERT_TRUE(reduceColors(ColorMode::diffuse, values, key).ok());
    EXPECT_EQ(values, (std::vector<std::uint8_t>{82, 227, 82, 82}));
    // A key on a picture without transparency changes nothing.
    setImage(2, 2, grey);
    ASSERT_TRUE(reduceColors(ColorMode::diffuse, values, key).ok());
    EXPECT_EQ(values, (std::vector<std::uint8_t>{82, 82, 82, 9}));
}

// Found by fuzzing: a picture a billion pixels wide and 0 high took memory
// for a row of errors.
TEST(ColorModes, EmptyPicturesGiveNoValues) {
    setImage(1000000000, 0, {});
    for (const ColorMode mode : {ColorMode::nearest, ColorMode::ordered, ColorMode::diffuse}) {
        EXPECT_TRUE(reducedWith(mode).empty());
    }
}

TEST(ColorModes, DiffusionKeepsEachChannelsMeanOnAGradient) {
    const std::uint32_t columns = 97;
    const std::uint32_t rows = 23;
    std::vector<std::uint8_t> rgb;
    double sums[3] = {0, 0, 0};
    for (std::uint32_t y = 0; y < rows; ++y) {
        for (std::uint32_t x = 0; x < columns; ++x) {
            const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(x * 255 / (columns - 1)),
                                           static_cast<std::uint8_t>(y * 255 / (rows - 1)),
                                           static_cast<std::uint8_t>((x + y) * 2)};
            rgb.insert(rgb.end(), pixel, pixel + 3);
            for (int c = 0; c < 3; ++c) {
                sums[c] += pixel[c];
            }
        }
    }
    setImage(columns, rows, rgb);
    double reducedSums[3] = {0, 0, 0};
    for (const std::uint8_t value : reducedWith(ColorMode::diffuse)) {
        const std::array<std::uint8_t, 3> colour = unpackColor(value);
        for (int c = 0; c < 3; ++c) {
            reducedSums[c] += colour[c];
        }
    }
    const double steps[3] = {255.0 / 7, 255.0 / 7, 255.0 / 3};
    for (int c = 0; c < 3; ++c) {
        EXPECT_LE(std::abs(reducedSums[c] - sums[c]) / (columns * rows), steps[c] / 2) << c;
    }
}

} // namespace
