// Edits issued from a view: each is a group of change records that the network applies first
// and every view then applies to its own nodes, with its inverse kept for Undo.
#include "view/view_editing.h"

#include "containers/node_list.h"
#include "edit/changes.h"
#include "labels/label_cells.h"
#include "labels/label_markup.h"
#include "layout/layering.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/size_class_heap.h"
#include "model/graph_walk.h"
#include "model/links.h"
#include "model/network.h"
#include "view/label_editor.h"
#include "view/net_view.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"

#include <cstring>
#include <optional>
#include <utility>

namespace tarvo {
namespace {

// The view may edit: it has a current node standing for a node of its network.
bool canEdit(const NetView& view) {
    return view.layout.nodes && view.current && view.current->source && view.network;
}

std::uint8_t kindFlag(const Node* node) {
    return node->relationKind() ? ChangeFlags::RelationKind : 0;
}

// The node a slot element stands for, through the fillers of a long link.
ViewNode* realNode(NodeBase* node, int slot) {
    auto* v = asViewNode(node);
    while (v && v->hasFlag(NodeFlags::DummyNode))
        v = asViewNode(v->first(slot));
    return v;
}

Node* realSource(NodeBase* node, int slot) {
    ViewNode* v = realNode(node, slot);
    return v ? v->source : nullptr;
}

// Applies the recorded group; afterwards the menus follow what can be undone now.
bool commit(NetView& view) {
    const bool applied = CommitEdit(*view.network);
    if (view.host)
        UpdateMenus(view);
    return applied;
}

// Records one step with its inverse; gives the edit up when memory ran out.
bool record(Network& net, ChangeStep step, std::optional<ChangeStep> inverse, int flags,
            int position) {
    if (RecordChange(net, std::move(step), std::move(inverse), flags, position))
        return true;
    AbandonEdit(net);
    return false;
}

// True when adding `x` to `n`'s isa slot would close a cycle of isa links (or link n to
// itself): x would become a parent of one of its own descendants, or a child of one of its
// ancestors.
bool closesIsaCycle(Node* n, int slot, Node* x) {
    if (n == x)
        return true;
    // slot 1: x becomes n's child, so x must not be above n; slot 0: the other way round.
    Node* upper = slot == ChildSlot ? x : n;
    Node* lower = slot == ChildSlot ? n : x;
    markLineage(upper, 0, 1);
    const bool cycle = lower->hasFlag(NodeFlags::DescendantMark);
    markLineage(upper, 0, 0);
    return cycle;
}

// Records the insertion of a new node next to the current one; the caller commits.
bool recordInsert(NetView& view, bool asChild, bool byRelation, const char* label, int position) {
    if (EditorOpen(view) || !canEdit(view))
        return false;
    Node* at = view.current->source;
    if (at->isProperty() || (byRelation && at->relationKind()))
        return false;
    const Node* relation = nullptr;
    if (!byRelation && at->isEntity() && view.selectedRelation &&
        view.selectedRelation != view.network->isaRelation())
        relation = view.selectedRelation;
    const bool propertyLink = byRelation || relation;
    const int slot =
        propertyLink ? (asChild ? ToSlot : FromSlot) : (asChild ? ChildSlot : ParentSlot);
    // A node without a label of its own carries a fresh anonymous one, so that two new empty
    // nodes never meet in the network table.
    char* name = label && *label ? DuplicateText(label) : view.network->labelIds().fresh();
    if (!name || view.network->find(name, at->relationKind())) {
        Release(name);
        return false;
    }
    char* relationName = nullptr;
    char* relationToRemove = nullptr;
    if (byRelation) {
        relationName = view.network->labelIds().fresh();
        relationToRemove = DuplicateText(relationName);
    } else if (relation) {
        relationName = DuplicateText(relation->keyText());
        // An empty relation name in the inverse says that the relation stays.
        relationToRemove = DuplicateText("");
    }
    InsertStep step{at, OwnedText(name), OwnedText(relationName)};
    RemoveStep inverse{CopyText(name), OwnedText(relationToRemove)};
    // Without memory for the inverse's names the edit could not be undone: it is not made.
    if (!inverse.name || (step.relation && !inverse.relation))
        return false;
    return record(*view.network, std::move(step), std::move(inverse), slot | kindFlag(at),
                  position);
}

// Records the removal of the isa link between node and other; the caller commits.
bool recordRemoveLink(NetView& view, ViewNode* node, int slot, ViewNode* other) {
    if (!canEdit(view) || !node || !other || slot < ParentSlot || slot > ChildSlot)
        return false;
    Node* n = node->source;
    Node* x = other->source;
    const int position = n && x ? positionOf(n, slot, x) : -1;
    if (position < 0)
        return false;
    RemoveLinkStep step{n, x, nullptr};
    AddLinkStep inverse = ReversedStep(step);
    return record(*view.network, std::move(step), std::move(inverse), slot | kindFlag(n), position);
}

} // namespace

bool InsertNode(NetView& view, bool asChild, bool byRelation, const char* label, int position) {
    return recordInsert(view, asChild, byRelation, label, position) && commit(view);
}

bool DeleteCurrentNode(NetView& view) {
    // A drag holds the view's nodes it started from; deleting one under it would leave the
    // drop with nodes the view no longer has.
    if (EditorOpen(view) || !canEdit(view) || !view.currentLink || DragRunning(view))
        return false;
    RemoveDummyNodes(view.layout);
    Node* node = view.current->source;
    RestoreStep inverse(node, OwnedPositions(recordPositions(node)));
    if (!record(*view.network, DeleteStep{node}, std::move(inverse), kindFlag(node), -1))
        return false;
    const bool applied = commit(view);
    ShowCurrent(view);
    return applied;
}

bool UndoLastChange(NetView& view) {
    // Undo rebuilds the views' nodes, which a running drag holds.
    if (!canEdit(view) || !changes(*view.network).undo || DragRunning(view))
        return false;
    const bool applied = UndoLastEdit(*view.network);
    if (view.host)
        UpdateMenus(view);
    ShowCurrent(view);
    return applied;
}

bool ReorderSlot(NetView& view, ViewNode* node, int slot, const NodeList* order) {
    if (!canEdit(view) || !node || !node->source || slot < 0 || slot >= kLinkSlotCount)
        return false;
    Node* source = node->source;
    const NodeSlot present = source->slotList(slot);
    // The new order must hold the same neighbours, and differ from the present one.
    NodeList* wanted = nullptr;
    bool valid = listSize(order) == listSize(present);
    forEachNode(order, [&](NodeBase* n) {
        Node* x = realSource(n, slot);
        valid = valid && x && present.indexOf(x) >= 0 && listAppend(wanted, x);
    });
    bool same = valid;
    for (int i = 0; same && i < listSize(present); ++i)
        same = wanted->nodeAt(i) == present.nodeAt(i);
    forEachNode(present, [&](NodeBase* x) { valid = valid && wanted->indexOf(x) >= 0; });
    if (!valid || same) {
        DisposeList(wanted);
        return false;
    }
    if (!record(*view.network, ReorderStep{source, OwnedList(wanted)},
                ReorderStep{source, CopyList(present)}, slot | kindFlag(source), -1))
        return false;
    return commit(view);
}

bool MoveAmongSiblings(NetView& view, int step) {
    ViewNode* link = view.currentLink;
    if (!link || !canEdit(view))
        return false;
    const int slot = view.linkDirection;
    // The siblings as the nodes they are, not the fillers that may stand in the list.
    NodeList* order = nullptr;
    int from = -1;
    forEachNode(link->slots[slot], [&](NodeBase* n) {
        ViewNode* v = realNode(n, slot);
        if (v == view.current)
            from = listSize(order);
        listAppend(order, v);
    });
    const int to = from + step;
    if (from < 0 || to < 0 || to >= listSize(order)) {
        DisposeList(order);
        return false;
    }
    order->removeAtIndex(from);
    order->insertAtIndex(view.current, to);
    const bool done = ReorderSlot(view, link, slot, order);
    DisposeList(order);
    return done;
}

bool SetLabel(NetView& view, ViewNode* node, const char* text) {
    if (!canEdit(view) || !node || !node->source || node->source->isProperty())
        return false;
    Node* source = node->source;
    const int kind = source->relationKind();
    const char* old = source->keyText();
    char* name = text && *text ? DuplicateText(text) : view.network->labelIds().fresh();
    // Nothing changes, or the name is taken by another node of the same kind.
    if (!name || (old && std::strcmp(old, name) == 0) || view.network->find(name, kind)) {
        Release(name);
        return false;
    }
    RenameStep step(CopyText(old), OwnedText(name));
    RenameStep inverse = ReversedStep(step);
    if (!inverse.from || !inverse.to)
        return false;
    if (!record(*view.network, std::move(step), std::move(inverse), kindFlag(source), -1))
        return false;
    return commit(view);
}

bool AddLink(NetView& view, ViewNode* node, int slot, ViewNode* other, int position) {
    if (!canEdit(view) || !node || !other || slot < ParentSlot || slot > ChildSlot)
        return false;
    Node* n = node->source;
    Node* x = other->source;
    if (!n || !x || n->isProperty() || x->isProperty() || n->relationKind() != x->relationKind() ||
        positionOf(n, slot, x) >= 0 || closesIsaCycle(n, slot, x))
        return false;
    AddLinkStep step(n, x, nullptr);
    RemoveLinkStep inverse = ReversedStep(step);
    if (!record(*view.network, std::move(step), std::move(inverse), slot | kindFlag(n), position))
        return false;
    return commit(view);
}

bool RemoveLink(NetView& view, ViewNode* node, int slot, ViewNode* other) {
    return recordRemoveLink(view, node, slot, other) && commit(view);
}

bool DetachLinkEnd(NetView& view, int slot, ViewNode* other) {
    ViewNode* node = view.current;
    const int position = node && node->source && other && other->source
                             ? positionOf(node->source, slot, other->source)
                             : -1;
    if (!recordRemoveLink(view, node, slot, other))
        return false;
    if (!recordInsert(view, slot == ChildSlot, false, "", position)) {
        AbandonEdit(*view.network);
        return false;
    }
    return commit(view);
}

bool MarkDrag(NetView& view, ViewNode* node, int slot, bool on) {
    if (!canEdit(view) || !node || !node->source)
        return false;
    if (!record(*view.network, MarkDragStep{node->source}, std::nullopt,
                slot | kindFlag(node->source), on ? 1 : 0))
        return false;
    return commit(view);
}

bool MoveLinkEnd(NetView& view, ViewNode* node, int slot, ViewNode* from, ViewNode* to) {
    if (!canEdit(view) || !node || !from || !to || slot < ParentSlot || slot > ChildSlot)
        return false;
    Node* n = node->source;
    Node* old = from->source;
    Node* x = to->source;
    const int position = n && old ? positionOf(n, slot, old) : -1;
    if (position < 0 || !x || x->isProperty() || n->relationKind() != x->relationKind() ||
        positionOf(n, slot, x) >= 0)
        return false;
    // The link that goes runs on the other side of n from the lineage the test follows (a
    // new parent must not be below n, a new child not above it), so it leaves the test alone.
    if (closesIsaCycle(n, slot, x))
        return false;
    const int flags = slot | kindFlag(n);
    if (!record(*view.network, RemoveLinkStep{n, old, nullptr}, AddLinkStep(n, old, nullptr), flags,
                position) ||
        !record(*view.network, AddLinkStep(n, x, nullptr), RemoveLinkStep{n, x, nullptr}, flags,
                position))
        return false;
    return commit(view);
}

void ApplyFormat(NetView& view, int kind, int value) {
    if (EditorOpen(view)) {
        EditorApplyFormat(view, kind, value);
        return;
    }
    // Without the editor the change goes to the whole label, as one relabelling.
    if (!canEdit(view) || view.current->source->isProperty())
        return;
    const char* label = view.current->source->keyText();
    if (!label || IsAnonymousLabel(label))
        return;
    LabelCells* cells = CellsOfLabel(label);
    if (!cells)
        return;
    const TextCell* first = cells->cellAt(0);
    FormatCells(*cells, 0, cells->size(), kind, value, first ? first->style : 0);
    char* text = LabelOfCells(*cells);
    cells->destroy();
    if (text)
        SetLabel(view, view.current, text);
    Release(text);
}

} // namespace tarvo
