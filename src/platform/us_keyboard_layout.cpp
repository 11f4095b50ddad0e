// The US keyboard layout as X keycodes (evdev key code + 8).
#include "platform/keyboard_layout.h"

#include <cassert>

namespace platform {
namespace {

// One row of neighbouring keys: the characters without and with Shift, left to right.
struct KeyRow {
    int firstKey;
    const char* plain;
    const char* shifted;
};

constexpr KeyRow kUsRows[] = {
    {10, "1234567890-=", "!@#$%^&*()_+"},
    {24, "qwertyuiop[]", "QWERTYUIOP{}"},
    {38, "asdfghjkl;'", "ASDFGHJKL:\""},
    {49, "`", "~"},
    {51, "\\", "|"},
    {52, "zxcvbnm,./", "ZXCVBNM<>?"},
    {65, " ", " "},
};

bool findInRow(const char* row, unsigned char ch, int* column) {
    for (int i = 0; row[i]; ++i) {
        if (static_cast<unsigned char>(row[i]) == ch) {
            *column = i;
            return true;
        }
    }
    return false;
}

} // namespace

bool UsKeyboardLayout::keyForCharacter(unsigned char cp1252Char, int* key, bool* shift) {
    assert(key && shift && "UsKeyboardLayout: needs somewhere to put the answer");
    if (cp1252Char == 0)
        return false;
    for (const KeyRow& row : kUsRows) {
        int column = 0;
        // The plain character first, so that the space bar answers without Shift.
        if (findInRow(row.plain, cp1252Char, &column)) {
            *key = row.firstKey + column;
            *shift = false;
            return true;
        }
        if (findInRow(row.shifted, cp1252Char, &column)) {
            *key = row.firstKey + column;
            *shift = true;
            return true;
        }
    }
    return false;
}

} // namespace platform
