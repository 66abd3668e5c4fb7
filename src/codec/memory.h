#pragma once

// Every buffer whose size comes from a file is taken through allocate(): the
// size is multiplied out without overflow, checked against what this system
// can address (2 GiB on a 32-bit one), and a failed allocation becomes the
// outOfMemory outcome instead of an exception. Smaller allocations (a
// message's text, a resize's tables) are caught where each entry point of
// the codec runs its work through guarded().

#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <type_traits>

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

// Runs `work(context)`; an allocation that fails anywhere in it gives the
// outOfMemory outcome. The codec's entry points run through this, and it is
// the only place in the codec that catches anything.
Outcome withinMemory(Outcome (*work)(void *), void *context);

// withinMemory for any callable that answers with an Outcome.
template <typename Work> Outcome guarded(Work &&work) {
    using Callable = std::remove_reference_t<Work>;
    return withinMemory([](void *context) { return (*static_cast<Callable *>(context))(); }, &work);
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
    return guarded([&] {
        memory_detail::sizeBuffer(buffer, bytes);
        return Outcome{};
    });
}
