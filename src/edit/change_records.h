// Change records: the kinds of step an edit is made of, each a type owning what it holds, and
// what each does to the network.
#pragma once

#include "memory/heap_object.h"
#include "memory/size_class_heap.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tarvo {

class Network;
class Node;
class NodeList;
class NodeSlot;

// The number each kind of record answers through kind(). The numbers stay fixed: whatever
// reports or checks records by number relies on them.
namespace ChangeType {
inline constexpr std::uint8_t Insert = 1;
inline constexpr std::uint8_t Delete = 2;
inline constexpr std::uint8_t Remove = 3;
inline constexpr std::uint8_t RemoveRelation = 4;
inline constexpr std::uint8_t Restore = 5;
inline constexpr std::uint8_t Rename = 10;
inline constexpr std::uint8_t AddLink = 20;
inline constexpr std::uint8_t RemoveLink = 21;
inline constexpr std::uint8_t Reorder = 22;
inline constexpr std::uint8_t MarkDrag = 32;
} // namespace ChangeType

namespace ChangeFlags {
// The link slot: 0 parent, 1 child, 2 from, 3 to.
inline constexpr std::uint8_t SlotMask = 0x3;
// The nodes concerned are relations.
inline constexpr std::uint8_t RelationKind = 0x4;
// The group goes on with the next record.
inline constexpr std::uint8_t Continues = 0x80;
} // namespace ChangeFlags

// ---------------------------------------------------------------------------------------------
// What records own

struct ReleaseBlock {
    void operator()(void* block) const { Release(block); }
};
struct DestroyList {
    void operator()(NodeList* list) const;
};
// A name in a heap block of its own.
using OwnedText = std::unique_ptr<char, ReleaseBlock>;
// Link positions as recordPositions gives them.
using OwnedPositions = std::unique_ptr<std::int32_t, ReleaseBlock>;
using OwnedList = std::unique_ptr<NodeList, DestroyList>;

// A copy of `text`; null for null, and when memory ran out.
OwnedText CopyText(const char* text);
// A copy of `list`; null for null, and when memory ran out.
OwnedList CopyList(const NodeList* list);
// A list of a slot's nodes, null for an empty slot.
OwnedList CopyList(NodeSlot slot);

// Where the nodes a step took out of the network stood in their table buckets, in the order
// they left, noted in the step's inverse so that it puts each back at its old place.
class TablePlaces {
public:
    // Without memory for them nothing is noted, and the nodes go back to the ends of their
    // buckets.
    void note(const std::vector<std::int32_t>& places);
    // Where the k-th of the `count` nodes a record puts back goes: the place noted, or -1 (the
    // end) when none were noted, or another number of them.
    std::int32_t at(int k, int count) const;

private:
    OwnedPositions m_places;
    std::int32_t m_count = 0;
};

// ---------------------------------------------------------------------------------------------
// The kinds of record. Nodes that are in the network are only pointed at.

// A new node linked to `at` in the record's slot as the link's second end; `relation` names the
// relation of a property link.
struct InsertStep {
    static constexpr std::uint8_t kind = ChangeType::Insert;
    Node* at = nullptr;
    OwnedText name;
    OwnedText relation;
};

// The node taken out of the network; its inverse Restore holds it detached from then on.
struct DeleteStep {
    static constexpr std::uint8_t kind = ChangeType::Delete;
    Node* node = nullptr;
};

// The node of this name destroyed, with the relation named by `relation` when nothing else
// uses it (an empty name: no relation goes).
struct RemoveStep {
    static constexpr std::uint8_t kind = ChangeType::Remove;
    OwnedText name;
    OwnedText relation;
};

// As RemoveStep, of a relation whatever the record's flags say.
struct RemoveRelationStep {
    static constexpr std::uint8_t kind = ChangeType::RemoveRelation;
    OwnedText name;
    OwnedText relation;
};

// A detached node put back, its neighbours' links at the recorded positions. The node is not
// the network's while detached: the record that holds it destroys it when it is released with
// its network and that network does not hold the node (ReleaseRecord).
struct RestoreStep {
    static constexpr std::uint8_t kind = ChangeType::Restore;
    RestoreStep(Node* detached, OwnedPositions recorded)
        : node(detached), positions(std::move(recorded)) {}
    Node* node;
    OwnedPositions positions;
    TablePlaces places;
};

// The node named `from` takes the name `to`.
struct RenameStep {
    static constexpr std::uint8_t kind = ChangeType::Rename;
    RenameStep(OwnedText present, OwnedText next) : from(std::move(present)), to(std::move(next)) {}
    OwnedText from;
    OwnedText to;
    TablePlaces places;
};

