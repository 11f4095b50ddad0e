// Painting a view's picture: links in two passes, nodes, then relation links outside the
// boxes; and the repaints of single nodes and distances.
#include "view/view_paint_tools.h"

#include "containers/node_list.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "platform/view_host.h"
#include "view/label_editor.h"
#include "view/layout_slices.h"
#include "view/net_view.h"
#include "view/shapes.h"
#include "view/view_geometry.h"
#include "view/view_operations.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace tarvo {

using namespace painting;

const ColourState& ViewColours(const NetView& view) {
    // The colours of a view given none: those of a table the system told nothing.
    static const ColourState defaults;
    return view.colours ? *view.colours : defaults;
}

namespace {

using platform::Point;
using platform::Rect;

void visibleRange(PaintTools& t) {
    const NetView& view = t.view;
    const Rect clip = t.d.clipBox();
    const float slotExtent = std::max(1.0f, view.geometry.slotExtent);
    const float layerExtent = std::max(1.0f, view.geometry.layerExtent);
    float slotLow = static_cast<float>(view.vertical() ? clip.left : clip.top);
    float slotHigh = static_cast<float>(view.vertical() ? clip.right : clip.bottom);
    float layerLow = static_cast<float>(view.vertical() ? clip.top : clip.left);
    float layerHigh = static_cast<float>(view.vertical() ? clip.bottom : clip.right);
    if (view.reversed()) {
        const float client = static_cast<float>(view.geometry.clientLayer);
        std::tie(layerLow, layerHigh) = std::pair{client - layerHigh, client - layerLow};
    }
    const float slotStart =
        static_cast<float>(view.geometry.firstVisibleSlot) * slotExtent +
        static_cast<float>(view.vertical() ? view.geometry.scrollX : view.geometry.scrollY);
    const float layerStart =
        static_cast<float>(view.geometry.firstVisibleLayer) * layerExtent +
        static_cast<float>(view.vertical() ? view.geometry.scrollY : view.geometry.scrollX) -
        static_cast<float>(view.geometry.layerMargin);
    auto cell = [](float pixel, float start, float extent) {
        return static_cast<int>(std::floor((pixel + start) / extent));
    };
    t.firstRow = std::max(0, cell(slotLow - slotExtent / 2.0f, slotStart, slotExtent));
    t.endRow = std::min<int>(view.layout.grid.slotCount,
                             cell(slotHigh + slotExtent / 2.0f, slotStart, slotExtent) + 1);
    t.firstColumn = std::max(0, cell(layerLow - layerExtent / 2.0f, layerStart, layerExtent) - 1);
    t.endColumn = std::min<int>(view.layout.grid.layerCount,
                                cell(layerHigh + layerExtent / 2.0f, layerStart, layerExtent) + 1);
}

// ---------------------------------------------------------------------------------------------
// The picture.

void drawLinks(PaintTools& t) {
    const LayoutGrid& grid = t.view.layout.grid;
    const std::vector<std::int32_t>& reach = t.view.parentReach;
    const bool reachKnown = static_cast<int>(reach.size()) == grid.layerCount;
    for (int column = std::max(1, t.firstColumn); column < t.endColumn; ++column) {
        // A link may cross the update area far from both its ends: the rows looked at are
        // those from which the column's longest link can reach the area. Links whose
        // rectangles miss the area are still skipped one by one.
        int first = 0;
        int end = grid.slotCount;
        if (reachKnown) {
            const int rows = reach[static_cast<std::size_t>(column)];
            first = std::max(0, t.firstRow - rows);
            end = std::min(grid.slotCount, t.endRow + rows);
        }
        int lit = 0;
        for (int row = first; row < end; ++row)
            if (ViewNode* n = grid.at(row, column))
                lit += drawParentLinks(t, n, false);
        if (lit > 0)
            for (int row = first; row < end; ++row)
                if (ViewNode* n = grid.at(row, column))
                    drawParentLinks(t, n, true);
        for (int row = t.firstRow; row < t.endRow; ++row) {
            ViewNode* n = grid.at(row, column - 1);
            if (n && !n->hasFlag(NodeFlags::DummyNode))
                drawStub(t, n, false);
        }
    }
}

void drawNodes(PaintTools& t) {
    const LayoutGrid& grid = t.view.layout.grid;
    for (int column = t.firstColumn; column < t.endColumn; ++column)
        for (int row = t.firstRow; row < t.endRow; ++row)
            if (ViewNode* n = grid.at(row, column))
                drawNode(t, n);
}

bool placed(const ViewNode* n) {
    return !n->hasFlag(NodeFlags::Hidden) && !n->hasFlag(NodeFlags::Unplaced);
}

int excludeBox(void* context, ViewNode* n, int row, int column) {
    PaintTools& t = *static_cast<PaintTools*>(context);
    if (n->hasFlag(NodeFlags::DummyNode) || row < t.firstRow || row >= t.endRow ||
        column < t.firstColumn || column >= t.endColumn)
        return 0;
    std::unique_ptr<platform::Region> region =
        t.view.shapes ? NodeRegion(*n, *t.view.shapes, t.shapeDrawing())
                      : t.d.rectRegion(toRect(n->layoutBox));
    if (region)
        t.d.combineClipRegion(*region, platform::RegionOp::Difference);
    return 0;
}

int drawRelationLinks(void* context, ViewNode* n, int, int) {
    PaintTools& t = *static_cast<PaintTools*>(context);
    const Point from = BoxCentre(n->layoutBox);
    forEachNode(n->slotList(FromSlot), [&](NodeBase* base) {
        auto* other = asViewNode(base);
        if (!placed(other))
            return;
        t.d.moveTo(from);
        t.d.lineTo(BoxCentre(other->layoutBox));
    });
    return 0;
}

int hasRelationLink(void*, ViewNode* n, int, int) {
    int found = 0;
    forEachNode(n->slotList(FromSlot),
                [&](NodeBase* base) { found = found || placed(asViewNode(base)); });
    return found;
}

void drawRelationLinks(PaintTools& t) {
    // Cutting every box out of the clip costs more than the rest of the picture: only when
    // there is a relation link to draw.
    if (!ForEachCell(t.view.layout.grid, &hasRelationLink, nullptr))
        return;
    t.d.save();
    // The clip keeps the drawing's own origin out of it: node boxes are in window coordinates.
    ForEachCell(t.view.layout.grid, &excludeBox, &t, t.firstRow, t.endRow, t.firstColumn,
                t.endColumn);
    t.d.selectPen(t.normal.get());
    ForEachCell(t.view.layout.grid, &drawRelationLinks, &t);
    t.d.restore();
}

void paintPicture(PaintTools& tools) {
    platform::Display& display = tools.d;
    visibleRange(tools);
    // The whole update area is painted afresh, so nothing of an earlier picture survives.
    display.fillRect(display.clipBox(), *tools.background);
    display.setTextColour(tools.ink);
    if (LayoutUnfinished(tools.view)) {
        // The cells are on their way to new places: the window says so rather than show them
        // half laid out.
        const platform::Size client =
            tools.view.host ? tools.view.host->clientSize() : platform::Size{};
        constexpr char kLayingOut[] = "Laying out\x85";
        display.textAt({client.width / 2, client.height / 2}, platform::kAlignCentre, kLayingOut,
                       static_cast<int>(sizeof kLayingOut - 1));
    } else if (tools.view.layout.grid.slotCount > 0 && tools.view.layout.grid.layerCount > 0) {
        drawLinks(tools);
        drawNodes(tools);
        drawRelationLinks(tools);
    }
    display.selectPen(nullptr);
    display.selectBrush(nullptr);
}

} // namespace

