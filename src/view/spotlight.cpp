// The distance pass and the spotlight.
#include "view/spotlight.h"

#include "inheritance/inheritance_walk.h"
#include "model/view_node.h"
#include "view/net_view.h"
#include "view/view_flags.h"

#include <algorithm>

namespace tarvo {
namespace {

// The real node a walk step reaches: a filler stands for the node at the far end of its chain.
Node* throughDummies(Node* node) {
    const int slot = walkState().CurrentSlot;
    while (node && node->hasFlag(NodeFlags::DummyNode))
        node = asNode(node->first(slot));
    return node;
}

void measureNode(Node* reached) {
    Node* node = throughDummies(reached);
    if (!node || !VisitOnce(node))
        return;
    const int step = walkState().WalkPassCount;
    node->setFlag(node->distance != step, NodeFlags::DistanceChanged);
    node->distance = step;
    DistanceStats& stats = passView()->distances;
    if (node->hasFlag(NodeFlags::Unplaced)) {
        ++stats.unshownCount;
        if (stats.smallestUnshown < 0 || step < stats.smallestUnshown)
            stats.smallestUnshown = step;
    } else {
        stats.greatestShown = std::max(stats.greatestShown, step);
    }
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
    Node* node = throughDummies(reached);
    if (!node || !VisitOnce(node))
        return;
    SpotlightState& state = spotlight();
    const bool within = node->distance <= state.distance;
    const bool hidden = node->hasFlag(NodeFlags::Hidden);
    if (state.hideBeyond == 1 && !within && !hidden) {
        node->setFlag(1, NodeFlags::Hidden);
        state.changed = true;
    } else if (state.hideBeyond == 0 && within && hidden) {
        node->setFlag(0, NodeFlags::Hidden);
        state.changed = true;
    }
}

} // namespace

void MeasureDistances(NetView& view) {
    if (!view.current)
        return;
    NewVisitPass(view);
    view.distances = DistanceStats{};
    InheritanceWalk(view.current, &measureNode, kAllSlots, nullptr);
    view.distances.greatestDistance = walkState().WalkPassCount - 1;
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
