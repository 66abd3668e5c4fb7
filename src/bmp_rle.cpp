#include "bmp_rle.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The stream's bytes one at a time, read in blocks.
class ByteSource {
  public:
    explicit ByteSource(std::istream &in) : in_(in), block_(std::size_t{1} << 16U) {}

    bool next(std::uint8_t &byte) {
        if (position_ == filled_) {
            in_.read(reinterpret_cast<char *>(block_.data()),
                     static_cast<std::streamsize>(block_.size()));
            filled_ = static_cast<std::size_t>(in_.gcount());
            position_ = 0;
            if (filled_ == 0) {
                return false;
            }
        }
        byte = block_[position_++];
        return true;
    }

  private:
    std::istream &in_;
    std::vector<std::uint8_t> block_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
};

const char *const outsidePicture = "RLE code outside the picture";
const char *const beyondPalette = "colour index beyond the palette";

class RleDecoder {
  public:
    RleDecoder(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels)
        : source_(in), layout_(layout), pixels_(pixels),
          nibbles_(layout.encoding == BmpEncoding::rle4) {}

    BmpProblem run() {
        fillWithFirstEntry();
        while (!lastRowComplete()) {
            std::uint8_t count = 0;
            std::uint8_t value = 0;
            if (!source_.next(count) || !source_.next(value)) {
                return {BmpStatus::truncated, {}};
            }
            BmpProblem found = count > 0 ? encodedRun(count, value) : escape(value);
            if (found.status != BmpStatus::ok || finished_) {
                return found;
            }
        }
        return {};
    }

  private:
    void fillWithFirstEntry() {
        const Rgb first = layout_.paletteSize > 0 ? layout_.palette[0] : Rgb{};
        const std::size_t count = std::size_t{layout_.columns} * layout_.rows;
        for (std::size_t i = 0; i < count; ++i) {
            std::memcpy(pixels_ + i * 3, first.data(), 3);
        }
    }

    bool lastRowComplete() const {
        return y_ >= layout_.rows || (y_ + 1 == layout_.rows && x_ >= layout_.columns);
    }

    // Stores one pixel at the current position and moves right; pixels past
    // the row's end are dropped.
    bool put(unsigned index) {
        if (index >= layout_.paletteSize) {
            return false;
        }
        if (x_ < layout_.columns) {
            const std::size_t at = (std::size_t{y_} * layout_.columns + x_) * 3;
            std::memcpy(pixels_ + at, layout_.palette[index].data(), 3);
        }
        ++x_;
        return true;
    }

    BmpProblem encodedRun(unsigned count, std::uint8_t value) {
        for (unsigned i = 0; i < count; ++i) {
            const unsigned index = nibbles_ ? (i % 2 == 0 ? value >> 4U : value & 0xFU) : value;
            if (!put(index)) {
                return {BmpStatus::badPixels, beyondPalette};
            }
        }
        return {};
    }

    BmpProblem escape(std::uint8_t code) {
        switch (code) {
        case 0: // end of line
            x_ = 0;
            ++y_;
            return {};
        case 1: // end of bitmap
            finished_ = true;
            return {};
        case 2: // delta: move right and up
            return delta();
        default:
            return absoluteRun(code);
        }
    }

    BmpProblem delta() {
        std::uint8_t right = 0;
        std::uint8_t up = 0;
        if (!source_.next(right) || !source_.next(up)) {
            return {BmpStatus::truncated, {}};
        }
        x_ += right;
        y_ += up;
        if (y_ >= layout_.rows || x_ > layout_.columns) {
            return {BmpStatus::badPixels, outsidePicture};
        }
        return {};
    }

    // `count` pixels stored one by one, padded to a 16-bit boundary.
    BmpProblem absoluteRun(unsigned count) {
        const unsigned bytes = nibbles_ ? (count + 1) / 2 : count;
        std::uint8_t byte = 0;
        for (unsigned i = 0; i < count; ++i) {
            if ((!nibbles_ || i % 2 == 0) && !source_.next(byte)) {
                return {BmpStatus::truncated, {}};
            }
            const unsigned index = nibbles_ ? (i % 2 == 0 ? byte >> 4U : byte & 0xFU) : byte;
            if (!put(index)) {
                return {BmpStatus::badPixels, beyondPalette};
            }
        }
        if (bytes % 2 != 0 && !source_.next(byte)) {
            return {BmpStatus::truncated, {}};
        }
        return {};
    }

    ByteSource source_;
    const BmpLayout &layout_;
    std::uint8_t *pixels_;
    bool nibbles_;
    std::uint64_t x_ = 0;
    std::uint32_t y_ = 0;
    bool finished_ = false;
};

} // namespace

BmpProblem decodeRle(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels) {
    return RleDecoder(in, layout, pixels).run();
}
