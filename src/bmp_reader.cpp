#include "bmp_reader.h"

#include "file_stream.h"
#include "messages.h"
#include "platform.h"

Outcome readBmp(const char *fileName) {
    FileHandle file;
    Outcome outcome = openRegularFile(fileName, file);
    if (outcome.ok()) {
        InputFileBuffer buffer(file);
        std::istream in(&buffer);
        outcome = decodeBmp(in, adviseHugePages);
    } else {
        width = 0;
        height = 0;
        texels.reset();
    }
    report(outcome);
    return outcome;
}
