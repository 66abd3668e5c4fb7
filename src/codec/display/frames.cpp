#include "display/frames.h"

#include "data_writer.h"
#include "memory.h"
#include "typed_numbers.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

Outcome badFrames(const std::string &what) {
    return fail(Failure::badFrames, what);
}

bool wholeBelow(const std::string &typed, std::uint64_t most, std::uint64_t &value) {
    const std::optional<std::uint64_t> found = wholeNumber(typed, most);
    value = found.value_or(0);
    return found.has_value();
}

// The grid's sides and gaps as typed, each checked; what is allowed otherwise.
Outcome readChoices(const FrameChoices &choices, std::uint32_t width, std::uint32_t height,
                    FrameGrid &laid) {
    if (blank(choices.frameWidth) || blank(choices.frameHeight)) {
        return badFrames("give both the frame width and the frame height, or neither");
    }
    constexpr std::uint64_t mostGap = 1000000000;
    std::uint64_t margin = 0;
    std::uint64_t spacing = 0;
    for (const auto &[typed, name, value] : {std::tuple{&choices.margin, "margin", &margin},
                                             std::tuple{&choices.spacing, "spacing", &spacing}}) {
        if (!blank(*typed) && !wholeBelow(*typed, mostGap, *value)) {
            return badFrames(std::string(name) + " " + typedAsShown(*typed) +
                             " must be a whole number, 0 or more");
        }
    }
    std::uint64_t frameWidth = 0;
    std::uint64_t frameHeight = 0;
    for (const auto &[typed, side, name, value] :
         {std::tuple{&choices.frameWidth, width, "frame width", &frameWidth},
          std::tuple{&choices.frameHeight, height, "frame height", &frameHeight}}) {
        const std::uint64_t most = side > margin ? side - margin : 0;
        if (!wholeBelow(*typed, most, *value) || *value == 0) {
            return badFrames(std::string(name) + " " + typedAsShown(*typed) +
                             " must be a whole number from 1 to " +
                             std::to_string(std::max<std::uint64_t>(most, 1)) +
                             " (the picture less the margin)");
        }
    }
    // Each is below a side of the picture, or below mostGap.
    laid.frameWidth = static_cast<std::uint32_t>(frameWidth);
    laid.frameHeight = static_cast<std::uint32_t>(frameHeight);
    laid.margin = static_cast<std::uint32_t>(margin);
    laid.spacing = static_cast<std::uint32_t>(spacing);
    return {};
}

// How many frames fit across `side` pixels, and the pixels left over.
std::pair<std::uint32_t, std::uint32_t> framesAcross(std::uint64_t side, std::uint64_t frame,
                                                     std::uint64_t margin, std::uint64_t spacing) {
    if (frame == 0) {
        return {0, 0}; // never so: a frame side is checked to be 1 or more
    }
    const std::uint64_t count = (side - margin + spacing) / (frame + spacing);
    const std::uint64_t taken = count * frame + (count - 1) * spacing;
    return {static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(side - margin - taken)};
}

Outcome layOut(const FrameChoices &choices, std::uint32_t width, std::uint32_t height,
               FrameGrid &grid) {
    FrameGrid laid;
    Outcome found = readChoices(choices, width, height, laid);
    if (!found.ok()) {
        return found;
    }
    std::tie(laid.columns, laid.leftoverColumns) =
        framesAcross(width, laid.frameWidth, laid.margin, laid.spacing);
    std::tie(laid.rows, laid.leftoverRows) =
        framesAcross(height, laid.frameHeight, laid.margin, laid.spacing);
    if (std::uint64_t{laid.columns} * laid.rows > maxFrames) {
        return badFrames(std::to_string(std::uint64_t{laid.columns} * laid.rows) +
                         " frames: at most " + std::to_string(maxFrames));
    }
    grid = laid;
    return {};
}

// The top left pixel of frame (column, row), y counted from the top.
std::pair<std::size_t, std::size_t> frameOrigin(const FrameGrid &grid, std::uint32_t column,
                                                std::uint32_t row) {
    return {grid.margin + std::size_t{column} * (grid.frameWidth + grid.spacing),
            grid.margin + std::size_t{row} * (grid.frameHeight + grid.spacing)};
}

// Frame (column, row) of the sheet as a picture of its own; `allTransparent`
// says whether every one of its pixels is.
Outcome cutFrame(const Picture &sheet, const FrameGrid &grid, std::uint32_t column,
                 std::uint32_t row, Picture &frame, bool &allTransparent) {
    const auto [left, top] = frameOrigin(grid, column, row);
    Outcome found =
        makePicture(grid.frameWidth, grid.frameHeight, sheet.transparency != nullptr, frame);
    if (!found.ok()) {
        return found;
    }
    const PixelRows colors = sheet.colorRows();
    const PixelRows marks = sheet.markRows();
    const PixelTarget frameColors = frame.colorTarget();
    const PixelTarget frameMarks = frame.markTarget();
    bool clear = frame.transparency != nullptr;
    for (std::uint32_t y = 0; y < grid.frameHeight; ++y) {
        const auto from = static_cast<std::uint32_t>(top + y);
        std::memcpy(frameColors.row(y), colors.row(from) + left * 3,
                    std::size_t{grid.frameWidth} * 3);
        if (frame.transparency) {
            std::uint8_t *rowMarks = frameMarks.row(y);
            std::memcpy(rowMarks, marks.row(from) + left, grid.frameWidth);
            clear = clear && std::all_of(rowMarks, rowMarks + grid.frameWidth,
                                         [](std::uint8_t mark) { return mark == 1; });
        }
    }
    allTransparent = clear;
    return {};
}

