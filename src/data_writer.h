#pragma once

#include "outcome.h"

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// The colour byte: blue level (0-3) in bits 7-6, green level (0-7) in bits
// 5-3, red level (0-7) in bits 2-0. Levels are rounded, not truncated.
std::uint8_t packColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The colour a colour byte stands for, as red, green, blue: red and green
// round(level × 255 / 7), blue level × 85. Packing it again gives the same byte.
std::array<std::uint8_t, 3> unpackColor(std::uint8_t value);

// unpackColor for every value, into `rgb` (three bytes a value).
Outcome expandColors(const std::vector<std::uint8_t> &values, std::vector<std::uint8_t> &rgb);

// Writes the data-segment text for the image state to `out`: the label line
// with the dimensions, then `.byte` and one colour byte per pixel, top row
// first. outOfMemory if the text cannot be made; errors in writing it are
// left in the stream's state, which belongs to the caller.
Outcome writeData(std::ostream &out, const std::string &label);

// The text's start, all that depends on the label: "LABEL: .word W, H\n.byte ".
Outcome dataHeader(const std::string &label, std::int64_t width, std::int64_t height,
                   std::string &header);

// The rest of the text for the image state: what writeData writes after dataHeader.
Outcome writeDataRows(std::ostream &out);

// The same rest of the text for colour bytes already made (reduceColors):
// `values` holds columns × rows of them, top row first.
Outcome writeValueRows(std::ostream &out, const std::vector<std::uint8_t> &values,
                       std::size_t columns, std::size_t rows);

// Lines of text for `rows` rows of `columns` pixels (red, green, blue bytes),
// written in the order rowAt(0), rowAt(1), …: what writeDataRows writes for
// those rows. A text made a block of rows at a time ends with writeDataEnd.
Outcome writePixelRows(std::ostream &out, std::size_t columns, std::size_t rows,
                       const std::function<const std::uint8_t *(std::size_t)> &rowAt);

// What follows the last row of the text.
void writeDataEnd(std::ostream &out);
