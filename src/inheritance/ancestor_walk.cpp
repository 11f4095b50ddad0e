// The walk under the inheritance searches.
#include "inheritance/ancestor_walk.h"

#include "containers/node_list.h"
#include "model/graph_walk.h"
#include "model/links.h"
#include "model/node.h"

#include <algorithm>

namespace tarvo {
AncestorWalk::AncestorWalk(int slot)
    : m_slot(static_cast<int>(static_cast<unsigned>(slot) % 32u)) {}

// Tarjan's strongly connected parts over the links up from `start`, without recursion: a deep
// hierarchy would overflow the stack.
void AncestorWalk::findCycles(Node* start) {
    m_cycles.clear();
    struct Mark {
        int order;
        int low;
        bool open;
    };
    // A node being explored: which of its two slots, and the next element of it.
    struct Call {
        const NodeBase* node;
        int slotStep = 0;
        int at = 0;
    };
    const int slots[2] = {m_slot, m_slot == ParentSlot ? -1 : ParentSlot};
    std::unordered_map<const NodeBase*, Mark> marks;
    std::vector<const NodeBase*> stack;
    std::vector<Call> calls;
    int counter = 0;
    int cycles = 0;
    const auto enter = [&](const NodeBase* n) {
        marks[n] = {counter, counter, true};
        ++counter;
        stack.push_back(n);
        calls.push_back({n});
    };
    // The next node one step up from the call's node, or null when all were given.
    const auto nextUp = [&slots](Call& call) -> const NodeBase* {
        for (; call.slotStep < 2; ++call.slotStep, call.at = 0) {
            const NodeList* list = call.node->slotList(slots[call.slotStep]);
            if (slots[call.slotStep] >= 0 && call.at < listSize(list))
                return list->nodeAt(call.at++);
        }
        return nullptr;
    };
    enter(start);
    while (!calls.empty()) {
        Call& call = calls.back();
        if (const NodeBase* up = nextUp(call)) {
            const auto seen = marks.find(up);
            if (seen == marks.end()) {
                enter(up);
            } else if (seen->second.open) {
                Mark& mark = marks[call.node];
                mark.low = std::min(mark.low, seen->second.order);
            }
            continue;
        }
        const NodeBase* n = call.node;
        calls.pop_back();
        const Mark done = marks[n];
        if (!calls.empty()) {
            Mark& caller = marks[calls.back().node];
            caller.low = std::min(caller.low, done.low);
        }
        if (done.low != done.order)
            continue;
        const bool linksToItself =
            ListContains(n->slotList(m_slot), n) || ListContains(n->slotList(ParentSlot), n);
        const auto first = std::find(stack.begin(), stack.end(), n);
        if (stack.end() - first == 1 && !linksToItself) {
            marks[n].open = false;
            stack.pop_back();
            continue;
        }
        ++cycles;
        for (auto member = first; member != stack.end(); ++member) {
            marks[*member].open = false;
            m_cycles[*member] = cycles;
        }
        stack.erase(first, stack.end());
    }
}

int AncestorWalk::cycleOf(const NodeBase* node) const {
    const auto found = m_cycles.find(node);
    return found == m_cycles.end() ? 0 : found->second;
}

int AncestorWalk::wayWith(int way, const NodeBase* node) {
    std::vector<const NodeBase*> nodes = m_ways[static_cast<std::size_t>(way)];
    nodes.insert(std::upper_bound(nodes.begin(), nodes.end(), node), node);
    const auto [at, added] = m_wayIndex.emplace(nodes, static_cast<int>(m_ways.size()));
    if (added)
        m_ways.push_back(std::move(nodes));
    return at->second;
}

void AncestorWalk::addToFrontier(Node* node) {
    if (!m_cyclesFound) {
        findCycles(m_start);
        m_cyclesFound = true;
    }
    int way = 0;
    if (const int cycle = cycleOf(node)) {
        // Only a node of the expanded node's own cycle can be on the way that led to it: a node
        // further up that was also below would close a cycle through both.
        const bool sameCycle = m_expanding && cycleOf(m_expanding->node) == cycle;
        const int before = sameCycle ? m_expanding->way : 0;
        const std::vector<const NodeBase*>& wayHere = m_ways[static_cast<std::size_t>(before)];
        if (std::binary_search(wayHere.begin(), wayHere.end(), node))
            return;
        way = wayWith(before, node);
    }
    if (!m_queued.emplace(node, way).second)
        return;
    m_frontier.push_back({node, way});
}

void AncestorWalk::expand(const Entry& entry, const Visitor& visitor) {
    forEachNode(entry.node->slotList(m_slot), [&visitor](NodeBase* up) { visitor(asNode(up)); });
}

void AncestorWalk::run(Node* start, const Visitor& visitor) {
    m_passCount = 0;
    m_frontier.clear();
    m_queued.clear();
    m_ways.assign(1, {});
    m_wayIndex.clear();
    m_wayIndex.emplace(std::vector<const NodeBase*>{}, 0);
    m_expanding = nullptr;
    // The cycles are looked for when the visitor first puts a node in the frontier: the
    // searches of the node's own properties never do.
    m_start = start;
    m_cyclesFound = false;

    visitor(start);
    while (!m_frontier.empty()) {
        if (m_passEnd)
            m_passEnd();
        ++m_passCount;
        const std::vector<Entry> pass = std::move(m_frontier);
        m_frontier.clear();
        for (const Entry& entry : pass) {
            m_expanding = &entry;
            expand(entry, visitor);
        }
        m_expanding = nullptr;
    }
    if (m_passEnd)
        m_passEnd();
}

} // namespace tarvo
