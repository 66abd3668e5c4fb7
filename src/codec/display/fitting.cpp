#include "display/fitting.h"

#include "bmp/bmp_decoder.h"
#include "data_writer.h"
#include "memory.h"

#include <algorithm>

Outcome fitAndReduce(const Fitting &fitting, std::vector<std::uint8_t> &values) {
    values.clear();
    Outcome found = fitImage(fitting.columns, fitting.rows, fitting.fit, fitting.filter);
    if (!found.ok() || (fitting.colors == ColorMode::nearest && !(fitting.key && transparency))) {
        return found;
    }
    return reduceColors(fitting.colors, values, fitting.key);
}

Outcome writeReducedRows(std::ostream &out, const std::vector<std::uint8_t> &values) {
    if (values.empty()) {
        return writeDataRows(out);
    }
    return writeValueRows(out, values, static_cast<std::size_t>(std::max(width, 0)),
                          static_cast<std::size_t>(std::max(height, 0)));
}

Outcome writeFittedRows(std::ostream &out, const Fitting &fitting,
                        std::vector<std::uint8_t> &values) {
    Outcome found = fitAndReduce(fitting, values);
    if (!found.ok()) {
        return found;
    }
    return writeReducedRows(out, values);
}

Outcome colorBytes(const std::vector<std::uint8_t> &values, std::vector<std::uint8_t> &bytes) {
    if (!values.empty()) {
        bytes = values;
        return {};
    }
    const auto columns = static_cast<std::size_t>(std::max(width, 0));
    const auto rows = static_cast<std::size_t>(std::max(height, 0));
    Outcome found = allocate(bytes, {columns, rows});
    // Rows are stored bottom-up.
    for (std::size_t y = 0; found.ok() && y < rows; ++y) {
        const std::uint8_t *pixel = &texels[(rows - 1 - y) * columns * 3];
        for (std::size_t x = 0; x < columns; ++x, pixel += 3) {
            bytes[y * columns + x] = packColor(pixel[0], pixel[1], pixel[2]);
        }
    }
    return found;
}

std::uint64_t opaqueWithColor(const std::vector<std::uint8_t> &bytes, std::uint8_t key) {
    const auto columns = static_cast<std::size_t>(std::max(width, 0));
    const auto rows = static_cast<std::size_t>(std::max(height, 0));
    std::uint64_t count = 0;
    for (std::size_t y = 0; y < rows && bytes.size() == columns * rows; ++y) {
        const std::uint8_t *marks =
            transparency ? &transparency[(rows - 1 - y) * columns] : nullptr;
        for (std::size_t x = 0; x < columns; ++x) {
            count += bytes[y * columns + x] == key && (marks == nullptr || marks[x] == 0) ? 1 : 0;
        }
    }
    return count;
}
