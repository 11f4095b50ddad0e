// The layered layout of a view: from the current node's neighbourhood to cells and pixels.
#pragma once

#include "layout/grid_construction.h"
#include "layout/layering.h"
#include "view/layout_slices.h"

#include <cstdint>
#include <memory>

namespace tarvo {

class NetView;
class ViewNode;
struct PixelBox;

// The whole pipeline: marking, layering, hiding, depth justification, fillers, grid and the
// energy of the unimproved arrangement. With `collectNewlyHidden` the layout's newlyHidden list
// holds what this layout hid that was shown before.
void RecalcLayout(NetView& view, bool collectNewlyHidden);
// The pipeline one step at a time, for a layout spread over several turns: RecalcLayout runs
// steps 0 to kRecalcSteps - 1 while they answer true. False: the layout ends here (no current
// node, or memory ran out and the grid is empty).
inline constexpr int kRecalcSteps = 9;
bool RecalcStep(NetView& view, int step, bool collectNewlyHidden);
// The pipeline in pieces of bounded work, for a layout spread over several turns: the walks of
// the layering and the grid's construction go a number of nodes at a time, the other steps
// whole. It ends as RecalcLayout would.
class RecalcPieces {
public:
    explicit RecalcPieces(bool collectNewlyHidden);
    RecalcPieces(const RecalcPieces&) = delete;
    RecalcPieces& operator=(const RecalcPieces&) = delete;
    ~RecalcPieces();

    // Runs the next piece, of up to `nodes` nodes of work (0 or negative: a whole step);
    // true when the pipeline has ended.
    bool resume(NetView& view, std::int64_t nodes);
    // Whether a walk or the grid's construction is under way: another pass of the view's visit
    // marks in between would spoil it.
    bool midStep() const { return m_layering || m_grid; }

private:
    int m_step = 0;
    bool m_collectNewlyHidden;
    std::unique_ptr<LayeringStep> m_layering;
    std::unique_ptr<GridConstruction> m_grid;
};
// Removes the fillers, lays the view out again and places it on the screen; with `redraw` the
// window repaints. A big view of a window lays out in slices, and `then` runs when the new
// layout is shown.
void Relayout(NetView& view, bool redraw, const AfterLayout& then = {});
// What Relayout does after the layout: places the grid on the screen with the current node
// where it stood (`before`, its box then) and brings the window up to date.
void ShowLayout(NetView& view, const PixelBox& before);

// Barycentre sweeps until the arrangement stops improving, keeping the best one found, and
// the result shown; in slices as Relayout, `then` run once it is shown.
void ImproveLayout(NetView& view, const AfterLayout& then = {});
// What ImproveLayout does after the sweeps (`moved`: they moved a node): the untangling pass
// when the view asks for it, and the result shown when anything moved.
void EndImprovement(NetView& view, bool moved);
// One sweep, alternately downward and upward, with a blend factor that shrinks every second
// step, and the result shown when a node moved.
void StepLayout(NetView& view);

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

} // namespace tarvo
