// The open network: its node table, lookups by name and kind, and the walks over its nodes
// that the dialogs and the views need.
#pragma once

#include "model/node.h"

namespace tarvo {

class ChunkList;
class NodeTable;
class ViewNode;

struct NetworkState {
    // The table of the open network.
    NodeTable* currentNetwork = nullptr;
    // The relation that stands for the isa link itself; not a node of any network.
    Node* isaRelation = nullptr;
};

NetworkState& network();
inline NodeTable* currentNetwork() {
    return network().currentNetwork;
}

// A table with the network's dimensions, key hash and key equality; null when out of memory.
NodeTable* MakeNodeTable();

// 1 when inserted into the current network; 0 when an equal node is there already, which is
// then the table's last match.
int addNode(Node* node);
// The same at `place` in its table bucket (negative: at the end), where takeNode reported it:
// putting back what was taken out, in the reverse order, gives back the table's order.
int addNodeAt(Node* node, int place);
// The node of the current network with this key text and kind, or null.
Node* findNode(const char* text, int relationKind);
// The same in any table of nodes, a view's own for instance.
Node* findNodeIn(NodeTable* table, const char* text, int relationKind);
// The same, answering the bucket block and the index in it.
ChunkList* findNodeBlock(const char* text, int relationKind, int* index);
// Takes the node out of the current network and answers it, or null when absent; its place in
// its table bucket goes to `place`.
Node* takeNode(const char* text, int relationKind, int* place = nullptr);

// Destroys every node of the table, then the table.
void closeNetwork(NodeTable* table);
// At shutdown: the current network and the "isa" relation.
void ReleaseNetwork();

// The entities (relationKind 0) or relations (1) of the current network, properties left
// out, in table order, each with its flags cleared to its kind; null when there are none.
NodeList* nodesOfKind(int relationKind);

// The node's formatting measure for `selector`, times 1000, as its sort key.
void setFormattingKey(Node* n, int selector);
// Sort orders over node pointers (elements of a NodeList).
int byLabel(const void* a, const void* b);
// Greater distance first, then by label.
int byDistanceThenLabel(const void* a, const void* b);

// Sets or clears DescendantMark on n and everything below it (direction 0), or AncestorMark
// on n and everything above it (direction 1). Each node is handled once, so isa cycles end.
void markLineage(Node* n, int direction, int on);

// Before a dialog inspects v: every network node reached from v in its view is marked as in
// view with the view's distance, and v's node gets its lineage marked both ways.
void prepareInspection(ViewNode* v);

} // namespace tarvo
