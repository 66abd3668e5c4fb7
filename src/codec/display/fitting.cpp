#include "display/fitting.h"

#include "data_writer.h"
#include "memory.h"

Outcome fitAndReduce(Picture &picture, const Fitting &fitting, std::vector<std::uint8_t> &values) {
    values.clear();
    Outcome found = fitImage(picture, fitting.columns, fitting.rows, fitting.fit, fitting.filter);
    const bool keyed = fitting.key && picture.transparency;
    if (!found.ok() || (fitting.colors == ColorMode::nearest && !keyed)) {
        return found;
    }
    return reduceColors(picture, fitting.colors, values, fitting.key);
}

Outcome writeReducedRows(std::ostream &out, const Picture &picture,
                         const std::vector<std::uint8_t> &values) {
    const std::size_t columns = picture.texels ? picture.columns() : 0;
    if (!values.empty()) {
        return writeValueRows(out, values, columns, picture.rows());
    }
    const PixelRows colors = picture.colorRows();
    Outcome found = writePixelRows(out, columns, picture.rows(), [&colors](std::size_t row) {
        return colors.row(static_cast<std::uint32_t>(row));
    });
    if (found.ok()) {
        writeDataEnd(out);
    }
    return found;
}

Outcome writeFittedRows(std::ostream &out, Picture &picture, const Fitting &fitting,
                        std::vector<std::uint8_t> &values) {
    Outcome found = fitAndReduce(picture, fitting, values);
    if (!found.ok()) {
        return found;
    }
    return writeReducedRows(out, picture, values);
}

Outcome colorBytes(const Picture &picture, const std::vector<std::uint8_t> &values,
                   std::vector<std::uint8_t> &bytes) {
    if (!values.empty()) {
        bytes = values;
        return {};
    }
    const std::size_t columns = picture.columns();
    const PixelRows colors = picture.colorRows();
    Outcome found = allocate(bytes, {columns, picture.rows()});
    for (std::uint32_t y = 0; found.ok() && y < colors.rows; ++y) {
        const std::uint8_t *pixel = colors.row(y);
        for (std::size_t x = 0; x < columns; ++x, pixel += 3) {
            bytes[y * columns + x] = packColor(pixel[0], pixel[1], pixel[2]);
        }
    }
    return found;
}

std::uint64_t opaqueWithColor(const Picture &picture, const std::vector<std::uint8_t> &bytes,
                              std::uint8_t key) {
    const std::size_t columns = picture.columns();
    const std::size_t rows = picture.rows();
    const PixelRows marks = picture.markRows();
    std::uint64_t count = 0;
    for (std::uint32_t y = 0; y < rows && bytes.size() == columns * rows; ++y) {
        const std::uint8_t *rowMarks = marks.first != nullptr ? marks.row(y) : nullptr;
        for (std::size_t x = 0; x < columns; ++x) {
            count +=
                bytes[y * columns + x] == key && (rowMarks == nullptr || rowMarks[x] == 0) ? 1 : 0;
        }
    }
    return count;
}
