// Cell extents and what follows from them: the screen cell, fonts, scroll bars, positions.
#include "view/view_scale.h"

#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "platform/view_host.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/shapes.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace tarvo {
namespace {

float truncated(float value) {
    return static_cast<float>(static_cast<int>(value));
}

void readClientSize(NetView& view) {
    if (view.host) {
        const platform::Size size = view.host->clientSize();
        view.geometry.clientWidth = size.width;
        view.geometry.clientHeight = size.height;
    }
    DeriveOrientation(view);
}

int slotOrigin(const NetView& view) {
    return view.vertical() ? view.geometry.scrollX : view.geometry.scrollY;
}
int layerOrigin(const NetView& view) {
    return view.vertical() ? view.geometry.scrollY : view.geometry.scrollX;
}
void setOrigins(NetView& view, int slot, int layer) {
    (view.vertical() ? view.geometry.scrollX : view.geometry.scrollY) = slot;
    (view.vertical() ? view.geometry.scrollY : view.geometry.scrollX) = layer;
}

} // namespace

void UpdateViewGeometry(NetView& view) {
    readClientSize(view);
    ViewGeometry& g = view.geometry;
    g.setExtents(g.slotExtent, g.layerExtent, view.vertical());
    g.gapX = g.cellWidth - 2.0f * static_cast<float>(BoxHalfExtent(g.cellWidth));
    g.gapY = g.cellHeight - 2.0f * static_cast<float>(BoxHalfExtent(g.cellHeight));
    g.labelZoom = std::min(g.cellWidth, g.cellHeight) / 66.667f;
    const LayoutGrid& grid = view.layout.grid;
    g.visibleSlots = std::min<int>(
        grid.slotCount, static_cast<int>(static_cast<float>(g.clientSlot) / g.slotExtent));
    g.layerMargin = LayerMarginFor(g.slotExtent, g.layerExtent);
    g.visibleLayers = std::min<int>(
        grid.layerCount,
        static_cast<int>(static_cast<float>(std::max(0, g.clientLayer - 2 * g.layerMargin)) /
                         g.layerExtent));
    FitViewLabelFont(view);
    UpdateScrollBars(view);
    PlaceOnScreen(view);
}

void UpdateScrollBars(NetView& view) {
    ViewGeometry& g = view.geometry;
    const int slots = view.layout.grid.slotCount - g.firstVisibleSlot;
    const int layers = view.layout.grid.layerCount - g.firstVisibleLayer;
    const int totalSlot =
        static_cast<int>(std::ceil(static_cast<float>(std::max(0, slots)) * g.slotExtent));
    const int margins = layers > 0 ? 2 * g.layerMargin : 0;
    const int totalLayer =
        static_cast<int>(std::ceil(static_cast<float>(std::max(0, layers)) * g.layerExtent)) +
        margins;
    if (view.vertical())
        g.setTotalSize(totalSlot, totalLayer);
    else
        g.setTotalSize(totalLayer, totalSlot);
    if (!view.host)
        return;
    using platform::ScrollBar;
    view.host->setScrollRange(ScrollBar::Horizontal, 0, view.geometry.scrollRangeX);
    view.host->setScrollRange(ScrollBar::Vertical, 0, view.geometry.scrollRangeY);
    // A reversed layer axis starts at the far side, and so does its bar.
    const bool flipX = !view.vertical() && view.reversed();
    const bool flipY = view.vertical() && view.reversed();
    view.host->setScrollPosition(ScrollBar::Horizontal,
                                 flipX ? view.geometry.scrollRangeX - view.geometry.scrollX
                                       : view.geometry.scrollX);
    view.host->setScrollPosition(ScrollBar::Vertical,
                                 flipY ? view.geometry.scrollRangeY - view.geometry.scrollY
                                       : view.geometry.scrollY);
}

