// The label editor's formatting: styles and fonts applied to the selection or the next typed
// text, and the menus that show them.
#include "view/label_editor_parts.h"

#include "labels/font_table.h"
#include "labels/label_cells.h"
#include "layout/view_node.h"
#include "model/node.h"
#include "view/commands.h"
#include "view/net_view.h"
#include "view/view_editing.h"
#include "view/view_menus.h"
#include "view/view_operations.h"

#include <cstdio>

namespace tarvo {

using namespace label_edit;

int StyleAtCaret(const NetView& view) {
    const LabelEditor* e = view.editor;
    if (!e)
        return 0;
    if (e->pendingStyle >= 0)
        return e->pendingStyle;
    // With a selection too: the caret is the end the user moved last.
    const TextCell* cell = e->cells->cellAt(e->caret - 1);
    return cell ? cell->style : 0;
}

void FormatCells(LabelCells& cells, int from, int to, int kind, int value, TextStyle current) {
    switch (kind) {
    case kFormatToggle:
        SetStyleBits(cells, from, to, static_cast<TextStyle>(value), !(current & value));
        break;
    case kFormatSize:
        SetStyleBits(cells, from, to, kPositionMask, false);
        SetStyleBits(cells, from, to, static_cast<TextStyle>(value & kPositionMask), true);
        break;
    case kFormatFont:
        SetFont(cells, from, to, value);
        break;
    case kFormatClear:
        // No formatting means plain text in the default font.
        SetStyleBits(cells, from, to, 0xFF, false);
        SetFont(cells, from, to, fonts().DefaultFont);
        break;
    default:
        break;
    }
}

void EditorApplyFormat(NetView& view, int kind, int value) {
    LabelEditor* e = view.editor;
    if (!e)
        return;
    const int style = StyleAtCaret(view);
    if (hasSelection(*e)) {
        const int caret = e->caret;
        const int anchor = e->anchor;
        FormatCells(*e->cells, selectionStart(*e), selectionEnd(*e), kind, value,
                    static_cast<TextStyle>(style));
        textChanged(view, *e);
        // The selection stays, to be formatted further.
        e->caret = caret;
        e->anchor = anchor;
        placeCaret(view, *e);
        UpdateSizeCaption(view);
        return;
    }
    // A one-cell scratch text carries the pending formatting through the same rules.
    CellsPtr scratch(new LabelCells);
    const TextCell* before = e->cells->cellAt(e->caret - 1);
    const int font = e->pendingFont >= 0 ? e->pendingFont : before ? before->font : -1;
    InsertText(*scratch, 0, "x", 1, style, font);
    FormatCells(*scratch, 0, 1, kind, value, static_cast<TextStyle>(style));
    const TextCell* cell = scratch->cellAt(0);
    if (!cell)
        return;
    if (kind == kFormatFont || kind == kFormatClear)
        e->pendingFont = cell->font;
    if (kind != kFormatFont)
        e->pendingStyle = cell->style;
    UpdateSizeCaption(view);
}

void ApplyFont(NetView& view) {
    if (!view.menus)
        return;
    const int font = view.menus->fontListSelection();
    if (font >= 0)
        ApplyFormat(view, kFormatFont, font);
}

void ShowFontList(NetView& view) {
    if (view.menus)
        view.menus->showFontList();
}

void UpdateSizeCaption(NetView& view) {
    if (!view.menus)
        return;
    ViewMenus& menus = *view.menus;
    int style = 0;
    int font = fonts().DefaultFont;
    if (LabelEditor* e = view.editor) {
        style = StyleAtCaret(view);
        const TextCell* before = e->cells->cellAt(e->caret - 1);
        font = e->pendingFont >= 0 ? e->pendingFont : before ? before->font : font;
    } else if (view.current && view.current->source) {
        // Without an editor the formatting commands act on the whole label: its start shows.
        CellsPtr cells(CellsOfLabel(view.current->source->keyText()));
        if (const TextCell* first = cells ? cells->cellAt(0) : nullptr) {
            style = first->style;
            font = first->font;
        }
    }
    menus.checkItem(cmd::kBold, (style & kBold) != 0);
    menus.checkItem(cmd::kBold + 1, (style & kItalic) != 0);
    menus.checkItem(cmd::kBold + 2, (style & kPhonetic) != 0);
    static const char* const kSizeNames[] = {"Normal", "Small", "Superscript", "Subscript"};
    const int size = (style & kPositionMask) >> kPositionShift;
    char caption[64];
    std::snprintf(caption, sizeof caption, "&Size && position:\t%s", kSizeNames[size]);
    menus.setSizeCaption(caption);
    for (int i = 0; i < 4; ++i)
        menus.checkItem(cmd::kNormalSize + i, i == size);
    menus.selectInFontList(font);
}

} // namespace tarvo
