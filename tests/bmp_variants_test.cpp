#include "bmp/bmp_row_blocks.h"
#include "bmp_reader.h"
#include "bmp_variants.h"
#include "data_writer.h"
#include "test_support.h"

#include <algorithm>
#include <sstream>

namespace {

using Palette = std::vector<std::array<std::uint8_t, 3>>;
using Pixels = std::vector<std::uint32_t>;

struct Decoded {
    std::string message;           // "" when the picture was read
    std::vector<std::uint8_t> rgb; // top row first
};

Decoded decode(const std::string &bytes) {
    std::istringstream in(bytes);
    Decoded result{messageOf(decodeBmp(in, "picture.bmp")), {}};
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (std::size_t row = static_cast<std::size_t>(height); row-- > 0 && texels;) {
        result.rgb.insert(result.rgb.end(), texels.get() + row * rowBytes,
                          texels.get() + (row + 1) * rowBytes);
    }
    return result;
}

Palette sixteenColours() {
    Palette palette;
    for (std::uint8_t i = 0; i < 16; ++i) {
        palette.push_back({static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i * 7 + 3)});
    }
    return palette;
}

// 5 × 3: odd widths leave filler in every row at every depth.
constexpr std::uint32_t w = 5;
constexpr std::uint32_t h = 3;

Pixels indexesBelow(std::uint32_t limit) {
    Pixels indexes;
    for (std::uint32_t i = 0; i < w * h; ++i) {
        indexes.push_back((i * 7 + i / 4) % limit);
    }
    return indexes;
}

std::vector<std::uint8_t> throughPalette(const Pixels &indexes, const Palette &palette) {
    std::vector<std::uint8_t> rgb;
    for (const std::uint32_t index : indexes) {
        rgb.insert(rgb.end(), palette.at(index).begin(), palette.at(index).end());
    }
    return rgb;
}

TEST(BmpVariants, PaletteDepthsInEveryHeaderOrderAndCompression) {
    const Palette full = sixteenColours();
    struct Case {
        unsigned bits;
        BmpCompression compression;
        std::uint32_t colours;
    };
    const Case cases[] = {
        {1, BmpCompression::none, 2}, {4, BmpCompression::none, 16}, {8, BmpCompression::none, 16},
        {8, BmpCompression::none, 7}, {8, BmpCompression::rle8, 16}, {4, BmpCompression::rle4, 16},
    };
    for (const Case &c : cases) {
        const Palette palette(full.begin(), full.begin() + c.colours);
        const Pixels indexes = indexesBelow(c.colours);
        for (const std::uint32_t header : {12U, 40U, 56U, 124U}) {
            for (const bool topDown : {false, true}) {
                const bool rle = c.compression != BmpCompression::none;
                if ((header == 12 && (topDown || rle)) || (rle && topDown)) {
                    continue; // no such files
                }
                SCOPED_TRACE(testing::Message()
                             << c.bits << " bits, compression " << static_cast<int>(c.compression)
                             << ", header " << header << (topDown ? ", top-down" : ""));
                BmpVariant variant;
                variant.infoHeaderSize = header;
                variant.bitsPerPixel = c.bits;
                variant.compression = c.compression;
                variant.topDown = topDown;
                variant.palette = palette;
                const Decoded decoded = decode(encodeVariant(w, h, indexes, variant));
                ASSERT_EQ(decoded.message, "");
                EXPECT_EQ(decoded.rgb, throughPalette(indexes, palette));
            }
        }
    }
}

// 0xRRGGBB for each test pixel.
const Pixels colours{0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0x89ABCD, 0xFEDCBA,
                     0x808080, 0x7F7F7F, 0x010203, 0xF0E0D0, 0x0F1E2D, 0xC0FFEE, 0xBADA55};

std::vector<std::uint8_t> rgbOf(const Pixels &values) {
    std::vector<std::uint8_t> rgb;
    for (const std::uint32_t value : values) {
        rgb.push_back(static_cast<std::uint8_t>(value >> 16U));
        rgb.push_back(static_cast<std::uint8_t>(value >> 8U));
        rgb.push_back(static_cast<std::uint8_t>(value));
    }
    return rgb;
}

