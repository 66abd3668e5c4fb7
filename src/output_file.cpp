#include "output_file.h"

#include "temporary_file.h"

bool writeFileReplacing(const std::string &path, const std::function<void(std::ostream &)> &produce,
                        FileMode mode) {
    TemporaryFile temporary(path, mode == FileMode::binary);
    if (!temporary.isOpen()) {
        return false;
    }
    produce(temporary.stream());
    return temporary.commit();
}
