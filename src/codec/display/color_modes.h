#pragma once

// Ways of reducing the image state's colours to colour bytes. `nearest` is
// the command line's: each pixel on its own (packColor). The others spread
// the rounding error, so that gradients become fine patterns instead of bands.

#include "outcome.h"
#include "picture.h"

#include <cstdint>
#include <optional>
#include <vector>

enum class ColorMode {
    nearest,
    // Before the rounding each channel value v becomes v + t × step, with
    // t = (B[y mod 8][x mod 8] + 0.5) / 64 - 0.5 from the 8 × 8 Bayer matrix
    // and step 255 / 7 (red, green) or 255 / 3 (blue); levels are clamped.
    ordered,
    // Floyd–Steinberg, rows top to bottom, left to right: each channel's
    // error against the chosen level's 8-bit value (unpackColor) goes 7/16
    // right, 3/16 below left, 5/16 below, 1/16 below right; values are
    // clamped to 0–255 before rounding.
    diffuse,
};

// The colour byte of every pixel of the picture (without one, the image
// state), top row first, left to right, into `values`. With a `key`, the transparent pixels all
// become that byte (a colour a program can skip when drawing sprites) and take no part in the
// diffusion; without one they keep their stored colour.
Outcome reduceColors(const Picture &picture, ColorMode mode, std::vector<std::uint8_t> &values,
                     std::optional<std::uint8_t> key = std::nullopt);
Outcome reduceColors(ColorMode mode, std::vector<std::uint8_t> &values,
                     std::optional<std::uint8_t> key = std::nullopt);
