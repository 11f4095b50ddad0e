// ViewGeometry and LabelFonts: a view's client area, cell extents and scrolling, and the sizes
// of its label fonts.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tarvo {

// Where the picture stands in the window. The cell extents run along the slot and layer axes;
// the cell width and height are the same two in screen x and y.
class ViewGeometry {
public:
    // The client area along the slot and layer axes, from its width and height.
    void orient(bool vertical) {
        clientSlot = vertical ? clientWidth : clientHeight;
        clientLayer = vertical ? clientHeight : clientWidth;
    }
    // The size of the whole picture; the scroll ranges follow, and the scroll origin is kept
    // within them.
    void setTotalSize(std::int32_t width, std::int32_t height) {
        totalWidth = width;
        totalHeight = height;
        scrollRangeX = std::max(0, totalWidth - clientWidth);
        scrollRangeY = std::max(0, totalHeight - clientHeight);
        scrollX = std::clamp(scrollX, 0, scrollRangeX);
        scrollY = std::clamp(scrollY, 0, scrollRangeY);
    }
    // The cell extents, never below a pixel, and the cell width and height that follow.
    void setExtents(float slot, float layer, bool vertical) {
        slotExtent = std::max(1.0f, slot);
        layerExtent = std::max(1.0f, layer);
        cellWidth = vertical ? slotExtent : layerExtent;
        cellHeight = vertical ? layerExtent : slotExtent;
    }

    // The client area, and the same along the slot and layer axes.
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t clientSlot = 0;
    std::int32_t clientLayer = 0;
    float slotExtent = 0.0f;
    float layerExtent = 0.0f;
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;
    // The free space between neighbouring boxes along x and y.
    float gapX = 0.0f;
    float gapY = 0.0f;
    float labelZoom = 0.0f;
    // Slot extent over layer extent that the scale commands keep; 0 for none.
    float aspect = 0.0f;
    std::int32_t firstVisibleSlot = 0;
    std::int32_t firstVisibleLayer = 0;
    // Free pixels before the first layer and after the last one, so that the markers of hidden
    // parents and children there lie inside the picture.
    std::int32_t layerMargin = 0;
    std::int32_t visibleSlots = 0;
    std::int32_t visibleLayers = 0;
    // The whole picture in pixels, and the scroll origin in it.
    std::int32_t totalWidth = 0;
    std::int32_t totalHeight = 0;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    std::int32_t scrollRangeX = 0;
    std::int32_t scrollRangeY = 0;
    bool scaleToWindowPossible = true;
};

// Height, ascent and blank width of a label font at the view's label size.
struct FontMetrics {
    std::int32_t height = 0;
    std::int32_t ascent = 0;
    std::int32_t spaceWidth = 0;
};

// The label size in points, the distance numbers' size, and the normal and half-size label
// fonts.
struct LabelFonts {
    std::int32_t labelPoints = 7;
    // While the view keeps the readable scale it opened at, the label size goes no higher (0:
    // no limit), so that every label fits that the cells were made for.
    std::int32_t labelCeiling = 0;
    std::int32_t distancePoints = 0;
    FontMetrics normalFont;
    FontMetrics halfFont;
};

} // namespace tarvo
