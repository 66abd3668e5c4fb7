#pragma once

// What a step of the converter gave: success, or one kind of failure with
// its detail. Every message the programs print, and the page shows, is made
// from such a value by messageOf.

#include <cstddef>
#include <cstdint>
#include <string>

// Every way a step can fail, in one list: the name (the enum's, and the
// page's), where it can happen, and its line as the programs print it or the
// page shows it. In a line, {name} stands for the detail shown as a file
// name, {detail} for the detail as it is and {line} for the line number.
// The failures of decoding with the browser happen only in the page, whose
// cards show their lines.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): one list makes the enum and its table
#define BMP2DATA_FAILURES(X)                                                                       \
    X(none, everywhere, "")                                                                        \
    X(cannotOpen, programs, "Error: fopen failed")                                                 \
    X(notRegularFile, programs, "Error: {name} is not a regular file")                             \
    X(cannotRead, everywhere, "Error: cannot read {name}")                                         \
    X(cannotWrite, programs, "Error: cannot write {name}")                                         \
    X(notBmp, everywhere, "Error: not a BMP file")                                                 \
    X(unsupported, everywhere, "Error: unsupported BMP format ({detail})")                         \
    X(badHeader, everywhere, "Error: bad BMP header")                                              \
    X(truncated, everywhere, "Error: truncated BMP file")                                          \
    X(badPixels, everywhere, "Error: bad BMP pixel data ({detail})")                               \
    X(outOfMemory, everywhere, "Error: Malloc failed")                                             \
    X(badData, everywhere, "Error: bad data file (line {line}): {detail}")                         \
    X(badSize, page, "Error: bad size ({detail})")                                                 \
    X(damaged, page, "Error: damaged picture file")                                                \
    X(tooLarge, page, "Error: picture too large to decode in this browser")                        \
    X(unknownFormat, page, "Error: picture format unknown to this browser")                        \
    X(noDecoder, page, "Error: this browser cannot decode this format here")                       \
    X(badFrames, page, "Error: bad frames ({detail})")                                             \
    X(badKey, page, "Error: bad key colour ({detail})")                                            \
    X(badChoice, page, "Error: bad choice ({detail})")                                             \
    X(badTiles, page, "Error: bad tiles ({detail})")

#define BMP2DATA_FAILURE_NAME(name, where, line) name, // NOLINT(cppcoreguidelines-macro-usage)
enum class Failure { BMP2DATA_FAILURES(BMP2DATA_FAILURE_NAME) };
#undef BMP2DATA_FAILURE_NAME

// Where a failure can happen: in the programs, in the page, or in both.
enum class FailurePlace { programs, page, everywhere };

struct FailureKind {
    const char *name;
    const char *line; // with its placeholders
    Failure failure;
    FailurePlace place;
};

// The list above, in its order.
const FailureKind *failureKinds(std::size_t &count);

// A failure's name ("badHeader"); "" for none.
const char *failureName(Failure failure);

// The failure of that name; false if there is none.
bool failureNamed(const std::string &name, Failure &failure);

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
