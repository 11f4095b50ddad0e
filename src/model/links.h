// The link operations: every link stored in both of its nodes, in opposite slots, in order.
#pragma once

#include "containers/node_list.h"
#include "model/node.h"

namespace tarvo {

// Positions are 0-based over a whole slot list; a negative position, or one at or past the
// end, means "at the end".

int appendLink(NodeBase* n, int slot, NodeBase* x);
void link(NodeBase* n, int slot, NodeBase* x);
// c becomes a child of p (c isa p).
void addChild(NodeBase* p, NodeBase* c);
// Inserts x at `position`; with `moveIfPresent`, an x already in the list moves there instead.
void insertLink(NodeBase* n, int slot, NodeBase* x, int position, int moveIfPresent);
void insertLinkPair(NodeBase* n, int slot, NodeBase* x, int position, int moveIfPresent);
NodeBase* first(const NodeBase* n, int slot);
// The removed node, or null when the slot is empty.
NodeBase* removeLinkAt(NodeBase* n, int slot, int position);
// Removes the first x; null when x is not there.
NodeBase* removeLink(NodeBase* n, int slot, NodeBase* x);
// Both sides of the link; 1 when both removals succeeded.
int unlink(NodeBase* n, int slot, NodeBase* x);
int moveLink(NodeBase* n, int slot, int from, int to);
int positionOf(const NodeBase* n, int slot, const NodeBase* x);
// Gives the slot `list`'s nodes, taking the list over (the old one is destroyed, not its
// nodes); the slot's counter becomes their number, which is returned.
int replaceSlot(NodeBase* n, int slot, NodeList* list);
// Puts `by` in the place of the first x in the slot (one side of a link only); false when x is
// not there.
bool replaceLinkNode(NodeBase* n, int slot, const NodeBase* x, NodeBase* by);
// Puts `by` in place of the node at `position` of the slot; false when out of range.
bool replaceLinkAt(NodeBase* n, int slot, int position, NodeBase* by);

// Deleting a node and undoing it: the back links of N's neighbours are taken away (N keeps its
// own lists) and can be put back at the positions recorded before.
void detachNode(Node* n);
// Allocate-d positions, null when N has no links; `count` receives their number.
std::int32_t* recordPositions(Node* n, int* count = nullptr);
void restorePositions(Node* n, const std::int32_t* positions);

} // namespace tarvo
