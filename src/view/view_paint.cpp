// Painting a view's picture: links in two passes, nodes, then relation links outside the
// boxes; and the repaints of single nodes and distances.
#include "view/view_paint.h"

#include "containers/node_list.h"
#include "inheritance/inheritance_searches.h"
#include "labels/brushes.h"
#include "labels/colours.h"
#include "labels/font_table.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "platform/view_host.h"
#include "view/label_editor.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/shapes.h"
#include "view/view_geometry.h"
#include "view/view_operations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace tarvo {

const ColourState& ViewColours(const NetView& view) {
    // The colours of a view given none: those of a table the system told nothing.
    static const ColourState defaults;
    return view.colours ? *view.colours : defaults;
}

namespace {

using platform::Point;
using platform::Rect;

constexpr platform::Colour kDimmedInk{128, 128, 128};

bool hasHiddenIn(const NodeList* list) {
    bool hidden = false;
    forEachNode(list,
                [&](NodeBase* n) { hidden = hidden || asViewNode(n)->hasFlag(NodeFlags::Hidden); });
    return hidden;
}

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
    // The grid rows and columns that can show, [first, end).
    int firstRow = 0, endRow = 0, firstColumn = 0, endColumn = 0;
};

void visibleRange(PaintTools& t) {
    const NetView& view = t.view;
    const Rect clip = t.d.clipBox();
    const float slotExtent = std::max(1.0f, view.geometry.slotExtent);
    const float layerExtent = std::max(1.0f, view.geometry.layerExtent);
    float slotLow = static_cast<float>(view.vertical() ? clip.left : clip.top);
    float slotHigh = static_cast<float>(view.vertical() ? clip.right : clip.bottom);
    float layerLow = static_cast<float>(view.vertical() ? clip.top : clip.left);
    float layerHigh = static_cast<float>(view.vertical() ? clip.bottom : clip.right);
    if (view.reversed()) {
        const float client = static_cast<float>(view.geometry.clientLayer);
        std::tie(layerLow, layerHigh) = std::pair{client - layerHigh, client - layerLow};
    }
    const float slotStart =
        static_cast<float>(view.geometry.firstVisibleSlot) * slotExtent +
        static_cast<float>(view.vertical() ? view.geometry.scrollX : view.geometry.scrollY);
    const float layerStart =
        static_cast<float>(view.geometry.firstVisibleLayer) * layerExtent +
        static_cast<float>(view.vertical() ? view.geometry.scrollY : view.geometry.scrollX) -
        static_cast<float>(view.geometry.layerMargin);
    auto cell = [](float pixel, float start, float extent) {
        return static_cast<int>(std::floor((pixel + start) / extent));
    };
    t.firstRow = std::max(0, cell(slotLow - slotExtent / 2.0f, slotStart, slotExtent));
    t.endRow = std::min<int>(view.layout.grid.slotCount,
                             cell(slotHigh + slotExtent / 2.0f, slotStart, slotExtent) + 1);
    t.firstColumn = std::max(0, cell(layerLow - layerExtent / 2.0f, layerStart, layerExtent) - 1);
    t.endColumn = std::min<int>(view.layout.grid.layerCount,
                                cell(layerHigh + layerExtent / 2.0f, layerStart, layerExtent) + 1);
}

// ---------------------------------------------------------------------------------------------
// Links between layers.

// An arc of the ellipse centred at c with semi-axes (rx, ry) from a to b, the short way round.
void shortArc(PaintTools& t, Point c, int rx, int ry, Point a, Point b) {
    const Rect box{c.x - rx, c.y - ry, c.x + rx + 1, c.y + ry + 1};
    auto angle = [&](Point p) {
        return std::atan2(-static_cast<double>(p.y - c.y) / std::max(ry, 1),
                          static_cast<double>(p.x - c.x) / std::max(rx, 1));
    };
    double sweep = angle(b) - angle(a);
    while (sweep < 0)
        sweep += 2 * M_PI;
    if (sweep > M_PI)
        std::swap(a, b);
    t.d.arc(box, a, b);
}

// A point far from `from` in the direction (slot, layer), so that the ray to it is exact to
// well under a pixel's worth of angle.
Point farAlong(const NetView& view, Point from, double slot, double layer) {
    const double longest = std::max(std::abs(slot), std::abs(layer));
    if (longest <= 0.0)
        return from;
    const double scale = 1048576.0 / longest;
    const Point step = onScreen(view, static_cast<int>(std::lround(slot * scale)),
                                static_cast<int>(std::lround(layer * scale)));
    return {from.x + step.x, from.y + step.y};
}

