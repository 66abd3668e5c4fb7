// A level cut into tiles must be the level again when its map is drawn,
// whether drawn from the cut itself or from its text read back.
#include "data_parser.h"
#include "data_writer.h"
#include "display/tiles.h"
#include "job.h"
#include "test_support.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Level {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bytes; // top row first
};

// A level of `columns` × `rows` tiles drawn from a pool of a few, each
// placed as it is or mirrored, with `extra` columns and rows of noise left
// over (fewer than a tile's side).
Level generatedLevel(std::mt19937 &random, std::uint32_t tileWidth, std::uint32_t tileHeight,
                     std::uint32_t columns, std::uint32_t rows, std::uint32_t extra) {
    const std::size_t tileBytes = std::size_t{tileWidth} * tileHeight;
    std::vector<std::vector<std::uint8_t>> pool(1 + random() % 6);
    for (auto &tile : pool) {
        for (std::size_t i = 0; i < tileBytes; ++i) {
            tile.push_back(
                static_cast<std::uint8_t>(random() % 4)); // few colours: symmetry happens
        }
    }
    Level level{columns * tileWidth + extra, rows * tileHeight + extra, {}};
    level.bytes.resize(std::size_t{level.width} * level.height);
    std::generate(level.bytes.begin(), level.bytes.end(),
                  [&random] { return static_cast<std::uint8_t>(random()); });
    for (std::uint32_t row = 0; row < rows; ++row) {
        for (std::uint32_t column = 0; column < columns; ++column) {
            const auto &tile = pool[random() % pool.size()];
            const std::uint32_t mirror = random() % 4;
            for (std::uint32_t y = 0; y < tileHeight; ++y) {
                for (std::uint32_t x = 0; x < tileWidth; ++x) {
                    const std::uint32_t fromX = (mirror & 1U) != 0 ? tileWidth - 1 - x : x;
                    const std::uint32_t fromY = (mirror & 2U) != 0 ? tileHeight - 1 - y : y;
                    level.bytes[(std::size_t{row} * tileHeight + y) * level.width +
                                std::size_t{column} * tileWidth + x] =
                        tile[std::size_t{fromY} * tileWidth + fromX];
                }
            }
        }
    }
    return level;
}

// The level less its leftover columns and rows.
std::vector<std::uint8_t> cropped(const Level &level, std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> kept;
    for (std::uint32_t y = 0; y < height; ++y) {
        const auto row = level.bytes.begin() + static_cast<std::ptrdiff_t>(y) * level.width;
        kept.insert(kept.end(), row, row + width);
    }
    return kept;
}

TileChoices choicesOf(std::uint32_t tileWidth, std::uint32_t tileHeight, bool mirrored) {
    return {std::to_string(tileWidth), std::to_string(tileHeight), mirrored};
}

TEST(Tiles, GeneratedLevelsAreDrawnAgainFromTheirMapsAndTheirText) {
    std::mt19937 random(2026); // NOLINT(cert-msc32-c,cert-msc51-cpp): the same levels every run
    for (int round = 0; round < 60; ++round) {
        const std::uint32_t tileWidth = 1 + random() % 5;
        const std::uint32_t tileHeight = 1 + random() % 5;
        const Level level =
            generatedLevel(random, tileWidth, tileHeight, 1 + random() % 9, 1 + random() % 9,
                           random() % std::min(tileWidth, tileHeight));
        const bool mirrored = round % 2 == 1;
        SCOPED_TRACE(std::to_string(round) + ": " + std::to_string(tileWidth) + " x " +
                     std::to_string(tileHeight) + (mirrored ? ", mirrored" : ""));
        TileMap map;
        ASSERT_TRUE(
            layOutTiles(choicesOf(tileWidth, tileHeight, mirrored), level.width, level.height, map)
                .ok());
        ASSERT_TRUE(collectTiles(level.bytes, level.width, map).ok());
        const std::vector<std::uint8_t> expected =
            cropped(level, map.columns * tileWidth, map.rows * tileHeight);
        std::vector<std::uint8_t> drawn;
        ASSERT_TRUE(drawTileMap(map, drawn).ok());
        EXPECT_EQ(drawn, expected);
        EXPECT_LE(map.distinct(), mirrored ? 6U : 24U); // six tiles in the pool at most

        std::ostringstream text;
        TileTextStarts starts;
        ASSERT_TRUE(writeTileText(
                        text, map, "level", [&text] { return text.str().size(); }, starts)
                        .ok());
        DataImage read;
        const Outcome parsed = parseData(text.str(), read);
        ASSERT_TRUE(parsed.ok()) << messageOf(parsed) << "\n" << text.str();
        EXPECT_EQ(read.values, expected);
        EXPECT_EQ(text.str().substr(starts.mapLine, 10), "level_map:");
    }
}

TEST(Tiles, MoreDistinctTilesThanAMapCanNumberAreRefused) {
    // 65,537 tiles of 1 x 3, no two alike: tile i holds the bytes of i.
    const std::uint32_t count = maxTiles + 1;
    std::vector<std::uint8_t> bytes(std::size_t{count} * 3);
    for (std::uint32_t i = 0; i < count; ++i) {
        for (std::uint32_t y = 0; y < 3; ++y) {
            bytes[y * count + i] = static_cast<std::uint8_t>(i >> (8 * y));
        }
    }
    for (const std::uint32_t columns : {count - 1, count}) {
        TileMap map;
        ASSERT_TRUE(layOutTiles(choicesOf(1, 3, false), columns, 3, map).ok());
        std::vector<std::uint8_t> level;
        for (std::uint32_t y = 0; y < 3; ++y) {
            const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(y) * count;
            level.insert(level.end(), first, first + columns);
        }
        const Outcome found = collectTiles(level, columns, map);
        EXPECT_EQ(
            messageOf(found),
            columns == maxTiles
                ? ""
                : "Error: bad tiles (more than 65536 distinct tiles, the most a map can number)");
    }
}

// The hand-worked levels' texts draw the level that bmp2data writes whole,
// less the column and the row left over.
TEST(Tiles, HandWorkedTileTextsDrawTheWholePicturesData) {
    const std::string cases = BMP2DATA_JOB_CASES;
    if (!fileExists(cases)) {
        GTEST_SKIP() << "the job cases in " << cases << " cannot be reached from here";
    }
    // The whole picture's data, as bmp2data writes it.
    const std::string bmp = readFile(cases + "/level.bmp");
    Job job;
    job.name = "level.bmp";
    job.size = bmp.size();
    StringSink sink;
    const JobResult result = runJob(job, memoryReader(bmp), sink);
    std::string header;
    ASSERT_TRUE(dataHeader("level", result.width, result.height, header).ok());
    DataImage whole;
    ASSERT_TRUE(parseData(header + sink.text, whole).ok());
    ASSERT_EQ(whole.values.size(), 9U * 5U);
    std::vector<std::uint8_t> expected;
    for (std::size_t at = 0; at < std::size_t{9} * 4; ++at) {
        if (at % 9 != 8) {
            expected.push_back(whole.values[at]);
        }
    }
    for (const char *name : {"level-plain.data", "level-mirrored.data"}) {
        DataImage read;
        ASSERT_TRUE(parseData(readFile(cases + "/" + name), read).ok()) << name;
        EXPECT_EQ(std::vector<std::uint32_t>({read.width, read.height}),
                  std::vector<std::uint32_t>({8, 4}));
        EXPECT_EQ(read.values, expected) << name;
    }
}

} // namespace
