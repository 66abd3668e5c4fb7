#include "bmp/bmp_format.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint64_t fileHeaderSize = 14;

// Information header sizes: the OS/2 1.x core header, and Windows' 40-byte
// header with its later extensions (52 and 56 carry the bit masks, 108 and
// 124 colour spaces as well).
constexpr std::uint32_t coreHeaderSize = 12;

// The compression field's values.
constexpr std::uint32_t compressionNone = 0;
constexpr std::uint32_t compressionRle8 = 1;
constexpr std::uint32_t compressionRle4 = 2;
constexpr std::uint32_t compressionBitFields = 3;
constexpr std::uint32_t compressionJpeg = 4;
constexpr std::uint32_t compressionPng = 5;
constexpr std::uint32_t compressionAlphaBitFields = 6;

std::uint32_t le16(const std::uint8_t *p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8U;
}

std::uint32_t le32(const std::uint8_t *p) {
    return le16(p) | le16(p + 2) << 16U;
}

std::int32_t asSigned(std::uint32_t value) {
    // Two's complement reinterpretation without implementation-defined casts.
    if (value <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        return static_cast<std::int32_t>(value);
    }
    return static_cast<std::int32_t>(value - 0x80000000U) +
           std::numeric_limits<std::int32_t>::min();
}

Outcome unsupported(std::string reason) {
    return fail(Failure::unsupported, std::move(reason));
}

// The fields every information header has, in one form.
struct InfoFields {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = compressionNone;
    std::uint32_t colorsUsed = 0;
};

Outcome readInfoFields(const std::uint8_t *info, std::uint32_t size, InfoFields &fields) {
    fields.size = size;
    if (size == coreHeaderSize) {
        // 16-bit unsigned dimensions; rows always bottom-up.
        fields.width = le16(info + 4);
        fields.height = le16(info + 6);
        fields.bitsPerPixel = le16(info + 10);
        return {};
    }
    if (size == 16 || size == 64) {
        return unsupported("OS/2 2.x header");
    }
    if (size != 40 && size != 52 && size != 56 && size != 108 && size != 124) {
        return unsupported(std::to_string(size) + "-byte information header");
    }
    fields.width = asSigned(le32(info + 4));
    fields.height = asSigned(le32(info + 8));
    fields.bitsPerPixel = le16(info + 14);
    fields.compression = le32(info + 16);
    fields.colorsUsed = le32(info + 32);
    return {};
}

Outcome checkEncoding(const InfoFields &fields, BmpLayout &layout) {
    // Embedded pictures say 0 bits per pixel: name them first.
    if (fields.compression == compressionJpeg) {
        return unsupported("JPEG inside a BMP");
    }
    if (fields.compression == compressionPng) {
        return unsupported("PNG inside a BMP");
    }
    const std::uint32_t bits = fields.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return unsupported(std::to_string(bits) + " bits per pixel");
    }
    layout.bitsPerPixel = bits;
    switch (fields.compression) {
    case compressionNone:
        return {};
    case compressionRle8:
    case compressionRle4: {
        const bool rle8 = fields.compression == compressionRle8;
        if (bits != (rle8 ? 8U : 4U)) {
            return fail(Failure::badHeader);
        }
        if (layout.topDown) {
            return unsupported("top-down RLE");
        }
        layout.encoding = rle8 ? BmpEncoding::rle8 : BmpEncoding::rle4;
        return {};
    }
    case compressionBitFields:
    case compressionAlphaBitFields:
        return bits == 16 || bits == 32 ? Outcome{} : fail(Failure::badHeader);
    default:
        return unsupported("compression " + std::to_string(fields.compression));
    }
}

bool usesMasks(const InfoFields &fields) {
    return fields.compression == compressionBitFields ||
           fields.compression == compressionAlphaBitFields;
}

