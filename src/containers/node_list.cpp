// NodeList and the operations on a list held in a variable.
#include "containers/node_list.h"

#include <cassert>

namespace tarvo {

// The first elements' storage is a member, in place before the base's constructor clears it.
NodeList::NodeList()
    : ChunkList(static_cast<int>(sizeof(NodeBase*)), kNodesPerBlock,
                reinterpret_cast<char*>(m_first), kFirstRoom) {}

ChunkList* NodeList::makeBlock() const {
    auto* block = new NodeList;
    if (block)
        block->ownsElements = ownsElements;
    return block;
}

NodeBase* NodeList::node(int index) const {
    return *static_cast<NodeBase**>(element(index));
}

NodeBase* NodeList::nodeAt(int globalIndex) const {
    auto* slot = static_cast<NodeBase**>(elementAt(globalIndex));
    return slot ? *slot : nullptr;
}

ChunkList* NodeList::append(NodeBase* node) {
    assert(node && "NodeList: a list never holds null");
    return node ? ChunkList::append(&node) : nullptr;
}

ChunkList* NodeList::insertAtIndex(NodeBase* node, int globalIndex) {
    assert(node && "NodeList: a list never holds null");
    return node ? ChunkList::insertAtIndex(&node, globalIndex) : nullptr;
}

NodeBase* NodeList::removeAtIndex(int globalIndex) {
    NodeBase* removed = nullptr;
    ChunkList::removeAtIndex(globalIndex, &removed);
    return removed;
}

NodeList* NodeList::copy() const {
    return static_cast<NodeList*>(ChunkList::copy());
}

int NodeList::indexOf(NodeBase* node) const {
    int global = 0;
    for (const ChunkList* block = this; block; block = block->next) {
        const auto* nodes = static_cast<const NodeList*>(block);
        for (int i = 0; i < block->count; ++i, ++global) {
            if (nodes->node(i) == node)
                return global;
        }
    }
    return -1;
}

namespace {

void storeAt(ListPosition at, NodeBase* node) {
    *static_cast<NodeBase**>(at.block->element(at.index)) = node;
}

NodeBase* nodeIn(ListPosition at) {
    return *static_cast<NodeBase**>(at.block->element(at.index));
}

// Moves the element at `from` to `to` by shifting the ones between, and stores value there. The
// result is that of a removal followed by an insertion, but no block is released or made, so a
// move cannot fail for want of memory.
void moveWithin(NodeList* list, int from, int to, NodeBase* value) {
    ListPosition at = list->blockAt(from);
    if (from < to) {
        for (int i = from; i < to; ++i) {
            const ListPosition following = ChunkList::nextPosition(at);
            storeAt(at, nodeIn(following));
            at = following;
        }
    } else {
        for (int i = from; i > to; --i) {
            const ListPosition before = ChunkList::prevPosition(at);
            storeAt(at, nodeIn(before));
            at = before;
        }
    }
    storeAt(at, value);
}

} // namespace

ChunkList* listAppend(NodeList*& list, NodeBase* value) {
    assert(value && "listAppend: a list never holds null");
    if (!value)
        return nullptr;
    const bool made = !list;
    if (made)
        list = new NodeList;
    if (!list)
        return nullptr;
    ChunkList* block = list->append(value);
    if (!block && made) {
        list->destroy();
        list = nullptr;
    }
    return block;
}

int listAddUnique(NodeList*& list, NodeBase* value) {
    if (list && list->indexOf(value) >= 0)
        return 0;
    return listAppend(list, value) ? 1 : 0;
}

int listRemove(NodeList*& list, NodeBase* value) {
    if (!list)
        return 0;
    const int at = list->indexOf(value);
    if (at < 0)
        return 0;
    list->removeAtIndex(at);
    if (list->isEmpty()) {
        list->destroy();
        list = nullptr;
    }
    return 1;
}

int listMoveOrInsert(NodeList*& list, NodeBase* value, int position, ElementMatch compare) {
    int index = 0;
    ChunkList* block = list ? list->findElement(value, compare, &index) : nullptr;
    if (!block) {
        if (!list)
            return listAppend(list, value) ? 1 : 0;
        return list->insertAtIndex(value, position) ? 1 : 0;
    }
    const int from = list->globalIndexOf(block, index);
    if (from == position)
        return 0;
    // Where an insertion into the list without the element would put it.
    const int last = list->size() - 1;
    const int to = position < 0 || position > last ? last : position;
    moveWithin(list, from, to, value);
    return 0;
}

} // namespace tarvo
