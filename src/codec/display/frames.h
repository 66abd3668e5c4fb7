#pragma once

// A sprite sheet cut into frames: a grid of frames of one size after a
// margin (at the top and the left), with spacing between them. Frame (c, r)
// starts at x = margin + c × (frameWidth + spacing) and y = margin + r ×
// (frameHeight + spacing), y counted from the top; its number is
// r × columns + c.

#include "display/fitting.h"
#include "outcome.h"
#include "picture.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The choices as typed in their boxes; a blank box is an empty one.
struct FrameChoices {
    std::string frameWidth;
    std::string frameHeight;
    std::string margin;
    std::string spacing;
    bool skipEmpty = false;

    // Whether the picture is to be cut at all.
    bool wanted() const;
};

constexpr std::uint64_t maxFrames = 65536;

struct FrameGrid {
    std::uint32_t frameWidth = 0;
    std::uint32_t frameHeight = 0;
    std::uint32_t margin = 0;
    std::uint32_t spacing = 0;
    std::uint32_t columns = 0; // frames across
    std::uint32_t rows = 0;    // and down
    // Pixel columns and rows of the picture that no frame takes.
    std::uint32_t leftoverColumns = 0;
    std::uint32_t leftoverRows = 0;
};

// Checks the choices for a width × height picture and lays the grid out.
// badFrames, quoting what was typed and naming what is allowed, where a
// frame box is empty and the other not, a frame side is not a whole number
// from 1 to the picture less the margin, the margin or spacing is not a
// whole number, or there would be more than maxFrames frames.
Outcome layOutFrames(const FrameChoices &choices, std::uint32_t width, std::uint32_t height,
                     FrameGrid &grid);

struct FrameCounts {
    std::uint32_t written = 0;
    std::uint32_t skipped = 0;
    std::vector<std::uint32_t> skippedNumbers; // in order
    // Opaque pixels whose colour byte is the key colour, where one is chosen.
    std::uint64_t opaqueKey = 0;
};

// Called before each frame's rows with its number and size (after fitting),
// to write the frame's label line.
using StartFrame =
    std::function<Outcome(std::uint32_t number, std::uint32_t width, std::uint32_t height)>;

// Cuts `sheet` along `grid` and writes each frame's rows, fitted and reduced
// as chosen, in number order: what writeDataRows writes for that frame as a
// picture of its own, after `start`. Each frame is a picture of its own;
// the sheet is left as it is. With `skipEmpty`, a frame is left out whose
// pixels are all transparent, or whose colour bytes are all the key colour,
// when one is chosen. Where `sheetColors` has pixels (one
// byte each, the sheet's size), each frame's colour bytes are drawn into its
// cell there, sampled sharp where the frame was fitted to another size:
// what the text holds, laid out as the sheet is.
Outcome writeFrames(const Picture &sheet, const FrameGrid &grid, const Fitting &fitting,
                    bool skipEmpty, std::ostream &out, const StartFrame &start, FrameCounts &counts,
                    const PixelTarget &sheetColors = {});
