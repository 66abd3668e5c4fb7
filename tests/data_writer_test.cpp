#include "bmp_reader.h"
#include "data_writer.h"
#include "test_support.h"

#include <cmath>
#include <sstream>

namespace {

// Lowest component value of each level, from the rounding of c × 7 / 255 and c × 3 / 255.
const std::vector<int> redGreenThresholds{0, 19, 55, 92, 128, 164, 201, 237};
const std::vector<int> blueThresholds{0, 43, 128, 213};

int levelFor(int component, const std::vector<int> &thresholds) {
    int level = 0;
    while (level + 1 < static_cast<int>(thresholds.size()) && component >= thresholds[level + 1]) {
        ++level;
    }
    return level;
}

TEST(PackColor, NamedColours) {
    struct Case {
        std::uint8_t red, green, blue, expected;
    };
    const Case cases[] = {
        {255, 255, 255, 255}, {255, 0, 0, 7},   {0, 255, 0, 56},  {0, 0, 255, 192},
        {128, 128, 128, 164}, {0, 0, 0, 0},     {31, 0, 0, 1},    {230, 0, 0, 6},
        {18, 0, 0, 0},        {236, 0, 0, 6},   {237, 0, 0, 7},   {0, 0, 42, 0},
        {0, 0, 43, 64},       {0, 0, 212, 128}, {0, 0, 213, 192},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(packColor(c.red, c.green, c.blue), c.expected)
            << "rgb " << int{c.red} << "," << int{c.green} << "," << int{c.blue};
    }
}

int formulaLevel(int component, double top) {
    return static_cast<int>(std::round(component * top / 255.0));
}

// Exhaustive: each component's level is independent of the others, so checking
// all 256 values of each covers every colour. The level is what the
// double-precision formula gives and what the threshold table says.
TEST(PackColor, EveryComponentValueGivesTheFormulasLevel) {
    for (int value = 0; value < 256; ++value) {
        const auto component = static_cast<std::uint8_t>(value);
        const int redGreen = formulaLevel(value, 7.0);
        const int blue = formulaLevel(value, 3.0);
        EXPECT_EQ(redGreen, levelFor(value, redGreenThresholds)) << value;
        EXPECT_EQ(blue, levelFor(value, blueThresholds)) << value;
        EXPECT_EQ(packColor(component, 0, 0), redGreen) << value;
        EXPECT_EQ(packColor(0, component, 0), redGreen << 3) << value;
        EXPECT_EQ(packColor(0, 0, component), blue << 6) << value;
        EXPECT_EQ(packColor(component, component, component), blue << 6 | redGreen << 3 | redGreen)
            << value;
    }
}

std::string writtenText(const std::string &label) {
    std::ostringstream out;
    writeData(out, label);
    return out.str();
}

void setImage(std::int32_t w, std::int32_t h, const std::vector<std::uint8_t> &bottomUpRgb) {
    width = w;
    height = h;
    texels = std::make_unique<std::uint8_t[]>(bottomUpRgb.size() + 1);
    std::copy(bottomUpRgb.begin(), bottomUpRgb.end(), texels.get());
}

TEST(WriteData, TwoByTwoPictureTopRowFirst) {
    // Stored bottom row first: blue, green; then the top row: red, white.
    setImage(2, 2, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255});
    EXPECT_EQ(writtenText("logo"), "logo: .word 2, 2\n.byte 7,255,\n192,56,\n\n\n");
}

// The text is handed over in blocks of 64 KiB; these pictures need several.
TEST(WriteData, LargePicturesMatchPixelByPixelFormatting) {
    for (const auto &[w, h] : {std::pair{7, 7000}, std::pair{30000, 3}}) {
        const auto rgb = randomPixels(w, h, w);
        setImage(w, h, rgb);
        std::string expected =
            "big: .word " + std::to_string(w) + ", " + std::to_string(h) + "\n.byte ";
        for (int row = h - 1; row >= 0; --row) {
            for (int column = 0; column < w; ++column) {
                const std::size_t i = (static_cast<std::size_t>(row) * w + column) * 3;
                expected += std::to_string(packColor(rgb[i], rgb[i + 1], rgb[i + 2])) + ",";
            }
            expected += "\n";
        }
        EXPECT_EQ(writtenText("big"), expected + "\n\n") << w << " x " << h;
    }
}

TEST(WriteData, OneRowPicturesAndPicturesWithoutPixels) {
    setImage(1, 1, {0, 0, 0});
    EXPECT_EQ(writtenText("logo"), "logo: .word 1, 1\n.byte 0,\n\n\n");
    // Three-digit values fill the row's text to its last byte.
    setImage(3, 1, std::vector<std::uint8_t>(9, 255));
    EXPECT_EQ(writtenText("w"), "w: .word 3, 1\n.byte 255,255,255,\n\n\n");
    setImage(0, 3, {});
    EXPECT_EQ(writtenText("logo"), "logo: .word 0, 3\n.byte \n\n");
    setImage(4, 0, {});
    EXPECT_EQ(writtenText("img/logo"), "img/logo: .word 4, 0\n.byte \n\n");
}

} // namespace
