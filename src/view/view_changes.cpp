// Applying change records in a view. The network has applied the group already; the view
// brings its own copies of the nodes in line: renames and drag marks in place, everything
// else by walking the network from the current node and reusing, making and dropping copies.
#include "view/view_changes.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "edit/changes.h"
#include "layout/layering.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/size_class_heap.h"
#include "model/graph_walk.h"
#include "model/network.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/spotlight.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <algorithm>
#include <type_traits>
#include <unordered_set>
#include <variant>
#include <vector>

namespace tarvo {
namespace {

// The network node stored under the copy's own key and kind: the copy's source when that is
// still in the network. Never looks at the source itself, which may have been destroyed.
bool sourceInNetwork(const NetView& view, const ViewNode* v) {
    NodeTable* network = view.network ? view.network->table() : nullptr;
    return v->source && network && network->lookup(v) == v->source;
}

// A node of the network table, not one held detached by a deletion.
bool inNetwork(const NetView& view, const Node* node) {
    return view.network && view.network->holds(node);
}

// Whether the network table holds this very node, found by address alone: the node may have
// been destroyed, so nothing of it is read.
bool holdsNode(const NetView& view, const Node* node) {
    NodeTable* network = view.network ? view.network->table() : nullptr;
    if (!network)
        return false;
    struct Search {
        const Node* node;
        bool found;
    } search{node, false};
    network->forEach(
        [](void* context, NodeBase* n) {
            auto* s = static_cast<Search*>(context);
            s->found = n == s->node;
            return s->found ? 1 : 0;
        },
        &search);
    return search.found;
}

// Gives a copy the name, key, shape and kind of its (new) source.
void takeOver(ViewNode* v, Node* source) {
    Release(v->name);
    v->name = nullptr;
    v->setName(source->name, 1);
    Release(v->key);
    v->key = DuplicateText(source->key);
    v->shape = source->shape;
    v->flags = (v->flags & ~NodeFlags::ViewCopyMask) | (source->flags & NodeFlags::ViewCopyMask);
    v->source = source;
}

// The view's copy of `node`, made when there is none. A copy under the same key whose source
// has gone stands for the node now.
ViewNode* copyOf(NetView& view, Node* node) {
    if (auto* v = asViewNode(view.layout.nodes->lookup(node))) {
        if (v->source != node)
            takeOver(v, node);
        return v;
    }
    return viewNodeFor(*view.layout.nodes, node);
}

// True when the list holds exactly `wanted`, in order.
bool listIs(NodeSlot list, const std::vector<NodeBase*>& wanted) {
    if (listSize(list) != static_cast<int>(wanted.size()))
        return false;
    std::size_t i = 0;
    bool same = true;
    forEachNode(list, [&](NodeBase* n) { same = same && n == wanted[i++]; });
    return same;
}

// The cursor is put back on the new list afterwards, so a changed list is simply replaced.
void setList(NodeSlot& list, const std::vector<NodeBase*>& wanted) {
    if (listIs(list, wanted))
        return;
    slotClear(list);
    for (NodeBase* n : wanted)
        slotAppend(list, n);
}

// A node to stand for the current node when its network node has gone: the current link, then
// the nearest copy through the view's own links whose node is still there, then the root, then
// any copy that is still there.
ViewNode* replacementFor(NetView& view, ViewNode* gone) {
    if (view.currentLink && view.currentLink != gone && sourceInNetwork(view, view.currentLink))
        return view.currentLink;
    std::vector<ViewNode*> queue{gone};
    std::unordered_set<ViewNode*> seen{gone};
    for (std::size_t at = 0; at < queue.size(); ++at) {
        ViewNode* v = queue[at];
        for (int slot = 0; slot < v->linkSlotCount; ++slot) {
            ViewNode* found = nullptr;
            forEachNode(v->slots[slot], [&](NodeBase* n) {
                auto* x = asViewNode(n);
                if (found || !seen.insert(x).second)
                    return;
                if (sourceInNetwork(view, x))
                    found = x;
                else
                    queue.push_back(x);
            });
            if (found)
                return found;
        }
    }
    if (view.root && view.root != gone && sourceInNetwork(view, view.root))
        return view.root;
    struct Search {
        const NetView& view;
        ViewNode* any;
    } search{view, nullptr};
    view.layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            auto* s = static_cast<Search*>(context);
            auto* v = asViewNode(n);
            if (!sourceInNetwork(s->view, v))
                return 0;
            s->any = v;
            return 1;
        },
        &search);
    return search.any;
}

