// The two forms of a link slot and the moves between them.
#include "containers/node_slot.h"

#include <cassert>

namespace tarvo {

NodeSlot NodeSlot::holding(NodeBase* node) {
    NodeSlot slot;
    const auto word = reinterpret_cast<std::uintptr_t>(node);
    assert((word & kSingleTag) == 0 && "NodeSlot: a node address is at least pointer aligned");
    slot.m_word = node ? word | kSingleTag : 0;
    return slot;
}

NodeSlot NodeSlot::holding(NodeList* list) {
    NodeSlot slot;
    slot.m_word = reinterpret_cast<std::uintptr_t>(list);
    return slot;
}

int NodeSlot::size() const {
    if (single())
        return 1;
    const NodeList* nodes = list();
    return nodes ? nodes->size() : 0;
}

NodeBase* NodeSlot::nodeAt(int index) const {
    if (NodeBase* node = single())
        return index == 0 ? node : nullptr;
    const NodeList* nodes = list();
    return nodes ? nodes->nodeAt(index) : nullptr;
}

int NodeSlot::indexOf(const NodeBase* node) const {
    if (NodeBase* held = single())
        return held == node ? 0 : -1;
    const NodeList* nodes = list();
    return nodes && node ? nodes->indexOf(const_cast<NodeBase*>(node)) : -1;
}

namespace {

// A list of `a` then `b`, or null when memory ran out.
NodeList* pairList(NodeBase* a, NodeBase* b) {
    auto* list = new NodeList;
    if (!list)
        return nullptr;
    if (!list->append(a) || !list->append(b)) {
        list->destroy();
        return nullptr;
    }
    return list;
}

// Back to the single form when a list is down to one node.
void settle(NodeSlot& slot) {
    NodeList* list = slot.list();
    if (!list)
        return;
    const int size = list->size();
    if (size > 1)
        return;
    NodeBase* last = size == 1 ? list->nodeAt(0) : nullptr;
    list->destroy();
    slot = NodeSlot::holding(last);
}

} // namespace

int slotAppend(NodeSlot& slot, NodeBase* value) {
    assert(value && "slotAppend: a slot never holds null");
    if (!value)
        return 0;
    if (slot.isEmpty()) {
        slot = NodeSlot::holding(value);
        return 1;
    }
    if (NodeBase* held = slot.single()) {
        NodeList* list = pairList(held, value);
        if (!list)
            return 0;
        slot = NodeSlot::holding(list);
        return 1;
    }
    return slot.list()->append(value) ? 1 : 0;
}

int slotInsertAt(NodeSlot& slot, NodeBase* value, int position) {
    assert(value && "slotInsertAt: a slot never holds null");
    if (!value)
        return 0;
    if (NodeBase* held = slot.single()) {
        if (position != 0)
            return slotAppend(slot, value);
        NodeList* list = pairList(value, held);
        if (!list)
            return 0;
        slot = NodeSlot::holding(list);
        return 1;
    }
    if (NodeList* list = slot.list())
        return list->insertAtIndex(value, position) ? 1 : 0;
    return slotAppend(slot, value);
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
    NodeList* list = slot.list();
    if (!list)
        return nullptr;
    NodeBase* removed = list->removeAtIndex(position);
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
    // Empty or one node: either value is that node (nowhere else to move it) or it is new.
    if (slot.single() == value)
        return 0;
    return slotInsertAt(slot, value, position);
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
    if (slot.list() != list)
        slotClear(slot);
    slot = NodeSlot::holding(list);
    settle(slot);
}

void slotClear(NodeSlot& slot) {
    if (NodeList* list = slot.list())
        list->destroy();
    slot = NodeSlot();
}

NodeList* slotToList(NodeSlot slot) {
    if (NodeList* list = slot.list())
        return list->copy();
    NodeBase* held = slot.single();
    if (!held)
        return nullptr;
    auto* list = new NodeList;
    if (list && !list->append(held)) {
        list->destroy();
        return nullptr;
    }
    return list;
}

} // namespace tarvo
