// The first steps of a view's layout: which nodes it reaches, their layers in clusters, what
// stays hidden, depth justification and the fillers of long links. Each walk starts at the
// view's current node.
#pragma once

#include "layout/layout_modes.h"

namespace tarvo {

class ViewLayout;
class ViewNode;

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
