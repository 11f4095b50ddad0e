// Node labels inside their boxes: broken into centred lines, fitted to a size, drawn.
#pragma once

#include "platform/display.h"
#include "view/view_extents.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

namespace tarvo {

class NetView;
class Node;
class ViewNode;

// The largest point size, at most `size`, at which the label's widest word is narrower than
// maxWidth and its lines, broken at maxWidth, are together less high than maxHeight; it stops
// at 7 (callers raise smaller answers to 7).
int FitLabelFont(platform::Display& display, const char* label, int size, int maxWidth,
                 int maxHeight);

// How a label lies in a box at a size: the lines drawn, and whether it was cut because all of
// it did not fit.
struct LabelFit {
    int lines = 0;
    bool cut = false;
};

// The character that ends a cut label, in the program's own encoding.
inline constexpr char kEllipsis = '\x85';

// Draws the label in lines centred on `centre`, broken at `maxWidth`, at `points`. A label
// that does not fit maxWidth x maxHeight whole is drawn up to its last whole word that fits,
// or else its last letter that fits, followed by an ellipsis, never wider than maxWidth.
LabelFit DrawNodeLabel(platform::Display& display, const char* label, int points,
                       platform::Point centre, int maxWidth, int maxHeight);
// The same, without drawing.
LabelFit MeasureNodeLabel(platform::Display& display, const char* label, int points, int maxWidth,
                          int maxHeight);
// The narrowest width at which the label breaks onto at most `lines` lines at `points`
// (the width of its widest word at the least), and the lines it takes there.
struct LabelNeed {
    int width = 0;
    int lines = 0;
    int lineHeight = 0;
};
LabelNeed LabelWidthFor(platform::Display& display, const char* label, int points, int lines);

// The label layouts a view has measured, one per node: a repaint draws a label again from its
// layout without measuring it. A layout is used only for the same label text, size, box and
// label font (its metrics and face at that size, which also tell one display's resolution from
// another's), so an edited or renamed label, another size or another font is measured afresh.
// The fonts a label's markup names are not compared: whoever changes the font table drops the
// layouts (the view does so whenever it fits its label size again).
class LabelLayouts {
public:
    LabelLayouts();
    LabelLayouts(const LabelLayouts&) = delete;
    LabelLayouts& operator=(const LabelLayouts&) = delete;
    ~LabelLayouts();

    // What the paint measured once of the label font at a size, to compare layouts with.
    struct Font {
        int points = 0;
        FontMetrics metrics;
        std::string face;
    };
    static Font FontAt(platform::Display& display, int points);

    // DrawNodeLabel for the node's label at font.points, from the node's layout when it has a
    // fitting one, else measured and kept.
    LabelFit draw(platform::Display& display, const ViewNode& node, const Font& font,
                  platform::Point centre, int maxWidth, int maxHeight);
    // Drops every layout.
    void clear();
    std::size_t size() const { return m_layouts.size(); }

private:
    struct Layout;
    std::unordered_map<const ViewNode*, std::unique_ptr<Layout>> m_layouts;
};

// The view's label size from its cells and its widest label; also the metrics of its normal
// and half-size fonts and the size of its distance numbers. The measured label layouts go.
void FitViewLabelFont(NetView& view);
// Finds the node whose label has the longest word, which the label size is fitted to.
void FindWidestLabel(NetView& view);

} // namespace tarvo
