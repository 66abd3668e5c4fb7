#include "converter.h"

#include "bmp_reader.h"
#include "command_line.h"
#include "data_writer.h"
#include "messages.h"
#include "output_file.h"

int runConverter(const std::vector<std::string> &arguments) {
    if (!takesOneArgument(arguments, "bmp2data",
                          " file <.bmp .s>\nConverte um arquivo .bmp com 24 bits/pixel para .s "
                          "para uso no segmento de dados")) {
        return 1;
    }
    const std::string &base = arguments[1];
    if (!readBmp((base + ".bmp").c_str()).ok()) {
        return 1;
    }
    printLine(sizeLine(width, height));
    const std::string output = base + ".data";
    const Outcome written =
        writeFileReplacing(output, [&base](std::ostream &out) { return writeData(out, base); });
    report(written);
    return written.ok() ? 0 : 1;
}
