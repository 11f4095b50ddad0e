// Measuring and drawing a label run by run: each stretch between escapes in the font of its
// formatting state, superscript raised and subscript lowered from the baseline.
#pragma once

#include "labels/label_markup.h"

namespace platform {
class Display;
}

namespace tarvo {

// The point size of a run at `position` in a label of `points`.
int RunPoints(int points, TextPosition position);
// How far a run at `position` lies below the baseline (negative: above), in drawing units.
float BaselineOffset(int points, TextPosition position);

// The width of the first `length` bytes of `label`, starting in `style` and `font` (-1 for the
// default font), at `points`.
int MeasureLabel(platform::Display& display, const char* label, int length, TextStyle style,
                 int font, int points);
// Draws them from the display's current position, which it advances along the baseline;
// answers the width drawn. The selected font is restored afterwards.
int DrawLabel(platform::Display& display, const char* label, int length, TextStyle style, int font,
              int points);

} // namespace tarvo
