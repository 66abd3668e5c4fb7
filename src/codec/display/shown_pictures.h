#pragma once

// Small copies of a picture for a screen: as read (RGBA, its transparent
// pixels see-through) and with its colours reduced (RGBA, opaque), top row
// first. They are sampled with the sharp filter from views of the rows, so
// the picture itself is neither copied nor changed, and may even arrive a
// block of rows at a time.

#include "outcome.h"
#include "pixel_rows.h"

#include <cstdint>
#include <vector>

class ShownPictures {
  public:
    // Sizes them for a width × height picture: as it is, or within
    // maxWidth × maxHeight keeping its proportions.
    Outcome start(std::uint32_t width, std::uint32_t height, std::uint32_t maxWidth,
                  std::uint32_t maxHeight);

    // The picture's red, green, blue rows: all of them, or a block of them
    // whose first row is `top` (counted from the top).
    void sampleColors(const PixelRows &rows, std::uint32_t top = 0);

    // One byte a pixel for all rows: 1 for each transparent pixel, and the
    // reduced colours (without them, each pixel's packColor is shown).
    Outcome sampleTransparency(const PixelRows &marks);
    Outcome sampleReducedColors(const PixelRows &values);

    // Puts both pictures together from what was sampled.
    Outcome finish();

    std::uint32_t columns() const {
        return image_.empty() ? 0 : rgb_.columns;
    }
    std::uint32_t rows() const {
        return image_.empty() ? 0 : rgb_.rows;
    }
    const std::vector<std::uint8_t> &image() const {
        return image_;
    }
    const std::vector<std::uint8_t> &preview() const {
        return preview_;
    }

  private:
    Outcome samplePlane(const PixelRows &plane, std::vector<std::uint8_t> &target);

    std::uint32_t pictureRows_ = 0;
    std::vector<std::uint8_t> rgbBytes_;
    PixelTarget rgb_;
    std::vector<std::uint8_t> transparent_;
    std::vector<std::uint8_t> values_;
    std::vector<std::uint8_t> image_;
    std::vector<std::uint8_t> preview_;
};
