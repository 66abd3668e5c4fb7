#pragma once

// What a step of the converter gave: success, or one kind of failure with
// its detail. Every message the programs print, and the page shows, is made
// from such a value by messageOf.

#include <cstddef>
#include <cstdint>
#include <string>

enum class Failure {
    none,
    cannotOpen,     // the input file
    notRegularFile, // detail: the file's name
    cannotRead,     // detail: the file's name
    cannotWrite,    // detail: the file's name
    notBmp,
    unsupported, // detail: the variant the reader does not read
    badHeader,
    truncated,
    badPixels, // detail: what the pixel data asks that the picture cannot hold
    outOfMemory,
    badData, // detail: what is wrong in a data file; line: where
    badSize, // detail: the size asked for a resized picture, and why it cannot be
};

struct Outcome {
    Failure failure = Failure::none;
    std::string detail;
    std::size_t line = 0;

    bool ok() const {
        return failure == Failure::none;
    }
};

Outcome fail(Failure failure, std::string detail = {}, std::size_t line = 0);

// The one-line message for a failure ("Error: ..."), without its line end;
// "" for success.
std::string messageOf(const Outcome &outcome);

// "size:W x H", the line both programs print on success.
std::string sizeLine(std::int64_t width, std::int64_t height);

// A file name as messages show it: control characters escaped ("\n", "\t",
// "\x1b"), so that every message stays on one line. Everything else, a
// Windows path's backslashes included, is shown as it is.
std::string printableName(const std::string &name);