void Paint(NetView& view, platform::Display& display, std::vector<DrawnLabel>* drawn) {
    const Rect editor = EditorOpen(view) ? view.editor->rect : Rect{};
    display.save();
    if (!editor.empty())
        display.excludeClipRect(editor);
    if (!view.labelLayouts)
        view.labelLayouts = std::make_unique<LabelLayouts>();
    PaintTools tools(view, display, false, kWhite, drawn);
    tools.layouts = view.labelLayouts.get();
    // While its label is edited, the box shows the editor's text, not the old label around it.
    if (!editor.empty())
        tools.unlabelled = view.editor->node;
    paintPicture(tools);
    display.restore();
    if (!editor.empty()) {
        // The label editor: the picture dimmed under its text, on the shade of the node being
        // edited, so that the editor reads as part of its box where it reaches beyond it.
        display.save();
        display.intersectClipRect(editor);
        const int distance = view.current ? view.current->distance : 0;
        PaintTools dimmed(view, display, true,
                          shadeOf(ViewColours(view), view.options.distanceMode.shade, distance));
        dimmed.unlabelled = view.editor->node;
        dimmed.layouts = view.labelLayouts.get();
        paintPicture(dimmed);
        PaintEditor(view, display);
        display.selectPen(nullptr);
        display.selectBrush(nullptr);
        display.restore();
    }
    view.painted = true;
}

void InvalidateNode(NetView& view, ViewNode* node) {
    if (!view.host || !node)
        return;
    Rect box = toRect(node->layoutBox).grown(nodeRepaintReach(view));
    view.host->invalidate(&box);
}

namespace {

// The rectangle of a node's links to its neighbours in `slot`.
void invalidateLinks(NetView& view, ViewNode* node, int slot) {
    const Point own = slot == ParentSlot ? parentLinkPoint(view, node) : childLinkPoint(view, node);
    forEachNode(node->slotList(slot), [&](NodeBase* base) {
        auto* other = asViewNode(base);
        if (!placed(other))
            return;
        const Point end =
            slot == ParentSlot ? childLinkPoint(view, other) : parentLinkPoint(view, other);
        Rect r = Rect{std::min(own.x, end.x), std::min(own.y, end.y), std::max(own.x, end.x) + 1,
                      std::max(own.y, end.y) + 1}
                     .grown(3 * lineWidthOf(view) + 2);
        view.host->invalidate(&r);
    });
}

} // namespace

void SetNodeMark(NetView& view, ViewNode* node, bool on, std::uint32_t mask) {
    if (!node)
        return;
    node->setFlag(on ? 1 : 0, mask);
    InvalidateNode(view, node);
    if (view.host && view.options.highlightLinks && mask == NodeFlags::CurrentMark) {
        invalidateLinks(view, node, ParentSlot);
        invalidateLinks(view, node, ChildSlot);
    }
}

void HighlightCurrent(NetView& view, bool on) {
    SetNodeMark(view, view.current, on, NodeFlags::CurrentMark);
    if (view.currentLink)
        SetNodeMark(view, view.currentLink, on, NodeFlags::CurrentLinkMark);
}

namespace {

int redrawDistance(void* context, ViewNode* n, int, int) {
    auto& [view, all] = *static_cast<std::pair<NetView*, bool>*>(context);
    if (n->hasFlag(NodeFlags::DummyNode) || !(all || n->hasFlag(NodeFlags::DistanceChanged)))
        return 0;
    if (ShowsDistances(view->options.distanceMode))
        InvalidateNode(*view, n);
    n->setFlag(0, NodeFlags::DistanceChanged);
    return 0;
}

} // namespace

void RedrawDistances(NetView& view, bool all) {
    std::pair<NetView*, bool> context{&view, all};
    ForEachCell(view.layout.grid, &redrawDistance, &context);
}

} // namespace tarvo
