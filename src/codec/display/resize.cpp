#include "display/resize.h"

#include "bmp/bmp_decoder.h"
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
void sample(const std::vector<Tap> &columns, const std::vector<Tap> &rows,
            std::uint64_t denominator, std::uint8_t *target, std::uint8_t *targetTransparent) {
    const auto sourceColumns = static_cast<std::size_t>(width);
    const auto sourceRows = static_cast<std::size_t>(height);
    std::array<std::uint64_t, 3> sums{};
    std::array<std::uint64_t, 3> opaqueSums{};
    std::uint64_t opaqueWeight = 0;
    for (const Tap &row : rows) {
        const std::size_t stored = (sourceRows - 1 - row.index) * sourceColumns;
        const std::uint8_t *sourceRow = texels.get() + stored * 3;
        for (const Tap &column : columns) {
            const std::uint64_t weight = row.weight * column.weight;
            const std::uint8_t *pixel = sourceRow + static_cast<std::size_t>(column.index) * 3;
            for (std::size_t c = 0; c < 3; ++c) {
                sums[c] += weight * pixel[c];
            }
            if (targetTransparent != nullptr && transparency[stored + column.index] == 0) {
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

// A picture to replace the image state's: its pixels and, where the image
// state has transparency, its marks.
struct Picture {
    std::unique_ptr<std::uint8_t[]> texels;
    std::unique_ptr<std::uint8_t[]> transparency;
};

Outcome makePicture(std::uint32_t columns, std::uint32_t rows, Picture &picture) {
    Outcome found = allocate(picture.texels, {columns, rows, 3});
    if (found.ok() && transparency) {
        found = allocate(picture.transparency, {columns, rows});
    }
    return found;
}

void replaceImage(Picture &picture, std::uint32_t columns, std::uint32_t rows) {
    width = static_cast<std::int32_t>(columns);
    height = static_cast<std::int32_t>(rows);
    texels = std::move(picture.texels);
    transparency = std::move(picture.transparency);
}

Outcome resizeWithin(std::uint32_t columns, std::uint32_t rows, ResizeFilter filter) {
    if (columns == 0 || rows == 0 || columns > maxResizedSide || rows > maxResizedSide) {
        return fail(Failure::badSize, std::to_string(columns) + " x " + std::to_string(rows) +
                                          ": each side must be 1 to " +
                                          std::to_string(maxResizedSide));
    }
    if (width <= 0 || height <= 0 || !texels) {
        return fail(Failure::badSize, "the picture has no pixels");
    }
    const auto sourceColumns = static_cast<std::uint32_t>(width);
    const auto sourceRows = static_cast<std::uint32_t>(height);
    Picture resized;
    Outcome found = makePicture(columns, rows, resized);
    if (!found.ok()) {
        return found;
    }
    if (filter == ResizeFilter::sharp) {
        sampleSharp(PixelRows::bottomUp(texels.get(), sourceColumns, sourceRows, 3), 0, sourceRows,
                    PixelTarget::bottomUp(resized.texels.get(), columns, rows, 3));
        if (resized.transparency) {
            sampleSharp(PixelRows::bottomUp(transparency.get(), sourceColumns, sourceRows, 1), 0,
                        sourceRows,
                        PixelTarget::bottomUp(resized.transparency.get(), columns, rows, 1));
        }
        replaceImage(resized, columns, rows);
        return {};
    }
    const Axis across = smoothAxis(sourceColumns, columns);
    const Axis down = smoothAxis(sourceRows, rows);
    // Rows are stored bottom-up: output row y from the top is stored at rows - 1 - y.
    for (std::uint32_t y = 0; y < rows; ++y) {
        const std::size_t stored = static_cast<std::size_t>(rows - 1 - y) * columns;
        for (std::uint32_t x = 0; x < columns; ++x) {
            sample(across.taps[x], down.taps[y], across.denominator * down.denominator,
                   resized.texels.get() + (stored + x) * 3,
                   resized.transparency ? resized.transparency.get() + stored + x : nullptr);
        }
    }
    replaceImage(resized, columns, rows);
    return {};
}

} // namespace

Outcome resizeImage(std::uint32_t columns, std::uint32_t rows, ResizeFilter filter) {
    return guarded([&] { return resizeWithin(columns, rows, filter); });
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

// Keeps the columns × rows in the middle of the image state.
Outcome cropMiddle(std::uint32_t columns, std::uint32_t rows) {
    const auto sourceColumns = static_cast<std::uint32_t>(width);
    const auto sourceRows = static_cast<std::uint32_t>(height);
    Picture cropped;
    Outcome found = makePicture(columns, rows, cropped);
    if (!found.ok()) {
        return found;
    }
    const std::size_t left = (sourceColumns - columns) / 2;
    const std::size_t bottom = (sourceRows - rows + 1) / 2; // rows are stored bottom-up
    for (std::size_t y = 0; y < rows; ++y) {
        std::memcpy(cropped.texels.get() + y * columns * 3,
                    texels.get() + ((bottom + y) * sourceColumns + left) * 3,
                    static_cast<std::size_t>(columns) * 3);
        if (cropped.transparency) {
            std::memcpy(cropped.transparency.get() + y * columns,
                        transparency.get() + (bottom + y) * sourceColumns + left, columns);
        }
    }
    replaceImage(cropped, columns, rows);
    return {};
}

Outcome fitWithin(std::uint32_t columns, std::uint32_t rows, FitMode fit, ResizeFilter filter) {
    if (fit == FitMode::original) {
        return {};
    }
    if (fit == FitMode::stretch || width <= 0 || height <= 0 || columns == 0 || rows == 0) {
        return resizeImage(columns, rows, filter);
    }
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    const bool wider = widerThan(columns, rows, w, h);
    if (fit == FitMode::fitInside) {
        const std::array<std::uint32_t, 2> size = sizeInside(w, h, columns, rows);
        return resizeImage(size[0], size[1], filter);
    }
    Outcome found = wider ? cropMiddle(static_cast<std::uint32_t>(w),
                                       std::min<std::uint32_t>(static_cast<std::uint32_t>(h),
                                                               scaled(w, rows, columns)))
                          : cropMiddle(std::min<std::uint32_t>(static_cast<std::uint32_t>(w),
                                                               scaled(h, columns, rows)),
                                       static_cast<std::uint32_t>(h));
    return found.ok() ? resizeImage(columns, rows, filter) : found;
}

} // namespace

std::array<std::uint32_t, 2> sizeInside(std::uint32_t width, std::uint32_t height,
                                        std::uint32_t columns, std::uint32_t rows) {
    if (widerThan(columns, rows, width, height)) {
        return {scaled(width, rows, height), rows};
    }
    return {columns, scaled(height, columns, width)};
}

Outcome fitImage(std::uint32_t columns, std::uint32_t rows, FitMode fit, ResizeFilter filter) {
    return guarded([&] { return fitWithin(columns, rows, fit, filter); });
}
