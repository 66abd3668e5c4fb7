#include "display/resize.h"

#include "memory.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What one output position along an axis takes: source positions and their
// weights, all over the axis's denominator.
struct Tap {
    std::uint32_t index;
    std::uint64_t weight;
};

struct Axis {
    std::vector<std::vector<Tap>> taps; // one list per output position
    std::uint64_t denominator = 1;
};

// Output position x covers [x, x + 1) × source / target of the source; in
// units of 1 / target that is [x × source, (x + 1) × source), and source
// position i covers [i × target, (i + 1) × target).
Axis boxAxis(std::uint32_t source, std::uint32_t target) {
    Axis axis;
    axis.denominator = source;
    for (std::uint64_t x = 0; x < target; ++x) {
        const std::uint64_t start = x * source;
        const std::uint64_t end = start + source;
        std::vector<Tap> taps;
        for (std::uint64_t i = start / target; i * target < end; ++i) {
            const std::uint64_t overlap =
                std::min(end, (i + 1) * target) - std::max(start, i * target);
            taps.push_back({static_cast<std::uint32_t>(i), overlap});
        }
        axis.taps.push_back(std::move(taps));
    }
    return axis;
}

// The centre of output position x lies at (x + 0.5) × source / target - 0.5
// in source positions: in units of 1 / (2 × target), (2x + 1) × source - target.
// Between the outermost centres the edge values hold.
Axis bilinearAxis(std::uint32_t source, std::uint32_t target) {
    Axis axis;
    axis.denominator = 2 * std::uint64_t{target};
    for (std::int64_t x = 0; x < target; ++x) {
        const std::int64_t at = (2 * x + 1) * source - target;
        const auto whole = static_cast<std::uint32_t>(std::max<std::int64_t>(at, 0) /
                                                      static_cast<std::int64_t>(axis.denominator));
        const std::uint64_t part = at <= 0 ? 0 : static_cast<std::uint64_t>(at) % axis.denominator;
        if (whole + 1 >= source || part == 0) {
            axis.taps.push_back({{std::min(whole, source - 1), axis.denominator}});
        } else {
            axis.taps.push_back({{whole, axis.denominator - part}, {whole + 1, part}});
        }
    }
    return axis;
}

Axis smoothAxis(std::uint32_t source, std::uint32_t target) {
    return target > source ? bilinearAxis(source, target) : boxAxis(source, target);
}

// The source position under the centre of output position x.
std::uint32_t sharpSource(std::uint64_t x, std::uint64_t target, std::uint64_t source) {
    return static_cast<std::uint32_t>((2 * x + 1) * source / (2 * target));
}

std::uint8_t rounded(std::uint64_t sum, std::uint64_t denominator) {
    return static_cast<std::uint8_t>((2 * sum + denominator) / (2 * denominator));
}

// One output pixel: the weighted sum of its source pixels over the
// denominator, halves away from zero (every sum is non-negative). Where the
// picture has transparent pixels, its colour comes from the opaque ones it
// covers, if any (their hidden colours would fringe the edges), and it is
// transparent if more than half of what it covers is.
void sample(const Picture &source, const std::vector<Tap> &columns, const std::vector<Tap> &rows,
            std::uint64_t denominator, std::uint8_t *target, std::uint8_t *targetTransparent) {
    const PixelRows colors = source.colorRows();
    const PixelRows marks = source.markRows();
    std::array<std::uint64_t, 3> sums{};
    std::array<std::uint64_t, 3> opaqueSums{};
    std::uint64_t opaqueWeight = 0;
    for (const Tap &row : rows) {
        const std::uint8_t *sourceRow = colors.row(row.index);
        for (const Tap &column : columns) {
            const std::uint64_t weight = row.weight * column.weight;
            const std::uint8_t *pixel = sourceRow + static_cast<std::size_t>(column.index) * 3;
            for (std::size_t c = 0; c < 3; ++c) {
                sums[c] += weight * pixel[c];
            }
            if (targetTransparent != nullptr && marks.row(row.index)[column.index] == 0) {
                opaqueWeight += weight;
                for (std::size_t c = 0; c < 3; ++c) {
                    opaqueSums[c] += weight * pixel[c];
                }
            }
        }
    }
    const bool fromOpaque = targetTransparent != nullptr && opaqueWeight != 0;
    for (std::size_t c = 0; c < 3; ++c) {
        target[c] =
            fromOpaque ? rounded(opaqueSums[c], opaqueWeight) : rounded(sums[c], denominator);
    }
    if (targetTransparent != nullptr) {
        *targetTransparent =
            static_cast<std::uint8_t>(2 * (denominator - opaqueWeight) > denominator);
    }
}

