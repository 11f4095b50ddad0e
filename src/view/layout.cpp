// The layout pipeline of a view.
#include "view/layout.h"

#include "inheritance/inheritance_walk.h"
#include "memory/debug_log.h"
#include "memory/size_class_heap.h"
#include "view/grid_construction.h"
#include "view/layering.h"
#include "view/net_view.h"

#include <new>

namespace tarvo {
namespace {

// The first layout of a run starts the debugging log afresh with a line of its own.
void noteFirstLayout() {
    bool& noted = layoutState().firstLayoutNoted;
    if (noted)
        return;
    noted = true;
    RestartDebugLog("In recalc_grid\n");
}

} // namespace

LayoutState& layoutState() {
    static LayoutState state;
    return state;
}

void RecalcLayout(NetView& view, bool collectNewlyHidden) {
    if (!view.current)
        return;
    noteFirstLayout();
    DisposeList(view.newlyHidden);
    try {
        RemoveDummyNodes(view);
        MarkReachable(view);
        LayerClusters(view);
        HideUnreached(view, collectNewlyHidden);
        JustifyDepth(view);
        InsertDummyNodes(view);
        BuildLayoutGrid(view);
        LayoutEnergy(view);
    } catch (const std::bad_alloc&) {
        view.grid.release();
        ReportOutOfMemory();
    }
}

void Relayout(NetView& view, bool redraw) {
    RemoveDummyNodes(view);
    RecalcLayout(view, redraw);
    PlaceOnScreen(view);
    if (redraw && view.refresh)
        view.refresh->repaint();
}

} // namespace tarvo
