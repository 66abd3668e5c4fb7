#include "bmp_reader.h"
#include "bmp_variants.h"
#include "data_parser.h"
#include "data_writer.h"
#include "preview.h"
#include "test_support.h"

#include <filesystem>
#include <sstream>

namespace {

struct Parsed {
    Outcome outcome;
    DataImage image;
};

Parsed parse(const std::string &text) {
    Parsed parsed;
    parsed.outcome = parseData(text, parsed.image);
    return parsed;
}

std::vector<std::uint8_t> expanded(const std::vector<std::uint8_t> &values) {
    std::vector<std::uint8_t> rgb;
    EXPECT_TRUE(expandColors(values, rgb).ok());
    return rgb;
}

std::string dataTextOf(const std::string &bmp, const std::string &label) {
    std::istringstream in(bmp);
    EXPECT_TRUE(decodeBmp(in, "picture.bmp").ok());
    std::ostringstream out;
    writeData(out, label);
    return out.str();
}

// Picture → data text → parsed values → preview BMP → data text again: the
// values survive, because every expanded level packs back to itself.
TEST(Preview, RoundTripKeepsEveryValue) {
    for (const std::uint32_t w : {1U, 2U, 3U, 4U, 5U, 17U, 64U}) {
        for (const std::uint32_t h : {1U, 2U, 7U}) {
            SCOPED_TRACE(testing::Message() << w << " x " << h);
            const std::string original =
                dataTextOf(bmpFile(w, h, randomPixels(w, h, w + h)), "pic");
            const Parsed parsed = parse(original);
            ASSERT_TRUE(parsed.outcome.ok()) << parsed.outcome.detail;
            EXPECT_EQ(parsed.image.width, w);
            EXPECT_EQ(parsed.image.height, h);
            const auto preview = bmpFile(w, h, expanded(parsed.image.values));
            EXPECT_EQ(dataTextOf(preview, "pic"), original);
        }
    }
}

// Found by fuzzing: a preview of 0 × 2147483647 pixels looped over every empty row.
TEST(Preview, EmptyPictureWithHugeHeightIsImmediate) {
    const Parsed parsed = parse("x: .word 0, 2147483647\n.byte \n\n");
    ASSERT_TRUE(parsed.outcome.ok()) << parsed.outcome.detail;
    std::istringstream in(bmpFile(0, 2147483647, expanded(parsed.image.values)));
    ASSERT_TRUE(decodeBmp(in, "picture.bmp").ok());
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 2147483647);
}

TEST(Preview, ExpandsLevelsToFullRange) {
    EXPECT_EQ(expanded({0, 7, 56, 192, 255, 1, 0x2A}),
              (std::vector<std::uint8_t>{0,   0,   0,   255, 0,  0, 0, 255, 0,   0, 0,
                                         255, 255, 255, 255, 36, 0, 0, 73,  182, 0}));
    for (int value = 0; value < 256; ++value) {
        const auto rgb = expanded({static_cast<std::uint8_t>(value)});
        EXPECT_EQ(packColor(rgb[0], rgb[1], rgb[2]), value);
    }
}

TEST(ParseData, AcceptsEveryLayoutOfTheText) {
    struct Case {
        const char *name;
        const char *text;
        std::uint32_t width, height;
        std::vector<std::uint8_t> values;
    };
    const Case cases[] = {
        {"as written", "logo: .word 2, 2\n.byte 7,255,\n192,56,\n\n\n", 2, 2, {7, 255, 192, 56}},
        {"CR LF",
         "logo: .word 2, 2\r\n.byte 7,255,\r\n192,56,\r\n\r\n\r\n",
         2,
         2,
         {7, 255, 192, 56}},
        {"one line, spaces",
         "\n  x: .word 2 ,2\n .byte 7 , 255,192,  56,",
         2,
         2,
         {7, 255, 192, 56}},
        {"blank lines between rows", "a: .word 1, 2\n\n.byte\n\n1,\n\n2,\n", 1, 2, {1, 2}},
        {"Windows path label", "C:\\img\\logo: .word 1, 1\r\n.byte 0,\r\n", 1, 1, {0}},
        {"no pixels", "logo: .word 0, 3\n.byte \n\n", 0, 3, {}},
        // As people write them by hand, and the simulator takes them.
        {"no comma at a line's end",
         "logo: .word 2, 2\n.byte 7,255\n192,56",
         2,
         2,
         {7, 255, 192, 56}},
        {"hexadecimal", "logo: .word 0x2, 0X1\n.byte 0x07, 0xfF,\n", 2, 1, {7, 255}},
        {"comments",
         "# the logo\nlogo: .word 2, 1 # 2 x 1\n.byte 7, # red\n 255 # white\n# end\n",
         2,
         1,
         {7, 255}},
        {"a .data line first",
         "  .data  # segment\r\n\nlogo: .word 1, 1\r\n.byte 3\r\n",
         1,
         1,
         {3}},
    };
    for (const Case &c : cases) {
        const Parsed parsed = parse(c.text);
        ASSERT_TRUE(parsed.outcome.ok()) << c.name << ": " << parsed.outcome.detail;
        EXPECT_EQ(parsed.image.width, c.width) << c.name;
        EXPECT_EQ(parsed.image.height, c.height) << c.name;
        EXPECT_EQ(parsed.image.values, c.values) << c.name;
    }
}

