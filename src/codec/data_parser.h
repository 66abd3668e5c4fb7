#pragma once

#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A data file as bmp2data writes it: the dimensions and one colour byte per
// pixel, top row first.
struct DataImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> values;
    std::size_t line = 0; // of its ".word" line
    std::string label;
    // A tile set drawn by the map after it, whose level is shown in its place.
    bool drawnByMap = false;
    bool isMap = false; // a tile map, holding the level it draws
};

// Parses the text of a data file: one or more blocks, each a line
// "LABEL: .word W, H", then ".byte " and exactly W × H decimal values from 0
// to 255, each followed by a comma. Line ends may be LF or CR LF; blank lines
// and spaces between tokens are ignored; rows may share lines or not.
//
// A tile map is a block "X_map: .word COLUMNS, ROWS, TW, TH", then ".byte "
// or ".half " and COLUMNS × ROWS tile numbers (see tiles.h), directly after
// its tile set "X_tiles", TW wide and a whole number of TH high. Its block
// holds the level the map draws (COLUMNS × TW by ROWS × TH), and the tile
// set is marked as drawn by it.
//
// A text that is not such a file gives badData, with the line (1-based)
// where the first problem was found.
Outcome parseDataBlocks(const std::string &text, std::vector<DataImage> &blocks);

// The blocks as one picture: one under another, left-aligned, as wide as the
// widest, the rest colour byte 0 (black). Blocks without pixels add none;
// one block is itself. badData where the picture would be absurdly large for
// the `textSize` bytes of text the blocks came from.
Outcome stackBlocks(const std::vector<DataImage> &blocks, std::size_t textSize, DataImage &stacked);

// Both: the picture a data file of any number of blocks shows.
Outcome parseData(const std::string &text, DataImage &image);
