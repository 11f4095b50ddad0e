// The distance pass and the spotlight.
#include "view/spotlight.h"

#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/graph_walk.h"
#include "view/net_view.h"

#include <algorithm>

namespace tarvo {
namespace {

// `store`: the distance walk stores the walk step as each node's distance; otherwise it only
// counts from the distances the nodes hold.
void measureNode(NetView& view, GraphWalk& walk, bool store, Node* reached) {
    Node* node = ReachedThroughDummies(walk, reached);
    if (!node || !VisitOnce(view.layout.marks, walk, node))
        return;
    if (store) {
        const int step = walk.passCount();
        node->setFlag(node->distance != step, NodeFlags::DistanceChanged);
        node->distance = step;
    }
    DistanceStats& stats = view.distances;
    if (node->hasFlag(NodeFlags::Unplaced)) {
        ++stats.unshownCount;
        if (stats.smallestUnshown < 0 || node->distance < stats.smallestUnshown)
            stats.smallestUnshown = node->distance;
    } else {
        stats.greatestShown = std::max(stats.greatestShown, node->distance);
    }
}

void walkDistances(NetView& view, bool store) {
    if (!view.current)
        return;
    view.layout.newPass();
    view.distances = DistanceStats{};
    GraphWalk walk;
    walk.run(view.current,
             [&view, &walk, store](Node* reached) { measureNode(view, walk, store, reached); });
    view.distances.greatestDistance = walk.passCount() - 1;
}

} // namespace

Node* ThroughDummies(NodeBase* node, int slot) {
    while (node && asNode(node)->hasFlag(NodeFlags::DummyNode))
        node = node->first(slot);
    return node ? asNode(node) : nullptr;
}

Node* ReachedThroughDummies(const GraphWalk& walk, Node* reached) {
    return ThroughDummies(reached, walk.currentSlot());
}

void MeasureDistances(NetView& view) {
    walkDistances(view, true);
}

void CountShownNodes(NetView& view) {
    walkDistances(view, false);
}

bool SetSpotlight(NetView& view, int distance, int hideBeyond) {
    if (!view.current)
        return false;
    view.layout.newPass();
    bool changed = false;
    GraphWalk walk;
    walk.run(view.current, [&](Node* reached) {
        Node* node = ReachedThroughDummies(walk, reached);
        if (!node || !VisitOnce(view.layout.marks, walk, node))
            return;
        const bool within = node->distance <= distance;
        const bool hidden = node->hasFlag(NodeFlags::Hidden);
        // A spotlight narrower than the current node itself still leaves it shown: the layout
        // starts from it.
        if (hideBeyond == 1 && !within && !hidden && node != view.current) {
            node->setFlag(1, NodeFlags::Hidden);
            changed = true;
        } else if (hideBeyond == 0 && within && hidden) {
            node->setFlag(0, NodeFlags::Hidden);
            changed = true;
        }
    });
    return changed;
}

} // namespace tarvo