void ScrollViewBy(NetView& view, int dx, int dy) {
    // On a reversed layer axis a larger origin moves the picture forwards.
    ScrollViewTo(view, view.geometry.scrollX + ((!view.vertical() && view.reversed()) ? -dx : dx),
                 view.geometry.scrollY + ((view.vertical() && view.reversed()) ? -dy : dy));
}

void ScrollViewTo(NetView& view, int scrollX, int scrollY) {
    const int oldX = view.geometry.scrollX;
    const int oldY = view.geometry.scrollY;
    view.geometry.scrollX = scrollX;
    view.geometry.scrollY = scrollY;
    UpdateScrollBars(view);
    if (view.geometry.scrollX == oldX && view.geometry.scrollY == oldY)
        return;
    PlaceOnScreen(view);
    RepaintView(view);
}

void ScrollBarMoved(NetView& view, bool horizontal, int position) {
    const bool flip = view.reversed() && (horizontal != view.vertical());
    if (horizontal)
        view.geometry.scrollX = flip ? view.geometry.scrollRangeX - position : position;
    else
        view.geometry.scrollY = flip ? view.geometry.scrollRangeY - position : position;
    UpdateScrollBars(view);
    PlaceOnScreen(view);
    RepaintView(view);
}

bool SetCellExtents(NetView& view, float slot, float layer) {
    slot = std::max(1.0f, slot);
    layer = std::max(1.0f, layer);
    if (slot == view.geometry.slotExtent && layer == view.geometry.layerExtent)
        return false;
    // Keep the point at the centre of the window under the centre.
    const float halfSlot = static_cast<float>(view.geometry.clientSlot) / 2.0f;
    const float halfLayer = static_cast<float>(view.geometry.clientLayer) / 2.0f;
    const float oldSlot = std::max(1.0f, view.geometry.slotExtent);
    const float oldLayer = std::max(1.0f, view.geometry.layerExtent);
    // Along the layers the margin before the first layer does not scale with the cells.
    const float oldMargin = static_cast<float>(view.geometry.layerMargin);
    const int newMargin = LayerMarginFor(slot, layer);
    const int newSlotOrigin = static_cast<int>(
        slot * (halfSlot + static_cast<float>(slotOrigin(view))) / oldSlot - halfSlot);
    const int newLayerOrigin =
        static_cast<int>(layer * (halfLayer + static_cast<float>(layerOrigin(view)) - oldMargin) /
                             oldLayer -
                         halfLayer) +
        newMargin;
    view.geometry.slotExtent = slot;
    view.geometry.layerExtent = layer;
    view.fonts.labelCeiling = 0;
    setOrigins(view, newSlotOrigin, newLayerOrigin);
    view.geometry.scaleToWindowPossible = true;
    UpdateViewGeometry(view);
    RepaintView(view);
    RepaintEditor(view);
    UpdateMenus(view);
    return true;
}

namespace {

// With an aspect ratio the larger request drives the other; without one, the ratio of the
// extents before the change becomes the view's.
void keepAspect(NetView& view, float& slot, float& layer) {
    if (view.geometry.aspect > 0.0f) {
        if (layer < slot)
            layer = truncated(slot / view.geometry.aspect);
        else
            slot = truncated(view.geometry.aspect * layer);
    } else if (view.geometry.layerExtent > 0.0f) {
        view.geometry.aspect = view.geometry.slotExtent / view.geometry.layerExtent;
    }
}

} // namespace

void ExpandScale(NetView& view) {
    float slot = truncated(view.geometry.slotExtent / 0.9f);
    float layer = truncated(view.geometry.layerExtent / 0.9f);
    if (slot == view.geometry.slotExtent)
        slot += 1.0f;
    if (layer == view.geometry.layerExtent)
        layer += 1.0f;
    keepAspect(view, slot, layer);
    SetCellExtents(view, slot, layer);
}

void ReduceScale(NetView& view) {
    float slot = truncated(view.geometry.slotExtent * 0.9f);
    float layer = truncated(view.geometry.layerExtent * 0.9f);
    keepAspect(view, slot, layer);
    if (!SetCellExtents(view, slot, layer))
        UpdateScaleMenus(view);
}

