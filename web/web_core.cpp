// The page's way into the codec: glue only. Each job is one call,
// convert(options), answered with one result value.
//
// Input. A BMP or a data file is read by the core itself, as it needs the
// bytes, through Module.readInput(offset, size, pointer), which answers
// whether it put those bytes of the file at `pointer` in the core's memory.
// A plain BMP converted as it is (no fitting, nearest colours) is read a
// block of rows at a time, so that no more than a block of it is held. A
// picture the browser decodes streams in before its job:
// startPicture(columns, rows), then putPixels(pointer, left, top, columns,
// rows, layout) for each tile of pixels written at `pointer` (from
// Module._malloc; layout: a RgbaLayout, plus 4 where the colours are
// premultiplied by alpha and rounded to the nearest, 8 where rounded up),
// then convert({kind: "picture", ...}).
//
// Output. The data text after its first line goes out through
// Module.onPiece(bytes) in pieces of 1 MiB while it is written; where the
// job fails, the pieces it handed out are to be dropped. The first line,
// the only one that depends on the label, comes from dataLine.
//
// options: {kind: "bmp" | "data" | "picture", name (the file's), size (the
// file's bytes), maxWidth, maxHeight (of the pictures shown), columns, rows
// (the display, as typed), fit ("original" | "inside" | "fill" | "stretch"),
// filter ("sharp" | "smooth"), colors ("nearest" | "ordered" | "diffuse"),
// key (the colour byte for transparent pixels as typed, or absent for none),
// frameWidth, frameHeight, margin, spacing (as typed; see frames.h),
// skipEmpty, label}. A picture cut into frames is converted whole, and its
// text comes frame by frame: each frame's label line (LABEL_N, where a label
// is given), then its rows. Module.onFrame(number, width, height, lineStart,
// rowsStart) comes before each, the starts counting the bytes handed out
// before the label line and before the rows, so that the page can put
// another label in without converting again.
//
// result: {ok, failure (its name; "" for none), line (the size line or the
// error line, as the programs print it; for a data file of several blocks,
// a size line for each), width, height, transparent,
// partlyTransparent (whether the browser gave any alpha below 255),
// shownWidth, shownHeight, shownImage, shownPreview (the picture as read and
// with its reduced colours, RGBA, top row first), file (a data file's
// preview BMP), frames (where it was cut: frameWidth, frameHeight, margin,
// spacing, columns, rows, leftoverColumns,
// leftoverRows, made, skipped, skippedNumbers), opaqueKey (opaque pixels
// whose colour byte is the key colour, where one is chosen)}. The pictures and the file are views
// into the core's memory, valid until the next call.
#include "bmp_decoder.h"
#include "bmp_row_blocks.h"
#include "bmp_writer.h"
#include "color_modes.h"
#include "data_parser.h"
#include "data_writer.h"
#include "file_kinds.h"
#include "fitting.h"
#include "frames.h"
#include "memory.h"
#include "outcome.h"
#include "resize.h"
#include "rgba_tiles.h"
#include "shown_pictures.h"
#include "typed_numbers.h"

#include <emscripten.h>
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

using emscripten::val;

EM_JS(void, handOutPiece, (const char *bytes, std::size_t size), {
    const start = bytes >>> 0;
    Module["onPiece"](HEAPU8.slice(start, start + (size >>> 0)));
});

EM_JS(void, frameStarts,
      (std::uint32_t number, std::uint32_t width, std::uint32_t height, double lineStart,
       double rowsStart),
      { Module["onFrame"](number, width, height, lineStart, rowsStart); });

EM_JS(bool, readInput, (double offset, std::size_t size, std::uint8_t *target),
      { return Boolean(Module["readInput"](offset, size >>> 0, target >>> 0)); });

namespace {

// Hands whatever is written to it to the page in pieces of 1 MiB.
class PieceBuffer : public std::streambuf {
  public:
    PieceBuffer() : piece_(std::size_t{1} << 20U) {
        setp(piece_.data(), piece_.data() + piece_.size());
    }

