// The hash of a node's key text that spreads the nodes over a node table's rows and buckets.
#pragma once

#include <cstdint>

namespace tarvo {

// The bucket (0 to 48) of a zero-terminated key, its row (0 to 6) through `row`. Label markup
// codes are left out, so keys that differ only in formatting share a bucket; a null key hashes
// as the empty text.
int KeyHash(const char* keyText, int* row);

// The whole 32-bit sum behind KeyHash's row and bucket.
std::uint32_t KeyHashValue(const char* keyText);

} // namespace tarvo
