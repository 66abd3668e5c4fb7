// Writes the data text of a BMP fitted to a display as the page does it, from
// the codec alone, for the page's tests to compare with.
// Usage: fit_data INPUT.bmp OUTPUT.data LABEL COLUMNS ROWS inside|fill|stretch
//        sharp|smooth nearest|ordered|diffuse [KEY]
// KEY, a colour byte 0-255, is given to the transparent pixels.
#include "bmp_decoder.h"
#include "color_modes.h"
#include "data_writer.h"
#include "resize.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char *argv[]) {
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::map<std::string, FitMode> fits{{"inside", FitMode::fitInside},
                                              {"fill", FitMode::fillAndCrop},
                                              {"stretch", FitMode::stretch}};
    const std::map<std::string, ColorMode> modes{{"nearest", ColorMode::nearest},
                                                 {"ordered", ColorMode::ordered},
                                                 {"diffuse", ColorMode::diffuse}};
    if (arguments.size() < 9 || arguments.size() > 10 || fits.count(arguments[6]) == 0 ||
        modes.count(arguments[8]) == 0) {
        std::cerr << "usage: fit_data INPUT.bmp OUTPUT.data LABEL COLUMNS ROWS inside|fill|stretch "
                     "sharp|smooth nearest|ordered|diffuse [KEY]\n";
        return 1;
    }
    std::optional<std::uint8_t> key;
    if (arguments.size() == 10) {
        key = static_cast<std::uint8_t>(std::stoul(arguments[9]));
    }
    std::ifstream in(arguments[1], std::ios::binary | std::ios::ate);
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const ResizeFilter filter =
        arguments[7] == "sharp" ? ResizeFilter::sharp : ResizeFilter::smooth;
    Outcome outcome = decodeBmp(bytes.data(), bytes.size());
    if (outcome.ok()) {
        outcome = fitImage(static_cast<std::uint32_t>(std::stoul(arguments[4])),
                           static_cast<std::uint32_t>(std::stoul(arguments[5])),
                           fits.at(arguments[6]), filter);
    }
    std::vector<std::uint8_t> values;
    if (outcome.ok()) {
        outcome = reduceColors(modes.at(arguments[8]), values, key);
    }
    std::string header;
    if (outcome.ok()) {
        outcome = dataHeader(arguments[3], width, height, header);
    }
    std::ofstream out(arguments[2], std::ios::binary);
    out << header;
    if (outcome.ok()) {
        outcome = writeValueRows(out, values, static_cast<std::size_t>(width),
                                 static_cast<std::size_t>(height));
    }
    if (!outcome.ok()) {
        std::cerr << messageOf(outcome) << '\n';
        return 1;
    }
    return out.good() ? 0 : 1;
}
