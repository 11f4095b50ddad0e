// The inheritance searches over the walk engine.
#include "inheritance/inheritance_searches.h"

#include "containers/node_list.h"
#include "containers/pointer_set.h"
#include "inheritance/ancestor_walk.h"
#include "labels/label_text.h"
#include "memory/debug_log.h"
#include "model/graph_walk.h"
#include "model/links.h"
#include "model/node.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// What the searches ask of a list that only grows while they run (the walk's result, or S's own
// properties), answered from sets kept up to date as the list grows instead of by scanning it:
// the answers are the same, but a deep hierarchy with several parents per node makes the lists
// long.
class GrowingListIndex {
public:
    // Indexes what was appended to `list` since the last call, resuming in the block where that
    // call stopped: reading the list from its start each time would cost its length. A list
    // other than the last one followed is indexed afresh.
    void follow(const NodeList* list) {
        if (list != m_list) {
            m_members.clear();
            m_relations.clear();
            m_firstParents.clear();
            m_nearAncestors.clear();
            m_list = list;
            m_block = list;
            m_indexed = 0;
        }
        while (m_block) {
            for (; m_indexed < m_block->count; ++m_indexed)
                add(static_cast<const NodeList*>(m_block)->node(m_indexed));
            if (!m_block->next)
                break;
            m_block = m_block->next;
            m_indexed = 0;
        }
    }
    bool contains(const NodeBase* node) const { return m_members.contains(node); }
    // Some property of the list has `relation` as its relation.
    bool holdsPropertyOf(const NodeBase* relation) const { return m_relations.contains(relation); }
    // Some element a of the list has IsNearAncestor(a, y).
    bool holdsNearDescendantOf(const NodeBase* y) const {
        if (m_firstParents.contains(y))
            return true;
        if (asNode(y)->isProperty())
            y = first(y, ParentSlot);
        return y && m_nearAncestors.contains(y);
    }

private:
    void add(const NodeBase* a) {
        m_members.insert(a);
        const NodeBase* firstParent = first(a, ParentSlot);
        if (!firstParent)
            return;
        m_firstParents.insert(firstParent);
        if (asNode(a)->isProperty())
            m_relations.insert(firstParent);
        const NodeBase* x = asNode(a)->isProperty() ? firstParent : a;
        const NodeSlot parents = x->slotList(ParentSlot);
        for (int i = 0, n = parents.size(); i < n; ++i) {
            const NodeBase* p = parents.nodeAt(i);
            m_nearAncestors.insert(p);
            const NodeSlot grandparents = p->slotList(ParentSlot);
            for (int k = 0, m = grandparents.size(); k < m; ++k)
                m_nearAncestors.insert(grandparents.nodeAt(k));
        }
    }

    PointerSet m_members;
    PointerSet m_relations;
    PointerSet m_firstParents;
    PointerSet m_nearAncestors;
    const NodeList* m_list = nullptr;
    // The block being indexed and the number of its elements already indexed.
    const ChunkList* m_block = nullptr;
    int m_indexed = 0;
};

NodeBase* relationOf(const NodeBase* property) {
    return first(property, ParentSlot);
}

template <typename Each> void forEachIn(const NodeBase* n, int slot, Each each) {
    forEachNode(n->slotList(slot), each);
}

// Appends every node of `from` to `to` block by block, which stays linear on long lists.
void appendEach(NodeList*& to, const NodeList* from) {
    forEachNode(from, [&to](NodeBase* node) { listAppend(to, node); });
}

void plainLabelTo(std::string& out, const NodeBase* node) {
    PlainText(node->name, out);
    out += "##\n";
}

// A side list as the checks look it up: it does not change while the inherited properties are
// searched, so each property's place and each relation's last place are read once.
class SideListIndex {
public:
    struct Place {
        int global = 0;     // the place in the whole list
        int inBlock = 0;    // the place within its block
        int blockStart = 0; // the global place of its block's first element
    };