TEST(BmpVariants, DirectColourDepthsInEveryHeaderAndOrder) {
    Pixels withAlpha;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        // Alpha, or a byte that is not colour: never blended in.
        withAlpha.push_back(colours[i] | static_cast<std::uint32_t>(i * 17) << 24U);
    }
    for (const std::uint32_t header : {40U, 52U, 56U, 108U, 124U}) {
        for (const bool topDown : {false, true}) {
            for (const unsigned bits : {24U, 32U}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, header " << header
                                                << (topDown ? ", top-down" : ""));
                BmpVariant variant;
                variant.infoHeaderSize = header;
                variant.bitsPerPixel = bits;
                variant.topDown = topDown;
                const Decoded decoded =
                    decode(encodeVariant(w, h, bits == 32 ? withAlpha : colours, variant));
                ASSERT_EQ(decoded.message, "");
                EXPECT_EQ(decoded.rgb, rgbOf(colours));
            }
        }
    }
}

// A channel's raw value widened to 8 bits the usual way: its bits repeated.
std::uint8_t widened(std::uint32_t raw, unsigned bits) {
    if (bits >= 8) {
        return static_cast<std::uint8_t>(raw >> (bits - 8));
    }
    std::uint32_t value = raw << (8 - bits);
    for (unsigned filled = bits; filled < 8; filled += bits) {
        value |= raw << (8 - bits) >> filled;
    }
    return static_cast<std::uint8_t>(value);
}

TEST(BmpVariants, BitFieldsInEveryFormAndChannelWidth) {
    struct Case {
        const char *name;
        unsigned bits;
        std::array<std::uint32_t, 4> masks; // red, green, blue, alpha
    };
    const Case cases[] = {
        {"16-bit 5-6-5", 16, {0xF800, 0x07E0, 0x001F, 0}},
        {"16-bit 4-4-4-4", 16, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"16-bit 1-5-5-5 reversed", 16, {0x003E, 0x07C0, 0xF800, 0x0001}},
        {"32-bit RGBA", 32, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}},
        {"32-bit 10-10-10", 32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}},
        {"32-bit 3-3-2", 32, {0xE0, 0x1C, 0x03, 0}},
    };
    for (const Case &c : cases) {
        // Raw channel values from the pixels' colours, and what they must give.
        Pixels stored;
        std::vector<std::uint8_t> expected;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            std::uint32_t value = 0;
            for (std::size_t channel = 0; channel < 4; ++channel) {
                const std::uint32_t mask = c.masks.at(channel);
                if (mask == 0) {
                    continue;
                }
                unsigned shift = 0;
                while ((mask >> shift & 1U) == 0) {
                    ++shift;
                }
                const std::uint32_t top = mask >> shift;
                const std::uint32_t mixed = colours[i] * 2654435761U;
                const std::uint32_t raw = (mixed + static_cast<std::uint32_t>(channel)) % (top + 1);
                value |= raw << shift;
                if (channel < 3) {
                    unsigned bits = 0;
                    while ((top >> bits) != 0) {
                        ++bits;
                    }
                    expected.push_back(widened(raw, bits));
                }
            }
            stored.push_back(value);
        }
        for (const std::uint32_t header : {40U, 52U, 56U, 124U}) {
            for (const BmpCompression form :
                 {BmpCompression::bitFields, BmpCompression::alphaBitFields}) {
                SCOPED_TRACE(testing::Message() << c.name << ", header " << header << ", form "
                                                << static_cast<int>(form));
                BmpVariant variant;
                variant.infoHeaderSize = header;
                variant.bitsPerPixel = c.bits;
                variant.compression = form;
                variant.masks = c.masks;
                const Decoded decoded = decode(encodeVariant(w, h, stored, variant));
                ASSERT_EQ(decoded.message, "");
                EXPECT_EQ(decoded.rgb, expected);
            }
        }
    }
}

Decoded decodeOnePixel(unsigned bits, std::uint32_t value, BmpVariant variant = {}) {
    variant.bitsPerPixel = bits;
    return decode(encodeVariant(1, 1, {value}, variant));
}

