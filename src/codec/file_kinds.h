#pragma once

// What a file is, told from its first bytes alone, never from its name: a
// PNG named logo.bmp is a PNG.

#include <cstddef>
#include <cstdint>

enum class FileKind { other, bmp, png, jpeg, gif, webp, data };

// The kind of a file that starts with `head` (the first bytes, up to a few
// hundred: a data text is told by its first block's ".word" line, past
// empty lines, "#" comments and a ".data" line).
FileKind kindOfFile(const std::uint8_t *head, std::size_t size);

// "bmp", "png", "jpeg", "gif", "webp", "data" or "other".
const char *fileKindName(FileKind kind);
