#pragma once

#include "bmp_format.h"

#include <cstdint>
#include <istream>
#include <memory>

// The picture that readBmp loaded. `texels` holds width × height pixels as
// red, green, blue bytes, left to right, rows from the bottom of the picture
// up (the order of an ordinary BMP file); it is null until a picture is read.
extern std::int32_t width;
extern std::int32_t height;
extern std::unique_ptr<std::uint8_t[]> texels;

// The one-line message for a failure, without its line end; `reason` is
// what decodeBmp gave with it.
std::string bmpMessage(BmpStatus status, const std::string &reason);

// Decodes a BMP held in a seekable stream into the image state: 1, 4 and 8
// bits a pixel with a palette (uncompressed, RLE8, RLE4), 16 and 32 bits
// (default layouts or bit masks) and 24 bits; rows bottom-up or top-down. The
// stream's size is checked against the headers before anything is allocated.
// On failure the image state is left empty (0, 0, null) and `reason` says,
// for some failures, what the message names in brackets.
BmpStatus decodeBmp(std::istream &in, std::string &reason);
BmpStatus decodeBmp(std::istream &in);

// Opens fileName (a regular file only) and decodes it. On failure prints the
// message on standard output and returns false.
bool readBmp(const char *fileName);
