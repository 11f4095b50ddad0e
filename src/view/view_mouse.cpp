// The mouse in a view: hit tests over the drawn picture, the drags, the right button and the
// hover texts. Edits go out as the view's own edit operations, so that every view applies them.
#include "view/view_mouse.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/label_text.h"
#include "layout/layering.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "platform/view_host.h"
#include "view/label_editor.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/shapes.h"
#include "view/view_changes.h"
#include "view/view_editing.h"
#include "view/view_geometry.h"
#include "view/view_hits.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace tarvo {

using platform::Point;
using platform::Rect;

struct PointerState {
    PointerState() : scroller(*this) {}
    PointerState(const PointerState&) = delete;
    PointerState& operator=(const PointerState&) = delete;

    // What the resting mouse is over, and the timers of the view the mouse is in.
    struct Hover : platform::TimerClient {
        NetView* view = nullptr;
        Point at;
        const void* thing = nullptr;
        int slot = -1;
        void timerTick(int id) override;
    };
    // The edge scrolling of a link drag: near an edge of the window the picture moves on, and
    // the rubber line with it.
    struct Scroller : platform::TimerClient {
        explicit Scroller(PointerState& owner) : pointer(owner) {}
        void timerTick(int id) override;
        PointerState& pointer;
    };

    Hover hover;
    DragState drag;
    Scroller scroller;
};

std::shared_ptr<PointerState> MakePointerState() {
    return std::make_shared<PointerState>();
}

namespace {

PointerState& pointerOf(NetView& view) {
    if (!view.pointer)
        view.pointer = MakePointerState();
    return *view.pointer;
}

PointerState::Hover& hover(NetView& view) {
    return pointerOf(view).hover;
}

Point boxCentre(const ViewNode* n) {
    return BoxCentre(n->layoutBox);
}

long squared(long v) {
    return v * v;
}

// The real node at the end of a link through the fillers of a long one.
ViewNode* realEnd(ViewNode* n, int slot) {
    while (n && n->hasFlag(NodeFlags::DummyNode))
        n = asViewNode(n->first(slot));
    return n;
}

// The place in node's slot that the point's slot coordinate falls at: the number of the slot's
// placed neighbours lying before it.
int positionAt(const NetView& view, ViewNode* node, int slot, Point at, ViewNode* leaving) {
    int position = 0;
    forEachNode(node->slotList(slot), [&](NodeBase* x) {
        ViewNode* v = asViewNode(x);
        if (v == leaving || !IsPlaced(v))
            return;
        if (slotCentre(v) < slotOf(view, at))
            ++position;
    });
    return position;
}

// The siblings the current node is moved among: the elements of its current link's slot, as
// the real nodes they stand for.
std::vector<ViewNode*> siblings(NetView& view) {
    std::vector<ViewNode*> found;
    if (!view.currentLink)
        return found;
    const int slot = view.linkDirection;
    forEachNode(view.currentLink->slotList(slot),
                [&](NodeBase* n) { found.push_back(realEnd(asViewNode(n), slot)); });
    return found;
}

void setSiblingMarks(NetView& view, bool on) {
    for (ViewNode* s : siblings(view)) {
        if (s == view.current)
            s->setFlag(on, NodeFlags::DescendantMark);
        else
            s->setFlag(on, NodeFlags::DragMark);
        InvalidateNode(view, s);
    }
}

void invalidateLine(NetView& view, Point a, Point b) {
    if (!view.host)
        return;
    const Rect r = SpannedRect(a, b).grown(3);
    view.host->invalidate(&r);
}

void setCursor(NetView& view, platform::CursorShape shape) {
    if (view.host)
        view.host->setCursor(shape);
}

// Marks the dragged link so that painting leaves it out: the real child's parent side, the
// real parent's child side, and both sides of every filler of the link between them.
void markDraggedLink(ViewNode* segmentChild, ViewNode* segmentParent, bool on) {
    constexpr std::uint32_t kBoth = NodeFlags::DraggingParentSide | NodeFlags::DraggingChildSide;
    ViewNode* n = segmentChild;
    while (n && n->hasFlag(NodeFlags::DummyNode)) {
        n->setFlag(on, kBoth);
        n = asViewNode(n->first(ChildSlot));
    }
    if (n)
        n->setFlag(on, NodeFlags::DraggingParentSide);
    n = segmentParent;
    while (n && n->hasFlag(NodeFlags::DummyNode)) {
        n->setFlag(on, kBoth);
        n = asViewNode(n->first(ParentSlot));
    }
    if (n)
        n->setFlag(on, NodeFlags::DraggingChildSide);
}

void endDrag(NetView& view) {
    DragState& drag = dragState(view);
    if (drag.mode == kDragLink)
        ForEachPlaced(view, [](ViewNode* n) {
            n->setFlag(false, NodeFlags::DraggingParentSide | NodeFlags::DraggingChildSide);
        });
    if (view.host) {
        view.host->stopTimer(kDragTimer);
        view.host->captureMouse(false);
        view.host->setCursor(platform::CursorShape::Arrow);
        view.host->invalidate(nullptr);
    }
    drag = DragState{};
    UpdateMenus(view);
}

bool inLineage(ViewNode* node, ViewNode* target) {
    if (!node || !node->source || !target || !target->source)
        return false;
    markLineage(node->source, 0, 1);
    markLineage(node->source, 1, 1);
    const bool related = target->source->hasFlag(NodeFlags::DescendantMark) ||
                         target->source->hasFlag(NodeFlags::AncestorMark);
    markLineage(node->source, 0, 0);
    markLineage(node->source, 1, 0);
    return related;
}

// The name of a node as the user reads it, in UTF-8: phonetic runs as IPA.
std::string plainName(const Node* n) {
    std::string text;
    ShownUnicodeText(n && n->name ? n->name : "", text);
    return text;
}

void restartHover(NetView& view, Point at, const void* thing, int slot) {
    PointerState::Hover& h = hover(view);
    if (h.view == &view && h.thing == thing && h.slot == slot) {
        h.at = at;
        return;
    }
    if (h.view && h.view->host)
        h.view->host->showPopupText(h.at, "");
    h.view = &view;
    h.at = at;
    h.thing = thing;
    h.slot = slot;
    if (view.host) {
        view.host->stopTimer(kHoverTimer);
        if (thing)
            view.host->startTimer(kHoverTimer, kHoverMs, h);
    }
}

// Where the rubber line of a link or stub drag starts: the link point of the end that stays,
// wherever the picture has moved since.
Point dragAnchor(const NetView& view, const DragState& drag) {
    return drag.slot == ParentSlot ? parentLinkPoint(view, drag.node)
                                   : childLinkPoint(view, drag.node);
}

} // namespace

