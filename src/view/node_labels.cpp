// Node labels: cells from the internal form, line breaking, fitting and drawing.
#include "view/node_labels.h"

#include "containers/node_table.h"
#include "labels/font_table.h"
#include "labels/label_cells.h"
#include "labels/label_markup.h"
#include "labels/label_runs.h"
#include "labels/label_text.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "platform/view_host.h"
#include "view/layout.h"
#include "view/net_view.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tarvo {
namespace {

// Block lists go with all their blocks.
struct ListDeleter {
    void operator()(ChunkList* list) const {
        if (list)
            list->destroy();
    }
};
using CellsPtr = std::unique_ptr<LabelCells, ListDeleter>;
using WordsPtr = std::unique_ptr<LabelWords, ListDeleter>;

// Height, ascent and blank width of the plain label font at `points`.
FontMetrics metricsAt(platform::Display& display, int points) {
    FontMetrics metrics;
    std::unique_ptr<platform::Font> font =
        display.createFont(MakeLabelFont(fonts().DefaultFont, points, false, false, false));
    platform::Font* previous = display.selectFont(font.get());
    const platform::Size blank = display.textExtent(" ", 1);
    metrics.height = blank.height;
    // The ascent of a Latin font is about four fifths of its height.
    metrics.ascent = blank.height * 4 / 5;
    metrics.spaceWidth = blank.width;
    display.selectFont(previous);
    return metrics;
}

int widestWord(const LabelWords& words) {
    int widest = 0;
    for (int i = 0; WordBox* word = words.wordAt(i); ++i)
        widest = std::max(widest, static_cast<int>(word->width));
    return widest;
}

struct LaidOutLabel {
    CellsPtr cells;
    WordsPtr words;
    int lines = 0;
    int widest = 0;
    FontMetrics metrics;
};

// Measures the cells at `points`, makes their words and breaks them at maxWidth.
bool breakCells(platform::Display& display, LaidOutLabel& out, int points, int maxWidth) {
    if (!out.cells)
        return false;
    MeasureCells(display, *out.cells, points);
    out.words.reset(MakeWords(*out.cells));
    if (!out.words)
        return false;
    out.lines = BreakLines(*out.words, maxWidth, out.metrics.height + 1, out.metrics.spaceWidth,
                           &out.widest);
    return true;
}

// The label's cells up to `end`, an ellipsis after them in their formatting (never phonetic,
// where the byte would stand for another sign).
CellsPtr cutCells(const char* label, int end) {
    CellsPtr cells(CellsOfLabel(label));
    if (!cells)
        return cells;
    DeleteRange(*cells, end, cells->size());
    InsertText(*cells, end, &kEllipsis, 1, kStyleOfPrevious, -1);
    SetStyleBits(*cells, end, end + 1, kPhonetic, false);
    return cells;
}

bool fitsBox(const LaidOutLabel& laid, int maxWidth, int maxLines) {
    return laid.words && laid.widest <= maxWidth && laid.lines <= maxLines;
}

// The label as it is drawn in a box: whole when it fits, else cut after its last whole word
// that fits with the ellipsis, else after its first word's last letter that does; only the
// ellipsis when not even one letter does. `fit` tells which.
LaidOutLabel layOutInBox(platform::Display& display, const char* label, int points,
                         const FontMetrics& metrics, int maxWidth, int maxHeight, LabelFit& fit) {
    LaidOutLabel laid;
    laid.metrics = metrics;
    laid.cells.reset(CellsOfLabel(label));
    if (!breakCells(display, laid, points, maxWidth))
        return laid;
    const int lineHeight = laid.metrics.height + 1;
    const int maxLines = std::max(1, maxHeight / std::max(1, lineHeight));
    fit = {laid.lines, false};
    if (fitsBox(laid, maxWidth, maxLines))
        return laid;
    fit.cut = true;
    // The whole label's words point into its cells: both stay while the cut is sought.
    const CellsPtr wholeCells = std::move(laid.cells);
    const WordsPtr whole = std::move(laid.words);
    const int wordCount = whole->size();
    auto tryEnd = [&](int end) {
        LaidOutLabel cut;
        cut.metrics = laid.metrics;
        cut.cells = cutCells(label, end);
        if (!breakCells(display, cut, points, maxWidth) || !fitsBox(cut, maxWidth, maxLines))
            return false;
        laid = std::move(cut);
        return true;
    };
    for (int k = wordCount - 2; k >= 0; --k)
        if (tryEnd(WordBounds(*whole, k, false))) {
            fit.lines = laid.lines;
            return laid;
        }
    const WordBox* first = whole->wordAt(0);
    const int start = first ? static_cast<int>(first->start) : 0;
    const int letters = first ? static_cast<int>(first->count) : 0;
    for (int m = letters - 1; m >= 1; --m)
        if (tryEnd(start + m)) {
            fit.lines = laid.lines;
            return laid;
        }
    if (tryEnd(start)) {
        fit.lines = laid.lines;
        return laid;
    }
    laid.cells.reset();
    laid.words.reset();
    fit.lines = 0;
    return laid;
}

// Notes a node whose label has a longer word than any before.
int measureWidest(void* context, NodeBase* node) {
    NetView& view = *static_cast<NetView*>(context);
    auto* v = asViewNode(node);
    // Hidden nodes are not drawn: their labels must not shrink the ones that are.
    if (v->hasFlag(NodeFlags::DummyNode) || v->hasFlag(NodeFlags::Hidden) || !v->name ||
        IsAnonymousLabel(v->name))
        return 0;
    int longest = 0;
    int run = 0;
    int words = 1;
    // The characters of the label's plain text, read in place: a view of a few hundred
    // thousand nodes would otherwise copy every label once more.
    for (const char* at = SkipEscapes(v->name); *at; at = SkipEscapes(at + 1)) {
        const auto c = static_cast<unsigned char>(*at);
        if (c == ' ') {
            run = 0;
            ++words;
            continue;
        }
        longest = std::max(longest, ++run);
        if (IsWordBreak(c))
            run = 0;
    }
    if (longest > view.widestLabelWidth) {
        view.widestLabelWidth = longest;
        view.widestNode = v;
    }
    view.widestLabelHeight = std::max<int>(view.widestLabelHeight, words);
    return 0;
}

// Most labels are plain text that fits on one line: drawn in one run where the line breaking
// would put them, without making cells and words. Single blanks only, none at either end, so
// that the run is exactly the one line the breaking would make. The run's width, or -1 when
// the label is not such a line.
int oneLineWidth(platform::Display& display, const char* label, int points,
                 const FontMetrics& metrics, int maxWidth, int maxHeight) {
    const std::size_t length = std::strlen(label);
    if (length == 0 || label[0] == ' ' || label[length - 1] == ' ' ||
        std::strchr(label, kLabelEscape) || std::strstr(label, "  "))
        return -1;
    const int width = MeasureLabel(display, label, static_cast<int>(length), 0, -1, points);
    if (width > maxWidth || metrics.height + 1 > maxHeight)
        return -1;
    return width;
}

void drawOneLine(platform::Display& display, const char* label, int points,
                 const FontMetrics& metrics, platform::Point centre, int width) {
    const int lineHeight = metrics.height + 1;
    display.moveTo({centre.x - (width >> 1), centre.y - (lineHeight >> 1) + metrics.ascent});
    DrawLabel(display, label, static_cast<int>(std::strlen(label)), 0, -1, points);
}

} // namespace

