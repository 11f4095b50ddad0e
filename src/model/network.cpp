// A network and the walks over it.
#include "model/network.h"

#include "containers/node_list.h"
#include "containers/node_table.h"

#include <unordered_set>
#include <vector>

namespace tarvo {
namespace {

// A node that stands in for the one looked up by name for the length of one lookup: it is never
// linked and owns nothing.
class Probe : public Node {
public:
    Probe(const char* text, int relationKind) : Node(NoSlots{}) {
        name = const_cast<char*>(text);
        flags = relationKind ? NodeFlags::RelationKind : 0;
    }
    ~Probe() override { name = nullptr; }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
};

int destroyNode(NodeBase* node) {
    node->destroy();
    return 0;
}

} // namespace

Network::Network() : m_table(MakeNodeTable()) {
    auto* isa = new Relation;
    if (isa)
        isa->setName("isa", 1);
    m_isa = isa;
}

Network::~Network() {
    // The edit history holds nodes apart from the table (deleted ones, kept for undo); they go
    // first, then the nodes, the table and the isa relation.
    m_history.reset();
    m_shapes.reset();
    closeNetwork(m_table);
    if (m_isa)
        m_isa->destroy();
}

NodeTable* MakeNodeTable() {
    return NodeTable::make(kTableBucketsPerRow, kTableRows, NodeKeyHash, NodeKeyEqual,
                           NodeKeyFingerprint);
}

int Network::add(Node* node) {
    return addAt(node, -1);
}

int Network::addAt(Node* node, int place) {
    listFontLabels(false);
    return m_table && node ? m_table->insertAt(node, place) : 0;
}

void Network::listFontLabels(bool listed) {
    m_fontLabelsListed = listed;
    // Dropped for good, the list gives its memory back.
    if (listed)
        m_fontLabelNodes.clear();
    else
        std::vector<Node*>().swap(m_fontLabelNodes);
}

Node* Network::find(const char* text, int relationKind) const {
    return findNodeIn(m_table, text, relationKind);
}

std::uint32_t Network::fingerprintOf(const char* text, int relationKind) const {
    if (!m_table)
        return 0;
    const Probe probe(text, relationKind);
    return m_table->fingerprintOf(&probe);
}

Node* Network::find(const char* text, int relationKind, std::uint32_t print) const {
    if (!m_table)
        return nullptr;
    const Probe probe(text, relationKind);
    return asNode(m_table->lookup(&probe, print));
}

void Network::prefetch(std::uint32_t print) const {
    if (m_table)
        m_table->prefetch(print);
}

void Network::prefetchNodes(std::uint32_t print) const {
    if (m_table)
        m_table->forEachFiled(print, [](const NodeBase* node) { __builtin_prefetch(node); });
}

int Network::add(Node* node, std::uint32_t print) {
    return m_table && node ? m_table->insert(node, print) : 0;
}

Node* findNodeIn(NodeTable* table, const char* text, int relationKind) {
    if (!table)
        return nullptr;
    Probe probe(text, relationKind);
    return asNode(table->lookup(&probe));
}

ChunkList* Network::findBlock(const char* text, int relationKind, int* index) const {
    if (!m_table)
        return nullptr;
    Probe probe(text, relationKind);
    return m_table->find(&probe, nullptr, index);
}

Node* Network::take(const char* text, int relationKind, int* place) {
    if (!m_table)
        return nullptr;
    listFontLabels(false);
    Probe probe(text, relationKind);
    NodeBase* node = &probe;
    return m_table->remove(node, place) ? asNode(node) : nullptr;
}

bool Network::holds(const Node* node) const {
    return m_table && node && m_table->lookup(node) == node;
}

void closeNetwork(NodeTable* table) {
    if (!table)
        return;
    // The nodes go first; the bucket lists that held them go with the table.
    table->forEach(destroyNode);
    table->destroy();
    delete table;
}

NodeList* Network::nodesOfKind(int relationKind) const {
    if (!m_table)
        return nullptr;
    struct Collect {
        int kind;
        NodeList* list;
    } collect{relationKind ? 1 : 0, nullptr};
    m_table->forEach(
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
        if (const NodeSlot list = node->slotList(slot))
            for (int i = list.size() - 1; i >= 0; --i)
                pending.push_back(asNode(list.nodeAt(i)));
    }
}

} // namespace tarvo
