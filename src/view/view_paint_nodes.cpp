// Painting node boxes and shapes with their fills, labels and distance numbers, in a view and
// outside one: node lists and the colour preview.
#include "view/view_paint_tools.h"

#include "containers/node_list.h"
#include "inheritance/inheritance_searches.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "view/node_labels.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tarvo {

using namespace painting;

namespace {

using platform::Point;
using platform::Rect;

// ---------------------------------------------------------------------------------------------
// Nodes.

struct BoxStyle {
    bool hidden = false;
    platform::Colour shade = kWhite;
    bool lineage = false;
    bool overridden = false;
    int penWidth = 1;
    platform::Colour frame = kBlack;
    int labelPoints = 10;
};

// Fill, frame and label of a node box or shape centred at `centre`.
void drawBox(PaintTools& t, ViewNode& n, const Rect& box, Point centre, const BoxStyle& style) {
    platform::Display& d = t.d;
    std::unique_ptr<platform::Brush> solid;
    platform::Brush* fill = t.noFill.get();
    if (style.overridden) {
        solid = d.createBrush({platform::BrushStyle::Solid, kOverriddenRed, {}, {}});
        fill = solid.get();
    } else if (!style.hidden && !(style.shade == kWhite)) {
        solid = d.createBrush({platform::BrushStyle::Solid, style.shade, {}, {}});
        fill = solid.get();
    }
    if (!style.hidden && style.lineage) {
        // Hatching in light grey over the shade.
        if (fill != t.noFill.get())
            d.fillRect(box, *fill);
        fill = t.hatch.get();
    }
    const int halfWidth = centre.x - box.left;
    const int halfHeight = centre.y - box.top;
    const int labelWidth = std::max(1, box.width() - 2 * style.penWidth);
    const int labelHeight = std::max(1, box.height() - 2 * style.penWidth);
    auto label = [&](platform::Display& on) {
        if (&n == t.unlabelled)
            return;
        LabelFit fit;
        if (t.layouts && &on == &t.d) {
            if (!t.labelFont || t.labelFont->points != style.labelPoints)
                t.labelFont = LabelLayouts::FontAt(on, style.labelPoints);
            fit = t.layouts->draw(on, n, *t.labelFont, {0, 0}, labelWidth, labelHeight);
        } else {
            fit = DrawNodeLabel(on, n.name, style.labelPoints, {0, 0}, labelWidth, labelHeight);
        }
        if (t.drawn)
            t.drawn->push_back({&n, style.labelPoints, fit.lines, fit.cut});
    };
    ShapeInstance* shape =
        n.shape && t.view.shapes ? InstanceFor(*t.view.shapes, n.shape) : nullptr;
    d.selectBrush(fill);
    if (shape) {
        PixelBox pixels{box.left, box.top, box.right, box.bottom};
        Prepare(*shape, halfWidth, halfHeight, style.penWidth, pixels, centre.x, centre.y,
                t.view.vertical());
        // A node without a fill leaves its box's corners alone too.
        Draw(*shape, d, t.shapeDrawing(), centre.x, centre.y, style.frame, style.penWidth, label,
             fill != t.noFill.get());
        return;
    }
    std::unique_ptr<platform::Pen> framePen =
        d.createPen({platform::PenStyle::InsideFrame, style.penWidth, style.frame});
    d.selectPen(framePen.get());
    d.rectangle(box);
    d.selectPen(t.normal.get());
    d.save();
    d.intersectClipRect(box);
    const Point origin = d.origin();
    d.setOrigin({origin.x + centre.x, origin.y + centre.y});
    label(d);
    d.restore();
}

void dragMark(PaintTools& t, const ViewNode* n) {
    const NetView& view = t.view;
    const int s = slotCentre(n);
    const int l = (n->linkBox.top + n->linkBox.bottom) / 2;
    const int a = t.arrowHalf;
    // Two arrow heads pointing out along the slot axis.
    for (int dir : {-1, 1}) {
        const Point head[3] = {onScreen(view, s + dir * 2 * a, l),
                               onScreen(view, s + dir * a, l - a),
                               onScreen(view, s + dir * a, l + a)};
        t.d.selectBrush(t.lit.get());
        t.d.polygon(head, 3);
    }
}

void distanceNumber(PaintTools& t, const ViewNode* n) {
    const NetView& view = t.view;
    if (n->distance <= 0 || !t.distanceFont)
        return;
    const Rect box = toRect(n->layoutBox);
    Point at;
    if (view.vertical())
        at = {box.left - 1,
              (view.reversed() ? box.top - t.lineWidth : box.bottom) - t.lineWidth / 2};
    else
        at = {view.reversed() ? box.left : box.right, box.top - 1};
    platform::Font* previous = t.d.selectFont(t.distanceFont.get());
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", static_cast<int>(n->distance));
    t.d.setTextColour(kBlack);
    t.d.textAt(at, view.options.labelAlign(), text, length);
    t.d.selectFont(previous);
}

} // namespace

