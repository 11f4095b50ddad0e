// The label editor of a view: the current node's label as character cells, edited in place over
// the node. The view's operations on it are declared with the view's others; what is here is
// its record and what the view's paint and formatting need of it besides.
#pragma once

#include "labels/label_markup.h"
#include "platform/display.h"

#include <string>

namespace tarvo {

class LabelCells;
class LabelWords;
class NetView;
class ViewNode;

// A label holds at most this many cells: typing and pasting stop there. It keeps a label to
// what fits a node box and a line of the tool bar's lists, however much the clipboard holds.
inline constexpr int kMaxLabelCells = 255;

struct LabelEditor {
    LabelCells* cells = nullptr;
    // The text broken into lines at the wrap width; made again after every change.
    LabelWords* words = nullptr;
    int lines = 0;

    ViewNode* node = nullptr;
    int wrapWidth = 80;
    // The editor's font size in points and the metrics of its plain font.
    int points = 12;
    int lineHeight = 0;
    int ascent = 0;
    int spaceWidth = 0;
    // The widest line and the height of all lines; the sum of the cells' widths.
    int textWidth = 0;
    int blockHeight = 0;
    int totalWidth = 0;
    // Raised and lowered text reaches above the node centre's lines by this much.
    int raisedOffset = 0;

    // The caret's position in the text and where it is drawn (its top left, window pixels).
    int caret = 0;
    platform::Point caretAt;
    int caretWidth = 1;
    int caretHeight = 12;
    // The selection runs between the anchor and the caret.
    int anchor = 0;

    // Formatting for the next typed characters (-1: that of the text before the caret), and the
    // accent of the last accent key (0: none).
    int pendingStyle = -1;
    int pendingFont = -1;
    int pendingAccent = 0;

    bool focusLost = false;
    bool changed = false;
    // The editor's area in the window.
    platform::Rect rect;
};

// The style at the caret: the pending one, else that of the cell before the caret (0 at the
// text's start), whether or not a selection ends there.
int StyleAtCaret(const NetView& view);
// The editor's text in internal label form; empty without an editor.
std::string EditorText(const NetView& view);

// A key pressed with Ctrl that the view does not know, by its native code: the accent it types,
// if any, goes to the next typed character.
void EditorAccentKey(NetView& view, int nativeKey, bool shift);

// Formatting applied with the editor open: to the selection, or else as the pending style or
// font of the next characters.
void EditorApplyFormat(NetView& view, int kind, int value);
// One formatting command (a kFormat kind and its value) applied to the cells from..to-1;
// `current` is the style its toggle starts from.
void FormatCells(LabelCells& cells, int from, int to, int kind, int value, TextStyle current);

// Draws the editor over the dimmed picture: its text, the selection in the highlight (or, with
// the focus elsewhere, in grey) with its text in white, and a frame.
void PaintEditor(NetView& view, platform::Display& display);

} // namespace tarvo