// Bit masks that follow a 40-byte header take room before the palette.
std::uint64_t masksAfterHeader(const InfoFields &fields) {
    if (fields.size != 40 || !usesMasks(fields)) {
        return 0;
    }
    return fields.compression == compressionAlphaBitFields ? 16 : 12;
}

// The alpha mask follows the colour masks in 56-byte and larger headers, and
// after a 40-byte one with compression 6. Without masks, the fourth byte of a
// 32-bit pixel is where writers put alpha. Files from before alpha was used
// read as they always have: an alpha mask that overlaps the colours, has gaps
// or lies beyond the pixel is left out rather than refused.
std::uint32_t alphaMaskOf(const std::uint8_t *info, const InfoFields &fields,
                          std::uint64_t pixelMax, std::uint32_t colourBits) {
    if (!usesMasks(fields)) {
        return fields.bitsPerPixel == 32 ? 0xFF000000U : 0;
    }
    if (fields.size < 56 && fields.compression != compressionAlphaBitFields) {
        return 0;
    }
    const std::uint32_t mask = le32(info + 52);
    ChannelMask channel;
    const bool usable = mask <= pixelMax && (mask & colourBits) == 0 && makeChannel(mask, channel);
    return usable ? mask : 0;
}

Outcome readMasks(const std::uint8_t *info, const InfoFields &fields, BmpLayout &layout) {
    std::array<std::uint32_t, 3> masks{};
    if (usesMasks(fields)) {
        // After a 40-byte header, or in the same place inside the larger ones.
        for (std::size_t i = 0; i < masks.size(); ++i) {
            masks[i] = le32(info + 40 + 4 * i);
        }
    } else if (fields.bitsPerPixel == 16) {
        masks = {0x7C00U, 0x03E0U, 0x001FU}; // 5-5-5
    } else {
        masks = {0xFF0000U, 0x00FF00U, 0x0000FFU};
        layout.plainBgrx = fields.bitsPerPixel == 32;
    }
    const std::uint64_t pixelMax = (std::uint64_t{1} << fields.bitsPerPixel) - 1;
    std::uint32_t seen = 0;
    for (std::size_t i = 0; i < masks.size(); ++i) {
        if (masks[i] > pixelMax || (masks[i] & seen) != 0 ||
            !makeChannel(masks[i], layout.channels[i])) {
            return fail(Failure::badHeader);
        }
        seen |= masks[i];
    }
    layout.alphaMask = alphaMaskOf(info, fields, pixelMax, seen);
    return {};
}

Outcome readPalette(const std::uint8_t *bytes, std::size_t available, const InfoFields &fields,
                    BmpLayout &layout) {
    const std::uint64_t start = fileHeaderSize + fields.size + masksAfterHeader(fields);
    const std::uint64_t entryBytes = fields.size == coreHeaderSize ? 3 : 4;
    const std::uint64_t indexable = std::uint64_t{1} << fields.bitsPerPixel;
    std::uint64_t entries = 0;
    if (fields.size == coreHeaderSize) {
        // The core header has no count: the palette fills the room before the pixels.
        entries = std::min(indexable, (layout.pixelOffset - start) / entryBytes);
    } else {
        // Entries past what an index can reach are never used.
        entries = std::min<std::uint64_t>(fields.colorsUsed == 0 ? indexable : fields.colorsUsed,
                                          indexable);
    }
    if (start + entries * entryBytes > layout.pixelOffset) {
        return fail(Failure::badHeader);
    }
    if (start + entries * entryBytes > available) {
        return fail(Failure::truncated);
    }
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t *entry = bytes + start + i * entryBytes;
        layout.palette[i] = {entry[2], entry[1], entry[0]};
    }
    layout.paletteSize = static_cast<std::size_t>(entries);
    return {};
}

