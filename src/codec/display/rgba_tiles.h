#pragma once

// Pictures that something else decoded (a browser, say) arrive as tiles of
// four bytes a pixel and are stored into the image state, as the BMP decoder
// would store them.

#include "outcome.h"

#include <cstdint>

// The order of a tile's four bytes; in the X layouts the fourth is not alpha.
enum class RgbaLayout { rgba, bgra, rgbx, bgrx };

// Whether a tile's colours are as stored, or multiplied by their alpha (and
// divided by 255, rounded to the nearest or up), as some decoders give them:
// those are divided by it again, to the middle of the colours that give the
// same product, which brings a colour back to within one of the stored one
// at alpha 128 and above (below, the product kept too few of its values).
enum class AlphaForm { straight, premultiplied, premultipliedUp };

// Empties the image state and makes room in it for a columns × rows picture.
Outcome startTiledPicture(std::uint32_t columns, std::uint32_t rows);

// A tile of columns × rows pixels whose top left pixel is at (left, top),
// rows top first; alpha 0 is transparent and any other value opaque.
// `partlyTransparent` becomes true if any alpha is below 255. badSize if the
// tile does not lie inside the picture.
Outcome putTile(const std::uint8_t *tile, std::uint32_t left, std::uint32_t top,
                std::uint32_t columns, std::uint32_t rows, RgbaLayout layout, AlphaForm form,
                bool &partlyTransparent);
