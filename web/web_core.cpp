// The converter's core for the web page: the same reader, packer, writer,
// data parser and preview encoder as the command-line programs, on bytes in
// memory. Every call answers with a Result: whether it worked (and if not,
// which failure), the line the programs print, and the pictures to draw at
// the size the page shows them. The data text is handed out in pieces while
// it is written, so the module never holds more of it than one piece; its
// first line, the only one that depends on the label, comes from dataLine.
#include "bmp_decoder.h"
#include "bmp_format.h"
#include "bmp_writer.h"
#include "color_modes.h"
#include "data_parser.h"
#include "data_writer.h"
#include "memory.h"
#include "outcome.h"
#include "resize.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// Gives the page one piece of the data text (copied out of the module).
EM_JS(void, handOutPiece, (const char *bytes, std::size_t size), {
    const start = bytes >>> 0;
    Module["onPiece"](HEAPU8.slice(start, start + (size >>> 0)));
});

namespace {

struct Result {
    Outcome outcome;
    std::string line;        // the size line or the error line, as the programs print it
    std::uint32_t width = 0; // of the picture
    std::uint32_t height = 0;
    bool transparent = false;       // whether some of the picture as read is
    bool partlyTransparent = false; // whether the browser gave any alpha below 255
    std::string file;               // a data file's preview BMP
    // The picture as read and with its reduced colours, RGBA, top row first,
    // at the size they are shown.
    std::uint32_t shownWidth = 0;
    std::uint32_t shownHeight = 0;
    std::vector<std::uint8_t> shownImage;
    std::vector<std::uint8_t> shownPreview;
};

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
            setp(piece_.data(), piece_.data() + piece_.size());
        }
        return 0;
    }

  private:
    std::vector<char> piece_;
};

// A picture of width × height fits maxWidth × maxHeight as it is, or scaled
// down keeping its proportions.
void fitShown(Result &result, std::uint32_t maxWidth, std::uint32_t maxHeight) {
    const double scale = std::min({1.0, double(maxWidth) / std::max(result.width, 1U),
                                   double(maxHeight) / std::max(result.height, 1U)});
    result.shownWidth = std::max(1U, static_cast<std::uint32_t>(result.width * scale + 0.5));
    result.shownHeight = std::max(1U, static_cast<std::uint32_t>(result.height * scale + 0.5));
}

// The shown pictures sample the nearest source pixel: the source row (from
// the top) that shown row y takes.
std::size_t shownSourceRow(const Result &result, std::size_t y) {
    return (2 * y + 1) * result.height / (2 * result.shownHeight);
}

Outcome allocateShown(Result &result) {
    Outcome found = allocate(result.shownImage, {result.shownWidth, result.shownHeight, 4});
    return found.ok() ? allocate(result.shownPreview, {result.shownWidth, result.shownHeight, 4})
                      : found;
}

// Draws shown row y from its source row: red, green, blue bytes, with
// `transparent` (if given) saying which pixels are left see-through in the
// picture as read, and `values` (if given) its reduced colours, else each
// pixel's packColor.
void drawShownRow(Result &result, std::size_t y, const std::uint8_t *source,
                  const std::uint8_t *transparent, const std::uint8_t *values) {
    std::uint8_t *image = result.shownImage.data() + y * result.shownWidth * 4;
    std::uint8_t *preview = result.shownPreview.data() + y * result.shownWidth * 4;
    for (std::size_t x = 0; x < result.shownWidth; ++x, image += 4, preview += 4) {
        const std::size_t sourceX = (2 * x + 1) * result.width / (2 * result.shownWidth);
        const std::uint8_t *pixel = source + sourceX * 3;
        std::memcpy(image, pixel, 3);
        image[3] = transparent != nullptr && transparent[sourceX] != 0 ? 0 : 255;
        const std::array<std::uint8_t, 3> reduced = unpackColor(
            values == nullptr ? packColor(pixel[0], pixel[1], pixel[2]) : values[sourceX]);
        std::memcpy(preview, reduced.data(), 3);
        preview[3] = 255;
    }
}

