// Moving through the network: the current node, the link cursor, the grid moves and the
// spotlight.
#include "view/view_operations.h"

#include "containers/node_list.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/graph_walk.h"
#include "view/commands.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/spotlight.h"
#include "view/view_changes.h"
#include "view/view_menus.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

// The link cursor.

ViewNode* realNode(NodeBase* element, int slot) {
    return static_cast<ViewNode*>(ThroughDummies(element, slot));
}

bool shown(const Node* node) {
    return !node->hasFlag(NodeFlags::Hidden | NodeFlags::Unplaced);
}

// The place in `owner`'s slot whose element leads, through fillers, to `node`; -1 when none.
int placeOf(const ViewNode* owner, int slot, const ViewNode* node) {
    int index = -1;
    int at = 0;
    forEachNode(owner ? owner->slotList(slot) : NodeSlot(), [&](NodeBase* element) {
        if (index < 0 && realNode(element, slot) == node)
            index = at;
        ++at;
    });
    return index;
}

void clearLink(NetView& view) {
    view.currentLink = nullptr;
    view.linkCursor = LinkCursor{};
}

// Makes `link` the current link over its slot `direction`, the cursor on that slot's element
// leading to `node`; false, with no current link, when none leads there.
bool setLink(NetView& view, ViewNode* node, ViewNode* link, int direction) {
    // The cursor steps through every element of the list, hidden ones too.
    if (link)
        CopyHiddenNeighbours(view, link, direction);
    const int index = placeOf(link, direction, node);
    if (index < 0) {
        clearLink(view);
        return false;
    }
    view.currentLink = link;
    view.linkDirection = direction;
    view.linkCursor = LinkCursor{link->slotList(direction), index};
    return true;
}

// The cursor's list while it still is the current link's slot; edits may have replaced it.
NodeSlot cursorList(const NetView& view) {
    const NodeSlot list = view.linkCursor.list;
    if (!list || !view.currentLink || list != view.currentLink->slotList(view.linkDirection))
        return NodeSlot();
    return list;
}

// The neighbour in `slot` of `node` that `better` prefers, the first of equals.
template <typename Better> ViewNode* bestNeighbour(const ViewNode* node, int slot, Better better) {
    ViewNode* best = nullptr;
    forEachNode(node->slotList(slot), [&](NodeBase* element) {
        ViewNode* n = realNode(element, slot);
        if (n && (!best || better(n, best)))
            best = n;
    });
    return best;
}

int linkCount(const ViewNode* node, int slot) {
    return slot < node->linkSlotCount ? node->counts[slot] : 0;
}

// The current link for `node` on its becoming current after `old`.
void chooseLink(NetView& view, ViewNode* node, const ViewNode* old) {
    CopyHiddenNeighbours(view, node, -1);
    // The link we have still leads here.
    if (view.currentLink && setLink(view, node, view.currentLink, view.linkDirection))
        return;
    // In the first slot with neighbours, the one nearest to where we came from.
    for (int s = 0; s < node->linkSlotCount; ++s) {
        if (!listSize(node->slotList(s)))
            continue;
        ViewNode* nearest = bestNeighbour(node, s, [](const ViewNode* a, const ViewNode* b) {
            return a->distance < b->distance;
        });
        if (nearest && setLink(view, node, nearest, s ^ 1))
            return;
        break;
    }
    // Over the parents when the node lies below where we came from (or, in the same layer,
    // has more parents than children), else over the children: the best connected of them.
    const int childCount = listSize(node->slotList(ChildSlot));
    const int parentCount = listSize(node->slotList(ParentSlot));
    const bool below =
        old && old->layer != node->layer ? node->layer > old->layer : childCount < parentCount;
    int s = below ? ParentSlot : ChildSlot;
    if (!listSize(node->slotList(s)))
        s ^= 1;
    const int d = s ^ 1;
    ViewNode* best = bestNeighbour(node, s, [d](const ViewNode* a, const ViewNode* b) {
        return linkCount(a, d) > linkCount(b, d);
    });
    if (best && setLink(view, node, best, d))
        return;
    clearLink(view);
}

// The old current node becomes the link, preferably over its slot `direction`.
void linkFromOld(NetView& view, ViewNode* node, ViewNode* old, int direction) {
    if (setLink(view, node, old, direction))
        return;
    for (int s = 0; old && s < old->linkSlotCount; ++s) {
        if (setLink(view, node, old, s))
            return;
    }
}

// GoToNode, step by step.

