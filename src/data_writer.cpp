#include "data_writer.h"

#include "bmp_reader.h"

#include <cmath>
#include <cstddef>

std::uint8_t packColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const auto level = [](std::uint8_t component, double top) {
        return static_cast<unsigned>(std::round(component * top / 255.0));
    };
    return static_cast<std::uint8_t>(level(blue, 3.0) << 6U | level(green, 7.0) << 3U |
                                     level(red, 7.0));
}

void writeData(std::ostream &out, const std::string &label) {
    out << label << ": .word " << width << ", " << height << "\n.byte ";
    if (width > 0 && height > 0 && texels) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        // Rows are stored bottom-up; the top row is written first.
        for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
            const std::uint8_t *pixel = texels.get() + row * rowBytes;
            for (std::size_t p = 0; p < rowBytes; p += 3) {
                out << static_cast<unsigned>(packColor(pixel[p], pixel[p + 1], pixel[p + 2]))
                    << ',';
            }
            out << '\n';
        }
    }
    out << "\n\n";
}
