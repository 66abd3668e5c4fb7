// Measures the converter against the per-pixel formatted writer it replaced
// and against the raw I/O floor, on pictures of several sizes, side by side.
// Usage: bmp2data_bench BMP2DATA_PROGRAM [WORK_DIRECTORY]
#include "bmp_reader.h"
#include "bmp_variants.h"
#include "data_writer.h"
#include "output_file.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

// The straightforward writer: the colour formula and one formatted write per
// pixel and per separator.
std::uint8_t packColorByFormula(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const auto level = [](std::uint8_t component, double top) {
        return static_cast<unsigned>(std::round(component * top / 255.0));
    };
    return static_cast<std::uint8_t>(level(blue, 3.0) << 6U | level(green, 7.0) << 3U |
                                     level(red, 7.0));
}

Outcome writeDataPerPixel(std::ostream &out, const std::string &label) {
    out << label << ": .word " << width << ", " << height << "\n.byte ";
    for (std::int32_t r = 0; r < height; ++r) {
        for (std::int32_t c = 0; c < width; ++c) {
            const std::uint8_t *pixel =
                texels.get() + ((static_cast<std::size_t>(height - 1 - r) * width) + c) * 3;
            out << static_cast<unsigned>(packColorByFormula(pixel[0], pixel[1], pixel[2]));
            out << (c == width - 1 ? ",\n" : ",");
        }
    }
    out << "\n\n";
    return {};
}

void makePicture(const std::string &name, std::uint32_t side) {
    // NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): the same pictures every run
    std::mt19937 generator(side);
    std::vector<std::uint8_t> rgb(std::size_t{side} * side * 3);
    std::generate(rgb.begin(), rgb.end(),
                  [&generator] { return static_cast<std::uint8_t>(generator() & 0xFFU); });
    std::ofstream(name, std::ios::binary) << bmpFile(side, side, rgb);
}

// A 4096 × 4096 picture in another stored form: 8 bits with a palette of
// 256 random colours, the same as RLE8 (runs of 1 to 16 equal pixels, as in
// drawings), or 32 bits with alpha.
void makeVariantPicture(const std::string &name, const std::string &kind, std::uint32_t side) {
    // NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): the same pictures every run
    std::mt19937 generator(side + 1);
    std::vector<std::uint32_t> pixels(std::size_t{side} * side);
    BmpVariant variant;
    if (kind == "32-bit") {
        variant.bitsPerPixel = 32;
        std::generate(pixels.begin(), pixels.end(), [&generator] { return generator(); });
    } else {
        variant.bitsPerPixel = 8;
        variant.compression = kind == "RLE8" ? BmpCompression::rle8 : BmpCompression::none;
        variant.palette.resize(256);
        std::generate(variant.palette.begin(), variant.palette.end(), [&generator] {
            return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(generator()),
                                               static_cast<std::uint8_t>(generator()),
                                               static_cast<std::uint8_t>(generator())};
        });
        for (std::size_t i = 0; i < pixels.size();) {
            const std::size_t run = kind == "RLE8" ? 1 + generator() % 16 : 1;
            const std::uint32_t index = generator() % 256;
            for (std::size_t j = 0; j < run && i < pixels.size(); ++j, ++i) {
                pixels[i] = index;
            }
        }
    }
    std::ofstream(name, std::ios::binary) << encodeVariant(side, side, pixels, variant);
}

// The best time of several runs; before each, `output` is removed, so that
// every run writes a new file as on a first conversion.
double bestSeconds(int runs, const std::string &output, const std::function<void()> &work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        std::filesystem::remove(output);
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

void convertWith(const std::string &base, Outcome (*writer)(std::ostream &, const std::string &)) {
    if (!readBmp((base + ".bmp").c_str()).ok() ||
        !writeFileReplacing(base + ".data", [&](std::ostream &out) {
             return writer(out, base);
         }).ok()) {
        std::cerr << "conversion of " << base << " failed\n";
        std::exit(1);
    }
}

// Reads the whole input and writes as many bytes as the output has, through
// one reused buffer: what any converter must at least do.
void ioFloor(const std::string &base, std::uintmax_t outputSize, std::vector<char> &buffer) {
    std::ifstream in(base + ".bmp", std::ios::binary);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    }
    std::ofstream out(base + ".floor", std::ios::binary);
    const auto whole = static_cast<std::streamsize>(buffer.size());
    const auto blocks = static_cast<std::streamsize>(outputSize) / whole;
    for (std::streamsize i = 0; i < blocks; ++i) {
        out.write(buffer.data(), whole);
    }
    out.write(buffer.data(), static_cast<std::streamsize>(outputSize) % whole);
}

