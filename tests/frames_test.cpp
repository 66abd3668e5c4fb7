#include "bmp_reader.h"
#include "bmp_variants.h"
#include "data_writer.h"
#include "display/frames.h"
#include "test_support.h"

#include <sstream>
#include <string>
#include <utility>

namespace {

FrameChoices choicesOf(std::string frameWidth, std::string frameHeight, std::string margin = "",
                       std::string spacing = "") {
    FrameChoices choices;
    choices.frameWidth = std::move(frameWidth);
    choices.frameHeight = std::move(frameHeight);
    choices.margin = std::move(margin);
    choices.spacing = std::move(spacing);
    return choices;
}

// Worked by hand: columns = (W - M + S) / (FW + S), leftover W - M - c·FW - (c - 1)·S.
TEST(Frames, GridsAndLeftovers) {
    struct Case {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        FrameChoices choices;
        std::uint32_t columns = 0;
        std::uint32_t rows = 0;
        std::uint32_t leftoverColumns = 0;
        std::uint32_t leftoverRows = 0;
    };
    const Case cases[] = {
        {64, 32, choicesOf("16", "16"), 4, 2, 0, 0},
        {70, 35, choicesOf("16", "16"), 4, 2, 6, 3},
        // 1 + 3·(16 + 2) = 55 ≤ 60: three frames, 60 - 1 - 48 - 4 = 7 left.
        {60, 40, choicesOf("16", "16", "1", "2"), 3, 2, 7, 5},
        {16, 16, choicesOf("16", "16"), 1, 1, 0, 0},
        {17, 9, choicesOf("5", "3", "2", "1"), 2, 2, 4, 0},
        {1, 65536, choicesOf(" 1", "1 "), 1, 65536, 0, 0},
    };
    for (const Case &c : cases) {
        FrameGrid grid;
        const Outcome outcome = layOutFrames(c.choices, c.width, c.height, grid);
        ASSERT_TRUE(outcome.ok()) << messageOf(outcome);
        EXPECT_EQ(
            (std::vector<std::uint32_t>{grid.columns, grid.rows, grid.leftoverColumns,
                                        grid.leftoverRows}),
            (std::vector<std::uint32_t>{c.columns, c.rows, c.leftoverColumns, c.leftoverRows}))
            << c.width << " x " << c.height;
    }
}

std::string headerOf(const std::string &label, std::uint32_t width, std::uint32_t height) {
    std::string header;
    EXPECT_TRUE(dataHeader(label, width, height, header).ok());
    return header;
}

// A sheet of 3 × 2 frames of 4 × 3 pixels, margin 1 and spacing 1: frame 1
// is transparent all over, frame 4 one colour, the others random.
class Sheet : public ::testing::Test {
  protected:
    static constexpr std::uint32_t sheetWidth = 17;
    static constexpr std::uint32_t sheetHeight = 9;
    static constexpr std::uint32_t flat = 0x3355AA;

    void SetUp() override {
        const std::vector<std::uint8_t> rgb = randomPixels(sheetWidth, sheetHeight, 7);
        for (std::size_t i = 0; i < std::size_t{sheetWidth} * sheetHeight; ++i) {
            argb_.push_back(0xFF000000U | std::uint32_t{rgb[i * 3]} << 16U |
                            std::uint32_t{rgb[i * 3 + 1]} << 8U | rgb[i * 3 + 2]);
        }
        forFrame(1, [](std::uint32_t &pixel) { pixel &= 0x00FFFFFFU; });
        forFrame(4, [](std::uint32_t &pixel) { pixel = 0xFF000000U | flat; });
        for (std::uint32_t number = 0; number < 6; ++number) {
            expected_.push_back(frameText(number));
        }
        BmpVariant variant;
        variant.infoHeaderSize = 124; // room for the alpha mask
        variant.bitsPerPixel = 32;
        variant.compression = BmpCompression::bitFields;
        variant.masks = {0x00FF0000U, 0x0000FF00U, 0x000000FFU, 0xFF000000U};
        const std::string file = encodeVariant(sheetWidth, sheetHeight, argb_, variant);
        std::istringstream in(file);
        ASSERT_TRUE(decodeBmp(in, "picture.bmp").ok());
        ASSERT_TRUE(
            layOutFrames(choicesOf("4", "3", "1", "1"), sheetWidth, sheetHeight, grid_).ok());
    }