    explicit SideListIndex(const NodeList* list) {
        int global = 0;
        for (const ChunkList* block = list; block; block = block->next) {
            const int blockStart = global;
            for (int i = 0; i < block->count; ++i, ++global) {
                NodeBase* node = static_cast<const NodeList*>(block)->node(i);
                m_nodes.push_back(node);
                m_places.insert(node, Place{global, i, blockStart});
                if (const NodeBase* relation = relationOf(node))
                    m_lastOfRelation[relation] = global;
            }
        }
        m_listedFrom = global;
    }

    // The first place of `node`, or null when the list does not hold it.
    const Place* find(const NodeBase* node) const { return m_places.find(node); }

    // Some property of `relation` stands after the global place `global`.
    bool holdsPropertyAfter(const NodeBase* relation, int global) const {
        const int* last = m_lastOfRelation.find(relation);
        return last && *last > global;
    }

    // The labels of the list from `from` to its end that no earlier call wrote: each element is
    // written once, however many checks name its block.
    void listFrom(int from, std::string& out) {
        for (int i = from; i < m_listedFrom; ++i)
            plainLabelTo(out, m_nodes[static_cast<std::size_t>(i)]);
        m_listedFrom = std::min(m_listedFrom, from);
    }

private:
    std::vector<NodeBase*> m_nodes;
    PointerMap<Place> m_places;
    PointerMap<int> m_lastOfRelation;
    int m_listedFrom = 0;
};

// Whether a search's list may name a node twice. The searches up the hierarchy list each node
// once, at its first place, however many paths reach it; the node's own lists keep one entry
// per property, since the window shows each beside the property it came by.
enum class Repeats { Kept, Dropped };