// Peak resident memory of one run of the real program, in bytes, as GNU time
// reports it. (Measured from a fork of this process, it would include the
// pages this process holds.)
long peakMemory(const std::string &program, const std::string &base) {
    const std::string command =
        "/usr/bin/time -f %M -o peak.txt '" + program + "' '" + base + "' > /dev/null";
    if (std::system(command.c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
    long kibibytes = 0;
    std::ifstream("peak.txt") >> kibibytes;
    return kibibytes * 1024L;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::cerr << "usage: bmp2data_bench BMP2DATA_PROGRAM [WORK_DIRECTORY]\n";
        return 1;
    }
    const std::string program = std::filesystem::absolute(argv[1]).string();
    const std::filesystem::path directory =
        argc > 2 ? std::filesystem::path(argv[2])
                 : std::filesystem::temp_directory_path() / "bmp2data-bench";
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);

    std::printf("%-11s %10s %10s %10s %9s %9s %12s %12s %9s\n", "picture", "converter", "baseline",
                "I/O floor", "speed-up", "vs floor", "ns/pixel", "peak memory", "vs input");
    double nsPerPixel2048 = 0;
    double nsPerPixel4096 = 0;
    for (const std::uint32_t side : {512U, 2048U, 4096U}) {
        const std::string base = "pic" + std::to_string(side);
        makePicture(base + ".bmp", side);
        const int runs = side >= 4096 ? 5 : 9;
        const double converter =
            bestSeconds(runs, base + ".data", [&] { convertWith(base, writeData); });
        const std::uintmax_t outputSize = std::filesystem::file_size(base + ".data");
        const double baseline =
            bestSeconds(3, base + ".data", [&] { convertWith(base, writeDataPerPixel); });
        std::vector<char> buffer(std::size_t{1} << 16U, '7');
        const double floor =
            bestSeconds(runs, base + ".floor", [&] { ioFloor(base, outputSize, buffer); });
        const long peak = peakMemory(program, base);
        const auto inputSize = static_cast<long>(std::filesystem::file_size(base + ".bmp"));
        const double pixels = double(side) * side;
        const double nsPerPixel = converter / pixels * 1e9;
        (side == 2048 ? nsPerPixel2048 : nsPerPixel4096) = nsPerPixel;
        std::printf("%4u x %-4u %9.4fs %9.4fs %9.4fs %8.1fx %8.2fx %12.2f %9.1f MiB %+7.1f MiB\n",
                    side, side, converter, baseline, floor, baseline / converter, converter / floor,
                    nsPerPixel, static_cast<double>(peak) / 1048576.0,
                    static_cast<double>(peak - inputSize) / 1048576.0);
        std::filesystem::remove(base + ".floor");
    }
    std::printf("time per pixel, 4096^2 over 2048^2: %.2f\n\n", nsPerPixel4096 / nsPerPixel2048);

    // Other stored forms of a 4096 × 4096 picture against the 24-bit one.
    std::printf("%-11s %10s %12s %9s %12s %9s\n", "4096 x 4096", "converter", "ns/pixel",
                "vs 24-bit", "peak memory", "vs pixels");
    const double pixels = 4096.0 * 4096.0;
    for (const std::string kind : {"8-bit", "RLE8", "32-bit"}) {
        const std::string base = "pic4096-" + kind;
        makeVariantPicture(base + ".bmp", kind, 4096);
        const double converter =
            bestSeconds(5, base + ".data", [&] { convertWith(base, writeData); });
        const long peak = peakMemory(program, base);
        const double nsPerPixel = converter / pixels * 1e9;
        std::printf("%-11s %9.4fs %12.2f %8.2fx %9.1f MiB %+7.1f MiB\n", kind.c_str(), converter,
                    nsPerPixel, nsPerPixel / nsPerPixel4096, static_cast<double>(peak) / 1048576.0,
                    (static_cast<double>(peak) - pixels * 3) / 1048576.0);
    }
    return 0;
}
