// The layout pipeline of a view.
#include "view/layout.h"

#include "layout/grid_construction.h"
#include "layout/layering.h"
#include "layout/layout_improvement.h"
#include "layout/layout_untangle.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "memory/size_class_heap.h"
#include "model/graph_walk.h"
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
    DisposeList(view.layout.newlyHidden);
    try {
        ViewLayout& layout = view.layout;
        RemoveDummyNodes(layout);
        CompleteShownNodes(layout);
        MarkReachable(layout, view.current);
        LayerClusters(layout, view.current);
        HideUnreached(layout, view.current, collectNewlyHidden);
        JustifyDepth(layout, view.current, view.options.depthJustify);
        InsertDummyNodes(layout, view.current);
        BuildLayoutGrid(layout);
        LayoutEnergy(layout);
    } catch (const std::bad_alloc&) {
        view.layout.grid.release();
        ReportOutOfMemory();
    }
}

namespace {

void showImproved(NetView& view) {
    LayoutEnergy(view.layout);
    UpdateTitle(view);
    PlaceOnScreen(view);
    RepaintView(view);
}

} // namespace

void ImproveLayout(NetView& view) {
    try {
        bool moved = ImproveArrangement(view.layout, view.options.justification);
        if (view.options.untangle && UntangleArrangement(view.layout))
            moved = true;
        if (moved)
            showImproved(view);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

void StepLayout(NetView& view) {
    try {
        if (StepArrangement(view.layout, view.options.justification))
            showImproved(view);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

void Relayout(NetView& view, bool redraw) {
    // The current node stays where it was on the screen.
    const PixelBox before = view.current ? view.current->layoutBox : PixelBox{};
    RemoveDummyNodes(view.layout);
    RecalcLayout(view, redraw);
    ShowLayout(view, before);
}

void ShowLayout(NetView& view, const PixelBox& before) {
    // The grid changed: the last fit to the window no longer holds.
    view.geometry.scaleToWindowPossible = true;
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
