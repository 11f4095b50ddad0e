// The accent table and the accent keys of the keyboard in use.
#include "labels/accents.h"

#include "platform/keyboard_layout.h"

#include <cassert>
#include <cstring>

namespace tarvo {

const Accent AccentTable[kAccentCount] = {
    {',', "cC", "\xE7\xC7"},
    {':', "aeiouyAEIOUY", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC\x9F"},
    {'`', "aeiouAEIOU", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"},
    {'\'', "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
    {'^', "aeiouAEIOUsS", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB\x9A\x8A"},
    {'~', "anoANO-", "\xE3\xF1\xF5\xC3\xD1\xD5\x96"},
    {'@', "aA%CR", "\xE5\xC5\x89\xA9\xAE"},
    {'A', "eE", "\xE6\xC6"},
    {'O', "eE", "\x9C\x8C"},
    {'-', "dD-", "\xF0\xD0\x97"},
    {'/', "oO123", "\xF8\xD8\xBC\xBD\xBE"},
};

AccentKeyState& accentKeys() {
    // One per process: the keys come from the system's keyboard layout, asked once at start-up.
    static AccentKeyState state;
    return state;
}

void InitAccentKeys(platform::KeyboardLayout& layout) {
    for (int i = 0; i < kAccentCount; ++i) {
        int key = -1;
        bool shift = false;
        if (!layout.keyForCharacter(AccentTable[i].key, &key, &shift)) {
            // The layout has no key for this accent's character, so nothing types the accent.
            key = -1;
            shift = false;
        }
        accentKeys().keys[i] = {key, shift};
    }
}

int AccentForKey(int key, bool shift) {
    if (key < 0)
        return 0;
    const AccentKeyState& state = accentKeys();
    for (int i = 0; i < kAccentCount; ++i) {
        if (state.keys[i].key == key && state.keys[i].shift == shift)
            return i + 1;
    }
    return 0;
}

bool ApplyAccent(unsigned char& ch, int accent) {
    assert(accent >= 0 && accent <= kAccentCount && "ApplyAccent: no such accent");
    if (accent <= 0 || accent > kAccentCount)
        return false;
    const Accent& entry = AccentTable[accent - 1];
    // Searched by length, not strchr, so that a zero byte is never taken for a base letter.
    const std::size_t count = std::strlen(entry.bases);
    for (std::size_t i = 0; i < count; ++i) {
        if (static_cast<unsigned char>(entry.bases[i]) == ch) {
            ch = static_cast<unsigned char>(entry.results[i]);
            return true;
        }
    }
    return false;
}

} // namespace tarvo
