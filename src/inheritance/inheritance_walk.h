// The walk engine under the inheritance searches and the view's layout: pass after pass over the
// link slots a mask selects, driven by a visitor that chooses what the next pass expands.
#pragma once

#include <cstdint>

namespace tarvo {

class Node;
class NodeBase;
class NodeList;

using WalkVisitor = void (*)(Node* node);
using PassEnd = void (*)();
// Told which node's slot the visitor is about to be given.
using SlotStart = void (*)(const NodeBase* owner, int slot);

inline constexpr std::uint32_t kAllSlots = 255;

// The walk's program-wide state; the searches and walks do not run inside one another.
struct WalkState {
    // What the running search has gathered; handed to the caller, who owns it.
    NodeList* WalkResult = nullptr;
    // What the visitor collected in the current pass.
    NodeList* PassResult = nullptr;
    // The nodes the next pass expands.
    NodeList* Frontier = nullptr;
    // Bit i set: the walk follows link slot i. All slots while no walk runs.
    std::uint32_t WalkMask = kAllSlots;
    // The passes run so far: the step in which the nodes now visited were reached.
    std::int32_t WalkPassCount = 0;
    WalkVisitor Visitor = nullptr;
    // The slot whose nodes the visitor is given now.
    int CurrentSlot = 0;
    // Called before each slot the walk expands; set only for the walk that asked for it.
    SlotStart OnSlotStart = nullptr;
};

WalkState& walkState();

// Walks from `start`: the visitor is applied to it, then, pass after pass, to every node in the
// selected slots of the nodes the previous pass put in the frontier. `passEnd` runs before each
// pass and once at the end. `slotStart`, when given, hears of every slot before its nodes are
// visited (the view's layering follows the layer of the node it expands that way).
void InheritanceWalk(Node* start, WalkVisitor visitor, std::uint32_t mask, PassEnd passEnd,
                     SlotStart slotStart = nullptr);

// Applies `visitor` to the nodes of every slot of `n` that WalkMask selects, slot by slot, with
// the slot published as CurrentSlot.
void ForEachSelectedSlot(const NodeBase* n, WalkVisitor visitor);

// Puts `node` in the frontier of the next pass. A node already expanded on the way that led here
// is left out: that only happens around a cycle of links, where expanding it again would never
// end; on networks without cycles nothing is ever left out.
void AddToFrontier(Node* node);

// The pass-end function of the searches: the pass's findings join the walk's result.
void CollectPass();

// Empties a list held in a variable.
void DisposeList(NodeList*& list);
// Appends every node of `from` to `to`, in order.
void AppendAll(NodeList*& to, const NodeList* from);
bool ListContains(const NodeList* list, const NodeBase* node);

} // namespace tarvo
