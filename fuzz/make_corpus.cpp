// Writes the fuzzing seed corpus: small valid BMPs of every layout and broken ones.
// Usage: make_corpus DIRECTORY
#include "bmp_writer.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

void save(const std::string &directory, const std::string &name, const std::string &bytes) {
    std::ofstream out(directory + "/" + name, std::ios::binary);
    out << bytes;
}

std::string withField(std::string bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>(value >> (8 * i) & 0xFFU);
    }
    return bytes;
}

} // namespace

// cppcheck-suppress constParameter
int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::cout << "usage: make_corpus DIRECTORY\n";
        return 1;
    }
    const std::string directory = argv[1];
    for (std::uint32_t width = 0; width <= 5; ++width) {
        for (const std::uint32_t infoSize : {40U, 124U}) {
            for (const bool topDown : {false, true}) {
                std::vector<std::uint8_t> rgb(std::size_t{width} * 3 * 3);
                for (std::size_t i = 0; i < rgb.size(); ++i) {
                    rgb[i] = static_cast<std::uint8_t>(i * 37);
                }
                save(directory,
                     "valid-" + std::to_string(width) + "x3-" + std::to_string(infoSize) +
                         (topDown ? "-topdown" : "") + ".bmp",
                     encodeBmp(width, 3, rgb, {infoSize, topDown}));
            }
        }
    }
    const std::string base = encodeBmp(2, 2, std::vector<std::uint8_t>(12, 200));
    save(directory, "truncated.bmp", base.substr(0, base.size() - 1));
    save(directory, "header-only.bmp", base.substr(0, 54));
    save(directory, "huge-claim.bmp", withField(withField(base, 18, 1U << 20), 22, 1U << 20));
    save(directory, "negative-width.bmp", withField(base, 18, 0xFFFFFFFFU));
    save(directory, "offset-inside.bmp", withField(base, 10, 20));
    save(directory, "32-bit.bmp", withField(base, 28, 32));
    return 0;
}
