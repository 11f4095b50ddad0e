// The keyboard layout of the X server the program runs on.
#pragma once

#include "platform/keyboard_layout.h"

struct _XDisplay; // NOLINT(bugprone-reserved-identifier): Xlib's own name for a display

namespace platform::qt {

class X11KeyboardLayout final : public KeyboardLayout {
public:
    // Asks the running application's X connection; on other Qt platforms, or before the
    // application exists, every answer comes from the US layout.
    X11KeyboardLayout();
    explicit X11KeyboardLayout(_XDisplay* display);

    bool keyForCharacter(unsigned char cp1252Char, int* key, bool* shift) override;

private:
    _XDisplay* m_display = nullptr;
    UsKeyboardLayout m_usLayout;
};

} // namespace platform::qt
