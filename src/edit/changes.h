// Change records: every edit of the network is a group of records that the network applies
// first and every open view then applies to its own nodes. The inverse records of each edit
// form the undo stack; applied groups are kept as the history.
#pragma once

#include "memory/heap_object.h"

#include <cstdint>

namespace tarvo {

class Network;
class Node;
class NodeList;

namespace ChangeType {
// first: the node the new one is linked to; second: the new node's name; third: the relation's
// name for a property link. The new node is the second end of the link.
inline constexpr std::uint8_t Insert = 1;
// first: the node, taken out of the network and kept alive detached.
inline constexpr std::uint8_t Delete = 2;
// first: the name of the node to destroy; third: the name of a relation to destroy with it.
inline constexpr std::uint8_t Remove = 3;
// As Remove, of a relation whatever the flags say.
inline constexpr std::uint8_t RemoveRelation = 4;
// first: a detached node; second: its recorded link positions. Puts it back.
inline constexpr std::uint8_t Restore = 5;
// Two node lists; only ever released.
inline constexpr std::uint8_t TwoLists = 7;
// first: the node's present name; second: its new name.
inline constexpr std::uint8_t Rename = 10;
// first, second: the two ends; third: the relation's name for a property link.
inline constexpr std::uint8_t AddLink = 20;
inline constexpr std::uint8_t RemoveLink = 21;
// first: the node; second: the slot's new order (a NodeList).
inline constexpr std::uint8_t Reorder = 22;
// first: the node; position: 1 sets, 0 clears the drag mark on the slot's elements. Views only.
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

// One step of an edit. The record owns what its operands point to except nodes that are in the
// network: names, relation names, node lists and position arrays are its own, and a node it
// holds detached (Restore) is destroyed with it when asked.
struct ChangeRecord : HeapObject {
    ChangeRecord* next = nullptr;
    ChangeRecord* previous = nullptr;
    std::uint8_t type = 0;
    std::uint8_t flags = 0;
    void* first = nullptr;
    void* second = nullptr;
    char* third = nullptr;
    // A position in a link list (-1: at the end), or a value for the views.
    std::int32_t position = -1;
    // Set on a step whose inverse went on the undo stack, so that a refused edit can be taken
    // back with exactly the inverses of the steps that applied.
    bool hasInverse = false;
    // While the edit is pending: the inverse RecordChange pushed for this step. Applying the
    // step leaves in it what Undo needs to give back the table's order too, which the network
    // file and the views follow: the fields below.
    ChangeRecord* inverse = nullptr;
    // Left in an inverse by its step: the places in their table buckets of the nodes the step
    // took out, in the order they left (Allocate-d, `placeCount` of them). The inverse puts the
    // nodes back in the reverse order, so that each lands at its old place.
    std::int32_t* tablePlaces = nullptr;
    std::int32_t placeCount = 0;
    // Left in the inverse of a removed property link: the property's key and its link positions
    // as recordPositions gives them (Allocate-d), so that the property is made again as it was.
    char* propertyKey = nullptr;
    std::int32_t* linkPositions = nullptr;

    int slot() const { return flags & ChangeFlags::SlotMask; }
    int relationKind() const { return (flags & ChangeFlags::RelationKind) != 0; }
    bool continues() const { return (flags & ChangeFlags::Continues) != 0; }
    // A property link: slot from or to.
    bool propertyLink() const { return (flags & 0x2) != 0; }
    Node* firstNode() const { return static_cast<Node*>(first); }
    Node* secondNode() const { return static_cast<Node*>(second); }
    const char* firstText() const { return static_cast<const char*>(first); }
    const char* secondText() const { return static_cast<const char*>(second); }
    NodeList* secondList() const { return static_cast<NodeList*>(second); }
};

// What the program keeps of edits.
inline constexpr int kKeepUndo = 1;
inline constexpr int kKeepHistory = 2;

// Told of every group the network applied, to apply it to its own nodes. Answers false when it
// could not find a node the group names; the group then stops for that listener.
class ChangeListener {
public:
    virtual bool applyChanges(const ChangeRecord* group) = 0;

protected:
    ~ChangeListener() = default;
};

// The edits of one network.
struct ChangeState {
    // The records of the edit being built, in order.
    ChangeRecord* pending = nullptr;
    // Applied groups, oldest first.
    ChangeRecord* history = nullptr;
    // Inverse records, newest first.
    ChangeRecord* undo = nullptr;
    int editingOptions = kKeepUndo | kKeepHistory;
    // The inverse records the pending edit pushed on the undo stack: they head it.
    int pendingUndo = 0;
};
ChangeState& changes(Network& net);

// The operands of a step, or of its inverse, as RecordChange takes them. Each operand given is
// taken over by the record; for the inverse, an operand left zero is copied from the step.
struct ChangeStep {
    std::uint8_t type = 0;
    void* first = nullptr;
    void* second = nullptr;
    char* third = nullptr;
};

// Appends a record of `step` to the pending group (bit 7 set) with the given slot and flags,
// and with the undo option pushes the inverse (type 0: none) on the undo stack; the inverse
// continues its group unless it is the edit's first step. The appended record, or null when
// memory ran out.
ChangeRecord* RecordChange(Network& net, const ChangeStep& step, const ChangeStep& inverse,
                           int flags, std::int32_t position);

// Applies one record to the network; true on success.
bool ApplyToNetwork(Network& net, ChangeRecord* record);
// Applies the first group of the list; false at the first record that fails.
bool ApplyGroupToNetwork(Network& net, ChangeRecord* list);
// The relation of the network with this name, made and inserted when there is none.
Node* FindOrMakeRelation(Network& net, const char* name);

// Applies the list's first group to the network and, when all of it applied, to every
// listener. True when the network applied the whole group.
bool SendChanges(Network& net, ChangeRecord* list);
// Sends the pending group; then keeps it as history or releases it. When the network refused
// it, what of it applied is taken back with the edit's undo records, which are then dropped, so
// that the network, the views and the undo stack still agree. True when it applied.
bool CommitEdit(Network& net);
// Forgets the pending group and the undo records it pushed, for an edit given up.
void AbandonEdit(Network& net);
// Sends the newest group of the undo stack, releases it and drops the last history group.
// False when there is nothing to undo, while an edit is pending (its inverses head the stack),
// or when the network refused it.
bool UndoLastEdit(Network& net);

// The listeners hear of the groups of this network only.
void AddChangeListener(Network& net, ChangeListener* listener);
void RemoveChangeListener(Network& net, ChangeListener* listener);

// Releases records from the head of the list: all of them, or the first group. Returns the
// rest. With `destroyDetached` a node held detached is destroyed, with the properties that hang
// only on it; a node that was restored belongs to the network again and stays.
ChangeRecord* ReleaseGroup(Network& net, ChangeRecord* list, bool all, bool destroyDetached);
// Releases the list's last group; the list, or null when it became empty.
ChangeRecord* DropLastGroup(Network& net, ChangeRecord* list);
// Releases one record and what it owns, by its type.
void ReleaseRecord(Network& net, ChangeRecord* record, bool destroyDetached);
// History released, the undo stack released with its detached nodes, the pending group dropped.
// The network does this itself when it goes.
void ReleaseChanges(Network& net);

} // namespace tarvo