int FitLabelFont(platform::Display& display, const char* label, int size, int maxWidth,
                 int maxHeight) {
    CellsPtr cells(CellsOfLabel(label));
    if (!cells)
        return size;
    WordsPtr words;
    auto measure = [&] {
        MeasureCells(display, *cells, size);
        words.reset(MakeWords(*cells));
        return words != nullptr;
    };
    while (size > 7) {
        if (!measure())
            return size;
        if (widestWord(*words) < maxWidth)
            break;
        --size;
    }
    bool measured = size > 7;
    while (size > 7) {
        if (!measured && !measure())
            return size;
        measured = false;
        const FontMetrics metrics = metricsAt(display, size);
        const int lineHeight = metrics.height + 1;
        const int lines = BreakLines(*words, maxWidth, lineHeight, metrics.spaceWidth);
        if (lines * lineHeight < maxHeight)
            break;
        --size;
    }
    return size;
}

LabelFit DrawNodeLabel(platform::Display& display, const char* label, int points,
                       platform::Point centre, int maxWidth, int maxHeight) {
    if (!label || IsAnonymousLabel(label))
        return {};
    const FontMetrics metrics = metricsAt(display, points);
    const int width = oneLineWidth(display, label, points, metrics, maxWidth, maxHeight);
    if (width >= 0) {
        drawOneLine(display, label, points, metrics, centre, width);
        return {1, false};
    }
    LabelFit fit;
    LaidOutLabel laid = layOutInBox(display, label, points, metrics, maxWidth, maxHeight, fit);
    if (laid.words)
        DrawWords(display, *laid.words, {centre.x, centre.y + laid.metrics.ascent}, points);
    return fit;
}

LabelFit MeasureNodeLabel(platform::Display& display, const char* label, int points, int maxWidth,
                          int maxHeight) {
    if (!label || IsAnonymousLabel(label))
        return {};
    LabelFit fit;
    layOutInBox(display, label, points, metricsAt(display, points), maxWidth, maxHeight, fit);
    return fit;
}

struct LabelLayouts::Layout {
    std::string text;
    Font font;
    int maxWidth = 0;
    int maxHeight = 0;
    LabelFit fit;
    // The one line's width, or -1 when the label is drawn from its words.
    int lineWidth = -1;
    LaidOutLabel laid;

    bool fits(const char* label, const Font& at, int width, int height) const {
        return maxWidth == width && maxHeight == height && font.points == at.points &&
               font.metrics.height == at.metrics.height &&
               font.metrics.ascent == at.metrics.ascent &&
               font.metrics.spaceWidth == at.metrics.spaceWidth && font.face == at.face &&
               text == label;
    }
};

