// The walk engine.
#include "model/graph_walk.h"

#include "containers/node_list.h"
#include "model/node.h"

namespace tarvo {
namespace {

template <typename Step> bool onPath(const Step* path, const Node* node) {
    for (; path; path = path->up)
        if (path->node == node)
            return true;
    return false;
}

} // namespace

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

GraphWalk::~GraphWalk() {
    DisposeList(m_frontier);
}

void GraphWalk::expand(const NodeBase* n, const Visitor& visitor) {
    for (int slot = 0; slot < n->linkSlotCount; ++slot) {
        if (!(m_mask & (1u << slot)) || !n->slots[slot])
            continue;
        m_currentSlot = slot;
        if (m_slotStart)
            m_slotStart(n, slot);
        forEachNode(n->slots[slot], [&visitor](NodeBase* node) { visitor(asNode(node)); });
    }
}

void GraphWalk::addToFrontier(Node* node) {
    if (onPath(m_expanding, node))
        return;
    if (!listAppend(m_frontier, node))
        return;
    m_steps.push_back({node, m_expanding});
    m_pending.push_back(&m_steps.back());
}

void GraphWalk::endPass() const {
    if (m_passEnd)
        m_passEnd();
}

void GraphWalk::clearPaths() {
    m_steps.clear();
    m_pending.clear();
    m_expanding = nullptr;
}

void GraphWalk::run(Node* start, const Visitor& visitor) {
    m_passCount = 0;
    m_currentSlot = 0;
    DisposeList(m_frontier);
    clearPaths();

    visitor(start);
    while (m_frontier) {
        endPass();
        ++m_passCount;
        NodeList* pass = m_frontier;
        m_frontier = nullptr;
        const std::vector<const PathStep*> passPaths = std::move(m_pending);
        m_pending.clear();
        std::size_t entry = 0;
        forEachNode(pass, [&](NodeBase* node) {
            m_expanding = passPaths[entry++];
            expand(node, visitor);
        });
        m_expanding = nullptr;
        pass->destroy();
    }
    endPass();
    clearPaths();
}

} // namespace tarvo
