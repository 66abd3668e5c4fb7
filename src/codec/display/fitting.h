#pragma once

// Making a picture ready for a display: fitted to a size, then its colours
// reduced, and written as the rows of its data text.

#include "display/color_modes.h"
#include "display/resize.h"
#include "outcome.h"
#include "picture.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct Fitting {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    FitMode fit = FitMode::original;
    ResizeFilter filter = ResizeFilter::sharp;
    ColorMode colors = ColorMode::nearest;
    std::optional<std::uint8_t> key; // the colour byte of transparent pixels

    // Whether the picture is taken as it is, as the command line takes it.
    bool asItIs() const {
        return fit == FitMode::original && colors == ColorMode::nearest && !key;
    }
};

// Fits the picture as chosen and reduces its colours: `values` holds the
// reduced colours, or is left empty where each pixel's colour byte is its
// packColor.
Outcome fitAndReduce(Picture &picture, const Fitting &fitting, std::vector<std::uint8_t> &values);

// The rows of the picture's data text with those colours (what
// writeDataRows writes for it where `values` is empty).
Outcome writeReducedRows(std::ostream &out, const Picture &picture,
                         const std::vector<std::uint8_t> &values);

// Both: fits the picture as chosen and writes the rows of its data text.
Outcome writeFittedRows(std::ostream &out, Picture &picture, const Fitting &fitting,
                        std::vector<std::uint8_t> &values);

// The picture's colour bytes, top row first: `values` where there are
// reduced colours, else each pixel's packColor.
Outcome colorBytes(const Picture &picture, const std::vector<std::uint8_t> &values,
                   std::vector<std::uint8_t> &bytes);

// How many of the picture's opaque pixels have the colour byte `key` among
// its colour bytes `bytes` (top row first): a program that skips the key
// colour skips them too.
std::uint64_t opaqueWithColor(const Picture &picture, const std::vector<std::uint8_t> &bytes,
                              std::uint8_t key);
