// NetView: a view of the network seen from a current node — its own nodes, options, layout
// and geometry.
#pragma once

#include "view/layout_grid.h"
#include "view/visit_marks.h"

#include <cstdint>
#include <vector>

namespace tarvo {

class Node;
class NodeList;
class NodeTable;
class ViewNode;

inline constexpr int kEntityView = 0;
inline constexpr int kRelationView = 1;

// Justification: where a sweep aims a node among its neighbours.
inline constexpr int kJustifyFirst = 0;
inline constexpr int kJustifyCentred = 1;
inline constexpr int kJustifyLast = 2;
// Depth justification of nodes whose links span several layers.
inline constexpr int kRaiseChildren = 0;
inline constexpr int kLowerParents = 1;
// Orientation: the direction from parents to children.
inline constexpr int kLeftToRight = 0;
inline constexpr int kRightToLeft = 1;
inline constexpr int kTopDown = 2;
inline constexpr int kBottomUp = 3;

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

// The distances of the view's nodes from its current node, as the last measurement found them.
struct DistanceStats {
    std::int32_t greatestShown = 0;
    // -1 when every node is shown.
    std::int32_t smallestUnshown = -1;
    std::int32_t unshownCount = 0;
    std::int32_t greatestDistance = 0;
};

// What the window does when the layout changed the picture; absent for views without a window.
class ViewRefresh {
public:
    virtual ~ViewRefresh() = default;
    virtual void updateTitle() = 0;
    virtual void repaint() = 0;
};

class NetView {
public:
    NetView() = default;
    NetView(const NetView&) = delete;
    NetView& operator=(const NetView&) = delete;
    ~NetView();

    bool vertical() const { return orientation > 1; }
    bool reversed() const { return (orientation & 1) != 0; }

    // Nodes.
    NodeTable* nodes = nullptr;
    std::int32_t kind = kEntityView;
    ViewNode* root = nullptr;
    ViewNode* current = nullptr;
    VisitMarks marks;

    // Options.
    std::int32_t justification = kJustifyCentred;
    std::int32_t depthJustify = kRaiseChildren;
    std::int32_t orientation = kTopDown;

    // Layout: the grid, the clusters in their final order, the fillers of long links.
    LayoutGrid grid;
    std::vector<Cluster> clusters;
    std::int32_t clusterCount = 0;
    NodeList* dummyList = nullptr;
    std::int32_t dummyCount = 0;
    // The nodes the last layout hid that were shown before, when it was asked to collect them.
    NodeList* newlyHidden = nullptr;
    float energy = 0.0f;
    // The manual improvement step's blend factor and the direction of its next sweep
    // (0 upward, 1 downward; it flips before each step).
    float stepBlend = 1.0f;
    std::int32_t stepDirection = 0;

    // Geometry: the client area, the cell extents in pixels, what is scrolled away.
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;
    float labelZoom = 0.0f;
    std::int32_t firstVisibleSlot = 0;
    std::int32_t firstVisibleLayer = 0;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;

    DistanceStats distances;
    ViewRefresh* refresh = nullptr;
};

// Makes the view's table and its nodes: a copy of `node` as root and current node, then a copy
// of everything connected to it, linked as in the network. 0 when memory ran out.
int BuildViewNodes(NetView& view, Node* node);
// The first layout of a new view; with a reveal distance above 1 only the nodes up to one less
// than it from the current node stay shown.
void StartViewLayout(NetView& view, int revealDistance);
// Removes the fillers and destroys the view's nodes and table.
void DestroyViewNodes(NetView& view);

} // namespace tarvo
