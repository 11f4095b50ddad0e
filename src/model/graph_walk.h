// GraphWalk, the walk under the inheritance searches and the view's layout: pass after pass over
// the link slots a mask selects, driven by a visitor that chooses what the next pass expands.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace tarvo {

class Node;
class NodeBase;
class NodeList;

inline constexpr std::uint32_t kAllSlots = 255;

// One walk. Everything a visitor may ask about the running walk (the pass, the slot, the
// frontier) lives in the object, so a visitor reaches it through a capture, and walks may follow
// one another or run inside a visitor of another walk without sharing anything.
class GraphWalk {
public:
    using Visitor = std::function<void(Node* node)>;
    using PassEnd = std::function<void()>;
    // Told which node's slot the visitor is about to be given.
    using SlotStart = std::function<void(const NodeBase* owner, int slot)>;

    // Bit i of `mask` set: the walk follows link slot i.
    explicit GraphWalk(std::uint32_t mask = kAllSlots) : m_mask(mask) {}
    ~GraphWalk();
    GraphWalk(const GraphWalk&) = delete;
    GraphWalk& operator=(const GraphWalk&) = delete;

    // Runs before each pass and once at the end.
    void setPassEnd(PassEnd passEnd) { m_passEnd = std::move(passEnd); }
    // Hears of every slot before its nodes are visited (the view's layering follows the layer of
    // the node it expands that way).
    void setSlotStart(SlotStart slotStart) { m_slotStart = std::move(slotStart); }

    // Walks from `start`: the visitor is applied to it, then, pass after pass, to every node in
    // the selected slots of the nodes the previous pass put in the frontier. A walk may be run
    // again; each run starts from an empty frontier and pass 0.
    void run(Node* start, const Visitor& visitor);

    // Puts `node` in the frontier of the next pass. A node already expanded on the way that led
    // here is left out: that only happens around a cycle of links, where expanding it again
    // would never end; on networks without cycles nothing is ever left out.
    void addToFrontier(Node* node);

    // The passes run so far: the step in which the nodes now visited were reached. After the
    // walk, one more than the last step that reached a node.
    std::int32_t passCount() const { return m_passCount; }
    // The slot whose nodes the visitor is given now (0 for the start node).
    int currentSlot() const { return m_currentSlot; }
    std::uint32_t mask() const { return m_mask; }

private:
    // The way to a frontier entry: the nodes expanded to reach it, newest first.
    struct PathStep {
        const Node* node;
        const PathStep* up;
    };

    void expand(const NodeBase* n, const Visitor& visitor);
    void endPass() const;
    void clearPaths();

    std::uint32_t m_mask;
    std::int32_t m_passCount = 0;
    int m_currentSlot = 0;
    // The nodes the next pass expands.
    NodeList* m_frontier = nullptr;
    PassEnd m_passEnd;
    SlotStart m_slotStart;
    std::deque<PathStep> m_steps;           // owns every step of the running walk
    std::vector<const PathStep*> m_pending; // beside the frontier, one per entry
    const PathStep* m_expanding = nullptr;  // the path of the node being expanded
};

// Empties a list held in a variable.
void DisposeList(NodeList*& list);
// Appends every node of `from` to `to`, in order.
void AppendAll(NodeList*& to, const NodeList* from);
bool ListContains(const NodeList* list, const NodeBase* node);

} // namespace tarvo
