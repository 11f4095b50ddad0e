// Measuring and drawing a label run by run: each stretch between escapes in the font of its
// formatting state, superscript raised and subscript lowered from the baseline.
#pragma once

#include "labels/label_markup.h"

#include <memory>

namespace platform {
class Display;
class Font;
} // namespace platform

namespace tarvo {

// The point size of a run at `position` in a label of `points`.
int RunPoints(int points, TextPosition position);
// How far a run at `position` lies below the baseline (negative: above), in drawing units.
float BaselineOffset(int points, TextPosition position);
// How far the pen moves down when the position changes from `from` to `to`.
int BaselineShift(int points, TextPosition from, TextPosition to);

// Keeps the font of the current formatting state selected on a display while text is measured
// or drawn: a font is made only when the state changes, the one in use goes when the next is
// selected, and the font selected before comes back at the end.
class RunFont {
public:
    RunFont(platform::Display& display, int points);
    ~RunFont();
    RunFont(const RunFont&) = delete;
    RunFont& operator=(const RunFont&) = delete;

    // Selects the font for `style` in font table entry `font`.
    void select(TextStyle style, int font);

private:
    platform::Display& m_display;
    int m_points;
    std::unique_ptr<platform::Font> m_font;
    platform::Font* m_previous = nullptr;
    TextStyle m_style = 0;
    int m_fontIndex = 0;
};

// Whether `byte` in `style` is a phonetic mark, one with no letter to sit on when it begins a run
// or follows a blank; such a mark is drawn on the display's mark base, which gives it room.
bool IsLoneMark(TextStyle style, char byte);

// The width of the first `length` bytes of `label`, starting in `style` and `font` (-1 for the
// default font), at `points`.
int MeasureLabel(platform::Display& display, const char* label, int length, TextStyle style,
                 int font, int points);
// Draws them from the display's current position, which it advances along the baseline;
// answers the width drawn. The selected font is restored afterwards.
int DrawLabel(platform::Display& display, const char* label, int length, TextStyle style, int font,
              int points);

} // namespace tarvo
