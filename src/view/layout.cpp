// The layout pipeline of a view.
#include "view/layout.h"

#include "memory/debug_log.h"
#include "memory/size_class_heap.h"
#include "model/graph_walk.h"
#include "model/view_node.h"
#include "view/grid_construction.h"
#include "view/layering.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/view_menus.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <new>

namespace tarvo {

void RecalcLayout(NetView& view, bool collectNewlyHidden) {
    if (!view.current)
        return;
    // The first layout of a run starts the debugging log afresh with a line of its own.
    RestartDebugLogOnce("In recalc_grid\n");
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
    // The current node stays where it was on the screen.
    const PixelBox before = view.current ? view.current->layoutBox : PixelBox{};
    RemoveDummyNodes(view);
    RecalcLayout(view, redraw);
    // The grid changed: the last fit to the window no longer holds.
    view.scaleToWindowPossible = true;
    UpdateScrollBars(view);
    PlaceOnScreen(view);
    if (view.current && view.host) {
        const PixelBox& after = view.current->layoutBox;
        ScrollViewBy(view, after.left - before.left, after.top - before.top);
    }
    if (!view.host)
        return;
    RepaintView(view);
    FindWidestLabel(view);
    UpdateViewGeometry(view);
    HighlightCurrent(view, true);
    RepaintEditor(view);
    if (view.menus)
        view.menus->closeNodeListDropDown();
    UpdateMenus(view);
    view.painted = true;
}

} // namespace tarvo
