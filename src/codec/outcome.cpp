#include "outcome.h"

#include <algorithm>
#include <iterator>
#include <utility>

Outcome fail(Failure failure, std::string detail, std::size_t line) {
    return {failure, std::move(detail), line};
}

namespace {

// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define BMP2DATA_FAILURE_KIND(name, where, line) {#name, line, Failure::name, FailurePlace::where},
constexpr FailureKind kinds[] = {BMP2DATA_FAILURES(BMP2DATA_FAILURE_KIND)};
#undef BMP2DATA_FAILURE_KIND

const FailureKind &kindOf(Failure failure) {
    return kinds[static_cast<std::size_t>(failure)];
}

} // namespace

const FailureKind *failureKinds(std::size_t &count) {
    count = std::size(kinds);
    return kinds;
}

const char *failureName(Failure failure) {
    return failure == Failure::none ? "" : kindOf(failure).name;
}

bool failureNamed(const std::string &name, Failure &failure) {
    const auto *found =
        std::find_if(std::begin(kinds), std::end(kinds),
                     [&name](const FailureKind &kind) { return name == kind.name; });
    if (found == std::end(kinds)) {
        return false;
    }
    failure = found->failure;
    return true;
}

std::string messageOf(const Outcome &outcome) {
    const std::string line = kindOf(outcome.failure).line;
    std::string message;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t open = line.find('{', at);
        const std::size_t close = line.find('}', open);
        message += line.substr(at, open - at);
        if (open == std::string::npos) {
            break;
        }
        const std::string placeholder = line.substr(open + 1, close - open - 1);
        message += placeholder == "name"   ? printableName(outcome.detail)
                   : placeholder == "line" ? std::to_string(outcome.line)
                                           : outcome.detail;
        at = close + 1;
    }
    return message;
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
