#include "bmp_reader.h"
#include "bmp_variants.h"
#include "test_support.h"

#include <sstream>

namespace {

Failure decodeBytes(const std::string &bytes) {
    std::istringstream in(bytes);
    return decodeBmp(in, "picture.bmp").failure;
}

// The decoded pixels, top row first, for comparison with what was encoded.
std::vector<std::uint8_t> decodedTopRowFirst() {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> rgb;
    for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
        rgb.insert(rgb.end(), texels.get() + row * rowBytes, texels.get() + (row + 1) * rowBytes);
    }
    return rgb;
}

// Every filler count (widths 1 to 5), both row orders and the header sizes in use.
TEST(ReadBmp, EveryLayoutGivesThePicture) {
    for (std::uint32_t w = 1; w <= 5; ++w) {
        for (std::uint32_t h = 1; h <= 3; ++h) {
            const auto rgb = randomPixels(w, h, w * 10 + h);
            for (std::uint32_t infoSize : {40U, 108U, 124U}) {
                for (bool topDown : {false, true}) {
                    SCOPED_TRACE(testing::Message() << w << "x" << h << " header " << infoSize
                                                    << (topDown ? " top-down" : ""));
                    ASSERT_EQ(decodeBytes(bmpFile(w, h, rgb, {infoSize, topDown})), Failure::none);
                    EXPECT_EQ(width, static_cast<std::int32_t>(w));
                    EXPECT_EQ(height, static_cast<std::int32_t>(h));
                    EXPECT_EQ(decodedTopRowFirst(), rgb);
                }
            }
        }
    }
}

// Rows are read in blocks of 64 KiB; these pictures span several, the last one partly.
TEST(ReadBmp, TallPicturesSpanSeveralReadBlocks) {
    for (const std::uint32_t w : {7U, 30000U}) {
        const std::uint32_t h = w == 7 ? 7000 : 5;
        const auto rgb = randomPixels(w, h, w);
        for (const bool topDown : {false, true}) {
            ASSERT_EQ(decodeBytes(bmpFile(w, h, rgb, {40, topDown})), Failure::none);
            EXPECT_EQ(decodedTopRowFirst(), rgb) << w << (topDown ? " top-down" : "");
        }
    }
}

TEST(ReadBmp, PixelsStartAtTheStoredOffsetAndFillerIsIgnored) {
    const auto rgb = randomPixels(2, 2, 7);
    std::string bytes = bmpFile(2, 2, rgb);
    bytes[54 + 6] = '\x55'; // filler bytes of the first row
    bytes[54 + 7] = '\x66';
    // Sixteen bytes of something else (a colour table, say) before the pixels.
    bytes.insert(54, std::string(16, '\x7F'));
    putLe32(bytes, 10, 54 + 16);
    ASSERT_EQ(decodeBytes(bytes), Failure::none);
    EXPECT_EQ(decodedTopRowFirst(), rgb);
}

TEST(ReadBmp, BlueGreenRedBytesBecomeRedGreenBlue) {
    std::string bytes = bmpFile(1, 1, {0, 0, 0});
    bytes[54] = '\0';
    bytes[55] = '\0';
    bytes[56] = '\xFF';
    ASSERT_EQ(decodeBytes(bytes), Failure::none);
    EXPECT_EQ(decodedTopRowFirst(), (std::vector<std::uint8_t>{255, 0, 0}));
}

TEST(ReadBmp, ZeroSizedPicturesHaveNoPixels) {
    ASSERT_EQ(decodeBytes(bmpFile(0, 3, {})), Failure::none);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 3);
    ASSERT_EQ(decodeBytes(bmpFile(3, 0, {})), Failure::none);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 0);
}

// Found by fuzzing: a billion zero-width rows once took minutes to "read", and
// a 3.7 GB row buffer was allocated for a picture with no rows. (The memory
// limit tests check that no such buffer is allocated.)
TEST(ReadBmp, EmptyPicturesWithHugeDimensionsAreImmediate) {
    for (const auto &[columns, rows] : {std::pair{0U, 0x7FFFFFFFU}, std::pair{0x4A000001U, 0U}}) {
        std::string bytes = bmpFile(0, 0, {});
        putLe32(bytes, 18, columns);
        putLe32(bytes, 22, rows);
        ASSERT_EQ(decodeBytes(bytes), Failure::none);
        EXPECT_EQ(width, static_cast<std::int32_t>(columns));
        EXPECT_EQ(height, static_cast<std::int32_t>(rows));
    }
}

TEST(ReadBmp, FailureLeavesNoPicture) {
    ASSERT_EQ(decodeBytes(bmpFile(2, 2, randomPixels(2, 2, 1))), Failure::none);
    std::string truncated = bmpFile(2, 2, randomPixels(2, 2, 1));
    truncated.pop_back();
    EXPECT_EQ(decodeBytes(truncated), Failure::truncated);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(texels, nullptr);
}

} // namespace

// A stream that cannot seek (a pipe, say) cannot tell its size: it cannot be
// read as a BMP, which is not to say that it is not one.
TEST(BmpReader, AStreamWithoutASizeCannotBeRead) {
    struct Unseekable : std::streambuf {
    } unseekable;
    std::istream in(&unseekable);
    EXPECT_EQ(messageOf(decodeBmp(in, "pipe.bmp")), "Error: cannot read pipe.bmp");
}
