#pragma once

// A level cut into tiles: each distinct tile kept once, in the order it
// first appears, and a map of tile numbers, left to right and top to bottom.
// Tiles are cut from the top-left corner; pixel columns and rows left over
// at the right and the bottom are left out.

#include "outcome.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// The choices as typed in their boxes; a blank box is an empty one.
struct TileChoices {
    std::string tileWidth;
    std::string tileHeight;
    bool mirrored = false; // a tile mirrored counts as the same tile

    // Whether the picture is to be cut into tiles at all.
    bool wanted() const;
};

// A map entry's mirror bits, in a map of half-words: the tile is drawn
// mirrored left to right, upside down, or both. The tile number is below.
constexpr std::uint32_t mirroredLeftRight = 0x8000;
constexpr std::uint32_t mirroredUpsideDown = 0x4000;

constexpr std::uint32_t maxTiles = 65536;
constexpr std::uint32_t maxMirroredTiles = 16384; // the number below the mirror bits
constexpr std::uint32_t maxByteTiles = 256;       // a map of bytes

struct TileMap {
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;
    std::uint32_t columns = 0; // tiles across
    std::uint32_t rows = 0;    // and down
    std::uint32_t leftoverColumns = 0;
    std::uint32_t leftoverRows = 0;
    bool mirrored = false;
    std::vector<std::uint8_t> tiles;    // colour bytes of the distinct tiles, one under another
    std::vector<std::uint32_t> entries; // columns × rows, top row first

    std::uint32_t distinct() const;
    // Whether the map is written as half-words (else as bytes).
    bool wide() const {
        return mirrored || distinct() > maxByteTiles;
    }
};

// Checks the choices for a width × height picture and lays the tiles out in
// `map`: badTiles, quoting what was typed, where one box is empty and the
// other not, or a side is not a whole number from 1 to the picture's side.
Outcome layOutTiles(const TileChoices &choices, std::uint32_t width, std::uint32_t height,
                    TileMap &map);

// Cuts `bytes` (the laid-out picture's colour bytes, `width` a row, top row
// first) into the tiles and map laid out in `map`. Two tiles are the same
// where their bytes are. With mirroring, a tile is compared with the kept
// tiles in number order, as it is, mirrored left to right, upside down,
// then both; the first match is its entry. badTiles as soon as more tiles
// are distinct than its map can number.
Outcome collectTiles(const std::vector<std::uint8_t> &bytes, std::uint32_t width, TileMap &map);

// The level a map draws, `map.columns × map.tileWidth` wide, as colour
// bytes, top row first. An entry's mirror bits count where the map is of
// half-words and its tiles can have them (at most maxMirroredTiles); above
// that, an entry is a tile number alone. badTiles for an entry naming a tile
// that is not there.
Outcome drawTileMap(const TileMap &map, std::vector<std::uint8_t> &level);

// Whether a map's entries can carry mirror bits: what drawTileMap reads.
bool entriesHaveMirrorBits(const TileMap &map);

// Where each part of the tile text starts among its bytes, so that a front
// end can put another label in without converting again.
struct TileTextStarts {
    std::uint64_t tilesRows = 0; // the tile set's rows, after its label line
    std::uint64_t mapLine = 0;
    std::uint64_t mapRows = 0;
};

// What a cut made, for a front end: the map's layout and counts, without
// the tiles and the map.
struct TileFacts {
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    std::uint32_t leftoverColumns = 0;
    std::uint32_t leftoverRows = 0;
    std::uint32_t distinct = 0;
    bool mirrored = false;
    bool wide = false;
    TileTextStarts starts;
};

TileFacts factsOf(const TileMap &map, const TileTextStarts &starts);

// The two label lines: "LABEL_tiles: .word TW, TH×N\n.byte " and
// "LABEL_map: .word COLUMNS, ROWS, TW, TH\n.byte " (".half " where wide).
std::string tileSetHeader(const std::string &label, const TileFacts &facts);
std::string tileMapHeader(const std::string &label, const TileFacts &facts);

// Writes the tile set's rows, then the map's label line and rows, each
// block followed by the data text's end; with a label, the tile set's label
// line first. `written` counts the bytes written before, for `starts`.
Outcome writeTileText(std::ostream &out, const TileMap &map, const std::string &label,
                      const std::function<std::uint64_t()> &written, TileTextStarts &starts);
