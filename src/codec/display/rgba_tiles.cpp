#include "display/rgba_tiles.h"

#include "bmp/bmp_decoder.h"
#include "memory.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

Outcome startTiledPicture(std::uint32_t columns, std::uint32_t rows) {
    clearImage();
    std::unique_ptr<std::uint8_t[]> pixels;
    Outcome found = allocate(pixels, {columns, rows, 3});
    if (found.ok()) {
        texels = std::move(pixels);
        width = static_cast<std::int32_t>(columns);
        height = static_cast<std::int32_t>(rows);
    }
    return found;
}

namespace {

// Marks the pixel at `index` (in the order of texels) transparent, making
// room for the marks at the first.
Outcome markTransparent(std::size_t index) {
    if (!transparency) {
        const std::size_t pixels =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        Outcome found = allocate(transparency, {pixels});
        if (!found.ok()) {
            return found;
        }
        std::memset(transparency.get(), 0, pixels);
    }
    transparency[index] = 1;
    return {};
}

// A component multiplied by `alpha` (1 to 254), as stored again: the
// middle of the components that give that product, c × alpha / 255 rounded
// to the nearest (from p - 1/2 to p + 1/2) or up (from p - 1 to p).
std::uint8_t divided(std::uint8_t product, std::uint8_t alpha, AlphaForm form) {
    const unsigned twice =
        form == AlphaForm::premultipliedUp && product > 0 ? 2U * product - 1U : 2U * product;
    const unsigned a = alpha;
    return static_cast<std::uint8_t>(std::min(255U, (twice * 255U + a) / (2U * a)));
}

// A pixel's alpha below 255 taken in: its colour divided again where it was
// premultiplied, and marked transparent where the alpha is 0.
Outcome takeAlpha(std::uint8_t alpha, AlphaForm form, std::size_t index, std::uint8_t *color) {
    if (alpha == 0) {
        return markTransparent(index);
    }
    if (form != AlphaForm::straight) {
        for (std::size_t k = 0; k < 3; ++k) {
            color[k] = divided(color[k], alpha, form);
        }
    }
    return {};
}

} // namespace

Outcome putTile(const std::uint8_t *tile, std::uint32_t left, std::uint32_t top,
                std::uint32_t columns, std::uint32_t rows, RgbaLayout layout, AlphaForm form,
                bool &partlyTransparent) {
    const auto pictureWidth = static_cast<std::uint64_t>(std::max(width, 0));
    const auto pictureHeight = static_cast<std::uint64_t>(std::max(height, 0));
    if (!texels || std::uint64_t{left} + columns > pictureWidth ||
        std::uint64_t{top} + rows > pictureHeight) {
        return guarded([] { return fail(Failure::badSize, "a tile outside the picture"); });
    }
    const bool blueFirst = layout == RgbaLayout::bgra || layout == RgbaLayout::bgrx;
    const bool hasAlpha = layout == RgbaLayout::rgba || layout == RgbaLayout::bgra;
    const std::size_t red = blueFirst ? 2 : 0;
    const std::size_t blue = blueFirst ? 0 : 2;
    for (std::size_t y = 0; y < rows; ++y) {
        // Stored bottom-up, like the rows of a BMP file.
        const std::size_t stored = (pictureHeight - 1 - (top + y)) * pictureWidth + left;
        for (std::size_t x = 0; x < columns; ++x) {
            const std::uint8_t *source = &tile[(y * columns + x) * 4];
            std::uint8_t *target = texels.get() + (stored + x) * 3;
            target[0] = source[red];
            target[1] = source[1];
            target[2] = source[blue];
            if (!hasAlpha || source[3] == 255) {
                continue;
            }
            partlyTransparent = true;
            Outcome found = takeAlpha(source[3], form, stored + x, target);
            if (!found.ok()) {
                return found;
            }
        }
    }
    return {};
}
