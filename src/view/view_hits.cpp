// Hit tests over a view's drawn picture: which node, hidden-neighbour marker, link stub, link
// line or label area lies under a point, with the geometry the painting uses.
#include "view/view_hits.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/layering.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/shapes.h"
#include "view/view_geometry.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tarvo {

using platform::Point;
using platform::Rect;

namespace {

long squared(long v) {
    return v * v;
}

int tolerance(const NetView& view) {
    return std::max(2, static_cast<int>(2.5f * view.geometry.labelZoom));
}

bool curvedLinks(const NetView& view) {
    return view.options.lineStyle == LineStyle::Curved && view.geometry.slotExtent > 5.0f &&
           view.geometry.layerExtent > 20.0f;
}

// The point lies in the band of width 2t around the ellipse centred at c with half-axes a, b,
// inside the rectangle of the arc's outer end and the link's middle.
bool arcHit(Point p, Point c, int a, int b, Point outer, Point middle, int t, int lineWidth) {
    if (!SpannedRect(outer, middle).grown(lineWidth).contains(p))
        return false;
    const double x = p.x - c.x;
    const double y = p.y - c.y;
    auto inside = [&](double ra, double rb) {
        return (x / ra) * (x / ra) + (y / rb) * (y / rb) < 1.0;
    };
    if (!inside(a + t, b + t))
        return false;
    return !(a - t > 0 && b - t > 0 && inside(a - t, b - t));
}

// Whether the point lies on the drawn link from a child's parent-side end to its parent's
// child-side end (the geometry the painting uses).
bool linkHit(const NetView& view, Point p, Point childEnd, Point parentEnd, int t) {
    const int lineWidth = lineWidthOf(view);
    if (!SpannedRect(childEnd, parentEnd).grown(lineWidth + static_cast<int>(0.7 * t)).contains(p))
        return false;
    const int slotOffset = slotOf(view, childEnd) - slotOf(view, parentEnd);
    const int layerGap = layerOf(view, childEnd) - layerOf(view, parentEnd);
    if (slotOffset == 0 || layerGap == 0)
        return true;
    if (!curvedLinks(view)) {
        const long dx = parentEnd.x - childEnd.x;
        const long dy = parentEnd.y - childEnd.y;
        const long cross = dx * (p.y - childEnd.y) - dy * (p.x - childEnd.x);
        return squared(cross) < squared(t) * (dx * dx + dy * dy);
    }
    const CurvedLink curve = CurvedLinkBetween(view, childEnd, parentEnd);
    return arcHit(p, curve.parentCentre, curve.rx, curve.ry, parentEnd, curve.middle, t,
                  lineWidth) ||
           arcHit(p, curve.childCentre, curve.rx, curve.ry, curve.childEnd, curve.middle, t,
                  lineWidth);
}

} // namespace

bool HasHiddenNeighbour(const ViewNode* n, int slot) {
    if (unseenIn(n, slot) > 0)
        return true;
    bool hidden = false;
    forEachNode(n->slotList(slot),
                [&](NodeBase* x) { hidden = hidden || asViewNode(x)->hasFlag(NodeFlags::Hidden); });
    return hidden;
}

bool IsPlaced(const ViewNode* n) {
    return !n->hasFlag(NodeFlags::Hidden) && !n->hasFlag(NodeFlags::Unplaced);
}

void ForEachPlaced(NetView& view, const std::function<void(ViewNode*)>& f) {
    if (!view.layout.nodes)
        return;
    std::vector<ViewNode*> nodes;
    view.layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            static_cast<std::vector<ViewNode*>*>(context)->push_back(asViewNode(n));
            return 0;
        },
        &nodes);
    forEachNode(view.layout.dummyList, [&](NodeBase* n) { nodes.push_back(asViewNode(n)); });
    for (ViewNode* n : nodes)
        if (IsPlaced(n))
            f(n);
}