// A link from a child's parent-side end to its parent's child-side end.
void drawLink(PaintTools& t, Point childEnd, Point parentEnd, bool lit) {
    const NetView& view = t.view;
    const Rect bounds =
        Rect{std::min(childEnd.x, parentEnd.x), std::min(childEnd.y, parentEnd.y),
             std::max(childEnd.x, parentEnd.x) + 1, std::max(childEnd.y, parentEnd.y) + 1}
            .grown(t.lineWidth);
    if (!t.d.rectVisible(bounds))
        return;
    t.d.selectPen(t.linkPen(lit));
    const int slotOffset = slotOf(view, childEnd) - slotOf(view, parentEnd);
    const int layerGap = layerOf(view, childEnd) - layerOf(view, parentEnd);
    if (!t.curved || slotOffset == 0 || layerGap == 0) {
        // Lines here end on their last point (a flat cap), so the link runs right up to the
        // parent's stub instead of stopping a pixel short of it.
        t.d.moveTo(childEnd);
        t.d.lineTo(parentEnd);
        return;
    }
    const CurvedLink curve = CurvedLinkBetween(view, childEnd, parentEnd);
    // Each arc ends at a third of its quarter, where the two meet. The middle point rounded to
    // whole pixels lies off flat ellipses, and the ray through it would end the arcs tens of
    // pixels apart along their nearly flat middle; a far point on the exact ray ends them
    // together, each a pixel past the middle so that no gap opens between them.
    const int d = layerGap + (layerGap >= 0 ? 1 : -1);
    const double half = slotOffset / 2.0;
    const double across = std::abs(half) > 2.0 ? half - std::copysign(1.0, half) : half;
    const double along = (d < 0 ? -1.0 : 1.0) * 0.8660254037844386 *
                         static_cast<double>(view.vertical() ? curve.ry : curve.rx);
    shortArc(t, curve.parentCentre, curve.rx, curve.ry, parentEnd,
             farAlong(view, curve.parentCentre, -across, along));
    shortArc(t, curve.childCentre, curve.rx, curve.ry, curve.childEnd,
             farAlong(view, curve.childCentre, across, -along));
}

bool linkLit(const NetView& view, const ViewNode* a, const ViewNode* b) {
    return view.options.highlightLinks && (a == view.current || b == view.current);
}

// The links of n to its parents: the unlit ones, or (second pass) the lit ones; answers how
// many lit ones it passed over.
int drawParentLinks(PaintTools& t, ViewNode* n, bool litPass) {
    int skippedLit = 0;
    const bool draggingParentSide = n->hasFlag(NodeFlags::DraggingParentSide);
    forEachNode(n->slotList(ParentSlot), [&](NodeBase* base) {
        auto* p = asViewNode(base);
        if (p->hasFlag(NodeFlags::Hidden) || p->hasFlag(NodeFlags::Unplaced))
            return;
        if (draggingParentSide && p->hasFlag(NodeFlags::DraggingChildSide))
            return;
        const bool lit = linkLit(t.view, n, p);
        if (lit != litPass) {
            skippedLit += lit;
            return;
        }
        drawLink(t, parentLinkPoint(t.view, n), childLinkPoint(t.view, p), lit);
    });
    return skippedLit;
}

// ---------------------------------------------------------------------------------------------
// Stubs and markers.

void arrowHead(PaintTools& t, Point anchor, bool current) {
    const NetView& view = t.view;
    const int dir = childward(view);
    const int tip = t.arrowLength / 2;
    const int base = t.arrowLength - tip;
    const int s = slotOf(view, anchor);
    const int l = layerOf(view, anchor);
    const Point head[3] = {onScreen(view, s, l + dir * tip),
                           onScreen(view, s - t.arrowHalf, l - dir * base),
                           onScreen(view, s + t.arrowHalf, l - dir * base)};
    t.d.selectBrush(current ? t.lit.get() : t.background.get());
    t.d.polygon(head, 3);
}

void circleMarker(PaintTools& t, Point centre, bool current) {
    const int diameter = markerDiameterFor(t.zoom);
    const int low = diameter / 2;
    t.d.selectBrush(current ? t.lit.get() : t.background.get());
    t.d.ellipse(
        {centre.x - low, centre.y - low, centre.x - low + diameter, centre.y - low + diameter});
}

