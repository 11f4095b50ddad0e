// The nodes of a network: entities, relations and properties, their flags, names and identity.
#pragma once

#include "containers/node_slot.h"
#include "memory/heap_object.h"

#include <cstdint>

namespace tarvo {

class LabelIds;

// The flags word of every node. The model owns the kind bits; the view and the inheritance
// searches own the working bits.
namespace NodeFlags {
inline constexpr std::uint32_t DummyNode = 0x1000;
inline constexpr std::uint32_t RelationKind = 0x2000;
inline constexpr std::uint32_t PropertyKind = 0x4000;
inline constexpr std::uint32_t DescendantMark = 0x200;
inline constexpr std::uint32_t AncestorMark = 0x400;
inline constexpr std::uint32_t InViewMark = 0x8000;
// The bits a view's copy of a node takes over from it.
inline constexpr std::uint32_t ViewCopyMask = 0x36000;
} // namespace NodeFlags

// Link slots: every link is stored in both of its nodes, in slot k and slot k ^ 1.
enum LinkSlot : int { ParentSlot = 0, ChildSlot = 1, FromSlot = 2, ToSlot = 3 };
inline constexpr int kLinkSlotCount = 4;
inline constexpr int kSlotNameBytes = 7;
// "parent", "child", "from", "to", as the dialogs show them.
extern const char kSlotNames[kLinkSlotCount][kSlotNameBytes];

inline constexpr std::uint8_t kRelationShape = 20;
inline constexpr std::uint8_t kPropertyShape = 19;

class NodeBase : public HeapObject {
public:
    NodeBase(const NodeBase&) = delete;
    NodeBase& operator=(const NodeBase&) = delete;

    // The operations each class supplies, in this order.
    virtual NodeBase* makeNew() const = 0;
    // Null clears the name. With `copy` the node keeps a duplicate, otherwise it takes `text`
    // over. The previous name is not released: a caller renaming a node releases it first.
    virtual void setName(const char* text, int copy);
    // Destroys the slot lists (not the nodes in them) and releases the name; counters stay.
    virtual void clear();
    virtual void initOwn();
    virtual void copyName(const NodeBase& other);
    // Writes the node in a debugging notation to standard output.
    virtual void print() const = 0;

    // clear(), then releases the key, the slot arrays and the node.
    void destroy();

    // The first node of a slot, or null when the slot is empty.
    NodeBase* first(int slot) const;
    // The nodes of a slot; an empty slot when out of range.
    NodeSlot slotList(int slot) const {
        return slot >= 0 && slot < linkSlotCount ? slots[slot] : NodeSlot();
    }

    char* name = nullptr;
    // Read through slotList or the slot operations: an entry holds one node or a list.
    NodeSlot* slots = nullptr;
    std::int32_t* counts = nullptr;
    std::uint8_t linkSlotCount = 0;
    std::uint8_t visitMark = 0;

protected:
    // `linkSlotCount` slots, each empty.
    explicit NodeBase(int slotCount);
    virtual ~NodeBase();
    // Releases what destroy() releases beyond clear(); classes with more owned data add theirs.
    virtual void releaseOwned();
};

class Node : public NodeBase {
public:
    // 0 slots means the usual 4.
    explicit Node(int slotCount = 0);

    NodeBase* makeNew() const override;
    void initOwn() override;
    void print() const override;

    int hasFlag(std::uint32_t mask) const { return (flags & mask) != 0; }
    void setFlag(int on, std::uint32_t mask) { flags = on ? flags | mask : flags & ~mask; }
    void toggleFlag(std::uint32_t mask) { flags ^= mask; }

    bool isProperty() const { return hasFlag(NodeFlags::PropertyKind); }
    bool isRelation() const { return !isProperty() && hasFlag(NodeFlags::RelationKind); }
    bool isEntity() const { return !hasFlag(NodeFlags::RelationKind | NodeFlags::PropertyKind); }
    int relationKind() const { return hasFlag(NodeFlags::RelationKind); }

    // `key` when set, else `name`: what the tables hash and compare.
    const char* keyText() const { return key ? key : name; }

    std::uint32_t flags = 0;
    std::int32_t distance = -1;
    std::int32_t cluster = 0;
    char* key = nullptr;
    std::uint8_t shape = 0;

protected:
    struct NoSlots {};
    // A node without slot arrays, for the lookup probe that is never linked.
    explicit Node(NoSlots);
    void releaseOwned() override;
};

class Relation : public Node {
public:
    Relation();
    NodeBase* makeNew() const override;
    void initOwn() override;
    void print() const override;
};

class Property : public Node {
public:
    // A property with no links.
    Property();
    // The property "from A, relation R, to B" with its links, key and name: with `reversed`
    // the ends swap over, and `position` places it in A's list (-1: at the end). Its key takes
    // the next of the network's anonymous ids.
    Property(Node* relation, Node* from, Node* to, int reversed, int position, LabelIds& ids);

    NodeBase* makeNew() const override;
    void initOwn() override;
    void print() const override;

    // The key: the relation's name, a blank and a fresh anonymous label; 0 without a relation.
    int makeKey(LabelIds& ids);
    // The shown name "from DEL r relation DEL r to"; 0 unless all three ends exist.
    int makeName();
};

// Anonymous: no name, or a name that begins DEL "*".
bool IsAnonymousNode(const NodeBase* node);

// The key hash and key equality of every node table.
int NodeKeyHash(const NodeBase* node, int* row);
int NodeKeyEqual(const NodeBase* a, const NodeBase* b);
// Shared by nodes the key equality finds equal.
std::uint32_t NodeKeyFingerprint(const NodeBase* node);

inline Node* asNode(NodeBase* node) {
    return static_cast<Node*>(node);
}
inline const Node* asNode(const NodeBase* node) {
    return static_cast<const Node*>(node);
}

} // namespace tarvo
