// The program-wide text buffers made at start-up and shared by the readers, sorts and builders.
#pragma once

namespace tarvo {

inline constexpr int kWordBufferBytes = 400;
inline constexpr int kScratchTextBytes = 1000;

struct SharedBuffers {
    // Token text of the word reader; list sorts of up to 399 bytes borrow it.
    char* word = nullptr;
    // The text builder starts every text here.
    char* scratchText = nullptr;
};

SharedBuffers& sharedBuffers();

// The word buffer is made first at start-up, before the heap, and released last.
bool AllocateWordBuffer();
void ReleaseWordBuffer();
bool AllocateScratchText();
void ReleaseScratchText();

} // namespace tarvo