// Draws the shown pictures; `row(y)` gives the red, green, blue bytes of
// source row y counted from the top, and `clear(y)`, if given, which of them
// are transparent. The reduced colours are `values` (top row first) where
// given, else each pixel's packColor.
using RowOf = std::function<const std::uint8_t *(std::size_t)>;
Outcome drawShown(Result &result, const RowOf &row, const std::vector<std::uint8_t> &values = {},
                  const RowOf &clear = nullptr) {
    Outcome found = allocateShown(result);
    if (!found.ok()) {
        return found;
    }
    for (std::size_t y = 0; y < result.shownHeight; ++y) {
        const std::size_t sourceY = shownSourceRow(result, y);
        drawShownRow(result, y, row(sourceY), clear ? clear(sourceY) : nullptr,
                     values.empty() ? nullptr : values.data() + sourceY * result.width);
    }
    return {};
}

// How a picture is brought to the display: a size, how to fit it, the
// filter, and how colours are reduced. The defaults leave it as it is.
struct Fitting {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    FitMode fit = FitMode::original;
    ResizeFilter filter = ResizeFilter::smooth;
    ColorMode colors = ColorMode::nearest;
    std::optional<std::uint8_t> key; // for transparent pixels
};

// The data text of the image state, fitted and reduced as asked, handed out
// in pieces, and its pictures.
// Whether a picture the browser decoded had any pixel not wholly opaque.
bool partlyTransparentSeen = false;

Outcome finishConversion(Result &result, std::uint32_t maxWidth, std::uint32_t maxHeight,
                         const Fitting &fitting) {
    result.transparent = transparency != nullptr;
    result.partlyTransparent = partlyTransparentSeen;
    Outcome found = fitImage(fitting.columns, fitting.rows, fitting.fit, fitting.filter);
    std::vector<std::uint8_t> values;
    const bool keyed = fitting.key && transparency;
    if (found.ok() && (fitting.colors != ColorMode::nearest || keyed)) {
        found = reduceColors(fitting.colors, values, fitting.key);
    }
    if (!found.ok()) {
        return found;
    }
    result.line = sizeLine(width, height);
    result.width = static_cast<std::uint32_t>(width);
    result.height = static_cast<std::uint32_t>(height);
    {
        PieceBuffer pieces;
        std::ostream out(&pieces);
        if (values.empty()) {
            writeDataRows(out);
        } else {
            writeValueRows(out, values, result.width, result.height);
        }
        out.flush();
    }
    if (width <= 0 || height <= 0 || !texels) {
        return {};
    }
    fitShown(result, maxWidth, maxHeight);
    const auto stored = [&](std::size_t y) {
        return (result.height - 1 - y) * std::size_t{result.width};
    };
    RowOf clear;
    if (transparency) {
        clear = [&](std::size_t y) { return transparency.get() + stored(y); };
    }
    return drawShown(
        result, [&](std::size_t y) { return texels.get() + stored(y) * 3; }, values, clear);
}

// `key` is a colour byte for transparent pixels, or any other number to
// leave them their stored colour.
Fitting fittingOf(std::uint32_t columns, std::uint32_t rows, std::uint32_t fit,
                  std::uint32_t filter, std::uint32_t colors, std::int32_t key) {
    Fitting fitting;
    fitting.columns = columns;
    fitting.rows = rows;
    fitting.fit = fit <= 3 ? static_cast<FitMode>(fit) : FitMode::original;
    fitting.filter = filter == 0 ? ResizeFilter::sharp : ResizeFilter::smooth;
    fitting.colors = colors <= 2 ? static_cast<ColorMode>(colors) : ColorMode::nearest;
    if (key >= 0 && key <= 255) {
        fitting.key = static_cast<std::uint8_t>(key);
    }
    return fitting;
}

// Runs `work` into a new Result; a failure, running out of memory included,
// leaves only the outcome and its line.
Result *answer(const std::function<Outcome(Result &)> &work) {
    auto *result = new (std::nothrow) Result;
    if (result == nullptr) {
        return nullptr;
    }
    Outcome outcome;
    try {
        outcome = work(*result);
    } catch (const std::bad_alloc &) {
        outcome = fail(Failure::outOfMemory);
    }
    if (!outcome.ok()) {
        *result = Result{};
        result->line = messageOf(outcome);
        result->outcome = outcome;
    }
    return result;
}