void makeCurrent(NetView& view, ViewNode* node) {
    if (view.current)
        view.current->setFlag(0, NodeFlags::CurrentMark);
    if (view.currentLink)
        view.currentLink->setFlag(0, NodeFlags::CurrentLinkMark);
    view.current = node;
    view.currentLink = nullptr;
    view.linkCursor = LinkCursor{};
    node->setFlag(1, NodeFlags::CurrentMark);
    node->setFlag(0, NodeFlags::Hidden);
}

// The network nodes a group of changes made or brought back: a view shows their copies when a
// shown node links to them, where a node it already reached stays hidden.
using FreshNodes = std::unordered_set<const Node*>;

// Copies the node's links from its source; answers the neighbours' copies through `reached`.
// A node the view holds no copy of gets one where a shown node links to a node the changes
// made or to a property, which the changes made too, and is shown; with `copyAll` (the current
// node and its link, whose lists the link cursor steps through, and properties) every
// neighbour gets one, made hidden, as what lies beyond the view's edge is. The others are only
// counted as unseen.
void syncLinks(NetView& view, ViewNode* v, std::unordered_set<ViewNode*>& reached,
               std::vector<ViewNode*>& queue, const FreshNodes& fresh, bool copyAll,
               std::unordered_set<ViewNode*>& made) {
    Node* source = v->source;
    std::vector<NodeBase*> wanted;
    for (int slot = 0; slot < v->linkSlotCount; ++slot) {
        wanted.clear();
        int unseen = 0;
        if (source && slot < source->linkSlotCount) {
            forEachNode(source->slots[slot], [&](NodeBase* n) {
                Node* x = asNode(n);
                if (!inNetwork(view, x))
                    return;
                const bool held = view.layout.nodes->lookup(x) != nullptr;
                const bool show = !held && !isHidden(v) && (fresh.contains(x) || x->isProperty());
                if (!held && !show && !copyAll) {
                    ++unseen;
                    return;
                }
                ViewNode* copy = copyOf(view, x);
                if (!copy || std::find(wanted.begin(), wanted.end(), copy) != wanted.end())
                    return;
                if (!held) {
                    copy->setFlag(!show, NodeFlags::Hidden);
                    made.insert(copy);
                }
                wanted.push_back(copy);
                if (reached.insert(copy).second)
                    queue.push_back(copy);
            });
            v->counts[slot] = source->counts[slot];
        }
        if (slot < kLinkSlotCount)
            v->unseen[slot] = unseen;
        setList(v->slots[slot], wanted);
    }
}

// Points the link cursor at the current link's list again when copying replaced it.
void repointCursor(NetView& view) {
    ViewNode* link = view.currentLink;
    if (!link || !view.linkCursor.list)
        return;
    const NodeSlot list = link->slotList(view.linkDirection);
    if (view.linkCursor.list == list)
        return;
    int index = -1;
    int at = 0;
    forEachNode(list, [&](NodeBase* element) {
        if (index < 0 && ThroughDummies(element, view.linkDirection) == view.current)
            index = at;
        ++at;
    });
    view.linkCursor = index < 0 ? LinkCursor{} : LinkCursor{list, index};
}