void drawStub(PaintTools& t, ViewNode* n, bool parentSide) {
    const NetView& view = t.view;
    const int slot = parentSide ? ParentSlot : ChildSlot;
    const NodeList* list = n->slotList(slot);
    const int count = listSize(list);
    if (count == 0)
        return;
    const std::uint32_t dragging =
        parentSide ? NodeFlags::DraggingParentSide : NodeFlags::DraggingChildSide;
    const std::uint32_t litFlag = parentSide ? NodeFlags::ParentStubLit : NodeFlags::ChildStubLit;
    const bool current = n == view.current;
    const bool lit = current || (n->hasFlag(litFlag) && !n->hasFlag(dragging));
    t.d.selectPen(t.linkPen(lit));
    const int centre = slotCentre(n);
    const int linkLayer = parentSide ? n->linkBox.top : n->linkBox.bottom;
    if (count > 1 || !n->hasFlag(dragging)) {
        t.d.moveTo(onScreen(view, centre, forkLayer(view, n, parentSide)));
        t.d.lineTo(onScreen(view, centre, linkLayer));
    }
    if (n->hasFlag(NodeFlags::DummyNode) || !hasHiddenIn(list))
        return;
    // Hidden neighbours: the stub goes on a twelfth of a layer and ends in a marker.
    const Point end = markerPoint(view, n, parentSide);
    t.d.moveTo(onScreen(view, centre, linkLayer));
    t.d.lineTo(end);
    if (parentSide)
        arrowHead(t, end, current);
    else
        circleMarker(t, end, current);
}

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
        const LabelFit fit =
            DrawNodeLabel(on, n.name, style.labelPoints, {0, 0}, labelWidth, labelHeight);
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

// How far around its box a repaint of a node reaches: a few line widths, and its distance
// number while numbers show.
int nodeRepaintReach(const NetView& view) {
    const int reach = 3 * lineWidthOf(view) + 1;
    return view.options.distanceMode.numbers ? std::max(reach, 3 * view.fonts.distancePoints)
                                             : reach;
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

// ---------------------------------------------------------------------------------------------
// The picture.

void drawLinks(PaintTools& t) {
    const LayoutGrid& grid = t.view.layout.grid;
    // A link may cross the update area far from both its ends, so every slot of a visible layer
    // is looked at; links whose rectangles miss the area are skipped one by one.
    for (int column = std::max(1, t.firstColumn); column < t.endColumn; ++column) {
        int lit = 0;
        for (int row = 0; row < grid.slotCount; ++row)
            if (ViewNode* n = grid.at(row, column))
                lit += drawParentLinks(t, n, false);
        if (lit > 0)
            for (int row = 0; row < grid.slotCount; ++row)
                if (ViewNode* n = grid.at(row, column))
                    drawParentLinks(t, n, true);
        for (int row = t.firstRow; row < t.endRow; ++row) {
            ViewNode* n = grid.at(row, column - 1);
            if (n && !n->hasFlag(NodeFlags::DummyNode))
                drawStub(t, n, false);
        }
    }
}

void drawNodes(PaintTools& t) {
    const LayoutGrid& grid = t.view.layout.grid;
    for (int column = t.firstColumn; column < t.endColumn; ++column)
        for (int row = t.firstRow; row < t.endRow; ++row)
            if (ViewNode* n = grid.at(row, column))
                drawNode(t, n);
}

bool placed(const ViewNode* n) {
    return !n->hasFlag(NodeFlags::Hidden) && !n->hasFlag(NodeFlags::Unplaced);
}

int excludeBox(void* context, ViewNode* n, int row, int column) {
    PaintTools& t = *static_cast<PaintTools*>(context);
    if (n->hasFlag(NodeFlags::DummyNode) || row < t.firstRow || row >= t.endRow ||
        column < t.firstColumn || column >= t.endColumn)
        return 0;
    std::unique_ptr<platform::Region> region =
        t.view.shapes ? NodeRegion(*n, *t.view.shapes, t.shapeDrawing())
                      : t.d.rectRegion(toRect(n->layoutBox));
    if (region)
        t.d.combineClipRegion(*region, platform::RegionOp::Difference);
    return 0;
}

int drawRelationLinks(void* context, ViewNode* n, int, int) {
    PaintTools& t = *static_cast<PaintTools*>(context);
    const Point from = BoxCentre(n->layoutBox);
    forEachNode(n->slotList(FromSlot), [&](NodeBase* base) {
        auto* other = asViewNode(base);
        if (!placed(other))
            return;
        t.d.moveTo(from);
        t.d.lineTo(BoxCentre(other->layoutBox));
    });
    return 0;
}

int hasRelationLink(void*, ViewNode* n, int, int) {
    int found = 0;
    forEachNode(n->slotList(FromSlot),
                [&](NodeBase* base) { found = found || placed(asViewNode(base)); });
    return found;
}

void drawRelationLinks(PaintTools& t) {
    // Cutting every box out of the clip costs more than the rest of the picture: only when
    // there is a relation link to draw.
    if (!ForEachCell(t.view.layout.grid, &hasRelationLink, nullptr))
        return;
    t.d.save();
    // The clip keeps the drawing's own origin out of it: node boxes are in window coordinates.
    ForEachCell(t.view.layout.grid, &excludeBox, &t);
    t.d.selectPen(t.normal.get());
    ForEachCell(t.view.layout.grid, &drawRelationLinks, &t);
    t.d.restore();
}

void paintPicture(PaintTools& tools) {
    platform::Display& display = tools.d;
    visibleRange(tools);
    // The whole update area is painted afresh, so nothing of an earlier picture survives.
    display.fillRect(display.clipBox(), *tools.background);
    display.setTextColour(tools.ink);
    if (tools.view.layout.grid.slotCount > 0 && tools.view.layout.grid.layerCount > 0) {
        drawLinks(tools);
        drawNodes(tools);
        drawRelationLinks(tools);
    }
    display.selectPen(nullptr);
    display.selectBrush(nullptr);
}

} // namespace