namespace {

// How far a window point lies along the slot and the layer axis in the direction the picture
// runs: along a reversed layer axis the picture starts at the far side of the window.
std::pair<float, float> alongAxes(const NetView& view, platform::Point at) {
    const float slot = static_cast<float>(view.vertical() ? at.x : at.y);
    const float layer = static_cast<float>(view.vertical() ? at.y : at.x);
    return {slot, view.reversed() ? static_cast<float>(view.geometry.clientLayer) - layer : layer};
}

// The origin that keeps what lay `at` pixels into the window there when the cell extent goes
// from `before` to `after` and the margin before the first cell from `marginBefore` to
// `marginAfter`.
int originKeeping(float at, int origin, float before, float after, int marginBefore = 0,
                  int marginAfter = 0) {
    const float fromFirstCell = at + static_cast<float>(origin - marginBefore);
    return static_cast<int>(std::lround(after * fromFirstCell / before - at)) + marginAfter;
}

// Runs a scale command, then scrolls so that the picture point under `at` is back under it.
bool scaleAbout(NetView& view, platform::Point at, void (*scale)(NetView&)) {
    const float slotBefore = std::max(1.0f, view.geometry.slotExtent);
    const float layerBefore = std::max(1.0f, view.geometry.layerExtent);
    const int slotOriginBefore = slotOrigin(view);
    const int layerOriginBefore = layerOrigin(view);
    const int marginBefore = view.geometry.layerMargin;
    scale(view);
    if (view.geometry.slotExtent == slotBefore && view.geometry.layerExtent == layerBefore)
        return false;
    const auto [slot, layer] = alongAxes(view, at);
    const int s = originKeeping(slot, slotOriginBefore, slotBefore, view.geometry.slotExtent);
    const int l = originKeeping(layer, layerOriginBefore, layerBefore, view.geometry.layerExtent,
                                marginBefore, view.geometry.layerMargin);
    ScrollViewTo(view, view.vertical() ? s : l, view.vertical() ? l : s);
    return true;
}

// Pixels to scroll for a turn of `angle`, keeping what falls short of a whole pixel; a turn
// back the other way starts afresh.
int wheelPixels(int angle, int notchPixels, int& left) {
    if (angle == 0)
        return 0;
    if ((left < 0) != (angle < 0))
        left = 0;
    const int total = left + angle * notchPixels;
    left = total % 120;
    // Turned up, the picture comes down: the window shows what lies above.
    return -(total / 120);
}

void wheelZoom(NetView& view, int& left, int angle, platform::Point at) {
    if (angle == 0)
        return;
    if ((left < 0) != (angle < 0))
        left = 0;
    left += angle;
    for (; left >= 120; left -= 120)
        ExpandScaleAt(view, at);
    for (; left <= -120; left += 120)
        ReduceScaleAt(view, at);
}

} // namespace

bool ExpandScaleAt(NetView& view, platform::Point at) {
    return scaleAbout(view, at, &ExpandScale);
}

bool ReduceScaleAt(NetView& view, platform::Point at) {
    return scaleAbout(view, at, &ReduceScale);
}

void ViewWheel(NetView& view, WheelRemainder& left, const WheelTurn& turn, int notchPixels) {
    if (LayoutUnfinished(view))
        return;
    if (turn.ctrl) {
        // A wheel that only turns sideways zooms too.
        wheelZoom(view, left.zoom, turn.angle.y != 0 ? turn.angle.y : turn.angle.x, turn.at);
        return;
    }
    int dx = 0;
    int dy = 0;
    if (turn.pixels.x != 0 || turn.pixels.y != 0) {
        // A touchpad moves the picture with the fingers, pixel for pixel.
        dx = -turn.pixels.x;
        dy = -turn.pixels.y;
        left.x = left.y = 0;
    } else {
        dx = wheelPixels(turn.angle.x, notchPixels, left.x);
        dy = wheelPixels(turn.angle.y, notchPixels, left.y);
    }
    if (turn.shift)
        std::swap(dx, dy);
    if (dx != 0 || dy != 0)
        ScrollViewBy(view, dx, dy);
}

