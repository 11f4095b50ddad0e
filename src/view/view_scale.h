// The view's scale: cell extents, the sizes that follow from them, scrolling, and the scale
// commands.
#pragma once

#include "platform/display.h"

namespace tarvo {

class NetView;

// Reads the client size, and from the cell extents recomputes the screen cell, the gaps, the
// label and distance fonts, the visible counts, the scroll bars and every node's place.
void UpdateViewGeometry(NetView& view);
// New cell extents along the slot and layer axes, each at least 1: the point at the centre of
// the window stays there, and everything derived follows. False when neither changed.
bool SetCellExtents(NetView& view, float slot, float layer);
void ExpandScale(NetView& view);
void ReduceScale(NetView& view);
// Expand and Reduce scale about a point of the window instead of its centre: what lay under
// `at` stays under it (as far as the scroll ranges allow). False when the scale did not change.
bool ExpandScaleAt(NetView& view, platform::Point at);
bool ReduceScaleAt(NetView& view, platform::Point at);

// One event of the mouse wheel or a touchpad. Angles are in eighths of a degree, 120 to a notch
// of an ordinary wheel, positive away from the user (up) and to the left; pixels are what a
// touchpad measured, zero when the device gives none.
struct WheelTurn {
    platform::Point angle;
    platform::Point pixels;
    // The pointer, in window coordinates.
    platform::Point at;
    bool shift = false;
    bool ctrl = false;
};
// What a wheel that turns in steps finer than a notch leaves over between its events.
struct WheelRemainder {
    int zoom = 0;
    int x = 0;
    int y = 0;
};
// The wheel scrolls up and down, with Shift sideways, by `notchPixels` a notch (a touchpad by
// the pixels it measured); with Ctrl it expands or reduces the scale one step a notch about the
// pointer.
void ViewWheel(NetView& view, WheelRemainder& left, const WheelTurn& turn, int notchPixels);
// Fits every slot and layer into the window, with or without keeping the aspect ratio; does
// nothing when the last fit left nothing to change.
void ScaleToWindow(NetView& view, bool keepAspect);

// The scale a view opens at: first the fit to the window that Scale to Window keeping aspect
// makes. When the view opens at readable size and the labels would come out smaller than
// that, the cells grow instead, until every shown label fits at that size on at most two
// lines, and the current node comes to the middle of the window.
void ScaleForOpening(NetView& view);

// The scroll ranges from the picture's size, the origin kept inside them, the bars set.
void UpdateScrollBars(NetView& view);
// Moves the picture so that what was at screen point p comes to p - (dx, dy).
void ScrollViewBy(NetView& view, int dx, int dy);
// Sets the scroll origins themselves (kept within their ranges): along a reversed layer axis a
// larger origin shows the picture further forwards.
void ScrollViewTo(NetView& view, int scrollX, int scrollY);
// A scroll bar moved to `position`.
void ScrollBarMoved(NetView& view, bool horizontal, int position);

// Turnable shapes follow a new orientation; regions are dropped when the window resizes.
void RemakeViewOutlines(NetView& view);
void DropViewRegions(NetView& view);

} // namespace tarvo