const char *failureName(Failure failure) {
    switch (failure) {
    case Failure::none:
        return "";
    case Failure::cannotOpen:
        return "cannotOpen";
    case Failure::notRegularFile:
        return "notRegularFile";
    case Failure::cannotRead:
        return "cannotRead";
    case Failure::cannotWrite:
        return "cannotWrite";
    case Failure::notBmp:
        return "notBmp";
    case Failure::unsupported:
        return "unsupported";
    case Failure::badHeader:
        return "badHeader";
    case Failure::truncated:
        return "truncated";
    case Failure::badPixels:
        return "badPixels";
    case Failure::outOfMemory:
        return "outOfMemory";
    case Failure::badData:
        return "badData";
    case Failure::badSize:
        return "badSize";
    }
    return "unknown";
}

// Marks the pixel at `index` (in the order of texels) transparent, making
// room for the marks at the first; false if memory runs out.
bool markTransparent(std::size_t index) {
    if (!transparency) {
        const std::size_t pixels =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        if (!allocate(transparency, {pixels}).ok()) {
            return false;
        }
        std::memset(transparency.get(), 0, pixels);
    }
    transparency[index] = 1;
    return true;
}

// A BMP converted a block of rows at a time while its file is read: the
// rows' text is handed out as each block is decoded, in the order the
// blocks are given within each (bottom-up files: the last row of a block
// first), and the shown pictures are drawn as their rows come.
struct RowBlockJob {
    BmpLayout layout;
    Result result;
    std::vector<std::uint8_t> rgb; // one block of rows, decoded
    std::uint64_t rowsDone = 0;    // in file order
    std::uint32_t blockRows = 0;
};

// About this many bytes of the file a block.
constexpr std::uint64_t rowBlockBytes = std::uint64_t{4} << 20U;

} // namespace

