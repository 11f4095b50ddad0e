// The open network and the walks over it.
#include "model/network.h"

#include "labels/label_text.h"
#include "model/node_list.h"
#include "model/node_table.h"
#include "model/view_node.h"

#include <cmath>
#include <cstring>
#include <deque>
#include <unordered_set>
#include <vector>

namespace tarvo {
namespace {

// The one node used to look nodes up by name; it is never linked and owns nothing.
class ProbeNode : public Node {
public:
    ProbeNode() : Node(NoSlots{}) {}
    ~ProbeNode() override = default;
};

ProbeNode& probe() {
    static ProbeNode node;
    return node;
}

// Points the probe at `text` for one lookup and lets go of it afterwards.
class Probe {
public:
    Probe(const char* text, int relationKind) {
        probe().name = const_cast<char*>(text);
        probe().flags = relationKind ? NodeFlags::RelationKind : 0;
    }
    ~Probe() { probe().name = nullptr; }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    Node* node() { return &probe(); }
};

int destroyNode(NodeBase* node) {
    node->destroy();
    return 0;
}

Node* nodeOf(const void* element) {
    NodeBase* node;
    std::memcpy(&node, element, sizeof node);
    return asNode(node);
}

} // namespace

NetworkState& network() {
    static NetworkState state;
    return state;
}

NodeTable* MakeNodeTable() {
    return NodeTable::make(kTableBucketsPerRow, kTableRows, NodeKeyHash, NodeKeyEqual,
                           NodeKeyFingerprint);
}

int addNode(Node* node) {
    return addNodeAt(node, -1);
}

int addNodeAt(Node* node, int place) {
    NodeTable* table = currentNetwork();
    return table && node ? table->insertAt(node, place) : 0;
}

Node* findNode(const char* text, int relationKind) {
    return findNodeIn(currentNetwork(), text, relationKind);
}

Node* findNodeIn(NodeTable* table, const char* text, int relationKind) {
    if (!table)
        return nullptr;
    Probe lookup(text, relationKind);
    return asNode(table->lookup(lookup.node()));
}

ChunkList* findNodeBlock(const char* text, int relationKind, int* index) {
    NodeTable* table = currentNetwork();
    if (!table)
        return nullptr;
    Probe lookup(text, relationKind);
    return table->find(lookup.node(), nullptr, index);
}

Node* takeNode(const char* text, int relationKind, int* place) {
    NodeTable* table = currentNetwork();
    if (!table)
        return nullptr;
    Probe lookup(text, relationKind);
    NodeBase* node = lookup.node();
    return table->remove(node, place) ? asNode(node) : nullptr;
}

void closeNetwork(NodeTable* table) {
    if (!table)
        return;
    // The nodes go first; the bucket lists that held them go with the table.
    table->forEach(destroyNode);
    table->destroy();
    delete table;
    if (network().currentNetwork == table)
        network().currentNetwork = nullptr;
}

void ReleaseNetwork() {
    closeNetwork(network().currentNetwork);
    network().currentNetwork = nullptr;
    if (network().isaRelation)
        network().isaRelation->destroy();
    network().isaRelation = nullptr;
}

NodeList* nodesOfKind(int relationKind) {
    NodeTable* table = currentNetwork();
    if (!table)
        return nullptr;
    struct Collect {
        int kind;
        NodeList* list;
    } collect{relationKind ? 1 : 0, nullptr};
    table->forEach(
        [](void* context, NodeBase* base) {
            auto* c = static_cast<Collect*>(context);
            Node* node = asNode(base);
            if (node->isProperty() || node->relationKind() != c->kind)
                return 0;
            node->flags &= NodeFlags::RelationKind;
            listAppend(c->list, node);
            return 0;
        },
        &collect);
    return collect.list;
}

void setFormattingKey(Node* n, int selector) {
    const float measure = FormattingMeasure(n->name, selector) * 1000.0f;
    n->distance = static_cast<std::int32_t>(std::trunc(measure));
}

int byLabel(const void* a, const void* b) {
    return CompareLabels(nodeOf(a)->name, nodeOf(b)->name);
}

int byDistanceThenLabel(const void* a, const void* b) {
    const Node* left = nodeOf(a);
    const Node* right = nodeOf(b);
    if (left->distance != right->distance)
        return right->distance > left->distance ? 1 : -1;
    return byLabel(a, b);
}

void markLineage(Node* n, int direction, int on) {
    if (!n)
        return;
    const int slot = direction ? ParentSlot : ChildSlot;
    const std::uint32_t mark = direction ? NodeFlags::AncestorMark : NodeFlags::DescendantMark;
    // An explicit stack: lineages may be far deeper than the call stack allows.
    std::vector<Node*> pending{n};
    std::unordered_set<const Node*> done;
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (!done.insert(node).second)
            continue;
        node->setFlag(on, mark);
        if (const NodeList* list = node->slotList(slot))
            for (int i = list->size() - 1; i >= 0; --i)
                pending.push_back(asNode(list->nodeAt(i)));
    }
}

void prepareInspection(ViewNode* v) {
    if (!v)
        return;
    std::deque<ViewNode*> frontier{v};
    std::unordered_set<const ViewNode*> seen{v};
    while (!frontier.empty()) {
        ViewNode* w = frontier.front();
        frontier.pop_front();
        if (Node* source = w->source) {
            source->flags = (source->flags & (NodeFlags::RelationKind | NodeFlags::PropertyKind)) |
                            NodeFlags::InViewMark;
            source->distance = w->distance;
        }
        for (int slot = 0; slot < w->linkSlotCount; ++slot) {
            const NodeList* list = w->slots[slot];
            for (int i = 0, size = list ? list->size() : 0; i < size; ++i) {
                auto* next = static_cast<ViewNode*>(list->nodeAt(i));
                if (seen.insert(next).second)
                    frontier.push_back(next);
            }
        }
    }
    markLineage(v->source, 0, 1);
    markLineage(v->source, 1, 1);
}

} // namespace tarvo
