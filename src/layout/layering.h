// The first steps of a view's layout: which nodes it reaches, their layers in clusters, what
// stays hidden, depth justification and the fillers of long links. Each walk starts at the
// view's current node.
#pragma once

#include "layout/layout_modes.h"

#include <cstdint>
#include <memory>

namespace tarvo {

class ClusterLayering;
class Node;
class ViewLayout;
class ViewNode;
class ViewWalk;

// The walks of the layering, each from the current node over one pass of the visit marks.
enum class LayeringPass : std::int8_t {
    Reach,    // MarkReachable
    Clusters, // LayerClusters
    Hide,     // HideUnreached
    Justify,  // JustifyDepth
    Fillers,  // InsertDummyNodes
};

// One of those walks in pieces, for a layout spread over several turns: the pass starts when
// the object is made, and each resume goes on for up to `budget` nodes (negative: to the end);
// true when the walk has ended. Between the pieces the view's links and visit marks must stay
// as the walk left them. The functions below run a whole walk at once.
class LayeringStep {
public:
    LayeringStep(ViewLayout& layout, ViewNode* current, LayeringPass pass,
                 DepthJustify option = DepthJustify::RaiseChildren, bool collect = false);
    LayeringStep(const LayeringStep&) = delete;
    LayeringStep& operator=(const LayeringStep&) = delete;
    ~LayeringStep();

    bool resume(std::int64_t budget);

private:
    void visit(Node* node);

    ViewLayout& m_layout;
    LayeringPass m_pass;
    DepthJustify m_option;
    bool m_collect;
    std::unique_ptr<ViewWalk> m_walk;
    std::unique_ptr<ClusterLayering> m_clusters;
};

// Completes the copies that are shown but partial (shown since the last layout), so that the
// layout sees all their links; the copies this makes are hidden.
void CompleteShownNodes(ViewLayout& layout);
// Gives every node reachable from `current` the Unplaced mark.
void MarkReachable(ViewLayout& layout, ViewNode* current);
// Layers the shown nodes in clusters, starting with the current node's; the clusters are the
// layout's, in the order they were found.
void LayerClusters(ViewLayout& layout, ViewNode* current);
// Hides what the layering did not reach; with `collect` the layout's newlyHidden list holds
// the nodes that were shown before.
void HideUnreached(ViewLayout& layout, ViewNode* current, bool collect);
// Moves nodes whose links span several layers by one layer: children up ("Raise children") or
// parents down ("Lower parents"), as `option` says.
void JustifyDepth(ViewLayout& layout, ViewNode* current, DepthJustify option);
// Puts a filler node in every layer that a link between a shown parent and child crosses.
void InsertDummyNodes(ViewLayout& layout, ViewNode* current);
// Links the ends of every chain of fillers directly again and destroys the fillers.
void RemoveDummyNodes(ViewLayout& layout);

} // namespace tarvo
