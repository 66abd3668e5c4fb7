#include "bmp_variants.h"
#include "preview.h"
#include "test_support.h"

#include <filesystem>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

const std::string usage = "Uso: bmp2data file <.bmp .s>\n"
                          "Converte um arquivo .bmp com 24 bits/pixel para .s para uso no segmento "
                          "de dados\n";

// The 2 × 2 picture: top row red, white; bottom row blue, green.
std::string twoByTwoBmp(BmpLayoutOptions options = {}) {
    return bmpFile(2, 2, {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0}, options);
}

std::string twoByTwoData(const std::string &label) {
    return textLines({label + ": .word 2, 2", ".byte 7,255,", "192,56,", "", ""});
}

using Converter = InTempDirectory;

TEST_F(Converter, WritesTheDataFileAndPrintsTheSize) {
    writeFile("logo.bmp", twoByTwoBmp());
    const RunResult result = runBmp2data({"logo"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "size:2 x 2\n");
    EXPECT_EQ(readFile("logo.data"), twoByTwoData("logo"));
    EXPECT_EQ(listDirectory("."), (std::vector<std::string>{"logo.bmp", "logo.data"}));
}

TEST_F(Converter, NewerHeadersAndTopDownRowsGiveTheSameText) {
    for (const BmpLayoutOptions options :
         {BmpLayoutOptions{124, false}, BmpLayoutOptions{108, true}, BmpLayoutOptions{40, true}}) {
        writeFile("logo.bmp", twoByTwoBmp(options));
        const RunResult result = runBmp2data({"logo"});
        EXPECT_EQ(result.output, "size:2 x 2\n");
        EXPECT_EQ(readFile("logo.data"), twoByTwoData("logo"));
    }
}

TEST_F(Converter, BaseNamesAreUsedVerbatim) {
    std::filesystem::create_directory("img");
    const std::string longName = "a-picture-name-longer-than-twenty-four-characters";
    for (const std::string &base : {std::string("img/logo"), longName, std::string("logo.bmp")}) {
        writeFile(base + ".bmp", twoByTwoBmp());
        const RunResult result = runBmp2data({base});
        EXPECT_EQ(result.status, 0) << base;
        EXPECT_EQ(readFile(base + ".data"), twoByTwoData(base));
    }
    EXPECT_EQ(listDirectory("img"), (std::vector<std::string>{"logo.bmp", "logo.data"}));
}

TEST_F(Converter, NonAsciiAndPlatformSeparators) {
    std::filesystem::create_directory(pathOf("imagens"));
    std::vector<std::string> bases{"cora\xC3\xA7\xC3\xA3o", "imagens/p\xC3\xA1ssaro"};
#ifdef _WIN32
    bases.push_back("imagens\\logo");
#endif
    for (const std::string &base : bases) {
        writeFile(base + ".bmp", twoByTwoBmp());
        const RunResult result = runBmp2data({base});
        EXPECT_EQ(result.status, 0) << base;
        EXPECT_EQ(result.output, "size:2 x 2\n") << base;
        EXPECT_EQ(readFile(base + ".data"), twoByTwoData(base));
    }
}

TEST_F(Converter, OverwritesAnExistingDataFile) {
    writeFile("logo.bmp", twoByTwoBmp());
    writeFile("logo.data", std::string(5000, 'x'));
    EXPECT_EQ(runBmp2data({"logo"}).status, 0);
    EXPECT_EQ(readFile("logo.data"), twoByTwoData("logo"));
}

TEST_F(Converter, PicturesWithoutPixelsStillGiveTheLabel) {
    writeFile("logo.bmp", bmpFile(0, 3, {}));
    const RunResult result = runBmp2data({"logo"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "size:0 x 3\n");
    EXPECT_EQ(readFile("logo.data"), textLines({"logo: .word 0, 3", ".byte ", ""}));
}

TEST_F(Converter, WrongArgumentCountPrintsUsage) {
    for (const auto &arguments : {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
        const RunResult result = runBmp2data(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.output, usage);
    }
    EXPECT_TRUE(listDirectory(".").empty());
}

TEST_F(Converter, MissingInputFailsWithoutOutput) {
    const RunResult result = runBmp2data({"missing"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "Error: fopen failed\n");
    EXPECT_TRUE(listDirectory(".").empty());
}

TEST_F(Converter, OutputThatCannotBeWrittenIsReported) {
    std::filesystem::create_directories("img/logo.data/inside");
    writeFile("img/logo.bmp", twoByTwoBmp());
    const RunResult result = runBmp2data({"img/logo"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "size:2 x 2\nError: cannot write img/logo.data\n");
    EXPECT_EQ(listDirectory("img"), (std::vector<std::string>{"logo.bmp", "logo.data"}));
    EXPECT_EQ(listDirectory("img/logo.data"), std::vector<std::string>{"inside"});
}

// FIFOs would block the open, devices never end, directories are not pictures.
TEST_F(Converter, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
    std::vector<std::pair<const char *, std::function<void(const std::string &)>>> inputs{
        {"directory", [](const std::string &name) { std::filesystem::create_directory(name); }},
    };
#ifndef _WIN32
    inputs.emplace_back("FIFO", [](const std::string &name) { mkfifo(name.c_str(), 0600); });
    inputs.emplace_back("link to a device", [](const std::string &name) {
        std::filesystem::create_symlink("/dev/zero", name);
    });
#endif
    for (const auto &[what, make] : inputs) {
        SCOPED_TRACE(what);
        make("logo.bmp");
        make("logo.data");
        RunResult result = runBmp2data({"logo"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.output, "Error: logo.bmp is not a regular file\n");
        result = runInProcess(runPreview, "data2bmp", {"logo"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.output, "Error: logo.data is not a regular file\n");
        EXPECT_EQ(listDirectory("."), (std::vector<std::string>{"logo.bmp", "logo.data"}));
        std::filesystem::remove("logo.bmp");
        std::filesystem::remove("logo.data");
    }
}

#ifndef _WIN32
TEST_F(Converter, MessagesStayOnOneLine) {
    const std::string base = "two\nlines";
    writeFile(base + ".bmp", twoByTwoBmp());
    std::filesystem::create_directories(base + ".data/inside");
    const RunResult result = runBmp2data({base});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "size:2 x 2\nError: cannot write two\\nlines.data\n");
}
#endif

} // namespace
