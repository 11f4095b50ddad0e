// AncestorWalk, the walk under the inheritance searches: pass after pass up one link slot, each
// way of reaching a node expanded once instead of once per path.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace tarvo {

class Node;
class NodeBase;

// Visits, pass after pass, the nodes in the climbed slot of the nodes the previous pass put in
// the frontier, as GraphWalk does with that slot alone, but expands a frontier node at most
// once. A node reached again in a later pass, or along a second path in the same pass, would
// only visit again what its first expansion visited, so on a lattice the walk costs the nodes
// and links it meets rather than its 2^depth paths.
//
// Around a cycle of links GraphWalk leaves out a node already expanded on the way that led to
// it. The same holds here: a frontier entry carries the nodes of its way that lie in its own
// cycle, and the entry is told apart from another of the same node by them. Nodes outside every
// cycle carry nothing, so a network without cycles has one entry per node.
//
// The visitor must put in the frontier only nodes it reaches from the node being expanded over
// the climbed slot and the parent slot: those are the links whose cycles are looked for.
class AncestorWalk {
public:
    using Visitor = std::function<void(Node* node)>;
    using PassEnd = std::function<void()>;

    explicit AncestorWalk(int slot);

    // Runs before each pass and once at the end.
    void setPassEnd(PassEnd passEnd) { m_passEnd = std::move(passEnd); }

    // Applies the visitor to `start`, then pass after pass to every node in the climbed slot of
    // the frontier's nodes. May be run again; each run starts afresh.
    void run(Node* start, const Visitor& visitor);

    // Puts `node` in the next pass's frontier unless it lies on the way to the node being
    // expanded or was put there, by the same way through its cycle, before.
    void addToFrontier(Node* node);

    // The passes run so far (after the walk: one more than the last pass that reached a node).
    std::int32_t passCount() const { return m_passCount; }

private:
    // A frontier entry: the node and the index of its way's nodes in its cycle (0: none).
    struct Entry {
        Node* node;
        int way;
    };

    void findCycles(Node* start);
    int cycleOf(const NodeBase* node) const;
    int wayWith(int way, const NodeBase* node);
    void expand(const Entry& entry, const Visitor& visitor);

    int m_slot;
    std::int32_t m_passCount = 0;
    PassEnd m_passEnd;
    std::vector<Entry> m_frontier;
    const Entry* m_expanding = nullptr;
    // The cycle (strongly connected part with a link inside it) of each node in one, numbered
    // from 1; nodes in none are absent.
    std::unordered_map<const NodeBase*, int> m_cycles;
    // The ways through cycles met so far, each sorted, interned: index 0 is the empty way.
    std::vector<std::vector<const NodeBase*>> m_ways;
    std::map<std::vector<const NodeBase*>, int> m_wayIndex;
    // Every entry ever put in the frontier of this run.
    struct EntryHash {
        std::size_t operator()(const std::pair<const NodeBase*, int>& entry) const {
            return std::hash<const NodeBase*>()(entry.first) ^
                   (static_cast<std::size_t>(entry.second) * std::size_t{0x9E3779B97F4A7C15});
        }
    };
    std::unordered_set<std::pair<const NodeBase*, int>, EntryHash> m_queued;
    Node* m_start = nullptr;
    bool m_cyclesFound = false;
};

} // namespace tarvo
