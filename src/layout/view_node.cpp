// View copies of network nodes.
#include "layout/view_node.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "containers/pointer_set.h"
#include "layout/view_flags.h"
#include "model/links.h"

#include "memory/size_class_heap.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <utility>

namespace tarvo {

ViewNode::ViewNode(Node* from) {
    ViewNode::initOwn();
    source = from;
    if (!from)
        return;
    setName(from->name, 1);
    key = DuplicateText(from->key);
    shape = from->shape;
    flags = from->flags & NodeFlags::ViewCopyMask;
}

ViewNode::ViewNode() {
    ViewNode::initOwn();
    flags = NodeFlags::DummyNode;
}

NodeBase* ViewNode::makeNew() const {
    return new ViewNode;
}

void ViewNode::initOwn() {
    source = nullptr;
    flags = 0;
    visitMark = 0;
    layer = slot = savedSlot = oldSlot = 0;
    barycentre = NoTarget;
    parentEnergy = childEnergy = 0.0f;
    layoutBox = linkBox = PixelBox{};
    onPath = 0;
    complete = 0;
    std::fill(std::begin(unseen), std::end(unseen), 0);
}

ViewNode* viewNodeFor(NodeTable& viewTable, Node* node) {
    auto* copy = new ViewNode(node);
    if (!copy)
        return nullptr;
    if (viewTable.insert(copy))
        return copy;
    copy->destroy();
    return static_cast<ViewNode*>(viewTable.lastMatch().element);
}

void linkViewNode(NodeTable& viewTable, ViewNode* v) {
    const Node* from = v->source;
    if (!from)
        return;
    for (int slot = 0; slot < v->linkSlotCount && slot < from->linkSlotCount; ++slot) {
        const NodeSlot list = from->slots[slot];
        if (!list)
            continue;
        for (int i = 0, size = list.size(); i < size; ++i) {
            ViewNode* neighbour = viewNodeFor(viewTable, asNode(list.nodeAt(i)));
            if (neighbour)
                slotAddUnique(v->slots[slot], neighbour);
        }
        v->counts[slot] = from->counts[slot];
    }
    v->complete = 1;
}

ViewNode* copyInView(NodeTable& viewTable, const Node* node) {
    auto* v = asViewNode(viewTable.lookup(node));
    return v && v->source == node ? v : nullptr;
}

namespace {

// Finds the view's copies of network nodes: by the table's key lookup, or, for the walks that
// ask about every neighbour of thousands of nodes, through an index by network node. The index
// also keeps, beside each copy, whether the running walk has reached it, so that the walk asks
// one table per neighbour.
class CopyFinder {
public:
    CopyFinder(NodeTable& viewTable, bool indexed) : m_table(viewTable), m_indexed(indexed) {
        if (!indexed)
            return;
        viewTable.forEach(
            [](void* context, NodeBase* n) {
                auto* v = asViewNode(n);
                if (v->source)
                    static_cast<CopyFinder*>(context)->m_index.insert(v->source, entryOf(v));
                return 0;
            },
            this);
    }

    ViewNode* find(const Node* node) const {
        if (!m_indexed)
            return copyInView(m_table, node);
        const std::uintptr_t* found = m_index.find(node);
        return found ? copyOf(*found) : nullptr;
    }

    ViewNode* make(Node* node) {
        ViewNode* copy = viewNodeFor(m_table, node);
        if (copy && m_indexed && copy->source == node)
            m_index.insert(node, entryOf(copy));
        return copy;
    }

    // Notes that the walk reached `copy`, found as the copy of `source` (null: of its own
    // source); false when it had been reached before. A copy the index does not hold under
    // its source (another copy of the same node came first) is noted on the side.
    bool reach(ViewNode* copy, const Node* source) {
        if (!source)
            source = copy->source;
        std::uintptr_t* entry = m_indexed && source ? m_index.find(source) : nullptr;
        if (!entry || copyOf(*entry) != copy)
            return m_reachedAside.insert(copy);
        if (*entry & kReached)
            return false;
        *entry |= kReached;
        return true;
    }

private:
    static constexpr std::uintptr_t kReached = 1;

    static std::uintptr_t entryOf(ViewNode* copy) { return reinterpret_cast<std::uintptr_t>(copy); }
    static ViewNode* copyOf(std::uintptr_t entry) {
        return reinterpret_cast<ViewNode*>(entry & ~kReached);
    }

