#include "test_support.h"

#include "converter.h"
#include "platform.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>

#ifdef _WIN32
const char *const lineEnd = "\r\n";
#else
const char *const lineEnd = "\n";
#endif

std::string textLines(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) {
        text += line + lineEnd;
    }
    return text;
}

std::filesystem::path pathOf(const std::string &utf8Name) {
    return std::filesystem::u8path(utf8Name);
}

std::string readFile(const std::string &name) {
    std::ifstream in(pathOf(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string &name, const std::string &bytes) {
    std::ofstream out(pathOf(name), std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << name;
}

bool fileExists(const std::string &name) {
    return std::filesystem::exists(pathOf(name));
}

std::vector<std::string> listDirectory(const std::string &directory) {
    std::vector<std::string> names;
    std::transform(std::filesystem::directory_iterator(pathOf(directory)),
                   std::filesystem::directory_iterator(), std::back_inserter(names),
                   [](const auto &entry) { return entry.path().filename().u8string(); });
    std::sort(names.begin(), names.end());
    return names;
}

void putLe32(std::string &bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<char>(value >> (8 * i) & 0xFFU);
    }
}

void putLe16(std::string &bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<char>(value & 0xFFU);
    bytes.at(offset + 1) = static_cast<char>(value >> 8U);
}

std::vector<std::uint8_t> randomPixels(std::uint32_t width, std::uint32_t height,
                                       std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> rgb(std::size_t{width} * height * 3);
    std::generate(rgb.begin(), rgb.end(),
                  [&generator] { return static_cast<std::uint8_t>(generator() & 0xFFU); });
    return rgb;
}

RunResult runInProcess(int (*entry)(const std::vector<std::string> &), const std::string &name,
                       const std::vector<std::string> &arguments) {
    std::vector<std::string> commandLine{name};
    commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
    std::ostringstream captured;
    std::streambuf *const original = std::cout.rdbuf(captured.rdbuf());
    const int status = entry(commandLine);
    std::cout.rdbuf(original);
    return {status, captured.str()};
}

RunResult runBmp2data(const std::vector<std::string> &arguments) {
    return runInProcess(runConverter, "bmp2data", arguments);
}

void InTempDirectory::SetUp() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
    // Test processes may run side by side: the process id keeps their directories apart.
    directory_ = std::filesystem::temp_directory_path() /
                 ("bmp2data-test-" + name + "-" + std::to_string(processId()));
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
}

void InTempDirectory::TearDown() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(directory_);
}
