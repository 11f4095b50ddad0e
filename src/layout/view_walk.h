// ViewWalk: the breadth-first walk the layout's passes make over a view's nodes, each node
// visited once per pass of the view's visit marks.
#pragma once

#include "containers/node_list.h"
#include "layout/visit_marks.h"
#include "model/graph_walk.h"
#include "model/node.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {

// Visits the nodes in the order a GraphWalk over the same slots does when its visitor expands
// each node once (VisitOnce): the start, then pass by pass the nodes in the selected slots of
// those the previous pass took in, list by list. As every node is taken in once, the passes are
// one queue, and no way back to a node needs keeping. The walk can stop after a number of
// nodes and go on later, for a layout spread over several turns, as long as no link changes in
// between.
class ViewWalk {
public:
    explicit ViewWalk(const VisitMarks& marks, std::uint32_t mask = kAllSlots)
        : m_marks(marks), m_mask(mask) {}

    // Takes `node` in for expansion unless this pass has seen it: false when it had.
    bool visitOnce(Node* node) {
        if (IsVisited(m_marks, node))
            return false;
        MarkVisited(m_marks, node);
        m_queue.push_back(node);
        return true;
    }

    // The slot whose nodes the visitor is given now (0 for the start node).
    int currentSlot() const { return m_currentSlot; }

    // Starts the walk at `start`: the visitor hears of it first.
    template <typename Visit> void start(Node* start, Visit&& visit) {
        m_queue.clear();
        m_next = 0;
        m_currentSlot = 0;
        if (start)
            visit(start);
    }

    // Expands nodes while `budget` lasts, taking one from it for each (negative: no limit);
    // true when the walk has ended. `slotStart(owner, slot)` hears of each slot before its
    // nodes are visited.
    template <typename Visit, typename SlotStart>
    bool resume(std::int64_t& budget, Visit&& visit, SlotStart&& slotStart) {
        while (m_next < m_queue.size() && budget != 0) {
            if (budget > 0)
                --budget;
            const Node* n = m_queue[m_next++];
            for (int slot = 0; slot < n->linkSlotCount; ++slot) {
                if (!(m_mask & (1u << slot)) || !n->slots[slot])
                    continue;
                m_currentSlot = slot;
                slotStart(n, slot);
                forEachNode(n->slots[slot], [&visit](NodeBase* node) { visit(asNode(node)); });
            }
        }
        return m_next >= m_queue.size();
    }
    template <typename Visit> bool resume(std::int64_t& budget, Visit&& visit) {
        return resume(budget, visit, [](const Node*, int) {});
    }

    // The whole walk from `start`.
    template <typename Visit> void run(Node* start, Visit&& visit) {
        this->start(start, visit);
        std::int64_t unlimited = -1;
        resume(unlimited, visit);
    }

    bool done() const { return m_next >= m_queue.size(); }

private:
    const VisitMarks& m_marks;
    std::uint32_t m_mask;
    int m_currentSlot = 0;
    std::vector<Node*> m_queue;
    std::size_t m_next = 0;
};

} // namespace tarvo
