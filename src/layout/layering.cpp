// Marking, layering into clusters, hiding, depth justification and filler nodes.
#include "layout/layering.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/view_flags.h"
#include "layout/view_layout.h"
#include "layout/view_node.h"
#include "layout/view_walk.h"
#include "model/links.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace tarvo {
namespace {

// Carries a layer change along a lineage: from `start`, every neighbour in `slot` (children or
// parents) that `needsMove` picks up gets `moveTo`'s layer and passes the change on. The walk
// keeps its own stack, as lineages may be deeper than the call stack, and never enters a node
// already on its way, so that a cycle of isa links ends it.
template <typename NeedsMove, typename MoveTo>
void propagateLayers(ViewNode* start, int slot, NeedsMove needsMove, MoveTo moveTo) {
    struct Frame {
        ViewNode* node;
        SlotCursor links;
    };
    std::vector<Frame> stack{{start, SlotCursor(start->slotList(slot))}};
    start->onPath = 1;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        NodeBase* reached = frame.links.next();
        if (!reached) {
            frame.node->onPath = 0;
            stack.pop_back();
            continue;
        }
        ViewNode* node = frame.node;
        ViewNode* next = asViewNode(reached);
        if (next->onPath || !needsMove(node, next))
            continue;
        moveTo(node, next);
        next->onPath = 1;
        stack.push_back({next, SlotCursor(next->slotList(slot))});
    }
}

} // namespace

// Layering: one pass of the view's visit marks over every cluster, each cluster laid out by a
// walk of its own from its seed.
class ClusterLayering {
public:
    ClusterLayering(ViewLayout& layout, ViewNode* current)
        : m_layout(layout), m_marks(layout.marks), m_walk(layout.marks, 3), m_seeds{current} {}

    // Lays out clusters, each by a walk from its seed, while `budget` lasts (one for each node
    // expanded); true when every cluster is laid out. The seeds go round by round: the
    // current node, then the nodes the relation links of each round's clusters lead to.
    bool resume(std::int64_t& budget) {
        for (;;) {
            if (m_walking) {
                if (!m_walk.resume(
                        budget, [this](Node* reached) { layerNode(reached); },
                        [this](const NodeBase* owner, int slot) { slotStarts(owner, slot); }))
                    return false;
                endCluster();
            }
            if (m_seedAt == m_seeds.size()) {
                if (m_nextSeeds.empty())
                    return true;
                m_seeds.swap(m_nextSeeds);
                m_nextSeeds.clear();
                m_seedAt = 0;
            }
            ViewNode* seed = m_seeds[m_seedAt++];
            if (seed && !isHidden(seed) && !IsVisited(m_marks, seed))
                beginCluster(seed);
            if (budget == 0)
                return false;
        }
    }

private:
    bool counts(const Node* node) const { return !isHidden(node) && IsVisited(m_marks, node); }

    void pushDown(ViewNode* node) const {
        propagateLayers(
            node, ChildSlot,
            [this](const ViewNode* parent, const ViewNode* child) {
                return counts(child) && child->layer < parent->layer + 1;
            },
            [](const ViewNode* parent, ViewNode* child) { child->layer = parent->layer + 1; });
    }

    void pullUp(ViewNode* node) const {
        propagateLayers(
            node, ParentSlot,
            [this](const ViewNode* child, const ViewNode* parent) {
                return counts(parent) && parent->layer > child->layer - 1;
            },
            [](const ViewNode* child, ViewNode* parent) { parent->layer = child->layer - 1; });
    }

    // Below every visited parent: pushes the node and its descendants down when it is not.
    bool belowParents(ViewNode* n) const {
        const NodeSlot parents = n->slotList(ParentSlot);
        if (!listSize(parents))
            return false;
        int greatest = n->layer - 1;
        forEachNode(parents, [this, &greatest](const NodeBase* p) {
            if (counts(asNode(p)))
                greatest = std::max(greatest, asViewNode(p)->layer);
        });
        if (n->layer > greatest)
            return false;
        n->layer = greatest + 1;
        pushDown(n);
        return true;
    }

    // Above every visited child: pulls the node and its ancestors up when it is not.
    void aboveChildren(ViewNode* n) const {
        const NodeSlot children = n->slotList(ChildSlot);
        if (!listSize(children))
            return;
        int smallest = n->layer + 1;
        forEachNode(children, [this, &smallest](const NodeBase* c) {
            if (counts(asNode(c)))
                smallest = std::min(smallest, asViewNode(c)->layer);
        });
        if (smallest - 1 >= n->layer)
            return;
        n->layer = smallest - 1;
        pullUp(n);
    }

