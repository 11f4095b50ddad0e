// The mouse in a view: what lies under a point (nodes, hidden-neighbour markers, link stubs,
// link lines, label areas), the drags that reorder, relink, pan and zoom, the right button,
// and the hover texts.
#pragma once

#include "platform/display.h"
#include "view/view_hits.h"

#include <memory>
#include <string>

namespace tarvo {

class NetView;
class ViewNode;

// The drags, by what started them.
enum DragMode : int {
    kNoDrag = 0,
    kDragReorder = 1, // the current node among its siblings
    kDragPan = 4,     // empty space
    kDragZoom = 5,    // Ctrl + empty space
    kDragZoomAspect = 6,
    kDragLink = 7, // a link line: one end moves
    kDragStub = 8, // a node's link stub: a new link or a new node
    kDragEditor = 9,
};

// Only one drag runs among the views that share a pointer.
struct DragState {
    int mode = kNoDrag;
    NetView* view = nullptr;
    // Reorder: the current node. Link: the end that stays. Stub: the stub's node.
    ViewNode* node = nullptr;
    // Link: the end that moves.
    ViewNode* other = nullptr;
    // The slot of `node` the link is in (parents 0, children 1).
    int slot = 0;
    platform::Point start;
    platform::Point last;
    // Where the rubber line starts (links and stubs).
    platform::Point anchor;
    int startScrollX = 0;
    int startScrollY = 0;
    float startSlotExtent = 0.0f;
    float startLayerExtent = 0.0f;
    int startLayerMargin = 0;
    float ratio = 1.0f;
    // Reorder: the mouse has left the current node.
    bool outside = false;
};
// What the one mouse is doing among a frame's views: the drag, what it rests over, and the
// drag's edge scrolling. The frame makes one and gives it to each of its views; a view given
// none has one of its own.
struct PointerState;
std::shared_ptr<PointerState> MakePointerState();

// The drag of the pointer the view shares.
DragState& dragState(NetView& view);
// Whether a drag runs in any view sharing the view's pointer: edits from the keyboard and the
// menus wait for its end.
bool DragRunning(const NetView& view);

// The left button went down, moved (with or without it down), came up. `target` is the view
// under the mouse at the release (null over no view) and `targetAt` the point in it.
void ViewMouseDown(NetView& view, platform::Point at, bool shift, bool ctrl);
void ViewMouseMove(NetView& view, platform::Point at);
void ViewMouseUp(NetView& view, platform::Point at, NetView* target, platform::Point targetAt);
void ViewRightButtonDown(NetView& view, platform::Point at);
void ViewDoubleClick(NetView& view, platform::Point at);
// While a link is dragged over another view: the prompt shown there.
void ViewDragOver(NetView& target, platform::Point at);
// The view goes: its drag ends and its hover stops.
void ForgetMouse(NetView& view);

// The hover text (UTF-8) of what lies under the point: the node's name with phonetic runs as
// IPA, "Edit the label" over the node being edited, or a marker's neighbours; empty for nothing.
std::string HoverText(NetView& view, platform::Point at);

// The line a drag draws over the view while it runs (rubber line of a link, insertion line of
// a reorder), in window coordinates; false when there is none in this view.
bool DragLine(const NetView& view, platform::Point* from, platform::Point* to);

// Timer ids of the view's mouse: the hover text and the drag's scrolling near the edge.
inline constexpr int kHoverTimer = 211;
inline constexpr int kHoverMs = 1000;
inline constexpr int kDragTimer = 213;
inline constexpr int kDragMs = 100;

} // namespace tarvo
