#pragma once

#include "outcome.h"

#include <functional>
#include <ostream>
#include <string>

// Writes a text file so that it is never seen half-written: `produce` writes
// into a temporary file beside `path`, which replaces `path` only once it is
// complete and closed without error. On failure the temporary file is removed
// and any existing `path` is left as it was: the outcome is `produce`'s own
// failure, or cannotWrite naming `path`.
enum class FileMode { text, binary };

Outcome writeFileReplacing(const std::string &path,
                           const std::function<Outcome(std::ostream &)> &produce,
                           FileMode mode = FileMode::text);