void Paint(NetView& view, platform::Display& display, std::vector<DrawnLabel>* drawn) {
    const Rect editor = EditorOpen(view) ? view.editor->rect : Rect{};
    display.save();
    if (!editor.empty())
        display.excludeClipRect(editor);
    PaintTools tools(view, display, false, kWhite, drawn);
    // While its label is edited, the box shows the editor's text, not the old label around it.
    if (!editor.empty())
        tools.unlabelled = view.editor->node;
    paintPicture(tools);
    display.restore();
    if (!editor.empty()) {
        // The label editor: the picture dimmed under its text, on the shade of the node being
        // edited, so that the editor reads as part of its box where it reaches beyond it.
        display.save();
        display.intersectClipRect(editor);
        const int distance = view.current ? view.current->distance : 0;
        PaintTools dimmed(view, display, true,
                          shadeOf(ViewColours(view), view.options.distanceMode.shade, distance));
        dimmed.unlabelled = view.editor->node;
        paintPicture(dimmed);
        PaintEditor(view, display);
        display.selectPen(nullptr);
        display.selectBrush(nullptr);
        display.restore();
    }
    view.painted = true;
}

void InvalidateNode(NetView& view, ViewNode* node) {
    if (!view.host || !node)
        return;
    Rect box = toRect(node->layoutBox).grown(nodeRepaintReach(view));
    view.host->invalidate(&box);
}

namespace {

// The rectangle of a node's links to its neighbours in `slot`.
void invalidateLinks(NetView& view, ViewNode* node, int slot) {
    const Point own = slot == ParentSlot ? parentLinkPoint(view, node) : childLinkPoint(view, node);
    forEachNode(node->slotList(slot), [&](NodeBase* base) {
        auto* other = asViewNode(base);
        if (!placed(other))
            return;
        const Point end =
            slot == ParentSlot ? childLinkPoint(view, other) : parentLinkPoint(view, other);
        Rect r = Rect{std::min(own.x, end.x), std::min(own.y, end.y), std::max(own.x, end.x) + 1,
                      std::max(own.y, end.y) + 1}
                     .grown(3 * lineWidthOf(view) + 2);
        view.host->invalidate(&r);
    });
}

} // namespace

void SetNodeMark(NetView& view, ViewNode* node, bool on, std::uint32_t mask) {
    if (!node)
        return;
    node->setFlag(on ? 1 : 0, mask);
    InvalidateNode(view, node);
    if (view.host && view.options.highlightLinks && mask == NodeFlags::CurrentMark) {
        invalidateLinks(view, node, ParentSlot);
        invalidateLinks(view, node, ChildSlot);
    }
}

void HighlightCurrent(NetView& view, bool on) {
    SetNodeMark(view, view.current, on, NodeFlags::CurrentMark);
    if (view.currentLink)
        SetNodeMark(view, view.currentLink, on, NodeFlags::CurrentLinkMark);
}

namespace {

int redrawDistance(void* context, ViewNode* n, int, int) {
    auto& [view, all] = *static_cast<std::pair<NetView*, bool>*>(context);
    if (n->hasFlag(NodeFlags::DummyNode) || !(all || n->hasFlag(NodeFlags::DistanceChanged)))
        return 0;
    if (ShowsDistances(view->options.distanceMode))
        InvalidateNode(*view, n);
    n->setFlag(0, NodeFlags::DistanceChanged);
    return 0;
}

} // namespace

void RedrawDistances(NetView& view, bool all) {
    std::pair<NetView*, bool> context{&view, all};
    ForEachCell(view.layout.grid, &redrawDistance, &context);
}

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
