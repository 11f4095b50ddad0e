// The program-wide text buffers.
#include "memory/shared_buffers.h"

#include "memory/size_class_heap.h"

#include <cstring>

namespace tarvo {
namespace {

bool allocateZeroed(char*& buffer, int bytes) {
    if (buffer)
        return true;
    buffer = static_cast<char*>(Allocate(bytes));
    if (!buffer)
        return false;
    std::memset(buffer, 0, static_cast<std::size_t>(bytes));
    return true;
}

void releaseBuffer(char*& buffer) {
    Release(buffer);
    buffer = nullptr;
}

} // namespace

SharedBuffers& sharedBuffers() {
    // The allocator's buffers, made once at start-up for the whole process like the heap.
    static SharedBuffers buffers;
    return buffers;
}

bool AllocateWordBuffer() {
    return allocateZeroed(sharedBuffers().word, kWordBufferBytes);
}
void ReleaseWordBuffer() {
    releaseBuffer(sharedBuffers().word);
}
bool AllocateScratchText() {
    return allocateZeroed(sharedBuffers().scratchText, kScratchTextBytes);
}
void ReleaseScratchText() {
    releaseBuffer(sharedBuffers().scratchText);
}

} // namespace tarvo
