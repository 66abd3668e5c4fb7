#include "display/tiles.h"

#include "data_writer.h"
#include "memory.h"
#include "typed_numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace {

Outcome badTiles(const std::string &what) {
    return fail(Failure::badTiles, what);
}

Outcome layOut(const TileChoices &choices, std::uint32_t width, std::uint32_t height,
               TileMap &map) {
    if (blank(choices.tileWidth) || blank(choices.tileHeight)) {
        return badTiles("give both the tile width and the tile height, or neither");
    }
    TileMap laid;
    for (const auto &[typed, side, name, value] :
         {std::tuple{&choices.tileWidth, width, "tile width", &laid.tileWidth},
          std::tuple{&choices.tileHeight, height, "tile height", &laid.tileHeight}}) {
        const std::optional<std::uint64_t> found = wholeNumber(*typed, side);
        if (!found || *found == 0) {
            return badTiles(std::string(name) + " " + typedAsShown(*typed) +
                            " must be a whole number from 1 to " +
                            std::to_string(std::max<std::uint32_t>(side, 1)) + " (the picture's " +
                            (side == width ? "width)" : "height)"));
        }
        *value = static_cast<std::uint32_t>(*found); // at most a side of the picture
    }
    laid.columns = width / laid.tileWidth;
    laid.rows = height / laid.tileHeight;
    laid.leftoverColumns = width % laid.tileWidth;
    laid.leftoverRows = height % laid.tileHeight;
    laid.mirrored = choices.mirrored;
    map = std::move(laid);
    return {};
}

// A tile's bytes as one of its four mirrors: 0 as it is, 1 left to right,
// 2 upside down, 3 both.
void mirrorTile(const std::uint8_t *tile, std::uint32_t columns, std::uint32_t rows, int mirror,
                std::uint8_t *into) {
    for (std::uint32_t y = 0; y < rows; ++y) {
        const std::size_t fromRow = (mirror & 2) != 0 ? rows - 1 - y : y;
        const std::uint8_t *from = tile + fromRow * columns;
        std::uint8_t *to = into + static_cast<std::size_t>(y) * columns;
        if ((mirror & 1) != 0) {
            std::reverse_copy(from, from + columns, to);
        } else {
            std::memcpy(to, from, columns);
        }
    }
}

std::uint64_t hashOf(const std::uint8_t *bytes, std::size_t size) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ size;
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + at, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32U;
    }
    for (; at < size; ++at) {
        hash = (hash ^ bytes[at]) * 0x100000001B3ULL;
    }
    return hash ^ (hash >> 29U);
}

// The distinct tiles kept so far, found by their bytes' hash.
class KeptTiles {
  public:
    KeptTiles(std::vector<std::uint8_t> &tiles, std::size_t tileBytes)
        : tiles_(tiles), tileBytes_(tileBytes) {}

    std::optional<std::uint32_t> find(const std::uint8_t *tile) const {
        const auto [first, last] = byHash_.equal_range(hashOf(tile, tileBytes_));
        for (auto it = first; it != last; ++it) { // kept tiles differ: one matches at most
            if (std::memcmp(tiles_.data() + std::size_t{it->second} * tileBytes_, tile,
                            tileBytes_) == 0) {
                return it->second;
            }
        }
        return std::nullopt;
    }

    std::uint32_t keep(const std::uint8_t *tile) {
        const auto number = static_cast<std::uint32_t>(byHash_.size());
        tiles_.insert(tiles_.end(), tile, tile + tileBytes_);
        byHash_.emplace(hashOf(tile, tileBytes_), number);
        return number;
    }

    std::uint32_t count() const {
        return static_cast<std::uint32_t>(byHash_.size());
    }

  private:
    std::vector<std::uint8_t> &tiles_;
    std::size_t tileBytes_;
    std::unordered_multimap<std::uint64_t, std::uint32_t> byHash_;
};

constexpr std::array<std::uint32_t, 4> mirrorBits{0, mirroredLeftRight, mirroredUpsideDown,
                                                  mirroredLeftRight | mirroredUpsideDown};