// Where the scroll origin of one axis goes for a cell at grid position p of extent c to come
// into a window of extent w, with the cell's end markers, which reach up to `margin` past it:
// the near end at the near side, the far end at the far side, the middle when the cell is
// larger than the window. The picture keeps that margin before its first cell, so the first
// and the last cell come into view with their markers.
struct AxisScroll {
    int origin = 0;
    bool outside = false;
};

AxisScroll scrollFor(int p, float c, int w, int origin, int margin) {
    const int lo = static_cast<int>(std::floor(static_cast<float>(p) * c));
    const int hi = static_cast<int>(std::ceil(static_cast<float>(p + 1) * c)) + 2 * margin - w;
    const bool low = origin > lo;
    const bool high = origin < hi;
    if (!low && !high)
        return {origin, false};
    if (lo < hi)
        return {(lo + hi) / 2, true};
    return {low ? lo : hi, true};
}

struct CellScroll {
    AxisScroll x;
    AxisScroll y;
    bool inside() const { return !x.outside && !y.outside; }
};

// How the window must scroll to show the node's cell; nothing for a node without one.
CellScroll cellScroll(const NetView& view, const ViewNode* node) {
    const int row = node->slot + view.layout.grid.slotOffset;
    const int column = node->layer + view.layout.grid.layerOffset;
    if (view.layout.grid.at(row, column) != node)
        return {};
    const int slot = row - view.geometry.firstVisibleSlot;
    const int layer = column - view.geometry.firstVisibleLayer;
    const bool vertical = view.vertical();
    const int marginX = vertical ? 0 : view.geometry.layerMargin;
    const int marginY = vertical ? view.geometry.layerMargin : 0;
    return {scrollFor(vertical ? slot : layer, view.geometry.cellWidth, view.geometry.clientWidth,
                      view.geometry.scrollX, marginX),
            scrollFor(vertical ? layer : slot, view.geometry.cellHeight, view.geometry.clientHeight,
                      view.geometry.scrollY, marginY)};
}

void scrollToCell(NetView& view, const CellScroll& to) {
    // The origins run along the axes, the scroll request along the screen: a reversed layer
    // axis counts the other way.
    const int dx = to.x.origin - view.geometry.scrollX;
    const int dy = to.y.origin - view.geometry.scrollY;
    const bool flipX = !view.vertical() && view.reversed();
    const bool flipY = view.vertical() && view.reversed();
    ScrollViewBy(view, flipX ? -dx : dx, flipY ? -dy : dy);
}

struct LinkChoice {
    int mode = 0;
    ViewNode* link = nullptr;
    // The old current node's slot leading to the new one, for mode 1.
    int direction = 0;
};

void makeCurrent(NetView& view, ViewNode* node, const LinkChoice& choice) {
    // What steps from the current node to its neighbours needs copies of all of them.
    CopyHiddenNeighbours(view, node, -1);
    ViewNode* old = view.current;
    HighlightCurrent(view, false);
    switch (choice.mode) {
    case 1:
        linkFromOld(view, node, old, choice.direction);
        break;
    case 2:
        chooseLink(view, node, old);
        break;
    case 4:
    case 5:
        setLink(view, node, choice.link, choice.mode - 4);
        break;
    default:
        break;
    }
    view.current = node;
    if (view.menus && old && old->isEntity() != node->isEntity())
        view.menus->showRelationChoice(node->isEntity() ? view.selectedRelation : nullptr,
                                       node->isEntity());
    // An open inspection window of this view follows its current node.
    RepaintLinkInspection(view);
}

void showNewCurrent(NetView& view, ViewNode* node, bool selectInList) {
    // The node is current; by the time a layout in slices is shown an edit may have put
    // another in its place.
    auto show = [selectInList](NetView& v) {
        HighlightCurrent(v, true);
        MeasureDistances(v);
        UpdateMenus(v);
        if (ShowsDistances(v.options.distanceMode))
            RedrawDistances(v, false);
        if (selectInList && v.menus && v.current)
            v.menus->selectInNodeList(v.current);
    };
    if (shown(node)) {
        show(view);
        return;
    }
    // The walk from the old current node reveals every node it reaches; one it cannot reach is
    // laid out from itself now that it is current.
    node->setFlag(0, NodeFlags::Hidden);
    Relayout(view, true, show);
}

void goTo(NetView& view, ViewNode* node, const LinkChoice& choice, bool selectInList) {
    if (!node)
        return;
    const bool changed = node != view.current;
    // An open label editor is committed before the node changes; one that will not close
    // keeps the view where it is.
    if (changed && EditorOpen(view)) {
        CloseEditor(view, true);
        if (EditorOpen(view))
            return;
    }
    if (view.menus)
        view.menus->hideFontList();
    RevealPathTo(view, node);
    const CellScroll scroll = cellScroll(view, node);
    if (changed)
        makeCurrent(view, node, choice);
    if (!scroll.inside())
        scrollToCell(view, scroll);
    if (changed)
        showNewCurrent(view, node, selectInList);
}

