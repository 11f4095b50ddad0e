// NodeSlot, the storage of one link slot: empty, one node held directly, a small counted array
// of up to one block's nodes, or a NodeList past that. Most slots of a network hold one node and
// most of the others a few, so most slots cost no list at all.
#pragma once

#include "containers/node_list.h"

#include <cstdint>

namespace tarvo {

// The nodes of a slot of 2 to 64 nodes: a count and room for a power of two of them, in one
// block from the heap, the nodes right after the header. Its room doubles as it fills; a slot
// that outgrows one block's 64 nodes becomes a NodeList.
struct SlotArray {
    static constexpr int kMaxNodes = NodeList::kNodesPerBlock;
    static constexpr int kFirstRoom = 2;

    std::int32_t count;
    std::int32_t room;

    NodeBase** nodes() { return reinterpret_cast<NodeBase**>(this + 1); }
    NodeBase* const* nodes() const { return reinterpret_cast<NodeBase* const*>(this + 1); }
};
static_assert(sizeof(SlotArray) % sizeof(NodeBase*) == 0, "SlotArray: nodes stay aligned");

// A plain word, copied like the pointer it replaces: it does not own its list by itself. The
// node whose slot it is releases the list through slotClear (or the slot operations below).
// Readers see the same nodes in the same order whatever the form; block-relative positions are
// those of a NodeList of the same nodes: a single node is place 0 of block 0, an array's nodes
// fill block 0 as a list's first block would, and a list keeps its blocks of 64.
class NodeSlot {
public:
    NodeSlot() = default;

    bool isEmpty() const { return m_word == 0; }
    explicit operator bool() const { return m_word != 0; }
    // The node held directly, or null when the slot is empty or holds a list.
    NodeBase* single() const {
        return (m_word & kSingleTag) != 0 ? reinterpret_cast<NodeBase*>(m_word & ~kSingleTag)
                                          : nullptr;
    }
    // The array of a slot of 2 to 64 nodes, or null.
    SlotArray* array() const {
        return (m_word & kTagMask) == kArrayTag ? reinterpret_cast<SlotArray*>(m_word & ~kTagMask)
                                                : nullptr;
    }
    // The list of a slot past 64 nodes, or null.
    NodeList* list() const {
        return (m_word & kTagMask) == 0 ? reinterpret_cast<NodeList*>(m_word) : nullptr;
    }

    int size() const;
    // The node at `index`, or null when out of range.
    NodeBase* nodeAt(int index) const;
    NodeBase* first() const { return nodeAt(0); }
    // The index of the first occurrence of node, or -1.
    int indexOf(const NodeBase* node) const;
    bool contains(const NodeBase* node) const { return indexOf(node) >= 0; }

    // Same word: the same single node, or the very same list.
    friend bool operator==(NodeSlot a, NodeSlot b) { return a.m_word == b.m_word; }

    // The forms, for the slot operations only.
    static NodeSlot holding(NodeBase* node);
    static NodeSlot holding(NodeList* list);
    static NodeSlot holding(SlotArray* array);

private:
    // A non-null address with its form's tag in the low bits; null is the empty slot.
    static NodeSlot tagged(const void* address, std::uintptr_t tag);

    static constexpr std::uintptr_t kSingleTag = 1;
    static constexpr std::uintptr_t kArrayTag = 2;
    static constexpr std::uintptr_t kTagMask = 3;
    std::uintptr_t m_word = 0;
};

// Reads a slot's nodes one after the other, each step in constant time (indexing a long list by
// position walks its blocks). The slot must not change while it is read.
class SlotCursor {
public:
    SlotCursor() = default;
    explicit SlotCursor(NodeSlot slot) : m_block(slot.list()) {
        if (NodeBase* node = slot.single()) {
            m_single = node;
        } else if (const SlotArray* array = slot.array()) {
            m_nodes = array->nodes();
            m_left = array->count;
        }
    }

    // The next node, or null after the last.
    NodeBase* next() {
        if (m_single) {
            NodeBase* node = m_single;
            m_single = nullptr;
            return node;
        }
        if (m_left > 0) {
            --m_left;
            return *m_nodes++;
        }
        while (m_block && m_index >= m_block->count) {
            m_block = static_cast<const NodeList*>(m_block->next);
            m_index = 0;
        }
        return m_block ? m_block->node(m_index++) : nullptr;
    }

private:
    NodeBase* m_single = nullptr;
    NodeBase* const* m_nodes = nullptr;
    int m_left = 0;
    const NodeList* m_block = nullptr;
    int m_index = 0;
};

// Applies f to every node of a slot in order.
template <typename F> void forEachNode(NodeSlot slot, F&& f) {
    if (NodeBase* node = slot.single()) {
        f(node);
        return;
    }
    if (const SlotArray* array = slot.array()) {
        NodeBase* const* nodes = array->nodes();
        for (int i = 0; i < array->count; ++i)
            f(nodes[i]);
        return;
    }
    forEachNode(static_cast<const NodeList*>(slot.list()), f);
}

inline int listSize(NodeSlot slot) {
    return slot.size();
}

// The operations that change a slot. A slot takes the array form on its second node and the
// list form past 64; it goes back to the array form when a list is down to half a block, and to
// the single form when one node is left. Each returns what the NodeList-variable
// operation of the same name returns; on failure (memory) the slot is unchanged.

// 1 when value was stored.
int slotAppend(NodeSlot& slot, NodeBase* value);
// Inserts value at position (negative, or at or past the end: at the end); 1 when stored.
int slotInsertAt(NodeSlot& slot, NodeBase* value, int position);
int slotAddUnique(NodeSlot& slot, NodeBase* value);
// The node removed at position (out of range: the last one), or null when the slot is empty.
NodeBase* slotRemoveAt(NodeSlot& slot, int position);
// Removes the first occurrence of value; 1 when there was one.
int slotRemove(NodeSlot& slot, NodeBase* value);
// As listMoveOrInsert: 1 when value was inserted, 0 when it was there (and moved to position).
int slotMoveOrInsert(NodeSlot& slot, NodeBase* value, int position);
// Puts `by` in place of the node at index; false when out of range.
bool slotReplaceAt(NodeSlot& slot, int index, NodeBase* by);
// Puts `by` in the place of the first x; false when x is not there.
bool slotReplaceNode(NodeSlot& slot, const NodeBase* x, NodeBase* by);
// Makes the slot hold `list`'s nodes, taking the list over (it may be destroyed at once when
// the single form serves); the slot's previous list is destroyed unless it is `list`.
void slotAdopt(NodeSlot& slot, NodeList* list);
// Empties the slot, destroying its list (not the nodes).
void slotClear(NodeSlot& slot);
// A new list of the slot's nodes, in order, owned by the caller; null for an empty slot (or when
// memory ran out), as NodeList::copy.
NodeList* slotToList(NodeSlot slot);

} // namespace tarvo