extern "C" {

// A BMP file's bytes: its data text in pieces, and the pictures to show.
// The last six arguments say how to fit it to the display: the size, then
// fit (0 original, 1 fit inside, 2 fill and crop, 3 stretch), filter (0
// sharp, 1 smooth), colours (0 nearest, 1 ordered, 2 diffuse) and the key
// colour byte for transparent pixels (-1: none).
Result *convertBmp(const std::uint8_t *bytes, std::size_t size, std::uint32_t maxWidth,
                   std::uint32_t maxHeight, std::uint32_t columns, std::uint32_t rows,
                   std::uint32_t fit, std::uint32_t filter, std::uint32_t colors,
                   std::int32_t key) {
    partlyTransparentSeen = false;
    return answer([&](Result &result) {
        const Outcome read = decodeBmp(bytes, size);
        return read.ok() ? finishConversion(result, maxWidth, maxHeight,
                                            fittingOf(columns, rows, fit, filter, colors, key))
                         : read;
    });
}

// Pixels the browser decoded arrive in tiles: startPicture makes room for
// them in the image state (false if memory runs out), putPixels stores one
// tile (rows top first, four bytes a pixel in the order `layout` gives:
// 0 RGBA, 1 BGRA, 2 RGBX, 3 BGRX, where X is not alpha; alpha not
// premultiplied, 0 transparent and any other value opaque), finishPicture
// converts what was stored.
bool startPicture(std::uint32_t columns, std::uint32_t rows) {
    clearImage();
    partlyTransparentSeen = false;
    std::unique_ptr<std::uint8_t[]> pixels;
    if (!allocate(pixels, {columns, rows, 3}).ok()) {
        return false;
    }
    texels = std::move(pixels);
    width = static_cast<std::int32_t>(columns);
    height = static_cast<std::int32_t>(rows);
    return true;
}

// False if memory runs out.
bool putPixels(const std::uint8_t *pixels, std::uint32_t left, std::uint32_t top,
               std::uint32_t columns, std::uint32_t rows, std::uint32_t layout) {
    const bool blueFirst = (layout & 1U) != 0;
    const bool hasAlpha = (layout & 2U) == 0;
    const std::size_t red = blueFirst ? 2 : 0;
    const std::size_t blue = blueFirst ? 0 : 2;
    const auto pictureWidth = static_cast<std::size_t>(width);
    for (std::size_t y = 0; y < rows; ++y) {
        // Stored bottom-up, like the rows of a BMP file.
        const std::size_t storedRow = static_cast<std::size_t>(height) - 1 - (top + y);
        std::uint8_t *target = texels.get() + (storedRow * pictureWidth + left) * 3;
        const std::uint8_t *source = pixels + y * std::size_t{columns} * 4;
        for (std::size_t x = 0; x < columns; ++x, source += 4, target += 3) {
            target[0] = source[red];
            target[1] = source[1];
            target[2] = source[blue];
            if (!hasAlpha || source[3] == 255) {
                continue;
            }
            partlyTransparentSeen = true;
            if (source[3] == 0 && !markTransparent(storedRow * pictureWidth + left + x)) {
                return false;
            }
        }
    }
    return true;
}

Result *finishPicture(std::uint32_t maxWidth, std::uint32_t maxHeight, std::uint32_t columns,
                      std::uint32_t rows, std::uint32_t fit, std::uint32_t filter,
                      std::uint32_t colors, std::int32_t key) {
    return answer([&](Result &result) {
        return finishConversion(result, maxWidth, maxHeight,
                                fittingOf(columns, rows, fit, filter, colors, key));
    });
}

// A data file's text: the preview BMP, and the pictures to show.
Result *previewData(const char *text, std::size_t size, std::uint32_t maxWidth,
                    std::uint32_t maxHeight) {
    return answer([&](Result &result) {
        DataImage image;
        Outcome found = parseData(std::string(text, size), image);
        std::vector<std::uint8_t> rgb;
        if (found.ok()) {
            found = expandColors(image.values, rgb);
        }
        if (found.ok()) {
            found = encodeBmp(image.width, image.height, rgb, result.file);
        }
        if (!found.ok()) {
            return found;
        }
        result.line = sizeLine(image.width, image.height);
        result.width = image.width;
        result.height = image.height;
        if (image.values.empty()) {
            return found;
        }
        fitShown(result, maxWidth, maxHeight);
        return drawShown(
            result, [&](std::size_t y) { return rgb.data() + y * std::size_t{image.width} * 3; });
    });
}

// Converting a BMP while it is read (see RowBlockJob): startRowBlocks reads
// the headers from the file's first bytes and answers null where the file
// is not of that kind (then convertBmp takes the whole file and says why)
// or memory runs out. The page then reads blocks of rowBlockCount rows
// (rowBlockStride bytes each, from rowBlockOffset) and gives each to
// putRowBlock, which is false where the file must be converted whole after
// all; finishRowBlocks hands out the text's end and answers as convertBmp.
// Each job ends with finishRowBlocks or dropRowBlocks.
RowBlockJob *startRowBlocks(const std::uint8_t *head, std::size_t available, double fileSize,
                            std::uint32_t maxWidth, std::uint32_t maxHeight) {
    auto *job = new (std::nothrow) RowBlockJob;
    if (job == nullptr) {
        return nullptr;
    }
    const BmpLayout &layout = job->layout;
    Result &result = job->result;
    Outcome found =
        layoutForRowBlocks(head, available, static_cast<std::uint64_t>(fileSize), job->layout);
    if (found.ok()) {
        job->blockRows = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            layout.rows, std::max<std::uint64_t>(1, rowBlockBytes / layout.rowStride)));
        result.width = layout.columns;
        result.height = layout.rows;
        result.line = sizeLine(layout.columns, layout.rows);
        fitShown(result, maxWidth, maxHeight);
        found = allocate(job->rgb, {job->blockRows, layout.columns, 3});
    }
    if (found.ok()) {
        found = allocateShown(result);
    }
    if (!found.ok()) {
        delete job;
        return nullptr;
    }
    return job;
}

