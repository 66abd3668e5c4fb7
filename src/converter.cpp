#include "converter.h"

#include "bmp_reader.h"
#include "command_line.h"
#include "data_writer.h"
#include "messages.h"
#include "output_file.h"
#include "program.h"

#include <iostream>

int runConverter(const std::vector<std::string> &arguments) {
    if (!takesOneArgument(arguments, "bmp2data",
                          " file <.bmp .s>\nConverte um arquivo .bmp com 24 bits/pixel para .s "
                          "para uso no segmento de dados\n")) {
        return 1;
    }
    return reportingMallocFailure([&arguments] {
        const std::string &base = arguments[1];
        if (!readBmp((base + ".bmp").c_str())) {
            return 1;
        }
        std::cout << sizeLine(width, height) << '\n';
        const std::string output = base + ".data";
        if (!writeFileReplacing(output, [&base](std::ostream &out) { writeData(out, base); })) {
            std::cout << "Error: cannot write " << printableName(output) << '\n';
            return 1;
        }
        return 0;
    });
}
