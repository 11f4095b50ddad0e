// Painting a view: links between layers, stubs and hidden-neighbour markers, node boxes and
// shapes with their fills, labels and distance numbers, and the highlight of the current node.
#pragma once

#include "platform/colour.h"
#include "platform/display.h"
#include "view/view_modes.h"

#include <cstdint>
#include <vector>

namespace tarvo {

class NetView;
struct ColourState;
struct ShapeFileState;
class ViewNode;

// Flags of the view's link marking and dragging.
namespace NodeFlags {
inline constexpr std::uint32_t ParentStubLit = 0x2;
inline constexpr std::uint32_t ChildStubLit = 0x4;
inline constexpr std::uint32_t DraggingParentSide = 0x10;
inline constexpr std::uint32_t DraggingChildSide = 0x20;
inline constexpr std::uint32_t DragMark = 0x800;
} // namespace NodeFlags

inline constexpr platform::Colour kBlack{0, 0, 0};
inline constexpr platform::Colour kWhite{255, 255, 255};
inline constexpr platform::Colour kLightGrey{192, 192, 192};
inline constexpr platform::Colour kDimmedGrey{128, 128, 128};
inline constexpr platform::Colour kOverriddenRed{255, 0, 0};

// What a paint drew of a node's label: at which size, on how many lines, and whether it was
// cut because all of it did not fit the box.
struct DrawnLabel {
    const ViewNode* node = nullptr;
    int points = 0;
    int lines = 0;
    bool cut = false;
};

// Paints the part of the view inside the display's clip; `drawn`, when given, receives each
// label drawn outside the label editor.
void Paint(NetView& view, platform::Display& display, std::vector<DrawnLabel>* drawn = nullptr);

// Repaints one node's box, and its distance number's place when numbers show.
void InvalidateNode(NetView& view, ViewNode* node);
// Sets or clears CurrentMark or CurrentLinkMark and repaints the node; the current node's
// links repaint too while they are highlighted.
void SetNodeMark(NetView& view, ViewNode* node, bool on, std::uint32_t mask);
// Marks or unmarks the current node and its current link.
void HighlightCurrent(NetView& view, bool on);
// Repaints the numbers and shades of the nodes whose distance changed (of all with `all`).
void RedrawDistances(NetView& view, bool all);

// How a single node is drawn outside a view's picture: in node lists and the preview.
struct NodeLook {
    // The shade, taken at the node's distance.
    DistanceShade shade = DistanceShade::Coloured;
    int penWidth = 1;
    int labelPoints = 10;
    bool current = false;
    bool selected = false;
    // Red for overridden properties.
    bool markOverridden = false;
    // Which lineage mark shows as hatching; 0 for both.
    std::uint32_t lineageMarks = 0;
    // The shapes of the node's network; without them a shaped node is drawn as a box.
    const ShapeFileState* shapes = nullptr;
    // The colours to draw in; the defaults without them.
    const ColourState* colours = nullptr;
};
// The colours the view is drawn in: its own, or the defaults.
const ColourState& ViewColours(const NetView& view);

// Draws a node centred at `centre` with box half-extents hx and hy.
void DrawLooseNode(platform::Display& display, ViewNode& node, platform::Point centre, int hx,
                   int hy, const NodeLook& look);

// A node list's item: the node centred in the item's rectangle, further right by 15 pixels and
// after a 13 x 13 check box when the list shows them.
void DrawNodeListItem(platform::Display& display, ViewNode& node, const platform::Rect& item,
                      const NodeLook& look, bool checkBoxes, bool checked);

// The eight sample nodes of the colour preview, distances 7 down to 0, in the client area.
void PaintPreview(platform::Display& display, const ColourState& colours, int width, int height);

} // namespace tarvo