void PointerState::Scroller::timerTick(int) {
    DragState& running = pointer.drag;
    NetView* view = running.view;
    if (!view || (running.mode != kDragLink && running.mode != kDragStub))
        return;
    constexpr int kEdge = 16;
    constexpr int kStep = 8;
    const Point p = running.last;
    const int dx = p.x < kEdge ? -kStep : p.x > view->geometry.clientWidth - kEdge ? kStep : 0;
    const int dy = p.y < kEdge ? -kStep : p.y > view->geometry.clientHeight - kEdge ? kStep : 0;
    if (!dx && !dy)
        return;
    ScrollViewBy(*view, dx, dy);
    if (running.node)
        running.anchor = dragAnchor(*view, running);
}

namespace {

void startLinkDrag(NetView& view, int mode, Point at, Point anchor) {
    DragState& drag = dragState(view);
    drag.mode = mode;
    drag.view = &view;
    drag.start = drag.last = at;
    drag.anchor = anchor;
    setCursor(view, mode == kDragLink ? platform::CursorShape::DragLink
                                      : platform::CursorShape::DragStub);
    if (view.host) {
        view.host->captureMouse(true);
        view.host->startTimer(kDragTimer, kDragMs, pointerOf(view).scroller);
    }
}

void mouseDownOnEmptySpace(NetView& view, Point at, bool shift, bool ctrl) {
    DragState& drag = dragState(view);
    drag.mode = ctrl ? (shift ? kDragZoomAspect : kDragZoom) : kDragPan;
    drag.view = &view;
    drag.start = drag.last = at;
    drag.startScrollX = view.geometry.scrollX;
    drag.startScrollY = view.geometry.scrollY;
    drag.startSlotExtent = view.geometry.slotExtent;
    drag.startLayerExtent = view.geometry.layerExtent;
    drag.startLayerMargin = view.geometry.layerMargin;
    drag.ratio =
        view.geometry.layerExtent > 0 ? view.geometry.slotExtent / view.geometry.layerExtent : 1.0f;
    setCursor(view, drag.mode == kDragPan    ? platform::CursorShape::Pan
                    : drag.mode == kDragZoom ? platform::CursorShape::Zoom
                                             : platform::CursorShape::ZoomAspect);
    if (view.host)
        view.host->captureMouse(true);
}

// A window point's distance from the grid's origin along the slot and the layer axis, with the
// scroll origins and cell extents given; a reversed layer axis counts from the window's far side.
struct GridDistance {
    int slot = 0;
    int layer = 0;
};

int screenLayer(const NetView& view, Point p) {
    const int client = view.vertical() ? view.geometry.clientHeight : view.geometry.clientWidth;
    return view.reversed() ? client - layerOf(view, p) : layerOf(view, p);
}

GridDistance fromGridOrigin(const NetView& view, Point p, int slotOrigin, int layerOrigin,
                            float slotExtent, float layerExtent, int layerMargin) {
    return {static_cast<int>(static_cast<float>(view.geometry.firstVisibleSlot) * slotExtent) +
                slotOrigin + slotOf(view, p),
            static_cast<int>(static_cast<float>(view.geometry.firstVisibleLayer) * layerExtent) +
                layerOrigin - layerMargin + screenLayer(view, p)};
}

void zoomTo(NetView& view, Point at) {
    const DragState& drag = dragState(view);
    const bool vertical = view.vertical();
    const int slotOrigin = vertical ? drag.startScrollX : drag.startScrollY;
    const int layerOrigin = vertical ? drag.startScrollY : drag.startScrollX;
    // How far the start point lies from the picture's origin, per axis, and how far the mouse
    // has come away from the origin since, both as the picture stood at the start.
    const GridDistance start =
        fromGridOrigin(view, drag.start, slotOrigin, layerOrigin, drag.startSlotExtent,
                       drag.startLayerExtent, drag.startLayerMargin);
    const GridDistance now = fromGridOrigin(view, at, slotOrigin, layerOrigin, drag.startSlotExtent,
                                            drag.startLayerExtent, drag.startLayerMargin);
    const int startSlot = std::max(1, start.slot);
    const int startLayer = std::max(1, start.layer);
    float layer = drag.startLayerExtent * static_cast<float>(startLayer + now.layer - start.layer) /
                  static_cast<float>(startLayer);
    float slot = drag.startSlotExtent * static_cast<float>(startSlot + now.slot - start.slot) /
                 static_cast<float>(startSlot);
    layer = std::max(1.0f, layer);
    slot = drag.mode == kDragZoomAspect ? layer * drag.ratio : std::max(1.0f, slot);
    if (!SetCellExtents(view, std::max(1.0f, slot), layer))
        return;
    // The start point stays under the mouse where it went down.
    const float slotScale = view.geometry.slotExtent / drag.startSlotExtent;
    const float layerScale = view.geometry.layerExtent / drag.startLayerExtent;
    const int wantSlot = static_cast<int>(static_cast<float>(start.slot) * slotScale) -
                         static_cast<int>(static_cast<float>(view.geometry.firstVisibleSlot) *
                                          view.geometry.slotExtent) -
                         slotOf(view, drag.start);
    const int wantLayer = static_cast<int>(static_cast<float>(start.layer) * layerScale) -
                          static_cast<int>(static_cast<float>(view.geometry.firstVisibleLayer) *
                                           view.geometry.layerExtent) -
                          screenLayer(view, drag.start) + view.geometry.layerMargin;
    ScrollViewTo(view, vertical ? wantSlot : wantLayer, vertical ? wantLayer : wantSlot);
}

void dropLink(NetView& view, NetView* target, Point targetAt) {
    DragState& drag = dragState(view);
    ViewNode* node = drag.node;
    const int slot = drag.slot;
    const int mode = drag.mode;
    ViewNode* moving = drag.other;
    MarkDrag(view, node, slot, false);
    ViewNode* over = target ? HitNode(*target, targetAt) : nullptr;
    if (over && !over->source)
        over = nullptr;
    if (!target)
        return;
    if (!over) {
        // Empty space: the link's end becomes a new node there.
        if (mode == kDragLink)
            DetachLinkEnd(view, slot, moving);
        else
            InsertNode(view, slot == ChildSlot, false, "",
                       positionAt(*target, node, slot, targetAt, nullptr));
        return;
    }
    // Not onto the node's own lineage, which holds every node it is linked to already.
    if (inLineage(node, over))
        return;
    if (mode == kDragLink)
        MoveLinkEnd(view, node, slot, moving, over);
    else
        AddLink(view, node, slot, over, positionAt(*target, node, slot, targetAt, nullptr));
}

void dropReorder(NetView& view, Point at) {
    DragState& drag = dragState(view);
    setSiblingMarks(view, false);
    if (!drag.outside || !view.current)
        return;
    std::vector<ViewNode*> list = siblings(view);
    const auto found = std::find(list.begin(), list.end(), view.current);
    if (found == list.end())
        return;
    const int from = static_cast<int>(found - list.begin());
    list.erase(found);
    // The siblings the picture shows, by their places in the list without the node, and how
    // many of them lie before the mouse (the node's own place among them).
    std::vector<int> shown;
    int placedFrom = 0;
    int before = 0;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        if (!IsPlaced(list[static_cast<std::size_t>(i)]))
            continue;
        if (i < from)
            ++placedFrom;
        if (slotCentre(list[static_cast<std::size_t>(i)]) < slotOf(view, at))
            ++before;
        shown.push_back(i);
    }
    if (before == placedFrom)
        return;
    // Hidden siblings have no place on the screen: the node goes just past the last shown one
    // it crosses, and the hidden ones keep their neighbours.
    const int to = before > placedFrom ? shown[static_cast<std::size_t>(before - 1)] + 1
                                       : shown[static_cast<std::size_t>(before)];
    MoveAmongSiblings(view, to - from);
}

} // namespace

