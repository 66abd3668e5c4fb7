#include "data_parser.h"

#include "display/tiles.h"
#include "memory.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <utility>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a digit in `base` (10 or 16), or nothing.
std::optional<std::uint64_t> digitOf(char c, std::uint64_t base) {
    if (isDigit(c)) {
        return static_cast<std::uint64_t>(c - '0');
    }
    const char lower = static_cast<char>(c | 0x20);
    if (base == 16 && lower >= 'a' && lower <= 'f') {
        return static_cast<std::uint64_t>(lower - 'a' + 10);
    }
    return std::nullopt;
}

// Walks the text token by token, counting lines.
class Scanner {
  public:
    explicit Scanner(const std::string &text) : text_(text) {}

    // Skips spaces, tabs, carriage returns, line ends and "#" comments.
    void skipBlank() {
        for (skipSpaces(); position_ < text_.size() && text_[position_] == '\n'; skipSpaces()) {
            ++line_;
            ++position_;
        }
    }

    // Skips spaces, tabs, carriage returns and a "#" comment up to the line end.
    void skipSpaces() {
        while (position_ < text_.size() && isSpace(text_[position_])) {
            ++position_;
        }
        if (position_ < text_.size() && text_[position_] == '#') {
            skipLine();
        }
    }

    // Whether the line ends here (or the text does).
    bool atLineEnd() const {
        return position_ >= text_.size() || text_[position_] == '\n';
    }

    bool atEnd() const {
        return position_ >= text_.size();
    }

    bool take(char c) {
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }

    bool takeWord(const std::string &word) {
        if (text_.compare(position_, word.size(), word) == 0) {
            position_ += word.size();
            return true;
        }
        return false;
    }

    // Reads a decimal number, or a hexadecimal one after "0x"; false if
    // none stands here. Values beyond `limit` are reported as limit + 1
    // without overflowing.
    bool number(std::uint64_t limit, std::uint64_t &value) {
        if (position_ >= text_.size() || !isDigit(text_[position_])) {
            return false;
        }
        const bool hexadecimal =
            (text_.compare(position_, 2, "0x") == 0 || text_.compare(position_, 2, "0X") == 0) &&
            position_ + 2 < text_.size() && digitOf(text_[position_ + 2], 16);
        const std::uint64_t base = hexadecimal ? 16 : 10;
        position_ += hexadecimal ? 2 : 0;
        value = 0;
        while (position_ < text_.size()) {
            const std::optional<std::uint64_t> digit = digitOf(text_[position_], base);
            if (!digit) {
                break;
            }
            value = std::min(limit + 1, value * base + *digit);
            ++position_;
        }
        return true;
    }

    // The rest of the current token, for messages.
    std::string token() const {
        std::size_t end = position_;
        while (end < text_.size() && !isSpace(text_[end]) && text_[end] != '\n' &&
               text_[end] != ',' && end - position_ < 20) {
            ++end;
        }
        return position_ == text_.size() ? "end of file"
                                         : "'" + text_.substr(position_, end - position_) + "'";
    }

    std::string restOfLine() const {
        const std::size_t end = text_.find('\n', position_);
        return text_.substr(position_,
                            end == std::string::npos ? std::string::npos : end - position_);
    }

    // Whether a block's ".word" line starts here.
    bool atWordLine() const {
        return position_ < text_.size() && !isDigit(text_[position_]) &&
               restOfLine().find(".word") != std::string::npos;
    }

    void skipLine() {
        const std::size_t end = text_.find('\n', position_);
        position_ = end == std::string::npos ? text_.size() : end;
    }

    std::size_t line() const {
        return line_;
    }

    std::size_t size() const {
        return text_.size();
    }

  private:
    const std::string &text_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
};

Outcome failure(const Scanner &scanner, const std::string &what) {
    return fail(Failure::badData, what, scanner.line());
}

constexpr std::uint64_t maxDimension = std::numeric_limits<std::int32_t>::max();
const char *const wordLineExpected = "expected 'LABEL: .word WIDTH, HEIGHT'";