TEST(BmpVariants, ChannelRulesByExample) {
    // 16 bits without masks: 5-5-5, widened by repeating the bits.
    EXPECT_EQ(decodeOnePixel(16, 31U << 10U | 16U << 5U | 1U).rgb,
              (std::vector<std::uint8_t>{255, 132, 8}));
    BmpVariant fourBits;
    fourBits.compression = BmpCompression::bitFields;
    fourBits.masks = {0xF00, 0x0F0, 0x00F, 0};
    EXPECT_EQ(decodeOnePixel(16, 0xF73, fourBits).rgb, (std::vector<std::uint8_t>{255, 119, 51}));
    // A mask of zero gives 0.
    BmpVariant noGreen;
    noGreen.compression = BmpCompression::bitFields;
    noGreen.masks = {0xFF0000, 0, 0xFF, 0};
    EXPECT_EQ(decodeOnePixel(32, 0xFFFFFFFF, noGreen).rgb,
              (std::vector<std::uint8_t>{255, 0, 255}));
    // A 124-byte header without bit-field compression: its masks are ignored.
    BmpVariant ignored;
    ignored.infoHeaderSize = 124;
    ignored.masks = {0xFF, 0xFF00, 0xFF0000, 0};
    EXPECT_EQ(decodeOnePixel(32, 0x00112233, ignored).rgb,
              (std::vector<std::uint8_t>{0x11, 0x22, 0x33}));
}

// Which pixels of a decoded 2 × 2 picture are transparent, top row first;
// empty when it has no transparency.
std::vector<std::uint8_t> transparentPixels(const BmpVariant &variant, const Pixels &stored) {
    const Decoded decoded = decode(encodeVariant(2, 2, stored, variant));
    EXPECT_EQ(decoded.message, "");
    if (!transparency) {
        return {};
    }
    return {transparency[2], transparency[3], transparency[0], transparency[1]};
}