void ScaleToWindow(NetView& view, bool keep) {
    if (!view.geometry.scaleToWindowPossible)
        return;
    view.geometry.firstVisibleSlot = 0;
    view.geometry.firstVisibleLayer = 0;
    readClientSize(view);
    const float s = view.geometry.slotExtent;
    view.geometry.aspect =
        keep && s > 0.0f && view.geometry.layerExtent > 0.0f ? s / view.geometry.layerExtent : 0.0f;
    const int slots = std::max(1, static_cast<int>(view.layout.grid.slotCount));
    const int layers = std::max(1, static_cast<int>(view.layout.grid.layerCount));
    float slot = static_cast<float>(view.geometry.clientSlot) / static_cast<float>(slots) + 0.0001f;
    float layer =
        static_cast<float>(view.geometry.clientLayer) / static_cast<float>(layers) + 0.0001f;
    // The axis with less room decides, and the other keeps the ratio slot / layer.
    if (view.geometry.aspect > 0.0f) {
        if (view.geometry.aspect * layer >= slot)
            layer = slot / view.geometry.aspect;
        else
            slot = view.geometry.aspect * layer;
    }
    slot = std::max(1.0f, truncated(slot));
    layer = std::max(1.0f, truncated(layer));
    // The layers share the window less the margins their end markers need.
    while (layer > 1.0f && static_cast<float>(layers) * layer +
                                   2.0f * static_cast<float>(LayerMarginFor(slot, layer)) >
                               static_cast<float>(view.geometry.clientLayer)) {
        layer -= 1.0f;
        if (view.geometry.aspect > 0.0f)
            slot = std::max(1.0f, truncated(view.geometry.aspect * layer));
    }
    view.geometry.scrollX = view.geometry.scrollY = 0;
    view.geometry.slotExtent = slot;
    view.geometry.layerExtent = layer;
    view.fonts.labelCeiling = 0;
    UpdateViewGeometry(view);
    // Another fit would change nothing only when nothing is scrolled away and every cell
    // shows; cells held at one pixel may still leave part of the picture out.
    view.geometry.scaleToWindowPossible = view.geometry.scrollX != 0 ||
                                          view.geometry.scrollY != 0 ||
                                          view.geometry.visibleSlots < view.layout.grid.slotCount ||
                                          view.geometry.visibleLayers < view.layout.grid.layerCount;
    RepaintView(view);
    RepaintEditor(view);
    UpdateMenus(view);
}