// Reads one dimension and the spaces after it; a failure names `line`.
Outcome readDimension(Scanner &fields, std::size_t line, std::uint64_t &value) {
    fields.skipSpaces();
    if (fields.take('-')) {
        return fail(Failure::badData, "negative size", line);
    }
    if (!fields.number(maxDimension, value)) {
        return fail(Failure::badData, wordLineExpected, line);
    }
    if (value > maxDimension) {
        return fail(Failure::badData, "absurd size: over " + std::to_string(maxDimension), line);
    }
    fields.skipSpaces();
    return {};
}

// A block's ".word" line: its label, and two numbers (a picture's width and
// height) or four (a tile map's columns and rows, and its tiles' size).
struct WordLine {
    std::string label;
    std::array<std::uint64_t, 4> numbers{};
    std::size_t count = 0;
    std::size_t line = 0;

    bool isMap() const {
        return count == 4;
    }
};

// "LABEL: .word W, H" or "LABEL: .word C, R, TW, TH": the label is anything
// before the last ": .word".
Outcome parseWordLine(Scanner &scanner, WordLine &word) {
    const std::string whole = scanner.restOfLine();
    const std::string line = whole.substr(0, whole.find('#'));
    const std::size_t at = line.rfind(".word");
    if (at == std::string::npos) {
        return failure(scanner, wordLineExpected);
    }
    std::size_t colon = at;
    while (colon > 0 && isSpace(line[colon - 1])) {
        --colon;
    }
    if (colon == 0 || line[colon - 1] != ':') {
        return failure(scanner, wordLineExpected);
    }
    word.label = line.substr(0, colon - 1);
    word.line = scanner.line();
    const std::string numbers = line.substr(at + 5);
    Scanner fields(numbers);
    Outcome found;
    for (word.count = 0; found.ok() && word.count < 4; ++word.count) {
        if (word.count > 0 && !fields.take(',')) {
            break;
        }
        found = readDimension(fields, scanner.line(), word.numbers[word.count]);
    }
    if (found.ok() && (!fields.atEnd() || word.count == 1 || word.count == 3)) {
        found = failure(scanner, wordLineExpected);
    }
    if (!found.ok()) {
        return found;
    }
    // Every value takes at least two bytes ("0,"), so a size that the text
    // cannot hold is refused before anything is allocated.
    const auto [w, h] = std::pair{word.numbers[0], word.numbers[1]};
    if (w * h > scanner.size() / 2) {
        return failure(scanner, "absurd size " + std::to_string(w) + " x " + std::to_string(h) +
                                    " for a file of " + std::to_string(scanner.size()) + " bytes");
    }
    scanner.skipLine();
    return {};
}

// The values after ".byte" or ".half": exactly `count`, each at most `most`,
// each handed to `store(index, value)` (which may refuse it).
template <typename Store>
Outcome parseValues(Scanner &scanner, std::uint64_t count, std::uint64_t most, const Store &store) {
    std::uint64_t taken = 0;
    for (;;) {
        scanner.skipBlank();
        if (scanner.atWordLine()) {
            break; // the next block
        }
        std::uint64_t value = 0;
        if (!scanner.number(most, value)) {
            if (scanner.atEnd()) {
                break;
            }
            return failure(scanner,
                           scanner.token() + " is not a number from 0 to " + std::to_string(most));
        }
        if (value > most) {
            return failure(scanner, "value over " + std::to_string(most));
        }
        if (taken == count) {
            return failure(scanner, "too many values: more than " + std::to_string(count));
        }
        Outcome stored = store(taken++, value);
        if (!stored.ok()) {
            return stored;
        }
        scanner.skipSpaces();
        // The comma after a line's last value may be left out.
        if (!scanner.take(',') && !scanner.atLineEnd()) {
            return failure(scanner, "expected ',' after a value, found " + scanner.token());
        }
    }
    if (taken < count) {
        return failure(scanner,
                       "too few values: " + std::to_string(taken) + " of " + std::to_string(count));
    }
    return {};
}

// A picture's colour bytes.
Outcome parsePicture(Scanner &scanner, const WordLine &word, DataImage &block) {
    if (!scanner.takeWord(".byte")) {
        return failure(scanner, scanner.restOfLine().compare(0, 5, ".half") == 0
                                    ? "'.half' is taken only in a tile map"
                                    : "expected '.byte', found " + scanner.token());
    }
    block.width = static_cast<std::uint32_t>(word.numbers[0]);
    block.height = static_cast<std::uint32_t>(word.numbers[1]);
    // Within the text's size, which was checked against the count.
    Outcome found = allocate(block.values, {block.width, block.height});
    if (!found.ok()) {
        return found;
    }
    return parseValues(scanner, block.values.size(), 255,
                       [&block](std::uint64_t index, std::uint64_t value) {
                           block.values[index] = static_cast<std::uint8_t>(value);
                           return Outcome{};
                       });
}

