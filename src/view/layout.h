// The layered layout of a view: from the current node's neighbourhood to cells and pixels.
#pragma once

namespace tarvo {

class NetView;
class ViewNode;

// The whole pipeline: marking, layering, hiding, depth justification, fillers, grid and the
// energy of the unimproved arrangement. With `collectNewlyHidden` the view's newlyHidden list
// holds what this layout hid that was shown before.
void RecalcLayout(NetView& view, bool collectNewlyHidden);
// Removes the fillers, lays the view out again and places it on the screen; with `redraw` the
// window repaints.
void Relayout(NetView& view, bool redraw);

// The energy of the arrangement: how much longer than ideal the links are. Stored in the view.
float LayoutEnergy(NetView& view);
// Barycentre sweeps until the arrangement stops improving, keeping the best one found.
void ImproveLayout(NetView& view);
// One sweep, alternately downward and upward, with a blend factor that shrinks every second
// step.
void StepLayout(NetView& view);

// One sweep over the layers. Downward (direction 1) aims each node at its parents, upward
// (0) at its children; `mode` 0 reorders each layer, 1 and 2 keep the order (2 with the aims
// the nodes hold already), and modes 0 and 2 go over the layers a second time the other way.
// `blend` below 1 mixes in the other direction's aim. True when a node moved.
bool SweepLayout(NetView& view, int direction, int mode, float blend);

// Pixel boxes and link boxes of every node from its cell, the cell extents, orientation and
// scrolling.
void PlaceOnScreen(NetView& view);
// Half the box a node gets of a cell extent: a third of a large cell, relatively more of a
// small one so that labels stay readable.
int BoxHalfExtent(float cell);
// The cell extent that fits `cells` cells into `clientExtent` pixels.
float CellExtentForWindow(int clientExtent, int cells);
// The free pixels a picture of these cell extents keeps at both ends of its layer axis: room
// for the stub and marker of a hidden neighbour beyond the first and the last layer.
int LayerMarginFor(float slotExtent, float layerExtent);

// Visits the non-empty cells of the grid rows [firstSlot, endSlot) and columns
// [firstLayer, endLayer), row by row; a negative end means up to the last. Stops at the first
// visitor answer that is not 0 and returns it.
using CellVisitor = int (*)(void* context, ViewNode* node, int row, int column);
int ForEachCell(const NetView& view, CellVisitor visitor, void* context, int firstSlot = 0,
                int endSlot = -1, int firstLayer = 0, int endLayer = -1);

} // namespace tarvo
