// Painting a view's links between layers, their stubs, and the markers of hidden neighbours.
#include "view/view_paint_tools.h"

#include "containers/node_list.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "view/view_geometry.h"
#include "view/view_hits.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

using namespace painting;

namespace {

using platform::Point;
using platform::Rect;

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

bool linkLit(const NetView& view, const ViewNode* a, const ViewNode* b) {
    return view.options.highlightLinks && (a == view.current || b == view.current);
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

} // namespace

namespace painting {

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

void drawStub(PaintTools& t, ViewNode* n, bool parentSide) {
    const NetView& view = t.view;
    const int slot = parentSide ? ParentSlot : ChildSlot;
    // Neighbours the view holds no copy of are hidden ones too.
    const int count = listSize(n->slotList(slot)) + unseenIn(n, slot);
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
    if (n->hasFlag(NodeFlags::DummyNode) || !HasHiddenNeighbour(n, slot))
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

} // namespace painting
} // namespace tarvo
