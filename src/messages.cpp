#include "messages.h"

#include <iostream>

std::string printableName(const std::string &name) {
    static constexpr char hexDigits[] = "0123456789abcdef";
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20U || byte == 0x7FU) {
            shown += "\\x";
            shown += hexDigits[byte >> 4U];
            shown += hexDigits[byte & 0xFU];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string sizeLine(std::int64_t width, std::int64_t height) {
    return "size:" + std::to_string(width) + " x " + std::to_string(height);
}

std::string badDataMessage(const DataParseResult &parsed) {
    return "Error: bad data file (line " + std::to_string(parsed.errorLine) + "): " + parsed.error;
}

bool openInputFile(const std::string &name, FileHandle &file) {
    switch (openRegularFile(name, file)) {
    case OpenStatus::ok:
        return true;
    case OpenStatus::cannotOpen:
        std::cout << "Error: fopen failed\n";
        return false;
    case OpenStatus::notRegularFile:
        std::cout << "Error: " << printableName(name) << " is not a regular file\n";
        return false;
    }
    return false;
}