// Copies the tile at (column, row) of a picture `width` bytes a row into
// `tile`; pasteTile puts it back there.
void copyTile(const TileMap &map, std::uint32_t column, std::uint32_t row, std::size_t width,
              const std::uint8_t *picture, std::uint8_t *tile) {
    const std::size_t corner = (static_cast<std::size_t>(row) * map.tileHeight) * width +
                               static_cast<std::size_t>(column) * map.tileWidth;
    for (std::uint32_t y = 0; y < map.tileHeight; ++y) {
        std::memcpy(tile + static_cast<std::size_t>(y) * map.tileWidth,
                    picture + corner + y * width, map.tileWidth);
    }
}

void pasteTile(const TileMap &map, std::uint32_t column, std::uint32_t row, std::size_t width,
               const std::uint8_t *tile, std::uint8_t *picture) {
    const std::size_t corner = (static_cast<std::size_t>(row) * map.tileHeight) * width +
                               static_cast<std::size_t>(column) * map.tileWidth;
    for (std::uint32_t y = 0; y < map.tileHeight; ++y) {
        std::memcpy(picture + corner + y * width,
                    tile + static_cast<std::size_t>(y) * map.tileWidth, map.tileWidth);
    }
}

// A tile's entry among the kept tiles: the kept tile of the lowest number
// wins, and of its matches the first mirror tried. Nothing where none
// matches.
std::optional<std::uint32_t> entryOf(const KeptTiles &kept, const TileMap &map,
                                     const std::vector<std::uint8_t> &tile,
                                     std::vector<std::uint8_t> &mirror) {
    std::optional<std::uint32_t> entry;
    std::uint32_t number = std::numeric_limits<std::uint32_t>::max();
    for (int each = 0; each < (map.mirrored ? 4 : 1); ++each) {
        if (each > 0) {
            mirrorTile(tile.data(), map.tileWidth, map.tileHeight, each, mirror.data());
        }
        const std::optional<std::uint32_t> match =
            kept.find(each == 0 ? tile.data() : mirror.data());
        if (match && *match < number) {
            number = *match;
            entry = *match | mirrorBits[static_cast<std::size_t>(each)];
        }
    }
    return entry;
}

Outcome collect(const std::vector<std::uint8_t> &bytes, std::uint32_t width, TileMap &map) {
    const std::size_t tileBytes = std::size_t{map.tileWidth} * map.tileHeight;
    Outcome found = allocate(map.entries, {map.columns, map.rows});
    if (!found.ok()) {
        return found;
    }
    map.tiles.clear();
    KeptTiles kept(map.tiles, tileBytes);
    std::vector<std::uint8_t> tile(tileBytes);
    std::vector<std::uint8_t> mirror(tileBytes);
    const std::uint32_t most = map.mirrored ? maxMirroredTiles : maxTiles;
    std::size_t at = 0;
    for (std::uint32_t row = 0; row < map.rows; ++row) {
        for (std::uint32_t column = 0; column < map.columns; ++column) {
            copyTile(map, column, row, width, bytes.data(), tile.data());
            const std::optional<std::uint32_t> entry = entryOf(kept, map, tile, mirror);
            map.entries[at++] = entry ? *entry : kept.keep(tile.data());
            // Past what a map can number, no more tiles are kept: memory
            // stays bounded whatever the picture.
            if (kept.count() > most) {
                return badTiles("more than " + std::to_string(most) +
                                " distinct tiles, the most a " +
                                (map.mirrored ? "map with mirrored tiles" : "map") + " can number");
            }
        }
    }
    return {};
}

// The map's rows: each entry and a comma, a line a row, then the text's end.
void writeMapRows(std::ostream &out, const TileMap &map) {
    std::string line;
    std::array<char, 16> number{};
    std::size_t at = 0;
    for (std::uint32_t row = 0; row < map.rows; ++row) {
        line.clear();
        for (std::uint32_t column = 0; column < map.columns; ++column) {
            const std::uint32_t entry = map.entries[at++];
            auto *const end =
                std::to_chars(number.data(), number.data() + number.size(), entry).ptr;
            line.append(number.data(), end);
            line += ',';
        }
        line += '\n';
        out << line;
    }
    writeDataEnd(out);
}

