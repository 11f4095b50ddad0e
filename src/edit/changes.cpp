// Change records: grouping, the network side of each type, the undo stack and the history.
#include "edit/changes.h"

#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "model/node.h"
#include "model/node_list.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// ---------------------------------------------------------------------------------------------
// Nodes in and out of the network

// True when this very node is in the network's table.
bool inNetwork(const Network& net, const Node* n) {
    return net.holds(n);
}

// Takes this very node out of the table; answers its place in its bucket, -1 when it was not
// there.
int takeOut(Network& net, Node* n) {
    int place = -1;
    return inNetwork(net, n) && net.take(n->keyText(), n->relationKind(), &place) == n ? place
                                                                                        : -1;
}

// Leaves in the step's inverse where the nodes the step took out stood in their buckets, in the
// order they left. Without room for them Undo puts the nodes back at the ends of their buckets.
void notePlaces(ChangeRecord& r, const std::vector<std::int32_t>& places) {
    ChangeRecord* inverse = r.inverse;
    if (!inverse)
        return;
    Release(inverse->tablePlaces);
    inverse->tablePlaces = nullptr;
    inverse->placeCount = 0;
    const auto count = static_cast<std::int32_t>(places.size());
    auto* copy = static_cast<std::int32_t*>(Allocate(
        static_cast<std::int32_t>(static_cast<std::size_t>(count) * sizeof(std::int32_t))));
    if (!copy)
        return;
    std::copy(places.begin(), places.end(), copy);
    inverse->tablePlaces = copy;
    inverse->placeCount = count;
}

// Where the k-th of the `count` nodes a record puts back goes in its bucket: the place its step
// noted, or the end when the step noted none (or noted another number of nodes).
std::int32_t placeFor(const ChangeRecord& r, int k, int count) {
    return r.tablePlaces && r.placeCount == count ? r.tablePlaces[k] : -1;
}

bool hasLinks(const Node* n) {
    for (int slot = 0; slot < n->linkSlotCount; ++slot)
        if (n->slots[slot])
            return true;
    return false;
}

// The properties among N's neighbours in the slots from `firstSlot` on, each once, in slot and
// list order.
std::vector<Node*> propertiesOf(const Node* n, int firstSlot = ParentSlot) {
    std::vector<Node*> found;
    for (int slot = firstSlot; slot < n->linkSlotCount; ++slot)
        forEachNode(n->slots[slot], [&](NodeBase* x) {
            Node* p = asNode(x);
            if (p->isProperty() && std::find(found.begin(), found.end(), p) == found.end())
                found.push_back(p);
        });
    return found;
}

// A node's own properties: those it holds as an end. Once the node is detached they hang on it
// alone, so they leave the table with it, come back with it, and are destroyed with it.
std::vector<Node*> ownProperties(const Node* n) {
    return propertiesOf(n, FromSlot);
}

// Takes a node of the network out of it for good: its properties are unlinked, taken out of the
// table and destroyed first, so that nothing left in the network points at what goes. Answers
// the node's place in its bucket.
int discardNode(Network& net, Node* n) {
    for (Node* p : propertiesOf(n)) {
        detachNode(p);
        takeOut(net, p);
        p->destroy();
    }
    const int place = takeOut(net, n);
    detachNode(n);
    n->destroy();
    return place;
}

// Destroys a node held detached with its own properties; the network is not touched, since it
// no longer refers to either (and may have gone already).
void destroyDetachedNode(Node* n) {
    for (Node* p : ownProperties(n))
        p->destroy();
    n->destroy();
}

// ---------------------------------------------------------------------------------------------
// Links

bool bothSides(const Node* n, int slot, const Node* x) {
    return positionOf(n, slot, x) >= 0 && positionOf(x, slot ^ 1, n) >= 0;
}