double rowBlockOffset(const RowBlockJob *job) {
    return static_cast<double>(job->layout.pixelOffset);
}
double rowBlockStride(const RowBlockJob *job) {
    return static_cast<double>(job->layout.rowStride);
}
std::uint32_t rowBlockCount(const RowBlockJob *job) {
    return job->blockRows;
}
std::uint32_t rowBlockRows(const RowBlockJob *job) {
    return job->layout.rows;
}
bool rowBlocksTopDown(const RowBlockJob *job) {
    return job->layout.topDown;
}

// `rows` stored rows (at most rowBlockCount), the next ones in the file.
bool putRowBlock(RowBlockJob *job, const std::uint8_t *bytes, std::uint32_t rows) {
    const BmpLayout &layout = job->layout;
    Result &result = job->result;
    const std::size_t rowBytes = std::size_t{layout.columns} * 3;
    for (std::size_t i = 0; i < rows; ++i) {
        std::uint8_t *rgb = job->rgb.data() + i * rowBytes;
        if (!decodeRow(layout, bytes + i * layout.rowStride, rgb, nullptr)) {
            return false;
        }
        // Its row counted from the top, and the shown rows that take it.
        const std::uint64_t fileRow = job->rowsDone + i;
        const std::uint64_t top = layout.topDown ? fileRow : layout.rows - 1 - fileRow;
        for (std::size_t y = 0; y < result.shownHeight; ++y) {
            if (shownSourceRow(result, y) == top) {
                drawShownRow(result, y, rgb, nullptr, nullptr);
            }
        }
    }
    job->rowsDone += rows;
    try {
        PieceBuffer pieces;
        std::ostream out(&pieces);
        writePixelRows(out, layout.columns, rows, [&](std::size_t row) {
            return job->rgb.data() + (layout.topDown ? row : rows - 1 - row) * rowBytes;
        });
        out.flush();
    } catch (const std::bad_alloc &) {
        return false; // converted whole, it says so
    }
    return true;
}

Result *finishRowBlocks(RowBlockJob *job) {
    Result *result = answer([&](Result &finished) {
        PieceBuffer pieces;
        std::ostream out(&pieces);
        writeDataEnd(out);
        out.flush();
        finished = std::move(job->result);
        return Outcome{};
    });
    delete job;
    return result;
}

void dropRowBlocks(RowBlockJob *job) {
    delete job;
}

// The data text's first line for a label ("LABEL: .word W, H\n.byte "),
// valid until the next call.
const char *dataLine(const char *label, std::int32_t columns, std::int32_t rows) {
    static std::string line;
    line = dataHeader(label, columns, rows);
    return line.c_str();
}

const char *outOfMemoryLine() {
    static const std::string line = messageOf(fail(Failure::outOfMemory));
    return line.c_str();
}

// A colour byte's colour as 0xRRGGBB, for the page's palette.
std::uint32_t colorOfByte(std::uint32_t value) {
    const std::array<std::uint8_t, 3> rgb = unpackColor(static_cast<std::uint8_t>(value));
    return std::uint32_t{rgb[0]} << 16U | std::uint32_t{rgb[1]} << 8U | rgb[2];
}

bool resultOk(const Result *result) {
    return result->outcome.ok();
}
const char *resultFailure(const Result *result) {
    return failureName(result->outcome.failure);
}
const char *resultLine(const Result *result) {
    return result->line.c_str();
}
std::uint32_t resultWidth(const Result *result) {
    return result->width;
}
std::uint32_t resultHeight(const Result *result) {
    return result->height;
}
bool resultTransparent(const Result *result) {
    return result->transparent;
}
bool resultPartlyTransparent(const Result *result) {
    return result->partlyTransparent;
}
const char *resultFile(const Result *result) {
    return result->file.data();
}
std::size_t resultFileSize(const Result *result) {
    return result->file.size();
}
std::uint32_t resultShownWidth(const Result *result) {
    return result->shownWidth;
}
std::uint32_t resultShownHeight(const Result *result) {
    return result->shownHeight;
}
const std::uint8_t *resultShownImage(const Result *result) {
    return result->shownImage.empty() ? nullptr : result->shownImage.data();
}
const std::uint8_t *resultShownPreview(const Result *result) {
    return result->shownPreview.empty() ? nullptr : result->shownPreview.data();
}
void freeResult(Result *result) {
    delete result;
}

} // extern "C"
