// Draws the bundled sample picture: a small landscape, 32 × 20 pixels, with a
// sky gradient, a sun and green hills. Usage: make_sample OUTPUT.bmp
#include "bmp_variants.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

constexpr int pictureWidth = 32;
constexpr int pictureHeight = 20;

void pixelAt(int x, int y, std::uint8_t *rgb) {
    const int sunX = x - 23;
    const int sunY = y - 5;
    const int hill = 14 + (x % 16 < 8 ? x % 8 : 7 - x % 8) / 2;
    if (sunX * sunX + sunY * sunY <= 12) {
        rgb[0] = 255, rgb[1] = 220, rgb[2] = 40;
    } else if (y >= hill) {
        rgb[0] = 30, rgb[1] = static_cast<std::uint8_t>(200 - 6 * (y - hill)), rgb[2] = 40;
    } else {
        rgb[0] = static_cast<std::uint8_t>(40 + 8 * y);
        rgb[1] = static_cast<std::uint8_t>(90 + 8 * y);
        rgb[2] = 230;
    }
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::cout << "usage: make_sample OUTPUT.bmp\n";
        return 1;
    }
    std::vector<std::uint8_t> rgb(std::size_t{pictureWidth} * pictureHeight * 3);
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth; ++x) {
            pixelAt(x, y, &rgb[(static_cast<std::size_t>(y) * pictureWidth + x) * 3]);
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << bmpFile(pictureWidth, pictureHeight, rgb);
    out.close();
    return out ? 0 : 1;
}