void PointerState::Hover::timerTick(int id) {
    if (id != kHoverTimer || !view || !view->host)
        return;
    view->host->stopTimer(kHoverTimer);
    const std::string text = HoverText(*view, at);
    if (text.empty())
        return;
    // Over the editor the text stands just above its bottom, clear of the line being typed.
    Point shownAt = at;
    if (EditorOpen(*view) && EditorContains(*view, at))
        shownAt.y = view->editor->rect.bottom - 10;
    view->host->showPopupText(shownAt, text.c_str());
}

DragState& dragState(NetView& view) {
    return pointerOf(view).drag;
}

bool DragRunning(const NetView& view) {
    return view.pointer && view.pointer->drag.mode != kNoDrag;
}

void ViewMouseDown(NetView& view, Point at, bool shift, bool ctrl) {
    // The cells of a view being laid out are not where they will be.
    if (LayoutUnfinished(view))
        return;
    DragState& drag = dragState(view);
    if (drag.mode != kNoDrag)
        return;
    restartHover(view, at, nullptr, -1);
    if (EditorOpen(view) && EditorContains(view, at)) {
        EditorMouseDown(view, at);
        drag.mode = kDragEditor;
        drag.view = &view;
        if (view.host)
            view.host->captureMouse(true);
        return;
    }
    if (const SlotHit marker = HitMarker(view, at); marker.node) {
        ToggleSlotHidden(view, marker.node, marker.slot, true);
        return;
    }
    if (const SlotHit stub = HitStub(view, at);
        stub.node && stub.node->source && !stub.node->source->isProperty()) {
        drag.node = stub.node;
        drag.slot = stub.slot;
        MarkDrag(view, stub.node, stub.slot, true);
        GoToNode(view, stub.node, 2);
        startLinkDrag(view, kDragStub, at, dragAnchor(view, drag));
        return;
    }
    if (const LinkHit link = HitLink(view, at); link.child) {
        ViewNode* child = realEnd(link.child, ChildSlot);
        ViewNode* parent = realEnd(link.parent, ParentSlot);
        if (!child || !parent || !child->source || !parent->source)
            return;
        const Point c = boxCentre(child);
        const Point p = boxCentre(parent);
        const bool parentMoves =
            squared(at.x - p.x) + squared(at.y - p.y) < squared(at.x - c.x) + squared(at.y - c.y);
        ViewNode* fixed = parentMoves ? child : parent;
        ViewNode* moving = parentMoves ? parent : child;
        drag.node = fixed;
        drag.other = moving;
        drag.slot = parentMoves ? ParentSlot : ChildSlot;
        markDraggedLink(link.child, link.parent, true);
        MarkDrag(view, fixed, drag.slot, true);
        // The current link is the moving end, with the fixed end in its slot: among a parent's
        // children (direction 1) or a child's parents (direction 0).
        GoToNode(view, fixed, parentMoves ? 5 : 4, moving);
        startLinkDrag(view, kDragLink, at, dragAnchor(view, drag));
        return;
    }
    if (ViewNode* node = HitNode(view, at)) {
        if (node->source && !node->source->isProperty() && LabelArea(view, *node).contains(at)) {
            GoToNode(view, node, 2);
            OpenEditorAt(view, at);
            if (EditorOpen(view)) {
                drag.mode = kDragEditor;
                drag.view = &view;
                if (view.host)
                    view.host->captureMouse(true);
            }
            return;
        }
        if (EditorOpen(view) && !CloseEditor(view, true))
            return;
        if (node != view.current)
            GoToNode(view, node, 2);
        if (siblings(view).size() >= 2) {
            drag.mode = kDragReorder;
            drag.view = &view;
            drag.node = view.current;
            drag.start = drag.last = at;
            drag.outside = false;
            if (view.host)
                view.host->captureMouse(true);
        }
        return;
    }
    mouseDownOnEmptySpace(view, at, shift, ctrl);
}

