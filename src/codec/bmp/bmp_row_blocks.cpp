#include "bmp/bmp_row_blocks.h"

#include "data_writer.h"
#include "memory.h"

#include <algorithm>
#include <vector>

namespace {

Outcome writeBlocks(const BmpLayout &layout, const ReadBytes &read, const std::string &name,
                    std::ostream &out, const SeeRows &see, std::uint64_t blockBytes) {
    const std::uint64_t blockRows = std::min<std::uint64_t>(
        layout.rows, std::max<std::uint64_t>(1, blockBytes / layout.rowStride));
    const std::size_t rowBytes = std::size_t{layout.columns} * 3;
    std::vector<std::uint8_t> stored;
    std::vector<std::uint8_t> rgb;
    Outcome found = allocate(stored, {blockRows, layout.rowStride});
    if (found.ok()) {
        found = allocate(rgb, {blockRows, rowBytes});
    }
    for (std::uint64_t top = 0; found.ok() && top < layout.rows; top += blockRows) {
        const std::uint64_t count = std::min(blockRows, layout.rows - top);
        const std::uint64_t fileFirst = layout.topDown ? top : layout.rows - top - count;
        if (!read(layout.pixelOffset + fileFirst * layout.rowStride,
                  static_cast<std::size_t>(count * layout.rowStride), stored.data())) {
            return fail(Failure::cannotRead, name);
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t fromTop = layout.topDown ? i : count - 1 - i;
            if (!decodeRow(layout, stored.data() + i * layout.rowStride,
                           rgb.data() + fromTop * rowBytes, nullptr)) {
                return fail(Failure::badPixels, "colour index beyond the palette");
            }
        }
        const PixelRows rows =
            PixelRows::topDown(rgb.data(), layout.columns, static_cast<std::uint32_t>(count), 3);
        see(rows, static_cast<std::uint32_t>(top));
        found = writePixelRows(out, layout.columns, rows.rows,
                               [&rows](std::size_t row) { return rows.row(row); });
    }
    return found;
}

} // namespace

Outcome writeDataByRowBlocks(const BmpLayout &layout, const ReadBytes &read,
                             const std::string &name, std::ostream &out, const SeeRows &see,
                             std::uint64_t blockBytes) {
    return guarded([&] { return writeBlocks(layout, read, name, out, see, blockBytes); });
}
