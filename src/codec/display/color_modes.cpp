#include "display/color_modes.h"

#include "data_writer.h"
#include "memory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

constexpr std::array<double, 3> tops{7.0, 7.0, 3.0}; // the highest level of red, green, blue

// A picture's colours and transparency marks, seen from the top row down.
struct Planes {
    PixelRows colors;
    PixelRows marks; // no rows where all is opaque
};

// Pixel x of row y counted from the top.
const std::uint8_t *pixelAt(const Planes &planes, std::size_t x, std::size_t y) {
    return planes.colors.row(static_cast<std::uint32_t>(y)) + x * 3;
}

// Whether pixel x of row y counted from the top becomes the key colour.
bool keyed(const Planes &planes, const std::optional<std::uint8_t> &key, std::size_t x,
           std::size_t y) {
    return key && planes.marks.first != nullptr &&
           planes.marks.row(static_cast<std::uint32_t>(y))[x] != 0;
}

std::uint8_t packLevels(const std::array<int, 3> &levels) {
    return static_cast<std::uint8_t>(levels[2] << 6U | levels[1] << 3U | levels[0]);
}

int levelOf(double value, double top) {
    return static_cast<int>(std::clamp(std::round(value * top / 255.0), 0.0, top));
}

constexpr std::array<std::array<int, 8>, 8> bayer{{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

void reduceOrdered(const Planes &planes, std::size_t columns, std::size_t rows,
                   std::uint8_t *values) {
    for (std::size_t y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < columns; ++x) {
            const double t = (bayer[y % 8][x % 8] + 0.5) / 64.0 - 0.5;
            const std::uint8_t *pixel = pixelAt(planes, x, y);
            std::array<int, 3> levels{};
            for (std::size_t c = 0; c < 3; ++c) {
                levels[c] = levelOf(pixel[c] + t * (255.0 / tops[c]), tops[c]);
            }
            *values++ = packLevels(levels);
        }
    }
}

// The 8-bit value each level of each channel stands for.
std::array<std::array<double, 8>, 3> levelValues() {
    std::array<std::array<double, 8>, 3> table{};
    for (unsigned level = 0; level < 8; ++level) {
        const std::array<std::uint8_t, 3> colour =
            unpackColor(static_cast<std::uint8_t>(level | level << 3U | std::min(level, 3U) << 6U));
        for (std::size_t c = 0; c < 3; ++c) {
            table[c][level] = colour[c];
        }
    }
    return table;
}

void reduceDiffused(const Planes &planes, std::size_t columns, std::size_t rows,
                    std::uint8_t *values, const std::optional<std::uint8_t> &key) {
    static const std::array<std::array<double, 8>, 3> valueOf = levelValues();
    // The errors carried into this row and the next, with a column of room
    // on either side.
    std::vector<double> current((columns + 2) * 3);
    std::vector<double> next((columns + 2) * 3);
    for (std::size_t y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < columns; ++x) {
            if (keyed(planes, key, x, y)) {
                *values++ = *key; // the error that reached it goes no further
                continue;
            }
            const std::uint8_t *pixel = pixelAt(planes, x, y);
            std::array<int, 3> levels{};
            for (std::size_t c = 0; c < 3; ++c) {
                const std::size_t at = (x + 1) * 3 + c;
                const double value = std::clamp(pixel[c] + current[at], 0.0, 255.0);
                levels[c] = levelOf(value, tops[c]);
                const double error = value - valueOf[c][static_cast<std::size_t>(levels[c])];
                current[at + 3] += error * 7.0 / 16.0;
                next[at - 3] += error * 3.0 / 16.0;
                next[at] += error * 5.0 / 16.0;
                next[at + 3] += error * 1.0 / 16.0;
            }
            *values++ = packLevels(levels);
        }
        current.swap(next);
        std::fill(next.begin(), next.end(), 0.0);
    }
}

// Ordered dithering and the nearest colour treat each pixel on its own: the
// key colour replaces the transparent ones afterwards.
void applyKey(const Planes &planes, std::size_t columns, std::size_t rows, std::uint8_t *values,
              const std::optional<std::uint8_t> &key) {
    if (!key || planes.marks.first == nullptr) {
        return;
    }
    for (std::size_t y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < columns; ++x, ++values) {
            if (keyed(planes, key, x, y)) {
                *values = *key;
            }
        }
    }
}

Outcome reduceWithin(const Picture &picture, ColorMode mode, std::vector<std::uint8_t> &values,
                     const std::optional<std::uint8_t> &key) {
    const std::size_t columns = picture.columns();
    const std::size_t rows = picture.rows();
    const Planes planes{picture.colorRows(),
                        picture.transparency ? picture.markRows() : PixelRows{}};
    Outcome found = allocate(values, {columns, rows});
    if (!found.ok() || values.empty()) {
        return found; // nothing to reduce, however wide an empty picture says it is
    }
    if (mode == ColorMode::ordered) {
        reduceOrdered(planes, columns, rows, values.data());
    } else if (mode == ColorMode::diffuse) {
        reduceDiffused(planes, columns, rows, values.data(), key);
    } else {
        std::uint8_t *value = values.data();
        for (std::size_t y = 0; y < rows; ++y) {
            for (std::size_t x = 0; x < columns; ++x) {
                const std::uint8_t *pixel = pixelAt(planes, x, y);
                *value++ = packColor(pixel[0], pixel[1], pixel[2]);
            }
        }
    }
    if (mode != ColorMode::diffuse) {
        applyKey(planes, columns, rows, values.data(), key);
    }
    return found;
}

} // namespace

Outcome reduceColors(const Picture &picture, ColorMode mode, std::vector<std::uint8_t> &values,
                     std::optional<std::uint8_t> key) {
    return guarded([&] { return reduceWithin(picture, mode, values, key); });
}

Outcome reduceColors(ColorMode mode, std::vector<std::uint8_t> &values,
                     std::optional<std::uint8_t> key) {
    return onImageState(
        [&](const Picture &picture) { return reduceColors(picture, mode, values, key); });
}
