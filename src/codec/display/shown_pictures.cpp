#include "display/shown_pictures.h"

#include "display/resize.h"

#include "data_writer.h"
#include "memory.h"

#include <algorithm>
#include <array>

Outcome ShownPictures::start(std::uint32_t width, std::uint32_t height, std::uint32_t maxWidth,
                             std::uint32_t maxHeight) {
    std::array<std::uint32_t, 2> size{width, height};
    if (width > maxWidth || height > maxHeight) {
        size = sizeInside(width, height, maxWidth, maxHeight);
    }
    pictureRows_ = height;
    Outcome found = allocate(rgbBytes_, {size[0], size[1], 3});
    rgb_ = PixelTarget::topDown(rgbBytes_.data(), size[0], size[1], 3);
    return found;
}

void ShownPictures::sampleColors(const PixelRows &rows, std::uint32_t top) {
    sampleSharp(rows, top, pictureRows_, rgb_);
}

Outcome ShownPictures::samplePlane(const PixelRows &plane, std::vector<std::uint8_t> &target) {
    Outcome found = allocate(target, {rgb_.columns, rgb_.rows});
    if (found.ok()) {
        sampleSharp(plane, 0, pictureRows_,
                    PixelTarget::topDown(target.data(), rgb_.columns, rgb_.rows, 1));
    }
    return found;
}

Outcome ShownPictures::sampleTransparency(const PixelRows &marks) {
    return samplePlane(marks, transparent_);
}

Outcome ShownPictures::sampleReducedColors(const PixelRows &values) {
    return samplePlane(values, values_);
}

Outcome ShownPictures::finish() {
    const std::size_t pixels = rgbBytes_.size() / 3;
    Outcome found = allocate(image_, {pixels, 4});
    if (found.ok()) {
        found = allocate(preview_, {pixels, 4});
    }
    for (std::size_t i = 0; found.ok() && i < pixels; ++i) {
        const std::uint8_t *rgb = &rgbBytes_[i * 3];
        std::copy(rgb, rgb + 3, &image_[i * 4]);
        image_[i * 4 + 3] = transparent_.empty() || transparent_[i] == 0 ? 255 : 0;
        const std::array<std::uint8_t, 3> reduced =
            unpackColor(values_.empty() ? packColor(rgb[0], rgb[1], rgb[2]) : values_[i]);
        std::copy(reduced.begin(), reduced.end(), &preview_[i * 4]);
        preview_[i * 4 + 3] = 255;
    }
    return found;
}