// Whether every one of a frame's colour bytes is `key`.
bool allKey(std::uint8_t key, const std::vector<std::uint8_t> &bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [key](std::uint8_t v) { return v == key; });
}

// Draws a frame's colour bytes (top row first, the frame's size after
// fitting) into its cell of the sheet's colours.
void drawCell(const FrameGrid &grid, std::uint32_t column, std::uint32_t row, const Picture &frame,
              const std::vector<std::uint8_t> &bytes, const PixelTarget &sheetColors) {
    const auto [left, top] = frameOrigin(grid, column, row);
    const PixelTarget cell{sheetColors.first +
                               static_cast<std::ptrdiff_t>(top) * sheetColors.stride +
                               static_cast<std::ptrdiff_t>(left),
                           grid.frameWidth, grid.frameHeight, sheetColors.stride, 1};
    const std::uint32_t columns = frame.columns();
    const std::uint32_t rows = frame.rows();
    if (columns != cell.columns || rows != cell.rows) { // fitted to another size
        sampleSharp(PixelRows::topDown(bytes.data(), columns, rows, 1), 0, rows, cell);
        return;
    }
    for (std::uint32_t y = 0; y < rows; ++y) {
        std::memcpy(cell.row(y), &bytes[std::size_t{y} * columns], columns);
    }
}

// What the frames are cut and written with, and what they make.
struct FrameWriting {
    const FrameGrid &grid;
    const Fitting &fitting;
    bool skipEmpty;
    std::ostream &out;
    const StartFrame &start;
    const PixelTarget &sheetColors;
    FrameCounts done;
    std::vector<std::uint8_t> values; // of the frame at hand
    std::vector<std::uint8_t> bytes;

    // Frame (column, row), cut from the sheet: fitted, drawn into the
    // sheet's colours, and written or skipped.
    Outcome write(std::uint32_t column, std::uint32_t row, Picture &frame, bool allTransparent) {
        Outcome found = fitAndReduce(frame, fitting, values);
        const bool bytesWanted = sheetColors.first != nullptr || fitting.key;
        if (found.ok() && bytesWanted) {
            found = colorBytes(frame, values, bytes);
        }
        if (!found.ok()) {
            return found;
        }
        if (sheetColors.first != nullptr) {
            drawCell(grid, column, row, frame, bytes, sheetColors);
        }
        const std::uint32_t number = row * grid.columns + column;
        if (skipEmpty && (allTransparent || (fitting.key && allKey(*fitting.key, bytes)))) {
            ++done.skipped;
            done.skippedNumbers.push_back(number);
            return {};
        }
        if (fitting.key) {
            done.opaqueKey += opaqueWithColor(frame, bytes, *fitting.key);
        }
        found = start(number, frame.columns(), frame.rows());
        if (found.ok()) {
            // The colour bytes, where they were made, are the text's values.
            found = writeReducedRows(out, frame, bytesWanted ? bytes : values);
        }
        done.written += found.ok() ? 1 : 0;
        return found;
    }
};

Outcome writeEach(const Picture &sheet, FrameWriting &writing, FrameCounts &counts) {
    for (std::uint32_t row = 0; row < writing.grid.rows; ++row) {
        for (std::uint32_t column = 0; column < writing.grid.columns; ++column) {
            bool allTransparent = false;
            Picture frame;
            Outcome found = cutFrame(sheet, writing.grid, column, row, frame, allTransparent);
            if (found.ok()) {
                found = writing.write(column, row, frame, allTransparent);
            }
            if (!found.ok()) {
                return found;
            }
        }
    }
    counts = std::move(writing.done);
    return {};
}

} // namespace

bool FrameChoices::wanted() const {
    return !blank(frameWidth) || !blank(frameHeight);
}

Outcome layOutFrames(const FrameChoices &choices, std::uint32_t width, std::uint32_t height,
                     FrameGrid &grid) {
    return guarded([&] { return layOut(choices, width, height, grid); });
}

Outcome writeFrames(const Picture &sheet, const FrameGrid &grid, const Fitting &fitting,
                    bool skipEmpty, std::ostream &out, const StartFrame &start, FrameCounts &counts,
                    const PixelTarget &sheetColors) {
    return guarded([&] {
        FrameWriting writing{grid, fitting, skipEmpty, out, start, sheetColors, {}, {}, {}};
        return writeEach(sheet, writing, counts);
    });
}
