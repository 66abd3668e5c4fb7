// libFuzzer target: the whole conversion, reader and writer, on arbitrary bytes
// given as the .bmp file.
#include "bmp_decoder.h"
#include "data_writer.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>

namespace {

// Accepts and discards everything, so the writer's formatting runs at full speed.
class DiscardingBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override {
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char * /*text*/, std::streamsize count) override {
        return count;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const Outcome outcome = decodeBmp(data, size);
    if (outcome.ok()) {
        DiscardingBuffer discard;
        std::ostream out(&discard);
        writeData(out, "fuzz");
    } else if (messageOf(outcome).rfind("Error: ", 0) != 0 || texels != nullptr) {
        __builtin_trap(); // every failure has its message and leaves no picture
    }
    return 0;
}
