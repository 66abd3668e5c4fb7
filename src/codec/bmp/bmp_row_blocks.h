#pragma once

// A BMP turned into its data text a block of rows at a time while its bytes
// are read: however large the picture, no more than a block of it is held.

#include "bmp/bmp_format.h"
#include "outcome.h"
#include "pixel_rows.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

// Reads `size` bytes of the file from `offset` into `target`; false where
// the file cannot be read there (it changed, or is gone).
using ReadBytes = std::function<bool(std::uint64_t offset, std::size_t size, std::uint8_t *target)>;

// Sees each block of decoded rows (red, green, blue) as its text is
// written, with the block's first row counted from the top of the picture.
using SeeRows = std::function<void(const PixelRows &rows, std::uint32_t top)>;

// Writes what writeDataRows writes for the BMP whose layout
// layoutForRowBlocks gave, reading about `blockBytes` of rows at a time. The
// blocks are read from the picture's top down (in a bottom-up file, the last
// block first), so the text comes out in order. cannotRead where `read`
// fails (naming `name`, the file's); badPixels for a colour index beyond the palette, as decodeBmp
// says.
Outcome writeDataByRowBlocks(const BmpLayout &layout, const ReadBytes &read,
                             const std::string &name, std::ostream &out, const SeeRows &see,
                             std::uint64_t blockBytes = std::uint64_t{4} << 20U);
