// The in-place label editor of a view: the current node's label as character cells, laid out in
// lines over the node, edited with the keys, the mouse and the clipboard, and committed as one
// SetLabel edit. Here: its opening and closing, and the changes of its text and caret.
#include "view/label_editor_parts.h"

#include "edit/changes.h"
#include "labels/label_cells.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "platform/view_host.h"
#include "view/commands.h"
#include "view/net_view.h"
#include "view/view_menus.h"
#include "view/view_operations.h"
#include "view/view_paint.h"

#include <algorithm>
#include <cstring>

namespace tarvo {

using namespace label_edit;

namespace {

using platform::Point;
using platform::Rect;

// The first change makes the editor's Undo available.
void noteChange(NetView& view, LabelEditor& e) {
    if (!e.changed && view.menus)
        view.menus->enableItem(cmd::kUndo, true);
    e.changed = true;
}

} // namespace

namespace label_edit {

// After an edit of the cells: everything laid out again and repainted.
void textChanged(NetView& view, LabelEditor& e) {
    const Rect before = e.rect;
    noteChange(view, e);
    layOut(view, e, true);
    e.anchor = e.caret;
    invalidate(view, before);
    invalidate(view, e.rect);
    UpdateSizeCaption(view);
}

// Moves the caret; the anchor follows unless the selection is being extended. Only the lines
// between the old and the new ends are painted again.
void moveCaret(NetView& view, LabelEditor& e, int to, bool extend) {
    to = std::clamp(to, 0, length(e));
    const int oldStart = selectionStart(e);
    const int oldEnd = selectionEnd(e);
    e.caret = to;
    if (!extend)
        e.anchor = to;
    e.pendingStyle = -1;
    e.pendingFont = -1;
    const int low = std::min({oldStart, e.caret, e.anchor});
    const int high = std::max({oldEnd, e.caret, e.anchor});
    const Rect first = lineBand(e, low);
    const Rect last = lineBand(e, high);
    invalidate(view, {e.rect.left, std::min(first.top, last.top), e.rect.right,
                      std::max(first.bottom, last.bottom)});
    placeCaret(view, e);
    UpdateSizeCaption(view);
}

bool deleteSelection(LabelEditor& e) {
    if (!hasSelection(e))
        return false;
    const int from = selectionStart(e);
    e.totalWidth -= DeleteRange(*e.cells, from, selectionEnd(e));
    e.caret = e.anchor = from;
    return true;
}

// Inserts `count` bytes at the caret in place of the selection, as many as the label has room
// for; raw cells keep their own formatting, other text takes the pending one or that of the
// cell before.
void insertAtCaret(NetView& view, LabelEditor& e, const char* bytes, int count, bool raw) {
    const bool replaced = deleteSelection(e);
    const int room = kMaxLabelCells - length(e);
    const int unit = raw ? kRawCellBytes : 1;
    count = std::min(count / unit, std::max(room, 0)) * unit;
    if (count <= 0) {
        if (replaced)
            textChanged(view, e);
        return;
    }
    int style = kRawCells;
    int font = -1;
    if (!raw) {
        const TextCell* before = e.cells->cellAt(e.caret - 1);
        style = e.pendingStyle >= 0 ? e.pendingStyle : before ? before->style : 0;
        font = e.pendingFont >= 0 ? e.pendingFont : before ? before->font : -1;
    }
    e.caret += InsertText(*e.cells, e.caret, bytes, count, style, font);
    textChanged(view, e);
}

void eraseRange(NetView& view, LabelEditor& e, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, length(e));
    if (from >= to)
        return;
    e.totalWidth -= DeleteRange(*e.cells, from, to);
    e.caret = e.anchor = from;
    textChanged(view, e);
}

void deleteForward(NetView& view, LabelEditor& e) {
    if (deleteSelection(e))
        textChanged(view, e);
    else
        eraseRange(view, e, e.caret, e.caret + 1);
}

} // namespace label_edit

namespace {

// The view forgets its editor, which goes with its caret, and its area is painted again.
void dropEditor(NetView& view, bool keepToolBar) {
    LabelEditor* e = view.editor;
    view.editor = nullptr;
    invalidate(view, e->rect);
    if (e->cells)
        e->cells->destroy();
    if (e->words)
        e->words->destroy();
    delete e;
    if (view.host)
        view.host->destroyCaret();
    if (view.menus && !keepToolBar)
        view.menus->showEditingTools(false);
}

// The node's label is what the editor would commit: the same text, or no text for an
// anonymous node.
bool sameAsLabel(const Node* source, const char* text) {
    const char* old = source->keyText();
    if (!old || IsAnonymousLabel(old))
        return !*text;
    return std::strcmp(old, text) == 0;
}

} // namespace

