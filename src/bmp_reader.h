#pragma once

#include <cstdint>
#include <istream>
#include <memory>

// The picture that readBmp loaded. `texels` holds width × height pixels as
// red, green, blue bytes, left to right, rows from the bottom of the picture
// up (the order of an ordinary BMP file); it is null until a picture is read.
extern std::int32_t width;
extern std::int32_t height;
extern std::unique_ptr<std::uint8_t[]> texels;

enum class BmpStatus {
    ok,
    notBmp,
    unsupported,
    badHeader,
    truncated,
    outOfMemory,
};

// The one-line message for a failure, without its line end.
const char *bmpStatusMessage(BmpStatus status);

// Decodes a 24-bit uncompressed BMP held in a seekable stream into the image
// state. The stream's size is checked against the header before anything is
// allocated. On failure the image state is left empty (0, 0, null).
BmpStatus decodeBmp(std::istream &in);

// Opens fileName (a regular file only) and decodes it. On failure prints the
// message on standard output and returns false.
bool readBmp(const char *fileName);