// One search: a walk up one slot, gathering what its visitor finds pass by pass into the
// result, with the report lists it fills beside.
class Search {
public:
    Search(int slot, ReportLists* lists, Repeats repeats)
        : m_walk(slot), m_lists(lists), m_repeats(repeats) {
        m_walk.setPassEnd([this] { collectPass(); });
    }
    ~Search() {
        DisposeList(m_result);
        DisposeList(m_pass);
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // Runs the walk from `s` and hands its result to the caller.
    template <typename Visit> NodeList* run(Node* s, Visit visit) {
        m_walk.run(s, [this, &visit](Node* n) { visit(*this, n); });
        NodeList* found = m_result;
        m_result = nullptr;
        return found;
    }

    void collect(NodeBase* x) {
        if (!result().contains(x))
            add(x);
    }

    // An ancestor joins the result once, at its nearest place.
    void collectAncestor(NodeBase* p) { add(p); }

    // take-to and take-from: a property whose relation the walk has not met yet joins the
    // pass, and every property joins its side list once.
    // The side lists start empty with the search, so a set of their members answers for them.
    void take(NodeBase* r, NodeList*& sideList, PointerSet& members) {
        const NodeBase* relation = relationOf(r);
        if (!relation)
            return;
        if (!result().holdsPropertyOf(relation))
            add(r);
        if (members.insert(r))
            listAppend(sideList, r);
    }
    void takeTo(NodeBase* r) { take(r, m_lists->ToSideList, m_toSideMembers); }
    void takeFrom(NodeBase* r) { take(r, m_lists->FromSideList, m_fromSideMembers); }

    void checkTo(NodeBase* r) {
        check(r, ToSlot, m_lists->ToSideList, m_toIndex, "to", "checking for parent relation:...");
    }
    void checkFrom(NodeBase* r) {
        check(r, FromSlot, m_lists->FromSideList, m_fromIndex, "from",
              "checking for parent relation...");
    }

    // The visitor shared by the upward searches: for each parent of n, its properties, then the
    // parent and n itself into the frontier. A parent's properties are handled the first time
    // the walk meets it: meeting it again along another path would only repeat those findings.
    template <typename OnTo, typename OnFrom> void climb(Node* n, OnTo onTo, OnFrom onFrom) {
        if (!n->slotList(ParentSlot))
            return;
        forEachIn(n, ParentSlot, [&](NodeBase* base) {
            Node* p = asNode(base);
            if (m_handled.insert(p)) {
                forEachIn(p, ToSlot, [&](NodeBase* r) { (this->*onTo)(r); });
                forEachIn(p, FromSlot, [&](NodeBase* r) { (this->*onFrom)(r); });
            }
            if (p->slotList(ParentSlot))
                m_walk.addToFrontier(p);
        });
        m_walk.addToFrontier(n);
    }

    void addToFrontier(Node* n) { m_walk.addToFrontier(n); }

private:
    // x joins the current pass, unless the search drops repeats and has found x before.
    void add(NodeBase* x) {
        if (m_repeats == Repeats::Dropped && !m_found.insert(x))
            return;
        listAppend(m_pass, x);
    }

    // The pass-end step: the pass's findings join the walk's result, and the checks' log lines
    // go to the log together.
    void collectPass() {
        appendEach(m_result, m_pass);
        DisposeList(m_pass);
        if (!m_checkLog.empty())
            LogText(m_checkLog.c_str());
        m_checkLog.clear();
    }

    // The index of the walk's result, brought up to date.
    const GrowingListIndex& result() {
        m_resultIndex.follow(m_result);
        return m_resultIndex;
    }

    // The index of S's own properties, read once: they do not change during a search.
    const GrowingListIndex& own() {
        m_ownIndex.follow(m_lists->OwnStipulated);
        return m_ownIndex;
    }

    // Each target and relation pair is listed once, however many checks mark it.
    void markOverridden(Node* target, Node* relation) {
        target->setFlag(1, OverriddenMark);
        relation->setFlag(1, OverriddenMark);
        if (!m_marked.emplace(target, relation).second)
            return;
        listAppend(m_lists->OverriddenTargets, target);
        listAppend(m_lists->OverriddenRelations, relation);
    }

    // check-to and check-from: the value of an ancestor's property joins the pass, and it is
    // marked overridden when S's own properties, or a nearer property of the relation, stand in
    // its way.
    void check(NodeBase* r, int endSlot, const NodeList* sideList,
               std::unique_ptr<SideListIndex>& index, const char* direction, const char* checking);

    AncestorWalk m_walk;
    ReportLists* m_lists;
    Repeats m_repeats;
    // What the search has gathered, and what the visitor collected in the current pass.
    NodeList* m_result = nullptr;
    NodeList* m_pass = nullptr;
    GrowingListIndex m_resultIndex;
    GrowingListIndex m_ownIndex;
    // Everything the result or the pass holds, when repeats are dropped.
    PointerSet m_found;
    PointerSet m_toSideMembers;
    PointerSet m_fromSideMembers;
    // The parents whose properties were handled.
    PointerSet m_handled;
    std::set<std::pair<const Node*, const Node*>> m_marked;
    std::unique_ptr<SideListIndex> m_toIndex;
    std::unique_ptr<SideListIndex> m_fromIndex;
    // The checks' log lines of the current pass.
    std::string m_checkLog;
};

void Search::check(NodeBase* r, int endSlot, const NodeList* sideList,
                   std::unique_ptr<SideListIndex>& index, const char* direction,
                   const char* checking) {
    Node* t = asNode(first(r, endSlot));
    Node* rel = asNode(relationOf(r));
    if (!index)
        index = std::make_unique<SideListIndex>(sideList);
    const SideListIndex::Place* place = index->find(r);
    const int pos = place ? place->inBlock : 0;
    if (!t || result().contains(t))
        return;
    add(t);

    char line[96];
    std::snprintf(line, sizeof line, "Parent nodes of current relation (%s): pos=%d\n", direction,
                  pos);
    m_checkLog += line;
    if (place)
        index->listFrom(place->blockStart, m_checkLog);

    bool overridden = own().contains(r) || (rel && own().holdsNearDescendantOf(rel));
    overridden = overridden || result().holdsNearDescendantOf(t);
    if (overridden && rel)
        markOverridden(t, rel);

    if (!rel || rel->hasFlag(OverriddenMark) || !place)
        return;
    m_checkLog += checking;
    if (index->holdsPropertyAfter(rel, place->global)) {
        m_checkLog += "found\n";
        markOverridden(t, rel);
    } else {
        m_checkLog += "\n";
    }
}

void appendSides(ReportLists& lists) {
    appendEach(lists.StipulatedList, lists.ToSideList);
    appendEach(lists.StipulatedList, lists.FromSideList);
}

} // namespace

