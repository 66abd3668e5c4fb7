// libFuzzer target: the whole conversion, reader and writer, on arbitrary bytes
// given as the .bmp file; the same file read a block of rows at a time, which
// must give the same text or the same failure; then, for pictures that were
// read, a cut into tiles, a resize and a colour reduction (with or without a
// key colour for transparent pixels) chosen by the input's last bytes.
#include "bmp/bmp_decoder.h"
#include "bmp/bmp_row_blocks.h"
#include "data_writer.h"
#include "display/color_modes.h"
#include "display/resize.h"
#include "display/tiles.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// Accepts and discards everything, so the writer's formatting runs at full speed.
class DiscardingBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override {
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char * /*text*/, std::streamsize count) override {
        return count;
    }
};

// A size of 1 to 64 a side, a filter and a colour mode from the input's last
// bytes; small pictures only, so each run stays fast.
void resizeAndReduce(const std::uint8_t *data, std::size_t size) {
    if (size < 3 || std::int64_t{width} * height > 1 << 16) {
        return;
    }
    const std::uint8_t choice = data[size - 3];
    const Outcome resized =
        resizeImage(1U + data[size - 1] % 64U, 1U + data[size - 2] % 64U,
                    choice % 2 == 0 ? ResizeFilter::sharp : ResizeFilter::smooth);
    if (resized.ok() != (width > 0 && height > 0)) {
        __builtin_trap(); // any picture with pixels can be resized to such a size
    }
    std::vector<std::uint8_t> values;
    const ColorMode mode = static_cast<ColorMode>(choice / 2 % 3);
    const std::uint8_t key = data[0];
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (!reduceColors(mode, values, choice / 6 % 2 == 0 ? std::nullopt : std::optional{key}).ok() ||
        values.size() != pixels) {
        __builtin_trap();
    }
    // Every transparent pixel has the key colour, when there is one.
    for (std::size_t i = 0; choice / 6 % 2 != 0 && transparency && i < pixels; ++i) {
        const auto columns = static_cast<std::size_t>(width);
        const std::size_t stored = (pixels / columns - 1 - i / columns) * columns + i % columns;
        if (transparency[stored] != 0 && values[i] != key) {
            __builtin_trap();
        }
    }
}

// Tiles of a size the input's bytes choose, mirrored or not: the map drawn
// again is the picture less its leftover columns and rows. Small pictures only.
void cutIntoTiles(const std::uint8_t *data, std::size_t size) {
    if (size < 5 || width <= 0 || height <= 0 || std::int64_t{width} * height > 1 << 16) {
        return;
    }
    const auto columns = static_cast<std::uint32_t>(width);
    const auto rows = static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> bytes(std::size_t{columns} * rows);
    for (std::size_t y = 0; y < rows; ++y) {
        const std::uint8_t *row = texels.get() + (rows - 1 - y) * columns * 3; // bottom-up
        for (std::size_t x = 0; x < columns; ++x) {
            bytes[y * columns + x] = packColor(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
        }
    }
    const TileChoices choices{std::to_string(1 + data[size - 4] % columns),
                              std::to_string(1 + data[size - 5] % rows),
                              (data[size - 1] & 1U) != 0};
    TileMap map;
    if (!layOutTiles(choices, columns, rows, map).ok()) {
        __builtin_trap(); // every side from 1 to the picture's is a tile side
    }
    const Outcome cut = collectTiles(bytes, columns, map);
    std::vector<std::uint8_t> level;
    if (!cut.ok() || !drawTileMap(map, level).ok()) {
        return;
    }
    const std::size_t levelWidth = std::size_t{map.columns} * map.tileWidth;
    for (std::size_t y = 0; y < std::size_t{map.rows} * map.tileHeight; ++y) {
        if (std::memcmp(&level[y * levelWidth], &bytes[y * columns], levelWidth) != 0) {
            __builtin_trap();
        }
    }
}

// Where the file can be read a block of rows at a time (blocks of a size
// the input's last byte chooses), that gives the text of the picture read
// whole, or fails as reading it whole did. Small pictures only.
void compareRowBlocks(const std::uint8_t *data, std::size_t size, const Outcome &whole) {
    BmpLayout layout;
    if (!layoutForRowBlocks(data, size, size, layout).ok() ||
        std::uint64_t{layout.columns} * layout.rows > 1U << 16U) {
        return;
    }
    std::ostringstream byRows;
    const Outcome outcome = writeDataByRowBlocks(
        layout,
        [&](std::uint64_t offset, std::size_t count, std::uint8_t *target) {
            if (offset > size || count > size - offset) {
                __builtin_trap(); // the layout promised every row inside the file
            }
            std::memcpy(target, data + offset, count);
            return true;
        },
        "fuzzed.bmp", byRows, [](const PixelRows &, std::uint32_t) {},
        1 + std::uint64_t{data[size - 1]} * 16);
    if (outcome.failure != whole.failure) {
        __builtin_trap();
    }
    if (outcome.ok()) {
        writeDataEnd(byRows);
        std::ostringstream wholeRows;
        if (!writeDataRows(wholeRows).ok() || byRows.str() != wholeRows.str()) {
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const Outcome outcome = decodeBmp(data, size);
    if (size > 0) {
        compareRowBlocks(data, size, outcome);
    }
    if (outcome.ok()) {
        DiscardingBuffer discard;
        std::ostream out(&discard);
        writeData(out, "fuzz");
        cutIntoTiles(data, size);
        resizeAndReduce(data, size);
    } else if (messageOf(outcome).rfind("Error: ", 0) != 0 || texels != nullptr) {
        __builtin_trap(); // every failure has its message and leaves no picture
    }
    return 0;
}