// The grid moves.

// The first cell from (row, column) on, stepping by (dRow, dColumn), that holds a real node.
ViewNode* scanGrid(const LayoutGrid& grid, int row, int column, int dRow, int dColumn) {
    for (; row >= 0 && row < grid.slotCount && column >= 0 && column < grid.layerCount;
         row += dRow, column += dColumn) {
        ViewNode* node = grid.at(row, column);
        if (node && !node->hasFlag(NodeFlags::DummyNode))
            return node;
    }
    return nullptr;
}

bool currentCell(const NetView& view, int& row, int& column) {
    if (!view.current)
        return false;
    row = view.current->slot + view.layout.grid.slotOffset;
    column = view.current->layer + view.layout.grid.layerOffset;
    return view.layout.grid.at(row, column) == view.current;
}

void goToCell(NetView& view, ViewNode* node) {
    if (node)
        GoToNode(view, node, 2, nullptr, true);
}

int unit(int step) {
    return step < 0 ? -1 : 1;
}

// The spotlight.

// Some element of the node's slot, through fillers, is not hidden.
bool anyVisible(const ViewNode* node, int slot) {
    bool visible = false;
    forEachNode(node->slotList(slot), [&](NodeBase* element) {
        const Node* n = ThroughDummies(element, slot);
        visible = visible || (n && !n->hasFlag(NodeFlags::Hidden));
    });
    return visible;
}

// Shows a node the walk towards the current node reached, when it lies on a shortest way: the
// walk started `distance` steps away from the current node.
void revealNode(NetView& view, GraphWalk& walk, int distance, Node* reached) {
    Node* node = ReachedThroughDummies(walk, reached);
    if (!node || shown(node) || IsVisited(view.layout.marks, node) ||
        node->distance > distance - walk.passCount())
        return;
    VisitOnce(view.layout.marks, walk, node);
    node->setFlag(0, NodeFlags::Hidden | NodeFlags::Unplaced);
}

} // namespace

void ChooseCurrentLink(NetView& view) {
    if (view.current)
        chooseLink(view, view.current, view.current);
    else
        clearLink(view);
}

void GoToNode(NetView& view, ViewNode* node, int linkMode, ViewNode* link, bool selectInList) {
    goTo(view, node, LinkChoice{linkMode, link, view.linkDirection}, selectInList);
}

void StepSibling(NetView& view, int step) {
    const NodeSlot list = cursorList(view);
    const int size = listSize(list);
    if (!size)
        return;
    const int index = ((view.linkCursor.index + unit(step)) % size + size) % size;
    ViewNode* target = realNode(list.nodeAt(index), view.linkDirection);
    GoToNode(view, target, 0);
    if (target && view.current == target)
        view.linkCursor.index = index;
}

void EnterSlot(NetView& view, int slot) {
    ViewNode* node = view.current;
    const NodeSlot list = node ? node->slotList(slot) : NodeSlot();
    if (!listSize(list))
        return;
    // The first element not before the current node along the layer; the last when all are.
    NodeBase* target = nullptr;
    forEachNode(list, [&](NodeBase* element) {
        if (!target && asViewNode(element)->slot >= node->slot)
            target = element;
    });
    if (!target)
        target = list.nodeAt(list.size() - 1);
    goTo(view, realNode(target, slot), LinkChoice{1, nullptr, slot}, false);
}

void EnterRelationSlot(NetView& view, int slot) {
    ViewNode* node = view.current;
    const NodeSlot list = node ? node->slotList(slot) : NodeSlot();
    if (!listSize(list))
        return;
    const int index = std::max(0, placeOf(node, slot, view.currentLink));
    // The node left behind becomes the link, so that the siblings are those of this slot.
    goTo(view, realNode(list.nodeAt(index), slot), LinkChoice{1, nullptr, slot}, false);
}

void GoToLayerEnd(NetView& view, bool lastLayer, bool lastSlot) {
    const LayoutGrid& grid = view.layout.grid;
    // A layer at the end of the grid may hold no real node; the nearest one that does serves.
    const int step = lastLayer ? -1 : 1;
    for (int column = lastLayer ? grid.layerCount - 1 : 0; column >= 0 && column < grid.layerCount;
         column += step) {
        if (ViewNode* node =
                scanGrid(grid, lastSlot ? grid.slotCount - 1 : 0, column, lastSlot ? -1 : 1, 0)) {
            goToCell(view, node);
            return;
        }
    }
}

