// The in-place label editor of a view: the current node's label as character cells, laid out in
// lines over the node, edited with the keys, the mouse and the clipboard, and committed as one
// SetLabel edit.
#include "view/label_editor.h"

#include "edit/changes.h"
#include "labels/accents.h"
#include "labels/colours.h"
#include "labels/font_table.h"
#include "labels/ipa93.h"
#include "labels/label_cells.h"
#include "labels/label_text.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "platform/clipboard.h"
#include "platform/cp1252.h"
#include "platform/keys.h"
#include "platform/view_host.h"
#include "view/commands.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/shapes.h"
#include "view/view_editing.h"
#include "view/view_menus.h"
#include "view/view_operations.h"
#include "view/view_paint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tarvo {
namespace {

using platform::Point;
using platform::Rect;

// The editor never writes smaller than this, however small the view's labels are.
constexpr int kEditorMinPoints = 12;
constexpr int kEditorMinWrapWidth = 80;
constexpr int kMaxRepeat = 20;

struct CellsDeleter {
    void operator()(ChunkList* list) const {
        if (list)
            list->destroy();
    }
};
using CellsPtr = std::unique_ptr<LabelCells, CellsDeleter>;

int length(const LabelEditor& e) {
    return e.cells ? e.cells->size() : 0;
}
int selectionStart(const LabelEditor& e) {
    return std::min(e.anchor, e.caret);
}
int selectionEnd(const LabelEditor& e) {
    return std::max(e.anchor, e.caret);
}
bool hasSelection(const LabelEditor& e) {
    return e.anchor != e.caret;
}

Point nodeCentre(const LabelEditor& e) {
    return BoxCentre(e.node->layoutBox);
}

// The point the text's lines are placed from: the node centre, lifted by the offset of raised
// or lowered text, so that the first line starts at the editor's top.
Point textCentre(const LabelEditor& e) {
    const Point centre = nodeCentre(e);
    return {centre.x, centre.y - e.raisedOffset};
}

// Whether any cell is raised or lowered off the baseline.
bool hasRaisedText(const LabelCells& cells) {
    for (int i = 0; const TextCell* cell = cells.cellAt(i); ++i) {
        const TextPosition position = positionOf(cell->style);
        if (position == TextPosition::Superscript || position == TextPosition::Subscript)
            return true;
    }
    return false;
}

// Font size, wrap width and the plain font's metrics, from the view and the node's box.
void takeMetrics(const NetView& view, LabelEditor& e, platform::Display& display) {
    e.points = std::max<int>(view.fonts.labelPoints, kEditorMinPoints);
    e.wrapWidth = std::max(kEditorMinWrapWidth, e.node->layoutBox.right - e.node->layoutBox.left);
    std::unique_ptr<platform::Font> font =
        display.createFont(MakeLabelFont(fonts().DefaultFont, e.points, false, false, false));
    platform::Font* previous = display.selectFont(font.get());
    const platform::Size blank = display.textExtent(" ", 1);
    display.selectFont(previous);
    // As the node labels: a line one pixel higher than the font, the ascent four fifths of it.
    e.lineHeight = blank.height + 1;
    e.ascent = blank.height * 4 / 5;
    e.spaceWidth = blank.width;
    e.caretWidth = std::max(1, e.points / 32);
    e.caretHeight = e.points;
}

// Where the caret at `position` stands relative to the node centre (its line's top).
Point pointOf(const LabelEditor& e, int position) {
    Point at{0, -e.lineHeight / 2};
    if (e.words)
        PointOfCaret(*e.words, position, at);
    return at;
}

// The text position under a window point: on its line, the nearest cell boundary; below the
// text, on the last line.
int positionAt(const LabelEditor& e, Point at) {
    if (!e.words || e.words->size() == 0)
        return length(e);
    const Point centre = textCentre(e);
    const int top = -e.blockHeight / 2;
    const int y = std::clamp(at.y - centre.y, top, top + e.blockHeight - 2);
    return CaretAt(*e.words, {at.x - centre.x, y}, e.lineHeight);
}

Rect lineBand(const LabelEditor& e, int position) {
    const int y = textCentre(e).y + pointOf(e, position).y;
    return {e.rect.left, y, e.rect.right, y + e.lineHeight};
}

void invalidate(NetView& view, const Rect& rect) {
    if (view.host && !rect.empty()) {
        // The frame is drawn just outside the rectangle.
        const Rect grown = rect.grown(2);
        view.host->invalidate(&grown);
    }
}

void placeCaret(NetView& view, LabelEditor& e) {
    const Point centre = textCentre(e);
    const Point at = pointOf(e, e.caret);
    e.caretAt = {centre.x + at.x - e.caretWidth / 2, centre.y + at.y + e.lineHeight / 4};
    if (view.host)
        view.host->setCaretPosition(e.caretAt);
}

// Words, lines, rectangle and caret after the text or the node's box changed; `measure` also
// measures the cells again and collapses runs of spaces.
void layOut(NetView& view, LabelEditor& e, bool measure) {
    if (measure && view.host) {
        std::unique_ptr<platform::Display> display = view.host->measuringDisplay();
        takeMetrics(view, e, *display);
        e.totalWidth = MeasureCells(*display, *e.cells, e.points);
    }
    const int before = e.caret;
    CollapseSpaces(*e.cells, e.totalWidth, e.caret);
    e.anchor = std::clamp(e.anchor - (before - e.caret), 0, length(e));
    if (e.words)
        e.words->destroy();
    e.words = MakeWords(*e.cells);
    e.lines = 0;
    e.textWidth = 0;
    if (e.words)
        e.lines = BreakLines(*e.words, e.wrapWidth, e.lineHeight, e.spaceWidth, &e.textWidth);
    e.blockHeight = std::max(e.lines, 1) * e.lineHeight;
    e.raisedOffset = hasRaisedText(*e.cells) ? BoxHalfExtent(view.geometry.cellHeight) / 2 : 0;
    const Point centre = nodeCentre(e);
    const int width = e.textWidth + static_cast<int>(static_cast<float>(e.points) / 3.3f);
    e.rect.left = centre.x - width / 2;
    e.rect.right = e.rect.left + width;
    e.rect.top = centre.y - e.blockHeight / 2 - e.raisedOffset;
    e.rect.bottom = e.rect.top + e.blockHeight;
    placeCaret(view, e);
}

// The first change makes the editor's Undo available.
void noteChange(NetView& view, LabelEditor& e) {
    if (!e.changed && view.menus)
        view.menus->enableItem(cmd::kUndo, true);
    e.changed = true;
}

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

// The caret on the line above (-1) or below (1) at the same x; where there is no such line, it
// stays.
int lineStep(const LabelEditor& e, int direction) {
    if (!e.words)
        return e.caret;
    const Point at = pointOf(e, e.caret);
    const int y = at.y + direction * e.lineHeight;
    const int top = -e.blockHeight / 2;
    if (y < top || y >= top + e.blockHeight)
        return e.caret;
    return CaretAt(*e.words, {at.x, y}, e.lineHeight);
}

int wordCount(const LabelEditor& e) {
    return e.words ? e.words->size() : 0;
}

int previousWordStart(const LabelEditor& e) {
    if (wordCount(e) == 0)
        return 0;
    const int k = WordOfCaret(*e.words, e.caret);
    const int start = WordBounds(*e.words, k, true);
    if (start < e.caret)
        return start;
    return k > 0 ? WordBounds(*e.words, k - 1, true) : 0;
}

int nextWordEnd(const LabelEditor& e) {
    if (wordCount(e) == 0)
        return length(e);
    const int k = WordOfCaret(*e.words, e.caret);
    const int end = WordBounds(*e.words, k, false);
    if (end > e.caret)
        return end;
    return k + 1 < wordCount(e) ? WordBounds(*e.words, k + 1, false) : length(e);
}

// The start of the word that holds a position.
int wordStartAt(const LabelEditor& e, int position) {
    if (wordCount(e) == 0)
        return position;
    const int k = WordOfCaret(*e.words, position);
    return std::min(position, WordBounds(*e.words, k, true));
}

void copySelection(const NetView& view, const LabelEditor& e) {
    if (!hasSelection(e))
        return;
    // Other programs get the text as it reads, phonetic runs as Unicode IPA; this program's
    // editors get the cells as they are.
    std::string label;
    std::string plain;
    std::string raw;
    AppendCellsText(*e.cells, selectionStart(e), selectionEnd(e), kCellsAsLabel, label);
    PlainUnicodeText(label.c_str(), plain);
    AppendCellsText(*e.cells, selectionStart(e), selectionEnd(e), kCellsAsRaw, raw);
    if (view.host)
        view.host->clipboard().setText(plain, raw);
}

void paste(NetView& view, LabelEditor& e) {
    if (!view.host)
        return;
    platform::Clipboard& board = view.host->clipboard();
    std::string raw;
    if (board.raw(raw) && !raw.empty()) {
        insertAtCaret(view, e, raw.data(), static_cast<int>(raw.size()), true);
        return;
    }
    // Text pasted into a phonetic run comes in as the bytes that stand for its IPA symbols.
    const TextCell* before = e.cells->cellAt((hasSelection(e) ? selectionStart(e) : e.caret) - 1);
    const int style = e.pendingStyle >= 0 ? e.pendingStyle : before ? before->style : 0;
    const std::string plain = board.text();
    const std::string text = platform::TextForLabel(
        (style & kPhonetic) ? Ipa93FromUnicode(plain) : platform::Utf8ToCp1252(plain));
    if (!text.empty())
        insertAtCaret(view, e, text.data(), static_cast<int>(text.size()), false);
}

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

void EditorChar(NetView& view, int character, int repeat) {
    LabelEditor* e = view.editor;
    if (!e)
        return;
    repeat = std::clamp(repeat, 1, kMaxRepeat);
    unsigned char ch = static_cast<unsigned char>(character);
    if (ch == platform::keys::kBackspace) {
        if (deleteSelection(*e))
            textChanged(view, *e);
        else
            eraseRange(view, *e, e->caret - repeat, e->caret);
        return;
    }
    if (ch < ' ')
        return;
    ApplyAccent(ch, e->pendingAccent);
    e->pendingAccent = 0;
    const std::string run(static_cast<std::size_t>(repeat), static_cast<char>(ch));
    insertAtCaret(view, *e, run.data(), repeat, false);
}

bool EditorKey(NetView& view, int key, bool shift) {
    using namespace platform::keys;
    LabelEditor* e = view.editor;
    if (!e)
        return false;
    switch (key) {
    case kEscape:
        CloseEditor(view, false);
        return true;
    case kEnd:
        moveCaret(view, *e, length(*e), shift);
        return true;
    case kHome:
        moveCaret(view, *e, 0, shift);
        return true;
    case kLeft:
    case kRight:
        moveCaret(view, *e, e->caret + (key == kLeft ? -1 : 1), shift);
        return true;
    case kUp:
    case kDown:
        moveCaret(view, *e, lineStep(*e, key == kUp ? -1 : 1), shift);
        return true;
    case kDelete:
        deleteForward(view, *e);
        return true;
    default:
        return false;
    }
}

void EditorCtrlKey(NetView& view, int key, bool shift) {
    using namespace platform::keys;
    LabelEditor* e = view.editor;
    if (!e)
        return;
    switch (key) {
    case kEnd:
    case kHome:
        moveCaret(view, *e, key == kEnd ? length(*e) : 0, shift);
        break;
    case kLeft:
        moveCaret(view, *e, previousWordStart(*e), shift);
        break;
    case kRight:
        moveCaret(view, *e, nextWordEnd(*e), shift);
        break;
    case kUp:
    case kDown:
        moveCaret(view, *e, wordStartAt(*e, lineStep(*e, key == kUp ? -1 : 1)), shift);
        break;
    case 'A':
        EditorSelectAll(view);
        break;
    case 'C':
        copySelection(view, *e);
        break;
    case 'X':
        copySelection(view, *e);
        if (deleteSelection(*e))
            textChanged(view, *e);
        break;
    case 'V':
        paste(view, *e);
        break;
    default:
        EditorAccentKey(view, key, shift);
        break;
    }
}

void EditorAccentKey(NetView& view, int nativeKey, bool shift) {
    if (view.editor)
        view.editor->pendingAccent = AccentForKey(nativeKey, shift);
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

std::string EditorText(const NetView& view) {
    if (!view.editor)
        return {};
    char* text = LabelOfCells(*view.editor->cells);
    std::string out = text ? text : "";
    Release(text);
    return out;
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

void PaintEditor(NetView& view, platform::Display& display) {
    LabelEditor* e = view.editor;
    if (!e || !e->words)
        return;
    // The first line's baseline lies the ascent below the editor's top.
    const Point centre = textCentre(*e);
    const Point origin{centre.x, centre.y + e->ascent};
    display.setTextColour(kBlack);
    DrawWords(display, *e->words, origin, e->points);
    const platform::Colour highlight = HighlightTint(ViewColours(view));
    if (hasSelection(*e)) {
        // The selection: from its start to the end of that line, the lines between, and the
        // last line from its start to the selection's end.
        const Point from = pointOf(*e, selectionStart(*e));
        const Point to = pointOf(*e, selectionEnd(*e));
        auto lineEnds = [&](int y, int& left, int& right) {
            left = right = 0;
            bool any = false;
            for (int i = 0; const WordBox* word = e->words->wordAt(i); ++i) {
                if (word->y != y)
                    continue;
                left = any ? std::min(left, word->x) : word->x;
                right = any ? std::max(right, word->x + word->width) : word->x + word->width;
                any = true;
            }
        };
        auto band = [&](int y, int left, int right) {
            return Rect{centre.x + left, centre.y + y, centre.x + right,
                        centre.y + y + e->lineHeight};
        };
        std::unique_ptr<platform::Region> region;
        auto add = [&](const Rect& r) {
            if (r.empty())
                return;
            std::unique_ptr<platform::Region> piece = display.rectRegion(r);
            if (region)
                region->combine(*piece, platform::RegionOp::Union);
            else
                region = std::move(piece);
        };
        int left = 0;
        int right = 0;
        if (from.y == to.y) {
            add(band(from.y, from.x, to.x));
        } else {
            lineEnds(from.y, left, right);
            add(band(from.y, from.x, right));
            for (int y = from.y + e->lineHeight; y < to.y; y += e->lineHeight) {
                lineEnds(y, left, right);
                add(band(y, left, right));
            }
            lineEnds(to.y, left, right);
            add(band(to.y, left, to.x));
        }
        if (region) {
            std::unique_ptr<platform::Brush> brush = display.createBrush(
                {platform::BrushStyle::Solid, e->focusLost ? kLightGrey : highlight, {}, {}});
            display.fillRegion(*region, *brush);
            display.save();
            display.combineClipRegion(*region, platform::RegionOp::Intersect);
            display.setTextColour(kWhite);
            DrawWords(display, *e->words, origin, e->points);
            display.restore();
        }
    }
    std::unique_ptr<platform::Brush> frame =
        display.createBrush({platform::BrushStyle::Solid, highlight, {}, {}});
    display.frameRect(e->rect, *frame);
    display.setTextColour(kBlack);
}

} // namespace tarvo