Outcome resizeWithin(Picture &picture, std::uint32_t columns, std::uint32_t rows,
                     ResizeFilter filter) {
    if (columns == 0 || rows == 0 || columns > maxResizedSide || rows > maxResizedSide) {
        return fail(Failure::badSize, std::to_string(columns) + " x " + std::to_string(rows) +
                                          ": each side must be 1 to " +
                                          std::to_string(maxResizedSide));
    }
    if (!picture.hasPixels()) {
        return fail(Failure::badSize, "the picture has no pixels");
    }
    Picture resized;
    Outcome found = makePicture(columns, rows, picture.transparency != nullptr, resized);
    if (!found.ok()) {
        return found;
    }
    if (filter == ResizeFilter::sharp) {
        sampleSharp(picture.colorRows(), 0, picture.rows(), resized.colorTarget());
        if (resized.transparency) {
            sampleSharp(picture.markRows(), 0, picture.rows(), resized.markTarget());
        }
        picture = std::move(resized);
        return {};
    }
    const Axis across = smoothAxis(picture.columns(), columns);
    const Axis down = smoothAxis(picture.rows(), rows);
    const PixelTarget colors = resized.colorTarget();
    const PixelTarget marks = resized.markTarget();
    for (std::uint32_t y = 0; y < rows; ++y) {
        for (std::uint32_t x = 0; x < columns; ++x) {
            sample(picture, across.taps[x], down.taps[y], across.denominator * down.denominator,
                   colors.row(y) + std::size_t{x} * 3,
                   marks.first != nullptr ? marks.row(y) + x : nullptr);
        }
    }
    picture = std::move(resized);
    return {};
}

} // namespace

Outcome resizeImage(Picture &picture, std::uint32_t columns, std::uint32_t rows,
                    ResizeFilter filter) {
    return guarded([&] { return resizeWithin(picture, columns, rows, filter); });
}

Outcome resizeImage(std::uint32_t columns, std::uint32_t rows, ResizeFilter filter) {
    return onImageState(
        [&](Picture &picture) { return resizeImage(picture, columns, rows, filter); });
}

void sampleSharp(const PixelRows &source, std::uint32_t top, std::uint32_t pictureRows,
                 const PixelTarget &target) {
    const std::size_t channels = target.channels;
    for (std::uint32_t y = 0; y < target.rows; ++y) {
        const std::uint32_t sourceRow = sharpSource(y, target.rows, pictureRows);
        if (sourceRow < top || sourceRow - top >= source.rows) {
            continue;
        }
        const std::uint8_t *from = source.row(sourceRow - top);
        std::uint8_t *to = target.row(y);
        for (std::uint32_t x = 0; x < target.columns; ++x, to += channels) {
            std::memcpy(to, from + sharpSource(x, target.columns, source.columns) * channels,
                        channels);
        }
    }
}

namespace {

// a × b / c rounded, at least 1.
std::uint32_t scaled(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(1, (2 * a * b + c) / (2 * c)));
}

// Whether a columns × rows display is wider, in proportion, than a w × h picture.
bool widerThan(std::uint64_t columns, std::uint64_t rows, std::uint64_t w, std::uint64_t h) {
    return columns * h >= rows * w;
}

// Keeps the columns × rows in the middle of the picture.
Outcome cropMiddle(Picture &picture, std::uint32_t columns, std::uint32_t rows) {
    Picture cropped;
    Outcome found = makePicture(columns, rows, picture.transparency != nullptr, cropped);
    if (!found.ok()) {
        return found;
    }
    const std::size_t left = (picture.columns() - columns) / 2;
    const std::uint32_t top = (picture.rows() - rows) / 2;
    for (std::uint32_t y = 0; y < rows; ++y) {
        std::memcpy(cropped.colorTarget().row(y), picture.colorRows().row(top + y) + left * 3,
                    std::size_t{columns} * 3);
        if (cropped.transparency) {
            std::memcpy(cropped.markTarget().row(y), picture.markRows().row(top + y) + left,
                        columns);
        }
    }
    picture = std::move(cropped);
    return {};
}

Outcome fitWithin(Picture &picture, std::uint32_t columns, std::uint32_t rows, FitMode fit,
                  ResizeFilter filter) {
    if (fit == FitMode::original) {
        return {};
    }
    const std::uint32_t w = picture.columns();
    const std::uint32_t h = picture.rows();
    if (fit == FitMode::stretch || w == 0 || h == 0 || columns == 0 || rows == 0) {
        return resizeImage(picture, columns, rows, filter);
    }
    if (fit == FitMode::fitInside) {
        const std::array<std::uint32_t, 2> size = sizeInside(w, h, columns, rows);
        return resizeImage(picture, size[0], size[1], filter);
    }
    Outcome found =
        widerThan(columns, rows, w, h)
            ? cropMiddle(picture, w, std::min<std::uint32_t>(h, scaled(w, rows, columns)))
            : cropMiddle(picture, std::min<std::uint32_t>(w, scaled(h, columns, rows)), h);
    return found.ok() ? resizeImage(picture, columns, rows, filter) : found;
}

} // namespace

std::array<std::uint32_t, 2> sizeInside(std::uint32_t width, std::uint32_t height,
                                        std::uint32_t columns, std::uint32_t rows) {
    if (widerThan(columns, rows, width, height)) {
        return {scaled(width, rows, height), rows};
    }
    return {columns, scaled(height, columns, width)};
}

Outcome fitImage(Picture &picture, std::uint32_t columns, std::uint32_t rows, FitMode fit,
                 ResizeFilter filter) {
    return guarded([&] { return fitWithin(picture, columns, rows, fit, filter); });
}

Outcome fitImage(std::uint32_t columns, std::uint32_t rows, FitMode fit, ResizeFilter filter) {
    return onImageState(
        [&](Picture &picture) { return fitImage(picture, columns, rows, fit, filter); });
}