    NodeTable& m_table;
    bool m_indexed;
    PointerMap<std::uintptr_t> m_index;
    PointerSet m_reachedAside;
};

// The nodes a walk has reached, by address: open addressing, as a walk over a whole network
// of a few hundred thousand nodes spends much of its time asking whether it has been here.
class ReachedSet {
public:
    explicit ReachedSet(std::size_t expected) {
        std::size_t capacity = 64;
        while (capacity < 2 * expected)
            capacity *= 2;
        m_slots.assign(capacity, nullptr);
    }

    bool insert(const void* node) {
        if (2 * (m_size + 1) > m_slots.size())
            grow();
        std::size_t i = slotOf(node);
        while (m_slots[i]) {
            if (m_slots[i] == node)
                return false;
            i = (i + 1) & (m_slots.size() - 1);
        }
        m_slots[i] = node;
        ++m_size;
        return true;
    }

private:
    std::size_t slotOf(const void* node) const {
        const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node));
        return static_cast<std::size_t>((bits >> 4) * 0x9E3779B97F4A7C15ULL >> 20) &
               (m_slots.size() - 1);
    }

    void grow() {
        std::vector<const void*> old(m_slots.size() * 2, nullptr);
        old.swap(m_slots);
        m_size = 0;
        for (const void* node : old)
            if (node)
                insert(node);
    }

    std::vector<const void*> m_slots;
    std::size_t m_size = 0;
};

void linkPartial(CopyFinder& copies, ViewNode* v,
                 const std::function<bool(const Node*)>& inNetwork = {}) {
    const Node* from = v->source;
    if (!from || v->complete)
        return;
    for (int slot = 0; slot < v->linkSlotCount; ++slot) {
        NodeList* linked = nullptr;
        if (slot < from->linkSlotCount) {
            forEachNode(from->slots[slot], [&](const NodeBase* n) {
                const Node* x = asNode(n);
                if (inNetwork && !inNetwork(x))
                    return;
                ViewNode* copy = copies.find(x);
                if (copy && copy->complete)
                    listAddUnique(linked, copy);
            });
            v->counts[slot] = from->counts[slot];
        }
        slotAdopt(v->slots[slot], linked);
    }
}

// The real node a link in `slot` leads to, through a chain of fillers.
ViewNode* throughFillers(NodeBase* node, int slot) {
    while (node && asNode(node)->hasFlag(NodeFlags::DummyNode))
        node = node->first(slot);
    return asViewNode(node);
}

// Appends `element` unless the list holds it; long lists keep a set of what they hold, as a
// relation may have tens of thousands of properties.
class ListBuilder {
public:
    explicit ListBuilder(int expected) : m_indexed(expected > 32) {}

    void add(NodeBase* element) {
        if (!m_indexed) {
            listAddUnique(m_list, element);
            return;
        }
        if (m_held.insert(element))
            listAppend(m_list, element);
    }
    NodeList* take() { return m_list; }

private:
    NodeList* m_list = nullptr;
    bool m_indexed;
    PointerSet m_held;
};

// The fillers that stand in `list` for a real neighbour, so that relinking a copy while the
// layout's fillers are in place keeps them.
std::vector<std::pair<ViewNode*, NodeBase*>> fillersIn(NodeSlot list, int slot) {
    std::vector<std::pair<ViewNode*, NodeBase*>> fillers;
    forEachNode(list, [&](NodeBase* n) {
        if (asNode(n)->hasFlag(NodeFlags::DummyNode))
            fillers.emplace_back(throughFillers(n, slot), n);
    });
    return fillers;
}

// A property beside the view's edge that links `besides` to a node the view holds complete: the
// layout counts such links between the clusters it orders, so the property keeps a copy, a
// hidden partial one, however far out it lies.
bool bridgesCopies(const CopyFinder& copies, const Node* property, const Node* besides) {
    if (!property->isProperty())
        return false;
    bool bridges = false;
    for (int slot = 0; slot < property->linkSlotCount && !bridges; ++slot)
        forEachNode(property->slots[slot], [&](const NodeBase* n) {
            const Node* end = asNode(n);
            if (bridges || end == besides)
                return;
            const ViewNode* copy = copies.find(end);
            bridges = copy && copy->complete;
        });
    return bridges;
}