    template <typename Change> void forFrame(std::uint32_t number, const Change &change) {
        const std::uint32_t left = 1 + number % 3 * 5;
        const std::uint32_t top = 1 + number / 3 * 4;
        for (std::uint32_t y = top; y < top + 3; ++y) {
            for (std::uint32_t x = left; x < left + 4; ++x) {
                change(argb_[std::size_t{y} * sheetWidth + x]);
            }
        }
    }

    // What bmp2data writes for frame `number` saved as a BMP of its own
    // (made before the sheet is decoded: it uses the image state).
    std::string frameText(std::uint32_t number) {
        std::vector<std::uint8_t> rgb;
        forFrame(number, [&rgb](const std::uint32_t &pixel) {
            rgb.insert(rgb.end(),
                       {static_cast<std::uint8_t>(pixel >> 16U),
                        static_cast<std::uint8_t>(pixel >> 8U), static_cast<std::uint8_t>(pixel)});
        });
        std::istringstream in(bmpFile(4, 3, rgb));
        EXPECT_TRUE(decodeBmp(in, "picture.bmp").ok());
        std::ostringstream out;
        EXPECT_TRUE(writeData(out, "sheet_" + std::to_string(number)).ok());
        return out.str();
    }

    std::string framesText(const Fitting &fitting, bool skipEmpty, FrameCounts &counts) {
        std::ostringstream out;
        Picture sheet = takeImage();
        const Outcome outcome = writeFrames(
            sheet, grid_, fitting, skipEmpty, out,
            [&out](std::uint32_t number, std::uint32_t w, std::uint32_t h) {
                out << headerOf("sheet_" + std::to_string(number), w, h);
                return Outcome{};
            },
            counts);
        EXPECT_TRUE(outcome.ok()) << messageOf(outcome);
        EXPECT_EQ(sheet.width, static_cast<std::int32_t>(sheetWidth)); // left as it is
        putImage(std::move(sheet));
        return out.str();
    }

    // What bmp2data writes for each frame saved as a BMP of its own.
    const std::vector<std::string> &expected() const {
        return expected_;
    }

  private:
    std::vector<std::uint32_t> argb_;
    std::vector<std::string> expected_;
    FrameGrid grid_;
};

TEST_F(Sheet, EachFrameIsTheTextOfItsOwnPicture) {
    FrameCounts counts;
    const std::string text = framesText(Fitting{}, false, counts);
    std::string all;
    for (const std::string &frame : expected()) {
        all += frame;
    }
    EXPECT_EQ(text, all);
    EXPECT_EQ(counts.written, 6U);
    EXPECT_EQ(counts.skipped, 0U);
}

TEST_F(Sheet, EmptyFramesAreSkippedAndTheOthersKeepTheirNumbers) {
    FrameCounts counts;
    EXPECT_EQ(framesText(Fitting{}, true, counts),
              expected()[0] + expected()[2] + expected()[3] + expected()[4] + expected()[5]);
    EXPECT_EQ(counts.skipped, 1U);
    // With the flat frame's colour as the key colour, that frame is empty too.
    Fitting keyed;
    const std::uint8_t key = packColor(0x33, 0x55, 0xAA);
    keyed.key = key;
    const std::string text = framesText(keyed, true, counts);
    EXPECT_EQ(counts.written, 4U);
    EXPECT_EQ(counts.skipped, 2U);
    EXPECT_EQ(text.find("sheet_4:"), std::string::npos);
    EXPECT_NE(text.find("sheet_5: .word 4, 3"), std::string::npos);
}

} // namespace
