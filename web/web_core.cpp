// The converter's core for the web page: the same reader, packer, writer,
// data parser and preview encoder as the command-line programs, on bytes in
// memory. The page hands bytes in and takes text, messages and pixels out.
#include "bmp_reader.h"
#include "bmp_writer.h"
#include "data_parser.h"
#include "data_writer.h"
#include "messages.h"
#include "preview.h"
#include "program.h"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// A read-only, seekable view of bytes the page handed in, so that a large
// file is not copied once more.
class MemoryBuffer : public std::streambuf {
  public:
    MemoryBuffer(const std::uint8_t *bytes, std::size_t size) {
        char *begin = const_cast<char *>(reinterpret_cast<const char *>(bytes));
        setg(begin, begin, begin + size);
    }

  protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode /*which*/) override {
        const off_type base = direction == std::ios_base::beg   ? 0
                              : direction == std::ios_base::cur ? gptr() - eback()
                                                                : egptr() - eback();
        const off_type target = base + offset;
        if (target < 0 || target > egptr() - eback()) {
            return pos_type(off_type(-1));
        }
        setg(eback(), eback() + target, egptr());
        return pos_type(target);
    }
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }
};

// What one conversion or preview gives the page.
struct Result {
    std::string line;        // the size line or the error line, as the programs print it
    std::string file;        // NAME.data, or NAME.preview.bmp
    std::uint32_t width = 0; // of the pictures below
    std::uint32_t height = 0;
    std::vector<std::uint8_t> image;   // the picture as read, RGBA, top row first
    std::vector<std::uint8_t> preview; // its reduced colours, RGBA, top row first
};

// Red, green, blue rows (top row first) as RGBA for a canvas.
std::vector<std::uint8_t> toRgba(const std::uint8_t *rgb, std::size_t pixels) {
    std::vector<std::uint8_t> rgba(pixels * 4);
    for (std::size_t i = 0; i < pixels; ++i) {
        std::memcpy(&rgba[i * 4], rgb + i * 3, 3);
        rgba[i * 4 + 3] = 255;
    }
    return rgba;
}

// The image state, top row first, as RGBA.
std::vector<std::uint8_t> imageAsRgba() {
    const auto columns = static_cast<std::size_t>(width);
    const auto rows = static_cast<std::size_t>(height);
    std::vector<std::uint8_t> rgba(columns * rows * 4);
    for (std::size_t y = 0; y < rows; ++y) {
        const std::vector<std::uint8_t> row =
            toRgba(texels.get() + (rows - 1 - y) * columns * 3, columns);
        std::memcpy(&rgba[y * columns * 4], row.data(), row.size());
    }
    return rgba;
}

std::vector<std::uint8_t> packedValues() {
    const auto columns = static_cast<std::size_t>(width);
    const auto rows = static_cast<std::size_t>(height);
    std::vector<std::uint8_t> values(columns * rows);
    for (std::size_t y = 0; y < rows; ++y) {
        const std::uint8_t *pixel = texels.get() + (rows - 1 - y) * columns * 3;
        for (std::size_t x = 0; x < columns; ++x, pixel += 3) {
            values[y * columns + x] = packColor(pixel[0], pixel[1], pixel[2]);
        }
    }
    return values;
}

// Writes the data text for the image state and fills the result, as the
// command line does after reading a picture.
int finishConversion(Result &result, const std::string &label) {
    result.line = sizeLine(width, height);
    std::ostringstream text;
    writeData(text, label);
    result.file = text.str();
    if (width > 0 && height > 0 && texels) {
        result.width = static_cast<std::uint32_t>(width);
        result.height = static_cast<std::uint32_t>(height);
        result.image = imageAsRgba();
        const std::vector<std::uint8_t> rgb = expandColors(packedValues());
        result.preview = toRgba(rgb.data(), rgb.size() / 3);
    }
    return 0;
}

// Runs `work`; running out of memory anywhere in it gives the programs'
// message instead of the result.
Result *guarded(const std::function<int(Result &)> &work) {
    auto *result = new (std::nothrow) Result;
    if (result == nullptr) {
        return nullptr;
    }
    std::ostringstream printed;
    std::streambuf *const original = std::cout.rdbuf(printed.rdbuf());
    if (reportingMallocFailure([&] { return work(*result); }) != 0) {
        std::string message = printed.str();
        result->line = message.substr(0, message.find('\n'));
        result->file.clear();
        result->image.clear();
        result->preview.clear();
        result->width = result->height = 0;
    }
    std::cout.rdbuf(original);
    return result;
}

} // namespace

extern "C" {

// A BMP file's bytes and the label: the size line or the error line, the
// data text, and the picture and its preview for drawing.
Result *convertBmp(const std::uint8_t *bytes, std::size_t size, const char *label) {
    return guarded([&](Result &result) {
        MemoryBuffer buffer(bytes, size);
        std::istream in(&buffer);
        std::string reason;
        const BmpStatus status = decodeBmp(in, reason);
        if (status != BmpStatus::ok) {
            std::cout << bmpMessage(status, reason) << '\n';
            return 1;
        }
        return finishConversion(result, label);
    });
}

// Pixels the browser decoded (RGBA, top row first, not premultiplied): alpha
// is dropped, as for 32-bit BMPs.
Result *convertRgba(const std::uint8_t *rgba, std::uint32_t columns, std::uint32_t rows,
                    const char *label) {
    return guarded([&](Result &result) {
        const std::size_t pixels = std::size_t{columns} * rows;
        std::unique_ptr<std::uint8_t[]> rgb(new std::uint8_t[pixels * 3]);
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
        return finishConversion(result, label);
    });
}

// A data file's text: the size line or the error line, the preview BMP, and
// its pixels for drawing.
Result *previewData(const char *text, std::size_t size) {
    return guarded([&](Result &result) {
        const DataParseResult parsed = parseData(std::string(text, size));
        if (!parsed.ok) {
            std::cout << badDataMessage(parsed) << '\n';
            return 1;
        }
        const DataImage &image = parsed.image;
        result.line = sizeLine(image.width, image.height);
        const std::vector<std::uint8_t> rgb = expandColors(image.values);
        result.file = encodeBmp(image.width, image.height, rgb);
        result.width = image.width;
        result.height = image.height;
        result.preview = toRgba(rgb.data(), rgb.size() / 3);
        return 0;
    });
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
