#include "output_file.h"

#include "temporary_file.h"

Outcome writeFileReplacing(const std::string &path,
                           const std::function<Outcome(std::ostream &)> &produce, FileMode mode) {
    TemporaryFile temporary(path, mode == FileMode::binary);
    if (!temporary.isOpen()) {
        return fail(Failure::cannotWrite, path);
    }
    Outcome produced = produce(temporary.stream());
    if (!produced.ok()) {
        return produced;
    }
    return temporary.commit() ? Outcome{} : fail(Failure::cannotWrite, path);
}