// The file must hold what the headers promise, so that nothing is allocated
// for pixels that are not there.
Outcome checkPixelRoom(std::uint64_t fileSize, BmpLayout &layout) {
    if (fileSize < layout.pixelOffset) {
        return fail(Failure::truncated);
    }
    const std::uint64_t stored = fileSize - layout.pixelOffset;
    const std::uint64_t pixels = std::uint64_t{layout.columns} * layout.rows;
    if (layout.encoding != BmpEncoding::uncompressed) {
        // A run of two bytes codes at most 255 pixels: no decompression bombs.
        return pixels > stored / 2 * 255 ? fail(Failure::truncated) : Outcome{};
    }
    // Each row is padded to a multiple of four bytes. 64-bit arithmetic keeps
    // every size exact: stride < 2^35 and rows < 2^31.
    layout.rowStride = (std::uint64_t{layout.columns} * layout.bitsPerPixel + 31) / 32 * 4;
    return stored < layout.rowStride * layout.rows ? fail(Failure::truncated) : Outcome{};
}

} // namespace

bool makeChannel(std::uint32_t mask, ChannelMask &channel) {
    channel = ChannelMask{};
    channel.mask = mask;
    if (mask == 0) {
        return true; // a channel that is not there reads as 0
    }
    while ((mask >> channel.shift & 1U) == 0) {
        ++channel.shift;
    }
    const std::uint32_t bits = mask >> channel.shift;
    while (channel.bits < 32 && (bits >> channel.bits & 1U) != 0) {
        ++channel.bits;
    }
    if (channel.bits < 32 && bits >> channel.bits != 0) {
        return false; // a gap in the mask
    }
    if (channel.bits <= 8) {
        // Repeat the bits downwards: 5 bits 31 → 255, 16 → 132; 4 bits v → v × 17.
        for (std::uint32_t raw = 0; raw >> channel.bits == 0; ++raw) {
            std::uint32_t value = 0;
            for (int filled = 0; filled < 8; filled += static_cast<int>(channel.bits)) {
                value = value << channel.bits | raw;
            }
            const unsigned extra = (8 + channel.bits - 1) / channel.bits * channel.bits - 8;
            channel.widened[raw] = static_cast<std::uint8_t>(value >> extra);
        }
    }
    return true;
}

Outcome parseBmpHeaders(const std::uint8_t *bytes, std::size_t available, std::uint64_t fileSize,
                        BmpLayout &layout) {
    layout = BmpLayout{};
    if (available < fileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') {
        return fail(Failure::notBmp);
    }
    const std::uint32_t infoSize = le32(bytes + 14);
    layout.pixelOffset = le32(bytes + 10);
    if (infoSize < coreHeaderSize || layout.pixelOffset < fileHeaderSize + infoSize) {
        return fail(Failure::badHeader);
    }
    if (fileHeaderSize + infoSize > std::min<std::uint64_t>(available, fileSize)) {
        return fail(Failure::notBmp); // the headers themselves are cut short
    }
    const std::uint8_t *info = bytes + fileHeaderSize;
    InfoFields fields;
    Outcome found = readInfoFields(info, infoSize, fields);
    if (!found.ok()) {
        return found;
    }
    if (fields.width < 0 || fields.height == std::numeric_limits<std::int32_t>::min()) {
        return fail(Failure::badHeader);
    }
    layout.columns = static_cast<std::uint32_t>(fields.width);
    layout.topDown = fields.height < 0;
    layout.rows = static_cast<std::uint32_t>(layout.topDown ? -fields.height : fields.height);
    found = checkEncoding(fields, layout);
    if (!found.ok()) {
        return found;
    }
    const std::uint64_t masksEnd = fileHeaderSize + infoSize + masksAfterHeader(fields);
    if (masksEnd > layout.pixelOffset) {
        return fail(Failure::badHeader);
    }
    if (masksEnd > available) {
        return fail(Failure::truncated);
    }
    found = fields.bitsPerPixel <= 8    ? readPalette(bytes, available, fields, layout)
            : fields.bitsPerPixel == 24 ? Outcome{}
                                        : readMasks(info, fields, layout);
    if (!found.ok()) {
        return found;
    }
    return checkPixelRoom(fileSize, layout);
}
