// Every entry point of the codec, with the Nth allocation made in it failing,
// for N = 1, 2, … until a run makes fewer than N: each run must answer the
// out-of-memory outcome (or, where nothing failed, what it answers anyway),
// throw nothing and leak nothing (the sanitizers' build checks leaks).
// This program replaces the global operator new, so it is a test program of
// its own.

#include "bmp/bmp_decoder.h"
#include "bmp/bmp_writer.h"
#include "bmp_variants.h"
#include "data_parser.h"
#include "data_writer.h"
#include "display/color_modes.h"
#include "display/fitting.h"
#include "display/frames.h"
#include "display/resize.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

bool armed = false;
long allocationsBeforeFailure = 0; // while armed: how many succeed before one fails
bool failureInjected = false;

void *allocateBytes(std::size_t size) {
    if (armed && allocationsBeforeFailure-- == 0) {
        failureInjected = true;
        return nullptr;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
    return std::malloc(size == 0 ? 1 : size);
}

void *allocateOrThrow(std::size_t size) {
    void *memory = allocateBytes(size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

} // namespace

// NOLINTBEGIN(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
void *operator new(std::size_t size) {
    return allocateOrThrow(size);
}
void *operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
void *operator new(std::size_t size, const std::nothrow_t & /*tag*/) noexcept {
    return allocateBytes(size);
}
void *operator new[](std::size_t size, const std::nothrow_t & /*tag*/) noexcept {
    return allocateBytes(size);
}
void operator delete(void *memory) noexcept {
    std::free(memory);
}
void operator delete[](void *memory) noexcept {
    std::free(memory);
}
void operator delete(void *memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}
void operator delete[](void *memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}
// NOLINTEND(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)

namespace {

// Takes any text and keeps only its length: writing to it allocates nothing.
class CountingSink : public std::streambuf {
  public:
    std::size_t written = 0;

  protected:
    int_type overflow(int_type c) override {
        written += traits_type::eq_int_type(c, traits_type::eof()) ? 0 : 1;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char_type * /*text*/, std::streamsize count) override {
        written += static_cast<std::size_t>(count);
        return count;
    }
};

struct EntryPoint {
    std::string name;
    std::function<void()> prepare; // unarmed, before each run
    std::function<Outcome()> run;
};

// Runs `entry` with the 1st, 2nd, … allocation failing until a run needs no
// more; the run without a failure must answer as it does unarmed.
void checkEveryAllocation(const EntryPoint &entry) {
    SCOPED_TRACE(entry.name);
    entry.prepare();
    const Outcome expected = entry.run();
    for (long n = 0;; ++n) {
        entry.prepare();
        failureInjected = false;
        allocationsBeforeFailure = n;
        armed = true;
        Outcome outcome;
        bool threw = false;
        try {
            outcome = entry.run();
        } catch (...) {
            threw = true;
        }
        armed = false;
        ASSERT_FALSE(threw) << "allocation " << n + 1;
        if (!failureInjected) {
            EXPECT_EQ(messageOf(outcome), messageOf(expected));
            return;
        }
        ASSERT_EQ(outcome.failure, Failure::outOfMemory) << "allocation " << n + 1;
    }
}

std::vector<std::uint8_t> bytesOf(const std::string &text) {
    return {text.begin(), text.end()};
}

// Pictures of the kinds that take different paths through the decoder.
std::vector<std::vector<std::uint8_t>> sampleFiles() {
    const std::vector<std::uint32_t> indexes{0, 1, 2, 1, 0, 2, 2, 1, 0, 1, 1, 0};
    const std::vector<std::array<std::uint8_t, 3>> palette{{0, 0, 0}, {255, 0, 0}, {0, 0, 255}};
    BmpVariant rle8;
    rle8.bitsPerPixel = 8;
    rle8.compression = BmpCompression::rle8;
    rle8.palette = palette;
    BmpVariant rle4 = rle8;
    rle4.bitsPerPixel = 4;
    rle4.compression = BmpCompression::rle4;
    BmpVariant alpha;
    alpha.infoHeaderSize = 124;
    alpha.bitsPerPixel = 32;
    alpha.compression = BmpCompression::bitFields;
    alpha.masks = {0x00FF0000U, 0x0000FF00U, 0x000000FFU, 0xFF000000U};
    alpha.topDown = true;
    const std::vector<std::uint32_t> argb{0x00FF0000U, 0xFF00FF00U, 0xFF0000FFU, 0x80FFFFFFU,
                                          0x00000000U, 0xFF123456U, 0xFFABCDEFU, 0x00777777U,
                                          0xFF000000U, 0xFFFFFFFFU, 0x00101010U, 0xFF202020U};
    std::string truncated = encodeVariant(4, 3, indexes, BmpVariant{});
    truncated.resize(truncated.size() - 5);
    return {bytesOf(encodeVariant(4, 3, indexes, BmpVariant{})),
            bytesOf(encodeVariant(4, 3, indexes, rle8)),
            bytesOf(encodeVariant(4, 3, indexes, rle4)), bytesOf(encodeVariant(4, 3, argb, alpha)),
            bytesOf(truncated)};
}

// A picture with transparent pixels in the image state, for resizing and reducing.
void decodeTransparentSample() {
    static const std::vector<std::uint8_t> file = sampleFiles()[3];
    ASSERT_TRUE(decodeBmp(file.data(), file.size()).ok());
    ASSERT_NE(transparency, nullptr);
}

TEST(AllocationFailures, DecodingAnswersOutOfMemoryAndLeavesNoPicture) {
    for (const std::vector<std::uint8_t> &file : sampleFiles()) {
        checkEveryAllocation({"decodeBmp", [] {},
                              [&file] {
                                  Outcome outcome = decodeBmp(file.data(), file.size());
                                  if (!outcome.ok()) {
                                      EXPECT_TRUE(width == 0 && height == 0 && !texels);
                                  }
                                  return outcome;
                              }});
        BmpLayout layout;
        checkEveryAllocation(
            {"layoutForRowBlocks", [] {},
             [&] { return layoutForRowBlocks(file.data(), file.size(), file.size(), layout); }});
    }
}

TEST(AllocationFailures, FittingReducingAndCuttingAnswerOutOfMemory) {
    std::vector<std::uint8_t> values;
    CountingSink sink;
    std::ostream out(&sink);
    const StartFrame startFrame = [](std::uint32_t, std::uint32_t, std::uint32_t) {
        return Outcome{};
    };
    const std::vector<EntryPoint> entries{
        {"fit inside, smooth", decodeTransparentSample,
         [] { return fitImage(3, 7, FitMode::fitInside, ResizeFilter::smooth); }},
        {"fill and crop, sharp", decodeTransparentSample,
         [] { return fitImage(2, 2, FitMode::fillAndCrop, ResizeFilter::sharp); }},
        {"enlarge", decodeTransparentSample,
         [] { return resizeImage(9, 5, ResizeFilter::smooth); }},
        {"bad size", decodeTransparentSample,
         [] { return resizeImage(0, 5, ResizeFilter::smooth); }},
        {"diffuse with a key", decodeTransparentSample,
         [&] { return reduceColors(ColorMode::diffuse, values, 0xE3); }},
        {"ordered", decodeTransparentSample,
         [&] { return reduceColors(ColorMode::ordered, values); }},
        {"frames", decodeTransparentSample,
         [&] {
             FrameChoices choices;
             choices.frameWidth = "2";
             choices.frameHeight = "1";
             choices.skipEmpty = true;
             FrameGrid grid;
             Outcome found = layOutFrames(choices, 4, 3, grid);
             FrameCounts counts;
             return found.ok() ? onImageState([&](const Picture &sheet) {
                 return writeFrames(sheet, grid, Fitting{}, true, out, startFrame, counts);
             })
                               : found;
         }},
        {"fitted rows", decodeTransparentSample,
         [&] {
             Fitting fitting;
             fitting.fit = FitMode::stretch;
             fitting.columns = 3;
             fitting.rows = 2;
             fitting.colors = ColorMode::diffuse;
             return onImageState(
                 [&](Picture &picture) { return writeFittedRows(out, picture, fitting, values); });
         }},
    };
    for (const EntryPoint &entry : entries) {
        checkEveryAllocation(entry);
    }
}

TEST(AllocationFailures, WritingParsingAndEncodingAnswerOutOfMemory) {
    const std::string text = "pic: .word 2, 2\n.byte 1,2,\n3,255,\n\n";
    const std::string shortText = "pic: .word 2, 2\n.byte 1,2,\n3,\n";
    const std::string twoBlocks = text + "pic_1: .word 3, 1\n.byte 4,5,6,\n\n";
    DataImage image;
    std::vector<std::uint8_t> rgb;
    std::string bytes;
    std::string header;
    const std::string label = "a_label_longer_than_a_short_string";
    const std::vector<std::uint8_t> values{1, 2, 3, 4, 5, 6};
    const std::vector<std::uint8_t> pixels(12, 9);
    CountingSink sink;
    std::ostream out(&sink);
    const std::vector<EntryPoint> entries{
        {"writeData", decodeTransparentSample, [&] { return writeData(out, label); }},
        {"writeValueRows", [] {}, [&] { return writeValueRows(out, values, 3, 2); }},
        {"dataHeader", [] {}, [&] { return dataHeader(label, 640, 480, header); }},
        {"parseData", [] {}, [&] { return parseData(text, image); }},
        {"parseData, too few values", [] {}, [&] { return parseData(shortText, image); }},
        {"parseData, blocks stacked", [] {}, [&] { return parseData(twoBlocks, image); }},
        {"expandColors", [] {}, [&] { return expandColors(values, rgb); }},
        {"encodeBmp", [] {}, [&] { return encodeBmp(2, 2, pixels, bytes); }},
    };
    for (const EntryPoint &entry : entries) {
        checkEveryAllocation(entry);
    }
}

} // namespace
