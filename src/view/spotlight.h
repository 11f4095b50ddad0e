// Distances from a view's current node, and the spotlight that hides what lies beyond one.
#pragma once

namespace tarvo {

class GraphWalk;
class NetView;
class Node;
class NodeBase;

// Gives every node its distance from the current node (fillers do not count as steps), marks
// the nodes whose distance changed, and gathers the view's distance statistics.
void MeasureDistances(NetView& view);
// Gathers the distance statistics again from the distances measured last: a layout changes
// what is shown, not how far the nodes are from the current node.
void CountShownNodes(NetView& view);
// With `hideBeyond` 1, hides the shown nodes farther than `distance`; with 0, shows the hidden
// nodes up to `distance`. The current node is never hidden. True when a node changed.
bool SetSpotlight(NetView& view, int distance, int hideBeyond);

// The real node a link in `slot` leads to: a filler stands for the node at the far end of its
// chain, which goes on in the same slot. Null for a chain that ends in a filler.
Node* ThroughDummies(NodeBase* node, int slot);
// The real node a step of `walk` reached.
Node* ReachedThroughDummies(const GraphWalk& walk, Node* reached);

} // namespace tarvo
