// A view's display options, how a change of one spreads, and what the view shows of them in
// the title, the menus and the tool bar.
#pragma once

#include "view/view_modes.h"

namespace tarvo {

class NetView;

// The orientation's consequences: the label alignment code and the client extents along the
// slot and layer axes.
void DeriveOrientation(NetView& view);

void SetJustification(NetView& view, Justification value);
void SetDepthJustify(NetView& view, DepthJustify value);
void SetOrientation(NetView& view, Orientation value);
void SetLineStyle(NetView& view, LineStyle value);
// Turns the untangling pass on or off, and lays the view out afresh with improvement.
void ToggleUntangle(NetView& view);
void ToggleHighlightLinks(NetView& view);
void SetDistanceMode(NetView& view, DistanceMode value);
// Where views open: the view shows the choice in its menu, and the frame opens the next views
// so.
void SetOpenAt(NetView& view, OpenAt value);

// "Entity Net (root) 3.00": the kind, the root's name and the cluster count.
void UpdateTitle(NetView& view);
void UpdateOptionCaptions(NetView& view);
// Item 321 while a cell extent exceeds 1, item 322 while scaling to the window would change
// something.
void UpdateScaleMenus(NetView& view);
void UpdateMenus(NetView& view);
// Asks the window to paint everything again.
void RepaintView(NetView& view);

// Turns an arrow key into the one that means the same in Top-down: Up and Down cross layers,
// Left and Right move along one.
int MapArrowKey(const NetView& view, int key);

} // namespace tarvo