bool EditorOpen(const NetView& view) {
    return view.editor != nullptr;
}

bool EditorCanUndo(const NetView& view) {
    return view.editor && view.editor->changed;
}

void OpenEditor(NetView& view) {
    OpenEditorAt(view, {});
    if (LabelEditor* e = view.editor)
        moveCaret(view, *e, length(*e), false);
}

void OpenEditorAt(NetView& view, Point at) {
    if (view.host)
        view.host->showPopupText({}, "");
    if (view.editor && !CloseEditor(view, true, true))
        return;
    ViewNode* node = view.current;
    if (!node || !node->source || node->source->isProperty())
        return;
    ShowCurrent(view);
    const char* label = node->source->keyText();
    CellsPtr cells(CellsOfLabel(label && !IsAnonymousLabel(label) ? label : ""));
    if (!cells)
        return;
    auto* e = new LabelEditor;
    e->node = node;
    e->cells = cells.release();
    view.editor = e;
    layOut(view, *e, true);
    e->caret = e->anchor = positionAt(*e, at);
    if (view.host) {
        view.host->createCaret(e->caretWidth, e->caretHeight);
        placeCaret(view, *e);
        view.host->showCaret(true);
    }
    invalidate(view, e->rect);
    if (view.menus) {
        view.menus->showEditingTools(true);
        view.menus->enableItem(cmd::kUndo, false);
    }
    UpdateSizeCaption(view);
}

bool CloseEditor(NetView& view, bool commit, bool keepToolBar) {
    LabelEditor* e = view.editor;
    if (!e)
        return true;
    char* text = nullptr;
    if (commit) {
        text = LabelOfCells(*e->cells);
        if (!text)
            return false;
        const Node* source = e->node->source;
        if (sameAsLabel(source, text)) {
            Release(text);
            text = nullptr;
        } else if (*text && view.network && view.network->find(text, source->relationKind())) {
            // Another node has that name: the editor stays, text and all.
            Release(text);
            return false;
        }
    }
    ViewNode* node = e->node;
    dropEditor(view, keepToolBar);
    InvalidateNode(view, node);
    if (view.menus)
        view.menus->enableItem(cmd::kUndo, view.network && changes(*view.network).undo);
    if (text) {
        SetLabel(view, node, text);
        Release(text);
    }
    UpdateSizeCaption(view);
    return true;
}

void ReopenEditor(NetView& view) {
    if (!view.editor)
        return;
    CloseEditor(view, false, true);
    OpenEditor(view);
}

bool EditorContains(const NetView& view, Point at) {
    return view.editor && view.editor->rect.contains(at);
}

void EditorMouseDown(NetView& view, Point at) {
    if (LabelEditor* e = view.editor)
        moveCaret(view, *e, positionAt(*e, at), false);
}

void EditorMouseDrag(NetView& view, Point at) {
    if (LabelEditor* e = view.editor)
        moveCaret(view, *e, positionAt(*e, at), true);
}

void EditorSelectAll(NetView& view) {
    if (LabelEditor* e = view.editor) {
        e->anchor = 0;
        moveCaret(view, *e, length(*e), true);
    }
}

void EditorFocus(NetView& view, bool lost) {
    LabelEditor* e = view.editor;
    if (!e || e->focusLost == lost)
        return;
    e->focusLost = lost;
    if (view.host)
        view.host->showCaret(!lost);
    // The selection changes its brush.
    if (hasSelection(*e))
        invalidate(view, e->rect);
}

std::string EditorText(const NetView& view) {
    if (!view.editor)
        return {};
    char* text = LabelOfCells(*view.editor->cells);
    std::string out = text ? text : "";
    Release(text);
    return out;
}
void RepaintEditor(NetView& view) {
    LabelEditor* e = view.editor;
    if (!e)
        return;
    // An edit from elsewhere removed the node, and another became current: the editor goes
    // without a look at its node, whose copy may be gone.
    if (e->node != view.current) {
        dropEditor(view, false);
        return;
    }
    const Rect before = e->rect;
    // The node's box or the label size may have changed with the layout or the scale.
    layOut(view, *e, true);
    invalidate(view, before);
    invalidate(view, e->rect);
}

} // namespace tarvo
