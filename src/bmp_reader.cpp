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
        outcome = decodeBmp(in, fileName, adviseHugePages, AlphaUse::ignore);
    } else {
        clearImage();
    }
    report(outcome);
    return outcome;
}
