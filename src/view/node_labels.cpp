// Node labels: cells from the internal form, line breaking, fitting and drawing.
#include "view/node_labels.h"

#include "labels/font_table.h"
#include "labels/label_cells.h"
#include "labels/label_markup.h"
#include "labels/label_runs.h"
#include "labels/label_text.h"
#include "model/node_table.h"
#include "model/view_node.h"
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
    FontMetrics metrics;
};

LaidOutLabel layOut(platform::Display& display, const char* label, int points, int maxWidth) {
    LaidOutLabel out;
    out.cells.reset(CellsOfLabel(label));
    if (!out.cells)
        return out;
    MeasureCells(display, *out.cells, points);
    out.words.reset(MakeWords(*out.cells));
    if (!out.words)
        return out;
    out.metrics = metricsAt(display, points);
    out.lines = BreakLines(*out.words, maxWidth, out.metrics.height + 1, out.metrics.spaceWidth);
    return out;
}

// Notes a node whose label has a longer word than any before.
int measureWidest(void* context, NodeBase* node) {
    NetView& view = *static_cast<NetView*>(context);
    auto* v = asViewNode(node);
    if (v->hasFlag(NodeFlags::DummyNode) || !v->name || IsAnonymousLabel(v->name))
        return 0;
    std::string plain;
    PlainText(v->name, plain);
    int longest = 0;
    int run = 0;
    int words = 1;
    for (unsigned char c : plain) {
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
// that the run is exactly the one line the breaking would make.
bool drawnOnOneLine(platform::Display& display, const char* label, int points,
                    platform::Point centre, int maxWidth) {
    const std::size_t length = std::strlen(label);
    if (length == 0 || label[0] == ' ' || label[length - 1] == ' ' ||
        std::strchr(label, kLabelEscape) || std::strstr(label, "  "))
        return false;
    const int count = static_cast<int>(length);
    const int width = MeasureLabel(display, label, count, 0, -1, points);
    if (width > maxWidth)
        return false;
    const FontMetrics metrics = metricsAt(display, points);
    const int lineHeight = metrics.height + 1;
    display.moveTo({centre.x - (width >> 1), centre.y - (lineHeight >> 1) + metrics.ascent});
    DrawLabel(display, label, count, 0, -1, points);
    return true;
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

void DrawNodeLabel(platform::Display& display, const char* label, int points,
                   platform::Point centre, int maxWidth) {
    if (!label || IsAnonymousLabel(label))
        return;
    if (drawnOnOneLine(display, label, points, centre, maxWidth))
        return;
    LaidOutLabel laid = layOut(display, label, points, maxWidth);
    if (!laid.words)
        return;
    DrawWords(display, *laid.words, {centre.x, centre.y + laid.metrics.ascent}, points);
}

void FindWidestLabel(NetView& view) {
    view.widestNode = nullptr;
    view.widestLabelWidth = 0;
    view.widestLabelHeight = 0;
    if (!view.nodes)
        return;
    // The longest word in characters: the label size starts from it, since lines break
    // between words and never inside one.
    view.nodes->forEach(&measureWidest, &view);
}

void FitViewLabelFont(NetView& view) {
    const int n = std::max(1, static_cast<int>(view.widestLabelWidth));
    const int lineWidth = std::max(1, static_cast<int>(view.labelZoom));
    int start = static_cast<int>(
        std::min(0.6f * view.cellHeight, view.cellWidth / (0.6f * static_cast<float>(n))));
    start = std::max(start, 7);
    std::unique_ptr<platform::Display> display =
        view.host ? view.host->measuringDisplay() : nullptr;
    int size = start;
    // Fitted to the box the label is drawn in, inside its frame, so that no word is cut.
    const int boxWidth = 2 * BoxHalfExtent(view.cellWidth) + 1 - 2 * lineWidth;
    const int boxHeight = 2 * BoxHalfExtent(view.cellHeight) + 1 - 2 * lineWidth;
    if (display && view.widestNode)
        size = FitLabelFont(*display, view.widestNode->name, start, boxWidth, boxHeight);
    view.labelPoints = std::max(size, 7);
    view.distancePoints =
        std::max(2, static_cast<int>(std::min(view.cellHeight / 7.0f, view.cellWidth / 8.0f)));
    if (display) {
        view.normalFont = metricsAt(*display, view.labelPoints);
        view.halfFont = metricsAt(*display, RunPoints(view.labelPoints, TextPosition::Small));
    }
}

} // namespace tarvo
