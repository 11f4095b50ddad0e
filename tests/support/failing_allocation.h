// System allocations that fail on demand, for the out-of-memory paths.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace testing_support {

// How many more system allocations countedMalloc lets through.
inline int allowedAllocations = 0;

inline void* countedMalloc(std::size_t bytes) {
    return allowedAllocations-- > 0 ? std::malloc(bytes) : nullptr;
}
inline void* noMemory(std::size_t) {
    return nullptr;
}
inline void plainFree(void* memory) {
    std::free(memory);
}

} // namespace testing_support