  protected:
    int_type overflow(int_type c) override {
        sync();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        if (pptr() > pbase()) {
            handOutPiece(pbase(), static_cast<std::size_t>(pptr() - pbase()));
            handedOut_ += static_cast<std::uint64_t>(pptr() - pbase());
            setp(piece_.data(), piece_.data() + piece_.size());
        }
        return 0;
    }

  public:
    // Bytes written so far, handed out or not.
    std::uint64_t written() const {
        return handedOut_ + static_cast<std::uint64_t>(pptr() - pbase());
    }

  private:
    std::vector<char> piece_;
    std::uint64_t handedOut_ = 0;
};

struct Options {
    std::string kind;
    std::string name;
    std::uint64_t size = 0;
    std::uint32_t maxWidth = 0;
    std::uint32_t maxHeight = 0;
    Fitting fitting;
    Outcome fittingRead; // whether the numbers typed for the fitting hold
    FrameChoices frames;
    std::string label; // of a picture cut into frames, for each frame's label line
};

// A number from the page that must be whole, from 0 to `most`; `otherwise`
// for anything else.
std::uint64_t wholeOr(const val &value, std::uint64_t most, std::uint64_t otherwise) {
    if (!value.isNumber()) {
        return otherwise;
    }
    const auto number = value.as<double>();
    const bool whole =
        number >= 0 && number <= static_cast<double>(most) && std::floor(number) == number;
    return whole ? static_cast<std::uint64_t>(number) : otherwise;
}

Options optionsOf(const val &given) {
    const auto text = [&given](const char *field) {
        const val value = given[field];
        return value.isString() ? value.as<std::string>() : "";
    };
    constexpr std::uint64_t mostShown = 1U << 14U;
    Options options;
    options.kind = text("kind");
    options.name = text("name");
    // Past 2^53 bytes, no file can be read anyway.
    options.size = wholeOr(given["size"], std::uint64_t{1} << 53U, 0);
    options.maxWidth = static_cast<std::uint32_t>(wholeOr(given["maxWidth"], mostShown, 0));
    options.maxHeight = static_cast<std::uint32_t>(wholeOr(given["maxHeight"], mostShown, 0));
    TypedFitting typed{text("columns"), text("rows"),   text("fit"),
                       text("filter"),  text("colors"), std::nullopt};
    if (given["key"].isString()) {
        typed.key = text("key");
    }
    options.fittingRead = readFitting(typed, options.fitting);
    options.frames = {text("frameWidth"), text("frameHeight"), text("margin"), text("spacing"),
                      given["skipEmpty"].isTrue()};
    options.label = text("label");
    return options;
}

// The last job's answer, kept until the next call for the views into it.
struct Answer {
    Outcome outcome;
    std::string line;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool transparent = false;
    bool partlyTransparent = false;
    ShownPictures shown;
    std::string file;
    std::optional<FrameGrid> grid; // where the picture was cut into frames
    FrameCounts frames;
    std::uint64_t opaqueKey = 0; // opaque pixels of the key colour
};

Answer answer;
bool partlyTransparentSeen = false; // in the picture coming in tiles

// The rows of the image state's text, fitted and reduced as asked; where it
// is cut into frames, each frame's label line and rows, after
// Module.onFrame. Then the image state is the sheet, with its own colours.
Outcome writeText(const Options &options, std::vector<std::uint8_t> &values) {
    PieceBuffer pieces;
    std::ostream out(&pieces);
    if (!options.frames.wanted()) {
        Outcome found = writeFittedRows(out, options.fitting, values);
        out.flush();
        std::vector<std::uint8_t> bytes;
        if (found.ok() && options.fitting.key) {
            found = colorBytes(values, bytes);
            answer.opaqueKey = opaqueWithColor(bytes, *options.fitting.key);
        }
        return found;
    }
    FrameGrid grid;
    const auto sheetWidth = static_cast<std::uint32_t>(std::max(width, 0));
    const auto sheetHeight = static_cast<std::uint32_t>(std::max(height, 0));
    Outcome found = layOutFrames(options.frames, sheetWidth, sheetHeight, grid);
    // Each frame's colour bytes drawn into its cell: the preview of what the
    // text holds. Around the cells (a margin, spacing, leftovers), the
    // sheet's own.
    std::vector<std::uint8_t> sheetColors;
    const bool cellsCoverSheet = grid.margin == 0 && grid.spacing == 0 &&
                                 grid.leftoverColumns == 0 && grid.leftoverRows == 0;
    if (found.ok()) {
        found = cellsCoverSheet ? allocate(sheetColors, {sheetWidth, sheetHeight})
                                : colorBytes({}, sheetColors);
    }
    if (!found.ok()) {
        return found;
    }
    answer.grid = grid;
    found = writeFrames(
        grid, options.fitting, options.frames.skipEmpty, out,
        [&](std::uint32_t number, std::uint32_t w, std::uint32_t h) {
            const auto lineStart = static_cast<double>(pieces.written());
            if (!options.label.empty()) {
                std::string line;
                Outcome made = dataHeader(options.label + "_" + std::to_string(number), w, h, line);
                if (!made.ok()) {
                    return made;
                }
                out << line;
            }
            frameStarts(number, w, h, lineStart, static_cast<double>(pieces.written()));
            return Outcome{};
        },
        answer.frames, PixelTarget::topDown(sheetColors.data(), sheetWidth, sheetHeight, 1));
    out.flush();
    values = std::move(sheetColors);
    answer.opaqueKey = answer.frames.opaqueKey;
    return found;
}

// The image state fitted and reduced as asked: its text and its pictures.
Outcome convertImage(const Options &options) {
    answer.transparent = transparency != nullptr;
    answer.partlyTransparent = partlyTransparentSeen;
    std::vector<std::uint8_t> values;
    Outcome found = writeText(options, values);
    answer.line = sizeLine(width, height);
    answer.width = static_cast<std::uint32_t>(width);
    answer.height = static_cast<std::uint32_t>(height);
    if (!found.ok() || width <= 0 || height <= 0 || !texels) {
        return found;
    }
    ShownPictures &shown = answer.shown;
    found = shown.start(answer.width, answer.height, options.maxWidth, options.maxHeight);
    if (found.ok()) {
        shown.sampleColors(PixelRows::bottomUp(texels.get(), answer.width, answer.height, 3));
    }
    if (found.ok() && transparency) {
        found = shown.sampleTransparency(
            PixelRows::bottomUp(transparency.get(), answer.width, answer.height, 1));
    }
    if (found.ok() && !values.empty()) {
        found = shown.sampleReducedColors(
            PixelRows::topDown(values.data(), answer.width, answer.height, 1));
    }
    return found.ok() ? shown.finish() : found;
}

bool readBytes(std::uint64_t offset, std::size_t size, std::uint8_t *target) {
    return readInput(static_cast<double>(offset), size, target);
}

// The whole file, read into `bytes` (a byte vector or a string).
template <typename Bytes> Outcome readWhole(const Options &options, Bytes &bytes) {
    Outcome found = allocate(bytes, {options.size});
    if (found.ok() && !readBytes(0, bytes.size(), reinterpret_cast<std::uint8_t *>(bytes.data()))) {
        found = fail(Failure::cannotRead, options.name);
    }
    return found;
}

// A plain BMP taken as it is, a block of rows at a time; false where the
// file is of another kind (or cannot be read: then the whole file is tried,
// and says so).
std::optional<Outcome> convertBmpByRows(const Options &options) {
    std::array<std::uint8_t, maxHeaderBytes> head{};
    const auto available =
        static_cast<std::size_t>(std::min<std::uint64_t>(options.size, head.size()));
    BmpLayout layout;
    if (!options.fitting.asItIs() || options.frames.wanted() ||
        !readBytes(0, available, head.data()) ||
        !layoutForRowBlocks(head.data(), available, options.size, layout).ok()) {
        return std::nullopt;
    }
    answer.line = sizeLine(layout.columns, layout.rows);
    answer.width = layout.columns;
    answer.height = layout.rows;
    ShownPictures &shown = answer.shown;
    Outcome found = shown.start(layout.columns, layout.rows, options.maxWidth, options.maxHeight);
    if (found.ok()) {
        PieceBuffer pieces;
        std::ostream out(&pieces);
        found = writeDataByRowBlocks(
            layout, readBytes, out,
            [](const PixelRows &rows, std::uint32_t top) { answer.shown.sampleColors(rows, top); });
        writeDataEnd(out);
        out.flush();
    }
    if (found.failure == Failure::cannotRead) {
        found.detail = options.name;
    }
    return found.ok() ? shown.finish() : found;
}

Outcome convertBmp(const Options &options) {
    if (std::optional<Outcome> byRows = convertBmpByRows(options)) {
        return *byRows;
    }
    answer = Answer{};
    std::vector<std::uint8_t> bytes;
    Outcome found = readWhole(options, bytes);
    if (found.ok()) {
        found = decodeBmp(bytes.data(), bytes.size());
    }
    return found.ok() ? convertImage(options) : found;
}

// A data file: its preview BMP, and its pictures.
Outcome previewData(const Options &options) {
    std::string text;
    Outcome found = readWhole(options, text);
    std::vector<DataImage> blocks;
    if (found.ok()) {
        found = parseDataBlocks(text, blocks);
    }
    DataImage image; // the blocks one under another, as data2bmp shows them
    if (found.ok()) {
        found = stackBlocks(blocks, text.size(), image);
    }
    std::vector<std::uint8_t> rgb;
    if (found.ok()) {
        found = expandColors(image.values, rgb);
    }
    if (found.ok()) {
        found = encodeBmp(image.width, image.height, rgb, answer.file);
    }
    if (!found.ok()) {
        return found;
    }
    for (const DataImage &block : blocks) { // data2bmp's lines, one a block
        answer.line += (answer.line.empty() ? "" : "\n") + sizeLine(block.width, block.height);
    }
    answer.width = image.width;
    answer.height = image.height;
    if (image.values.empty()) {
        return found;
    }
    ShownPictures &shown = answer.shown;
    found = shown.start(image.width, image.height, options.maxWidth, options.maxHeight);
    if (found.ok()) {
        shown.sampleColors(PixelRows::topDown(rgb.data(), image.width, image.height, 3));
    }
    return found.ok() ? shown.finish() : found;
}

val viewOf(const std::uint8_t *bytes, std::size_t size) {
    return size == 0 ? val::null() : val(emscripten::typed_memory_view(size, bytes));
}

val resultOf(const Answer &given) {
    val result = val::object();
    result.set("ok", given.outcome.ok());
    result.set("failure", std::string(failureName(given.outcome.failure)));
    result.set("line", given.line);
    result.set("width", given.width);
    result.set("height", given.height);
    result.set("transparent", given.transparent);
    result.set("partlyTransparent", given.partlyTransparent);
    result.set("opaqueKey", static_cast<double>(given.opaqueKey));
    result.set("shownWidth", given.shown.columns());
    result.set("shownHeight", given.shown.rows());
    result.set("shownImage", viewOf(given.shown.image().data(), given.shown.image().size()));
    result.set("shownPreview", viewOf(given.shown.preview().data(), given.shown.preview().size()));
    if (given.grid) {
        val frames = val::object();
        frames.set("frameWidth", given.grid->frameWidth);
        frames.set("frameHeight", given.grid->frameHeight);
        frames.set("margin", given.grid->margin);
        frames.set("spacing", given.grid->spacing);
        frames.set("columns", given.grid->columns);
        frames.set("rows", given.grid->rows);
        frames.set("leftoverColumns", given.grid->leftoverColumns);
        frames.set("leftoverRows", given.grid->leftoverRows);
        frames.set("made", given.frames.written);
        frames.set("skipped", given.frames.skipped);
        frames.set("skippedNumbers",
                   val(emscripten::typed_memory_view(given.frames.skippedNumbers.size(),
                                                     given.frames.skippedNumbers.data())));
        result.set("frames", frames);
    }
    result.set("file", viewOf(reinterpret_cast<const std::uint8_t *>(given.file.data()),
                              given.file.size()));
    return result;
}

val convert(const val &given) {
    answer = Answer{};
    const Options options = optionsOf(given);
    Outcome found = guarded([&] {
        if (!options.fittingRead.ok()) {
            return options.fittingRead;
        }
        return options.kind == "bmp"    ? convertBmp(options)
               : options.kind == "data" ? previewData(options)
                                        : convertImage(options);
    });
    if (!found.ok()) {
        answer = Answer{};
        guarded([&found] {
            answer.line = messageOf(found);
            return Outcome{};
        });
        answer.outcome = std::move(found);
    }
    clearImage(); // what the result needs is in the answer
    return resultOf(answer);
}

std::string startPicture(std::uint32_t columns, std::uint32_t rows) {
    partlyTransparentSeen = false;
    return failureName(startTiledPicture(columns, rows).failure);
}

std::string putPixels(std::uintptr_t pixels, std::uint32_t left, std::uint32_t top,
                      std::uint32_t columns, std::uint32_t rows, std::uint32_t layout) {
    const Outcome found = putTile(reinterpret_cast<const std::uint8_t *>(pixels), left, top,
                                  columns, rows, static_cast<RgbaLayout>(layout & 3U),
                                  (layout & 8U) != 0   ? AlphaForm::premultipliedUp
                                  : (layout & 4U) != 0 ? AlphaForm::premultiplied
                                                       : AlphaForm::straight,
                                  partlyTransparentSeen);
    return failureName(found.failure);
}

// The data text's first line for a label: "LABEL: .word W, H\n.byte ";
// "" for sides that are not whole numbers from 0 to 2^32 - 1.
std::string dataLine(const std::string &label, const val &columns, const val &rows) {
    constexpr std::uint64_t most = UINT32_MAX;
    const std::uint64_t across = wholeOr(columns, most, most + 1);
    const std::uint64_t down = wholeOr(rows, most, most + 1);
    std::string line;
    const bool made =
        across <= most && down <= most &&
        dataHeader(label, static_cast<std::int64_t>(across), static_cast<std::int64_t>(down), line)
            .ok();
    return made ? line : "";
}

// What a file is, from its first bytes (a Uint8Array): see file_kinds.h.
std::string kindOfStart(const val &head) {
    const std::vector<std::uint8_t> bytes =
        emscripten::convertJSArrayToNumberVector<std::uint8_t>(head);
    return fileKindName(kindOfFile(bytes.data(), bytes.size()));
}

// A colour byte's colour as 0xRRGGBB, for the page's palette.
std::uint32_t colorOfByte(std::uint32_t value) {
    const std::array<std::uint8_t, 3> rgb = unpackColor(static_cast<std::uint8_t>(value));
    return std::uint32_t{rgb[0]} << 16U | std::uint32_t{rgb[1]} << 8U | rgb[2];
}

// The line of the failure named `name`, with its detail: for failures the
// page itself finds.
std::string failureLine(const std::string &name, const std::string &detail) {
    Failure failure = Failure::none;
    std::string line;
    guarded([&] {
        line = failureNamed(name, failure) ? messageOf(fail(failure, detail)) : "";
        return Outcome{};
    });
    return line;
}

// Every failure's name and whether the page can meet it, for its texts.
val failures() {
    val list = val::array();
    std::size_t count = 0;
    const FailureKind *kinds = failureKinds(count);
    for (std::size_t i = 1; i < count; ++i) {
        val kind = val::object();
        kind.set("name", std::string(kinds[i].name));
        kind.set("inPage", kinds[i].place != FailurePlace::programs);
        list.call<void>("push", kind);
    }
    return list;
}

} // namespace

EMSCRIPTEN_BINDINGS(bmp2data) {
    emscripten::function("convert", &convert);
    emscripten::function("startPicture", &startPicture);
    emscripten::function("putPixels", &putPixels);
    emscripten::function("dataLine", &dataLine);
    emscripten::function("colorOfByte", &colorOfByte);
    emscripten::function("kindOfStart", &kindOfStart);
    emscripten::function("failureLine", &failureLine);
    emscripten::function("failures", &failures);
}