// Adds the link of a type 20 record r (and of an insert) from first to second: an isa link in
// slot 0 or 1, a property of r's relation in slot 2 or 3. A property that r's step removed
// comes back under its key, at its place in the table and in its neighbours' lists. Nothing
// changes when it fails.
bool addLink(Network& net, Node* first, int slot, Node* second, const ChangeRecord& r) {
    if (!first || !second || !first->slots || !second->slots)
        return false;
    if (slot < FromSlot) {
        insertLinkPair(first, slot, second, r.position, 1);
        if (bothSides(first, slot, second))
            return true;
        unlink(first, slot, second);
        return false;
    }
    Node* relation = FindOrMakeRelation(net, r.third);
    if (!relation)
        return false;
    auto* property =
        new Property(relation, first, second, slot == FromSlot, r.position, net.labelIds());
    if (!property)
        return false;
    // A key is never given twice, so none other can have it; the check is for safety only.
    if (r.propertyKey && !net.find(r.propertyKey, 1))
        if (char* key = DuplicateText(r.propertyKey)) {
            Release(property->key);
            property->key = key;
        }
    if (!property->slots || !net.addAt(property, placeFor(r, 0, 1))) {
        detachNode(property);
        property->destroy();
        return false;
    }
    restorePositions(property, r.linkPositions);
    return true;
}

// The property of `relation` that joins first to second in the slot, preferring the one at
// `position` of first's list; null when there is none.
Node* findProperty(Node* first, int slot, Node* second, const Node* relation, int position) {
    auto joins = [&](NodeBase* x) {
        const Node* p = asNode(x);
        return x && p->isProperty() && p->first(slot) == second && p->first(ParentSlot) == relation;
    };
    const NodeList* list = first->slotList(slot);
    if (!list)
        return nullptr;
    if (NodeBase* at = position >= 0 ? list->nodeAt(position) : nullptr; joins(at))
        return asNode(at);
    Node* found = nullptr;
    forEachNode(list, [&](NodeBase* x) {
        if (!found && joins(x))
            found = asNode(x);
    });
    return found;
}