void ViewMouseMove(NetView& view, Point at) {
    if (LayoutUnfinished(view))
        return;
    DragState& drag = dragState(view);
    if (drag.mode == kNoDrag || drag.view != &view) {
        // Inside the label editor the mouse rests on the node being edited, wherever the
        // editor reaches beyond its box; the editor counts as a thing of its own, so that its
        // text goes when the mouse leaves it for the box.
        if (EditorOpen(view) && EditorContains(view, at)) {
            restartHover(view, at, view.editor, -1);
        } else if (ViewNode* node = HitNode(view, at)) {
            restartHover(view, at, node, -1);
        } else {
            const SlotHit marker = HitMarker(view, at);
            restartHover(view, at, marker.node, marker.node ? marker.slot : -1);
        }
        return;
    }
    const Point previous = drag.last;
    drag.last = at;
    switch (drag.mode) {
    case kDragReorder: {
        const bool outside = !view.current || !toRect(view.current->layoutBox).contains(at);
        if (outside != drag.outside) {
            drag.outside = outside;
            setSiblingMarks(view, outside);
            setCursor(view,
                      outside ? platform::CursorShape::DragReorder : platform::CursorShape::Arrow);
        }
        if (outside && view.current) {
            const int l = layerOf(view, boxCentre(view.current));
            invalidateLine(view, onScreen(view, slotOf(view, previous), l - 20),
                           onScreen(view, slotOf(view, previous), l + 20));
            invalidateLine(view, onScreen(view, slotOf(view, at), l - 20),
                           onScreen(view, slotOf(view, at), l + 20));
        }
        break;
    }
    case kDragPan: {
        // The picture follows the mouse, whichever way its layers run.
        ScrollViewBy(view, previous.x - at.x, previous.y - at.y);
        break;
    }
    case kDragZoom:
    case kDragZoomAspect:
        zoomTo(view, at);
        break;
    case kDragLink:
    case kDragStub:
        invalidateLine(view, drag.anchor, previous);
        invalidateLine(view, drag.anchor, at);
        break;
    case kDragEditor:
        EditorMouseDrag(view, at);
        break;
    default:
        break;
    }
}

