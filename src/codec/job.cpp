#include "job.h"

#include "bmp/bmp_decoder.h"
#include "data_preview.h"
#include "data_writer.h"
#include "display/fitting.h"
#include "memory.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ostream>
#include <utility>
#include <vector>

namespace {

// A job under way: what it was asked, where its text goes, what it made.
struct Run {
    const Job &job;
    Fitting fitting;
    const ReadBytes &read;
    TextSink &sink;
    JobResult &result;
    Picture picture; // taken from the image state once it holds the input

    // The rows of the image state's text, fitted and reduced as asked;
    // `values` keeps the colour bytes shown as the reduced colours.
    Outcome writeWhole(std::ostream &out, std::vector<std::uint8_t> &values) {
        Outcome found = writeFittedRows(out, picture, fitting, values);
        if (found.ok() && fitting.key) {
            std::vector<std::uint8_t> bytes;
            found = colorBytes(picture, values, bytes);
            result.opaqueKey = opaqueWithColor(picture, bytes, *fitting.key);
        }
        return found;
    }

    // Each frame's label line and rows; `values` becomes the sheet's colour
    // bytes, each frame's drawn into its cell.
    Outcome writeFramesOf(SinkBuffer &pieces, std::ostream &out,
                          std::vector<std::uint8_t> &values) {
        FrameGrid grid;
        const std::uint32_t sheetWidth = picture.columns();
        const std::uint32_t sheetHeight = picture.rows();
        Outcome found = layOutFrames(job.frames, sheetWidth, sheetHeight, grid);
        // Around the cells (a margin, spacing, leftovers), the sheet's own
        // colours show.
        const bool cellsCoverSheet = grid.margin == 0 && grid.spacing == 0 &&
                                     grid.leftoverColumns == 0 && grid.leftoverRows == 0;
        std::vector<std::uint8_t> sheetColors;
        if (found.ok()) {
            found = cellsCoverSheet ? allocate(sheetColors, {sheetWidth, sheetHeight})
                                    : colorBytes(picture, {}, sheetColors);
        }
        if (!found.ok()) {
            return found;
        }
        result.grid = grid;
        const auto startFrame = [&](std::uint32_t number, std::uint32_t w, std::uint32_t h) {
            FrameStart start{number, w, h, pieces.written(), 0};
            if (!job.label.empty()) {
                std::string line;
                Outcome made = dataHeader(job.label + "_" + std::to_string(number), w, h, line);
                if (!made.ok()) {
                    return made;
                }
                out << line;
            }
            start.rowsStart = pieces.written();
            sink.frameStarts(start);
            return Outcome{};
        };
        found = writeFrames(picture, grid, fitting, job.frames.skipEmpty, out, startFrame,
                            result.frames,
                            PixelTarget::topDown(sheetColors.data(), sheetWidth, sheetHeight, 1));
        values = std::move(sheetColors);
        result.opaqueKey = result.frames.opaqueKey;
        return found;
    }

    // The tile set and the map; `values` becomes the picture's colour bytes.
    Outcome writeTilesOf(SinkBuffer &pieces, std::ostream &out, std::vector<std::uint8_t> &values) {
        Outcome found = fitAndReduce(picture, fitting, values);
        std::vector<std::uint8_t> bytes;
        TileMap map;
        TileTextStarts starts;
        if (found.ok()) {
            found = colorBytes(picture, values, bytes);
        }
        if (found.ok()) {
            found = layOutTiles(job.tiles, picture.columns(), picture.rows(), map);
        }
        if (found.ok()) {
            found = collectTiles(bytes, picture.columns(), map);
        }
        if (found.ok()) {
            found = writeTileText(
                out, map, job.label, [&pieces] { return pieces.written(); }, starts);
        }
        if (found.ok() && fitting.key) {
            result.opaqueKey = opaqueWithColor(picture, bytes, *fitting.key);
        }
        result.tiles = factsOf(map, starts);
        values = std::move(bytes);
        return found;
    }

    Outcome writeText(SinkBuffer &pieces, std::ostream &out, std::vector<std::uint8_t> &values) {
        if (job.frames.wanted()) {
            return writeFramesOf(pieces, out, values);
        }
        return job.tiles.wanted() ? writeTilesOf(pieces, out, values) : writeWhole(out, values);
    }

    // The image state fitted and reduced as asked: its text and its pictures.
    Outcome convertImage() {
        picture = takeImage();
        result.transparent = picture.transparency != nullptr;
        result.partlyTransparent = job.partlyTransparent;
        std::vector<std::uint8_t> values;
        Outcome found;
        {
            SinkBuffer pieces(sink);
            std::ostream out(&pieces);
            found = writeText(pieces, out, values);
            out.flush();
        }
        result.line = sizeLine(picture.width, picture.height);
        result.width = picture.columns();
        result.height = picture.rows();
        if (!found.ok() || !picture.hasPixels()) {
            return found;
        }
        return showImage(values);
    }