ReportLists::~ReportLists() {
    for (NodeList** list : {&ToSideList, &FromSideList, &StipulatedList, &OwnStipulated,
                            &AncestorList, &OverriddenTargets, &OverriddenRelations})
        DisposeList(*list);
}

NodeList* RelatedNodes(Node* s, int slot) {
    Search search(slot, nullptr, Repeats::Kept);
    return search.run(s, [](Search& found, Node* n) {
        forEachIn(n, ToSlot, [&found](NodeBase* r) {
            if (NodeBase* end = first(r, ToSlot))
                found.collect(end);
        });
        forEachIn(n, FromSlot, [&found](NodeBase* r) {
            if (NodeBase* end = first(r, FromSlot))
                found.collect(end);
        });
    });
}

NodeList* StipulatedRelations(Node* s, int slot, ReportLists& lists) {
    DisposeList(lists.ToSideList);
    DisposeList(lists.FromSideList);
    Search search(slot, &lists, Repeats::Kept);
    NodeList* result = search.run(s, [](Search& found, Node* n) {
        forEachIn(n, ToSlot, [&found](NodeBase* r) { found.takeTo(r); });
        forEachIn(n, FromSlot, [&found](NodeBase* r) { found.takeFrom(r); });
    });
    appendSides(lists);
    return result;
}

NodeList* InheritedRelations(Node* s, int slot, ReportLists& lists) {
    DisposeList(lists.ToSideList);
    DisposeList(lists.FromSideList);
    Search search(slot, &lists, Repeats::Dropped);
    NodeList* result = search.run(
        s, [](Search& found, Node* n) { found.climb(n, &Search::takeTo, &Search::takeFrom); });
    appendSides(lists);
    return result;
}

NodeList* AncestorNodes(Node* s, int slot) {
    Search search(slot, nullptr, Repeats::Dropped);
    return search.run(s, [](Search& found, Node* n) {
        if (!n->slotList(ParentSlot))
            return;
        forEachIn(n, ParentSlot, [&found](NodeBase* p) { found.collectAncestor(p); });
        found.addToFrontier(n);
    });
}

NodeList* InheritedProperties(Node* s, int slot, ReportLists& lists) {
    DisposeList(lists.OverriddenTargets);
    DisposeList(lists.OverriddenRelations);
    Search search(slot, &lists, Repeats::Dropped);
    return search.run(
        s, [](Search& found, Node* n) { found.climb(n, &Search::checkTo, &Search::checkFrom); });
}

bool IsNearAncestor(const NodeBase* x, const NodeBase* y) {
    if (!x || !y)
        return false;
    if (first(x, ParentSlot) == y)
        return true;
    if (asNode(x)->isProperty())
        x = first(x, ParentSlot);
    if (asNode(y)->isProperty())
        y = first(y, ParentSlot);
    if (!x || !x->slotList(ParentSlot))
        return false;
    const NodeSlot parents = x->slotList(ParentSlot);
    for (int i = 0, n = parents.size(); i < n; ++i) {
        const NodeBase* p = parents.nodeAt(i);
        if (p == y || first(p, ParentSlot) == y || p->slotList(ParentSlot).contains(y))
            return true;
    }
    return false;
}

} // namespace tarvo