LabelLayouts::LabelLayouts() = default;
LabelLayouts::~LabelLayouts() = default;

LabelLayouts::Font LabelLayouts::FontAt(platform::Display& display, int points) {
    Font font;
    font.points = points;
    font.metrics = metricsAt(display, points);
    const platform::LogicalFont logical =
        MakeLabelFont(fonts().DefaultFont, points, false, false, false);
    font.face.assign(logical.faceName, strnlen(logical.faceName, platform::kFaceNameBytes));
    return font;
}

LabelFit LabelLayouts::draw(platform::Display& display, const ViewNode& node, const Font& font,
                            platform::Point centre, int maxWidth, int maxHeight) {
    const char* label = node.name;
    if (!label || IsAnonymousLabel(label))
        return {};
    std::unique_ptr<Layout>& kept = m_layouts[&node];
    if (!kept || !kept->fits(label, font, maxWidth, maxHeight)) {
        auto made = std::make_unique<Layout>();
        made->text = label;
        made->font = font;
        made->maxWidth = maxWidth;
        made->maxHeight = maxHeight;
        made->lineWidth =
            oneLineWidth(display, label, font.points, font.metrics, maxWidth, maxHeight);
        if (made->lineWidth >= 0)
            made->fit = {1, false};
        else
            made->laid = layOutInBox(display, label, font.points, font.metrics, maxWidth, maxHeight,
                                     made->fit);
        kept = std::move(made);
    }
    const Layout& layout = *kept;
    if (layout.lineWidth >= 0)
        drawOneLine(display, label, font.points, font.metrics, centre, layout.lineWidth);
    else if (layout.laid.words)
        DrawWords(display, *layout.laid.words, {centre.x, centre.y + font.metrics.ascent},
                  font.points);
    return layout.fit;
}

void LabelLayouts::clear() {
    m_layouts.clear();
}

LabelNeed LabelWidthFor(platform::Display& display, const char* label, int points, int lines) {
    LabelNeed need;
    if (!label || IsAnonymousLabel(label))
        return need;
    LaidOutLabel laid;
    laid.metrics = metricsAt(display, points);
    need.lineHeight = laid.metrics.height + 1;
    laid.cells.reset(CellsOfLabel(label));
    // On one line first: its width bounds the search from above, the widest word from below.
    if (!breakCells(display, laid, points, 1 << 28))
        return need;
    int high = laid.widest;
    int low = widestWord(*laid.words);
    auto linesAt = [&](int width) {
        return BreakLines(*laid.words, width, need.lineHeight, laid.metrics.spaceWidth);
    };
    // Fewer lines never come from a narrower width: the narrowest that gives few enough.
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (linesAt(middle) <= lines)
            high = middle;
        else
            low = middle + 1;
    }
    need.width = high;
    need.lines = linesAt(high);
    return need;
}

void FindWidestLabel(NetView& view) {
    view.widestNode = nullptr;
    view.widestLabelWidth = 0;
    view.widestLabelHeight = 0;
    if (!view.layout.nodes)
        return;
    // The longest word in characters: the label size starts from it, since lines break
    // between words and never inside one.
    view.layout.nodes->forEach(&measureWidest, &view);
}

void FitViewLabelFont(NetView& view) {
    const int n = std::max(1, static_cast<int>(view.widestLabelWidth));
    const int lineWidth = std::max(1, static_cast<int>(view.geometry.labelZoom));
    int start = static_cast<int>(std::min(
        0.6f * view.geometry.cellHeight, view.geometry.cellWidth / (0.6f * static_cast<float>(n))));
    start = std::max(start, 7);
    std::unique_ptr<platform::Display> display =
        view.host ? view.host->measuringDisplay() : nullptr;
    int size = start;
    // Fitted to the box the label is drawn in, inside its frame, so that no word is cut: the
    // current node's frame is three lines thick, and its label must fit too.
    const int boxWidth = 2 * BoxHalfExtent(view.geometry.cellWidth) + 1 - 6 * lineWidth;
    const int boxHeight = 2 * BoxHalfExtent(view.geometry.cellHeight) + 1 - 6 * lineWidth;
    if (display && view.widestNode)
        size = FitLabelFont(*display, view.widestNode->name, start, boxWidth, boxHeight);
    if (view.fonts.labelCeiling > 0)
        size = std::min(size, static_cast<int>(view.fonts.labelCeiling));
    view.fonts.labelPoints = std::max(size, 7);
    // A new fit follows every change of scale, cell size and label; the font table too may
    // have changed under the labels' markup.
    if (view.labelLayouts)
        view.labelLayouts->clear();
    view.fonts.distancePoints =
        std::max(2, static_cast<int>(
                        std::min(view.geometry.cellHeight / 7.0f, view.geometry.cellWidth / 8.0f)));
    if (display) {
        view.fonts.normalFont = metricsAt(*display, view.fonts.labelPoints);
        view.fonts.halfFont =
            metricsAt(*display, RunPoints(view.fonts.labelPoints, TextPosition::Small));
    }
}

} // namespace tarvo