namespace {

// The smallest cell whose box holds `inner` pixels inside a frame of `frame` pixels.
float cellHolding(int inner, int frame) {
    float cell = 1.0f;
    while (2 * BoxHalfExtent(cell) + 1 - 2 * frame < inner)
        cell += 1.0f;
    return cell;
}

// The widest of the shown labels at a size, each on as few lines up to two as the line
// breaking allows, and the lines they take.
struct LabelRoom {
    platform::Display* display = nullptr;
    int points = 0;
    int width = 0;
    int lines = 1;
    int lineHeight = 0;
};

bool shownNode(const ViewNode* n) {
    return !n->hasFlag(NodeFlags::DummyNode) && !n->hasFlag(NodeFlags::Hidden);
}

int measureRoom(void* context, ViewNode* n, int, int) {
    auto& room = *static_cast<LabelRoom*>(context);
    if (!shownNode(n))
        return 0;
    const LabelNeed need = LabelWidthFor(*room.display, n->name, room.points, 2);
    room.width = std::max(room.width, need.width);
    room.lines = std::max(room.lines, need.lines);
    room.lineHeight = std::max(room.lineHeight, need.lineHeight);
    return 0;
}

// Grows the cells (never shrinks them) so that every shown label fits whole at `points` on at
// most two lines, with the current node's thicker frame, and the label size the cells give
// starts from `points` at the least.
void growCellsFor(NetView& view, platform::Display& display, int points) {
    LabelRoom room;
    room.display = &display;
    room.points = points;
    ForEachCell(view.layout.grid, &measureRoom, &room);
    // The label fitting wants the widest word narrower than the box and the lines less high.
    const int innerWidth = room.width + 1;
    const int innerHeight = room.lines * room.lineHeight + 1;
    const float wordChars = static_cast<float>(std::max(1, view.widestLabelWidth));
    float width =
        std::max(view.geometry.cellWidth, std::ceil(0.6f * wordChars * static_cast<float>(points)));
    float height = std::max(view.geometry.cellHeight, std::ceil(static_cast<float>(points) / 0.6f));
    // Frames thicken with the cells: twice round settles them.
    for (int round = 0; round < 2; ++round) {
        const int lineWidth = std::max(1, static_cast<int>(std::min(width, height) / 66.667f));
        width = std::max(width, cellHolding(innerWidth, 3 * lineWidth));
        height = std::max(height, cellHolding(innerHeight, 3 * lineWidth));
    }
    float slot = view.vertical() ? width : height;
    float layer = view.vertical() ? height : width;
    // Cells made wide for their labels leave links between the layers little room to run
    // sideways; at least half a cell's width between layers keeps them apart.
    layer = std::max(layer, std::ceil(slot / 2.0f));
    view.geometry.slotExtent = slot;
    view.geometry.layerExtent = layer;
    UpdateViewGeometry(view);
}

// Scrolls so that the node's cell is in the middle of the window, as far as the picture
// reaches.
void centreOn(NetView& view, const ViewNode* node) {
    const int row = node->slot + view.layout.grid.slotOffset;
    const int column = node->layer + view.layout.grid.layerOffset;
    if (view.layout.grid.at(row, column) != node)
        return;
    const float slot = (static_cast<float>(row - view.geometry.firstVisibleSlot) + 0.5f) *
                       view.geometry.slotExtent;
    const float layer = (static_cast<float>(column - view.geometry.firstVisibleLayer) + 0.5f) *
                            view.geometry.layerExtent +
                        static_cast<float>(view.geometry.layerMargin);
    setOrigins(view, static_cast<int>(slot) - view.geometry.clientSlot / 2,
               static_cast<int>(layer) - view.geometry.clientLayer / 2);
    UpdateScrollBars(view);
    PlaceOnScreen(view);
}

} // namespace

void ScaleForOpening(NetView& view) {
    ScaleToWindow(view, true);
    if (view.options.openAt != OpenAt::Readable ||
        view.fonts.labelPoints >= view.options.readablePoints || !view.host)
        return;
    std::unique_ptr<platform::Display> display = view.host->measuringDisplay();
    if (!display)
        return;
    // A larger size than asked for may come of larger cells, and labels that fitted at the
    // readable size may not fit at it: the cells grow for that size too, a few times at most.
    // The label size is fitted to one label, the one with the longest word; in cells made
    // for every label at the readable size it would grow past that size and cut the others,
    // so it stays there until the scale changes.
    view.fonts.labelCeiling = view.options.readablePoints;
    growCellsFor(view, *display, view.options.readablePoints);
    // Expand and Reduce go on from these cells' proportions.
    view.geometry.aspect = view.geometry.slotExtent / view.geometry.layerExtent;
    if (view.current)
        centreOn(view, view.current);
    view.geometry.scaleToWindowPossible = true;
    RepaintView(view);
    RepaintEditor(view);
    UpdateMenus(view);
}

void RemakeViewOutlines(NetView& view) {
    if (view.shapes)
        RemakeOutlines(*view.shapes, view.vertical());
}

void DropViewRegions(NetView& view) {
    if (view.shapes)
        DropRegions(*view.shapes);
}

} // namespace tarvo
