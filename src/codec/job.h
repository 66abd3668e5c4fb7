#pragma once

// One input made ready for a display: all that the page asks of a file, in
// one value, run by one call that answers with one value. The input is read
// through a reader as it is needed, and the data text goes to a sink while
// it is written.

#include "bmp/bmp_row_blocks.h"
#include "display/frames.h"
#include "display/shown_pictures.h"
#include "display/tiles.h"
#include "outcome.h"
#include "text_sink.h"
#include "typed_numbers.h"

#include <cstdint>
#include <optional>
#include <string>

enum class InputKind {
    bmp,     // a BMP file, read through the reader
    data,    // a data text, read through the reader: its preview
    picture, // a picture already in the image state (put there in tiles)
};

struct Job {
    InputKind kind = InputKind::bmp;
    std::string name;       // the input's file name, for messages
    std::uint64_t size = 0; // the input's bytes
    TypedFitting fitting;   // the choices, numbers as typed
    FrameChoices frames;    // where the picture is cut into frames
    TileChoices tiles;      // or into tiles (not both)
    // The label of a picture cut into frames or tiles: each frame's label
    // line is LABEL_N, the tiles' LABEL_tiles and LABEL_map. Without one,
    // the rows come without label lines.
    std::string label;
    // Bounds of the pictures shown; 0 × 0 shows none.
    std::uint32_t shownWidth = 0;
    std::uint32_t shownHeight = 0;
    // Of a picture put in tiles: whether any alpha below 255 came in.
    bool partlyTransparent = false;
};

struct JobResult {
    Outcome outcome;
    // The size line, or the error line, as the programs print them; for a
    // data text of several blocks, a size line for each.
    std::string line;
    std::uint32_t width = 0; // of the picture written (after fitting), or previewed
    std::uint32_t height = 0;
    bool transparent = false; // whether any pixel is
    bool partlyTransparent = false;
    ShownPictures shown;           // as read, and with the reduced colours
    std::string file;              // a data text's preview BMP
    std::optional<FrameGrid> grid; // where the picture was cut into frames
    FrameCounts frames;
    std::optional<TileFacts> tiles; // where the picture was cut into tiles
    std::uint64_t opaqueKey = 0;    // opaque pixels of the key colour, where one is chosen
};

// A reader of bytes held in memory, which must outlive it.
ReadBytes memoryReader(const std::string &bytes);

// Runs `job`: reads the input through `read`, writes the data text after its
// first line (the only one that depends on the label) to `sink`, and
// answers what it made. On failure, only the outcome and its line are set.
// The image state is empty afterwards.
JobResult runJob(const Job &job, const ReadBytes &read, TextSink &sink);