Rect SpannedRect(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

ViewNode* HitNode(NetView& view, Point at) {
    ViewNode* hit = nullptr;
    ForEachPlaced(view, [&](ViewNode* n) {
        if (hit || n->hasFlag(NodeFlags::DummyNode) || !toRect(n->layoutBox).contains(at))
            return;
        if (n->shape && view.shapes) {
            ShapeDrawing drawing;
            drawing.vertical = view.vertical();
            drawing.lineWidth = lineWidthOf(view);
            drawing.halfWidth = BoxHalfExtent(view.geometry.cellWidth);
            drawing.halfHeight = BoxHalfExtent(view.geometry.cellHeight);
            std::unique_ptr<platform::Region> region = NodeRegion(*n, *view.shapes, drawing);
            if (region && !region->contains(at))
                return;
        }
        hit = n;
    });
    return hit;
}

SlotHit HitMarker(NetView& view, Point at) {
    SlotHit hit;
    bool inBox = false;
    const int reach = std::max(4, static_cast<int>(6.0f * view.geometry.labelZoom));
    ForEachPlaced(view, [&](ViewNode* n) {
        if (n->hasFlag(NodeFlags::DummyNode))
            return;
        if (toRect(n->layoutBox).contains(at))
            inBox = true;
        if (hit.node)
            return;
        for (int slot : {ParentSlot, ChildSlot}) {
            if (!HasHiddenNeighbour(n, slot))
                continue;
            const Point m = markerPoint(view, n, slot == ParentSlot);
            if (std::abs(at.x - m.x) <= reach && std::abs(at.y - m.y) <= reach) {
                hit = {n, slot};
                return;
            }
        }
    });
    return inBox ? SlotHit{} : hit;
}

SlotHit HitStub(NetView& view, Point at) {
    SlotHit hit;
    const int t = tolerance(view);
    ForEachPlaced(view, [&](ViewNode* n) {
        if (hit.node || n->hasFlag(NodeFlags::DummyNode))
            return;
        for (int slot : {ParentSlot, ChildSlot}) {
            const bool parentSide = slot == ParentSlot;
            const Point from = onScreen(view, slotCentre(n), forkLayer(view, n, parentSide));
            const Point to = parentSide ? parentLinkPoint(view, n) : childLinkPoint(view, n);
            if (layerOf(view, from) == layerOf(view, to))
                continue;
            if (SpannedRect(from, to).grown(t).contains(at) && !toRect(n->layoutBox).contains(at)) {
                hit = {n, slot};
                return;
            }
        }
    });
    return hit;
}

LinkHit HitLink(NetView& view, Point at) {
    LinkHit hit;
    const int t = tolerance(view);
    ForEachPlaced(view, [&](ViewNode* n) {
        if (hit.child)
            return;
        if (n->hasFlag(NodeFlags::DummyNode)) {
            // A filler is its own short stretch of the link.
            const Rect through =
                SpannedRect(parentLinkPoint(view, n), childLinkPoint(view, n)).grown(t / 2);
            if (through.contains(at)) {
                hit = {n, asViewNode(n->first(ParentSlot))};
                return;
            }
        }
        forEachNode(n->slotList(ParentSlot), [&](NodeBase* base) {
            ViewNode* p = asViewNode(base);
            if (hit.child || !IsPlaced(p))
                return;
            if (linkHit(view, at, parentLinkPoint(view, n), childLinkPoint(view, p), t))
                hit = {n, p};
        });
    });
    if (hit.child && (!hit.parent || toRect(hit.child->layoutBox).contains(at)))
        return {};
    return hit;
}

Rect LabelArea(const NetView&, const ViewNode& node) {
    // The middle of the box, where the centred label lines sit; the rim is for dragging.
    const Rect box = toRect(node.layoutBox);
    const int insetX = box.width() / 6;
    const int insetY = box.height() / 4;
    return {box.left + insetX, box.top + insetY, box.right - insetX, box.bottom - insetY};
}

} // namespace tarvo