// True when `list` holds the nodes of the present list, each as often, in any order: a new
// order that dropped or added a neighbour would leave the back links wrong.
bool sameNeighbours(const NodeList* present, const NodeList* list) {
    std::vector<NodeBase*> a;
    std::vector<NodeBase*> b;
    forEachNode(present, [&](NodeBase* x) { a.push_back(x); });
    forEachNode(list, [&](NodeBase* x) { b.push_back(x); });
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

// ---------------------------------------------------------------------------------------------
// The network effect of each type

bool applyInsert(Network& net, ChangeRecord& r) {
    Node* at = r.firstNode();
    const int slot = r.slot();
    if (!at || !r.secondText() || (r.propertyLink() && !r.third))
        return false;
    Node* made = r.relationKind() ? static_cast<Node*>(new Relation) : new Node;
    if (!made)
        return false;
    made->setName(r.secondText(), 1);
    if (!made->name || !net.add(made)) {
        made->destroy();
        return false;
    }
    if (addLink(net, at, slot, made, r))
        return true;
    discardNode(net, made);
    return false;
}

bool applyDelete(Network& net, ChangeRecord& r) {
    Node* n = r.firstNode();
    if (!inNetwork(net, n))
        return false;
    const std::vector<Node*> own = ownProperties(n);
    detachNode(n);
    std::vector<std::int32_t> places{takeOut(net, n)};
    for (Node* p : own)
        places.push_back(takeOut(net, p));
    notePlaces(r, places);
    return true;
}

bool removeNamed(Network& net, ChangeRecord& r, int relationKind) {
    Node* n = r.firstText() ? net.find(r.firstText(), relationKind) : nullptr;
    if (!n)
        return false;
    discardNode(net, n);
    // A relation made for the removed node goes with it, but one that other links still use
    // stays: destroying it would leave them pointing at nothing.
    if (r.third && *r.third)
        if (Node* relation = net.find(r.third, 1);
            relation && !relation->isProperty() && !hasLinks(relation))
            discardNode(net, relation);
    return true;
}

bool applyRemove(Network& net, ChangeRecord& r) {
    return removeNamed(net, r, r.relationKind());
}

bool applyRemoveRelation(Network& net, ChangeRecord& r) {
    return removeNamed(net, r, 1);
}

bool applyRestore(Network& net, ChangeRecord& r) {
    Node* n = r.firstNode();
    // Restoring a node whose name another node has taken meanwhile would relink it without a
    // place in the table; without recorded positions its neighbours would miss their links.
    if (!n || net.find(n->keyText(), n->relationKind()) || (!r.second && hasLinks(n)))
        return false;
    restorePositions(n, static_cast<const std::int32_t*>(r.second));
    // In the reverse order of the delete, so that each node lands at its old place.
    const std::vector<Node*> own = ownProperties(n);
    const int count = static_cast<int>(own.size()) + 1;
    for (int k = count - 1; k > 0; --k)
        if (!inNetwork(net, own[static_cast<std::size_t>(k - 1)]))
            net.addAt(own[static_cast<std::size_t>(k - 1)], placeFor(r, k, count));
    net.addAt(n, placeFor(r, 0, count));
    return true;
}

bool applyRename(Network& net, ChangeRecord& r) {
    const int kind = r.relationKind();
    Node* n = r.firstText() ? net.find(r.firstText(), kind) : nullptr;
    if (!n || !r.secondText())
        return false;
    // Checked before the node leaves the table: the table would refuse it back under a name
    // another node has, and the node would be lost to every lookup and to the next save.
    if (Node* other = net.find(r.secondText(), kind); other && other != n)
        return false;
    char* name = DuplicateText(r.secondText());
    const int place = name ? takeOut(net, n) : -1;
    if (place < 0) {
        Release(name);
        return false;
    }
    Release(n->name);
    n->setName(name, 0);
    net.addAt(n, placeFor(r, 0, 1));
    notePlaces(r, {place});
    // The properties show their ends' names.
    for (Node* p : propertiesOf(n))
        static_cast<Property*>(p)->makeName();
    return true;
}

bool applyAddLink(Network& net, ChangeRecord& r) {
    return addLink(net, r.firstNode(), r.slot(), r.secondNode(), r);
}

bool applyRemoveLink(Network& net, ChangeRecord& r) {
    Node* first = r.firstNode();
    Node* second = r.secondNode();
    const int slot = r.slot();
    if (!first || !second)
        return false;
    if (slot < FromSlot) {
        // Both sides are checked first, so that a half-present link is not half removed.
        return bothSides(first, slot, second) && unlink(first, slot, second);
    }
    // A removal never makes a relation: without one there is no property to remove.
    Node* relation = r.third ? net.find(r.third, 1) : nullptr;
    Node* property = relation ? findProperty(first, slot, second, relation, r.position) : nullptr;
    if (!property)
        return false;
    // What the inverse needs to make the property again as it was.
    if (ChangeRecord* inverse = r.inverse) {
        Release(inverse->propertyKey);
        Release(inverse->linkPositions);
        inverse->propertyKey = DuplicateText(property->key);
        inverse->linkPositions = recordPositions(property);
    }
    notePlaces(r, {discardNode(net, property)});
    return true;
}

bool applyReorder(Network&, ChangeRecord& r) {
    Node* n = r.firstNode();
    const int slot = r.slot();
    if (!n || slot >= n->linkSlotCount || !sameNeighbours(n->slotList(slot), r.secondList()))
        return false;
    // The record keeps its own list: the node gets a copy, and an empty slot stays null.
    NodeList* installed = listSize(r.secondList()) ? r.secondList()->copy() : nullptr;
    if (listSize(r.secondList()) && !installed)
        return false;
    replaceSlot(n, slot, installed);
    return true;
}

bool applyMarkDrag(Network&, ChangeRecord&) {
    return true;
}

// ---------------------------------------------------------------------------------------------
// The record types

// What an operand of a record is; the record owns every operand but nodes, and a detached node
// when asked to.
enum class Operand : std::uint8_t { None, Node, Detached, Text, List, Positions };

struct TypeInfo {
    std::uint8_t type;
    Operand first;
    Operand second;
    bool (*apply)(Network& net, ChangeRecord& record);
};

// `third` is always a name of the record's own, so it is left out.
constexpr TypeInfo kTypes[] = {
    {ChangeType::Insert, Operand::Node, Operand::Text, applyInsert},
    {ChangeType::Delete, Operand::Node, Operand::None, applyDelete},
    {ChangeType::Remove, Operand::Text, Operand::None, applyRemove},
    {ChangeType::RemoveRelation, Operand::Text, Operand::None, applyRemoveRelation},
    {ChangeType::Restore, Operand::Detached, Operand::Positions, applyRestore},
    {ChangeType::TwoLists, Operand::List, Operand::List, nullptr},
    {ChangeType::Rename, Operand::Text, Operand::Text, applyRename},
    {ChangeType::AddLink, Operand::Node, Operand::Node, applyAddLink},
    {ChangeType::RemoveLink, Operand::Node, Operand::Node, applyRemoveLink},
    {ChangeType::Reorder, Operand::Node, Operand::List, applyReorder},
    {ChangeType::MarkDrag, Operand::Node, Operand::None, applyMarkDrag},
};

const TypeInfo* typeInfo(std::uint8_t type) {
    for (const TypeInfo& info : kTypes)
        if (info.type == type)
            return &info;
    return nullptr;
}

// With `detachedFrom`, a node held detached is destroyed unless that network holds it again.
void releaseOperand(void*& operand, Operand kind, const Network* detachedFrom) {
    if (!operand)
        return;
    switch (kind) {
    case Operand::Text:
    case Operand::Positions:
        Release(operand);
        break;
    case Operand::List:
        static_cast<NodeList*>(operand)->destroy();
        break;
    case Operand::Detached:
        // A restored node belongs to the network again.
        if (Node* n = static_cast<Node*>(operand); detachedFrom && !inNetwork(*detachedFrom, n))
            destroyDetachedNode(n);
        break;
    case Operand::None:
    case Operand::Node:
        break;
    }
    operand = nullptr;
}

void releaseOperands(ChangeRecord& r, const Network* detachedFrom) {
    const TypeInfo* info = typeInfo(r.type);
    releaseOperand(r.first, info ? info->first : Operand::None, detachedFrom);
    releaseOperand(r.second, info ? info->second : Operand::None, detachedFrom);
    Release(r.third);
    r.third = nullptr;
}

bool isNode(Operand kind) {
    return kind == Operand::Node || kind == Operand::Detached;
}

// An inverse's operand taken from the step: nodes shared, names and lists copied. False when
// memory ran out.
bool copyOperand(void*& to, Operand toKind, const void* from, Operand fromKind) {
    if (to || toKind == Operand::None || !from)
        return true;
    if (isNode(toKind) && isNode(fromKind)) {
        to = const_cast<void*>(from);
    } else if (toKind == Operand::Text && fromKind == Operand::Text) {
        to = DuplicateText(static_cast<const char*>(from));
    } else if (toKind == Operand::List && fromKind == Operand::List) {
        to = static_cast<const NodeList*>(from)->copy();
    } else {
        assert(false && "RecordChange: an inverse operand of another kind than the step's");
        return true;
    }
    return to != nullptr;
}

// Releases the operands a step was given, for a step that is not kept.
void releaseStep(const ChangeStep& step) {
    ChangeRecord given;
    given.type = step.type;
    given.first = step.first;
    given.second = step.second;
    given.third = step.third;
    releaseOperands(given, nullptr);
}

// Releases one record and what it owns, by its type; see releaseOperand for `detachedFrom`.
void releaseRecord(ChangeRecord* record, const Network* detachedFrom) {
    if (!record)
        return;
    releaseOperands(*record, detachedFrom);
    Release(record->tablePlaces);
    Release(record->propertyKey);
    Release(record->linkPositions);
    delete record;
}

ChangeRecord* releaseGroup(ChangeRecord* list, bool all, const Network* detachedFrom) {
    while (list) {
        ChangeRecord* record = list;
        list = list->next;
        const bool last = !record->continues();
        releaseRecord(record, detachedFrom);
        if (last && !all)
            break;
    }
    if (list)
        list->previous = nullptr;
    return list;
}

ChangeRecord* makeRecord(const ChangeStep& step, int flags, std::int32_t position) {
    auto* record = new ChangeRecord;
    if (!record)
        return nullptr;
    record->type = step.type;
    record->flags = static_cast<std::uint8_t>(flags);
    record->first = step.first;
    record->second = step.second;
    record->third = step.third;
    record->position = position;
    return record;
}

// The inverse of `step` with the operands it was not given taken from the step; null when
// memory ran out, with what it took released.
ChangeRecord* makeInverse(const ChangeStep& step, const ChangeStep& inverse, int flags,
                          std::int32_t position) {
    ChangeRecord* record = makeRecord(inverse, flags, position);
    if (!record) {
        releaseStep(inverse);
        return nullptr;
    }
    const TypeInfo* from = typeInfo(step.type);
    const TypeInfo* to = typeInfo(inverse.type);
    const Operand none = Operand::None;
    void* third = record->third;
    bool copied =
        copyOperand(record->first, to ? to->first : none, step.first, from ? from->first : none) &&
        copyOperand(record->second, to ? to->second : none, step.second,
                    from ? from->second : none) &&
        copyOperand(third, Operand::Text, step.third, Operand::Text);
    record->third = static_cast<char*>(third);
    if (copied)
        return record;
    releaseRecord(record, nullptr);
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Lists

ChangeRecord* lastOf(ChangeRecord* list) {
    while (list && list->next)
        list = list->next;
    return list;
}

// Appends `tail` (a list) to `list` and answers the joined list.
ChangeRecord* append(ChangeRecord* list, ChangeRecord* tail) {
    ChangeRecord* last = lastOf(list);
    if (!last)
        return tail;
    last->next = tail;
    if (tail)
        tail->previous = last;
    return list;
}

// Applies the list's first group; `applied` receives how many of its records applied.
bool applyGroup(Network& net, ChangeRecord* list, int* applied) {
    *applied = 0;
    if (!list)
        return false;
    for (ChangeRecord* r = list; r; r = r->next) {
        if (!ApplyToNetwork(net, r))
            return false;
        ++*applied;
        if (!r->continues())
            break;
    }
    return true;
}

// Forgets the pending group and the undo records it pushed.
void abandon(ChangeState& state) {
    // The nodes the edit would have deleted are still in the network.
    state.pending = releaseGroup(state.pending, true, nullptr);
    if (std::exchange(state.pendingUndo, 0))
        state.undo = releaseGroup(state.undo, false, nullptr);
}

// Every record of the state; detached nodes of the undo stack that `net` does not hold again
// are destroyed.
void releaseAll(const Network& net, ChangeState& state) {
    // First, while the nodes an unsent edit names are surely still there.
    abandon(state);
    state.undo = releaseGroup(state.undo, true, &net);
    state.history = releaseGroup(state.history, true, nullptr);
}

// The edits of one network: what ChangeState keeps, and the views told of each group.
class EditHistory : public NetworkPart {
public:
    explicit EditHistory(Network& net) : m_network(net) {}
    ~EditHistory() override {
        // While the network's nodes are still there: the undo stack's detached nodes are told
        // apart from restored ones by looking them up.
        releaseAll(m_network, state);
    }
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    ChangeState state;
    std::vector<ChangeListener*> listeners;
    // Above zero while listeners are being told: removals then leave a gap, closed afterwards.
    int telling = 0;

private:
    const Network& m_network;
};

EditHistory& historyOf(Network& net) {
    std::unique_ptr<NetworkPart>& part = net.historyPart();
    if (!part)
        part = std::make_unique<EditHistory>(net);
    return static_cast<EditHistory&>(*part);
}

// Undoes the first `applied` records of a refused pending group with the inverses the edit
// pushed: those of the later steps head the undo stack, the ones needed come after them, newest
// first. True when everything that applied was taken back.
bool takeBack(Network& net, const ChangeRecord* group, int applied) {
    int later = 0;
    int needed = 0;
    int index = 0;
    for (const ChangeRecord* r = group; r; r = r->next, ++index) {
        if (r->hasInverse)
            ++(index < applied ? needed : later);
        else if (index < applied && r->type != ChangeType::MarkDrag)
            return false;
    }
    ChangeRecord* inverse = changes(net).undo;
    for (; inverse && later > 0; --later)
        inverse = inverse->next;
    for (; inverse && needed > 0; --needed, inverse = inverse->next)
        if (!ApplyToNetwork(net, inverse))
            return false;
    return needed == 0;
}

void tellListeners(Network& net, const ChangeRecord* group) {
    EditHistory& all = historyOf(net);
    ++all.telling;
    // A listener added meanwhile is not told: it starts from the network as it is now.
    for (std::size_t i = 0, count = all.listeners.size(); i < count; ++i)
        if (ChangeListener* listener = all.listeners[i])
            listener->applyChanges(group);
    if (--all.telling == 0)
        std::erase(all.listeners, nullptr);
}

bool sendGroup(Network& net, ChangeRecord* list, int* applied) {
    if (!applyGroup(net, list, applied))
        return false;
    tellListeners(net, list);
    return true;
}

} // namespace

ChangeState& changes(Network& net) {
    return historyOf(net).state;
}

ChangeRecord* RecordChange(Network& net, const ChangeStep& step, const ChangeStep& inverse,
                           int flags, std::int32_t position) {
    ChangeState& state = changes(net);
    ChangeRecord* record = makeRecord(step, flags | ChangeFlags::Continues, position);
    if (!record) {
        releaseStep(step);
        releaseStep(inverse);
        return nullptr;
    }
    if (!inverse.type || !(state.editingOptions & kKeepUndo)) {
        releaseStep(inverse);
    } else {
        // Whether the inverse continues its group goes by the inverses this edit pushed, not by
        // its steps: a first step without an inverse must not join this edit to the one before.
        const int kept = flags & (ChangeFlags::SlotMask | ChangeFlags::RelationKind);
        ChangeRecord* undo = makeInverse(
            step, inverse, kept | (state.pendingUndo ? ChangeFlags::Continues : 0), position);
        if (!undo) {
            releaseRecord(record, nullptr);
            return nullptr;
        }
        record->hasInverse = true;
        record->inverse = undo;
        undo->next = state.undo;
        if (state.undo)
            state.undo->previous = undo;
        state.undo = undo;
        ++state.pendingUndo;
    }
    state.pending = append(state.pending, record);
    return record;
}

bool ApplyToNetwork(Network& net, ChangeRecord* record) {
    const TypeInfo* info = record ? typeInfo(record->type) : nullptr;
    if (!info || !info->apply)
        return false;
    if (!net.table() && record->type != ChangeType::MarkDrag)
        return false;
    return info->apply(net, *record);
}

bool ApplyGroupToNetwork(Network& net, ChangeRecord* list) {
    int applied = 0;
    return applyGroup(net, list, &applied);
}

Node* FindOrMakeRelation(Network& net, const char* name) {
    if (!name)
        return nullptr;
    if (Node* found = net.find(name, 1))
        return found->isProperty() ? nullptr : found;
    auto* relation = new Relation;
    if (!relation)
        return nullptr;
    relation->setName(name, 1);
    if (relation->name && net.add(relation))
        return relation;
    relation->destroy();
    return nullptr;
}

bool SendChanges(Network& net, ChangeRecord* list) {
    int applied = 0;
    return sendGroup(net, list, &applied);
}

bool CommitEdit(Network& net) {
    ChangeState& state = changes(net);
    // Taken out first: a listener may begin an edit of its own.
    ChangeRecord* group = std::exchange(state.pending, nullptr);
    const int pushed = std::exchange(state.pendingUndo, 0);
    if (!group)
        return false;
    int applied = 0;
    const bool whole = sendGroup(net, group, &applied);
    // The inverses are on the undo stack now, or about to be dropped.
    for (ChangeRecord* r = group; r; r = r->next)
        r->inverse = nullptr;
    bool changed = whole;
    if (!whole) {
        changed = applied > 0 && !takeBack(net, group, applied);
        // The nodes of a part that could not be taken back may still be shown by the views,
        // which were not told: they are not destroyed.
        if (pushed)
            state.undo = releaseGroup(state.undo, false, nullptr);
    }
    // Drag marks change how the views look, not the network: nothing to save or undo.
    bool marksOnly = true;
    for (const ChangeRecord* r = group; r; r = r->next)
        marksOnly = marksOnly && r->type == ChangeType::MarkDrag;
    if (marksOnly)
        changed = false;
    if (changed && (state.editingOptions & kKeepHistory)) {
        // Closed, so that the history's groups stay apart.
        lastOf(group)->flags &= static_cast<std::uint8_t>(~ChangeFlags::Continues);
        state.history = append(state.history, group);
    } else {
        releaseGroup(group, true, nullptr);
    }
    return whole;
}

void AbandonEdit(Network& net) {
    abandon(changes(net));
}

bool UndoLastEdit(Network& net) {
    ChangeState& state = changes(net);
    if (!state.undo || state.pending)
        return false;
    const bool applied = SendChanges(net, state.undo);
    // Restored nodes are in the network and stay; only those a refused undo left detached go.
    state.undo = releaseGroup(state.undo, false, &net);
    state.history = DropLastGroup(net, state.history);
    return applied;
}

void AddChangeListener(Network& net, ChangeListener* listener) {
    std::vector<ChangeListener*>& registered = historyOf(net).listeners;
    if (listener && std::find(registered.begin(), registered.end(), listener) == registered.end())
        registered.push_back(listener);
}

void RemoveChangeListener(Network& net, ChangeListener* listener) {
    EditHistory& all = historyOf(net);
    auto at = std::find(all.listeners.begin(), all.listeners.end(), listener);
    if (at == all.listeners.end())
        return;
    if (all.telling)
        *at = nullptr;
    else
        all.listeners.erase(at);
}

ChangeRecord* ReleaseGroup(Network& net, ChangeRecord* list, bool all, bool destroyDetached) {
    return releaseGroup(list, all, destroyDetached ? &net : nullptr);
}

ChangeRecord* DropLastGroup(Network&, ChangeRecord* list) {
    // The last group begins after the last record, other than the final one, that ends a group.
    ChangeRecord* start = list;
    for (ChangeRecord* r = list; r && r->next; r = r->next)
        if (!r->continues())
            start = r->next;
    if (!start)
        return nullptr;
    if (start->previous)
        start->previous->next = nullptr;
    const bool wholeList = start == list;
    releaseGroup(start, true, nullptr);
    return wholeList ? nullptr : list;
}

void ReleaseRecord(Network& net, ChangeRecord* record, bool destroyDetached) {
    releaseRecord(record, destroyDetached ? &net : nullptr);
}

void ReleaseChanges(Network& net) {
    releaseAll(net, changes(net));
}

} // namespace tarvo
