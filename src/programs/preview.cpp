#include "preview.h"

#include "command_line.h"
#include "data_preview.h"
#include "file_io.h"
#include "messages.h"
#include "output_file.h"

namespace {

Outcome writePreview(const std::string &base) {
    // Every block is checked before anything is printed.
    DataPreview preview;
    {
        std::string text;
        Outcome found = readWholeFile(base + ".data", text);
        if (found.ok()) {
            found = stackDataText(text, preview);
        }
        if (!found.ok()) {
            return found;
        }
    }
    for (const auto &[width, height] : preview.blockSizes) {
        printLine(sizeLine(width, height));
    }
    std::string bmp;
    std::vector<std::uint8_t> rgb;
    Outcome found = encodePreview(preview.image, rgb, bmp);
    if (!found.ok()) {
        return found;
    }
    std::vector<std::uint8_t>().swap(rgb);
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
