// AncestorWalk, the walk under the inheritance searches: pass after pass up one link slot, each
// node expanded once instead of once per path.
#pragma once

#include "containers/pointer_set.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace tarvo {

class Node;

// Visits, pass after pass, the nodes in the climbed slot of the nodes the previous pass put in
// the frontier, as GraphWalk does with that slot alone, but puts a node in the frontier at most
// once per run. That is for visitors whose findings along a second path to a node are repeats
// of those along the first, as the searches up the hierarchy are (they list each node once, at
// its first place): expanding the node again would only reach, again, nodes already reached.
// So on a lattice the walk costs the nodes and links it meets rather than its 2^depth paths,
// and around a cycle of links, however many nodes it joins, each of them once: a walk that told
// apart the ways through the cycle would cost a number of ways that grows with the subsets of
// its nodes.
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

    // Puts `node` in the next pass's frontier unless it was put there before in this run.
    void addToFrontier(Node* node);

    // The passes run so far (after the walk: one more than the last pass that reached a node).
    std::int32_t passCount() const { return m_passCount; }

private:
    int m_slot;
    std::int32_t m_passCount = 0;
    PassEnd m_passEnd;
    std::vector<Node*> m_frontier;
    // Every node ever put in the frontier of this run.
    PointerSet m_queued;
};

} // namespace tarvo
