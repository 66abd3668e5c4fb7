// The converter's core for the web page: the same reader, packer, writer,
// data parser and preview encoder as the command-line programs, on bytes in
// memory. Every call answers with a Result: whether it worked, the line the
// programs print (size or error), the file's bytes and the pixels to draw.
#include "bmp_decoder.h"
#include "bmp_writer.h"
#include "data_parser.h"
#include "data_writer.h"
#include "memory.h"
#include "outcome.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    bool ok = false;
    std::string line;        // the size line or the error line, as the programs print it
    std::string file;        // NAME.data, or NAME.preview.bmp
    std::uint32_t width = 0; // of the pictures below
    std::uint32_t height = 0;
    std::vector<std::uint8_t> image;   // the picture as read, RGBA, top row first
    std::vector<std::uint8_t> preview; // its reduced colours, RGBA, top row first
};

// The image state's stored row `y` counted from the top.
const std::uint8_t *topRow(std::size_t y) {
    const auto columns = static_cast<std::size_t>(width);
    return texels.get() + (static_cast<std::size_t>(height) - 1 - y) * columns * 3;
}

// The image state as RGBA, top row first, and its reduced colours the same way.
Outcome drawImageState(Result &result) {
    const std::uint64_t pixels = std::uint64_t(result.width) * result.height;
    Outcome found = allocate(result.image, {pixels, 4});
    if (found.ok()) {
        found = allocate(result.preview, {pixels, 4});
    }
    if (!found.ok()) {
        return found;
    }
    std::uint8_t *image = result.image.data();
    std::uint8_t *preview = result.preview.data();
    for (std::size_t y = 0; y < result.height; ++y) {
        const std::uint8_t *pixel = topRow(y);
        for (std::size_t x = 0; x < result.width; ++x, pixel += 3, image += 4, preview += 4) {
            std::memcpy(image, pixel, 3);
            image[3] = 255;
            const std::array<std::uint8_t, 3> reduced =
                unpackColor(packColor(pixel[0], pixel[1], pixel[2]));
            std::memcpy(preview, reduced.data(), 3);
            preview[3] = 255;
        }
    }
    return {};
}

// The data text for the image state and the pictures to draw, as the command
// line writes it after reading a picture.
Outcome finishConversion(Result &result, const std::string &label) {
    result.line = sizeLine(width, height);
    std::ostringstream text;
    writeData(text, label);
    result.file = text.str();
    if (width <= 0 || height <= 0 || !texels) {
        return {};
    }
    result.width = static_cast<std::uint32_t>(width);
    result.height = static_cast<std::uint32_t>(height);
    return drawImageState(result);
}

// Runs `work` into a new Result; a failure, running out of memory included,
// leaves only its line.
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
    result->ok = outcome.ok();
    if (!result->ok) {
        *result = Result{};
        result->line = messageOf(outcome);
    }
    return result;
}

// Pixels the browser decoded (RGBA, top row first, not premultiplied) as the
// image state: alpha is dropped, as for 32-bit BMPs.
Outcome takeRgba(const std::uint8_t *rgba, std::uint32_t columns, std::uint32_t rows) {
    std::unique_ptr<std::uint8_t[]> rgb;
    const Outcome found = allocate(rgb, {columns, rows, 3});
    if (!found.ok()) {
        return found;
    }
    for (std::size_t y = 0; y < rows; ++y) {
        // Stored bottom-up, like the rows of a BMP file.
        std::uint8_t *target = rgb.get() + (rows - 1 - y) * std::size_t{columns} * 3;
        const std::uint8_t *source = rgba + y * std::size_t{columns} * 4;
        for (std::size_t x = 0; x < columns; ++x) {
            std::memcpy(target + x * 3, source + x * 4, 3);
        }
    }
    width = static_cast<std::int32_t>(columns);
    height = static_cast<std::int32_t>(rows);
    texels = std::move(rgb);
    return {};
}

} // namespace

extern "C" {

// A BMP file's bytes and the label: the data text, and the picture and its
// preview for drawing.
Result *convertBmp(const std::uint8_t *bytes, std::size_t size, const char *label) {
    return answer([&](Result &result) {
        const Outcome read = decodeBmp(bytes, size);
        return read.ok() ? finishConversion(result, label) : read;
    });
}

// Pixels the browser decoded, and the label.
Result *convertRgba(const std::uint8_t *rgba, std::uint32_t columns, std::uint32_t rows,
                    const char *label) {
    return answer([&](Result &result) {
        const Outcome taken = takeRgba(rgba, columns, rows);
        return taken.ok() ? finishConversion(result, label) : taken;
    });
}

// A data file's text: the preview BMP, and its pixels for drawing.
Result *previewData(const char *text, std::size_t size) {
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
        if (found.ok()) {
            found = allocate(result.preview, {image.values.size(), 4});
        }
        if (!found.ok()) {
            return found;
        }
        for (std::size_t i = 0; i < image.values.size(); ++i) {
            std::memcpy(&result.preview[i * 4], &rgb[i * 3], 3);
            result.preview[i * 4 + 3] = 255;
        }
        result.line = sizeLine(image.width, image.height);
        result.width = image.width;
        result.height = image.height;
        return found;
    });
}

// The line for a request the page could not even hand over.
const char *outOfMemoryLine() {
    static const std::string line = messageOf(fail(Failure::outOfMemory));
    return line.c_str();
}

bool resultOk(const Result *result) {
    return result->ok;
}
const char *resultLine(const Result *result) {
    return result->line.c_str();
}
const char *resultFile(const Result *result) {
    return result->file.data();
}
std::size_t resultFileSize(const Result *result) {
    return result->file.size();
}
std::uint32_t resultWidth(const Result *result) {
    return result->width;
}
std::uint32_t resultHeight(const Result *result) {
    return result->height;
}
const std::uint8_t *resultImage(const Result *result) {
    return result->image.empty() ? nullptr : result->image.data();
}
const std::uint8_t *resultPreview(const Result *result) {
    return result->preview.empty() ? nullptr : result->preview.data();
}
void freeResult(Result *result) {
    delete result;
}

} // extern "C"