// A partial copy links to the complete copies among its source's neighbours; they are reached
// through it.
void syncPartial(NetView& view, ViewNode* v, std::unordered_set<ViewNode*>& reached,
                 std::vector<ViewNode*>& queue) {
    LinkPartialViewNode(*view.layout.nodes, v,
                        [&view](const Node* x) { return inNetwork(view, x); });
    for (int slot = 0; slot < v->linkSlotCount; ++slot)
        forEachNode(v->slots[slot], [&](NodeBase* n) {
            auto* x = asViewNode(n);
            if (reached.insert(x).second)
                queue.push_back(x);
        });
}

struct DropContext {
    const std::unordered_set<ViewNode*>* reached;
    std::vector<ViewNode*> dropped;
};

// Takes the copies the walk did not reach out of the view and destroys them.
void dropUnreached(NetView& view, const std::unordered_set<ViewNode*>& reached) {
    DropContext context{&reached, {}};
    view.layout.nodes->forEach(
        [](void* c, NodeBase* n) {
            auto* drop = static_cast<DropContext*>(c);
            auto* v = asViewNode(n);
            if (!drop->reached->count(v))
                drop->dropped.push_back(v);
            return 0;
        },
        &context);
    if (context.dropped.empty())
        return;
    const std::unordered_set<ViewNode*> gone(context.dropped.begin(), context.dropped.end());
    // Their links lead only to one another: nothing reached points at them any more.
    for (ViewNode* v : context.dropped) {
        NodeBase* stored = v;
        view.layout.nodes->remove(stored);
        v->destroy();
    }
    if (view.root && gone.contains(view.root))
        view.root = view.current;
    if (view.widestNode && gone.contains(view.widestNode))
        view.widestNode = nullptr;
    if (view.currentLink && gone.contains(view.currentLink)) {
        view.currentLink = nullptr;
        view.linkCursor = LinkCursor{};
    }
}

// After the links changed: the cursor stands on the current node in the current link's slot,
// or there is no current link.
void revalidateCursor(NetView& view) {
    ViewNode* link = view.currentLink;
    const NodeSlot list = link ? link->slots[view.linkDirection] : NodeSlot();
    const int index = list ? list.indexOf(view.current) : -1;
    if (index < 0) {
        if (link)
            link->setFlag(0, NodeFlags::CurrentLinkMark);
        view.currentLink = nullptr;
        view.linkCursor = LinkCursor{};
        ChooseCurrentLink(view);
        return;
    }
    view.linkCursor = LinkCursor{link->slots[view.linkDirection], index};
}

// Renames: the copy found under the old name takes the new name from its source.
bool applyRename(NetView& view, const RenameStep& s, const ChangeRecord& r) {
    auto* v = asViewNode(findNodeIn(view.layout.nodes, s.from.get(), r.relationKind()));
    if (!v)
        return false;
    Node* source = view.network->find(s.to.get(), r.relationKind());
    if (!source)
        return false;
    NodeBase* stored = v;
    view.layout.nodes->remove(stored);
    takeOver(v, source);
    if (view.layout.nodes->insert(v))
        return true;
    // Only a second copy of one network node could hold the new key; the copy keeps its old
    // name rather than leave the table.
    Release(v->name);
    v->name = DuplicateText(s.from.get());
    view.layout.nodes->insert(v);
    return false;
}

void applyDragMark(NetView& view, const MarkDragStep& s, const ChangeRecord& r) {
    ViewNode* v = FindViewNode(view, s.node);
    if (!v)
        return;
    forEachNode(v->slots[r.slot()], [&](NodeBase* n) {
        auto* x = asViewNode(n);
        // Fillers stand for the real neighbour beyond them.
        while (x && x->hasFlag(NodeFlags::DummyNode))
            x = asViewNode(x->first(r.slot()));
        if (!x)
            return;
        x->setFlag(r.position != 0, NodeFlags::DragMark);
        InvalidateNode(view, x);
    });
}

