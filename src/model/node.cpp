// The node classes: construction, names, destruction, identity and the debugging print.
#include "model/node.h"

#include "containers/key_hash.h"
#include "containers/node_list.h"
#include "containers/text_builder.h"
#include "memory/size_class_heap.h"
#include "model/label_ids.h"
#include "model/links.h"

#include <cassert>
#include <cstdio>
#include <cstring>

namespace tarvo {

const char kSlotNames[kLinkSlotCount][kSlotNameBytes] = {"parent", "child", "from", "to"};

namespace {

constexpr unsigned char kAnonymousShown = 0xA4;

void printName(const NodeBase* node) {
    const char* name = node->name;
    if (!name) {
        std::fputs("*", stdout);
        return;
    }
    bool blank = false;
    for (const char* at = name; *at; ++at)
        blank = blank ||
                (static_cast<unsigned char>(*at) >= 1 && static_cast<unsigned char>(*at) <= 32);
    std::printf(blank ? "\"%s\"" : "%s", name);
}

void printList(NodeSlot list) {
    bool between = false;
    forEachNode(list, [&between](const NodeBase* node) {
        if (between)
            std::fputc(' ', stdout);
        between = true;
        node->print();
    });
}

const char* shownName(const NodeBase* node) {
    static const char anonymous[] = {static_cast<char>(kAnonymousShown), '\0'};
    return IsAnonymousNode(node) ? anonymous : node->name;
}

} // namespace

// ---------------------------------------------------------------------------------------------

NodeBase::NodeBase(int slotCount) {
    assert(slotCount >= 0 && slotCount <= 255 && "NodeBase: slot count out of range");
    if (slotCount <= 0)
        return;
    // The slot lists and their counters share one block: a node costs one allocation less.
    const auto count = static_cast<std::size_t>(slotCount);
    auto* block = static_cast<char*>(
        Allocate(static_cast<std::int32_t>(count * (sizeof(NodeSlot) + sizeof(std::int32_t)))));
    if (!block) {
        // Out of memory: the node exists without slots and every link operation refuses it.
        return;
    }
    slots = reinterpret_cast<NodeSlot*>(block);
    counts = reinterpret_cast<std::int32_t*>(block + count * sizeof(NodeSlot));
    linkSlotCount = static_cast<std::uint8_t>(slotCount);
    NodeBase::initOwn();
}

NodeBase::~NodeBase() = default;

void NodeBase::initOwn() {
    for (int i = 0; i < linkSlotCount; ++i) {
        slots[i] = NodeSlot();
        counts[i] = 0;
    }
    visitMark = 0;
    name = nullptr;
}

void NodeBase::setName(const char* text, int copy) {
    if (!text) {
        name = nullptr;
        return;
    }
    name = copy ? DuplicateText(text) : const_cast<char*>(text);
}

void NodeBase::clear() {
    for (int i = 0; i < linkSlotCount; ++i)
        slotClear(slots[i]);
    Release(name);
    name = nullptr;
}

void NodeBase::copyName(const NodeBase& other) {
    setName(other.name, 1);
}

void NodeBase::releaseOwned() {
    // The counters live in the slots' block.
    Release(slots);
    slots = nullptr;
    counts = nullptr;
    linkSlotCount = 0;
}

void NodeBase::destroy() {
    clear();
    releaseOwned();
    delete this;
}

NodeBase* NodeBase::first(int slot) const {
    return tarvo::first(this, slot);
}

// ---------------------------------------------------------------------------------------------

Node::Node(int slotCount) : NodeBase(slotCount == 0 ? kLinkSlotCount : slotCount) {
    Node::initOwn();
}

Node::Node(NoSlots) : NodeBase(0) {
    Node::initOwn();
}

NodeBase* Node::makeNew() const {
    return new Node(kLinkSlotCount);
}

void Node::initOwn() {
    flags = 0;
    distance = -1;
    key = nullptr;
    shape = 0;
}

void Node::releaseOwned() {
    Release(key);
    key = nullptr;
    NodeBase::releaseOwned();
}

void Node::print() const {
    printName(this);
    std::fputs(" --", stdout);
    printList(slotList(FromSlot));
    std::fputs("-- --", stdout);
    printList(slotList(ToSlot));
    std::fputs("--", stdout);
}

// ---------------------------------------------------------------------------------------------

Relation::Relation() : Node(kLinkSlotCount) {
    Relation::initOwn();
}

NodeBase* Relation::makeNew() const {
    return new Relation;
}

void Relation::initOwn() {
    setFlag(1, NodeFlags::RelationKind);
    shape = kRelationShape;
}

void Relation::print() const {
    printName(this);
    const NodeBase* firstChild = first(ChildSlot);
    if (firstChild && asNode(firstChild)->isProperty()) {
        std::fputs(" <", stdout);
        printList(slotList(ChildSlot));
        std::fputs(">", stdout);
    }
}

// ---------------------------------------------------------------------------------------------

Property::Property() : Node(kLinkSlotCount) {
    Property::initOwn();
}

Property::Property(Node* relation, Node* from, Node* to, int reversed, int position, LabelIds& ids)
    : Property() {
    if (!slots)
        return;
    const int e = reversed ? FromSlot : ToSlot;
    const int opposite = e ^ 1;
    if (from) {
        appendLink(this, opposite, from);
        insertLink(from, e, this, position, 0);
    }
    if (to)
        link(this, e, to);
    if (relation)
        link(this, ParentSlot, relation);
    makeKey(ids);
    makeName();
}

NodeBase* Property::makeNew() const {
    return new Property;
}

void Property::initOwn() {
    setFlag(1, NodeFlags::RelationKind | NodeFlags::PropertyKind);
    shape = kPropertyShape;
}

void Property::print() const {
    const NodeBase* from = first(FromSlot);
    const NodeBase* relation = first(ParentSlot);
    const NodeBase* to = first(ToSlot);
    if (!from || !relation || !to)
        return;
    std::fputs("<", stdout);
    printName(from);
    std::fputs(", ", stdout);
    printName(relation);
    std::fputs(", ", stdout);
    printName(to);
    std::fputs(">", stdout);
}

int Property::makeKey(LabelIds& ids) {
    const NodeBase* relation = first(ParentSlot);
    if (!relation)
        return 0;
    char* anonymous = ids.fresh();
    TextBuilder builder;
    builder.append(relation->name ? relation->name : "", 1);
    builder.append(anonymous, 1);
    Release(anonymous);
    Release(key);
    key = builder.take();
    return 1;
}

int Property::makeName() {
    const NodeBase* from = first(FromSlot);
    const NodeBase* relation = first(ParentSlot);
    const NodeBase* to = first(ToSlot);
    if (!from || !relation || !to)
        return 0;
    // DEL "r": back to plain text between the three parts.
    static const char reset[] = {'\x7f', 'r', '\0'};
    TextBuilder builder;
    builder.append(shownName(from), 0);
    builder.append(reset, 1);
    builder.append(shownName(relation), 0);
    builder.append(reset, 1);
    builder.append(shownName(to), 1);
    Release(name);
    name = builder.take();
    return 1;
}

// ---------------------------------------------------------------------------------------------

bool IsAnonymousNode(const NodeBase* node) {
    return !node || IsAnonymousLabel(node->name);
}

int NodeKeyHash(const NodeBase* node, int* row) {
    return KeyHash(asNode(node)->keyText(), row);
}

std::uint32_t NodeKeyFingerprint(const NodeBase* node) {
    const Node* n = asNode(node);
    return KeyHashValue(n->keyText()) ^ (n->relationKind() ? 0x9E3779B9u : 0u);
}

int NodeKeyEqual(const NodeBase* a, const NodeBase* b) {
    const Node* left = asNode(a);
    const Node* right = asNode(b);
    if (left->relationKind() != right->relationKind())
        return 0;
    const char* l = left->keyText();
    const char* r = right->keyText();
    return std::strcmp(l ? l : "", r ? r : "") == 0;
}

} // namespace tarvo
