#include "bmp_reader.h"

#include "bmp_rle.h"
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

std::uint64_t streamSize(std::istream &in) {
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

bool readExactly(std::istream &in, std::uint8_t *buffer, std::uint64_t count) {
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

BmpProblem failure(BmpStatus status, std::string reason = {}) {
    return {status, std::move(reason)};
}

// Rows are stored bottom-up whatever the file's order, so the writer needs
// only one way to find the top row.
BmpProblem readPixelRows(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels) {
    const std::uint64_t rowBytes = std::uint64_t{layout.columns} * 3;
    if (rowBytes == 0 || layout.rows == 0) {
        // No pixel bytes to read: neither loop over empty rows nor allocate
        // a buffer for rows that are not there.
        return {};
    }
    const std::uint64_t blockRows = std::min<std::uint64_t>(
        layout.rows, std::max<std::uint64_t>(1, readBlockBytes / layout.rowStride));
    // Within the file's size, which was checked against the rows it holds.
    const std::uint64_t blockBytes = blockRows * layout.rowStride;
    if (!fitsInMemory(blockBytes)) {
        return failure(BmpStatus::outOfMemory);
    }
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow)
                                              std::uint8_t[static_cast<std::size_t>(blockBytes)]);
    if (!block) {
        return failure(BmpStatus::outOfMemory);
    }
    in.seekg(static_cast<std::streamoff>(layout.pixelOffset));
    for (std::uint64_t first = 0; first < layout.rows; first += blockRows) {
        const std::uint64_t count = std::min(blockRows, layout.rows - first);
        if (!readExactly(in, block.get(), count * layout.rowStride)) {
            return failure(BmpStatus::truncated);
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t fileRow = first + i;
            const std::uint64_t storedRow = layout.topDown ? layout.rows - 1 - fileRow : fileRow;
            if (!decodeRow(layout, block.get() + i * layout.rowStride,
                           pixels + storedRow * rowBytes)) {
                return failure(BmpStatus::badPixels, "colour index beyond the palette");
            }
        }
    }
    return {};
}

void clearImage() {
    width = 0;
    height = 0;
    texels.reset();
}

} // namespace

std::string bmpMessage(BmpStatus status, const std::string &reason) {
    switch (status) {
    case BmpStatus::ok:
        return "";
    case BmpStatus::notBmp:
        return "Error: not a BMP file";
    case BmpStatus::unsupported:
        return "Error: unsupported BMP format (" + reason + ")";
    case BmpStatus::badHeader:
        return "Error: bad BMP header";
    case BmpStatus::truncated:
        return "Error: truncated BMP file";
    case BmpStatus::badPixels:
        return "Error: bad BMP pixel data (" + reason + ")";
    case BmpStatus::outOfMemory:
        return "Error: Malloc failed";
    }
    return "Error: unknown failure";
}

BmpStatus decodeBmp(std::istream &in, std::string &reason) {
    clearImage();
    reason.clear();
    const std::uint64_t fileSize = streamSize(in);
    const std::size_t available =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, maxHeaderBytes));
    std::uint8_t header[maxHeaderBytes] = {};
    if (!readExactly(in, header, available)) {
        return BmpStatus::notBmp;
    }
    BmpLayout layout;
    BmpProblem found = parseBmpHeaders(header, available, fileSize, layout);
    if (found.status != BmpStatus::ok) {
        reason = found.reason;
        return found.status;
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
    if (layout.encoding == BmpEncoding::uncompressed) {
        found = readPixelRows(in, layout, pixels.get());
    } else {
        in.clear();
        in.seekg(static_cast<std::streamoff>(layout.pixelOffset));
        found = decodeRle(in, layout, pixels.get());
    }
    if (found.status != BmpStatus::ok) {
        reason = found.reason;
        return found.status;
    }
    width = static_cast<std::int32_t>(layout.columns);
    height = static_cast<std::int32_t>(layout.rows);
    texels = std::move(pixels);
    return BmpStatus::ok;
}

BmpStatus decodeBmp(std::istream &in) {
    std::string reason;
    return decodeBmp(in, reason);
}

bool readBmp(const char *fileName) {
    clearImage();
    FileHandle file;
    if (!openInputFile(fileName, file)) {
        return false;
    }
    InputFileBuffer buffer(file);
    std::istream in(&buffer);
    std::string reason;
    const BmpStatus status = decodeBmp(in, reason);
    if (status != BmpStatus::ok) {
        clearImage();
        std::cout << bmpMessage(status, reason) << '\n';
        return false;
    }
    return true;
}
