#include "output_file.h"

#include "platform.h"

#include <fstream>

namespace {

// Unique per process, so concurrent runs on one name never share it.
std::string temporaryNameFor(const std::string &path) {
    return path + ".tmp" + std::to_string(processId());
}

} // namespace

bool writeFileReplacing(const std::string &path, const std::function<void(std::ostream &)> &produce,
                        FileMode mode) {
    const std::string temporary = temporaryNameFor(path);
    std::ofstream out;
    openForWriting(out, temporary, mode == FileMode::binary);
    if (!out) {
        return false;
    }
    produce(out);
    out.close();
    if (!out || !replaceFile(temporary, path)) {
        removeFile(temporary);
        return false;
    }
    return true;
}
