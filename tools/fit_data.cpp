// Writes the data text of a BMP fitted to a display as the page does it, by
// the page's own job, for the page's tests to compare with.
// Usage: fit_data INPUT.bmp OUTPUT.data LABEL COLUMNS ROWS inside|fill|stretch
//        sharp|smooth nearest|ordered|diffuse [KEY]
// KEY, a colour byte 0-255, is given to the transparent pixels.
#include "data_writer.h"
#include "job.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char *argv[]) {
    const std::vector<std::string> arguments(argv, argv + argc);
    if (arguments.size() < 9 || arguments.size() > 10 || arguments[6] == "original") {
        std::cerr << "usage: fit_data INPUT.bmp OUTPUT.data LABEL COLUMNS ROWS inside|fill|stretch "
                     "sharp|smooth nearest|ordered|diffuse [KEY]\n";
        return 1;
    }
    std::ifstream in(arguments[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Job job;
    job.name = arguments[1];
    job.size = bytes.size();
    job.fitting = {arguments[4], arguments[5], arguments[6],
                   arguments[7], arguments[8], std::nullopt};
    if (arguments.size() == 10) {
        job.fitting.key = arguments[9];
    }
    StringSink rows;
    const JobResult result = runJob(job, memoryReader(bytes), rows);
    // The label line comes last, when the fitted size is known.
    std::string header;
    Outcome outcome = result.outcome;
    if (outcome.ok()) {
        outcome = dataHeader(arguments[3], result.width, result.height, header);
    }
    if (!outcome.ok()) {
        std::cerr << messageOf(outcome) << '\n';
        return 1;
    }
    std::ofstream out(arguments[2], std::ios::binary);
    out << header << rows.text;
    return out.good() ? 0 : 1;
}
