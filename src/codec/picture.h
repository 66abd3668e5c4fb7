#pragma once

// A picture as a value of its own: what the image state holds (see
// bmp_decoder.h), owned by whoever holds it, so that a frame cut from a
// sheet, or a picture being fitted, never takes the image state's place.

#include "outcome.h"
#include "pixel_rows.h"

#include <cstdint>
#include <memory>
#include <type_traits>

struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Red, green, blue, rows from the bottom of the picture up.
    std::unique_ptr<std::uint8_t[]> texels;
    // 1 for each transparent pixel, in the order of texels; null: all opaque.
    std::unique_ptr<std::uint8_t[]> transparency;

    std::uint32_t columns() const {
        return width > 0 ? static_cast<std::uint32_t>(width) : 0;
    }
    std::uint32_t rows() const {
        return height > 0 ? static_cast<std::uint32_t>(height) : 0;
    }
    bool hasPixels() const {
        return columns() != 0 && rows() != 0 && texels;
    }
    // Its colours and its marks, seen from the top row down; no rows where
    // there are none.
    PixelRows colorRows() const {
        return viewOf<const std::uint8_t>(texels.get(), 3);
    }
    PixelRows markRows() const {
        return viewOf<const std::uint8_t>(transparency.get(), 1);
    }
    PixelTarget colorTarget() {
        return viewOf<std::uint8_t>(texels.get(), 3);
    }
    PixelTarget markTarget() {
        return viewOf<std::uint8_t>(transparency.get(), 1);
    }

  private:
    template <typename Byte> Rows<Byte> viewOf(Byte *plane, std::uint32_t channels) const {
        return plane == nullptr ? Rows<Byte>{}
                                : Rows<Byte>::bottomUp(plane, columns(), rows(), channels);
    }
};

// A columns × rows picture of unset pixels, with room for transparency
// marks where `marks` says.
Outcome makePicture(std::uint32_t columns, std::uint32_t rows, bool marks, Picture &picture);

// The image state moved into a picture (leaving it empty), and back.
Picture takeImage();
void putImage(Picture &&picture);

// Runs `work(picture)` on the image state as a picture, and puts it back
// whatever the work answers: for the callers that work on the image state.
template <typename Work> Outcome onImageState(Work &&work) {
    Picture picture = takeImage();
    Outcome found = std::forward<Work>(work)(picture);
    putImage(std::move(picture));
    return found;
}
