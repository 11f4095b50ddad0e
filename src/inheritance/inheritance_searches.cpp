// The inheritance searches over the walk engine.
#include "inheritance/inheritance_searches.h"

#include "containers/node_list.h"
#include "labels/label_text.h"
#include "memory/debug_log.h"
#include "model/graph_walk.h"
#include "model/links.h"
#include "model/node.h"

#include <cstdio>
#include <string>
#include <unordered_set>

namespace tarvo {
namespace {

// What the searches ask of a list that only grows while they run (the walk's result, or the
// pass's), answered from sets kept up to date as the list grows instead of by scanning it: the
// answers are the same, but a deep hierarchy with several parents per node makes the lists long.
class GrowingListIndex {
public:
    // Forgets everything when the list was started anew (a new search or a new pass).
    void follow(const NodeList* list, long generation) {
        if (generation != m_generation || !list || list->size() < m_indexed) {
            m_members.clear();
            m_relations.clear();
            m_firstParents.clear();
            m_nearAncestors.clear();
            m_indexed = 0;
            m_generation = generation;
        }
        if (!list)
            return;
        for (ListPosition at = list->blockAt(m_indexed); at; at = ChunkList::nextPosition(at)) {
            add(static_cast<const NodeList*>(at.block)->node(at.index));
            ++m_indexed;
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
        const NodeList* parents = x->slotList(ParentSlot);
        for (int i = 0, n = parents ? parents->size() : 0; i < n; ++i) {
            const NodeBase* p = parents->nodeAt(i);
            m_nearAncestors.insert(p);
            const NodeList* grandparents = p->slotList(ParentSlot);
            for (int k = 0, m = grandparents ? grandparents->size() : 0; k < m; ++k)
                m_nearAncestors.insert(grandparents->nodeAt(k));
        }
    }

    std::unordered_set<const NodeBase*> m_members;
    std::unordered_set<const NodeBase*> m_relations;
    std::unordered_set<const NodeBase*> m_firstParents;
    std::unordered_set<const NodeBase*> m_nearAncestors;
    int m_indexed = 0;
    long m_generation = -1;
};

// The mask of the one slot a search climbs.
std::uint32_t maskFor(int slot) {
    return 1u << (static_cast<unsigned>(slot) % 32u);
}

NodeBase* relationOf(const NodeBase* property) {
    return first(property, ParentSlot);
}

template <typename Each> void forEachIn(const NodeBase* n, int slot, Each each) {
    const NodeList* list = n->slotList(slot);
    for (int i = 0, size = list ? list->size() : 0; i < size; ++i)
        each(list->nodeAt(i));
}

void plainLabelTo(std::string& out, const NodeBase* node) {
    PlainText(node->name, out);
    out += "##\n";
}

// One search: a walk up one slot, gathering what its visitor finds pass by pass into the
// result, with the report lists it fills beside.
class Search {
public:
    Search(int slot, ReportLists* lists) : m_walk(maskFor(slot)), m_lists(lists) {
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
            listAppend(m_pass, x);
    }

    // An ancestor joins the pass once; an earlier pass's find may come again.
    void collectAncestor(NodeBase* p) {
        if (!m_result || !pass().contains(p))
            listAppend(m_pass, p);
    }

    // take-to and take-from: a property whose relation the walk has not met yet joins the
    // pass, and every property joins its side list once.
    void take(NodeBase* r, NodeList*& sideList) {
        const NodeBase* relation = relationOf(r);
        if (!relation)
            return;
        if (!result().holdsPropertyOf(relation))
            listAppend(m_pass, r);
        listAddUnique(sideList, r);
    }
    void takeTo(NodeBase* r) { take(r, m_lists->ToSideList); }
    void takeFrom(NodeBase* r) { take(r, m_lists->FromSideList); }

    void checkTo(NodeBase* r) {
        check(r, ToSlot, m_lists->ToSideList, "to", "checking for parent relation:...");
    }
    void checkFrom(NodeBase* r) {
        check(r, FromSlot, m_lists->FromSideList, "from", "checking for parent relation...");
    }

    // The visitor shared by the upward searches: for each parent of n, its properties, then the
    // parent and n itself into the frontier.
    template <typename OnTo, typename OnFrom> void climb(Node* n, OnTo onTo, OnFrom onFrom) {
        if (!n->slotList(ParentSlot))
            return;
        forEachIn(n, ParentSlot, [&](NodeBase* base) {
            Node* p = asNode(base);
            forEachIn(p, ToSlot, [&](NodeBase* r) { (this->*onTo)(r); });
            forEachIn(p, FromSlot, [&](NodeBase* r) { (this->*onFrom)(r); });
            if (p->slotList(ParentSlot))
                m_walk.addToFrontier(p);
        });
        m_walk.addToFrontier(n);
    }

