#include "bmp_reader.h"

#include "file_stream.h"
#include "messages.h"
#include "platform.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <new>
#include <utility>

std::int32_t width = 0;
std::int32_t height = 0;
std::unique_ptr<std::uint8_t[]> texels;

namespace {

constexpr std::uint64_t fileHeaderSize = 14;
constexpr std::uint64_t minInfoHeaderSize = 40;
constexpr std::uint64_t headersSize = fileHeaderSize + minInfoHeaderSize;

// Offsets of the header fields the reader uses; all are little-endian.
constexpr std::size_t pixelOffsetField = 10;  // 4 bytes: where the pixel rows begin
constexpr std::size_t infoSizeField = 14;     // 4 bytes: size of the information header
constexpr std::size_t widthField = 18;        // 4 bytes, signed
constexpr std::size_t heightField = 22;       // 4 bytes, signed; negative for top-down rows
constexpr std::size_t bitsPerPixelField = 28; // 2 bytes
constexpr std::size_t compressionField = 30;  // 4 bytes: 0 for none

std::uint32_t le16(const unsigned char *p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8U;
}

std::uint32_t le32(const unsigned char *p) {
    return le16(p) | le16(p + 2) << 16U;
}

std::int32_t asSigned(std::uint32_t value) {
    // Two's complement reinterpretation without implementation-defined casts.
    if (value <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        return static_cast<std::int32_t>(value);
    }
    return static_cast<std::int32_t>(value - 0x80000000U) +
           std::numeric_limits<std::int32_t>::min();
}

struct BmpLayout {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    bool topDown = false;
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowStride = 0;
};

BmpStatus parseHeaders(const unsigned char *header, std::uint64_t fileSize, BmpLayout &layout) {
    if (fileSize < headersSize || header[0] != 'B' || header[1] != 'M') {
        return BmpStatus::notBmp;
    }
    const std::uint64_t infoSize = le32(header + infoSizeField);
    const std::uint32_t bitsPerPixel = le16(header + bitsPerPixelField);
    const std::uint32_t compression = le32(header + compressionField);
    if (infoSize < minInfoHeaderSize || bitsPerPixel != 24 || compression != 0) {
        return BmpStatus::unsupported;
    }
    const std::int32_t fileWidth = asSigned(le32(header + widthField));
    const std::int32_t fileHeight = asSigned(le32(header + heightField));
    layout.pixelOffset = le32(header + pixelOffsetField);
    if (fileWidth < 0 || fileHeight == std::numeric_limits<std::int32_t>::min() ||
        layout.pixelOffset < fileHeaderSize + infoSize) {
        return BmpStatus::badHeader;
    }
    layout.columns = static_cast<std::uint32_t>(fileWidth);
    layout.topDown = fileHeight < 0;
    layout.rows = static_cast<std::uint32_t>(layout.topDown ? -fileHeight : fileHeight);
    // Each row is padded to a multiple of four bytes. 64-bit arithmetic keeps
    // every size below exact: stride < 2^33 and rows < 2^31.
    layout.rowStride = (std::uint64_t{layout.columns} * 3 + 3) & ~std::uint64_t{3};
    if (fileSize < layout.pixelOffset ||
        fileSize - layout.pixelOffset < layout.rowStride * layout.rows) {
        return BmpStatus::truncated;
    }
    return BmpStatus::ok;
}

std::uint64_t streamSize(std::istream &in) {
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

bool readExactly(std::istream &in, unsigned char *buffer, std::uint64_t count) {
    in.read(reinterpret_cast<char *>(buffer), static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
}

// Whether a buffer of `bytes` can be asked for at all: on a 32-bit system
// sizes past 2 GiB would wrap when converted to size_t.
bool fitsInMemory(std::uint64_t bytes) {
    return bytes <= static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
}

// Pixel rows are read in blocks of about this many bytes (or one row, if a
// row is longer): few reads, and a buffer far smaller than the picture.
constexpr std::uint64_t readBlockBytes = std::uint64_t{1} << 16U;

// Copies one row into the image state, turning the file's blue, green, red
// into red, green, blue.
void copyRow(const unsigned char *source, std::uint8_t *target, std::size_t bytes) {
    for (std::size_t p = 0; p < bytes; p += 3) {
        target[p] = source[p + 2];
        target[p + 1] = source[p + 1];
        target[p + 2] = source[p];
    }
}

// Rows are stored bottom-up whatever the file's order, so the writer needs
// only one way to find the top row.
BmpStatus readPixelRows(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels) {
    const std::uint64_t rowBytes = std::uint64_t{layout.columns} * 3;
    if (rowBytes == 0 || layout.rows == 0) {
        // No pixel bytes to read: neither loop over empty rows nor allocate
        // a buffer for rows that are not there.
        return BmpStatus::ok;
    }
    const std::uint64_t blockRows = std::min<std::uint64_t>(
        layout.rows, std::max<std::uint64_t>(1, readBlockBytes / layout.rowStride));
    // Within the file's size, which was checked against the rows it holds.
    const std::uint64_t blockBytes = blockRows * layout.rowStride;
    if (!fitsInMemory(blockBytes)) {
        return BmpStatus::outOfMemory;
    }
    std::unique_ptr<unsigned char[]> block(
        new (std::nothrow) unsigned char[static_cast<std::size_t>(blockBytes)]);
    if (!block) {
        return BmpStatus::outOfMemory;
    }
    in.seekg(static_cast<std::streamoff>(layout.pixelOffset));
    for (std::uint64_t first = 0; first < layout.rows; first += blockRows) {
        const std::uint64_t count = std::min(blockRows, layout.rows - first);
        if (!readExactly(in, block.get(), count * layout.rowStride)) {
            return BmpStatus::truncated;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t fileRow = first + i;
            const std::uint64_t storedRow = layout.topDown ? layout.rows - 1 - fileRow : fileRow;
            copyRow(block.get() + i * layout.rowStride, pixels + storedRow * rowBytes,
                    static_cast<std::size_t>(rowBytes));
        }
    }
    return BmpStatus::ok;
}

void clearImage() {
    width = 0;
    height = 0;
    texels.reset();
}

} // namespace

const char *bmpStatusMessage(BmpStatus status) {
    switch (status) {
    case BmpStatus::ok:
        return "";
    case BmpStatus::notBmp:
        return "Error: not a BMP file";
    case BmpStatus::unsupported:
        return "Error: unsupported BMP format (only 24 bits per pixel, uncompressed)";
    case BmpStatus::badHeader:
        return "Error: bad BMP header";
    case BmpStatus::truncated:
        return "Error: truncated BMP file";
    case BmpStatus::outOfMemory:
        return "Error: Malloc failed";
    }
    return "Error: unknown failure";
}

BmpStatus decodeBmp(std::istream &in) {
    clearImage();
    const std::uint64_t fileSize = streamSize(in);
    unsigned char header[headersSize] = {};
    if (fileSize >= headersSize && !readExactly(in, header, headersSize)) {
        return BmpStatus::notBmp;
    }
    BmpLayout layout;
    const BmpStatus status = parseHeaders(header, fileSize, layout);
    if (status != BmpStatus::ok) {
        return status;
    }
    const std::uint64_t byteCount = std::uint64_t{layout.columns} * layout.rows * 3;
    if (!fitsInMemory(byteCount)) {
        return BmpStatus::outOfMemory;
    }
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow)
                                               std::uint8_t[static_cast<std::size_t>(byteCount)]);
    if (!pixels) {
        return BmpStatus::outOfMemory;
    }
    adviseHugePages(pixels.get(), static_cast<std::size_t>(byteCount));
    const BmpStatus rowStatus = readPixelRows(in, layout, pixels.get());
    if (rowStatus != BmpStatus::ok) {
        return rowStatus;
    }
    width = static_cast<std::int32_t>(layout.columns);
    height = static_cast<std::int32_t>(layout.rows);
    texels = std::move(pixels);
    return BmpStatus::ok;
}

bool readBmp(const char *fileName) {
    clearImage();
    FileHandle file;
    if (!openInputFile(fileName, file)) {
        return false;
    }
    InputFileBuffer buffer(file);
    std::istream in(&buffer);
    const BmpStatus status = decodeBmp(in);
    if (status != BmpStatus::ok) {
        clearImage();
        std::cout << bmpStatusMessage(status) << '\n';
        return false;
    }
    return true;
}
