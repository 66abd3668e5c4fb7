#include "outcome.h"

#include <utility>

Outcome fail(Failure failure, std::string detail, std::size_t line) {
    return {failure, std::move(detail), line};
}

std::string messageOf(const Outcome &outcome) {
    const std::string &detail = outcome.detail;
    switch (outcome.failure) {
    case Failure::none:
        return "";
    case Failure::cannotOpen:
        return "Error: fopen failed";
    case Failure::notRegularFile:
        return "Error: " + printableName(detail) + " is not a regular file";
    case Failure::cannotRead:
        return "Error: cannot read " + printableName(detail);
    case Failure::cannotWrite:
        return "Error: cannot write " + printableName(detail);
    case Failure::notBmp:
        return "Error: not a BMP file";
    case Failure::unsupported:
        return "Error: unsupported BMP format (" + detail + ")";
    case Failure::badHeader:
        return "Error: bad BMP header";
    case Failure::truncated:
        return "Error: truncated BMP file";
    case Failure::badPixels:
        return "Error: bad BMP pixel data (" + detail + ")";
    case Failure::outOfMemory:
        return "Error: Malloc failed";
    case Failure::badData:
        return "Error: bad data file (line " + std::to_string(outcome.line) + "): " + detail;
    case Failure::badSize:
        return "Error: bad size (" + detail + ")";
    }
    return "Error: unknown failure";
}

std::string sizeLine(std::int64_t width, std::int64_t height) {
    return "size:" + std::to_string(width) + " x " + std::to_string(height);
}

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
