#include "preview.h"

#include "bmp_writer.h"
#include "command_line.h"
#include "data_parser.h"
#include "data_writer.h"
#include "file_io.h"
#include "memory.h"
#include "messages.h"
#include "output_file.h"

#include <algorithm>

namespace {

// Reads the whole file into `text`, to its end: a text cut short by a read
// error would be blamed on the file.
Outcome readWholeFile(const std::string &name, std::string &text) {
    FileHandle file;
    Outcome found = openRegularFile(name, file);
    if (!found.ok()) {
        return found;
    }
    // One byte more than the file's size, so that the end shows without growing.
    const std::int64_t size = std::max<std::int64_t>(fileSizeOf(file), 0);
    found = allocate(text, {static_cast<std::uint64_t>(size) + 1});
    std::size_t filled = 0;
    while (found.ok()) {
        if (filled == text.size()) {
            found = allocate(text, {text.size(), 2}); // the file grew while being read
            continue;
        }
        const std::ptrdiff_t got = readSome(file, &text[filled], text.size() - filled);
        if (got < 0) {
            return fail(Failure::cannotRead, name);
        }
        if (got == 0) {
            text.resize(filled);
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return found;
}

// The preview of a parsed data file: a 24-bit BMP of its colours.
Outcome encodePreview(const DataImage &image, std::string &bmp) {
    std::vector<std::uint8_t> rgb;
    const Outcome found = expandColors(image.values, rgb);
    return found.ok() ? encodeBmp(image.width, image.height, rgb, bmp) : found;
}

Outcome writePreview(const std::string &base) {
    std::string text;
    Outcome found = readWholeFile(base + ".data", text);
    DataImage image;
    if (found.ok()) {
        found = parseData(text, image);
    }
    if (!found.ok()) {
        return found;
    }
    printLine(sizeLine(image.width, image.height));
    std::string().swap(text);
    std::string bmp;
    found = encodePreview(image, bmp);
    if (!found.ok()) {
        return found;
    }
    const std::string output = base + ".preview.bmp";
    return writeFileReplacing(
        output,
        [&bmp](std::ostream &out) {
            out << bmp;
            return Outcome{};
        },
        FileMode::binary);
}

} // namespace

int runPreview(const std::vector<std::string> &arguments) {
    if (!takesOneArgument(
            arguments, "data2bmp",
            " file <.data>\nConverte um arquivo .data gerado pelo bmp2data em um "
            ".bmp com 24 bits/pixel (file.preview.bmp) para ver as cores reduzidas")) {
        return 1;
    }
    const Outcome outcome = writePreview(arguments[1]);
    report(outcome);
    return outcome.ok() ? 0 : 1;
}