// A level drawn from at most this many pixels for each byte of its text.
constexpr std::uint64_t levelPixelsPerByte = 1024;

// The tile set a map draws from: the block before it, "X_tiles" for the
// map's "X_map", as wide as a tile and a whole number of tiles high.
Outcome findTileSet(const WordLine &word, DataImage *tileSet, TileMap &map) {
    const std::string suffix = "_map";
    const std::size_t stem = word.label.size() - std::min(word.label.size(), suffix.size());
    const bool named = word.label.size() > suffix.size() && word.label.substr(stem) == suffix;
    const std::string tilesLabel = word.label.substr(0, stem) + "_tiles";
    map.columns = static_cast<std::uint32_t>(word.numbers[0]);
    map.rows = static_cast<std::uint32_t>(word.numbers[1]);
    map.tileWidth = static_cast<std::uint32_t>(word.numbers[2]);
    map.tileHeight = static_cast<std::uint32_t>(word.numbers[3]);
    if (!named || tileSet == nullptr || tileSet->label != tilesLabel || tileSet->drawnByMap ||
        map.tileWidth == 0 || map.tileHeight == 0 || tileSet->width != map.tileWidth ||
        tileSet->height % map.tileHeight != 0) {
        return fail(Failure::badData,
                    "a tile map comes directly after its tile set: 'X_map' after 'X_tiles', "
                    "the tile set as wide as a tile and a whole number of tiles high",
                    word.line);
    }
    return {};
}

// A tile map's entries, and the level they draw from the tile set before it.
Outcome parseMap(Scanner &scanner, const WordLine &word, DataImage *tileSet, std::size_t textSize,
                 DataImage &block) {
    TileMap map;
    Outcome found = findTileSet(word, tileSet, map);
    if (!found.ok()) {
        return found;
    }
    const std::uint64_t levelWidth = std::uint64_t{map.columns} * map.tileWidth;
    const std::uint64_t levelHeight = std::uint64_t{map.rows} * map.tileHeight;
    if (levelWidth > maxDimension || levelHeight > maxDimension ||
        levelWidth * levelHeight > levelPixelsPerByte * textSize) {
        return fail(Failure::badData,
                    "absurd size " + std::to_string(levelWidth) + " x " +
                        std::to_string(levelHeight) + " for a tile map in a file of " +
                        std::to_string(textSize) + " bytes",
                    word.line);
    }
    scanner.skipBlank();
    map.mirrored = scanner.takeWord(".half"); // its entries may have mirror bits
    if (!map.mirrored && !scanner.takeWord(".byte")) {
        return failure(scanner, "expected '.byte' or '.half', found " + scanner.token());
    }
    map.tiles = std::move(tileSet->values);
    const std::uint32_t count = map.distinct();
    found = allocate(map.entries, {map.columns, map.rows});
    if (found.ok()) {
        const bool bits = entriesHaveMirrorBits(map);
        found = parseValues(scanner, map.entries.size(), map.mirrored ? 65535 : 255,
                            [&](std::uint64_t index, std::uint64_t value) {
                                const std::uint64_t number =
                                    bits ? value % maxMirroredTiles : value;
                                if (number >= count) {
                                    return failure(scanner, "tile " + std::to_string(number) +
                                                                " is not in the tile set of " +
                                                                std::to_string(count));
                                }
                                map.entries[index] = static_cast<std::uint32_t>(value);
                                return Outcome{};
                            });
    }
    if (found.ok()) {
        found = drawTileMap(map, block.values);
    }
    tileSet->values = std::move(map.tiles);
    tileSet->drawnByMap = true;
    block.isMap = true;
    block.width = static_cast<std::uint32_t>(levelWidth);
    block.height = static_cast<std::uint32_t>(levelHeight);
    return found;
}

