// The first steps of a view's layout: which nodes it reaches, their layers in clusters, what
// stays hidden, depth justification and the fillers of long links.
#pragma once

namespace tarvo {

class NetView;

// Gives every node reachable from the current node the Unplaced mark.
void MarkReachable(NetView& view);
// Layers the shown nodes in clusters, starting with the current node's; the clusters are the
// view's, in the order they were found.
void LayerClusters(NetView& view);
// Hides what the layering did not reach; with `collect` the view's newlyHidden list holds the
// nodes that were shown before.
void HideUnreached(NetView& view, bool collect);
// Moves nodes whose links span several layers by one layer: children up ("Raise children") or
// parents down ("Lower parents"), as the view's option says.
void JustifyDepth(NetView& view);
// Puts a filler node in every layer that a link between a shown parent and child crosses.
void InsertDummyNodes(NetView& view);
// Links the ends of every chain of fillers directly again and destroys the fillers.
void RemoveDummyNodes(NetView& view);

} // namespace tarvo