void ViewMouseUp(NetView& view, Point at, NetView* target, Point targetAt) {
    // A link dropped on a view being laid out lands nowhere.
    if (target && LayoutUnfinished(*target))
        target = nullptr;
    DragState& drag = dragState(view);
    if (drag.mode == kNoDrag || drag.view != &view)
        return;
    switch (drag.mode) {
    case kDragReorder:
        dropReorder(view, at);
        break;
    case kDragLink:
    case kDragStub:
        if (target && target != &view && target->host)
            target->host->showPopupText(targetAt, "");
        dropLink(view, target, targetAt);
        break;
    default:
        break;
    }
    endDrag(view);
}

void ViewRightButtonDown(NetView& view, Point at) {
    if (LayoutUnfinished(view))
        return;
    DragState& drag = dragState(view);
    if (drag.mode == kDragLink && drag.view == &view) {
        // The ends change roles: the drag marks go to the new fixed end's slot, which becomes
        // current with the link as its current link (a drop on empty space detaches from the
        // current node), and the rubber line starts again from there.
        MarkDrag(view, drag.node, drag.slot, false);
        std::swap(drag.node, drag.other);
        drag.slot ^= 1;
        MarkDrag(view, drag.node, drag.slot, true);
        GoToNode(view, drag.node, drag.slot == ParentSlot ? 5 : 4, drag.other);
        drag.anchor = dragAnchor(view, drag);
        if (view.host)
            view.host->invalidate(nullptr);
        return;
    }
    if (drag.mode != kNoDrag)
        return;
    if (ViewNode* node = HitNode(view, at)) {
        ToggleNodeHidden(view, node);
        return;
    }
    if (const SlotHit marker = HitMarker(view, at); marker.node)
        ToggleSlotHidden(view, marker.node, marker.slot, false);
}

