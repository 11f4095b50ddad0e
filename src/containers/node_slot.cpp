// The forms of a link slot and the moves between them.
#include "containers/node_slot.h"

#include "memory/size_class_heap.h"

#include <cassert>
#include <cstring>

namespace tarvo {

NodeSlot NodeSlot::tagged(const void* address, std::uintptr_t tag) {
    NodeSlot slot;
    const auto word = reinterpret_cast<std::uintptr_t>(address);
    assert((word & kTagMask) == 0 && "NodeSlot: a held address is at least pointer aligned");
    slot.m_word = address ? word | tag : 0;
    return slot;
}

NodeSlot NodeSlot::holding(NodeBase* node) {
    return tagged(node, kSingleTag);
}

NodeSlot NodeSlot::holding(NodeList* list) {
    NodeSlot slot;
    slot.m_word = reinterpret_cast<std::uintptr_t>(list);
    return slot;
}

NodeSlot NodeSlot::holding(SlotArray* array) {
    return tagged(array, kArrayTag);
}

int NodeSlot::size() const {
    if (single())
        return 1;
    if (const SlotArray* nodes = array())
        return nodes->count;
    const NodeList* nodes = list();
    return nodes ? nodes->size() : 0;
}

NodeBase* NodeSlot::nodeAt(int index) const {
    if (NodeBase* node = single())
        return index == 0 ? node : nullptr;
    if (const SlotArray* nodes = array())
        return index >= 0 && index < nodes->count ? nodes->nodes()[index] : nullptr;
    const NodeList* nodes = list();
    return nodes ? nodes->nodeAt(index) : nullptr;
}

int NodeSlot::indexOf(const NodeBase* node) const {
    if (NodeBase* held = single())
        return held == node ? 0 : -1;
    if (const SlotArray* nodes = array()) {
        NodeBase* const* at = nodes->nodes();
        for (int i = 0; i < nodes->count; ++i)
            if (at[i] == node)
                return i;
        return -1;
    }
    const NodeList* nodes = list();
    return nodes && node ? nodes->indexOf(const_cast<NodeBase*>(node)) : -1;
}

namespace {

// An empty array with room for `room` nodes, or null when memory ran out.
SlotArray* newArray(int room) {
    assert(room >= 2 && room <= SlotArray::kMaxNodes && "SlotArray: room out of range");
    const auto bytes = sizeof(SlotArray) + static_cast<std::size_t>(room) * sizeof(NodeBase*);
    auto* array = static_cast<SlotArray*>(Allocate(static_cast<std::int32_t>(bytes)));
    if (!array)
        return nullptr;
    array->count = 0;
    array->room = room;
    return array;
}

// The least power of two from the first room on that holds `count` nodes.
int roomFor(int count) {
    int room = SlotArray::kFirstRoom;
    while (room < count)
        room *= 2;
    return room;
}

// `array` with room for `room` nodes, its nodes kept; null (and `array` unchanged) when memory
// ran out.
SlotArray* resized(SlotArray* array, int room) {
    SlotArray* moved = newArray(room);
    if (!moved)
        return nullptr;
    moved->count = array->count;
    std::memcpy(moved->nodes(), array->nodes(),
                static_cast<std::size_t>(array->count) * sizeof(NodeBase*));
    Release(array);
    return moved;
}

// An array of the nodes a cursor reads, or null when memory ran out.
SlotArray* arrayOf(NodeSlot slot, int count) {
    SlotArray* array = newArray(roomFor(count));
    if (!array)
        return nullptr;
    SlotCursor cursor(slot);
    NodeBase** nodes = array->nodes();
    while (NodeBase* node = cursor.next())
        nodes[array->count++] = node;
    return array;
}

// A list of an array's nodes with value placed at position (out of range: at the end), or null
// when memory ran out.
NodeList* listWith(const SlotArray* array, NodeBase* value, int position) {
    auto* list = new NodeList;
    if (!list)
        return nullptr;
    const bool atEnd = position < 0 || position >= array->count;
    bool stored = true;
    for (int i = 0; i < array->count && stored; ++i) {
        if (!atEnd && i == position)
            stored = list->append(value) != nullptr;
        stored = stored && list->append(array->nodes()[i]) != nullptr;
    }
    if (stored && atEnd)
        stored = list->append(value) != nullptr;
    if (!stored) {
        list->destroy();
        return nullptr;
    }
    return list;
}

// Makes room in an array slot for one node more, growing its array or turning it into a list
// with value at position; 1 when that stored value already, 0 when memory ran out, -1 when the
// array has room now.
int growForOne(NodeSlot& slot, NodeBase* value, int position) {
    SlotArray* array = slot.array();
    if (array->count < array->room)
        return -1;
    if (array->room < SlotArray::kMaxNodes) {
        SlotArray* grown = resized(array, array->room * 2);
        if (!grown)
            return 0;
        slot = NodeSlot::holding(grown);
        return -1;
    }
    NodeList* list = listWith(array, value, position);
    if (!list)
        return 0;
    Release(array);
    slot = NodeSlot::holding(list);
    return 1;
}

void insertIntoArray(SlotArray* array, NodeBase* value, int position) {
    NodeBase** nodes = array->nodes();
    const int at = position < 0 || position >= array->count ? array->count : position;
    std::memmove(nodes + at + 1, nodes + at,
                 static_cast<std::size_t>(array->count - at) * sizeof(NodeBase*));
    nodes[at] = value;
    ++array->count;
}

// A list that shrinks goes back to an array once it is down to half a block, so that a slot
// hovering around 64 nodes does not change form on every edit.
constexpr int kShrunkListToArray = SlotArray::kMaxNodes / 2;

// The form the slot's size asks for, after a removal or an adoption: a list of at most
// `arrayFrom` nodes becomes an array, an array keeps room for no more than four times its
// nodes, and one node left is held directly. When memory runs out for a smaller form the slot
// keeps its form, which reads the same.
void settle(NodeSlot& slot, int arrayFrom = kShrunkListToArray) {
    if (NodeList* list = slot.list()) {
        const int size = list->size();
        if (size > arrayFrom)
            return;
        if (size <= 1) {
            NodeBase* last = size == 1 ? list->nodeAt(0) : nullptr;
            list->destroy();
            slot = NodeSlot::holding(last);
            return;
        }
        SlotArray* array = arrayOf(slot, size);
        if (!array)
            return;
        list->destroy();
        slot = NodeSlot::holding(array);
        return;
    }
    SlotArray* array = slot.array();
    if (!array)
        return;
    if (array->count <= 1) {
        NodeBase* last = array->count == 1 ? array->nodes()[0] : nullptr;
        Release(array);
        slot = NodeSlot::holding(last);
        return;
    }
    if (array->room > SlotArray::kFirstRoom && array->count * 4 <= array->room) {
        if (SlotArray* smaller = resized(array, array->room / 2))
            slot = NodeSlot::holding(smaller);
    }
}

NodeBase* removeFromArray(SlotArray* array, int position) {
    NodeBase** nodes = array->nodes();
    const int at = position < 0 || position >= array->count ? array->count - 1 : position;
    NodeBase* removed = nodes[at];
    std::memmove(nodes + at, nodes + at + 1,
                 static_cast<std::size_t>(array->count - 1 - at) * sizeof(NodeBase*));
    --array->count;
    return removed;
}

} // namespace

int slotAppend(NodeSlot& slot, NodeBase* value) {
    return slotInsertAt(slot, value, -1);
}

int slotInsertAt(NodeSlot& slot, NodeBase* value, int position) {
    assert(value && "slotInsertAt: a slot never holds null");
    if (!value)
        return 0;
    if (slot.isEmpty()) {
        slot = NodeSlot::holding(value);
        return 1;
    }
    if (NodeBase* held = slot.single()) {
        SlotArray* array = newArray(SlotArray::kFirstRoom);
        if (!array)
            return 0;
        const bool before = position == 0;
        array->nodes()[0] = before ? value : held;
        array->nodes()[1] = before ? held : value;
        array->count = 2;
        slot = NodeSlot::holding(array);
        return 1;
    }
    if (NodeList* list = slot.list())
        return list->insertAtIndex(value, position) ? 1 : 0;
    const int grown = growForOne(slot, value, position);
    if (grown >= 0)
        return grown;
    insertIntoArray(slot.array(), value, position);
    return 1;
}

int slotAddUnique(NodeSlot& slot, NodeBase* value) {
    if (slot.contains(value))
        return 0;
    return slotAppend(slot, value);
}

NodeBase* slotRemoveAt(NodeSlot& slot, int position) {
    if (NodeBase* held = slot.single()) {
        slot = NodeSlot();
        return held;
    }
    NodeBase* removed = nullptr;
    if (SlotArray* array = slot.array())
        removed = removeFromArray(array, position);
    else if (NodeList* list = slot.list())
        removed = list->removeAtIndex(position);
    settle(slot);
    return removed;
}

int slotRemove(NodeSlot& slot, NodeBase* value) {
    const int at = slot.indexOf(value);
    if (at < 0)
        return 0;
    slotRemoveAt(slot, at);
    return 1;
}

int slotMoveOrInsert(NodeSlot& slot, NodeBase* value, int position) {
    if (NodeList* list = slot.list())
        return listMoveOrInsert(list, value, position);
    SlotArray* array = slot.array();
    if (!array) {
        // Empty or one node: either value is that node (nowhere else to move it) or it is new.
        if (slot.single() == value)
            return 0;
        return slotInsertAt(slot, value, position);
    }
    const int from = slot.indexOf(value);
    if (from < 0)
        return slotInsertAt(slot, value, position);
    if (from == position)
        return 0;
    // Where an insertion into the array without the node would put it; a move needs no memory.
    removeFromArray(array, from);
    insertIntoArray(array, value, position);
    return 0;
}

bool slotReplaceAt(NodeSlot& slot, int index, NodeBase* by) {
    assert(by && "slotReplaceAt: a slot never holds null");
    if (!by)
        return false;
    if (slot.single()) {
        if (index != 0)
            return false;
        slot = NodeSlot::holding(by);
        return true;
    }
    if (SlotArray* array = slot.array()) {
        if (index < 0 || index >= array->count)
            return false;
        array->nodes()[index] = by;
        return true;
    }
    NodeList* list = slot.list();
    auto* element = list ? static_cast<NodeBase**>(list->elementAt(index)) : nullptr;
    if (!element)
        return false;
    *element = by;
    return true;
}

bool slotReplaceNode(NodeSlot& slot, const NodeBase* x, NodeBase* by) {
    const int index = x ? slot.indexOf(x) : -1;
    return index >= 0 && slotReplaceAt(slot, index, by);
}

void slotAdopt(NodeSlot& slot, NodeList* list) {
    // Any other form is cleared, even when `list` is null: an array's list() is null too.
    if (!list || slot.list() != list)
        slotClear(slot);
    slot = NodeSlot::holding(list);
    settle(slot, SlotArray::kMaxNodes);
}

void slotClear(NodeSlot& slot) {
    if (NodeList* list = slot.list())
        list->destroy();
    Release(slot.array());
    slot = NodeSlot();
}

NodeList* slotToList(NodeSlot slot) {
    if (NodeList* list = slot.list())
        return list->copy();
    if (slot.isEmpty())
        return nullptr;
    auto* list = new NodeList;
    if (!list)
        return nullptr;
    bool stored = true;
    forEachNode(slot, [&](NodeBase* node) { stored = stored && list->append(node) != nullptr; });
    if (!stored) {
        list->destroy();
        return nullptr;
    }
    return list;
}

} // namespace tarvo