void MoveAlongLayer(NetView& view, int step) {
    int row = 0;
    int column = 0;
    if (currentCell(view, row, column))
        goToCell(view, scanGrid(view.layout.grid, row + unit(step), column, unit(step), 0));
}

void MoveAcrossLayers(NetView& view, int step) {
    int row = 0;
    int column = 0;
    if (currentCell(view, row, column))
        goToCell(view, scanGrid(view.layout.grid, row, column + unit(step), 0, unit(step)));
}

void Page(NetView& view, int step) {
    int row = 0;
    int column = 0;
    if (!currentCell(view, row, column))
        return;
    const int d = unit(step);
    const int page = std::max(0, static_cast<int>(static_cast<float>(view.geometry.clientLayer) /
                                                  std::max(1.0f, view.geometry.layerExtent)));
    const int target = std::clamp(column + d * page, 0, view.layout.grid.layerCount - 1);
    ViewNode* node = scanGrid(view.layout.grid, row, target, 0, d);
    goToCell(view, node ? node : scanGrid(view.layout.grid, row, target - d, 0, -d));
}

void ShowCurrent(NetView& view) {
    GoToNode(view, view.current, 0);
    if (EditorOpen(view))
        RepaintEditor(view);
}

void GoToListSelection(NetView& view) {
    if (view.menus)
        GoToNode(view, view.menus->nodeListSelection(), 2);
}

void UpdateSpotlightMenu(NetView& view) {
    if (!view.menus || !view.current)
        return;
    CountShownNodes(view);
    ViewMenus& menus = *view.menus;
    for (int slot : {ParentSlot, ChildSlot}) {
        const int id = cmd::kHideParents + slot;
        const bool any = listSize(view.current->slotList(slot)) > 0;
        menus.enableItem(id, any);
        menus.checkItem(id, any && !anyVisible(view.current, slot));
    }
    const bool unshown = view.distances.unshownCount > 0;
    menus.enableItem(cmd::kRevealNetwork, unshown);
    menus.enableItem(cmd::kExpandSpotlight, unshown);
    menus.enableItem(cmd::kReduceSpotlight, view.distances.greatestShown > 0);
}

void ReduceSpotlight(NetView& view) {
    MeasureDistances(view);
    const int greatest = view.distances.greatestShown;
    if (greatest > 0 && SetSpotlight(view, greatest - 1, 1))
        Relayout(view, true);
}

void ExpandSpotlight(NetView& view) {
    MeasureDistances(view);
    const DistanceStats stats = view.distances;
    if (stats.smallestUnshown < 0)
        return;
    // The nearest hidden nodes may all be hidden behind others one step further.
    bool changed = SetSpotlight(view, stats.smallestUnshown, 0);
    if (!changed && stats.smallestUnshown < stats.greatestDistance)
        changed = SetSpotlight(view, stats.smallestUnshown + 1, 0);
    if (changed)
        Relayout(view, true);
}

void RevealNetwork(NetView& view) {
    MeasureDistances(view);
    if (SetSpotlight(view, view.distances.greatestDistance, 0))
        Relayout(view, true);
}

void ToggleSlotHidden(NetView& view, int slot) {
    ToggleSlotHidden(view, view.current, slot, false);
}

void ToggleSlotHidden(NetView& view, ViewNode* node, int slot, bool fromMouse) {
    if (!node)
        return;
    // The neighbours the view holds no copy of are hidden ones, shown or kept hidden with the
    // others.
    CopyHiddenNeighbours(view, node, slot);
    if (!listSize(node->slotList(slot)))
        return;
    // Hiding the slot of another node must not hide the current node in it.
    const bool hide = !fromMouse && anyVisible(node, slot) &&
                      (node == view.current || placeOf(node, slot, view.current) < 0);
    forEachNode(node->slotList(slot), [&](NodeBase* element) {
        if (Node* n = ThroughDummies(element, slot))
            n->setFlag(hide, NodeFlags::Hidden);
    });
    Relayout(view, true);
}

void ToggleNodeHidden(NetView& view, ViewNode* node) {
    if (!node || node == view.current || node->hasFlag(NodeFlags::DummyNode))
        return;
    node->toggleFlag(NodeFlags::Hidden);
    Relayout(view, true);
}

void RevealPathTo(NetView& view, ViewNode* node) {
    if (!node || !view.current || shown(node))
        return;
    // The distances must be those from the current node, whatever the view shows of them.
    MeasureDistances(view);
    view.layout.newPass();
    const int distance = node->distance;
    GraphWalk walk;
    walk.run(node, [&view, &walk, distance](Node* reached) {
        revealNode(view, walk, distance, reached);
    });
    Relayout(view, true);
}

} // namespace tarvo
