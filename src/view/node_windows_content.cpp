// What the inheritance report and link inspection windows show, apart from their windows.
#include "view/node_windows_content.h"

#include "containers/node_list.h"
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"
#include "labels/label_text.h"
#include "labels/node_order.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "model/graph_walk.h"
#include "model/network.h"
#include "model/node.h"
#include "view/net_view.h"
#include "view/spotlight.h"
#include "view/view_operations.h"

#include <cstring>
#include <deque>
#include <unordered_set>

namespace tarvo {
namespace {

// The first character of UTF-8 text, all the bytes of its sequence.
std::string firstCharacter(const std::string& utf8) {
    std::size_t length = utf8.empty() ? 0 : 1;
    while (length < utf8.size() && (static_cast<unsigned char>(utf8[length]) & 0xc0) == 0x80)
        ++length;
    return utf8.substr(0, length);
}

// Labels are compared over this many bytes when the direction of a stipulated item is decided.
constexpr std::size_t kCompareBytes = 120;

NodeBase* firstIn(const NodeBase* n, int slot) {
    return n ? n->first(slot) : nullptr;
}

bool ofRelation(const NodeBase* property, const Node* relation) {
    return firstIn(property, ParentSlot) == relation;
}

// Appends the nodes of `n`'s slot that `keep` accepts.
template <typename Keep> void appendSlot(NodeList*& to, const Node* n, int slot, Keep keep) {
    forEachNode(n->slotList(slot), [&](NodeBase* x) {
        if (keep(x))
            listAppend(to, x);
    });
}

// Everything above (slot ParentSlot) or below (ChildSlot) `s`, nearest first, each once; a
// cycle of isa links ends where it comes back.
void appendLineage(NodeList*& to, Node* s, int slot) {
    std::unordered_set<const NodeBase*> seen{s};
    std::vector<NodeBase*> layer{s};
    while (!layer.empty()) {
        std::vector<NodeBase*> next;
        for (NodeBase* n : layer)
            forEachNode(n->slotList(slot), [&](NodeBase* x) {
                if (seen.insert(x).second) {
                    listAppend(to, x);
                    next.push_back(x);
                }
            });
        layer = std::move(next);
    }
}

// The element of the view's current node's slot that leads to the network node `x`, and the
// view's node at its end.
NodeBase* viewLinkTo(const NetView& view, int slot, const NodeBase* x, ViewNode** end = nullptr) {
    NodeBase* found = nullptr;
    if (view.current)
        forEachNode(view.current->slotList(slot), [&](NodeBase* e) {
            auto* v = asViewNode(ThroughDummies(e, slot));
            if (!found && v && v->source == x) {
                found = e;
                if (end)
                    *end = v;
            }
        });
    return found;
}

} // namespace

bool ChooseConnectionScope(int command, ConnectionScope& scope) {
    const std::optional<ConnectionScope> chosen =
        FromInt<ConnectionScope>(command - inspect::kFirstScope);
    if (!chosen)
        return false;
    scope = *chosen;
    return true;
}

namespace {

// Before a dialog inspects v: every network node reached from v in its view is marked as in
// view with the view's distance, and v's node gets its lineage marked both ways.
void prepareInspection(ViewNode* v) {
    if (!v)
        return;
    std::deque<ViewNode*> frontier{v};
    std::unordered_set<const ViewNode*> seen{v};
    while (!frontier.empty()) {
        ViewNode* w = frontier.front();
        frontier.pop_front();
        if (Node* source = w->source) {
            source->flags = (source->flags & (NodeFlags::RelationKind | NodeFlags::PropertyKind)) |
                            NodeFlags::InViewMark;
            source->distance = w->distance;
        }
        for (int slot = 0; slot < w->linkSlotCount; ++slot) {
            const NodeSlot list = w->slots[slot];
            for (int i = 0, size = list.size(); i < size; ++i) {
                auto* next = static_cast<ViewNode*>(list.nodeAt(i));
                if (seen.insert(next).second)
                    frontier.push_back(next);
            }
        }
    }
    markLineage(v->source, 0, 1);
    markLineage(v->source, 1, 1);
}

} // namespace

Node* InspectedNode(const NetView& view) {
    return view.current ? view.current->source : nullptr;
}

void PrepareViewInspection(NetView& view) {
    prepareInspection(view.current);
}

NodeList* NodeBoxNodes(Network& net, int relationKind) {
    NodeList* list = net.nodesOfKind(relationKind);
    if (list)
        list->sort(byLabel);
    return list;
}

NodeList* RelationBoxNodes(Network& net) {
    // The built-in relation standing for isa links.
    NodeList* list = nullptr;
    if (Node* isa = net.isaRelation())
        listAppend(list, isa);
    NodeList* relations = NodeBoxNodes(net, 1);
    AppendAll(list, relations);
    DisposeList(relations);
    return list;
}

std::vector<ListEntry> ListEntries(const NodeList* list) {
    std::vector<ListEntry> entries;
    forEachNode(list, [&](NodeBase* n) {
        std::string shown;
        ShownUnicodeText(n->name, shown);
        entries.push_back({n, firstCharacter(shown)});
        if (DebugLogOn) {
            // The log keeps the label's own bytes.
            std::string plain;
            PlainText(n->name, plain);
            LogText((plain + "##\n").c_str());
        }
    });
    return entries;
}

int EntryRow(const std::vector<ListEntry>& entries, const NodeBase* keep) {
    for (std::size_t i = 0; keep && i < entries.size(); ++i)
        if (entries[i].node == keep)
            return static_cast<int>(i);
    return -1;
}

ItemLook InspectionItemLook(int listId, const Node* s, Node* item, int top, int bottom,
                            bool selected, const InheritanceReport* report) {
    ItemLook result;
    result.look.shade = DistanceShade::None;
    result.look.selected = selected;
    result.look.markOverridden = true;
    result.drawn = item;
    if (!item)
        return result;
    const bool linkList = listId == inspect::kFromList || listId == inspect::kToList;
    if (item->isProperty()) {
        const int side = !linkList ? ParentSlot : listId == inspect::kFromList ? FromSlot : ToSlot;
        if (NodeBase* shown = item->first(side))
            result.drawn = asNode(shown);
    }
    if (linkList && item->hasFlag(ShownMarkBit(listId)))
        result.look.shade = DistanceShade::Greyed;
    switch (listId) {
    case inspect::kStipulatedNodes:
        result.skipped = top < 0 || bottom > inspect::kStipulatedBandBottom;
        break;
    case inspect::kStipulatedVia: {
        const NodeBase* to = item->first(ToSlot);
        const char* own = s && s->name ? s->name : "";
        const char* end = to && to->name ? to->name : "";
        result.direction =
            std::strncmp(own, end, kCompareBytes) != 0 ? Direction::Out : Direction::In;
        break;
    }
    case inspect::kInheritedVia:
        result.direction = !report                                ? Direction::Unknown
                           : ListContains(report->toSide, item)   ? Direction::Out
                           : ListContains(report->fromSide, item) ? Direction::In
                                                                  : Direction::Unknown;
        break;
    default:
        break;
    }
    return result;
}

LinkLists BuildLinkLists(const Network& net, Node* s, const Node* relation, ConnectionScope scope) {
    LinkLists lists;
    if (!s)
        return lists;
    const bool isa = !relation || relation == net.isaRelation();
    const auto all = [](NodeBase*) { return true; };
    const auto ofChosen = [relation](NodeBase* p) { return ofRelation(p, relation); };
    switch (scope) {
    case ConnectionScope::Legal:
        if (isa) {
            appendLineage(lists.from, s, ParentSlot);
            appendLineage(lists.to, s, ChildSlot);
            break;
        }
        appendSlot(lists.from, s, FromSlot, ofChosen);
        appendSlot(lists.to, s, ToSlot, ofChosen);
        {
            ReportLists found;
            NodeList* inherited = InheritedRelations(s, ParentSlot, found);
            DisposeList(inherited);
            forEachNode(found.FromSideList, [&](NodeBase* p) {
                if (ofChosen(p))
                    listAppend(lists.from, p);
            });
            forEachNode(found.ToSideList, [&](NodeBase* p) {
                if (ofChosen(p))
                    listAppend(lists.to, p);
            });
        }
        break;
    case ConnectionScope::Partition: {
        // A link belongs to the partition when its other end is one of the view's nodes.
        const auto inView = [](const NodeBase* n) {
            return n && asNode(n)->hasFlag(NodeFlags::InViewMark);
        };
        if (isa) {
            appendSlot(lists.from, s, ParentSlot, inView);
            appendSlot(lists.to, s, ChildSlot, inView);
        } else {
            appendSlot(lists.from, s, FromSlot,
                       [&](NodeBase* p) { return ofChosen(p) && inView(p->first(FromSlot)); });
            appendSlot(lists.to, s, ToSlot,
                       [&](NodeBase* p) { return ofChosen(p) && inView(p->first(ToSlot)); });
        }
        break;
    }
    case ConnectionScope::All:
        appendSlot(lists.from, s, ParentSlot, all);
        appendSlot(lists.from, s, FromSlot, all);
        appendSlot(lists.to, s, ChildSlot, all);
        appendSlot(lists.to, s, ToSlot, all);
        break;
    default:
        if (isa) {
            appendSlot(lists.from, s, ParentSlot, all);
            appendSlot(lists.to, s, ChildSlot, all);
        } else {
            appendSlot(lists.from, s, FromSlot, ofChosen);
            appendSlot(lists.to, s, ToSlot, ofChosen);
        }
        break;
    }
    return lists;
}

void DisposeLinkLists(LinkLists& lists) {
    DisposeList(lists.from);
    DisposeList(lists.to);
}

int SortedSlot(int listId, bool isa) {
    if (listId == inspect::kFromList)
        return isa ? ParentSlot : FromSlot;
    return isa ? ChildSlot : ToSlot;
}

std::string SortCaption(int listId, bool isa) {
    return std::string("Sort ") + kSlotNames[SortedSlot(listId, isa)] + " links";
}

MoveButtons MoveEnabling(int s, int n) {
    return {s > 0 && s < n, s >= 0 && s < n - 1};
}

int MovablePlace(const Node* s, int slot, const NodeList* shown, int row, int* count) {
    const NodeSlot present = s ? s->slotList(slot) : NodeSlot();
    int place = -1;
    int movable = 0;
    for (int i = 0, n = listSize(shown); i < n; ++i) {
        NodeBase* x = shown->nodeAt(i);
        if (!present || present.indexOf(x) < 0)
            continue;
        if (i == row)
            place = movable;
        ++movable;
    }
    if (count)
        *count = movable;
    return place;
}

bool MoveShownLink(NetView& view, int slot, const NodeList* shown, int row, int step) {
    Node* s = InspectedNode(view);
    int count = 0;
    const int place = MovablePlace(s, slot, shown, row, &count);
    const MoveButtons enabled = MoveEnabling(place, count);
    if (!(step < 0 ? enabled.up : enabled.down))
        return false;
    // The two movable items change places in the slot; the items between them stay.
    NodeBase* moved = shown->nodeAt(row);
    NodeBase* other = nullptr;
    for (int i = 0, seen = 0, n = listSize(shown); i < n && !other; ++i) {
        NodeBase* x = shown->nodeAt(i);
        if (s->slotList(slot).indexOf(x) < 0)
            continue;
        if (seen++ == place + step)
            other = x;
    }
    NodeList* order = nullptr;
    bool complete = true;
    forEachNode(s->slotList(slot), [&](NodeBase* x) {
        NodeBase* wanted = x == moved ? other : x == other ? moved : x;
        NodeBase* element = viewLinkTo(view, slot, wanted);
        complete = complete && element && listAppend(order, element);
    });
    const bool changed = complete && ReorderSlot(view, view.current, slot, order);
    DisposeList(order);
    return changed;
}

std::uint32_t ShownMarkBit(int listId) {
    return listId == inspect::kToList ? NodeFlags::ChildStubLit : NodeFlags::ParentStubLit;
}

bool ToggleShownMark(NetView* view, int listId, Node* node, int sortedSlot) {
    if (!node)
        return false;
    const std::uint32_t guard =
        listId == inspect::kToList ? NodeFlags::AncestorMark : NodeFlags::DescendantMark;
    if (node->hasFlag(guard))
        return false;
    const std::uint32_t bit = ShownMarkBit(listId);
    node->toggleFlag(bit);
    ViewNode* end = nullptr;
    if (view && sortedSlot >= 0 && viewLinkTo(*view, sortedSlot, node, &end) &&
        isHidden(end) != static_cast<bool>(node->hasFlag(bit)))
        ToggleNodeHidden(*view, end);
    return true;
}

void MarkHiddenLinks(const NetView& view, int listId, const NodeList* shown, int slot) {
    forEachNode(shown, [&](NodeBase* x) {
        ViewNode* end = nullptr;
        if (viewLinkTo(view, slot, x, &end))
            asNode(x)->setFlag(isHidden(end), ShownMarkBit(listId));
    });
}

} // namespace tarvo
