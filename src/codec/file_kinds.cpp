#include "file_kinds.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

bool startsWith(const std::uint8_t *head, std::size_t size, const std::string &magic,
                std::size_t at = 0) {
    return size >= at + magic.size() &&
           std::equal(magic.begin(), magic.end(), head + at, [](char expected, std::uint8_t byte) {
               return static_cast<std::uint8_t>(expected) == byte;
           });
}

// Whether the text's first line that holds anything but spaces, a comment
// or ".data" is a block's "LABEL: .word" line.
bool startsDataText(const std::string &text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        // Up to a comment, if any.
        const std::string line = text.substr(start, std::min(end, text.find('#', start)) - start);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line.compare(first, 5, ".data") != 0) {
            const std::size_t word = line.find(".word");
            const std::size_t colon = line.find(':');
            return colon != std::string::npos && word != std::string::npos && colon < word;
        }
        start = end + 1;
    }
    return false;
}

} // namespace

FileKind kindOfFile(const std::uint8_t *head, std::size_t size) {
    if (startsWith(head, size, "BM")) {
        return FileKind::bmp;
    }
    if (startsWith(head, size, "\x89PNG\r\n\x1a\n")) {
        return FileKind::png;
    }
    if (startsWith(head, size, "\xff\xd8\xff")) {
        return FileKind::jpeg;
    }
    if (startsWith(head, size, "GIF8")) {
        return FileKind::gif;
    }
    if (startsWith(head, size, "RIFF") && startsWith(head, size, "WEBP", 8)) {
        return FileKind::webp;
    }
    const std::string text(reinterpret_cast<const char *>(head), size);
    return startsDataText(text) ? FileKind::data : FileKind::other;
}

const char *fileKindName(FileKind kind) {
    constexpr std::array<const char *, 7> names{"other", "bmp",  "png", "jpeg",
                                                "gif",   "webp", "data"};
    return names.at(static_cast<std::size_t>(kind));
}
