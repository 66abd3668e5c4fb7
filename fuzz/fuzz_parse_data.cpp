// libFuzzer target: the data-file parser and the preview encoder on arbitrary text.
#include "bmp/bmp_writer.h"
#include "data_parser.h"
#include "data_writer.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    DataImage image;
    const Outcome parsed =
        parseData(std::string(reinterpret_cast<const char *>(data), size), image);
    if (!parsed.ok()) {
        if (parsed.failure != Failure::badData || parsed.line == 0 || !image.values.empty()) {
            __builtin_trap(); // a bad text is reported where it goes wrong, and gives no picture
        }
        return 0;
    }
    if (image.values.size() != std::size_t{image.width} * image.height) {
        __builtin_trap(); // the parser promised exactly width × height values
    }
    std::vector<std::uint8_t> rgb;
    if (expandColors(image.values, rgb).ok()) {
        std::string bmp;
        static_cast<void>(encodeBmp(image.width, image.height, rgb, bmp));
    }
    return 0;
}
