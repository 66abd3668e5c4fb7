// The page's way into the codec (job.h): glue that moves values and bytes.
//
// Input. A BMP or a data file is read by the core as it needs the bytes,
// through Module.readInput(offset, size, pointer), which answers whether it
// put those bytes of the file at `pointer` in the core's memory. A picture
// the browser decodes streams in before its job: startPicture(columns,
// rows), then putPixels(pointer, left, top, columns, rows, layout) for each
// tile written at `pointer` (from Module._malloc; layout: a RgbaLayout, plus
// 4 where premultiplied by alpha and rounded to the nearest, 8 where up),
// answered {failure, partlyTransparent}; then convert({kind: "picture"}).
//
// Output. The data text after its first line (which dataLine gives for any
// label) goes out through Module.onPiece(bytes) in pieces of 1 MiB, each a
// view of the core's memory that holds the piece only during the call; where
// the job fails, the pieces handed out are to be dropped. Before each frame
// of a picture cut into frames, Module.onFrame(number, width, height,
// lineStart, rowsStart) says where its label line and rows start; a picture
// cut into tiles has, in its result's `tiles`, where the tile set's rows,
// the map's label line and its rows start (tileLines gives the label lines
// for another label).
//
// options: a Job's fields by name (job.h), the numbers as typed, with
// maxWidth and maxHeight for the shown pictures' bounds. result: a
// JobResult's, with ok, failure (its name), and the frames' counts beside
// their grid; the pictures and the file are Uint8Arrays of their own.
#include "data_writer.h"
#include "display/rgba_tiles.h"
#include "file_kinds.h"
#include "job.h"
#include "memory.h"
#include "outcome.h"

#include <emscripten.h>
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using emscripten::val;

EM_JS(void, handOutPiece, (const char *bytes, std::size_t size), {
    const start = bytes >>> 0;
    Module["onPiece"](HEAPU8.subarray(start, start + (size >>> 0)));
});

EM_JS(void, frameStarted,
      (std::uint32_t number, std::uint32_t width, std::uint32_t height, double lineStart,
       double rowsStart),
      { Module["onFrame"](number, width, height, lineStart, rowsStart); });

EM_JS(bool, readInput, (double offset, std::size_t size, std::uint8_t *target),
      { return Boolean(Module["readInput"](offset, size >>> 0, target >>> 0)); });

