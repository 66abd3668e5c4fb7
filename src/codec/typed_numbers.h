#pragma once

// Numbers as people type them into the page's boxes, read and checked here
// so that every front end refuses the same text with the same line, which
// quotes what was typed.

#include "display/fitting.h"
#include "outcome.h"

#include <cstdint>
#include <optional>
#include <string>

// A whole number typed in a box: decimal digits, with spaces around them
// allowed. Anything else (a sign, a point, an exponent, a letter, nothing)
// and any value past `most` gives nothing.
std::optional<std::uint64_t> wholeNumber(const std::string &typed, std::uint64_t most);

// Whether a box holds nothing but spaces.
bool blank(const std::string &typed);

// Typed text as a message quotes it: on one line, and cut short after 24
// characters.
std::string typedAsShown(const std::string &typed);

// The choices of the page's "for the display" group: the names chosen, and
// the numbers as typed.
struct TypedFitting {
    std::string columns;
    std::string rows;
    std::string fit = "original";
    std::string filter = "sharp";
    std::string colors = "nearest";
    std::optional<std::string> key; // where a key colour is asked for
};

// Those choices read and checked into `fitting`: the names of the fit, the
// filter and the colours (badChoice for a name there is no such choice
// of), the display size where the picture is fitted, and the key colour
// where one is asked for.
Outcome readFitting(const TypedFitting &typed, Fitting &fitting);

// The display size typed in its two boxes, each side 1 to maxResizedSide,
// into `fitting`; badSize quoting both boxes otherwise.
Outcome readDisplaySize(const std::string &columns, const std::string &rows, Fitting &fitting);

// The key colour typed in its box, a colour byte 0 to 255, into `fitting`;
// badKey quoting the box otherwise.
Outcome readKeyColor(const std::string &typed, Fitting &fitting);
