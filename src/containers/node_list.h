// NodeList, the block list of node pointers behind every link slot and result list.
#pragma once

#include "containers/chunk_list.h"

namespace tarvo {

class NodeBase;

class NodeList : public ChunkList {
public:
    static constexpr int kNodesPerBlock = 64;
    // Most link slots hold one or two nodes: a block starts with room for this many inside its
    // own object, and its buffer doubles, on the heap, up to the block's 64.
    static constexpr int kFirstRoom = 2;

    NodeList();

    ChunkList* makeBlock() const override;

    // The node at `index` of this block.
    NodeBase* node(int index) const;
    // The node at a global index, or null when out of range.
    NodeBase* nodeAt(int globalIndex) const;

    // A list never holds null: a null node is refused. Both return the block that received the
    // node, or null when nothing was stored.
    ChunkList* append(NodeBase* node);
    ChunkList* insertAtIndex(NodeBase* node, int globalIndex);
    // The node removed at globalIndex (the last one when out of range), or null when empty.
    NodeBase* removeAtIndex(int globalIndex);

    NodeList* copy() const;
    // The global index of the first occurrence of node, or -1.
    int indexOf(NodeBase* node) const;

private:
    NodeBase* m_first[kFirstRoom];
};

// The number of nodes of a list held in a variable; a null list is empty.
inline int listSize(const NodeList* list) {
    return list ? list->size() : 0;
}

// Applies f to every node of a list held in a variable, block by block: unlike indexing by
// position, this stays linear on long lists.
template <typename F> void forEachNode(const NodeList* list, F&& f) {
    for (const ChunkList* block = list; block; block = block->next)
        for (int i = 0; i < block->count; ++i)
            f(static_cast<const NodeList*>(block)->node(i));
}

// Operations on a list held in a variable: a null variable is an empty list, a list is made on
// its first element and destroyed (the variable set to null) when its last element goes.

// The block that received value, or null when no list or block could be made.
ChunkList* listAppend(NodeList*& list, NodeBase* value);
// 1 when value was added, 0 when it was already there (or could not be stored).
int listAddUnique(NodeList*& list, NodeBase* value);
// Removes the first occurrence of value; 1 when there was one.
int listRemove(NodeList*& list, NodeBase* value);
// Places value at position (out of range: at the end), moving it there when compare finds it
// elsewhere; 1 when it was inserted, 0 when it was already in the list (or could not be stored).
// A move shifts the elements in place and so never needs memory.
int listMoveOrInsert(NodeList*& list, NodeBase* value, int position,
                     ElementMatch compare = identity);

} // namespace tarvo
