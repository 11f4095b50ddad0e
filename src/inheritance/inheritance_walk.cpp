// The walk engine.
#include "inheritance/inheritance_walk.h"

#include "model/node.h"
#include "model/node_list.h"

#include <deque>
#include <vector>

namespace tarvo {
namespace {

// The way to a frontier entry: the nodes expanded to reach it, newest first.
struct PathStep {
    const Node* node;
    const PathStep* up;
};

struct PathState {
    std::deque<PathStep> steps;           // owns every step of the running walk
    std::vector<const PathStep*> pending; // beside Frontier, one per entry
    const PathStep* expanding = nullptr;  // the path of the node being expanded
};

PathState& paths() {
    static PathState state;
    return state;
}

bool onPath(const PathStep* path, const Node* node) {
    for (; path; path = path->up)
        if (path->node == node)
            return true;
    return false;
}

} // namespace

WalkState& walkState() {
    static WalkState state;
    return state;
}

void DisposeList(NodeList*& list) {
    if (list)
        list->destroy();
    list = nullptr;
}

void AppendAll(NodeList*& to, const NodeList* from) {
    for (int i = 0, n = from ? from->size() : 0; i < n; ++i)
        listAppend(to, from->nodeAt(i));
}

bool ListContains(const NodeList* list, const NodeBase* node) {
    return list && list->indexOf(const_cast<NodeBase*>(node)) >= 0;
}

void ForEachSelectedSlot(const NodeBase* n, WalkVisitor visitor) {
    WalkState& walk = walkState();
    for (int slot = 0; slot < n->linkSlotCount; ++slot) {
        if (!(walk.WalkMask & (1u << slot)) || !n->slots[slot])
            continue;
        walk.CurrentSlot = slot;
        if (walk.OnSlotStart)
            walk.OnSlotStart(n, slot);
        forEachNode(n->slots[slot], [visitor](NodeBase* node) { visitor(asNode(node)); });
    }
}

void AddToFrontier(Node* node) {
    PathState& state = paths();
    if (onPath(state.expanding, node))
        return;
    if (!listAppend(walkState().Frontier, node))
        return;
    state.steps.push_back({node, state.expanding});
    state.pending.push_back(&state.steps.back());
}

void InheritanceWalk(Node* start, WalkVisitor visitor, std::uint32_t mask, PassEnd passEnd,
                     SlotStart slotStart) {
    WalkState& walk = walkState();
    PathState& state = paths();
    walk.WalkPassCount = 0;
    walk.OnSlotStart = slotStart;
    walk.Visitor = visitor;
    DisposeList(walk.Frontier);
    walk.WalkMask = mask;
    state.steps.clear();
    state.pending.clear();
    state.expanding = nullptr;

    visitor(start);
    while (walk.Frontier) {
        if (passEnd)
            passEnd();
        ++walk.WalkPassCount;
        NodeList* pass = walk.Frontier;
        walk.Frontier = nullptr;
        const std::vector<const PathStep*> passPaths = std::move(state.pending);
        state.pending.clear();
        std::size_t entry = 0;
        forEachNode(pass, [&](NodeBase* node) {
            state.expanding = passPaths[entry++];
            ForEachSelectedSlot(node, walk.Visitor);
        });
        state.expanding = nullptr;
        pass->destroy();
    }
    if (passEnd)
        passEnd();
    walk.WalkMask = kAllSlots;
    walk.OnSlotStart = nullptr;
    state.steps.clear();
    state.pending.clear();
}

void CollectPass() {
    WalkState& walk = walkState();
    AppendAll(walk.WalkResult, walk.PassResult);
    DisposeList(walk.PassResult);
}

} // namespace tarvo
