// The table of numbers typed in the page's boxes (tests/cases/typed-numbers.txt),
// run through the codec as the page's core runs it; the web core's test runs
// the same table.
#include "bmp/bmp_decoder.h"
#include "bmp_variants.h"
#include "display/frames.h"
#include "test_support.h"
#include "typed_numbers.h"

#include <map>
#include <sstream>
#include <string>

extern const char *const typedNumberCases;

namespace {

// The text of a box, with \xHH standing for that byte.
std::string unescaped(const std::string &text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

struct Case {
    std::map<std::string, std::string> boxes;
    std::string line;
};

std::vector<Case> cases() {
    std::vector<Case> found;
    std::istringstream table(typedNumberCases);
    for (std::string row; std::getline(table, row);) {
        const std::size_t bar = row.find(" | ");
        if (row.empty() || row[0] == '#' || bar == std::string::npos) {
            continue;
        }
        Case c{{{"columns", "64"}, {"rows", "40"}, {"fit", "stretch"}}, row.substr(bar + 3)};
        std::istringstream boxes(row.substr(0, bar));
        for (std::string box; boxes >> box;) {
            const std::size_t equals = box.find('=');
            c.boxes[box.substr(0, equals)] = unescaped(box.substr(equals + 1));
        }
        found.push_back(c);
    }
    return found;
}

// The line the page's core shows for a 32 x 20 picture with these boxes.
std::string lineOf(std::map<std::string, std::string> boxes) {
    std::istringstream in(bmpFile(32, 20, randomPixels(32, 20, 3)));
    EXPECT_TRUE(decodeBmp(in, "picture.bmp").ok());
    TypedFitting typed;
    typed.columns = boxes["columns"];
    typed.rows = boxes["rows"];
    typed.fit = boxes["fit"];
    if (boxes.count("key") != 0) {
        typed.key = boxes["key"];
    }
    const FrameChoices frames{boxes["frameWidth"], boxes["frameHeight"], boxes["margin"],
                              boxes["spacing"], false};
    Fitting fitting;
    Outcome found = readFitting(typed, fitting);
    std::ostringstream text;
    std::vector<std::uint8_t> values;
    if (found.ok() && frames.wanted()) {
        FrameGrid grid;
        FrameCounts counts;
        found = layOutFrames(frames, 32, 20, grid);
        if (found.ok()) {
            found = onImageState([&](const Picture &sheet) {
                return writeFrames(
                    sheet, grid, fitting, false, text,
                    [](std::uint32_t, std::uint32_t, std::uint32_t) { return Outcome{}; }, counts);
            });
        }
    } else if (found.ok()) {
        found = onImageState(
            [&](Picture &picture) { return writeFittedRows(text, picture, fitting, values); });
    }
    return found.ok() ? sizeLine(width, height) : messageOf(found);
}

TEST(TypedNumbers, EachRowOfTheTableGivesItsLine) {
    const std::vector<Case> table = cases();
    ASSERT_GT(table.size(), 40U);
    for (const Case &c : table) {
        std::string boxes;
        for (const auto &[box, typed] : c.boxes) {
            boxes.append(box).append("=").append(typed).append(" ");
        }
        EXPECT_EQ(lineOf(c.boxes), c.line) << boxes;
    }
}

TEST(TypedNumbers, WholeNumbersUpToTheLargest) {
    EXPECT_EQ(wholeNumber("18446744073709551615", UINT64_MAX), UINT64_MAX);
    EXPECT_EQ(wholeNumber("18446744073709551616", UINT64_MAX), std::nullopt);
    EXPECT_EQ(wholeNumber("255", 255), 255U);
    EXPECT_EQ(wholeNumber("256", 255), std::nullopt);
    EXPECT_EQ(wholeNumber("7", 0), std::nullopt);
    EXPECT_EQ(wholeNumber("0", 0), 0U);
}

} // namespace
