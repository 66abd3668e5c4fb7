#include "preview.h"

#include "bmp_writer.h"
#include "command_line.h"
#include "data_parser.h"
#include "file_io.h"
#include "messages.h"
#include "output_file.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <new>

namespace {

// round(level × 255 / 7) for the eight red and green levels.
std::array<std::uint8_t, 8> makeRedGreenValues() {
    std::array<std::uint8_t, 8> values{};
    for (std::size_t level = 0; level < values.size(); ++level) {
        values[level] =
            static_cast<std::uint8_t>(std::lround(static_cast<double>(level) * 255.0 / 7.0));
    }
    return values;
}

// Reads the whole file into `text`. If it cannot be opened or read to its
// end, prints the line that says so and returns false: a text cut short
// would be blamed on the file.
bool readWholeFile(const std::string &name, std::string &text) {
    FileHandle file;
    if (!openInputFile(name, file)) {
        return false;
    }
    // One byte more than the file's size, so that the end shows without growing.
    const std::int64_t size = std::max<std::int64_t>(fileSizeOf(file), 0);
    if (static_cast<std::uint64_t>(size) >= text.max_size()) {
        throw std::bad_alloc();
    }
    text.resize(static_cast<std::size_t>(size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == text.size()) {
            text.resize(text.size() * 2); // the file grew while being read
        }
        const std::ptrdiff_t got = readSome(file, &text[filled], text.size() - filled);
        if (got < 0) {
            std::cout << "Error: cannot read " << printableName(name) << '\n';
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return true;
}

} // namespace

std::vector<std::uint8_t> expandColors(const std::vector<std::uint8_t> &values) {
    static const std::array<std::uint8_t, 8> redGreenValues = makeRedGreenValues();
    std::vector<std::uint8_t> rgb;
    if (values.size() > rgb.max_size() / 3) {
        throw std::bad_alloc();
    }
    rgb.reserve(values.size() * 3);
    for (const std::uint8_t value : values) {
        rgb.push_back(redGreenValues[value & 7U]);
        rgb.push_back(redGreenValues[(value >> 3U) & 7U]);
        rgb.push_back(static_cast<std::uint8_t>((value >> 6U) * 85U));
    }
    return rgb;
}

namespace {

int writePreview(const std::string &base) {
    std::string text;
    if (!readWholeFile(base + ".data", text)) {
        return 1;
    }
    const DataParseResult parsed = parseData(text);
    if (!parsed.ok) {
        std::cout << badDataMessage(parsed) << '\n';
        return 1;
    }
    const DataImage &image = parsed.image;
    std::cout << sizeLine(image.width, image.height) << '\n';
    const std::string output = base + ".preview.bmp";
    const auto writeBmp = [&image](std::ostream &out) {
        out << encodeBmp(image.width, image.height, expandColors(image.values));
    };
    if (!writeFileReplacing(output, writeBmp, FileMode::binary)) {
        std::cout << "Error: cannot write " << printableName(output) << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int runPreview(const std::vector<std::string> &arguments) {
    if (!takesOneArgument(
            arguments, "data2bmp",
            " file <.data>\nConverte um arquivo .data gerado pelo bmp2data em um "
            ".bmp com 24 bits/pixel (file.preview.bmp) para ver as cores reduzidas\n")) {
        return 1;
    }
    return reportingMallocFailure([&arguments] { return writePreview(arguments[1]); });
}
