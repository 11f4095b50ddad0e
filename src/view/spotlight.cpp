// The distance pass and the spotlight.
#include "view/spotlight.h"

#include "containers/node_table.h"
#include "containers/pointer_set.h"
#include "layout/layering.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "layout/view_walk.h"
#include "model/graph_walk.h"
#include "view/net_view.h"

#include <algorithm>
#include <vector>

namespace tarvo {
namespace {

// `store`: the distance walk stores the walk step as each node's distance; otherwise it only
// counts from the distances the nodes hold. Used when the current node has no network node
// behind it any more: the view's own links are then all there is.
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

void walkViewDistances(NetView& view, bool store) {
    view.layout.newPass();
    view.distances = DistanceStats{};
    GraphWalk walk;
    walk.run(view.current,
             [&view, &walk, store](Node* reached) { measureNode(view, walk, store, reached); });
    view.distances.greatestDistance = walk.passCount() - 1;
}

// The view holds copies of only part of the network: the distances and counts come from a
// walk of the network itself, which builds nothing. A node without a copy is not shown.
void walkDistances(NetView& view, bool store) {
    if (!view.current)
        return;
    if (!view.current->source || !view.layout.nodes) {
        walkViewDistances(view, store);
        return;
    }
    // The copies by their network node: the walk asks for each node it reaches, and most of
    // them have none.
    PointerMap<ViewNode*> copies;
    view.layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            auto* v = asViewNode(n);
            if (v->source)
                static_cast<PointerMap<ViewNode*>*>(context)->insert(v->source, v);
            return 0;
        },
        &copies);
    DistanceStats stats;
    int greatest = 0;
    WalkNetwork(view.current->source, -1, [&](const Node* node, int distance) {
        greatest = distance;
        ViewNode* const* found = copies.find(node);
        ViewNode* copy = found ? *found : nullptr;
        if (!copy) {
            ++stats.unshownCount;
            if (stats.smallestUnshown < 0 || distance < stats.smallestUnshown)
                stats.smallestUnshown = distance;
            return;
        }
        if (store) {
            copy->setFlag(copy->distance != distance, NodeFlags::DistanceChanged);
            copy->distance = distance;
        }
        if (copy->hasFlag(NodeFlags::Unplaced)) {
            ++stats.unshownCount;
            if (stats.smallestUnshown < 0 || copy->distance < stats.smallestUnshown)
                stats.smallestUnshown = copy->distance;
        } else {
            stats.greatestShown = std::max(stats.greatestShown, copy->distance);
        }
    });
    stats.greatestDistance = greatest;
    view.distances = stats;
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
    // Showing more needs the copies of what comes into sight, and of what lies one step
    // beyond for the markers.
    if (hideBeyond == 0 && view.layout.nodes && view.current->source) {
        std::vector<ViewNode*> made;
        ExtendViewNodes(*view.layout.nodes, view.current, distance, false, &made);
        // A copy made now is reachable but was never laid out.
        for (ViewNode* v : made)
            v->setFlag(1, NodeFlags::Unplaced);
    }
    view.layout.newPass();
    bool changed = false;
    ViewWalk walk(view.layout.marks);
    walk.run(view.current, [&](Node* reached) {
        Node* node = ThroughDummies(reached, walk.currentSlot());
        if (!node || !walk.visitOnce(node))
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