TEST(ParseData, ReportsWhereAndWhatIsWrong) {
    struct Case {
        const char *text;
        std::size_t line;
        const char *error;
    };
    const std::string wordLine = "expected 'LABEL: .word WIDTH, HEIGHT'";
    const Case cases[] = {
        {"", 1, "missing '.word' line"},
        {"\n \n\r\n", 4, "missing '.word' line"},
        {"logo: .byte 1,\n", 1, wordLine.c_str()},
        {"logo .word 1, 1\n.byte 0,\n", 1, wordLine.c_str()},
        {"logo: .word 1 1\n.byte 0,\n", 1, wordLine.c_str()},
        {"logo: .word 1, 1x\n.byte 0,\n", 1, wordLine.c_str()},
        {"logo: .word -1, 2\n", 1, "negative size"},
        {"logo: .word 2, -2\n", 1, "negative size"},
        {"\nlogo: .word 100000, 100000\n.byte 0,\n", 2,
         "absurd size 100000 x 100000 for a file of 37 bytes"},
        {"logo: .word 99999999999999999999, 1\n", 1, "absurd size: over 2147483647"},
        {"logo: .word 1, 1\nbyte 0,\n", 2, "expected '.byte', found 'byte'"},
        {"logo: .word 1, 1\n", 2, "expected '.byte', found end of file"},
        {"logo: .word 2, 1\n.byte 1,256,\n", 2, "value over 255"},
        {"logo: .word 2, 1\n.byte 1,\nx,\n", 3, "'x' is not a number from 0 to 255"},
        {"logo: .word 2, 1\n.byte 1,-3,\n", 2, "'-3' is not a number from 0 to 255"},
        {"logo: .word 2, 2\n.byte 1,2,\n3,\n\n", 5, "too few values: 3 of 4"},
        {"logo: .word 1, 1\n.byte 1,\n2,\n", 3, "too many values: more than 1"},
        {"logo: .word 2, 1\n.byte 1 2,\n", 2, "expected ',' after a value, found '2'"},
        {"logo: .word 2, 1 # two\n.byte 1 # one\n2 3,\n", 3,
         "expected ',' after a value, found '3'"},
        {".data\n.data\nlogo: .word 1, 1\n.byte 1,\n", 2, wordLine.c_str()},
        {".data x\nlogo: .word 1, 1\n.byte 1,\n", 1,
         "expected the line end after '.data', found 'x'"},
        {"logo: .word 1, 1\n.byte 0x,\n", 2, "expected ',' after a value, found 'x'"},
        {"logo: .word 1, 1\n.byte 0x100,\n", 2, "value over 255"},
        {"a: .word 1, 1\n.byte 1,\nb: .word 2, 1\n.byte 1,300,\n", 4, "value over 255"},
        {"a: .word 2, 1\n.byte 1,\nb: .word 1, 1\n.byte 0,\n", 3, "too few values: 1 of 2"},
        {"a: .word 1, 1\n.byte 1,\nb: .word 1 1\n.byte 0,\n", 3, wordLine.c_str()},
    };
    for (const Case &c : cases) {
        const Parsed parsed = parse(c.text);
        EXPECT_FALSE(parsed.outcome.ok()) << c.text;
        EXPECT_EQ(parsed.outcome.detail, c.error) << c.text;
        EXPECT_EQ(parsed.outcome.line, c.line) << c.text;
    }
}

RunResult runData2bmp(const std::vector<std::string> &arguments) {
    return runInProcess(runPreview, "data2bmp", arguments);
}

using Data2bmp = InTempDirectory;

