// The keys of the X server's keyboard layout, found through its keysyms.
#include "platform/qt/x11_keyboard_layout.h"

#include "platform/cp1252.h"

#include <QGuiApplication>

#include <cassert>

// Xlib last: its macros (None, Bool, Status...) would spoil the Qt headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace platform::qt {
namespace {

_XDisplay* applicationDisplay() {
    if (!qGuiApp)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

KeySym keysymOf(unsigned char cp1252Char) {
    // Latin-1 keysyms equal their code points; the rest of Unicode has keysyms 0x1000000 up.
    if ((cp1252Char >= 0x20 && cp1252Char <= 0x7E) || cp1252Char >= 0xA0)
        return cp1252Char;
    return 0x01000000 | static_cast<KeySym>(Cp1252ToUnicode(cp1252Char));
}

// Whether `code` types `sym` in the first group, and at which of the two lowest levels.
bool typesAtPlainOrShift(Display* display, KeyCode code, KeySym sym, bool* shift) {
    for (int level = 0; level < 2; ++level) {
        if (XkbKeycodeToKeysym(display, code, 0, level) == sym) {
            *shift = level == 1;
            return true;
        }
    }
    return false;
}

} // namespace

X11KeyboardLayout::X11KeyboardLayout() : m_display(applicationDisplay()) {}

X11KeyboardLayout::X11KeyboardLayout(_XDisplay* display) : m_display(display) {}

bool X11KeyboardLayout::keyForCharacter(unsigned char cp1252Char, int* key, bool* shift) {
    assert(key && shift && "X11KeyboardLayout: needs somewhere to put the answer");
    if (!m_display)
        return m_usLayout.keyForCharacter(cp1252Char, key, shift);
    if (cp1252Char < 0x20 || cp1252Char == 0x7F)
        return false;
    const KeySym sym = keysymOf(cp1252Char);
    // Lowest keycode first, which is the main block: XKeysymToKeycode would rather answer a
    // rare key (the keypad's parentheses, the extra key beside left Shift) that types the
    // character without Shift.
    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(m_display, &minCode, &maxCode);
    for (int code = minCode; code <= maxCode; ++code) {
        if (typesAtPlainOrShift(m_display, static_cast<KeyCode>(code), sym, shift)) {
            *key = code;
            return true;
        }
    }
    // No US key here: on this layout that key types another character, which would then be
    // taken for an accent.
    return false;
}

} // namespace platform::qt
