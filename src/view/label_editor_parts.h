// What the label editor's files share: its cells' owner, its selection, and the placing, caret
// and text changes each part calls on.
#pragma once

#include "labels/label_cells.h"
#include "platform/display.h"
#include "view/label_editor.h"

#include <algorithm>
#include <memory>

namespace tarvo {

class NetView;

namespace label_edit {

struct CellsDeleter {
    void operator()(ChunkList* list) const {
        if (list)
            list->destroy();
    }
};
using CellsPtr = std::unique_ptr<LabelCells, CellsDeleter>;

inline int length(const LabelEditor& e) {
    return e.cells ? e.cells->size() : 0;
}
inline int selectionStart(const LabelEditor& e) {
    return std::min(e.anchor, e.caret);
}
inline int selectionEnd(const LabelEditor& e) {
    return std::max(e.anchor, e.caret);
}
inline bool hasSelection(const LabelEditor& e) {
    return e.anchor != e.caret;
}

// Placing, in label_editor_layout.cpp.
platform::Point pointOf(const LabelEditor& e, int position);
int positionAt(const LabelEditor& e, platform::Point at);
platform::Rect lineBand(const LabelEditor& e, int position);
void invalidate(NetView& view, const platform::Rect& rect);
void placeCaret(NetView& view, LabelEditor& e);
void layOut(NetView& view, LabelEditor& e, bool measure);

// Changing the text and moving the caret, in label_editor.cpp.
void textChanged(NetView& view, LabelEditor& e);
void moveCaret(NetView& view, LabelEditor& e, int to, bool extend);
bool deleteSelection(LabelEditor& e);
void insertAtCaret(NetView& view, LabelEditor& e, const char* bytes, int count, bool raw);
void eraseRange(NetView& view, LabelEditor& e, int from, int to);
void deleteForward(NetView& view, LabelEditor& e);

} // namespace label_edit
} // namespace tarvo
