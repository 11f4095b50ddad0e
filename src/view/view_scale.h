// The view's scale: cell extents, the sizes that follow from them, scrolling, and the scale
// commands.
#pragma once

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