Outcome draw(const TileMap &map, std::vector<std::uint8_t> &level) {
    const std::size_t levelWidth = std::size_t{map.columns} * map.tileWidth;
    Outcome found = allocate(level, {levelWidth, map.rows, map.tileHeight});
    if (!found.ok()) {
        return found;
    }
    const std::size_t tileBytes = std::size_t{map.tileWidth} * map.tileHeight;
    const std::uint32_t count = map.distinct();
    const bool bits = entriesHaveMirrorBits(map);
    std::vector<std::uint8_t> mirror(tileBytes);
    std::size_t at = 0;
    for (std::uint32_t row = 0; row < map.rows; ++row) {
        for (std::uint32_t column = 0; column < map.columns; ++column) {
            const std::uint32_t entry = map.entries[at++];
            const std::uint32_t number = bits ? entry % maxMirroredTiles : entry;
            if (number >= count) {
                return badTiles("tile " + std::to_string(number) + " of " + std::to_string(count));
            }
            const std::uint8_t *tile = map.tiles.data() + number * tileBytes;
            const int mirrored = !bits ? 0
                                       : ((entry & mirroredLeftRight) != 0 ? 1 : 0) |
                                             ((entry & mirroredUpsideDown) != 0 ? 2 : 0);
            if (mirrored != 0) {
                mirrorTile(tile, map.tileWidth, map.tileHeight, mirrored, mirror.data());
                tile = mirror.data();
            }
            pasteTile(map, column, row, levelWidth, tile, level.data());
        }
    }
    return {};
}

} // namespace

Outcome drawTileMap(const TileMap &map, std::vector<std::uint8_t> &level) {
    return guarded([&] { return draw(map, level); });
}

bool entriesHaveMirrorBits(const TileMap &map) {
    return map.wide() && map.distinct() <= maxMirroredTiles;
}

bool TileChoices::wanted() const {
    return !blank(tileWidth) || !blank(tileHeight);
}

std::uint32_t TileMap::distinct() const {
    const std::size_t tileBytes = std::size_t{tileWidth} * tileHeight;
    return tileBytes == 0 ? 0 : static_cast<std::uint32_t>(tiles.size() / tileBytes);
}

TileFacts factsOf(const TileMap &map, const TileTextStarts &starts) {
    return {map.tileWidth,    map.tileHeight, map.columns,  map.rows,   map.leftoverColumns,
            map.leftoverRows, map.distinct(), map.mirrored, map.wide(), starts};
}

Outcome layOutTiles(const TileChoices &choices, std::uint32_t width, std::uint32_t height,
                    TileMap &map) {
    return guarded([&] { return layOut(choices, width, height, map); });
}

Outcome collectTiles(const std::vector<std::uint8_t> &bytes, std::uint32_t width, TileMap &map) {
    return guarded([&] { return collect(bytes, width, map); });
}

std::string tileSetHeader(const std::string &label, const TileFacts &facts) {
    const std::uint64_t height = std::uint64_t{facts.tileHeight} * facts.distinct;
    return label + "_tiles: .word " + std::to_string(facts.tileWidth) + ", " +
           std::to_string(height) + "\n.byte ";
}

std::string tileMapHeader(const std::string &label, const TileFacts &facts) {
    return label + "_map: .word " + std::to_string(facts.columns) + ", " +
           std::to_string(facts.rows) + ", " + std::to_string(facts.tileWidth) + ", " +
           std::to_string(facts.tileHeight) + (facts.wide ? "\n.half " : "\n.byte ");
}

Outcome writeTileText(std::ostream &out, const TileMap &map, const std::string &label,
                      const std::function<std::uint64_t()> &written, TileTextStarts &starts) {
    return guarded([&] {
        if (!label.empty()) {
            out << tileSetHeader(label, factsOf(map, {}));
        }
        starts.tilesRows = written();
        Outcome found = writeValueRows(out, map.tiles, map.tileWidth,
                                       std::size_t{map.tileHeight} * map.distinct());
        if (!found.ok()) {
            return found;
        }
        starts.mapLine = written();
        if (!label.empty()) {
            out << tileMapHeader(label, factsOf(map, {}));
        }
        starts.mapRows = written();
        writeMapRows(out, map);
        return Outcome{};
    });
}