// A link from `first` to `second` in the record's slot: an isa link in slot 0 or 1, a property
// of the relation named `relation` in slot 2 or 3.
struct AddLinkStep {
    static constexpr std::uint8_t kind = ChangeType::AddLink;
    AddLinkStep(Node* from, Node* to, OwnedText relationName)
        : first(from), second(to), relation(std::move(relationName)) {}
    Node* first;
    Node* second;
    OwnedText relation;
    // Left by the step that removed the property this record makes again: its key and its
    // link positions, so that it comes back as it was.
    OwnedText propertyKey;
    OwnedPositions linkPositions;
    TablePlaces places;
    // Left by the step that removed the isa link this record makes again: where `first` stood
    // in the list of `second` (the record's position says where `second` stood in first's).
    // -1: at the end.
    std::int32_t backPosition = -1;
};

struct RemoveLinkStep {
    static constexpr std::uint8_t kind = ChangeType::RemoveLink;
    Node* first = nullptr;
    Node* second = nullptr;
    OwnedText relation;
};

// The node's slot takes the order of `order`, which holds the same neighbours.
struct ReorderStep {
    static constexpr std::uint8_t kind = ChangeType::Reorder;
    Node* node = nullptr;
    OwnedList order;
};

// The record's position says whether the drag mark on the elements of the node's slot is set
// (1) or cleared (0). For the views only.
struct MarkDragStep {
    static constexpr std::uint8_t kind = ChangeType::MarkDrag;
    Node* node = nullptr;
};

using ChangeStep = std::variant<InsertStep, DeleteStep, RemoveStep, RemoveRelationStep, RestoreStep,
                                RenameStep, AddLinkStep, RemoveLinkStep, ReorderStep, MarkDragStep>;

// The steps that take a link step or a rename back: the same ends and relation, or the names
// swapped, copied. A text that could not be copied is left null, which the network refuses.
RemoveLinkStep ReversedStep(const AddLinkStep& step);
AddLinkStep ReversedStep(const RemoveLinkStep& step);
RenameStep ReversedStep(const RenameStep& step);

// One step of an edit in its group.
struct ChangeRecord : HeapObject {
    ChangeRecord(ChangeStep recorded, int withFlags, std::int32_t at)
        : step(std::move(recorded)), flags(static_cast<std::uint8_t>(withFlags)), position(at) {}
    // Linked into its list by address.
    ChangeRecord(const ChangeRecord&) = delete;
    ChangeRecord& operator=(const ChangeRecord&) = delete;

    ChangeRecord* next = nullptr;
    ChangeRecord* previous = nullptr;
    ChangeStep step;
    std::uint8_t flags = 0;
    // A position in a link list (-1: at the end), or a value for the views.
    std::int32_t position = -1;
    // Set on a step whose inverse went on the undo stack, so that a refused edit can be taken
    // back with exactly the inverses of the steps that applied.
    bool hasInverse = false;
    // While the edit is pending: the inverse RecordChange pushed for this step. Applying the
    // step leaves in it what Undo needs to give back the table's order too, which the network
    // file and the views follow.
    ChangeRecord* inverse = nullptr;

    std::uint8_t kind() const {
        return std::visit([](const auto& s) { return std::decay_t<decltype(s)>::kind; }, step);
    }
    template <class Step> Step* as() { return std::get_if<Step>(&step); }
    template <class Step> const Step* as() const { return std::get_if<Step>(&step); }
    template <class Step> bool is() const { return std::holds_alternative<Step>(step); }

    int slot() const { return flags & ChangeFlags::SlotMask; }
    int relationKind() const { return (flags & ChangeFlags::RelationKind) != 0; }
    bool continues() const { return (flags & ChangeFlags::Continues) != 0; }
    // A property link: slot from or to.
    bool propertyLink() const { return (flags & 0x2) != 0; }
};

// Applies one record to the network; true on success.
bool ApplyToNetwork(Network& net, ChangeRecord* record);
// The relation of the network with this name, made and inserted when there is none.
Node* FindOrMakeRelation(Network& net, const char* name);

// Releases one record and what it owns. With `detachedFrom` the node a Restore holds is
// destroyed, with the properties that hang only on it, unless that network holds it again;
// without, the node is left alone, as when the edit never applied.
void ReleaseRecord(ChangeRecord* record, const Network* detachedFrom);

} // namespace tarvo
