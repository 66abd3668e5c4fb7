#pragma once

// Every buffer whose size comes from a file is taken through allocate(): the
// size is multiplied out without overflow, checked against what this system
// can address (2 GiB on a 32-bit one), and a failed allocation becomes the
// outOfMemory outcome instead of an exception.

#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

// The product of `factors` in `bytes`, if it can be the size of a buffer here.
inline bool bufferSize(std::initializer_list<std::uint64_t> factors, std::size_t &bytes) {
    constexpr auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
    std::uint64_t product = 1;
    for (const std::uint64_t factor : factors) {
        if (factor != 0 && product > limit / factor) {
            return false;
        }
        product *= factor;
    }
    bytes = static_cast<std::size_t>(product);
    return true;
}

namespace memory_detail {

// Uninitialised bytes: the caller fills every one of them.
inline void sizeBuffer(std::unique_ptr<std::uint8_t[]> &buffer, std::size_t bytes) {
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): make_unique would zero every byte
    buffer.reset(new std::uint8_t[bytes]);
}

template <typename Container> void sizeBuffer(Container &buffer, std::size_t bytes) {
    buffer.resize(bytes);
}

} // namespace memory_detail

// Sizes `buffer` (a byte vector, a string or a byte array) to the product of
// `factors`.
template <typename Buffer>
Outcome allocate(Buffer &buffer, std::initializer_list<std::uint64_t> factors) {
    std::size_t bytes = 0;
    if (!bufferSize(factors, bytes)) {
        return fail(Failure::outOfMemory);
    }
    try {
        memory_detail::sizeBuffer(buffer, bytes);
    } catch (const std::bad_alloc &) {
        return fail(Failure::outOfMemory);
    } catch (const std::length_error &) {
        return fail(Failure::outOfMemory);
    }
    return {};
}