// Gives `v` the links of its source: the copies of its neighbours in the source's order, a
// filler kept where one stands for a neighbour. A neighbour without a copy is made (hidden)
// with `makeMissing`, when `v` is a property or when it bridges to another complete copy, else
// counted as unseen.
// `reached(copy, source)` hears of every neighbour's copy in the order of the source's lists,
// with the network node the copy stands for.
template <typename Reached>
void completeCopy(CopyFinder& copies, ViewNode* v, bool makeMissing, std::vector<ViewNode*>* made,
                  Reached reached) {
    const Node* from = v->source;
    for (int slot = 0; slot < v->linkSlotCount; ++slot) {
        const NodeSlot source = slot < from->linkSlotCount ? from->slots[slot] : NodeSlot();
        const auto fillers = fillersIn(v->slots[slot], slot);
        ListBuilder linked(listSize(source));
        int unseen = 0;
        forEachNode(source, [&](NodeBase* n) {
            Node* x = asNode(n);
            ViewNode* copy = copies.find(x);
            // A property's few ends are always copied: the layout reads the end of a shown
            // property's relation link even when it is hidden.
            if (!copy && !makeMissing && !from->isProperty() && !bridgesCopies(copies, x, from)) {
                ++unseen;
                return;
            }
            // Found in the index, the copy stands for x; a copy made may stand for another
            // node of the same key.
            const Node* copyOf = x;
            if (!copy) {
                copy = copies.make(x);
                if (!copy)
                    return;
                copyOf = copy->source;
                copy->setFlag(1, NodeFlags::Hidden);
                if (made)
                    made->push_back(copy);
            }
            NodeBase* element = copy;
            for (const auto& [end, filler] : fillers)
                if (end == copy)
                    element = filler;
            linked.add(element);
            reached(copy, copyOf);
        });
        if (slot < from->linkSlotCount)
            v->counts[slot] = from->counts[slot];
        if (slot < kLinkSlotCount)
            v->unseen[slot] = unseen;
        slotAdopt(v->slots[slot], linked.take());
    }
    v->complete = 1;
}

// When each copy completed in one extension was done: the number of new copies made by then.
using CompletionTimes = PointerMap<std::size_t>;

// Links the complete copies beside the new ones, which counted them as unseen, to them: all
// but those completed after the new copy was made, which hold it already.
void linkBesideNew(CopyFinder& copies, const std::vector<ViewNode*>& made,
                   const CompletionTimes& completedAt) {
    std::vector<ViewNode*> beside;
    PointerSet besideSeen;
    for (std::size_t i = 0; i < made.size(); ++i) {
        ViewNode* copy = made[i];
        for (int slot = 0; slot < copy->linkSlotCount; ++slot)
            forEachNode(copy->slots[slot], [&](NodeBase* n) {
                ViewNode* x = throughFillers(n, slot);
                if (!x || !x->source || !hasUnseen(x))
                    return;
                const std::size_t* done = completedAt.find(x);
                if (done && *done > i)
                    return;
                if (besideSeen.insert(x))
                    beside.push_back(x);
            });
    }
    // A property among them may have lost an end's copy to an edit; the copy made for it is
    // a partial one.
    std::vector<ViewNode*> ends;
    for (ViewNode* x : beside)
        completeCopy(copies, x, false, &ends, [](ViewNode*, const Node*) {});
    for (ViewNode* end : ends)
        linkPartial(copies, end);
}

} // namespace

void LinkPartialViewNode(NodeTable& viewTable, ViewNode* v,
                         const std::function<bool(const Node*)>& inNetwork) {
    CopyFinder copies(viewTable, false);
    linkPartial(copies, v, inNetwork);
}

int ExtendViewNodes(NodeTable& viewTable, ViewNode* start, int reach, bool show,
                    std::vector<ViewNode*>* made) {
    if (!start)
        return 0;
    CopyFinder copies(viewTable, true);
    std::vector<ViewNode*> newCopies;
    std::vector<ViewNode*> level{start};
    std::vector<ViewNode*> next;
    copies.reach(start, nullptr);
    CompletionTimes completed;
    const int limit = reach < 0 ? INT_MAX - 1 : reach;
    int greatest = 0;
    for (int distance = 0; distance <= limit && !level.empty(); ++distance) {
        greatest = distance;
        next.clear();
        // Within reach the neighbours come into the view too; at the edge they are counted.
        const bool inside = distance < limit;
        for (ViewNode* v : level) {
            v->distance = distance;
            if (show)
                v->setFlag(0, NodeFlags::Hidden);
            auto reached = [&](ViewNode* copy, const Node* source) {
                if (!copies.reach(copy, source))
                    return;
                copy->distance = distance + 1;
                next.push_back(copy);
            };
            if (v->source && (!isComplete(v) || (inside && hasUnseen(v)))) {
                completeCopy(copies, v, inside, &newCopies, reached);
                // Only a copy that still counts neighbours may have to link to later ones.
                if (hasUnseen(v))
                    completed[v] = newCopies.size();
                continue;
            }
            for (int slot = 0; slot < v->linkSlotCount; ++slot)
                forEachNode(v->slots[slot], [&](NodeBase* n) {
                    if (ViewNode* copy = throughFillers(n, slot))
                        reached(copy, nullptr);
                });
        }
        level.swap(next);
    }
    // Every copy reached within reach was completed where the walk took it in: the partial
    // copies left are those one step beyond, which link to the complete ones beside them.
    // Completion never undoes itself, so these are the copies the walk first met partial and
    // still are, in the order it met them.
    for (ViewNode* v : level)
        if (!v->complete && v->source)
            linkPartial(copies, v);
    linkBesideNew(copies, newCopies, completed);
    if (made)
        made->insert(made->end(), newCopies.begin(), newCopies.end());
    return greatest;
}