// Whether the view holds the node or one next to it. A property counts as a part of its
// link: the nodes beyond it count as next to the node too, since a restored node brings its
// properties back into its relations' lists.
bool touchesView(const NetView& view, const Node* n) {
    if (!n || FindViewNode(view, n))
        return true;
    bool held = false;
    for (int slot = 0; slot < n->linkSlotCount && !held; ++slot)
        forEachNode(n->slots[slot], [&](NodeBase* x) {
            if (held || FindViewNode(view, asNode(x))) {
                held = true;
                return;
            }
            if (!asNode(x)->isProperty())
                return;
            for (int k = 0; k < x->linkSlotCount && !held; ++k)
                forEachNode(x->slots[k], [&](NodeBase* y) {
                    held = held || (y != n && FindViewNode(view, asNode(y)));
                });
        });
    return held;
}

// Whether some copy counts a neighbour without a copy that the network no longer links it to.
bool unseenCountsStale(const NetView& view) {
    struct Search {
        NodeTable* table;
        bool stale;
    } search{view.layout.nodes, false};
    view.layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            auto* s = static_cast<Search*>(context);
            const auto* v = asViewNode(n);
            if (!v->source || !hasUnseen(v))
                return 0;
            for (int slot = 0; slot < kLinkSlotCount && slot < v->source->linkSlotCount; ++slot) {
                int unseen = 0;
                forEachNode(v->source->slots[slot], [&](NodeBase* x) {
                    unseen += copyInView(*s->table, asNode(x)) == nullptr;
                });
                s->stale = s->stale || unseen != unseenIn(v, slot);
            }
            return s->stale ? 1 : 0;
        },
        &search);
    return search.stale;
}

// Whether a removal may change what the view holds: the network has destroyed the node, so
// the view knows it by name, or by the count of a neighbour it held no copy of.
bool removes(const NetView& view, const char* name, const char* relation, int kind) {
    return findNodeIn(view.layout.nodes, name, kind) ||
           (relation && *relation && findNodeIn(view.layout.nodes, relation, 1)) ||
           unseenCountsStale(view);
}

// Whether a structural record may change what the view holds; the others leave it alone.
bool concerns(const NetView& view, const InsertStep& s, const ChangeRecord&) {
    return touchesView(view, s.at);
}
bool concerns(const NetView& view, const DeleteStep& s, const ChangeRecord&) {
    return touchesView(view, s.node);
}
bool concerns(const NetView& view, const RemoveStep& s, const ChangeRecord& r) {
    return removes(view, s.name.get(), s.relation.get(), r.relationKind());
}
bool concerns(const NetView& view, const RemoveRelationStep& s, const ChangeRecord&) {
    return removes(view, s.name.get(), s.relation.get(), 1);
}
bool concerns(const NetView& view, const RestoreStep& s, const ChangeRecord&) {
    return touchesView(view, s.node);
}
bool concerns(const NetView& view, const AddLinkStep& s, const ChangeRecord&) {
    return touchesView(view, s.first) || touchesView(view, s.second);
}
bool concerns(const NetView& view, const RemoveLinkStep& s, const ChangeRecord&) {
    return touchesView(view, s.first) || touchesView(view, s.second);
}
bool concerns(const NetView& view, const ReorderStep& s, const ChangeRecord&) {
    return touchesView(view, s.node);
}

// What one record of a group asks of the view.
struct Effect {
    bool structural = false;
    bool relabelled = false;
};

void applyRecord(NetView& view, const ChangeRecord& r, Effect& effect) {
    std::visit(
        [&](const auto& s) {
            using Step = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<Step, RenameStep>)
                effect.relabelled = applyRename(view, s, r) || effect.relabelled;
            else if constexpr (std::is_same_v<Step, MarkDragStep>)
                applyDragMark(view, s, r);
            else
                effect.structural = effect.structural || concerns(view, s, r);
        },
        r.step);
}

