// Writes the data text of a BMP fitted to a display as the page does it, from
// the codec alone, for the page's tests to compare with.
// Usage: fit_data INPUT.bmp OUTPUT.data LABEL COLUMNS ROWS inside|fill|stretch
//        sharp|smooth nearest|ordered|diffuse [KEY]
// KEY, a colour byte 0-255, is given to the transparent pixels.
#include "bmp_decoder.h"
#include "data_writer.h"
#include "fitting.h"
#include "typed_numbers.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char *argv[]) {
    const std::vector<std::string> arguments(argv, argv + argc);
    Fitting named;
    const bool usable = arguments.size() >= 9 && arguments.size() <= 10 &&
                        chooseByName(arguments[6], arguments[7], arguments[8], named) &&
                        named.fit != FitMode::original;
    if (!usable) {
        std::cerr << "usage: fit_data INPUT.bmp OUTPUT.data LABEL COLUMNS ROWS inside|fill|stretch "
                     "sharp|smooth nearest|ordered|diffuse [KEY]\n";
        return 1;
    }
    // The numbers are read as the page reads what is typed in its boxes.
    TypedFitting typed{arguments[4], arguments[5], arguments[6],
                       arguments[7], arguments[8], std::nullopt};
    if (arguments.size() == 10) {
        typed.key = arguments[9];
    }
    Fitting fitting;
    Outcome outcome = readFitting(typed, fitting);
    std::ifstream in(arguments[1], std::ios::binary | std::ios::ate);
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // The label line comes last, when the fitted size is known.
    std::ostringstream rows;
    if (outcome.ok()) {
        outcome = decodeBmp(bytes.data(), bytes.size());
    }
    if (outcome.ok()) {
        std::vector<std::uint8_t> values;
        outcome = writeFittedRows(rows, fitting, values);
    }
    std::string header;
    if (outcome.ok()) {
        outcome = dataHeader(arguments[3], width, height, header);
    }
    if (!outcome.ok()) {
        std::cerr << messageOf(outcome) << '\n';
        return 1;
    }
    std::ofstream out(arguments[2], std::ios::binary);
    out << header << rows.str();
    return out.good() ? 0 : 1;
}
