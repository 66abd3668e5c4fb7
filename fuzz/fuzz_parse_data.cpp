// libFuzzer target: the data-file parser and the preview encoder on arbitrary text.
#include "bmp_writer.h"
#include "data_parser.h"
#include "preview.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const DataParseResult parsed =
        parseData(std::string(reinterpret_cast<const char *>(data), size));
    if (parsed.ok &&
        parsed.image.values.size() != std::size_t{parsed.image.width} * parsed.image.height) {
        __builtin_trap(); // the parser promised exactly width × height values
    }
    if (parsed.ok) {
        const std::string bmp =
            encodeBmp(parsed.image.width, parsed.image.height, expandColors(parsed.image.values));
        static_cast<void>(bmp);
    }
    return 0;
}
