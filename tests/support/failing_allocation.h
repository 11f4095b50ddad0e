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
// Which system allocation from now on fails, alone: 0 the next one; below zero none.
inline int failingAllocation = -1;

inline void* mallocFailingOnce(std::size_t bytes) {
    return failingAllocation-- == 0 ? nullptr : std::malloc(bytes);
}
inline void* noMemory(std::size_t) {
    return nullptr;
}
inline void plainFree(void* memory) {
    std::free(memory);
}

} // namespace testing_support
