// Accented letters typed as an accent key followed by a base letter.
#pragma once

namespace platform {
class KeyboardLayout;
}

namespace tarvo {

inline constexpr int kAccentCount = 11;

// An accent: the character that types it and the letters it turns, position by position, into
// their accented forms (Windows-1252).
struct Accent {
    unsigned char key;
    const char* bases;
    const char* results;
};

// Accent number k (1-based) is AccentTable[k - 1].
extern const Accent AccentTable[kAccentCount];

// Where each accent's character sits on the keyboard in use; a key of -1 types no accent.
struct AccentKey {
    int key = -1;
    bool shift = false;
};

struct AccentKeyState {
    AccentKey keys[kAccentCount];
};

AccentKeyState& accentKeys();

// Asks `layout` once, at start-up, which key and Shift state type each accent's character.
void InitAccentKeys(platform::KeyboardLayout& layout);

// The accent (1 to kAccentCount) that the native key `key` with Shift `shift` types, or 0.
int AccentForKey(int key, bool shift);

// Replaces `ch` by its form under accent `accent` when it is one of the accent's base letters;
// accent 0 changes nothing.
bool ApplyAccent(unsigned char& ch, int accent);

} // namespace tarvo
