// The link edits and formatting a view issues beside inserting, deleting, reordering and
// relabelling (declared with the view's other operations).
#pragma once

#include "labels/label_markup.h"

namespace tarvo {

class NetView;
class ViewNode;

// Formatting kinds: clear every style bit (value -1), toggle a style bit, set the size and
// position bits, set the font.
inline constexpr int kFormatClear = 0;
inline constexpr int kFormatToggle = 2;
inline constexpr int kFormatSize = 3;
inline constexpr int kFormatFont = 4;

// An isa link between two of the view's nodes: `other` becomes a parent (slot 0) or child
// (slot 1) of `node` at a position in node's slot. Refused when the link exists, when the
// kinds differ, or when it would close a cycle of isa links.
bool AddLink(NetView& view, ViewNode* node, int slot, ViewNode* other, int position = -1);
bool RemoveLink(NetView& view, ViewNode* node, int slot, ViewNode* other);
// A link end dropped on empty space: the current node's isa link to `other` in `slot` goes,
// and a new node with an empty label takes its place there; one edit.
bool DetachLinkEnd(NetView& view, int slot, ViewNode* other);
// Sets or clears the drag mark on the neighbours of node in `slot`, in every view; kept
// neither for Undo nor as a change to save.
bool MarkDrag(NetView& view, ViewNode* node, int slot, bool on);
// Moves the far end of one of node's isa links from `from` to `to`, keeping its place in
// node's slot; one edit.
bool MoveLinkEnd(NetView& view, ViewNode* node, int slot, ViewNode* from, ViewNode* to);
// Moves the current node `step` places among its siblings in the current link's slot.
bool MoveAmongSiblings(NetView& view, int step);

} // namespace tarvo
