// Writes a 24-bit BMP of any size for tests and benchmarks, one row at a time.
// Usage: make_bmp OUTPUT.bmp WIDTH HEIGHT [random|sparse]
//   random: pseudo-random pixels (the default)
//   sparse: headers only, the file extended to its full size with zero bytes
//           (a black picture that takes almost no disk space)
#include "bmp/bmp_writer.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

int main(int argc, char *argv[]) {
    if (argc != 4 && argc != 5) {
        std::cout << "usage: make_bmp OUTPUT.bmp WIDTH HEIGHT [random|sparse]\n";
        return 1;
    }
    const auto width = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const auto height = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    const bool sparse = argc == 5 && std::string(argv[4]) == "sparse";
    const std::uint64_t rowStride = bmpRowStride(width);
    const std::string header(bmpHeaders(width, height).view());
    std::ofstream out(argv[1], std::ios::binary);
    out << header;
    if (sparse) {
        if (rowStride * height > 0) {
            out.seekp(static_cast<std::streamoff>(header.size() + rowStride * height - 1));
            out.put('\0');
        }
    } else {
        // NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): the same picture every time
        std::mt19937 generator(12345);
        std::vector<char> row(rowStride, '\0');
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint64_t i = 0; i < std::uint64_t{width} * 3; ++i) {
                row[i] = static_cast<char>(generator() & 0xFFU);
            }
            out.write(row.data(), static_cast<std::streamsize>(row.size()));
        }
    }
    out.close();
    return out ? 0 : 1;
}
