// Where a view draws a node's links, stubs and markers: points given along the slot and layer
// axes turned into window points, whatever the orientation. Painting and the mouse's hit tests
// share them, so that what is hit is what was drawn.
#pragma once

#include "layout/view_node.h"
#include "platform/display.h"
#include "view/net_view.h"

#include <algorithm>

namespace tarvo {

inline platform::Rect toRect(const PixelBox& box) {
    return {box.left, box.top, box.right, box.bottom};
}

inline int lineWidthOf(const NetView& view) {
    return std::max(1, static_cast<int>(view.geometry.labelZoom));
}

// The sizes of the pieces drawn about a node at a label zoom: how far a node's link box reaches
// past its box, the arrow head that marks hidden parents, the circle that marks hidden children,
// and how far along a layer of `layerExtent` pixels the stub to a marker goes.
inline int linkGrowthFor(float zoom) {
    return static_cast<int>(3.0f * zoom + 1.0f);
}
inline int arrowLengthFor(float zoom) {
    return std::max(2, static_cast<int>(8.0f * zoom));
}
inline int arrowHalfFor(float zoom) {
    return std::max(1, static_cast<int>(5.0f * zoom));
}
inline int markerDiameterFor(float zoom) {
    return std::max(4, static_cast<int>(5.0f * zoom));
}
inline int markerExtensionFor(float layerExtent) {
    return static_cast<int>(layerExtent / 12.0f);
}

inline platform::Point onScreen(const NetView& view, int slot, int layer) {
    return view.vertical() ? platform::Point{slot, layer} : platform::Point{layer, slot};
}
inline int slotOf(const NetView& view, platform::Point p) {
    return view.vertical() ? p.x : p.y;
}
inline int layerOf(const NetView& view, platform::Point p) {
    return view.vertical() ? p.y : p.x;
}
// The centre line along the layer axis: fillers are an even number of pixels wide, boxes an
// odd one, and both have it at the same place for the same cell.
inline int slotCentre(const ViewNode* n) {
    const int sum = n->linkBox.left + n->linkBox.right;
    return sum >= 0 ? sum / 2 : -((1 - sum) / 2);
}
// +1 when children lie at larger layer coordinates than their parents.
inline int childward(const NetView& view) {
    return view.reversed() ? -1 : 1;
}
inline platform::Point childLinkPoint(const NetView& view, const ViewNode* n) {
    return onScreen(view, slotCentre(n), n->linkBox.bottom);
}
inline platform::Point parentLinkPoint(const NetView& view, const ViewNode* n) {
    return onScreen(view, slotCentre(n), n->linkBox.top);
}
// The edge of a node's box facing its parents (or children) on its centre line.
inline int forkLayer(const NetView& view, const ViewNode* n, bool parentSide) {
    const platform::Rect box = toRect(n->layoutBox);
    const int low = view.vertical() ? box.top : box.left;
    const int high = (view.vertical() ? box.bottom : box.right) - 1;
    const bool lowSide = parentSide != view.reversed();
    return lowSide ? low : high;
}
// The end of the longer stub that shows a node has hidden neighbours on that side: the marker
// (an arrow head towards the parents, a circle towards the children) sits there.
inline platform::Point markerPoint(const NetView& view, const ViewNode* n, bool parentSide) {
    const int extension = markerExtensionFor(view.geometry.layerExtent);
    const int away = parentSide ? -childward(view) : childward(view);
    const int linkLayer = parentSide ? n->linkBox.top : n->linkBox.bottom;
    return onScreen(view, slotCentre(n), linkLayer + away * extension);
}

// A curved link between layers: two arcs, each leaving its end along the layer axis and meeting
// in the middle. An ellipse quarter of semi-axes d/sqrt(3) along and f across reaches half of d
// at 60 degrees, where it has come half of f across.
struct CurvedLink {
    platform::Point parentCentre; // the centre of the arc that leaves the parent's end
    platform::Point childCentre;  // the centre of the arc that leaves the child's end
    platform::Point childEnd;     // where the child's arc starts
    platform::Point middle;
    int rx = 0;
    int ry = 0;
};

inline CurvedLink CurvedLinkBetween(const NetView& view, platform::Point childEnd,
                                    platform::Point parentEnd) {
    const int slotOffset = slotOf(view, childEnd) - slotOf(view, parentEnd);
    const int layerGap = layerOf(view, childEnd) - layerOf(view, parentEnd);
    const int d = layerGap + (layerGap >= 0 ? 1 : -1);
    const int f = slotOffset;
    const int along = static_cast<int>(0.5773502691896257 * (d < 0 ? -d : d));
    const int across = f < 0 ? -f : f;
    const int parentSlot = slotOf(view, parentEnd);
    const int parentLayer = layerOf(view, parentEnd);
    const int childSlot = slotOf(view, childEnd);
    const int childLayer = parentLayer + d;
    CurvedLink link;
    link.parentCentre = onScreen(view, parentSlot + f, parentLayer);
    link.childCentre = onScreen(view, childSlot - f, childLayer);
    link.childEnd = onScreen(view, childSlot, childLayer);
    link.middle = onScreen(view, parentSlot + f / 2, parentLayer + d / 2);
    link.rx = view.vertical() ? across : along;
    link.ry = view.vertical() ? along : across;
    return link;
}

} // namespace tarvo
