// The inheritance searches over the walk engine.
#include "inheritance/inheritance_searches.h"

#include "inheritance/inheritance_walk.h"
#include "labels/label_text.h"
#include "memory/debug_log.h"
#include "model/links.h"
#include "model/node.h"
#include "model/node_list.h"

#include <cstdio>
#include <string>
#include <unordered_set>

namespace tarvo {
namespace {

NodeBase* relationOf(const NodeBase* property);

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

long searchGeneration = 0;

// The index of the walk's result, brought up to date.
const GrowingListIndex& result() {
    static GrowingListIndex index;
    index.follow(walkState().WalkResult, searchGeneration);
    return index;
}

// The index of the current pass's findings.
const GrowingListIndex& pass() {
    static GrowingListIndex index;
    index.follow(walkState().PassResult, searchGeneration * 1000003L + walkState().WalkPassCount);
    return index;
}

// The mask of the one slot a search climbs.
std::uint32_t maskFor(int slot) {
    return 1u << (static_cast<unsigned>(slot) % 32u);
}

void startSearch() {
    DisposeList(walkState().WalkResult);
    DisposeList(walkState().PassResult);
    ++searchGeneration;
}

NodeList* runSearch(Node* s, WalkVisitor visitor, int slot) {
    startSearch();
    InheritanceWalk(s, visitor, maskFor(slot), CollectPass);
    NodeList* found = walkState().WalkResult;
    walkState().WalkResult = nullptr;
    ++searchGeneration;
    return found;
}

void collect(NodeBase* x) {
    if (!result().contains(x))
        listAppend(walkState().PassResult, x);
}

NodeBase* relationOf(const NodeBase* property) {
    return first(property, ParentSlot);
}

// take-to and take-from: a property whose relation the walk has not met yet joins the pass,
// and every property joins its side list once.
void take(NodeBase* r, NodeList*& sideList) {
    const NodeBase* relation = relationOf(r);
    if (!relation)
        return;
    if (!result().holdsPropertyOf(relation))
        listAppend(walkState().PassResult, r);
    listAddUnique(sideList, r);
}

template <typename Each> void forEachIn(const NodeBase* n, int slot, Each each) {
    const NodeList* list = n->slotList(slot);
    for (int i = 0, size = list ? list->size() : 0; i < size; ++i)
        each(list->nodeAt(i));
}

void appendSides() {
    ReportLists& lists = reportLists();
    AppendAll(lists.StipulatedList, lists.ToSideList);
    AppendAll(lists.StipulatedList, lists.FromSideList);
}

void plainLabelTo(std::string& out, const NodeBase* node) {
    PlainText(node->name, out);
    out += "##\n";
}

void markOverridden(Node* target, Node* relation) {
    ReportLists& lists = reportLists();
    listAppend(lists.OverriddenTargets, target);
    target->setFlag(1, OverriddenMark);
    listAppend(lists.OverriddenRelations, relation);
    relation->setFlag(1, OverriddenMark);
}

// check-to and check-from: the value of an ancestor's property joins the pass, and it is marked
// overridden when S's own properties, or a nearer property of the relation, stand in its way.
void check(NodeBase* r, int endSlot, NodeList* sideList, const char* direction,
           const char* checking) {
    Node* t = asNode(first(r, endSlot));
    Node* rel = asNode(relationOf(r));
    int index = 0;
    const ChunkList* block = sideList ? sideList->findElement(r, identity, &index) : nullptr;
    const int pos = block ? index : 0;
    if (!t || result().contains(t))
        return;
    listAppend(walkState().PassResult, t);

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

    const ReportLists& lists = reportLists();
    bool overridden = ListContains(lists.OwnStipulated, r);
    for (int i = 0, n = lists.OwnStipulated ? lists.OwnStipulated->size() : 0; i < n && !overridden;
         ++i)
        overridden = rel && IsNearAncestor(lists.OwnStipulated->nodeAt(i), rel);
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

// The visitor shared by the upward searches: for each parent of n, its properties, then the
// parent and n itself into the frontier.
template <void (*OnTo)(NodeBase*), void (*OnFrom)(NodeBase*)> void climb(Node* n) {
    if (!n->slotList(ParentSlot))
        return;
    forEachIn(n, ParentSlot, [](NodeBase* base) {
        Node* p = asNode(base);
        forEachIn(p, ToSlot, OnTo);
        forEachIn(p, FromSlot, OnFrom);
        if (p->slotList(ParentSlot))
            AddToFrontier(p);
    });
    AddToFrontier(n);
}

void takeTo(NodeBase* r) {
    take(r, reportLists().ToSideList);
}
void takeFrom(NodeBase* r) {
    take(r, reportLists().FromSideList);
}
void checkTo(NodeBase* r) {
    check(r, ToSlot, reportLists().ToSideList, "to", "checking for parent relation:...");
}
void checkFrom(NodeBase* r) {
    check(r, FromSlot, reportLists().FromSideList, "from", "checking for parent relation...");
}

} // namespace

ReportLists& reportLists() {
    static ReportLists lists;
    return lists;
}

void DisposeReportLists() {
    ReportLists& lists = reportLists();
    for (NodeList** list :
         {&lists.ToSideList, &lists.FromSideList, &lists.StipulatedList, &lists.OwnStipulated,
          &lists.AncestorList, &lists.OverriddenTargets, &lists.OverriddenRelations})
        DisposeList(*list);
}

NodeList* RelatedNodes(Node* s, int slot) {
    return runSearch(
        s,
        [](Node* n) {
            forEachIn(n, ToSlot, [](NodeBase* r) {
                if (NodeBase* end = first(r, ToSlot))
                    collect(end);
            });
            forEachIn(n, FromSlot, [](NodeBase* r) {
                if (NodeBase* end = first(r, FromSlot))
                    collect(end);
            });
        },
        slot);
}

NodeList* StipulatedRelations(Node* s, int slot) {
    DisposeList(reportLists().ToSideList);
    DisposeList(reportLists().FromSideList);
    NodeList* result = runSearch(
        s,
        [](Node* n) {
            forEachIn(n, ToSlot, takeTo);
            forEachIn(n, FromSlot, takeFrom);
        },
        slot);
    appendSides();
    return result;
}

NodeList* InheritedRelations(Node* s, int slot) {
    DisposeList(reportLists().ToSideList);
    DisposeList(reportLists().FromSideList);
    NodeList* result = runSearch(s, climb<takeTo, takeFrom>, slot);
    appendSides();
    return result;
}

NodeList* AncestorNodes(Node* s, int slot) {
    return runSearch(
        s,
        [](Node* n) {
            if (!n->slotList(ParentSlot))
                return;
            forEachIn(n, ParentSlot, [](NodeBase* p) {
                WalkState& walk = walkState();
                // Within a pass a parent is taken once; an earlier pass's find may come again.
                if (!walk.WalkResult || !pass().contains(p))
                    listAppend(walk.PassResult, p);
            });
            AddToFrontier(n);
        },
        slot);
}

NodeList* InheritedProperties(Node* s, int slot) {
    DisposeList(reportLists().OverriddenTargets);
    DisposeList(reportLists().OverriddenRelations);
    return runSearch(s, climb<checkTo, checkFrom>, slot);
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