TEST_F(Data2bmp, WritesThePreviewAndPrintsTheSize) {
    writeFile("logo.data", textLines({"logo: .word 2, 2", ".byte 7,255,", "192,56,", "", ""}));
    writeFile("logo.preview.bmp", "old preview");
    const RunResult result = runData2bmp({"logo"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "size:2 x 2\n");
    EXPECT_EQ(readFile("logo.preview.bmp"),
              bmpFile(2, 2, {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0}));
    EXPECT_EQ(listDirectory("."), (std::vector<std::string>{"logo.data", "logo.preview.bmp"}));
}

// Blocks one under another, left-aligned over black; a block without pixels
// adds none, but has its size line.
TEST_F(Data2bmp, StacksTheBlocksOfAFile) {
    writeFile("sheet.data",
              textLines({"sheet_0: .word 3, 1", ".byte 7,255,56,", "", "sheet_1: .word 0, 5",
                         ".byte ", "", "sheet_2: .word 1, 2", ".byte 192,", "255,", "", ""}));
    const RunResult result = runData2bmp({"sheet"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "size:3 x 1\nsize:0 x 5\nsize:1 x 2\n");
    const std::vector<std::uint8_t> red{255, 0, 0};
    const std::vector<std::uint8_t> white{255, 255, 255};
    const std::vector<std::uint8_t> green{0, 255, 0};
    const std::vector<std::uint8_t> blue{0, 0, 255};
    const std::vector<std::uint8_t> black{0, 0, 0};
    std::vector<std::uint8_t> rgb;
    for (const auto *pixel :
         {&red, &white, &green, &blue, &black, &black, &white, &black, &black}) {
        rgb.insert(rgb.end(), pixel->begin(), pixel->end());
    }
    EXPECT_EQ(readFile("sheet.preview.bmp"), bmpFile(3, 3, rgb));
    // A wide block under a tall one leaves mostly black: past 8 pixels a byte of text it is
    // refused.
    std::string absurd = "tall: .word 1, 200\n.byte ";
    for (int i = 0; i < 200; ++i) {
        absurd += "0,";
    }
    absurd += "\nwide: .word 200, 1\n.byte " + absurd.substr(absurd.find("0,")) + "\n";
    writeFile("sheet.data", absurd);
    EXPECT_EQ(runData2bmp({"sheet"}).output,
              "Error: bad data file (line 3): absurd size 200 x 201 for the blocks stacked in a "
              "file of " +
                  std::to_string(absurd.size()) + " bytes\n");
}

TEST_F(Data2bmp, FailuresPrintOneLineAndLeaveThePreviewAlone) {
    struct Case {
        const char *data; // nullptr: no data file
        const char *output;
    };
    const Case cases[] = {
        {nullptr, "Error: fopen failed\n"},
        {"logo: .word 1, 1\n.byte 300,\n", "Error: bad data file (line 2): value over 255\n"},
        {"", "Error: bad data file (line 1): missing '.word' line\n"},
    };
    for (const Case &c : cases) {
        std::filesystem::remove("logo.data");
        if (c.data != nullptr) {
            writeFile("logo.data", c.data);
        }
        for (const bool previewExists : {false, true}) {
            if (previewExists) {
                writeFile("logo.preview.bmp", "keep me");
            }
            const RunResult result = runData2bmp({"logo"});
            EXPECT_EQ(result.status, 1);
            EXPECT_EQ(result.output, c.output);
            EXPECT_EQ(fileExists("logo.preview.bmp"), previewExists);
            if (previewExists) {
                EXPECT_EQ(readFile("logo.preview.bmp"), "keep me");
            }
        }
        std::filesystem::remove("logo.preview.bmp");
        EXPECT_EQ(listDirectory(".").size(), c.data == nullptr ? 0U : 1U);
    }
}

TEST_F(Data2bmp, UnwritablePreviewAndWrongArgumentCount) {
    writeFile("logo.data", "logo: .word 1, 1\n.byte 0,\n");
    std::filesystem::create_directories("logo.preview.bmp/inside");
    RunResult result = runData2bmp({"logo"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "size:1 x 1\nError: cannot write logo.preview.bmp\n");
    EXPECT_EQ(listDirectory("."), (std::vector<std::string>{"logo.data", "logo.preview.bmp"}));

    result = runData2bmp({});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output.rfind("Uso: data2bmp file <.data>\n", 0), 0U) << result.output;
    EXPECT_EQ(runData2bmp({"a", "b"}).status, 1);
}

} // namespace
