// Base for the program's own data classes: their objects live in the size-class heap.
#pragma once

#include "memory/size_class_heap.h"

#include <cstddef>
#include <limits>

namespace tarvo {

class HeapObject {
public:
    // Non-throwing: a new-expression yields null when memory runs out, and callers cope with
    // null until the orderly exit that the out-of-memory report starts.
    static void* operator new(std::size_t bytes) noexcept {
        if (bytes > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            return nullptr;
        return Allocate(static_cast<std::int32_t>(bytes));
    }
    static void operator delete(void* block) noexcept { Release(block); }
};

} // namespace tarvo