// The nodes a record made or brought back.
void noteFresh(const NetView& view, const ChangeRecord& r, FreshNodes& fresh) {
    if (const auto* insert = std::get_if<InsertStep>(&r.step)) {
        if (Node* made = view.network->find(insert->name.get(), r.relationKind()))
            fresh.insert(made);
    } else if (const auto* restore = std::get_if<RestoreStep>(&r.step)) {
        fresh.insert(restore->node);
    }
}

} // namespace

ViewListener::ViewListener(NetView& view) : m_view(view) {
    AddChangeListener(*view.network, this);
}

ViewListener::~ViewListener() {
    RemoveChangeListener(*m_view.network, this);
}

void ViewListener::applyChanges(const ChangeRecord* group) {
    ApplyChangesInView(m_view, group);
}

void RegisterView(NetView& view) {
    if (view.network && !view.listener)
        view.listener = std::make_unique<ViewListener>(view);
}

void UnregisterView(NetView& view) {
    view.listener.reset();
}

bool CopyHiddenNeighbours(NetView& view, ViewNode* node, int slot) {
    if (!view.layout.nodes || !MakeNeighbourCopies(*view.layout.nodes, node, slot))
        return false;
    repointCursor(view);
    return true;
}

ViewNode* FindViewNode(const NetView& view, const Node* source) {
    if (!view.layout.nodes || !source)
        return nullptr;
    auto* v = asViewNode(view.layout.nodes->lookup(source));
    return v && v->source == source ? v : nullptr;
}

void SyncViewNodes(NetView& view, const std::unordered_set<const Node*>& fresh) {
    if (!view.layout.nodes || !view.current)
        return;
    RemoveDummyNodes(view.layout);
    DisposeList(view.layout.newlyHidden);
    if (!sourceInNetwork(view, view.current)) {
        if (ViewNode* other = replacementFor(view, view.current))
            makeCurrent(view, other);
        else
            view.current->source = nullptr; // the last copy: it stays, with no links
    }
    std::unordered_set<ViewNode*> reached{view.current};
    std::vector<ViewNode*> queue{view.current};
    std::unordered_set<ViewNode*> made;
    for (std::size_t at = 0; at < queue.size(); ++at) {
        ViewNode* v = queue[at];
        // A shown copy is complete (a layout would complete it anyway): a new property leads
        // on to its end, which the changes may have made too. So is a copy made here.
        if (isComplete(v) || !isHidden(v) || made.contains(v)) {
            // A property's ends are always copied: the layout reads them when it is shown.
            const bool copyAll = v == view.current || v == view.currentLink ||
                                 (v->source && v->source->isProperty());
            syncLinks(view, v, reached, queue, fresh, copyAll, made);
            v->complete = 1;
        } else {
            syncPartial(view, v, reached, queue);
        }
    }
    // A copy that counted a neighbour as unseen links to it when a later one made its copy.
    if (!made.empty())
        for (std::size_t at = 0; at < queue.size(); ++at) {
            ViewNode* v = queue[at];
            if (v->source && hasUnseen(v))
                syncLinks(view, v, reached, queue, fresh, false, made);
        }
    // A partial copy synced before the copy of one of its neighbours was completed, later in
    // the walk, links to that copy now.
    for (std::size_t at = 0; at < queue.size(); ++at) {
        ViewNode* v = queue[at];
        if (v->source && !isComplete(v))
            syncPartial(view, v, reached, queue);
    }
    dropUnreached(view, reached);
    revalidateCursor(view);
}

