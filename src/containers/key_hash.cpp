// The key hash: a base-19 sum over the characters of a key, skipping label markup.
#include "containers/key_hash.h"

#include "containers/node_table.h"

#include <cstdint>

namespace tarvo {
namespace {

constexpr unsigned char kMarkupEscape = 127;

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Steps over a run of markup codes: the escape, an optional decimal number and one code byte. A
// code cut short by the end of the text stops at the terminator.
const unsigned char* skipMarkup(const unsigned char* at) {
    while (*at == kMarkupEscape) {
        ++at;
        while (isDigit(*at))
            ++at;
        if (*at == 0)
            return at;
        ++at;
    }
    return at;
}

} // namespace

std::uint32_t KeyHashValue(const char* keyText) {
    std::uint32_t h = 0;
    if (keyText) {
        for (auto* at = reinterpret_cast<const unsigned char*>(keyText);; ++at) {
            at = skipMarkup(at);
            if (*at == 0)
                break;
            // Characters are signed bytes: those from 128 up add negative values.
            h = h * 19u + static_cast<std::uint32_t>(static_cast<std::int8_t>(*at));
        }
    }
    return h;
}

int KeyHash(const char* keyText, int* row) {
    const std::uint32_t h = KeyHashValue(keyText);
    if (row)
        *row = static_cast<int>(h % static_cast<std::uint32_t>(kTableRows));
    return static_cast<int>(h / static_cast<std::uint32_t>(kTableRows) %
                            static_cast<std::uint32_t>(kTableBucketsPerRow));
}

} // namespace tarvo
