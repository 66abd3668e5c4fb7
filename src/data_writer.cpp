#include "data_writer.h"

#include "bmp_reader.h"

#include <algorithm>
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

// "N," for every colour byte N, padded to four bytes so that each can be
// copied with one fixed-size copy; `length` says how many bytes count.
struct ValueText {
    std::array<char, 4> text;
    std::uint32_t length;
};

struct ColorTables {
    LevelTable redGreen = levelTable(7.0);
    LevelTable blue = levelTable(3.0);
    std::array<ValueText, 256> texts{};

    ColorTables() {
        for (std::size_t value = 0; value < texts.size(); ++value) {
            const std::string text = std::to_string(value) + ',';
            std::memcpy(texts[value].text.data(), text.data(), text.size());
            texts[value].length = static_cast<std::uint32_t>(text.size());
        }
    }

    std::uint8_t pack(std::uint8_t red, std::uint8_t green, std::uint8_t blueComponent) const {
        return static_cast<std::uint8_t>(blue[blueComponent] << 6U | redGreen[green] << 3U |
                                         redGreen[red]);
    }
};

const ColorTables &colorTables() {
    static const ColorTables tables;
    return tables;
}

} // namespace

std::uint8_t packColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return colorTables().pack(red, green, blue);
}

namespace {

// Formats one row of pixels as text at `end`; returns the end of the text.
char *formatRow(const ColorTables &tables, const std::uint8_t *pixel, std::size_t rowBytes,
                char *end) {
    for (std::size_t p = 0; p < rowBytes; p += 3) {
        const ValueText &value = tables.texts[tables.pack(pixel[p], pixel[p + 1], pixel[p + 2])];
        std::memcpy(end, value.text.data(), value.text.size());
        end += value.length;
    }
    *end++ = '\n';
    return end;
}

// Text is handed to the stream in blocks of about this size (or one row, if a
// row is longer), so that the stream copies nothing and writes seldom.
constexpr std::size_t writeBlockBytes = std::size_t{1} << 16U;

} // namespace

void writeData(std::ostream &out, const std::string &label) {
    out << label << ": .word " << width << ", " << height << "\n.byte ";
    if (width > 0 && height > 0 && texels) {
        const ColorTables &tables = colorTables();
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        // At most four bytes a pixel ("255,") and the line end.
        const std::size_t maxRowText = static_cast<std::size_t>(width) * 4 + 1;
        std::vector<char> block(std::max(writeBlockBytes, maxRowText));
        char *end = block.data();
        // Rows are stored bottom-up; the top row is written first.
        for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
            if (static_cast<std::size_t>(block.data() + block.size() - end) < maxRowText) {
                out.write(block.data(), end - block.data());
                end = block.data();
            }
            end = formatRow(tables, texels.get() + row * rowBytes, rowBytes, end);
        }
        out.write(block.data(), end - block.data());
    }
    out << "\n\n";
}
