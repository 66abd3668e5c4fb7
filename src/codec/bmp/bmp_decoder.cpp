#include "bmp/bmp_decoder.h"

#include "bmp/bmp_rle.h"
#include "memory.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

std::int32_t width = 0;
std::int32_t height = 0;
std::unique_ptr<std::uint8_t[]> texels;
std::unique_ptr<std::uint8_t[]> transparency;

void clearImage() {
    width = 0;
    height = 0;
    texels.reset();
    transparency.reset();
}

namespace {

// The stream's size; nothing where it cannot be told.
std::optional<std::uint64_t> streamSize(std::istream &in) {
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    if (end < 0 || !in) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(end);
}

bool readExactly(std::istream &in, std::uint8_t *buffer, std::uint64_t count) {
    in.read(reinterpret_cast<char *>(buffer), static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
}

// Pixel rows are read in blocks of about this many bytes (or one row, if a
// row is longer): few reads, and a buffer far smaller than the picture.
constexpr std::uint64_t readBlockBytes = std::uint64_t{1} << 16U;

// Rows are stored bottom-up whatever the file's order, so the writer needs
// only one way to find the top row.
Outcome readPixelRows(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels,
                      std::uint8_t *transparent) {
    const std::uint64_t rowBytes = std::uint64_t{layout.columns} * 3;
    if (rowBytes == 0 || layout.rows == 0) {
        // No pixel bytes to read: neither loop over empty rows nor allocate
        // a buffer for rows that are not there.
        return {};
    }
    const std::uint64_t blockRows = std::min<std::uint64_t>(
        layout.rows, std::max<std::uint64_t>(1, readBlockBytes / layout.rowStride));
    std::unique_ptr<std::uint8_t[]> block;
    // Within the file's size, which was checked against the rows it holds.
    Outcome found = allocate(block, {blockRows, layout.rowStride});
    if (!found.ok()) {
        return found;
    }
    in.seekg(static_cast<std::streamoff>(layout.pixelOffset));
    for (std::uint64_t first = 0; first < layout.rows; first += blockRows) {
        const std::uint64_t count = std::min(blockRows, layout.rows - first);
        if (!readExactly(in, block.get(), count * layout.rowStride)) {
            return fail(Failure::truncated);
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t fileRow = first + i;
            const std::uint64_t storedRow = layout.topDown ? layout.rows - 1 - fileRow : fileRow;
            std::uint8_t *clear =
                transparent == nullptr ? nullptr : transparent + storedRow * layout.columns;
            if (!decodeRow(layout, block.get() + i * layout.rowStride,
                           pixels + storedRow * rowBytes, clear)) {
                return fail(Failure::badPixels, "colour index beyond the palette");
            }
        }
    }
    return {};
}

Outcome decodePixels(std::istream &in, const BmpLayout &layout, std::uint8_t *pixels,
                     std::uint8_t *transparent) {
    if (layout.encoding == BmpEncoding::uncompressed) {
        return readPixelRows(in, layout, pixels, transparent);
    }
    in.clear();
    in.seekg(static_cast<std::streamoff>(layout.pixelOffset));
    return decodeRle(in, layout, pixels);
}

// Transparency is kept only where some pixels are transparent and some are
// not: a picture transparent all over had its alpha left unset.
void keepTransparencyIfMixed(std::unique_ptr<std::uint8_t[]> &transparent, std::size_t pixels) {
    if (!transparent) {
        return;
    }
    const std::size_t count =
        static_cast<std::size_t>(std::count(transparent.get(), transparent.get() + pixels, 1));
    if (count == 0 || count == pixels) {
        transparent.reset();
    }
}

Outcome decodeImage(std::istream &in, std::string_view name, BufferAdvice advise, AlphaUse alpha) {
    const std::optional<std::uint64_t> size = streamSize(in);
    if (!size) {
        return fail(Failure::cannotRead, std::string(name));
    }
    const std::uint64_t fileSize = *size;
    const std::size_t available =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, maxHeaderBytes));
    std::uint8_t header[maxHeaderBytes] = {};
    if (!readExactly(in, header, available)) {
        return fail(Failure::notBmp);
    }
    BmpLayout layout;
    Outcome found = parseBmpHeaders(header, available, fileSize, layout);
    if (!found.ok()) {
        return found;
    }
    std::unique_ptr<std::uint8_t[]> pixels;
    found = allocate(pixels, {layout.columns, layout.rows, 3});
    if (!found.ok()) {
        return found;
    }
    if (advise != nullptr) {
        advise(pixels.get(), std::size_t{layout.columns} * layout.rows * 3);
    }
    std::unique_ptr<std::uint8_t[]> transparent;
    if (layout.alphaMask != 0 && alpha == AlphaUse::read) {
        found = allocate(transparent, {layout.columns, layout.rows});
        if (!found.ok()) {
            return found;
        }
    }
    found = decodePixels(in, layout, pixels.get(), transparent.get());
    if (!found.ok()) {
        return found;
    }
    keepTransparencyIfMixed(transparent, std::size_t{layout.columns} * layout.rows);
    width = static_cast<std::int32_t>(layout.columns);
    height = static_cast<std::int32_t>(layout.rows);
    texels = std::move(pixels);
    transparency = std::move(transparent);
    return {};
}

// A read-only, seekable stream buffer over bytes in memory, which it does
// not copy.
class MemoryBuffer : public std::streambuf {
  public:
    MemoryBuffer(const std::uint8_t *bytes, std::size_t size) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): a get area is only read from
        char *begin = const_cast<char *>(reinterpret_cast<const char *>(bytes));
        setg(begin, begin, begin + size);
    }

  protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode /*which*/) override {
        const off_type base = direction == std::ios_base::beg   ? 0
                              : direction == std::ios_base::cur ? gptr() - eback()
                                                                : egptr() - eback();
        const off_type target = base + offset;
        if (target < 0 || target > egptr() - eback()) {
            return pos_type(off_type(-1));
        }
        setg(eback(), eback() + target, egptr());
        return pos_type(target);
    }

    pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }
};

} // namespace

Outcome decodeBmp(std::istream &in, std::string_view name, BufferAdvice advise, AlphaUse alpha) {
    clearImage();
    Outcome found = guarded([&] { return decodeImage(in, name, advise, alpha); });
    if (!found.ok()) {
        clearImage();
    }
    return found;
}

Outcome decodeBmp(const std::uint8_t *bytes, std::size_t size) {
    MemoryBuffer buffer(bytes, size);
    std::istream in(&buffer);
    return decodeBmp(in, "the picture in memory"); // whose size is always told
}

Outcome layoutForRowBlocks(const std::uint8_t *head, std::size_t available, std::uint64_t fileSize,
                           BmpLayout &layout) {
    return guarded([&] {
        Outcome found =
            parseBmpHeaders(head, std::min(available, maxHeaderBytes), fileSize, layout);
        if (found.ok() && (layout.encoding != BmpEncoding::uncompressed || layout.alphaMask != 0 ||
                           layout.columns == 0 || layout.rows == 0)) {
            found = fail(Failure::unsupported, "not decoded a block of rows at a time");
        }
        return found;
    });
}
