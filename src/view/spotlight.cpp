// The distance pass and the spotlight.
#include "view/spotlight.h"

#include "inheritance/inheritance_walk.h"
#include "model/view_node.h"
#include "view/net_view.h"
#include "view/view_flags.h"

#include <algorithm>

namespace tarvo {
namespace {

// Whether the running distance walk stores the walk step as each node's distance, or only
// counts from the distances the nodes hold.
bool& storingDistances() {
    static bool storing = true;
    return storing;
}

void measureNode(Node* reached) {
    Node* node = ReachedThroughDummies(reached);
    if (!node || !VisitOnce(node))
        return;
    if (storingDistances()) {
        const int step = walkState().WalkPassCount;
        node->setFlag(node->distance != step, NodeFlags::DistanceChanged);
        node->distance = step;
    }
    DistanceStats& stats = passView()->distances;
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
    NewVisitPass(view);
    view.distances = DistanceStats{};
    storingDistances() = store;
    InheritanceWalk(view.current, &measureNode, kAllSlots, nullptr);
    view.distances.greatestDistance = walkState().WalkPassCount - 1;
}

struct SpotlightState {
    int distance = 0;
    int hideBeyond = 1;
    bool changed = false;
};

SpotlightState& spotlight() {
    static SpotlightState state;
    return state;
}

void spotlightNode(Node* reached) {
    Node* node = ReachedThroughDummies(reached);
    if (!node || !VisitOnce(node))
        return;
    SpotlightState& state = spotlight();
    const bool within = node->distance <= state.distance;
    const bool hidden = node->hasFlag(NodeFlags::Hidden);
    // A spotlight narrower than the current node itself still leaves it shown: the layout
    // starts from it.
    if (state.hideBeyond == 1 && !within && !hidden && node != passView()->current) {
        node->setFlag(1, NodeFlags::Hidden);
        state.changed = true;
    } else if (state.hideBeyond == 0 && within && hidden) {
        node->setFlag(0, NodeFlags::Hidden);
        state.changed = true;
    }
}

} // namespace

Node* ThroughDummies(NodeBase* node, int slot) {
    while (node && asNode(node)->hasFlag(NodeFlags::DummyNode))
        node = node->first(slot);
    return node ? asNode(node) : nullptr;
}

Node* ReachedThroughDummies(Node* reached) {
    return ThroughDummies(reached, walkState().CurrentSlot);
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
    NewVisitPass(view);
    spotlight() = SpotlightState{distance, hideBeyond, false};
    InheritanceWalk(view.current, &spotlightNode, kAllSlots, nullptr);
    return spotlight().changed;
}

} // namespace tarvo
