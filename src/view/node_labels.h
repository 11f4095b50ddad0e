// Node labels inside their boxes: broken into centred lines, fitted to a size, drawn.
#pragma once

#include "platform/display.h"

namespace tarvo {

class NetView;
class Node;

// The largest point size, at most `size`, at which the label's widest word is narrower than
// maxWidth and its lines, broken at maxWidth, are together less high than maxHeight; it stops
// at 7 (callers raise smaller answers to 7).
int FitLabelFont(platform::Display& display, const char* label, int size, int maxWidth,
                 int maxHeight);

// Draws the label in lines centred on `centre`, broken at `maxWidth`, at `points`.
void DrawNodeLabel(platform::Display& display, const char* label, int points,
                   platform::Point centre, int maxWidth);

// The view's label size from its cells and its widest label; also the metrics of its normal
// and half-size fonts and the size of its distance numbers.
void FitViewLabelFont(NetView& view);
// Finds the node whose label has the longest word, which the label size is fitted to.
void FindWidestLabel(NetView& view);

} // namespace tarvo