    void layerNode(Node* reached) {
        auto* n = asViewNode(reached);
        if (isHidden(n) || !m_walk.visitOnce(n))
            return;
        n->setFlag(0, NodeFlags::Unplaced);
        n->cluster = m_counter;
        n->layer = m_currentLayer;
        if (n->layer < m_lowest) {
            m_lowest = n->layer;
            m_topmost = n;
        }
        m_highest = std::max(m_highest, n->layer);
        if (!belowParents(n))
            aboveChildren(n);
        // Relation links lead to other clusters, laid out after this one.
        for (int slot : {FromSlot, ToSlot})
            forEachNode(n->slots[slot],
                        [this](NodeBase* x) { m_nextSeeds.push_back(asViewNode(x)); });
        m_currentLayer = n->layer;
    }

    // A node reached through a slot of `owner` starts one layer before it (a parent), after it
    // (a child), or beside it.
    void slotStarts(const NodeBase* owner, int slot) {
        const int layer = static_cast<const ViewNode*>(owner)->layer;
        m_currentLayer = slot == ParentSlot ? layer - 1 : slot == ChildSlot ? layer + 1 : layer;
    }

    void beginCluster(ViewNode* seed) {
        m_currentLayer = m_lowest = m_highest = 0;
        m_topmost = seed;
        m_walk.start(seed, [this](Node* reached) { layerNode(reached); });
        m_walking = true;
    }

    void endCluster() {
        m_walking = false;
        Cluster cluster;
        cluster.seed = m_topmost;
        cluster.layerCount = m_highest - m_lowest + 1;
        cluster.layerOffset = -m_lowest;
        cluster.number = m_counter;
        m_layout.clusters.push_back(std::move(cluster));
        ++m_counter;
    }

    ViewLayout& m_layout;
    const VisitMarks& m_marks;
    ViewWalk m_walk;
    bool m_walking = false;
    int m_currentLayer = 0;
    int m_lowest = 0;
    int m_highest = 0;
    ViewNode* m_topmost = nullptr;
    int m_counter = 0;
    std::vector<ViewNode*> m_seeds;
    std::size_t m_seedAt = 0;
    std::vector<ViewNode*> m_nextSeeds;
};

namespace {

// Depth justification.

// The layer one step towards the node's nearest shown neighbour in `slot` when it stands more
// than one layer away: up towards its parents, down towards its children. INT_MIN when the
// rule does not move the node, also when every neighbour there is hidden.
int justifiedLayer(const ViewNode* n, int slot) {
    // Seen from the children, layers count the other way round.
    const int sign = slot == ParentSlot ? 1 : -1;
    int nearest = INT_MIN;
    forEachNode(n->slots[slot], [&nearest, sign](const NodeBase* q) {
        if (!isHidden(asNode(q)))
            nearest = std::max(nearest, sign * asViewNode(q)->layer);
    });
    if (nearest == INT_MIN)
        return INT_MIN;
    const int target = sign * (std::max(sign * n->layer - 2, nearest) + 1);
    return sign * target < sign * n->layer ? target : INT_MIN;
}

// Applies the option's rule to `n` and, each time it moves a node, to that node's children
// (raising) or parents (lowering).
void justifyFrom(ViewNode* n, DepthJustify option) {
    const bool raise = option == DepthJustify::RaiseChildren;
    const int towards = raise ? ChildSlot : ParentSlot;
    auto moved = [raise](ViewNode* node) {
        const int layer = justifiedLayer(node, raise ? ParentSlot : ChildSlot);
        if (layer == INT_MIN)
            return false;
        node->layer = layer;
        return true;
    };
    if (!moved(n))
        return;
    propagateLayers(
        n, towards,
        [&moved](const ViewNode*, ViewNode* next) { return !isHidden(next) && moved(next); },
        [](const ViewNode*, ViewNode*) {});
}

// Fillers.

ViewNode* makeDummy(ViewLayout& layout, const ViewNode* below, int layer) {
    auto* dummy = new ViewNode();
    if (!dummy)
        return nullptr;
    if (!listAppend(layout.dummyList, dummy)) {
        dummy->destroy();
        return nullptr;
    }
    ++layout.dummyCount;
    dummy->layer = layer;
    dummy->cluster = below->cluster;
    // A filler starts unseen, so that the running walk goes on through the chain to the
    // parent, which may be reachable only this way.
    return dummy;
}

// Fills the layers between n and its parent p, which stands at `parentAt` in n's parent list.
void fillLink(ViewLayout& layout, ViewNode* n, ViewNode* p, int parentAt) {
    const int childAt = positionOf(p, ChildSlot, n);
    if (childAt < 0)
        return;
    ViewNode* below = n;
    for (int layer = n->layer - 1; layer > p->layer; --layer) {
        ViewNode* dummy = makeDummy(layout, n, layer);
        if (!dummy)
            break;
        appendLink(dummy, ChildSlot, below);
        if (below == n)
            replaceLinkAt(n, ParentSlot, parentAt, dummy);
        else
            appendLink(below, ParentSlot, dummy);
        below = dummy;
    }
    if (below == n)
        return;
    appendLink(below, ParentSlot, p);
    replaceLinkAt(p, ChildSlot, childAt, below);
}

void fillNode(ViewLayout& layout, Node* node) {
    auto* n = asViewNode(node);
    for (int i = 0, size = listSize(n->slotList(ParentSlot)); i < size; ++i) {
        auto* p = asViewNode(n->slotList(ParentSlot).nodeAt(i));
        if (isHidden(p) || p->hasFlag(NodeFlags::DummyNode) || p->layer + 1 >= n->layer)
            continue;
        fillLink(layout, n, p, i);
    }
}

bool isDummy(const NodeBase* node) {
    return node && asNode(node)->hasFlag(NodeFlags::DummyNode);
}

} // namespace

