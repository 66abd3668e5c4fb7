#include "preview.h"

#include "bmp_writer.h"
#include "command_line.h"
#include "data_parser.h"
#include "data_writer.h"
#include "file_io.h"
#include "messages.h"
#include "output_file.h"

namespace {

// The preview of a parsed data file: a 24-bit BMP of its colours.
Outcome encodePreview(const DataImage &image, std::string &bmp) {
    std::vector<std::uint8_t> rgb;
    const Outcome found = expandColors(image.values, rgb);
    return found.ok() ? encodeBmp(image.width, image.height, rgb, bmp) : found;
}

Outcome writePreview(const std::string &base) {
    std::string text;
    Outcome found = readWholeFile(base + ".data", text);
    std::vector<DataImage> blocks;
    if (found.ok()) {
        found = parseDataBlocks(text, blocks);
    }
    // Every block is checked before anything is printed: one under another.
    DataImage image;
    if (found.ok()) {
        found = stackBlocks(blocks, text.size(), image);
    }
    if (!found.ok()) {
        return found;
    }
    for (const DataImage &block : blocks) {
        printLine(sizeLine(block.width, block.height));
    }
    std::vector<DataImage>().swap(blocks);
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
