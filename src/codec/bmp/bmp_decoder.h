#pragma once

// Decoding a BMP file's bytes into the image state. No files, no printing:
// the outcome says what happened.

#include "bmp/bmp_format.h"
#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string_view>

// The picture last decoded. `texels` holds width × height pixels as red,
// green, blue bytes, left to right, rows from the bottom of the picture up:
// the order of an ordinary BMP file, into which the rows of a top-down file
// are turned as they are read. Null until a picture is decoded.
extern std::int32_t width;
extern std::int32_t height;
extern std::unique_ptr<std::uint8_t[]> texels;
// Which pixels are transparent (alpha 0): 1 for each of them, 0 for the
// others, in the order of `texels`. Null where every pixel is opaque, and
// where every pixel's alpha is 0 (its writer left the alpha unset).
extern std::unique_ptr<std::uint8_t[]> transparency;

// Empties the image state.
void clearImage();

// Decodes a BMP held in a seekable stream into the image state: 1, 4 and 8
// bits a pixel with a palette (uncompressed, RLE8, RLE4), 16 and 32 bits
// (default layouts or bit masks) and 24 bits; rows bottom-up or top-down. The
// stream's size is checked against the headers before anything is allocated;
// a stream whose size cannot be told gives cannotRead with `name`.
// 16- and 32-bit pixels with alpha give transparency, unless `alpha` says
// to ignore it (the command line has no use for it).
// On failure the image state is left empty (0, 0, null). `advise`, if given,
// is told of the pixel buffer before it is first touched (the programs ask
// the system for huge pages there).
using BufferAdvice = void (*)(void *data, std::size_t bytes);
enum class AlphaUse { read, ignore };
Outcome decodeBmp(std::istream &in, std::string_view name, BufferAdvice advise = nullptr,
                  AlphaUse alpha = AlphaUse::read);

// Decodes a BMP file's bytes held in memory.
Outcome decodeBmp(const std::uint8_t *bytes, std::size_t size);

// The layout of a BMP file whose rows can be decoded a block at a time as
// its bytes arrive, read from its first `available` bytes: uncompressed,
// without alpha, with pixels, and every row inside the file. Any other file
// fails here, whatever its fault; decodeBmp tells which.
Outcome layoutForRowBlocks(const std::uint8_t *head, std::size_t available, std::uint64_t fileSize,
                           BmpLayout &layout);