namespace painting {

platform::Colour shadeOf(const ColourState& colours, DistanceShade shade, int distance) {
    switch (shade) {
    case DistanceShade::Greyed:
        return DistanceColour(colours, distance, true);
    case DistanceShade::Coloured:
        return DistanceColour(colours, distance, false);
    case DistanceShade::None:
        break;
    }
    return kWhite;
}

// How far around its box a repaint of a node reaches: a few line widths, and its distance
// number while numbers show.
int nodeRepaintReach(const NetView& view) {
    const int reach = 3 * lineWidthOf(view) + 1;
    return view.options.distanceMode.numbers ? std::max(reach, 3 * view.fonts.distancePoints)
                                             : reach;
}

void drawNode(PaintTools& t, ViewNode* n) {
    NetView& view = t.view;
    if (n->hasFlag(NodeFlags::DummyNode)) {
        if (n->hasFlag(NodeFlags::DraggingParentSide | NodeFlags::DraggingChildSide))
            return;
        t.d.selectPen(t.linkPen(n->hasFlag(NodeFlags::CurrentMark)));
        t.d.moveTo(parentLinkPoint(view, n));
        t.d.lineTo(childLinkPoint(view, n));
        if (n->hasFlag(NodeFlags::DragMark))
            dragMark(t, n);
        return;
    }
    const Rect box = toRect(n->layoutBox);
    // The distance number stands beside the box: a repaint that reaches only the number draws
    // the node again too.
    if (!t.d.rectVisible(box.grown(nodeRepaintReach(view))))
        return;
    const bool current = n == view.current;
    BoxStyle style;
    style.hidden = n->hasFlag(NodeFlags::Hidden);
    style.shade = shadeOf(t.colours, view.options.distanceMode.shade, n->distance);
    style.lineage = n->hasFlag(NodeFlags::DescendantMark | NodeFlags::AncestorMark);
    style.penWidth = t.lineWidth * (current ? 3 : 1);
    style.frame = current ? HighlightTint(t.colours) : t.ink;
    style.labelPoints = view.fonts.labelPoints;
    t.d.setTextColour(t.ink);
    drawBox(t, *n, box, BoxCentre(n->layoutBox), style);
    if (n->hasFlag(NodeFlags::DragMark))
        dragMark(t, n);
    distanceNumber(t, n);
    drawStub(t, n, true);
    drawStub(t, n, false);
    if (n->hasFlag(NodeFlags::CurrentLinkMark) &&
        n->hasFlag(NodeFlags::ParentStubLit | NodeFlags::ChildStubLit) && view.current) {
        ViewNode* c = view.current;
        if (c->layer > n->layer)
            drawLink(t, parentLinkPoint(view, c), childLinkPoint(view, n), true);
        else
            drawLink(t, parentLinkPoint(view, n), childLinkPoint(view, c), true);
    }
}

} // namespace painting

