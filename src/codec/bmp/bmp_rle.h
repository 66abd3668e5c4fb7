#pragma once

#include "bmp/bmp_format.h"

#include <istream>

// Decodes the RLE8 or RLE4 stream that `in` holds from its current position
// into `pixels`: columns × rows red, green, blue triples, rows bottom-up.
// Pixels that no code reaches are palette entry 0; pixels that a run, encoded
// or absolute, puts past the end of its row are dropped (not wrapped). Decoding ends at the
// end-of-bitmap code or once the last row is complete.
Outcome decodeRle(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels);
