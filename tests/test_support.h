#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The line end that a text-mode stream writes on this platform.
extern const char *const lineEnd;

// The lines joined as a text file on this platform: each one followed by lineEnd.
std::string textLines(const std::vector<std::string> &lines);

std::filesystem::path pathOf(const std::string &utf8Name);
std::string readFile(const std::string &name);
void writeFile(const std::string &name, const std::string &bytes);
bool fileExists(const std::string &name);

// The names of the entries in a directory, sorted.
std::vector<std::string> listDirectory(const std::string &directory);

void putLe32(std::string &bytes, std::size_t offset, std::uint32_t value);
void putLe16(std::string &bytes, std::size_t offset, std::uint16_t value);

// width × height pixels of red, green, blue bytes from a fixed pseudo-random sequence.
std::vector<std::uint8_t> randomPixels(std::uint32_t width, std::uint32_t height,
                                       std::uint32_t seed);

struct RunResult {
    int status;
    std::string output;
};

// Runs a program's entry (runConverter, runPreview) in this process with the
// given arguments after the invocation name, capturing what it prints.
RunResult runInProcess(int (*entry)(const std::vector<std::string> &), const std::string &name,
                       const std::vector<std::string> &arguments);
RunResult runBmp2data(const std::vector<std::string> &arguments);

// Runs each test in a new empty working directory, removed afterwards.
class InTempDirectory : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};
