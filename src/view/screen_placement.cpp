// From cells to pixels: node boxes and link boxes, and the walk over the grid's cells.
#include "view/layout.h"

#include "containers/node_list.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "view/net_view.h"
#include "view/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvo {
namespace {

struct Placement {
    bool vertical;
    bool reversed;
    float layerExtent;
    float slotExtent;
    float layerStart;
    float slotStart;
    float clientLayer;
    int halfX;
    int halfY;
    int zoom;
    int linkGrowth;
};

Placement placementOf(const NetView& view) {
    Placement p{};
    p.vertical = view.vertical();
    p.reversed = view.reversed();
    p.layerExtent = p.vertical ? view.geometry.cellHeight : view.geometry.cellWidth;
    p.slotExtent = p.vertical ? view.geometry.cellWidth : view.geometry.cellHeight;
    const int layerOrigin = p.vertical ? view.geometry.scrollY : view.geometry.scrollX;
    const int slotOrigin = p.vertical ? view.geometry.scrollX : view.geometry.scrollY;
    p.layerStart = static_cast<float>(view.geometry.firstVisibleLayer) * p.layerExtent +
                   static_cast<float>(layerOrigin) - static_cast<float>(view.geometry.layerMargin);
    p.slotStart = static_cast<float>(view.geometry.firstVisibleSlot) * p.slotExtent +
                  static_cast<float>(slotOrigin);
    p.clientLayer =
        static_cast<float>(p.vertical ? view.geometry.clientHeight : view.geometry.clientWidth);
    p.halfX = BoxHalfExtent(view.geometry.cellWidth);
    p.halfY = BoxHalfExtent(view.geometry.cellHeight);
    p.zoom = static_cast<int>(view.geometry.labelZoom);
    p.linkGrowth = linkGrowthFor(view.geometry.labelZoom);
    return p;
}

int placeNode(void* context, ViewNode* node, int row, int column) {
    const Placement& p = *static_cast<const Placement*>(context);
    // Scrolling moves the picture along the direction the layers step in.
    const float along =
        p.layerExtent / 2.0f + static_cast<float>(column) * p.layerExtent - p.layerStart;
    const int layerCentre = static_cast<int>(p.reversed ? p.clientLayer - along : along);
    const int slotCentre = static_cast<int>(p.slotExtent / 2.0f +
                                            static_cast<float>(row) * p.slotExtent - p.slotStart);
    const int halfLayer = p.vertical ? p.halfY : p.halfX;
    const int halfSlot = p.vertical ? p.halfX : p.halfY;
    int slotLow = slotCentre - halfSlot;
    int slotHigh = slotCentre + halfSlot + 1;
    if (node->hasFlag(NodeFlags::DummyNode)) {
        // A filler is a line's width across, so that its link passes straight through it.
        slotLow = slotCentre - p.zoom / 2;
        slotHigh = slotLow + std::max(1, p.zoom);
    }
    const int layerLow = layerCentre - halfLayer;
    const int layerHigh = layerCentre + halfLayer + 1;
    PixelBox& box = node->layoutBox;
    if (p.vertical)
        box = {slotLow, layerLow, slotHigh, layerHigh};
    else
        box = {layerLow, slotLow, layerHigh, slotHigh};
    const int g = p.linkGrowth;
    PixelBox& links = node->linkBox;
    links.left = slotLow - g;
    links.right = slotHigh + g;
    links.top = p.reversed ? layerHigh + g : layerLow - g;
    links.bottom = p.reversed ? layerLow - g : layerHigh + g;
    return 0;
}

struct Reach {
    std::vector<std::int32_t>& rows;
    float slotExtent;
};

int noteParentReach(void* context, ViewNode* node, int, int column) {
    Reach& reach = *static_cast<Reach*>(context);
    const int own = slotCentre(node);
    forEachNode(node->slotList(ParentSlot), [&](NodeBase* base) {
        const ViewNode* parent = asViewNode(base);
        if (parent->hasFlag(NodeFlags::Hidden) || parent->hasFlag(NodeFlags::Unplaced))
            return;
        const float pixels = static_cast<float>(std::abs(slotCentre(parent) - own));
        const auto rows = static_cast<std::int32_t>(std::ceil(pixels / reach.slotExtent)) + 1;
        reach.rows[static_cast<std::size_t>(column)] =
            std::max(reach.rows[static_cast<std::size_t>(column)], rows);
    });
    return 0;
}

} // namespace

int BoxHalfExtent(float cell) {
    return static_cast<int>(cell >= 100.0f ? cell * (1.0f / 3.0f) : cell * (0.45f - cell / 857.2f));
}

float CellExtentForWindow(int clientExtent, int cells) {
    if (cells <= 0)
        return 1.0f;
    const float extent = static_cast<float>(clientExtent) / static_cast<float>(cells) + 0.0001f;
    return std::max(1.0f, static_cast<float>(static_cast<int>(extent)));
}

int LayerMarginFor(float slotExtent, float layerExtent) {
    const float zoom = std::min(slotExtent, layerExtent) / 66.667f;
    // Past the box the link box reaches, then the stub, then the marker and half a line.
    const int reach =
        linkGrowthFor(zoom) + markerExtensionFor(layerExtent) +
        std::max(arrowLengthFor(zoom) - arrowLengthFor(zoom) / 2, markerDiameterFor(zoom)) +
        std::max(1, static_cast<int>(zoom));
    // The cell has room for part of it between the box and the cell's end.
    const int room = (static_cast<int>(layerExtent) - 2 * BoxHalfExtent(layerExtent) - 1) / 2;
    return std::max(0, reach - room);
}

void PlaceOnScreen(NetView& view) {
    view.geometry.labelZoom = std::min(view.geometry.cellWidth, view.geometry.cellHeight) / 66.667f;
    Placement placement = placementOf(view);
    ForEachCell(view.layout.grid, &placeNode, &placement);
    // Only once every box has its place: the reach is measured between boxes.
    view.parentReach.assign(static_cast<std::size_t>(std::max(0, view.layout.grid.layerCount)), 0);
    Reach reach{view.parentReach, std::max(1.0f, placement.slotExtent)};
    ForEachCell(view.layout.grid, &noteParentReach, &reach);
}

} // namespace tarvo
