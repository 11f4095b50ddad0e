// Creation and destruction of a view, in the order the window and its dialogs rely on.
#include "view/view_window.h"

#include "layout/layering.h"
#include "containers/node_table.h"
#include "layout/view_node.h"
#include "netfile/shape_file.h"
#include "platform/view_host.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/shapes.h"
#include "view/spotlight.h"
#include "view/view_changes.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <memory>

namespace tarvo {
namespace {

// Regions for a view without a window come from wherever its host makes them.
platform::RegionMaker* regionsOf(NetView& view) {
    return view.host ? &view.host->regions() : nullptr;
}

void setOptionDefaults(NetView& view) {
    view.options.justification = Justification::Centred;
    view.options.depthJustify = DepthJustify::RaiseChildren;
    view.options.orientation = Orientation::TopDown;
    view.options.lineStyle = LineStyle::Curved;
    view.options.highlightLinks = true;
    view.options.distanceMode = {DistanceShade::None, true};
}

// Scales the view for its window once the window is up: the task may come after the view has
// gone, and then finds its token expired.
void postScaleForOpening(NetView& view) {
    std::weak_ptr<int> alive = view.lifetime;
    view.host->postTask([&view, alive] {
        if (!alive.expired())
            ScaleForOpening(view);
    });
}

// The scale for the window is taken once the layout is there, the one the opening may have
// started after the first included.
void scaleOnceLaidOut(NetView& view) {
    if (LayoutUnfinished(view)) {
        view.layoutRun->extend({}, &scaleOnceLaidOut);
        return;
    }
    if (view.host)
        postScaleForOpening(view);
}

// The spotlight of an opening, before its first layout: the distances it reads are measured
// for it and forgotten again, as the opening measures them once the view is laid out.
void applyOpeningSpotlight(NetView& view, int spotlightDepth) {
    MeasureDistances(view);
    SetSpotlight(view, spotlightDepth - 1, 1);
    view.layout.nodes->forEach(
        [](NodeBase* n) {
            asViewNode(n)->distance = 0;
            return 0;
        });
}

// What an opening does once the view is laid out; `spotlight`: the spotlight is still to come.
void finishOpening(NetView& view, int spotlightDepth, bool spotlight) {
    // The root is the current node: the shades and numbers count from it.
    MeasureDistances(view);
    view.layout.restartSteps();
    UpdateTitle(view);
    FindWidestLabel(view);
    UpdateViewGeometry(view);
    UpdateSpotlightMenu(view);
    if (spotlightDepth > 1) {
        // The distances measured above still hold: nothing has changed the view since, and a
        // second walk of the whole network would cost as much as the view itself.
        // The view was built up to the spotlight: what the layout has laid out stays.
        if (spotlight && SetSpotlight(view, spotlightDepth - 1, 1))
            Relayout(view, false);
        else
            ShowLayout(view, view.current ? view.current->layoutBox : PixelBox{});
    }
    view.painted = true;
    HighlightCurrent(view, true);
    UpdateMenus(view);
}

} // namespace

int CreateView(NetView& view, Network& net, Node* node, platform::ViewHost* host, ViewMenus* menus,
               const ViewStartup& startup) {
    view.documentTitle = startup.title ? startup.title : "";
    view.host = host;
    view.menus = menus;
    // The palette: true-colour displays need none. The visit pass, the root and the walk over
    // every slot from it make the view's nodes.
    if (!BuildViewNodes(view, net, node, ReachForSpotlight(startup.spotlightDepth)))
        return 0;
    RegisterView(view);
    setOptionDefaults(view);
    view.options.openAt = startup.openAt;
    view.options.readablePoints = startup.readablePoints;
    ChooseCurrentLink(view);
    if (platform::RegionMaker* regions = regionsOf(view))
        view.shapes = MakeShapeSet(*regions, &shapesOf(net));
    view.editor = nullptr;
    view.widestNode = nullptr;
    view.geometry.scrollX = view.geometry.scrollY = 0;
    view.geometry.slotExtent = view.geometry.layerExtent = 15.0f;
    DeriveOrientation(view);
    // A big view of a window lays out on the window's event loop; the rest of the opening,
    // and the scale it opens at, follow once it is laid out.
    const int spotlightDepth = startup.spotlightDepth;
    if (SlicesLayout(view)) {
        // The spotlight goes first, so that what meets the unfinished view (an edit elsewhere)
        // comes after it, as it would after an opening in one go. Laying out after it gives
        // what laying out before and again after it would.
        if (spotlightDepth > 1)
            applyOpeningSpotlight(view, spotlightDepth);
        StartSlicedLayout(view, {.recalc = true, .show = false}, [spotlightDepth](NetView& v) {
            finishOpening(v, spotlightDepth, false);
            scaleOnceLaidOut(v);
        });
        return 1;
    }
    if (host)
        postScaleForOpening(view);
    RecalcLayout(view, false);
    finishOpening(view, spotlightDepth, true);
    return 1;
}

void DestroyView(NetView& view) {
    StopLayout(view);
    if (LinkInspectionOpen(view))
        ToggleLinkInspection(view);
    UnregisterView(view);
    ForgetMouse(view);
    if (view.editor)
        CloseEditor(view, false);
    RemoveDummyNodes(view.layout);
    if (view.host)
        view.host->stopTimer(platform::kHoverTimer);
    DestroyViewNodes(view);
    DestroyShapeSet(view.shapes);
    view.shapes = nullptr;
    view.host = nullptr;
    view.menus = nullptr;
}

void ViewResized(NetView& view, bool maximised, bool minimised) {
    view.maximised = maximised;
    view.minimised = minimised;
    DropViewRegions(view);
    view.geometry.scaleToWindowPossible = true;
    UpdateViewGeometry(view);
    RepaintView(view);
    UpdateMenus(view);
}

} // namespace tarvo