void ApplyChangesInView(NetView& view, const ChangeRecord* group) {
    if (!view.layout.nodes)
        return;
    Effect effect;
    std::unordered_set<const Node*> fresh;
    for (const ChangeRecord* r = group; r; r = r->continues() ? r->next : nullptr) {
        applyRecord(view, *r, effect);
        noteFresh(view, *r, fresh);
    }
    if (effect.structural) {
        // The view is about to lose nodes that an improvement under way holds.
        SettleLayout(view);
        SyncViewNodes(view, fresh);
        // The numbers and shades count from the current node over the links as they are now.
        Relayout(view, true, [](NetView& v) { MeasureDistances(v); });
    } else if (effect.relabelled && view.host) {
        UpdateTitle(view);
        FindWidestLabel(view);
        UpdateViewGeometry(view);
        RepaintView(view);
    }
    // The relation chosen for new links may be one the group destroyed.
    if (view.selectedRelation && !holdsNode(view, view.selectedRelation))
        view.selectedRelation = nullptr;
    // Whatever the group did, the network changed under the view's inspection windows: they
    // show every node of the network, and any of them may be gone or renamed.
    RepaintLinkInspection(view);
}

std::string describe(const std::vector<const Node*>& nodes) {
    std::string text;
    for (const Node* n : nodes)
        text += std::string(" ") + (n && n->name ? n->name : "?");
    return text;
}

std::string CheckViewAgainstNetwork(const NetView& view) {
    if (!view.layout.nodes || !view.current)
        return "the view has no nodes";
    std::unordered_set<const Node*> sources;
    std::string problem;
    std::vector<const ViewNode*> queue{view.current};
    std::unordered_set<const ViewNode*> seen{view.current};
    for (std::size_t at = 0; at < queue.size() && problem.empty(); ++at) {
        const ViewNode* v = queue[at];
        if (v->hasFlag(NodeFlags::DummyNode))
            continue;
        if (!sourceInNetwork(view, v)) {
            problem = std::string("a copy of a node that is not in the network: ") +
                      (v->name ? v->name : "");
            break;
        }
        sources.insert(v->source);
        for (int slot = 0; slot < v->linkSlotCount && problem.empty(); ++slot) {
            std::vector<const Node*> own;
            forEachNode(v->slots[slot], [&](NodeBase* n) {
                auto* x = asViewNode(n);
                // Through fillers to the real neighbour.
                while (x && x->hasFlag(NodeFlags::DummyNode))
                    x = asViewNode(x->first(slot));
                if (x && seen.insert(x).second)
                    queue.push_back(x);
                own.push_back(x ? x->source : nullptr);
            });
            std::vector<const Node*> theirs;
            // A partial copy links only to the complete copies of its neighbours, a complete
            // one to all the copies and counts the rest.
            NodeTable& table = *view.layout.nodes;
            const bool partial = !isComplete(v);
            int unseen = 0;
            forEachNode(v->source->slots[slot], [&](NodeBase* n) {
                const Node* x = asNode(n);
                if (!inNetwork(view, x))
                    return;
                const ViewNode* copy = copyInView(table, x);
                if (!copy || (partial && !copy->complete)) {
                    unseen += !copy;
                    return;
                }
                if (std::find(theirs.begin(), theirs.end(), x) == theirs.end())
                    theirs.push_back(x);
            });
            if (!partial && unseenIn(v, slot) != unseen)
                problem = std::string("the copy of ") + (v->name ? v->name : "") + " counts " +
                          std::to_string(unseenIn(v, slot)) +
                          " neighbours without a copy in slot " + std::to_string(slot) +
                          " where there are " + std::to_string(unseen);
            else if (own != theirs)
                problem = std::string("the links of ") + (v->name ? v->name : "") + " in slot " +
                          std::to_string(slot) + " differ from the network's (" +
                          std::to_string(own.size()) + " against " + std::to_string(theirs.size()) +
                          ")" + describe(own) + " /" + describe(theirs);
        }
    }
    if (!problem.empty())
        return problem;
    int copies = 0;
    view.layout.nodes->forEach(
        [](void* c, NodeBase*) {
            ++*static_cast<int*>(c);
            return 0;
        },
        &copies);
    if (copies != static_cast<int>(sources.size()))
        return "the view holds " + std::to_string(copies) + " copies for " +
               std::to_string(sources.size()) + " connected nodes";
    return {};
}

} // namespace tarvo