void CompleteShownNodes(ViewLayout& layout) {
    if (!layout.nodes)
        return;
    std::vector<ViewNode*> partial;
    layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            auto* v = asViewNode(n);
            if (!isComplete(v) && !isHidden(v))
                static_cast<std::vector<ViewNode*>*>(context)->push_back(v);
            return 0;
        },
        &partial);
    CompleteViewNodes(*layout.nodes, partial);
}

LayeringStep::LayeringStep(ViewLayout& layout, ViewNode* current, LayeringPass pass,
                           DepthJustify option, bool collect)
    : m_layout(layout), m_pass(pass), m_option(option), m_collect(collect),
      m_walk(std::make_unique<ViewWalk>(layout.marks)) {
    layout.newPass();
    if (pass == LayeringPass::Clusters) {
        layout.clusters.clear();
        m_clusters = std::make_unique<ClusterLayering>(layout, current);
        return;
    }
    m_walk->start(current, [this](Node* node) { visit(node); });
}

LayeringStep::~LayeringStep() = default;

void LayeringStep::visit(Node* node) {
    ViewWalk& walk = *m_walk;
    switch (m_pass) {
    case LayeringPass::Reach:
        if (walk.visitOnce(node))
            node->setFlag(1, NodeFlags::Unplaced);
        return;
    case LayeringPass::Clusters:
        return;
    case LayeringPass::Hide:
        if (!walk.visitOnce(node) || !node->hasFlag(NodeFlags::Unplaced))
            return;
        if (m_collect && !isHidden(node))
            listAppend(m_layout.newlyHidden, node);
        node->setFlag(1, NodeFlags::Hidden);
        return;
    case LayeringPass::Justify:
        if (isHidden(node) || !walk.visitOnce(node))
            return;
        justifyFrom(asViewNode(node), m_option);
        return;
    case LayeringPass::Fillers:
        if (isHidden(node) || !walk.visitOnce(node))
            return;
        fillNode(m_layout, node);
        return;
    }
}

bool LayeringStep::resume(std::int64_t budget) {
    if (m_clusters) {
        if (!m_clusters->resume(budget))
            return false;
        m_layout.clusterCount = static_cast<std::int32_t>(m_layout.clusters.size());
        return true;
    }
    return m_walk->resume(budget, [this](Node* node) { visit(node); });
}

void MarkReachable(ViewLayout& layout, ViewNode* current) {
    LayeringStep(layout, current, LayeringPass::Reach).resume(-1);
}

void LayerClusters(ViewLayout& layout, ViewNode* current) {
    LayeringStep(layout, current, LayeringPass::Clusters).resume(-1);
}

void HideUnreached(ViewLayout& layout, ViewNode* current, bool collect) {
    LayeringStep(layout, current, LayeringPass::Hide, DepthJustify::RaiseChildren, collect)
        .resume(-1);
}

void JustifyDepth(ViewLayout& layout, ViewNode* current, DepthJustify option) {
    LayeringStep(layout, current, LayeringPass::Justify, option).resume(-1);
}

void InsertDummyNodes(ViewLayout& layout, ViewNode* current) {
    LayeringStep(layout, current, LayeringPass::Fillers).resume(-1);
}

void RemoveDummyNodes(ViewLayout& layout) {
    forEachNode(layout.dummyList, [](NodeBase* top) {
        NodeBase* parent = first(top, ParentSlot);
        if (!parent || isDummy(parent))
            return;
        NodeBase* bottom = top;
        while (isDummy(first(bottom, ChildSlot)))
            bottom = first(bottom, ChildSlot);
        NodeBase* child = first(bottom, ChildSlot);
        if (!child)
            return;
        replaceLinkNode(parent, ChildSlot, top, child);
        replaceLinkNode(child, ParentSlot, bottom, parent);
    });
    forEachNode(layout.dummyList, [](NodeBase* dummy) { dummy->destroy(); });
    DisposeList(layout.dummyList);
    layout.dummyCount = 0;
}

} // namespace tarvo
