// Change records: what each kind of record does to the network, and what it owns.
#include "edit/change_records.h"

#include "containers/node_list.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "model/node.h"

#include <algorithm>
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
    return inNetwork(net, n) && net.take(n->keyText(), n->relationKind(), &place) == n ? place : -1;
}

// The places an inverse of this kind keeps; null for the kinds that put no node back.
TablePlaces* placesOf(ChangeRecord* r) {
    if (!r)
        return nullptr;
    return std::visit(
        [](auto& step) -> TablePlaces* {
            if constexpr (requires { step.places; })
                return &step.places;
            else
                return nullptr;
        },
        r->step);
}

// Leaves in the step's inverse where the nodes the step took out stood in their buckets.
void notePlaces(ChangeRecord& r, const std::vector<std::int32_t>& places) {
    if (TablePlaces* kept = placesOf(r.inverse))
        kept->note(places);
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

// The property of `relation` that joins first to second in the slot, preferring the one at
// `position` of first's list; null when there is none.
Node* findProperty(Node* first, int slot, Node* second, const Node* relation, int position) {
    auto joins = [&](NodeBase* x) {
        const Node* p = asNode(x);
        return x && p->isProperty() && p->first(slot) == second && p->first(ParentSlot) == relation;
    };
    const NodeSlot list = first->slotList(slot);
    if (!list)
        return nullptr;
    if (NodeBase* at = position >= 0 ? list.nodeAt(position) : nullptr; joins(at))
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
bool sameNeighbours(NodeSlot present, const NodeList* list) {
    std::vector<NodeBase*> a;
    std::vector<NodeBase*> b;
    forEachNode(present, [&](NodeBase* x) { a.push_back(x); });
    forEachNode(list, [&](NodeBase* x) { b.push_back(x); });
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

// ---------------------------------------------------------------------------------------------
// The network effect of each kind

// Adds the link of an AddLink (and of an Insert) from first to second: an isa link in slot 0
// or 1, a property of `relation` in slot 2 or 3. A property that the record's step removed
// comes back as `remade` says: under its key, at its place in the table and in its neighbours'
// lists. Nothing changes when it fails.
bool addLink(Network& net, Node* first, int slot, Node* second, const char* relationName,
             std::int32_t position, const AddLinkStep* remade) {
    if (!first || !second || !first->slots || !second->slots)
        return false;
    if (slot < FromSlot) {
        insertLink(first, slot, second, position, 1);
        insertLink(second, slot ^ 1, first, remade ? remade->backPosition : -1, 1);
        if (bothSides(first, slot, second))
            return true;
        unlink(first, slot, second);
        return false;
    }
    Node* relation = FindOrMakeRelation(net, relationName);
    if (!relation)
        return false;
    auto* property =
        new Property(relation, first, second, slot == FromSlot, position, net.labelIds());
    if (!property)
        return false;
    const char* key = remade ? remade->propertyKey.get() : nullptr;
    // A key is never given twice, so none other can have it; the check is for safety only.
    if (key && !net.find(key, 1))
        if (char* copy = DuplicateText(key)) {
            Release(property->key);
            property->key = copy;
        }
    const std::int32_t place = remade ? remade->places.at(0, 1) : -1;
    if (!property->slots || !net.addAt(property, place)) {
        detachNode(property);
        property->destroy();
        return false;
    }
    restorePositions(property, remade ? remade->linkPositions.get() : nullptr);
    return true;
}

bool apply(Network& net, InsertStep& s, ChangeRecord& r) {
    Node* at = s.at;
    if (!at || !s.name || (r.propertyLink() && !s.relation))
        return false;
    Node* made = r.relationKind() ? static_cast<Node*>(new Relation) : new Node;
    if (!made)
        return false;
    made->setName(s.name.get(), 1);
    if (!made->name || !net.add(made)) {
        made->destroy();
        return false;
    }
    if (addLink(net, at, r.slot(), made, s.relation.get(), r.position, nullptr))
        return true;
    discardNode(net, made);
    return false;
}

bool apply(Network& net, DeleteStep& s, ChangeRecord& r) {
    Node* n = s.node;
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

bool removeNamed(Network& net, const char* name, const char* relationName, int relationKind) {
    Node* n = name ? net.find(name, relationKind) : nullptr;
    if (!n)
        return false;
    discardNode(net, n);
    // A relation made for the removed node goes with it, but one that other links still use
    // stays: destroying it would leave them pointing at nothing.
    if (relationName && *relationName)
        if (Node* relation = net.find(relationName, 1);
            relation && !relation->isProperty() && !hasLinks(relation))
            discardNode(net, relation);
    return true;
}

bool apply(Network& net, RemoveStep& s, ChangeRecord& r) {
    return removeNamed(net, s.name.get(), s.relation.get(), r.relationKind());
}

bool apply(Network& net, RemoveRelationStep& s, ChangeRecord&) {
    return removeNamed(net, s.name.get(), s.relation.get(), 1);
}

bool apply(Network& net, RestoreStep& s, ChangeRecord&) {
    Node* n = s.node;
    // Restoring a node whose name another node has taken meanwhile would relink it without a
    // place in the table; without recorded positions its neighbours would miss their links.
    if (!n || net.find(n->keyText(), n->relationKind()) || (!s.positions && hasLinks(n)))
        return false;
    restorePositions(n, s.positions.get());
    // In the reverse order of the delete, so that each node lands at its old place.
    const std::vector<Node*> own = ownProperties(n);
    const int count = static_cast<int>(own.size()) + 1;
    for (int k = count - 1; k > 0; --k)
        if (!inNetwork(net, own[static_cast<std::size_t>(k - 1)]))
            net.addAt(own[static_cast<std::size_t>(k - 1)], s.places.at(k, count));
    net.addAt(n, s.places.at(0, count));
    return true;
}

bool apply(Network& net, RenameStep& s, ChangeRecord& r) {
    const int kind = r.relationKind();
    Node* n = s.from ? net.find(s.from.get(), kind) : nullptr;
    if (!n || !s.to)
        return false;
    // Checked before the node leaves the table: the table would refuse it back under a name
    // another node has, and the node would be lost to every lookup and to the next save.
    if (Node* other = net.find(s.to.get(), kind); other && other != n)
        return false;
    char* name = DuplicateText(s.to.get());
    const int place = name ? takeOut(net, n) : -1;
    if (place < 0) {
        Release(name);
        return false;
    }
    Release(n->name);
    n->setName(name, 0);
    net.addAt(n, s.places.at(0, 1));
    notePlaces(r, {place});
    // The properties show their ends' names.
    for (Node* p : propertiesOf(n))
        static_cast<Property*>(p)->makeName();
    return true;
}

bool apply(Network& net, AddLinkStep& s, ChangeRecord& r) {
    return addLink(net, s.first, r.slot(), s.second, s.relation.get(), r.position, &s);
}

bool apply(Network& net, RemoveLinkStep& s, ChangeRecord& r) {
    Node* first = s.first;
    Node* second = s.second;
    const int slot = r.slot();
    if (!first || !second)
        return false;
    if (slot < FromSlot) {
        // Both sides are checked first, so that a half-present link is not half removed.
        if (!bothSides(first, slot, second))
            return false;
        // The inverse puts both ends back where they stood, whatever position was recorded.
        if (ChangeRecord* remake = r.inverse; remake && remake->is<AddLinkStep>()) {
            remake->position = positionOf(first, slot, second);
            remake->as<AddLinkStep>()->backPosition = positionOf(second, slot ^ 1, first);
        }
        return unlink(first, slot, second);
    }
    // A removal never makes a relation: without one there is no property to remove.
    Node* relation = s.relation ? net.find(s.relation.get(), 1) : nullptr;
    Node* property = relation ? findProperty(first, slot, second, relation, r.position) : nullptr;
    if (!property)
        return false;
    // What the inverse needs to make the property again as it was.
    if (AddLinkStep* remake = r.inverse ? r.inverse->as<AddLinkStep>() : nullptr) {
        remake->propertyKey = CopyText(property->key);
        remake->linkPositions = OwnedPositions(recordPositions(property));
    }
    notePlaces(r, {discardNode(net, property)});
    return true;
}

bool apply(Network&, ReorderStep& s, ChangeRecord& r) {
    Node* n = s.node;
    const int slot = r.slot();
    const NodeList* order = s.order.get();
    if (!n || slot >= n->linkSlotCount || !sameNeighbours(n->slotList(slot), order))
        return false;
    // The record keeps its own list: the node gets a copy, and an empty slot stays null.
    NodeList* installed = listSize(order) ? order->copy() : nullptr;
    if (listSize(order) && !installed)
        return false;
    replaceSlot(n, slot, installed);
    return true;
}

bool apply(Network&, MarkDragStep&, ChangeRecord&) {
    return true;
}

} // namespace

void DestroyList::operator()(NodeList* list) const {
    if (list)
        list->destroy();
}

OwnedText CopyText(const char* text) {
    return OwnedText(DuplicateText(text));
}

OwnedList CopyList(const NodeList* list) {
    return OwnedList(list ? list->copy() : nullptr);
}

OwnedList CopyList(NodeSlot slot) {
    return OwnedList(slotToList(slot));
}

void TablePlaces::note(const std::vector<std::int32_t>& places) {
    m_places.reset();
    m_count = 0;
    const auto count = static_cast<std::int32_t>(places.size());
    auto* copy = static_cast<std::int32_t*>(Allocate(
        static_cast<std::int32_t>(static_cast<std::size_t>(count) * sizeof(std::int32_t))));
    if (!copy)
        return;
    std::copy(places.begin(), places.end(), copy);
    m_places.reset(copy);
    m_count = count;
}

std::int32_t TablePlaces::at(int k, int count) const {
    return m_places && m_count == count ? m_places.get()[k] : -1;
}

RemoveLinkStep ReversedStep(const AddLinkStep& step) {
    return RemoveLinkStep{step.first, step.second, CopyText(step.relation.get())};
}

AddLinkStep ReversedStep(const RemoveLinkStep& step) {
    return AddLinkStep(step.first, step.second, CopyText(step.relation.get()));
}

RenameStep ReversedStep(const RenameStep& step) {
    return RenameStep(CopyText(step.to.get()), CopyText(step.from.get()));
}

bool ApplyToNetwork(Network& net, ChangeRecord* record) {
    if (!record)
        return false;
    if (!net.table() && !record->is<MarkDragStep>())
        return false;
    return std::visit([&](auto& step) { return apply(net, step, *record); }, record->step);
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

void ReleaseRecord(ChangeRecord* record, const Network* detachedFrom) {
    if (!record)
        return;
    // A restored node belongs to the network again.
    if (const RestoreStep* restore = record->as<RestoreStep>();
        restore && restore->node && detachedFrom && !inNetwork(*detachedFrom, restore->node))
        destroyDetachedNode(restore->node);
    delete record;
}

} // namespace tarvo
