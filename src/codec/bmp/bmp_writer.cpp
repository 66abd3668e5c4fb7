#include "bmp/bmp_writer.h"

#include "memory.h"

#include <algorithm>
#include <cstddef>

namespace {

void putLe(std::array<char, 14 + 124> &bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFFU);
    }
}

} // namespace

std::uint64_t bmpRowStride(std::uint32_t width) {
    return (std::uint64_t{width} * 3 + 3) & ~std::uint64_t{3};
}

BmpHeaders bmpHeaders(std::uint32_t width, std::uint32_t height, BmpLayoutOptions options) {
    const std::uint64_t pixelOffset = 14 + std::uint64_t{options.infoHeaderSize};
    const std::uint64_t imageSize = bmpRowStride(width) * height;
    BmpHeaders headers;
    headers.size =
        static_cast<std::size_t>(std::min<std::uint64_t>(pixelOffset, headers.bytes.size()));
    std::array<char, 14 + 124> &bytes = headers.bytes;
    bytes[0] = 'B';
    bytes[1] = 'M';
    // Sizes past 4 GiB do not fit their fields; readers go by the dimensions.
    putLe(bytes, 2, static_cast<std::uint32_t>(pixelOffset + imageSize), 4);
    putLe(bytes, 10, static_cast<std::uint32_t>(pixelOffset), 4);
    putLe(bytes, 14, options.infoHeaderSize, 4);
    putLe(bytes, 18, width, 4);
    putLe(bytes, 22, options.topDown ? 0U - height : height, 4);
    putLe(bytes, 26, 1, 2);  // planes
    putLe(bytes, 28, 24, 2); // bits per pixel
    putLe(bytes, 34, static_cast<std::uint32_t>(imageSize), 4);
    putLe(bytes, 38, 2835, 4); // 72 dpi
    putLe(bytes, 42, 2835, 4);
    return headers;
}

namespace {

Outcome encodeWithin(std::uint32_t width, std::uint32_t height,
                     const std::vector<std::uint8_t> &rgb, std::string &bytes,
                     BmpLayoutOptions options) {
    const BmpHeaders headers = bmpHeaders(width, height, options);
    bytes = headers.view();
    const std::size_t pixelOffset = headers.size;
    std::size_t imageBytes = 0;
    if (!bufferSize({bmpRowStride(width), height}, imageBytes)) {
        return fail(Failure::outOfMemory);
    }
    Outcome found = allocate(bytes, {std::uint64_t{pixelOffset} + imageBytes});
    if (!found.ok() || imageBytes == 0) {
        return found; // zero-width rows hold no bytes, however many there are
    }
    const auto rowStride = static_cast<std::size_t>(bmpRowStride(width));
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t sourceRow = options.topDown ? row : height - 1 - row;
        const std::uint8_t *source = rgb.data() + sourceRow * width * 3;
        char *target = &bytes[pixelOffset + row * rowStride];
        for (std::size_t p = 0; p < std::size_t{width} * 3; p += 3) {
            target[p] = static_cast<char>(source[p + 2]);
            target[p + 1] = static_cast<char>(source[p + 1]);
            target[p + 2] = static_cast<char>(source[p]);
        }
    }
    return {};
}

} // namespace

Outcome encodeBmp(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t> &rgb,
                  std::string &bytes, BmpLayoutOptions options) {
    return guarded([&] { return encodeWithin(width, height, rgb, bytes, options); });
}
