// The walk under the inheritance searches.
#include "inheritance/ancestor_walk.h"

#include "containers/node_list.h"
#include "model/graph_walk.h"
#include "model/node.h"

namespace tarvo {

AncestorWalk::AncestorWalk(int slot)
    : m_slot(static_cast<int>(static_cast<unsigned>(slot) % 32u)) {}

void AncestorWalk::addToFrontier(Node* node) {
    if (m_queued.insert(node))
        m_frontier.push_back(node);
}

void AncestorWalk::run(Node* start, const Visitor& visitor) {
    m_passCount = 0;
    m_frontier.clear();
    m_queued.clear();
    visitor(start);
    while (!m_frontier.empty()) {
        if (m_passEnd)
            m_passEnd();
        ++m_passCount;
        const std::vector<Node*> pass = std::move(m_frontier);
        m_frontier.clear();
        for (Node* node : pass)
            forEachNode(node->slotList(m_slot), [&visitor](NodeBase* up) { visitor(asNode(up)); });
    }
    if (m_passEnd)
        m_passEnd();
}

} // namespace tarvo
