// Which key of the keyboard types a character: asked once at start-up for the accent keys.
#pragma once

namespace platform {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The layout's native key code (under X11 the X keycode, which key events report as their
    // native scan code) and whether Shift is held to type `cp1252Char`; false when no key types
    // it with Shift or without.
    virtual bool keyForCharacter(unsigned char cp1252Char, int* key, bool* shift) = 0;
};

// The US layout in X keycodes, for where the real layout cannot be asked: other window
// systems, the command-line tool and tests. It knows the printable ASCII characters.
class UsKeyboardLayout final : public KeyboardLayout {
public:
    bool keyForCharacter(unsigned char cp1252Char, int* key, bool* shift) override;
};

} // namespace platform