namespace {

// Hands the text to the page: Module.onPiece and Module.onFrame.
class PageSink : public TextSink {
  public:
    void take(const char *bytes, std::size_t size) override {
        handOutPiece(bytes, size);
    }
    void frameStarts(const FrameStart &start) override {
        frameStarted(start.number, start.width, start.height, static_cast<double>(start.lineStart),
                     static_cast<double>(start.rowsStart));
    }
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

Job jobOf(const val &given) {
    const auto text = [&given](const char *field, const char *otherwise = "") {
        const val value = given[field];
        return value.isString() ? value.as<std::string>() : otherwise;
    };
    constexpr std::uint64_t mostShown = 1U << 14U;
    Job job;
    const std::string kind = text("kind");
    job.kind = kind == "bmp"    ? InputKind::bmp
               : kind == "data" ? InputKind::data
                                : InputKind::picture;
    job.name = text("name");
    // Past 2^53 bytes, no file can be read anyway.
    job.size = wholeOr(given["size"], std::uint64_t{1} << 53U, 0);
    job.shownWidth = static_cast<std::uint32_t>(wholeOr(given["maxWidth"], mostShown, 0));
    job.shownHeight = static_cast<std::uint32_t>(wholeOr(given["maxHeight"], mostShown, 0));
    job.fitting = {text("columns"),           text("rows"),
                   text("fit", "original"),   text("filter", "sharp"),
                   text("colors", "nearest"), std::nullopt};
    if (given["key"].isString()) {
        job.fitting.key = text("key");
    }
    job.frames = {text("frameWidth"), text("frameHeight"), text("margin"), text("spacing"),
                  given["skipEmpty"].isTrue()};
    job.tiles = {text("tileWidth"), text("tileHeight"), given["mirroredTiles"].isTrue()};
    job.label = text("label");
    job.partlyTransparent = given["partlyTransparent"].isTrue();
    return job;
}

// A typed array of its own holding `count` items in the core's memory.
template <typename Item> val copyOf(const Item *items, std::size_t count) {
    return val(emscripten::typed_memory_view(count, items)).call<val>("slice");
}

val bytesOf(const std::uint8_t *bytes, std::size_t size) {
    return size == 0 ? val::null() : copyOf(bytes, size);
}

val framesOf(const FrameGrid &grid, const FrameCounts &counts) {
    val frames = val::object();
    frames.set("frameWidth", grid.frameWidth);
    frames.set("frameHeight", grid.frameHeight);
    frames.set("margin", grid.margin);
    frames.set("spacing", grid.spacing);
    frames.set("columns", grid.columns);
    frames.set("rows", grid.rows);
    frames.set("leftoverColumns", grid.leftoverColumns);
    frames.set("leftoverRows", grid.leftoverRows);
    frames.set("made", counts.written);
    frames.set("skipped", counts.skipped);
    frames.set("skippedNumbers",
               copyOf(counts.skippedNumbers.data(), counts.skippedNumbers.size()));
    return frames;
}

val tilesOf(const TileFacts &facts) {
    val tiles = val::object();
    tiles.set("tileWidth", facts.tileWidth);
    tiles.set("tileHeight", facts.tileHeight);
    tiles.set("columns", facts.columns);
    tiles.set("rows", facts.rows);
    tiles.set("leftoverColumns", facts.leftoverColumns);
    tiles.set("leftoverRows", facts.leftoverRows);
    tiles.set("distinct", facts.distinct);
    tiles.set("mirrored", facts.mirrored);
    tiles.set("wide", facts.wide);
    tiles.set("tilesRows", static_cast<double>(facts.starts.tilesRows));
    tiles.set("mapLine", static_cast<double>(facts.starts.mapLine));
    tiles.set("mapRows", static_cast<double>(facts.starts.mapRows));
    return tiles;
}

val valueOf(const JobResult &given) {
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
    result.set("shownImage", bytesOf(given.shown.image().data(), given.shown.image().size()));
    result.set("shownPreview", bytesOf(given.shown.preview().data(), given.shown.preview().size()));
    if (given.grid) {
        result.set("frames", framesOf(*given.grid, given.frames));
    }
    if (given.tiles) {
        result.set("tiles", tilesOf(*given.tiles));
    }
    result.set("file", bytesOf(reinterpret_cast<const std::uint8_t *>(given.file.data()),
                               given.file.size()));
    return result;
}

val convert(const val &given) {
    PageSink sink;
    const auto read = [](std::uint64_t offset, std::size_t size, std::uint8_t *target) {
        return readInput(static_cast<double>(offset), size, target);
    };
    return valueOf(runJob(jobOf(given), read, sink));
}

std::string startPicture(std::uint32_t columns, std::uint32_t rows) {
    return failureName(startTiledPicture(columns, rows).failure);
}

// {failure (its name; "" for none), partlyTransparent (whether any alpha in
// the tile is below 255)}.
val putPixels(std::uintptr_t pixels, std::uint32_t left, std::uint32_t top, std::uint32_t columns,
              std::uint32_t rows, std::uint32_t layout) {
    bool partlyTransparent = false;
    const Outcome found = putTile(reinterpret_cast<const std::uint8_t *>(pixels), left, top,
                                  columns, rows, static_cast<RgbaLayout>(layout & 3U),
                                  (layout & 8U) != 0   ? AlphaForm::premultipliedUp
                                  : (layout & 4U) != 0 ? AlphaForm::premultiplied
                                                       : AlphaForm::straight,
                                  partlyTransparent);
    val answer = val::object();
    answer.set("failure", std::string(failureName(found.failure)));
    answer.set("partlyTransparent", partlyTransparent);
    return answer;
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

// A tile text's two label lines for a label, {tiles, map}, from the facts
// of a result's `tiles`.
val tileLines(const std::string &label, const val &tiles) {
    const auto number = [&tiles](const char *field) {
        return static_cast<std::uint32_t>(wholeOr(tiles[field], UINT32_MAX, 0));
    };
    TileFacts facts;
    facts.tileWidth = number("tileWidth");
    facts.tileHeight = number("tileHeight");
    facts.columns = number("columns");
    facts.rows = number("rows");
    facts.distinct = number("distinct");
    facts.wide = tiles["wide"].isTrue();
    val lines = val::object();
    guarded([&] {
        lines.set("tiles", tileSetHeader(label, facts));
        lines.set("map", tileMapHeader(label, facts));
        return Outcome{};
    });
    return lines;
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
    emscripten::function("tileLines", &tileLines);
    emscripten::function("colorOfByte", &colorOfByte);
    emscripten::function("kindOfStart", &kindOfStart);
    emscripten::function("failureLine", &failureLine);
    emscripten::function("failures", &failures);
}
