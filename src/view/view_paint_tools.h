// What the painting files share: the pens, brushes and sizes of one paint, and the parts of a
// picture each draws for the others.
#pragma once

#include "labels/brushes.h"
#include "labels/colours.h"
#include "labels/font_table.h"
#include "platform/display.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/shapes.h"
#include "view/view_geometry.h"
#include "view/view_paint.h"

#include <memory>
#include <optional>
#include <vector>

namespace tarvo {

struct ColourState;
class ViewNode;

namespace painting {

inline constexpr platform::Colour kDimmedInk{128, 128, 128};

// Pens, brushes and sizes of one paint.
struct PaintTools {
    // Dimmed, lines, frames and labels are drawn in grey, as under the label editor; `paper`
    // is what the picture lies on.
    PaintTools(NetView& painted, platform::Display& display, bool dimmed = false,
               platform::Colour paper = kWhite, std::vector<DrawnLabel>* labels = nullptr)
        : view(painted), colours(ViewColours(painted)), d(display), drawn(labels),
          lineWidth(lineWidthOf(painted)), zoom(painted.geometry.labelZoom),
          ink(dimmed ? kDimmedInk : kBlack) {
        normal = d.createPen({platform::PenStyle::Solid, lineWidth, ink});
        if (view.options.highlightLinks)
            highlight = d.createPen({platform::PenStyle::Solid, lineWidth, HighlightTint(colours)});
        grey = d.createPen({platform::PenStyle::Solid, lineWidth, kLightGrey});
        nullPen = d.createPen({platform::PenStyle::Null, 0, kBlack});
        background = d.createBrush({platform::BrushStyle::Solid, paper, {}, {}});
        lit = d.createBrush({platform::BrushStyle::Solid, HighlightTint(colours), {}, {}});
        lightGrey = d.createBrush({platform::BrushStyle::Solid, kLightGrey, {}, {}});
        hatch = MakeHatchBrush(kLightGrey, platform::Hatch::DiagonalCross, d);
        noFill = d.createBrush({platform::BrushStyle::Null, kBlack, {}, {}});
        curved = view.options.lineStyle == LineStyle::Curved && view.geometry.slotExtent > 5.0f &&
                 view.geometry.layerExtent > 20.0f;
        arrowLength = arrowLengthFor(zoom);
        arrowHalf = arrowHalfFor(zoom);
        halfX = BoxHalfExtent(view.geometry.cellWidth);
        halfY = BoxHalfExtent(view.geometry.cellHeight);
        if (view.options.distanceMode.numbers)
            distanceFont = d.createFont(
                MakeLabelFont(fonts().DefaultFont, view.fonts.distancePoints, false, false, false));
    }

    platform::Pen* linkPen(bool on) { return on && highlight ? highlight.get() : normal.get(); }

    ShapeDrawing shapeDrawing() const {
        ShapeDrawing drawing;
        drawing.vertical = view.vertical();
        drawing.lineWidth = lineWidth;
        drawing.halfWidth = halfX;
        drawing.halfHeight = halfY;
        drawing.blackPen = normal.get();
        drawing.lightGreyBrush = lightGrey.get();
        return drawing;
    }

    NetView& view;
    const ColourState& colours;
    platform::Display& d;
    // Where the labels drawn are told, when someone asks.
    std::vector<DrawnLabel>* drawn = nullptr;
    // The node whose label is left out: the one the label editor shows over the dimmed picture.
    const ViewNode* unlabelled = nullptr;
    int lineWidth;
    float zoom;
    platform::Colour ink;
    std::unique_ptr<platform::Pen> normal, highlight, grey, nullPen;
    std::unique_ptr<platform::Brush> background, lit, lightGrey, hatch, noFill;
    // Made only while distance numbers show.
    std::unique_ptr<platform::Font> distanceFont;
    bool curved = false;
    int arrowLength = 8;
    int arrowHalf = 5;
    int halfX = 0;
    int halfY = 0;
    // The view's measured labels, while painting the view itself, and the label font they are
    // compared with, measured at the first label.
    LabelLayouts* layouts = nullptr;
    std::optional<LabelLayouts::Font> labelFont;
    // The grid rows and columns that can show, [first, end).
    int firstRow = 0, endRow = 0, firstColumn = 0, endColumn = 0;
};

// Links, stubs and markers, in view_paint_links.cpp.
void drawLink(PaintTools& t, platform::Point childEnd, platform::Point parentEnd, bool lit);
int drawParentLinks(PaintTools& t, ViewNode* n, bool litPass);
void drawStub(PaintTools& t, ViewNode* n, bool parentSide);

// Nodes, in view_paint_nodes.cpp.
platform::Colour shadeOf(const ColourState& colours, DistanceShade shade, int distance);
int nodeRepaintReach(const NetView& view);
void drawNode(PaintTools& t, ViewNode* n);

} // namespace painting
} // namespace tarvo
