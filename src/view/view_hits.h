// Hit tests over a view's drawn picture: what lies under a point (nodes, hidden-neighbour
// markers, link stubs, link lines, label areas).
#pragma once

#include "platform/display.h"

#include <functional>

namespace tarvo {

class NetView;
class ViewNode;

struct SlotHit {
    ViewNode* node = nullptr;
    int slot = 0;
};
struct LinkHit {
    // The link's two ends next to the point (either may be a filler of a long link).
    ViewNode* child = nullptr;
    ViewNode* parent = nullptr;
};

// The node whose box (or, for a shaped node, whose shape) holds the point; null for none.
ViewNode* HitNode(NetView& view, platform::Point at);
// A node whose hidden-neighbour marker is under the point; none inside any node box.
SlotHit HitMarker(NetView& view, platform::Point at);
// A node whose stub (between its box and its link point) is under the point.
SlotHit HitStub(NetView& view, platform::Point at);
// The link line under the point.
LinkHit HitLink(NetView& view, platform::Point at);
// Where the node's label sits in its box: a click there edits the label.
platform::Rect LabelArea(const NetView& view, const ViewNode& node);

// A node the picture shows: neither hidden nor left out of the layout.
bool IsPlaced(const ViewNode* n);
// Whether some neighbour of n in `slot` is hidden, a copy or one the view holds no copy of:
// the slot's stub then ends in a marker.
bool HasHiddenNeighbour(const ViewNode* n, int slot);
// Every node of the view that the picture shows, fillers included.
void ForEachPlaced(NetView& view, const std::function<void(ViewNode*)>& f);
// The smallest rectangle holding both points.
platform::Rect SpannedRect(platform::Point a, platform::Point b);

} // namespace tarvo
