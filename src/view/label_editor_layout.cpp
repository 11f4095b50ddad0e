// The label editor's placing and drawing: its metrics, lines, rectangle and caret over the node.
#include "view/label_editor_parts.h"

#include "labels/colours.h"
#include "labels/font_table.h"
#include "labels/label_cells.h"
#include "layout/view_node.h"
#include "platform/view_host.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/shapes.h"
#include "view/view_paint.h"

#include <algorithm>
#include <memory>

namespace tarvo {

using namespace label_edit;

namespace {

using platform::Point;
using platform::Rect;

// The editor never writes smaller than this, however small the view's labels are.
constexpr int kEditorMinPoints = 12;
constexpr int kEditorMinWrapWidth = 80;

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

} // namespace

namespace label_edit {

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

} // namespace label_edit

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
