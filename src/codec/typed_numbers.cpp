#include "typed_numbers.h"

#include "display/resize.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

bool blank(const std::string &typed) {
    return std::all_of(typed.begin(), typed.end(), isSpace);
}

std::optional<std::uint64_t> wholeNumber(const std::string &typed, std::uint64_t most) {
    std::size_t first = 0;
    std::size_t end = typed.size();
    while (first < end && isSpace(typed[first])) {
        ++first;
    }
    while (end > first && isSpace(typed[end - 1])) {
        --end;
    }
    if (first == end) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = first; i < end; ++i) {
        const char c = typed[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        // Checked before it can pass `most`, so that no digit string overflows.
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (digit > most || value > (most - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::string typedAsShown(const std::string &typed) {
    constexpr std::size_t longest = 24;
    std::string shown;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const auto byte = static_cast<unsigned char>(typed[i]);
        // Count characters, not the bytes of UTF-8 sequences.
        if ((byte & 0xC0U) != 0x80U && ++characters > longest) {
            return printableName(shown) + "…";
        }
        shown += typed[i];
    }
    return printableName(shown);
}

namespace {

// Sets `choice` to the value whose name is `name`; badChoice if none is.
template <typename Choice, std::size_t count>
Outcome chooseNamed(const char *what, const std::string &name,
                    const std::array<const char *, count> &names, Choice &choice) {
    const auto found = std::find(names.begin(), names.end(), name);
    if (found != names.end()) {
        choice = static_cast<Choice>(found - names.begin());
        return {};
    }
    std::string allowed;
    for (const char *each : names) {
        allowed += (allowed.empty() ? "" : ", ") + std::string(each);
    }
    return fail(Failure::badChoice,
                std::string(what) + " " + typedAsShown(name) + ": one of " + allowed);
}

// Sets the choices named as users name them: fit "original", "inside",
// "fill" or "stretch"; filter "sharp" or "smooth"; colours "nearest",
// "ordered" or "diffuse". badChoice, naming the first that is none of these
// and what it may be, otherwise.
Outcome chooseByName(const std::string &fit, const std::string &filter, const std::string &colors,
                     Fitting &fitting) {
    Outcome found =
        chooseNamed<FitMode, 4>("fit", fit, {"original", "inside", "fill", "stretch"}, fitting.fit);
    if (found.ok()) {
        found = chooseNamed<ResizeFilter, 2>("filter", filter, {"sharp", "smooth"}, fitting.filter);
    }
    if (found.ok()) {
        found = chooseNamed<ColorMode, 3>("colours", colors, {"nearest", "ordered", "diffuse"},
                                          fitting.colors);
    }
    return found;
}

} // namespace

Outcome readDisplaySize(const std::string &columns, const std::string &rows, Fitting &fitting) {
    const std::optional<std::uint64_t> across = wholeNumber(columns, maxResizedSide);
    const std::optional<std::uint64_t> down = wholeNumber(rows, maxResizedSide);
    if (!across || !down || *across == 0 || *down == 0) {
        return fail(Failure::badSize, typedAsShown(columns) + " x " + typedAsShown(rows) +
                                          ": each side must be 1 to " +
                                          std::to_string(maxResizedSide));
    }
    fitting.columns = static_cast<std::uint32_t>(*across);
    fitting.rows = static_cast<std::uint32_t>(*down);
    return {};
}

Outcome readKeyColor(const std::string &typed, Fitting &fitting) {
    const std::optional<std::uint64_t> key = wholeNumber(typed, 255);
    if (!key) {
        return fail(Failure::badKey,
                    typedAsShown(typed) + ": it must be a whole number from 0 to 255");
    }
    fitting.key = static_cast<std::uint8_t>(*key);
    return {};
}

Outcome readFitting(const TypedFitting &typed, Fitting &fitting) {
    Outcome found = chooseByName(typed.fit, typed.filter, typed.colors, fitting);
    if (found.ok() && fitting.fit != FitMode::original) {
        found = readDisplaySize(typed.columns, typed.rows, fitting);
    }
    if (found.ok() && typed.key) {
        found = readKeyColor(*typed.key, fitting);
    }
    return found;
}
