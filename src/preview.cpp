#include "preview.h"

#include "bmp_writer.h"
#include "command_line.h"
#include "data_parser.h"
#include "output_file.h"
#include "platform.h"

#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>

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

bool readWholeFile(const std::string &name, std::string &text) {
    std::ifstream in;
    openForReading(in, name);
    if (!in) {
        return false;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return true;
}

} // namespace

std::vector<std::uint8_t> expandColors(const std::vector<std::uint8_t> &values) {
    static const std::array<std::uint8_t, 8> redGreenValues = makeRedGreenValues();
    std::vector<std::uint8_t> rgb;
    rgb.reserve(values.size() * 3);
    for (const std::uint8_t value : values) {
        rgb.push_back(redGreenValues[value & 7U]);
        rgb.push_back(redGreenValues[(value >> 3U) & 7U]);
        rgb.push_back(static_cast<std::uint8_t>((value >> 6U) * 85U));
    }
    return rgb;
}

int runPreview(const std::vector<std::string> &arguments) {
    if (!takesOneArgument(
            arguments, "data2bmp",
            " file <.data>\nConverte um arquivo .data gerado pelo bmp2data em um "
            ".bmp com 24 bits/pixel (file.preview.bmp) para ver as cores reduzidas\n")) {
        return 1;
    }
    const std::string &base = arguments[1];
    std::string text;
    if (!readWholeFile(base + ".data", text)) {
        std::cout << "Error: fopen failed\n";
        return 1;
    }
    const DataParseResult parsed = parseData(text);
    if (!parsed.ok) {
        std::cout << "Error: bad data file (line " << parsed.errorLine << "): " << parsed.error
                  << '\n';
        return 1;
    }
    const DataImage &image = parsed.image;
    std::cout << "size:" << image.width << " x " << image.height << '\n';
    const std::string output = base + ".preview.bmp";
    const auto writeBmp = [&image](std::ostream &out) {
        out << encodeBmp(image.width, image.height, expandColors(image.values));
    };
    if (!writeFileReplacing(output, writeBmp, FileMode::binary)) {
        std::cout << "Error: cannot write " << output << '\n';
        return 1;
    }
    return 0;
}