    void addToFrontier(Node* n) { m_walk.addToFrontier(n); }

private:
    // The pass-end step: the pass's findings join the walk's result.
    void collectPass() {
        AppendAll(m_result, m_pass);
        DisposeList(m_pass);
    }

    // The index of the walk's result, brought up to date.
    const GrowingListIndex& result() {
        m_resultIndex.follow(m_result, 0);
        return m_resultIndex;
    }

    // The index of the current pass's findings.
    const GrowingListIndex& pass() {
        m_passIndex.follow(m_pass, m_walk.passCount());
        return m_passIndex;
    }

    void markOverridden(Node* target, Node* relation) {
        listAppend(m_lists->OverriddenTargets, target);
        target->setFlag(1, OverriddenMark);
        listAppend(m_lists->OverriddenRelations, relation);
        relation->setFlag(1, OverriddenMark);
    }

    // check-to and check-from: the value of an ancestor's property joins the pass, and it is
    // marked overridden when S's own properties, or a nearer property of the relation, stand in
    // its way.
    void check(NodeBase* r, int endSlot, NodeList* sideList, const char* direction,
               const char* checking);

    GraphWalk m_walk;
    ReportLists* m_lists;
    // What the search has gathered, and what the visitor collected in the current pass.
    NodeList* m_result = nullptr;
    NodeList* m_pass = nullptr;
    GrowingListIndex m_resultIndex;
    GrowingListIndex m_passIndex;
};

void Search::check(NodeBase* r, int endSlot, NodeList* sideList, const char* direction,
                   const char* checking) {
    Node* t = asNode(first(r, endSlot));
    Node* rel = asNode(relationOf(r));
    int index = 0;
    const ChunkList* block = sideList ? sideList->findElement(r, identity, &index) : nullptr;
    const int pos = block ? index : 0;
    if (!t || result().contains(t))
        return;
    listAppend(m_pass, t);

    char line[96];
    std::snprintf(line, sizeof line, "Parent nodes of current relation (%s): pos=%d\n", direction,
                  pos);
    std::string log = line;
    if (block) {
        for (ListPosition at{const_cast<ChunkList*>(block), 0}; at;
             at = ChunkList::nextPosition(at))
            plainLabelTo(log, static_cast<const NodeList*>(at.block)->node(at.index));
    }
    LogText(log.c_str());

    const NodeList* own = m_lists->OwnStipulated;
    bool overridden = ListContains(own, r);
    for (int i = 0, n = own ? own->size() : 0; i < n && !overridden; ++i)
        overridden = rel && IsNearAncestor(own->nodeAt(i), rel);
    overridden = overridden || result().holdsNearDescendantOf(t);
    if (overridden && rel)
        markOverridden(t, rel);

    if (!rel || rel->hasFlag(OverriddenMark) || !block)
        return;
    LogText(checking);
    const int global = sideList->globalIndexOf(block, index);
    bool later = false;
    for (int i = global + 1, n = sideList->size(); i < n && !later; ++i)
        later = relationOf(sideList->nodeAt(i)) == rel;
    if (later) {
        LogText("found\n");
        markOverridden(t, rel);
    } else {
        LogText("\n");
    }
}

void appendSides(ReportLists& lists) {
    AppendAll(lists.StipulatedList, lists.ToSideList);
    AppendAll(lists.StipulatedList, lists.FromSideList);
}

} // namespace

ReportLists::~ReportLists() {
    for (NodeList** list : {&ToSideList, &FromSideList, &StipulatedList, &OwnStipulated,
                            &AncestorList, &OverriddenTargets, &OverriddenRelations})
        DisposeList(*list);
}

NodeList* RelatedNodes(Node* s, int slot) {
    Search search(slot, nullptr);
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
    Search search(slot, &lists);
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
    Search search(slot, &lists);
    NodeList* result = search.run(
        s, [](Search& found, Node* n) { found.climb(n, &Search::takeTo, &Search::takeFrom); });
    appendSides(lists);
    return result;
}

NodeList* AncestorNodes(Node* s, int slot) {
    Search search(slot, nullptr);
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
    Search search(slot, &lists);
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
    const NodeList* parents = x->slotList(ParentSlot);
    for (int i = 0, n = parents->size(); i < n; ++i) {
        const NodeBase* p = parents->nodeAt(i);
        if (p == y || first(p, ParentSlot) == y || ListContains(p->slotList(ParentSlot), y))
            return true;
    }
    return false;
}

} // namespace tarvo
