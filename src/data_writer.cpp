#include "data_writer.h"

#include "bmp/bmp_decoder.h"
#include "memory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
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
            ValueText &text = texts[value];
            std::uint32_t length = 0;
            for (std::size_t place = value >= 100  ? 100
                                     : value >= 10 ? 10
                                                   : 1;
                 place > 0; place /= 10) {
                text.text[length++] = static_cast<char>('0' + value / place % 10);
            }
            text.text[length++] = ',';
            text.length = length;
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

std::array<std::uint8_t, 3> unpackColor(std::uint8_t value) {
    static const std::array<std::uint8_t, 8> redGreen = [] {
        std::array<std::uint8_t, 8> levels{};
        for (std::size_t level = 0; level < levels.size(); ++level) {
            levels[level] =
                static_cast<std::uint8_t>(std::lround(static_cast<double>(level) * 255.0 / 7.0));
        }
        return levels;
    }();
    return {redGreen[value & 7U], redGreen[(value >> 3U) & 7U],
            static_cast<std::uint8_t>((value >> 6U) * 85U)};
}

Outcome expandColors(const std::vector<std::uint8_t> &values, std::vector<std::uint8_t> &rgb) {
    Outcome found = allocate(rgb, {values.size(), 3});
    if (found.ok()) {
        std::uint8_t *target = rgb.data();
        for (const std::uint8_t value : values) {
            const std::array<std::uint8_t, 3> colour = unpackColor(value);
            std::memcpy(target, colour.data(), 3);
            target += 3;
        }
    }
    return found;
}

namespace {

// Text is handed to the stream in blocks of this size, so that the stream
// copies nothing and writes seldom. Rows longer than a block are formatted in
// pieces: no memory grows with the picture's width.
constexpr std::size_t writeBlockBytes = std::size_t{1} << 16U;
// The longest text of one value: "255,".
constexpr std::size_t maxValueText = 4;

class TextBlock {
  public:
    // `bytes`: at most writeBlockBytes, and no more than the text needs
    // (small pictures, such as a sheet's frames, are written by the thousand).
    TextBlock(std::ostream &out, std::size_t bytes)
        : out_(out), text_(std::max(bytes, maxValueText + 1)), end_(text_.data()) {}

    // Formats as many of `count` pixels as fit; returns how many did.
    std::size_t formatPixels(const ColorTables &tables, const std::uint8_t *pixel,
                             std::size_t count) {
        const std::size_t fitting = std::min(count, room() / maxValueText);
        for (std::size_t i = 0; i < fitting; ++i, pixel += 3) {
            put(tables.texts[tables.pack(pixel[0], pixel[1], pixel[2])]);
        }
        return fitting;
    }

    // The same for colour bytes already made.
    std::size_t formatValues(const ColorTables &tables, const std::uint8_t *value,
                             std::size_t count) {
        const std::size_t fitting = std::min(count, room() / maxValueText);
        for (std::size_t i = 0; i < fitting; ++i) {
            put(tables.texts[value[i]]);
        }
        return fitting;
    }

    void endLine() {
        if (room() == 0) {
            flush();
        }
        *end_++ = '\n';
    }

    // Makes room for at least one more value.
    void flushIfFull() {
        if (room() < maxValueText) {
            flush();
        }
    }

    void flush() {
        out_.write(text_.data(), end_ - text_.data());
        end_ = text_.data();
    }

  private:
    void put(const ValueText &value) {
        std::memcpy(end_, value.text.data(), value.text.size());
        end_ += value.length;
    }

    std::size_t room() const {
        return static_cast<std::size_t>(text_.data() + text_.size() - end_);
    }

    std::ostream &out_;
    std::vector<char> text_;
    char *end_;
};

} // namespace

Outcome dataHeader(const std::string &label, std::int64_t width, std::int64_t height,
                   std::string &header) {
    return guarded([&] {
        header =
            label + ": .word " + std::to_string(width) + ", " + std::to_string(height) + "\n.byte ";
        return Outcome{};
    });
}

namespace {

// Rows of a picture as text, each ending its line: `format(block, row,
// first, count)` formats values first.. of row `row` (counted in the order
// written) as far as they fit and says how many did.
template <typename Format>
void writeRowLines(std::ostream &out, std::size_t columns, std::size_t rows, const Format &format) {
    if (columns > 0 && rows > 0) {
        // Every row's values and its line end, if that is less than a block.
        const std::uint64_t needed = (std::uint64_t{columns} * maxValueText + 1) * rows;
        TextBlock block(out,
                        static_cast<std::size_t>(std::min<std::uint64_t>(needed, writeBlockBytes)));
        for (std::size_t row = 0; row < rows; ++row) {
            for (std::size_t done = 0; done < columns;) {
                block.flushIfFull();
                done += format(block, row, done, columns - done);
            }
            block.endLine();
        }
        block.flush();
    }
}

// All the rows of a picture, top row first, and the text's end.
template <typename Format>
void writeRows(std::ostream &out, std::size_t columns, std::size_t rows, const Format &format) {
    writeRowLines(out, columns, rows, format);
    writeDataEnd(out);
}

} // namespace

Outcome writeDataRows(std::ostream &out) {
    return guarded([&] {
        const ColorTables &tables = colorTables();
        const auto columns = static_cast<std::size_t>(texels ? std::max(width, 0) : 0);
        const auto rows = static_cast<std::size_t>(std::max(height, 0));
        // Rows are stored bottom-up; the top row is written first.
        writeRows(out, columns, rows,
                  [&](TextBlock &block, std::size_t row, std::size_t first, std::size_t count) {
                      const std::uint8_t *pixel =
                          texels.get() + ((rows - 1 - row) * columns + first) * 3;
                      return block.formatPixels(tables, pixel, count);
                  });
        return Outcome{};
    });
}

Outcome writeValueRows(std::ostream &out, const std::vector<std::uint8_t> &values,
                       std::size_t columns, std::size_t rows) {
    return guarded([&] {
        const ColorTables &tables = colorTables();
        writeRows(out, columns, rows,
                  [&](TextBlock &block, std::size_t row, std::size_t first, std::size_t count) {
                      return block.formatValues(tables, values.data() + row * columns + first,
                                                count);
                  });
        return Outcome{};
    });
}

Outcome writePixelRows(std::ostream &out, std::size_t columns, std::size_t rows,
                       const std::function<const std::uint8_t *(std::size_t)> &rowAt) {
    return guarded([&] {
        const ColorTables &tables = colorTables();
        writeRowLines(out, columns, rows,
                      [&](TextBlock &block, std::size_t row, std::size_t first, std::size_t count) {
                          return block.formatPixels(tables, rowAt(row) + first * 3, count);
                      });
        return Outcome{};
    });
}

void writeDataEnd(std::ostream &out) {
    out << "\n\n";
}

Outcome writeData(std::ostream &out, const std::string &label) {
    std::string header;
    Outcome found = dataHeader(label, width, height, header);
    if (found.ok()) {
        out << header;
        found = writeDataRows(out);
    }
    return found;
}