    Outcome showImage(const std::vector<std::uint8_t> &values) {
        ShownPictures &shown = result.shown;
        Outcome found = shown.start(result.width, result.height, job.shownWidth, job.shownHeight);
        if (found.ok()) {
            shown.sampleColors(picture.colorRows());
        }
        if (found.ok() && picture.transparency) {
            found = shown.sampleTransparency(picture.markRows());
        }
        if (found.ok() && !values.empty()) {
            found = shown.sampleReducedColors(
                PixelRows::topDown(values.data(), result.width, result.height, 1));
        }
        return found.ok() ? shown.finish() : found;
    }

    // The whole input, read into `bytes` (a byte vector or a string).
    template <typename Bytes> Outcome readWhole(Bytes &bytes) {
        Outcome found = allocate(bytes, {job.size});
        if (found.ok() && !read(0, bytes.size(), reinterpret_cast<std::uint8_t *>(bytes.data()))) {
            found = fail(Failure::cannotRead, job.name);
        }
        return found;
    }

    // A plain BMP taken as it is, a block of rows at a time; nothing where
    // it is of another kind, or its start cannot be read (then the whole
    // file is tried, and says why).
    std::optional<Outcome> convertBmpByRows() {
        std::array<std::uint8_t, maxHeaderBytes> head{};
        const auto available =
            static_cast<std::size_t>(std::min<std::uint64_t>(job.size, head.size()));
        BmpLayout layout;
        if (!fitting.asItIs() || job.frames.wanted() || job.tiles.wanted() ||
            !read(0, available, head.data()) ||
            !layoutForRowBlocks(head.data(), available, job.size, layout).ok()) {
            return std::nullopt;
        }
        result.line = sizeLine(layout.columns, layout.rows);
        result.width = layout.columns;
        result.height = layout.rows;
        ShownPictures &shown = result.shown;
        Outcome found = shown.start(layout.columns, layout.rows, job.shownWidth, job.shownHeight);
        if (found.ok()) {
            SinkBuffer pieces(sink);
            std::ostream out(&pieces);
            found = writeDataByRowBlocks(layout, read, job.name, out,
                                         [&shown](const PixelRows &rows, std::uint32_t top) {
                                             shown.sampleColors(rows, top);
                                         });
            writeDataEnd(out);
            out.flush();
        }
        return found.ok() ? shown.finish() : found;
    }

    Outcome convertBmp() {
        if (std::optional<Outcome> byRows = convertBmpByRows()) {
            return *byRows;
        }
        std::vector<std::uint8_t> bytes;
        Outcome found = readWhole(bytes);
        if (found.ok()) {
            found = decodeBmp(bytes.data(), bytes.size());
        }
        return found.ok() ? convertImage() : found;
    }

    // A data text: its preview BMP, and its pictures.
    Outcome previewData() {
        DataPreview preview;
        {
            std::string text;
            Outcome found = readWhole(text);
            if (found.ok()) {
                found = stackDataText(text, preview);
            }
            if (!found.ok()) {
                return found;
            }
        }
        std::vector<std::uint8_t> rgb;
        const DataImage &image = preview.image;
        Outcome found = encodePreview(image, rgb, result.file);
        if (!found.ok()) {
            return found;
        }
        for (const auto &[blockWidth, blockHeight] : preview.blockSizes) { // data2bmp's lines
            result.line += (result.line.empty() ? "" : "\n") + sizeLine(blockWidth, blockHeight);
        }
        result.width = image.width;
        result.height = image.height;
        if (image.values.empty()) {
            return found;
        }
        ShownPictures &shown = result.shown;
        found = shown.start(image.width, image.height, job.shownWidth, job.shownHeight);
        if (found.ok()) {
            shown.sampleColors(PixelRows::topDown(rgb.data(), image.width, image.height, 3));
        }
        return found.ok() ? shown.finish() : found;
    }

    Outcome run() {
        Outcome chosen = readFitting(job.fitting, fitting);
        if (!chosen.ok()) {
            return chosen;
        }
        if (job.frames.wanted() && job.tiles.wanted()) {
            return fail(Failure::badTiles, "a picture is cut into frames or into tiles, not both");
        }
        switch (job.kind) {
        case InputKind::bmp:
            return convertBmp();
        case InputKind::data:
            return previewData();
        case InputKind::picture:
            break;
        }
        return convertImage();
    }
};

} // namespace

ReadBytes memoryReader(const std::string &bytes) {
    return [&bytes](std::uint64_t offset, std::size_t size, std::uint8_t *target) {
        const bool inside = offset <= bytes.size() && size <= bytes.size() - offset;
        if (inside && size > 0) {
            std::memcpy(target, &bytes[offset], size);
        }
        return inside;
    };
}

JobResult runJob(const Job &job, const ReadBytes &read, TextSink &sink) {
    JobResult result;
    Run running{job, {}, read, sink, result, {}};
    Outcome found = guarded([&running] { return running.run(); });
    clearImage(); // what the result needs is in it
    if (!found.ok()) {
        result = JobResult{};
        guarded([&] {
            result.line = messageOf(found);
            return Outcome{};
        });
        result.outcome = std::move(found);
    }
    return result;
}