void CompleteViewNodes(NodeTable& viewTable, const std::vector<ViewNode*>& nodes) {
    CopyFinder copies(viewTable, false);
    std::vector<ViewNode*> made;
    std::vector<ViewNode*> edge;
    PointerSet edgeSeen;
    CompletionTimes done;
    for (ViewNode* v : nodes) {
        if (isComplete(v))
            continue;
        const std::size_t first = made.size();
        completeCopy(copies, v, false, &made, [&](ViewNode* x, const Node*) {
            if (!x->complete && x->source && edgeSeen.insert(x))
                edge.push_back(x);
        });
        for (std::size_t i = first; i < made.size(); ++i)
            made[i]->distance = v->distance + 1;
        done[v] = made.size();
    }
    for (ViewNode* x : edge)
        if (!x->complete)
            linkPartial(copies, x);
    linkBesideNew(copies, made, done);
}

bool MakeNeighbourCopies(NodeTable& viewTable, ViewNode* v, int slot,
                         std::vector<ViewNode*>* made) {
    if (!v || !v->source || !v->complete)
        return false;
    CopyFinder copies(viewTable, false);
    std::vector<ViewNode*> newCopies;
    for (int s = 0; s < v->linkSlotCount && s < v->source->linkSlotCount; ++s) {
        if ((slot >= 0 && s != slot) || unseenIn(v, s) == 0)
            continue;
        forEachNode(v->source->slots[s], [&](NodeBase* n) {
            Node* x = asNode(n);
            if (copies.find(x))
                return;
            ViewNode* copy = copies.make(x);
            if (!copy)
                return;
            copy->setFlag(1, NodeFlags::Hidden | NodeFlags::Unplaced);
            copy->distance = v->distance + 1;
            newCopies.push_back(copy);
        });
    }
    if (newCopies.empty())
        return false;
    CompletionTimes done;
    std::vector<ViewNode*> bridging;
    // The partial copies beside the new ones, bridging ones included, link to them too.
    std::vector<ViewNode*> edge;
    PointerSet edgeSeen;
    for (ViewNode* copy : newCopies) {
        completeCopy(copies, copy, false, &bridging, [&](ViewNode* x, const Node*) {
            if (!x->complete && x->source && edgeSeen.insert(x))
                edge.push_back(x);
        });
        done[copy] = newCopies.size();
    }
    for (ViewNode* copy : bridging) {
        copy->setFlag(1, NodeFlags::Unplaced);
        copy->distance = v->distance + 2;
    }
    for (ViewNode* x : edge)
        if (!x->complete)
            linkPartial(copies, x);
    newCopies.insert(newCopies.end(), bridging.begin(), bridging.end());
    linkBesideNew(copies, newCopies, done);
    if (made)
        made->insert(made->end(), newCopies.begin(), newCopies.end());
    return true;
}

void WalkNetwork(const Node* start, int maxDistance,
                 const std::function<void(const Node* node, int distance)>& visit) {
    if (!start)
        return;
    ReachedSet seen(1024);
    seen.insert(start);
    std::vector<const Node*> level{start};
    std::vector<const Node*> next;
    for (int distance = 0; !level.empty(); ++distance) {
        for (const Node* node : level)
            visit(node, distance);
        if (distance == maxDistance)
            break;
        next.clear();
        for (const Node* node : level)
            for (int slot = 0; slot < node->linkSlotCount; ++slot)
                forEachNode(node->slots[slot], [&](const NodeBase* n) {
                    const Node* x = asNode(n);
                    if (seen.insert(x))
                        next.push_back(x);
                });
        level.swap(next);
    }
}

} // namespace tarvo