void ViewDoubleClick(NetView& view, Point at) {
    if (EditorOpen(view) && EditorContains(view, at))
        EditorSelectAll(view);
}

void ViewDragOver(NetView& target, Point at) {
    const DragState& drag = dragState(target);
    if (LayoutUnfinished(target) || (drag.mode != kDragLink && drag.mode != kDragStub) ||
        !drag.view || drag.view == &target || !target.host)
        return;
    const std::string name = plainName(drag.view->current);
    const std::string prompt =
        drag.slot == ChildSlot ? "<target> isa " + name : name + " isa <target>";
    target.host->showPopupText(at, prompt.c_str());
}

void ForgetMouse(NetView& view) {
    if (!view.pointer)
        return;
    PointerState& pointer = *view.pointer;
    if (pointer.drag.view == &view)
        pointer.drag = DragState{};
    if (pointer.hover.view == &view) {
        if (view.host)
            view.host->stopTimer(kHoverTimer);
        pointer.hover.view = nullptr;
        pointer.hover.at = {};
        pointer.hover.thing = nullptr;
        pointer.hover.slot = -1;
    }
}

std::string HoverText(NetView& view, Point at) {
    if (LayoutUnfinished(view))
        return {};
    if (EditorOpen(view) && EditorContains(view, at))
        return "Edit the label";
    if (ViewNode* node = HitNode(view, at)) {
        if (EditorOpen(view) && node == view.current)
            return "Edit the label";
        return plainName(node);
    }
    const SlotHit marker = HitMarker(view, at);
    if (!marker.node)
        return {};
    // The marker's text names every neighbour, those the view holds no copy of too.
    CopyHiddenNeighbours(view, marker.node, marker.slot);
    std::string text = marker.slot == ParentSlot ? "Parents: " : "Children: ";
    bool first = true;
    forEachNode(marker.node->slotList(marker.slot), [&](NodeBase* n) {
        ViewNode* v = realEnd(asViewNode(n), marker.slot);
        if (!v)
            return;
        if (!first)
            text += ", ";
        first = false;
        const bool hidden = v->hasFlag(NodeFlags::Hidden);
        text += hidden ? "(" + plainName(v) + ")" : plainName(v);
    });
    return text;
}

bool DragLine(const NetView& view, Point* from, Point* to) {
    if (!view.pointer)
        return false;
    const DragState& drag = view.pointer->drag;
    if (drag.view != &view)
        return false;
    if (drag.mode == kDragLink || drag.mode == kDragStub) {
        *from = drag.anchor;
        *to = drag.last;
        return true;
    }
    if (drag.mode == kDragReorder && drag.outside && view.current) {
        const int l = layerOf(view, BoxCentre(view.current->layoutBox));
        const int half =
            std::max(4, (view.current->layoutBox.bottom - view.current->layoutBox.top) / 2);
        *from = onScreen(view, slotOf(view, drag.last), l - half);
        *to = onScreen(view, slotOf(view, drag.last), l + half);
        return true;
    }
    return false;
}

} // namespace tarvo