// One block, from its ".word" line to its last value; `previous` is the
// block before it, if any.
Outcome parseBlock(Scanner &scanner, DataImage *previous, DataImage &block) {
    block.line = scanner.line();
    WordLine word;
    Outcome found = parseWordLine(scanner, word);
    if (!found.ok()) {
        return found;
    }
    block.label = word.label;
    scanner.skipBlank();
    return word.isMap() ? parseMap(scanner, word, previous, scanner.size(), block)
                        : parsePicture(scanner, word, block);
}

Outcome parseBlocks(const std::string &text, std::vector<DataImage> &blocks) {
    Scanner scanner(text);
    scanner.skipBlank();
    // A hand-made file may open the data segment before its first label.
    if (scanner.takeWord(".data")) {
        scanner.skipSpaces();
        if (!scanner.atLineEnd()) {
            return failure(scanner,
                           "expected the line end after '.data', found " + scanner.token());
        }
        scanner.skipBlank();
    }
    if (scanner.atEnd()) {
        return failure(scanner, "missing '.word' line");
    }
    std::vector<DataImage> parsed;
    while (!scanner.atEnd()) {
        parsed.emplace_back();
        DataImage *previous = parsed.size() > 1 ? &parsed[parsed.size() - 2] : nullptr;
        Outcome found = parseBlock(scanner, previous, parsed.back());
        if (!found.ok()) {
            return found;
        }
        scanner.skipBlank();
    }
    blocks = std::move(parsed);
    return {};
}

// The stacked picture's size: the blocks with pixels, one under another.
// Past this many pixels for each byte of the text, the black around narrow
// blocks would be absurd.
constexpr std::uint64_t stackedPixelsPerByte = 8;

Outcome stackWithin(const std::vector<DataImage> &blocks, std::size_t textSize,
                    DataImage &stacked) {
    std::vector<const DataImage *> shown;
    // A level is bounded on its own when it is read; the black beside it is not.
    std::uint64_t allowed = stackedPixelsPerByte * textSize;
    for (const DataImage &block : blocks) {
        if (!block.drawnByMap) {
            shown.push_back(&block);
        }
        if (block.isMap) {
            allowed += std::uint64_t{block.width} * block.height;
        }
    }
    if (shown.size() == 1) {
        stacked = *shown.front();
        return {};
    }
    std::uint64_t columns = 0;
    std::uint64_t rows = 0;
    for (const DataImage *block : shown) {
        if (!block->values.empty()) {
            columns = std::max<std::uint64_t>(columns, block->width);
            rows += block->height;
            if (columns * rows > allowed) {
                return fail(Failure::badData,
                            "absurd size " + std::to_string(columns) + " x " +
                                std::to_string(rows) + " for the blocks stacked in a file of " +
                                std::to_string(textSize) + " bytes",
                            block->line);
            }
        }
    }
    DataImage picture;
    picture.width = static_cast<std::uint32_t>(columns);
    picture.height = static_cast<std::uint32_t>(rows);
    Outcome found = allocate(picture.values, {columns, rows});
    if (!found.ok()) {
        return found;
    }
    std::fill(picture.values.begin(), picture.values.end(), std::uint8_t{0});
    auto target = picture.values.begin();
    for (const DataImage *block : shown) {
        for (std::size_t row = 0; !block->values.empty() && row < block->height; ++row) {
            const auto first =
                block->values.begin() + static_cast<std::ptrdiff_t>(row * block->width);
            std::copy(first, first + block->width, target);
            target += static_cast<std::ptrdiff_t>(columns);
        }
    }
    stacked = std::move(picture);
    return {};
}

} // namespace

Outcome parseDataBlocks(const std::string &text, std::vector<DataImage> &blocks) {
    blocks.clear();
    return guarded([&] { return parseBlocks(text, blocks); });
}

Outcome stackBlocks(const std::vector<DataImage> &blocks, std::size_t textSize,
                    DataImage &stacked) {
    return guarded([&] { return stackWithin(blocks, textSize, stacked); });
}

Outcome parseData(const std::string &text, DataImage &image) {
    image = DataImage{};
    std::vector<DataImage> blocks;
    Outcome found = parseDataBlocks(text, blocks);
    if (!found.ok()) {
        return found; // moved, not copied: a copy could run out of memory
    }
    return stackBlocks(blocks, text.size(), image);
}