TEST(BmpVariants, AlphaMasksMarkTransparentPixels) {
    using Marks = std::vector<std::uint8_t>;
    struct Case {
        const char *name;
        std::uint32_t header;
        BmpCompression compression;
        unsigned bits;
        std::array<std::uint32_t, 4> masks; // red, green, blue, alpha
        Pixels stored;
        Marks expected;
    };
    const std::array<std::uint32_t, 4> argb{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const Pixels someClear{0x00123456, 0xFF123456, 0x80123456, 0x01000000};
    const Marks firstClear{1, 0, 0, 0};
    const Case cases[] = {
        {"124-byte header", 124, BmpCompression::bitFields, 32, argb, someClear, firstClear},
        {"56-byte header", 56, BmpCompression::bitFields, 32, argb, someClear, firstClear},
        {"40-byte header, compression 6", 40, BmpCompression::alphaBitFields, 32, argb, someClear,
         firstClear},
        {"16-bit 1-5-5-5",
         124,
         BmpCompression::bitFields,
         16,
         {0x7C00, 0x3E0, 0x1F, 0x8000},
         {0x8000, 0, 0xFFFF, 0x7FFF},
         {0, 1, 0, 1}},
        // Without masks, the fourth byte of 32 bits is alpha; 16 bits have none.
        {"32 bits without masks", 40, BmpCompression::none, 32, {}, someClear, firstClear},
        {"124-byte header without masks", 124, BmpCompression::none, 32, argb, someClear,
         firstClear},
        {"16 bits without masks", 40, BmpCompression::none, 16, {}, {0, 0x8000, 1, 1}, {}},
        // No room for an alpha mask, or none used: every pixel is opaque.
        {"40-byte header, compression 3", 40, BmpCompression::bitFields, 32, argb, someClear, {}},
        {"52-byte header", 52, BmpCompression::bitFields, 32, argb, someClear, {}},
        // An alpha mask that overlaps the colours is left out, not refused.
        {"overlapping alpha",
         124,
         BmpCompression::bitFields,
         32,
         {0xFF0000, 0xFF00, 0xFF, 0xFF},
         someClear,
         {}},
        // Alpha 0 everywhere: the writer left it unset.
        {"alpha never set",
         124,
         BmpCompression::bitFields,
         32,
         argb,
         {0x123456, 0x123456, 0, 0xFFFFFF},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BmpVariant variant;
        variant.infoHeaderSize = c.header;
        variant.compression = c.compression;
        variant.bitsPerPixel = c.bits;
        variant.masks = c.masks;
        EXPECT_EQ(transparentPixels(variant, c.stored), c.expected);
    }
}

TEST(BmpVariants, BadMasksAreABadHeader) {
    for (const auto &masks : std::vector<std::array<std::uint32_t, 4>>{
             {0xF0F, 0xF0, 0, 0},        // a gap in red
             {0xFF0, 0xF0, 0xF, 0},      // red and green overlap
             {0x1F0000, 0x3E0, 0x1F, 0}, // red outside 16 bits
         }) {
        BmpVariant variant;
        variant.compression = BmpCompression::bitFields;
        variant.masks = masks;
        EXPECT_EQ(decodeOnePixel(16, 0, variant).message, "Error: bad BMP header") << masks[0];
    }
}

TEST(BmpVariants, PaletteRules) {
    const Palette palette = sixteenColours();
    BmpVariant variant;
    variant.bitsPerPixel = 4;
    variant.palette = palette;
    // A count of 0 means 2^bits entries; what lies between palette and pixels is skipped.
    variant.countZero = true;
    variant.gapBeforePixels = 10;
    const Pixels indexes = indexesBelow(16);
    EXPECT_EQ(decode(encodeVariant(w, h, indexes, variant)).rgb, throughPalette(indexes, palette));

    // An index beyond a short palette is refused, whatever lies after the palette.
    variant.countZero = false;
    variant.palette.resize(6);
    variant.gapBeforePixels = 40;
    EXPECT_EQ(decode(encodeVariant(w, h, indexes, variant)).message,
              "Error: bad BMP pixel data (colour index beyond the palette)");
    // The palette must fit before the pixels.
    variant.palette = palette;
    variant.gapBeforePixels = 0;
    std::string overlapping = encodeVariant(w, h, indexes, variant);
    putLe32(overlapping, 10, 14 + 40 + 15 * 4);
    EXPECT_EQ(decode(overlapping).message, "Error: bad BMP header");
    // And within the file.
    std::string cut = encodeVariant(w, h, indexes, variant).substr(0, 14 + 40 + 10 * 4);
    EXPECT_EQ(decode(cut).message, "Error: truncated BMP file");
}

// An RLE8 file around a hand-made stream, with palette entries 0..3.
std::string rle8(std::uint32_t width, std::uint32_t height, const std::string &stream,
                 bool topDown = false) {
    BmpVariant variant;
    variant.bitsPerPixel = 8;
    variant.compression = BmpCompression::rle8;
    variant.palette = {{{9, 9, 9}}, {{255, 0, 0}}, {{0, 255, 0}}, {{0, 0, 255}}};
    variant.topDown = topDown;
    return bmpFile(width, height, variant, stream);
}

std::vector<std::uint8_t> coloursOf(const std::vector<int> &indexes) {
    const Palette palette{{{9, 9, 9}}, {{255, 0, 0}}, {{0, 255, 0}}, {{0, 0, 255}}};
    std::vector<std::uint8_t> rgb;
    for (const int index : indexes) {
        rgb.insert(rgb.end(), palette.at(index).begin(), palette.at(index).end());
    }
    return rgb;
}

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (const int value : values) {
        text += static_cast<char>(value);
    }
    return text;
}

TEST(BmpVariants, RleCodes) {
    struct Case {
        const char *name;
        std::uint32_t width, height;
        std::string stream;
        std::vector<int> expected; // top row first; empty for an error
        const char *message;
    };
    const Case cases[] = {
        {"runs, end of line, end of bitmap",
         3,
         2,
         bytes({3, 1, 0, 0, 2, 2, 1, 3, 0, 0, 0, 1}),
         {2, 2, 3, 1, 1, 1},
         ""},
        {"absolute run padded to 16 bits", 3, 1, bytes({0, 3, 1, 2, 3, 0, 0, 1}), {1, 2, 3}, ""},
        {"delta, unreached pixels are entry 0",
         3,
         2,
         bytes({1, 1, 0, 2, 1, 1, 1, 2, 0, 1}),
         {0, 0, 2, 1, 0, 0},
         ""},
        {"run past the row's end is dropped",
         2,
         2,
         bytes({5, 1, 0, 0, 3, 2, 0, 1}),
         {2, 2, 1, 1},
         ""},
        {"ends when the last row is complete", 2, 1, bytes({2, 3}), {3, 3}, ""},
        {"stream ends early", 2, 2, bytes({2, 3, 0, 0}), {}, "Error: truncated BMP file"},
        {"absolute run cut short", 4, 1, bytes({0, 4, 1, 2}), {}, "Error: truncated BMP file"},
        {"delta above the picture",
         2,
         2,
         bytes({0, 2, 0, 2, 0, 1}),
         {},
         "Error: bad BMP pixel data (RLE code outside the picture)"},
        {"delta past the row's end",
         2,
         2,
         bytes({0, 2, 3, 0, 0, 1}),
         {},
         "Error: bad BMP pixel data (RLE code outside the picture)"},
        {"index beyond the palette",
         2,
         1,
         bytes({2, 4, 0, 1}),
         {},
         "Error: bad BMP pixel data (colour index beyond the palette)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = decode(rle8(c.width, c.height, c.stream));
        EXPECT_EQ(decoded.message, c.message);
        EXPECT_EQ(decoded.rgb, coloursOf(c.expected));
    }
}

TEST(BmpVariants, Rle4NibblesAndOddAbsoluteRuns) {
    BmpVariant variant;
    variant.bitsPerPixel = 4;
    variant.compression = BmpCompression::rle4;
    variant.palette = {{{9, 9, 9}}, {{255, 0, 0}}, {{0, 255, 0}}, {{0, 0, 255}}};
    // Row 1: a run of 3 alternating 1, 2; row 2: absolute 3, 2, 1 (two bytes, padded).
    const std::string stream = bytes({3, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(decode(bmpFile(3, 2, variant, stream)).rgb, coloursOf({3, 2, 1, 1, 2, 1}));
}

TEST(BmpVariants, RleBombsAndTopDownRleAreRefused) {
    // 1000 × 1000 pixels cannot come from a stream of 10 bytes: refused before allocating.
    const std::string bomb = rle8(1000, 1000, bytes({255, 1, 255, 1, 255, 1, 0, 0, 0, 1}));
    EXPECT_EQ(decode(bomb).message, "Error: truncated BMP file");
    // 255 pixels for every two bytes is the most a stream can code.
    EXPECT_EQ(decode(rle8(255, 1, bytes({255, 1}))).message, "");
    EXPECT_EQ(decode(rle8(256, 1, bytes({255, 1}))).message, "Error: truncated BMP file");
    EXPECT_EQ(decode(rle8(2, 1, bytes({2, 1}), true)).message,
              "Error: unsupported BMP format (top-down RLE)");
}

TEST(BmpVariants, RefusedVariantsSayWhich) {
    struct Case {
        const char *name = nullptr;
        BmpVariant variant;
        const char *message = nullptr;
    };
    const auto with = [](std::uint32_t header, unsigned bits, BmpCompression compression) {
        BmpVariant variant;
        variant.infoHeaderSize = header;
        variant.bitsPerPixel = bits;
        variant.compression = compression;
        return variant;
    };
    const Case cases[] = {
        {"JPEG", with(40, 0, BmpCompression::jpeg),
         "Error: unsupported BMP format (JPEG inside a BMP)"},
        {"PNG", with(124, 0, BmpCompression::png),
         "Error: unsupported BMP format (PNG inside a BMP)"},
        {"2 bits", with(40, 2, BmpCompression::none),
         "Error: unsupported BMP format (2 bits per pixel)"},
        {"64 bits", with(40, 64, BmpCompression::none),
         "Error: unsupported BMP format (64 bits per pixel)"},
        {"OS/2 2.x", with(64, 24, BmpCompression::none),
         "Error: unsupported BMP format (OS/2 2.x header)"},
        {"CMYK", with(40, 32, static_cast<BmpCompression>(11)),
         "Error: unsupported BMP format (compression 11)"},
        {"RLE8 of 4 bits", with(40, 4, BmpCompression::rle8), "Error: bad BMP header"},
        {"RLE4 of 8 bits", with(40, 8, BmpCompression::rle4), "Error: bad BMP header"},
        {"bit fields of 24 bits", with(40, 24, BmpCompression::bitFields), "Error: bad BMP header"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decode(bmpFile(1, 1, c.variant, std::string(64, '\0'))).message, c.message)
            << c.name;
    }
}

// A plain BMP read a block of rows at a time gives the text and the rows of
// the picture decoded whole, however small the blocks; a file that cannot be
// read to its end says so.
TEST(BmpVariants, RowBlocksGiveWhatTheWholePictureGives) {
    BmpVariant paletted;
    paletted.bitsPerPixel = 4;
    paletted.palette = sixteenColours();
    BmpVariant direct;
    BmpVariant masked;
    masked.bitsPerPixel = 16;
    masked.compression = BmpCompression::bitFields;
    masked.masks = {0xF800, 0x07E0, 0x001F, 0};
    const std::pair<BmpVariant, Pixels> cases[] = {
        {paletted, indexesBelow(16)}, {direct, colours}, {masked, indexesBelow(65536)}};
    for (const auto &[baseVariant, pixels] : cases) {
        for (const bool topDown : {false, true}) {
            BmpVariant variant = baseVariant;
            variant.topDown = topDown;
            const std::string file = encodeVariant(5, 3, pixels, variant);
            const Decoded whole = decode(file);
            std::ostringstream wholeText;
            ASSERT_TRUE(writeDataRows(wholeText).ok());
            const auto *stored = reinterpret_cast<const std::uint8_t *>(file.data());
            BmpLayout layout;
            ASSERT_TRUE(layoutForRowBlocks(stored, file.size(), file.size(), layout).ok());
            const ReadBytes read = [&](std::uint64_t offset, std::size_t size, std::uint8_t *to) {
                std::copy_n(stored + offset, size, to);
                return true;
            };
            for (const std::uint64_t blockBytes :
                 {std::uint64_t{1}, 2 * layout.rowStride, std::uint64_t{1} << 22U}) {
                SCOPED_TRACE(testing::Message() << variant.bitsPerPixel << " bits, blocks of "
                                                << blockBytes << (topDown ? ", top-down" : ""));
                std::ostringstream text;
                std::vector<std::uint8_t> seen;
                const Outcome outcome = writeDataByRowBlocks(
                    layout, read, "picture.bmp", text,
                    [&](const PixelRows &rows, std::uint32_t top) {
                        EXPECT_EQ(top * std::size_t{15}, seen.size());
                        for (std::uint32_t row = 0; row < rows.rows; ++row) {
                            seen.insert(seen.end(), rows.row(row), rows.row(row) + 15);
                        }
                    },
                    blockBytes);
                writeDataEnd(text);
                ASSERT_TRUE(outcome.ok()) << messageOf(outcome);
                EXPECT_EQ(text.str(), wholeText.str());
                EXPECT_EQ(seen, whole.rgb);
            }
        }
    }
    BmpLayout layout;
    const std::string file = encodeVariant(5, 3, colours, direct);
    const auto *stored = reinterpret_cast<const std::uint8_t *>(file.data());
    ASSERT_TRUE(layoutForRowBlocks(stored, file.size(), file.size(), layout).ok());
    std::ostringstream text;
    const Outcome gone = writeDataByRowBlocks(
        layout, [](std::uint64_t, std::size_t, std::uint8_t *) { return false; }, "gone.bmp", text,
        [](const PixelRows &, std::uint32_t) {});
    EXPECT_EQ(messageOf(gone), "Error: cannot read gone.bmp");
}

} // namespace
