// ViewLayout: what a view's layout works over and what it leaves: the view's own nodes and the
// marks of its passes over them, the clusters, the fillers of long links, the grid of cells and
// the energy of the arrangement.
#pragma once

#include "layout/layout_grid.h"
#include "layout/layout_modes.h"
#include "layout/visit_marks.h"

#include <cstdint>
#include <vector>

namespace tarvo {

class NodeList;
class NodeTable;
class ViewNode;

// A set of nodes joined by isa links, laid out as a unit and placed beside the others.
struct Cluster {
    // The topmost node found while layering it: placement starts there.
    ViewNode* seed = nullptr;
    // Its own cells while the view's grid is being built.
    LayoutGrid grid;
    // Per other cluster (by number), the relation links leading there through the from slot
    // (index 0) and the to slot (index 1) of this cluster's nodes.
    std::vector<std::int32_t> linkCounts[2];
    // For a relation cluster: its place in the final order.
    std::int32_t insertAt = 0;
    // The order in which the cluster was found.
    std::int32_t number = 0;
    // The layers the layering gave its nodes: lowest layer minus one is -layerOffset.
    std::int32_t layerCount = 0;
    std::int32_t layerOffset = 0;
};

class ViewLayout {
public:
    // Starts the next pass of the visit marks. After the last bit the marks of every node are
    // cleared, fillers included, because a bit reused over nodes a pass never reached would
    // count some of them as visited already.
    void newPass();
    // Clears the marks of every node and returns to the first bit.
    void resetMarks();

    // The manual improvement steps start again: full blend, the first step downward.
    void restartSteps() {
        stepBlend = 1.0f;
        stepDirection = SweepDirection::Upward;
    }
    // The direction of the next manual step (it flips before each step, the first going
    // downward) and the blend it sweeps with. The blend shrinks after every upward step.
    SweepDirection beginStep() {
        stepDirection = stepDirection == SweepDirection::Upward ? SweepDirection::Downward
                                                                : SweepDirection::Upward;
        return stepDirection;
    }
    void endStep() {
        if (stepDirection == SweepDirection::Upward)
            stepBlend *= 0.9f;
    }

    // The view's own copies of the network's nodes. The view makes and destroys the table; the
    // layout arranges what is in it.
    NodeTable* nodes = nullptr;
    VisitMarks marks;
    // Counts the passes started (newPass, resetMarks), so that a walk spread over several
    // turns can tell whether another pass ran in between and took its marks.
    std::uint32_t passNumber = 0;

    // The grid, the clusters in their final order, the fillers of long links.
    LayoutGrid grid;
    std::vector<Cluster> clusters;
    std::int32_t clusterCount = 0;
    NodeList* dummyList = nullptr;
    std::int32_t dummyCount = 0;
    // The nodes the last layout hid that were shown before, when it was asked to collect them.
    NodeList* newlyHidden = nullptr;
    float energy = 0.0f;
    // The manual improvement step's blend factor and the direction of its last sweep.
    float stepBlend = 1.0f;
    SweepDirection stepDirection = SweepDirection::Upward;
};

} // namespace tarvo
