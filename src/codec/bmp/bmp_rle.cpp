#include "bmp/bmp_rle.h"

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

    Outcome run() {
        Outcome found = decodeCodes();
        if (found.ok()) {
            fillUpTo(std::uint64_t{layout_.columns} * layout_.rows);
        }
        return found;
    }

  private:
    Outcome decodeCodes() {
        while (!lastRowComplete()) {
            std::uint8_t count = 0;
            std::uint8_t value = 0;
            if (!source_.next(count) || !source_.next(value)) {
                return fail(Failure::truncated);
            }
            Outcome found = count > 0 ? encodedRun(count, value) : escape(value);
            if (!found.ok() || finished_) {
                return found;
            }
        }
        return {};
    }

    // The current position in raster order; codes only ever move it forward.
    std::uint64_t position() const {
        return std::uint64_t{y_} * layout_.columns + std::min<std::uint64_t>(x_, layout_.columns);
    }

    // Pixels that no code reached, up to `end`, are palette entry 0.
    void fillUpTo(std::uint64_t end) {
        const Rgb first = layout_.paletteSize > 0 ? layout_.palette[0] : Rgb{};
        for (; filled_ < end; ++filled_) {
            std::memcpy(pixels_ + filled_ * 3, first.data(), 3);
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
            fillUpTo(position());
            std::memcpy(pixels_ + filled_ * 3, layout_.palette[index].data(), 3);
            ++filled_;
        }
        ++x_;
        return true;
    }

    // `count` pixels of one index (RLE8) or of two alternating ones (RLE4).
    Outcome encodedRun(unsigned count, std::uint8_t value) {
        const unsigned first = nibbles_ ? value >> 4U : value;
        const unsigned second = nibbles_ ? value & 0xFU : value;
        if (first >= layout_.paletteSize || (count > 1 && second >= layout_.paletteSize)) {
            return fail(Failure::badPixels, beyondPalette);
        }
        if (x_ < layout_.columns) {
            fillUpTo(position());
            const std::uint64_t stored = std::min<std::uint64_t>(count, layout_.columns - x_);
            std::uint8_t *target = pixels_ + filled_ * 3;
            const Rgb colours[2] = {layout_.palette[first], layout_.palette[second]};
            for (std::uint64_t i = 0; i < stored; ++i, target += 3) {
                const Rgb &colour = colours[i % 2];
                target[0] = colour[0];
                target[1] = colour[1];
                target[2] = colour[2];
            }
            filled_ += stored;
        }
        x_ += count; // what lies past the row's end is dropped
        return {};
    }

    Outcome escape(std::uint8_t code) {
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

    Outcome delta() {
        std::uint8_t right = 0;
        std::uint8_t up = 0;
        if (!source_.next(right) || !source_.next(up)) {
            return fail(Failure::truncated);
        }
        x_ += right;
        y_ += up;
        if (y_ >= layout_.rows || x_ > layout_.columns) {
            return fail(Failure::badPixels, outsidePicture);
        }
        return {};
    }

    // `count` pixels stored one by one, padded to a 16-bit boundary.
    Outcome absoluteRun(unsigned count) {
        const unsigned bytes = nibbles_ ? (count + 1) / 2 : count;
        std::uint8_t byte = 0;
        for (unsigned i = 0; i < count; ++i) {
            if ((!nibbles_ || i % 2 == 0) && !source_.next(byte)) {
                return fail(Failure::truncated);
            }
            const unsigned index = nibbles_ ? (i % 2 == 0 ? byte >> 4U : byte & 0xFU) : byte;
            if (!put(index)) {
                return fail(Failure::badPixels, beyondPalette);
            }
        }
        if (bytes % 2 != 0 && !source_.next(byte)) {
            return fail(Failure::truncated);
        }
        return {};
    }

    ByteSource source_;
    const BmpLayout &layout_;
    std::uint8_t *pixels_;
    bool nibbles_;
    std::uint64_t x_ = 0;
    std::uint32_t y_ = 0;
    std::uint64_t filled_ = 0; // pixels stored so far, in raster order
    bool finished_ = false;
};

} // namespace

Outcome decodeRle(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels) {
    return RleDecoder(in, layout, pixels).run();
}
