// Orders over the nodes of a list by their labels, for the dialogs' and the views' sorted lists.
#pragma once

namespace tarvo {

class Node;

// The node's formatting measure for `selector`, times 1000, as its sort key.
void setFormattingKey(Node* n, int selector);
// Sort orders over node pointers (elements of a NodeList), letter case ignored.
int byLabel(const void* a, const void* b);
// Greater distance first, then by label.
int byDistanceThenLabel(const void* a, const void* b);

} // namespace tarvo
