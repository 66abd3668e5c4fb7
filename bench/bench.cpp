// Measures the converter against the per-pixel formatted writer it replaced
// and against the raw I/O floor, on pictures of several sizes, side by side.
// Usage: bmp2data_bench BMP2DATA_PROGRAM [WORK_DIRECTORY]
#include "bmp_reader.h"
#include "bmp_writer.h"
#include "data_writer.h"
#include "output_file.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

void writeDataPerPixel(std::ostream &out, const std::string &label) {
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
}

void makePicture(const std::string &name, std::uint32_t side) {
    // NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): the same pictures every run
    std::mt19937 generator(side);
    std::vector<std::uint8_t> rgb(std::size_t{side} * side * 3);
    std::generate(rgb.begin(), rgb.end(),
                  [&generator] { return static_cast<std::uint8_t>(generator() & 0xFFU); });
    std::ofstream(name, std::ios::binary) << encodeBmp(side, side, rgb);
}

double bestSeconds(int runs, const std::function<void()> &work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

void convertWith(const std::string &base, void (*writer)(std::ostream &, const std::string &)) {
    if (!readBmp((base + ".bmp").c_str()) ||
        !writeFileReplacing(base + ".data", [&](std::ostream &out) { writer(out, base); })) {
        std::cerr << "conversion of " << base << " failed\n";
        std::exit(1);
    }
}

// Reads the whole input and writes as many bytes as the output has: what any
// converter must at least do.
void ioFloor(const std::string &base, std::uintmax_t outputSize) {
    std::ifstream in(base + ".bmp", std::ios::binary);
    std::vector<char> input(std::filesystem::file_size(base + ".bmp"));
    in.read(input.data(), static_cast<std::streamsize>(input.size()));
    std::vector<char> output(outputSize, '7');
    std::ofstream out(base + ".floor", std::ios::binary);
    out.write(output.data(), static_cast<std::streamsize>(output.size()));
}

// Peak resident memory of one run of the real program, in bytes.
long peakMemory(const std::string &program, const std::string &base) {
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            _exit(126);
        }
        execl(program.c_str(), program.c_str(), base.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << program << " failed on " << base << "\n";
        std::exit(1);
    }
    return usage.ru_maxrss * 1024L;
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
        const double converter = bestSeconds(runs, [&] { convertWith(base, writeData); });
        const std::uintmax_t outputSize = std::filesystem::file_size(base + ".data");
        const double baseline = bestSeconds(3, [&] { convertWith(base, writeDataPerPixel); });
        const double floor = bestSeconds(runs, [&] { ioFloor(base, outputSize); });
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
    std::printf("time per pixel, 4096^2 over 2048^2: %.2f\n", nsPerPixel4096 / nsPerPixel2048);
    return 0;
}