void DrawLooseNode(platform::Display& display, ViewNode& node, Point centre, int hx, int hy,
                   const NodeLook& look) {
    NetView scratch;
    scratch.geometry.labelZoom = static_cast<float>(look.penWidth);
    scratch.options.lineStyle = LineStyle::Straight;
    // A loose node has no distance number to write.
    scratch.options.distanceMode = {};
    // A shaped node shows its shape in lists too; the set goes with the scratch view.
    scratch.shapes = MakeShapeSet(display, look.shapes);
    scratch.colours = look.colours;
    PaintTools tools(scratch, display);
    BoxStyle style;
    style.shade = look.selected ? HighlightTint(tools.colours)
                                : shadeOf(tools.colours, look.shade, node.distance);
    style.lineage = look.lineageMarks
                        ? node.hasFlag(look.lineageMarks)
                        : node.hasFlag(NodeFlags::DescendantMark | NodeFlags::AncestorMark);
    style.overridden = look.markOverridden && node.hasFlag(OverriddenMark);
    style.penWidth = std::max(1, look.penWidth) * (look.current ? 3 : 1);
    style.frame = look.current ? HighlightTint(tools.colours) : kBlack;
    style.labelPoints = look.labelPoints;
    const Rect box{centre.x - hx, centre.y - hy, centre.x + hx + 1, centre.y + hy + 1};
    display.setTextColour(kBlack);
    drawBox(tools, node, box, centre, style);
    display.selectPen(nullptr);
    display.selectBrush(nullptr);
}

void DrawNodeListItem(platform::Display& display, ViewNode& node, const Rect& item,
                      const NodeLook& look, bool checkBoxes, bool checked) {
    const int shift = checkBoxes ? 15 : 0;
    const Point centre{(item.left + item.right) / 2 + shift, (item.top + item.bottom) / 2};
    int hx = item.width() / 2 - 1;
    int hy = item.height() / 2;
    if (!node.shape) {
        hx -= 2;
        hy -= 1;
    }
    if (checkBoxes) {
        hx -= shift;
        const Rect box{item.left + 1, centre.y - 6, item.left + 14, centre.y + 7};
        std::unique_ptr<platform::Pen> pen =
            display.createPen({platform::PenStyle::Solid, 1, kBlack});
        std::unique_ptr<platform::Brush> white =
            display.createBrush({platform::BrushStyle::Solid, kWhite, {}, {}});
        platform::Pen* previousPen = display.selectPen(pen.get());
        platform::Brush* previousBrush = display.selectBrush(white.get());
        display.rectangle(box);
        if (checked) {
            const Point tick[3] = {{box.left + 3, box.top + 6},
                                   {box.left + 5, box.top + 9},
                                   {box.left + 10, box.top + 3}};
            display.polyline(tick, 3);
        }
        display.selectPen(previousPen);
        display.selectBrush(previousBrush);
    }
    DrawLooseNode(display, node, centre, std::max(1, hx), std::max(1, hy), look);
}

void PaintPreview(platform::Display& display, const ColourState& colours, int width, int height) {
    // The preview shows the trial ramp.
    ColourState trial = colours;
    trial.ShadeBase = kTrialRampFirst;
    // The steps of the preview are whole pixels apart.
    const int sixthWidth = width / 6;
    const int sixthHeight = height / 6;
    double hx = sixthWidth;
    double hy = sixthHeight;
    // A scratch node of the model's own, released with its slot arrays afterwards.
    ViewNode* sample = new ViewNode();
    if (!sample)
        return;
    char label[] = "a";
    sample->name = label;
    sample->setFlag(0, NodeFlags::DummyNode);
    for (int distance = 7; distance >= 0; --distance) {
        sample->distance = distance;
        const int x = static_cast<int>(4 + hx + hx * distance / 1.8);
        const int y = static_cast<int>(1 + hy + hy * distance / 1.8);
        NodeLook look;
        look.current = distance == 0;
        look.colours = &trial;
        const int start = static_cast<int>(std::min(0.6 * 2 * hy, 2 * hx / 0.6));
        look.labelPoints = std::max(7, FitLabelFont(display, label, start, static_cast<int>(2 * hx),
                                                    static_cast<int>(2 * hy)));
        DrawLooseNode(display, *sample, {x, y}, static_cast<int>(hx), static_cast<int>(hy), look);
        hx *= 1.05;
        hy *= 1.05;
    }
    sample->name = nullptr;
    sample->destroy();
}

} // namespace tarvo
