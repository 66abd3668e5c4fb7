#include "data_writer.h"

#include "bmp_reader.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// The level tables hold, for every component value, the level that the
// double-precision formula round(component × top / 255) gives; the formula is
// evaluated once per value here instead of three times per pixel.
using LevelTable = std::array<std::uint8_t, 256>;

LevelTable levelTable(double top) {
    LevelTable table{};
    for (std::size_t component = 0; component < table.size(); ++component) {
        table[component] =
            static_cast<std::uint8_t>(std::round(static_cast<double>(component) * top / 255.0));
    }
    return table;
}

const LevelTable &redGreenLevels() {
    static const LevelTable table = levelTable(7.0);
    return table;
}

const LevelTable &blueLevels() {
    static const LevelTable table = levelTable(3.0);
    return table;
}

// "N," for every colour byte N, padded to four bytes so that each can be
// copied with one fixed-size copy; `length` says how many bytes count.
struct ValueText {
    std::array<char, 4> text;
    std::size_t length;
};

std::array<ValueText, 256> makeValueTexts() {
    std::array<ValueText, 256> texts{};
    for (std::size_t value = 0; value < texts.size(); ++value) {
        const std::string text = std::to_string(value) + ',';
        std::memcpy(texts[value].text.data(), text.data(), text.size());
        texts[value].length = text.size();
    }
    return texts;
}

const std::array<ValueText, 256> &valueTexts() {
    static const std::array<ValueText, 256> texts = makeValueTexts();
    return texts;
}

} // namespace

std::uint8_t packColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const LevelTable &redGreen = redGreenLevels();
    return static_cast<std::uint8_t>(blueLevels()[blue] << 6U | redGreen[green] << 3U |
                                     redGreen[red]);
}

void writeData(std::ostream &out, const std::string &label) {
    out << label << ": .word " << width << ", " << height << "\n.byte ";
    if (width > 0 && height > 0 && texels) {
        const auto &texts = valueTexts();
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        // One row of text at a time: at most four bytes a pixel and the line end.
        std::vector<char> line(static_cast<std::size_t>(width) * 4 + 1);
        // Rows are stored bottom-up; the top row is written first.
        for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
            const std::uint8_t *pixel = texels.get() + row * rowBytes;
            char *end = line.data();
            for (std::size_t p = 0; p < rowBytes; p += 3) {
                const ValueText &value = texts[packColor(pixel[p], pixel[p + 1], pixel[p + 2])];
                std::memcpy(end, value.text.data(), value.text.size());
                end += value.length;
            }
            *end++ = '\n';
            out.write(line.data(), end - line.data());
        }
    }
    out << "\n\n";
}
