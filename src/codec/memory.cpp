#include "memory.h"

#include <new>
#include <stdexcept>

Outcome withinMemory(Outcome (*work)(void *), void *context) {
    try {
        return work(context);
    } catch (const std::bad_alloc &) {
        return fail(Failure::outOfMemory);
    } catch (const std::length_error &) {
        return fail(Failure::outOfMemory);
    }
}
