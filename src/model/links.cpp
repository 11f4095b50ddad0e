// The link operations, with the counters kept beside the lists.
#include "model/links.h"

#include "memory/size_class_heap.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

namespace tarvo {
namespace {

bool hasSlot(const NodeBase* n, int slot) {
    assert(n && "link operation on no node");
    assert(slot >= 0 && slot < kLinkSlotCount && "link slot out of range");
    return n && slot >= 0 && slot < n->linkSlotCount;
}

// Empties a slot whose counter ran out, so that an empty slot always counts 0.
void dropIfEmpty(NodeBase* n, int slot) {
    if (n->counts[slot] <= 0 || n->slots[slot].isEmpty()) {
        slotClear(n->slots[slot]);
        n->counts[slot] = 0;
    }
}

// Visits N's neighbours slot by slot, in list order, as detach, record and restore need them.
template <typename Visit> void forEachNeighbour(const Node* n, Visit visit) {
    for (int slot = 0; slot < n->linkSlotCount; ++slot) {
        forEachNode(n->slots[slot], [&](NodeBase* x) { visit(slot, asNode(x)); });
    }
}

void reinsertAt(NodeBase* owner, int slot, NodeBase* x, int position) {
    removeLink(owner, slot, x);
    insertLink(owner, slot, x, position, 0);
}

} // namespace

int appendLink(NodeBase* n, int slot, NodeBase* x) {
    if (!hasSlot(n, slot) || !x)
        return slot;
    if (slotAppend(n->slots[slot], x))
        ++n->counts[slot];
    return slot;
}

void link(NodeBase* n, int slot, NodeBase* x) {
    appendLink(n, slot, x);
    appendLink(x, slot ^ 1, n);
}

void addChild(NodeBase* p, NodeBase* c) {
    link(p, ChildSlot, c);
}

void insertLink(NodeBase* n, int slot, NodeBase* x, int position, int moveIfPresent) {
    if (!hasSlot(n, slot) || !x)
        return;
    NodeSlot& nodes = n->slots[slot];
    const int stored =
        moveIfPresent ? slotMoveOrInsert(nodes, x, position) : slotInsertAt(nodes, x, position);
    if (stored == 1)
        ++n->counts[slot];
}

void insertLinkPair(NodeBase* n, int slot, NodeBase* x, int position, int moveIfPresent) {
    insertLink(n, slot, x, position, moveIfPresent);
    insertLink(x, slot ^ 1, n, -1, moveIfPresent);
}

NodeBase* first(const NodeBase* n, int slot) {
    return n ? n->slotList(slot).first() : nullptr;
}

NodeBase* removeLinkAt(NodeBase* n, int slot, int position) {
    if (!hasSlot(n, slot) || n->slots[slot].isEmpty())
        return nullptr;
    NodeBase* removed = slotRemoveAt(n->slots[slot], position);
    if (removed)
        --n->counts[slot];
    dropIfEmpty(n, slot);
    return removed;
}

NodeBase* removeLink(NodeBase* n, int slot, NodeBase* x) {
    const int position = positionOf(n, slot, x);
    return position < 0 ? nullptr : removeLinkAt(n, slot, position);
}

int unlink(NodeBase* n, int slot, NodeBase* x) {
    if (!x || !removeLink(n, slot, x))
        return 0;
    return removeLink(x, slot ^ 1, n) ? 1 : 0;
}

int moveLink(NodeBase* n, int slot, int from, int to) {
    if (NodeBase* moved = removeLinkAt(n, slot, from))
        insertLink(n, slot, moved, to, 0);
    return 0;
}

int positionOf(const NodeBase* n, int slot, const NodeBase* x) {
    return n && x ? n->slotList(slot).indexOf(x) : -1;
}

int replaceSlot(NodeBase* n, int slot, NodeList* list) {
    if (!hasSlot(n, slot))
        return 0;
    slotAdopt(n->slots[slot], list);
    n->counts[slot] = n->slots[slot].size();
    return n->counts[slot];
}

bool replaceLinkNode(NodeBase* n, int slot, const NodeBase* x, NodeBase* by) {
    return hasSlot(n, slot) && slotReplaceNode(n->slots[slot], x, by);
}

bool replaceLinkAt(NodeBase* n, int slot, int position, NodeBase* by) {
    return hasSlot(n, slot) && slotReplaceAt(n->slots[slot], position, by);
}

// ---------------------------------------------------------------------------------------------

void detachNode(Node* n) {
    // The neighbours are collected first: taking a property out of a relation's child slot
    // changes the very list being visited.
    struct Neighbour {
        int slot;
        Node* node;
    };
    std::int32_t total = 0;
    for (int slot = 0; slot < n->linkSlotCount; ++slot)
        total += n->slots[slot].size();
    if (total == 0)
        return;
    auto* neighbours = static_cast<Neighbour*>(
        Allocate(static_cast<std::int32_t>(static_cast<std::size_t>(total) * sizeof(Neighbour))));
    if (!neighbours)
        return;
    int count = 0;
    forEachNeighbour(n, [&](int slot, Node* x) { neighbours[count++] = {slot, x}; });
    for (int k = 0; k < count; ++k) {
        const auto [slot, x] = neighbours[k];
        if (x->isProperty()) {
            if (NodeBase* end = first(x, slot))
                removeLink(end, slot ^ 1, x);
            // A deleted relation keeps its own child list: restoring walks that list again and
            // must meet the properties it recorded there.
            if (NodeBase* relation = first(x, ParentSlot); relation && relation != n)
                removeLink(relation, ChildSlot, x);
        } else {
            removeLink(x, slot ^ 1, n);
        }
    }
    Release(neighbours);
}

std::int32_t* recordPositions(Node* n, int* count) {
    std::int32_t total = 0;
    for (int slot = 0; slot < n->linkSlotCount; ++slot)
        total += n->counts[slot] + (slot > 1 ? n->counts[slot] : 0);
    if (count)
        *count = 0;
    if (total <= 0)
        return nullptr;
    auto* positions = static_cast<std::int32_t*>(Allocate(
        static_cast<std::int32_t>(static_cast<std::size_t>(total) * sizeof(std::int32_t))));
    if (!positions)
        return nullptr;
    int used = 0;
    forEachNeighbour(n, [&](int slot, Node* x) {
        const bool twoPositions = x->isProperty() && slot > 1;
        // Counters are what size the array; never write past it if a list outgrew them.
        if (used + (twoPositions ? 2 : 1) > total)
            return;
        if (twoPositions) {
            positions[used++] = positionOf(first(x, ParentSlot), ChildSlot, x);
            positions[used++] = positionOf(first(x, slot), slot ^ 1, x);
        } else {
            positions[used++] = positionOf(x, slot ^ 1, n);
        }
    });
    if (count)
        *count = used;
    return positions;
}

void restorePositions(Node* n, const std::int32_t* positions) {
    if (!positions)
        return;
    // Each position was taken with every link in place. Put back lowest position first, each
    // link finds the ones before it in its list back already: several of N's properties in one
    // relation's list keep their order.
    struct Restore {
        NodeBase* owner;
        int slot;
        NodeBase* x;
        std::int32_t position;
    };
    std::vector<Restore> links;
    int next = 0;
    forEachNeighbour(n, [&](int slot, Node* x) {
        if (x->isProperty() && slot > 1) {
            const std::int32_t inRelation = positions[next++];
            const std::int32_t inEnd = positions[next++];
            if (NodeBase* relation = first(x, ParentSlot); relation && inRelation != -1)
                links.push_back({relation, ChildSlot, x, inRelation});
            if (NodeBase* end = first(x, slot); end && inEnd != -1)
                links.push_back({end, slot ^ 1, x, inEnd});
        } else {
            const std::int32_t position = positions[next++];
            if (position != -1)
                links.push_back({x, slot ^ 1, n, position});
        }
    });
    std::stable_sort(links.begin(), links.end(),
                     [](const Restore& a, const Restore& b) { return a.position < b.position; });
    for (const Restore& link : links)
        reinsertAt(link.owner, link.slot, link.x, link.position);
}

} // namespace tarvo
