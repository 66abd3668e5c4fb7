#pragma once

#include <functional>
#include <ostream>
#include <string>

// Writes a text file so that it is never seen half-written: `produce` writes
// into a temporary file beside `path`, which replaces `path` only once it is
// complete and closed without error. On failure the temporary file is removed,
// any existing `path` is left as it was, and false is returned.
enum class FileMode { text, binary };

bool writeFileReplacing(const std::string &path, const std::function<void(std::ostream &)> &produce,
                        FileMode mode = FileMode::text);
