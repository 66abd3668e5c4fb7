#pragma once

// Resizing the image state, for fitting a picture to a display. Every output
// value is an exact rational of the source values, rounded half away from
// zero, so the result is the same on every platform.

#include "outcome.h"
#include "picture.h"
#include "pixel_rows.h"

#include <array>
#include <cstddef>
#include <cstdint>

enum class ResizeFilter {
    // The source pixel under each output pixel's centre: floor((x + 0.5) ×
    // sourceWidth / width), the same for rows. For pixel art.
    sharp,
    // Shrinking: the area-weighted mean of the source pixels each output pixel
    // covers. Enlarging: bilinear between pixel centres. Per axis, per channel.
    // For photos.
    smooth,
};

constexpr std::uint32_t maxResizedSide = 8192;

// Resizes the picture to columns × rows (1 to maxResizedSide each).
// badSize if a side is out of range or the picture has no pixels;
// outOfMemory if the new picture does not fit. On failure the picture is
// unchanged. Without a picture, the image state's.
Outcome resizeImage(Picture &picture, std::uint32_t columns, std::uint32_t rows,
                    ResizeFilter filter);
Outcome resizeImage(std::uint32_t columns, std::uint32_t rows, ResizeFilter filter);

// The sharp filter from a picture `pictureRows` high into `target` (of the
// same channels), where `source` holds the picture's rows from `top` down,
// all of them or a block as it arrives: the target rows whose source row is
// in the block are written, the others left alone. Allocates nothing.
void sampleSharp(const PixelRows &source, std::uint32_t top, std::uint32_t pictureRows,
                 const PixelTarget &target);

// The largest size within columns × rows that keeps a width × height
// picture's proportions (each side at least 1).
std::array<std::uint32_t, 2> sizeInside(std::uint32_t width, std::uint32_t height,
                                        std::uint32_t columns, std::uint32_t rows);

// How a picture is brought to a display size.
enum class FitMode {
    original,    // not at all
    fitInside,   // the largest size within it that keeps the proportions
    fillAndCrop, // the middle part with its proportions, covering it whole
    stretch,     // exactly that size
};

// Fits the picture (without one, the image state) to columns × rows as
// `fit` says, with `filter`.
Outcome fitImage(Picture &picture, std::uint32_t columns, std::uint32_t rows, FitMode fit,
                 ResizeFilter filter);
Outcome fitImage(std::uint32_t columns, std::uint32_t rows, FitMode fit, ResizeFilter filter);
