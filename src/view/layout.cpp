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

bool RecalcStep(NetView& view, int step, bool collectNewlyHidden) {
    ViewLayout& layout = view.layout;
    try {
        switch (step) {
        case 0:
            if (!view.current)
                return false;
            // The first layout of a run starts the debugging log afresh with a line of its own.
            RestartDebugLogOnce("In recalc_grid\n");
            DisposeList(layout.newlyHidden);
            RemoveDummyNodes(layout);
            // The grid held the fillers just destroyed; it is built afresh below.
            layout.grid.release();
            return true;
        case 1:
            CompleteShownNodes(layout);
            return true;
        case 2:
            MarkReachable(layout, view.current);
            return true;
        case 3:
            LayerClusters(layout, view.current);
            return true;
        case 4:
            HideUnreached(layout, view.current, collectNewlyHidden);
            return true;
        case 5:
            JustifyDepth(layout, view.current, view.options.depthJustify);
            return true;
        case 6:
            InsertDummyNodes(layout, view.current);
            return true;
        case 7:
            BuildLayoutGrid(layout);
            return true;
        case 8:
            LayoutEnergy(layout);
            return true;
        default:
            return false;
        }
    } catch (const std::bad_alloc&) {
        layout.grid.release();
        ReportOutOfMemory();
        return false;
    }
}

RecalcPieces::RecalcPieces(bool collectNewlyHidden) : m_collectNewlyHidden(collectNewlyHidden) {}

RecalcPieces::~RecalcPieces() = default;

namespace {

// The steps of RecalcStep that walk the view, steps 2 to 6 in order.
constexpr LayeringPass kLayeringPasses[] = {LayeringPass::Reach, LayeringPass::Clusters,
                                            LayeringPass::Hide, LayeringPass::Justify,
                                            LayeringPass::Fillers};

bool layeringPass(int step, LayeringPass& pass) {
    if (step < 2 || step > 6)
        return false;
    pass = kLayeringPasses[step - 2];
    return true;
}

} // namespace

bool RecalcPieces::resume(NetView& view, std::int64_t nodes) {
    if (m_step >= kRecalcSteps)
        return true;
    const std::int64_t budget = nodes > 0 ? nodes : -1;
    ViewLayout& layout = view.layout;
    LayeringPass pass = LayeringPass::Reach;
    try {
        if (layeringPass(m_step, pass) && view.current) {
            if (!m_layering)
                m_layering = std::make_unique<LayeringStep>(
                    layout, view.current, pass, view.options.depthJustify, m_collectNewlyHidden);
            if (!m_layering->resume(budget))
                return false;
            m_layering.reset();
        } else if (m_step == 7) {
            if (!m_grid)
                m_grid = std::make_unique<GridConstruction>(layout);
            if (!m_grid->resume(budget))
                return false;
            m_grid.reset();
        } else if (!RecalcStep(view, m_step, m_collectNewlyHidden)) {
            m_step = kRecalcSteps;
            return true;
        }
    } catch (const std::bad_alloc&) {
        // As in one go: the grid is let go and what the steps left is shown.
        m_layering.reset();
        m_grid.reset();
        layout.grid.release();
        ReportOutOfMemory();
        m_step = kRecalcSteps;
        return true;
    }
    return ++m_step >= kRecalcSteps;
}

void RecalcLayout(NetView& view, bool collectNewlyHidden) {
    for (int step = 0; step < kRecalcSteps && RecalcStep(view, step, collectNewlyHidden); ++step) {
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

void EndImprovement(NetView& view, bool moved) {
    try {
        if (view.options.untangle && UntangleArrangement(view.layout))
            moved = true;
        if (moved)
            showImproved(view);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

void ImproveLayout(NetView& view, const AfterLayout& then) {
    // Copied: the caller's continuation serves here when the layout runs in one go.
    if (StartSlicedLayout(view, {.improve = true}, then))
        return;
    bool moved = false;
    try {
        moved = ImproveArrangement(view.layout, view.options.justification);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return;
    }
    EndImprovement(view, moved);
    if (then)
        then(view);
}

void StepLayout(NetView& view) {
    try {
        if (StepArrangement(view.layout, view.options.justification))
            showImproved(view);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

void Relayout(NetView& view, bool redraw, const AfterLayout& then) {
    if (StartSlicedLayout(view, {.recalc = true, .collectNewlyHidden = redraw}, then))
        return;
    // The current node stays where it was on the screen.
    const PixelBox before = view.current ? view.current->layoutBox : PixelBox{};
    RemoveDummyNodes(view.layout);
    RecalcLayout(view, redraw);
    ShowLayout(view, before);
    if (then)
        then(view);
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
