// NetView: a view of the network seen from a current node — its own nodes, options, layout
// and geometry.
#pragma once

#include "view/layout_grid.h"
#include "view/view_modes.h"
#include "view/visit_marks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class ViewHost;
}

namespace tarvo {

class Network;
class Node;
class NodeList;
class NodeTable;
class ViewNode;
class ViewDialogs;
class ViewMenus;
class ViewListener;
struct PointerState;
struct ColourState;
struct ShapeSet;
struct LabelEditor;

// Label style: small and raised runs drawn in the half-size font.
inline constexpr int kLabelStyle = 5;
// The smallest label size, in points at the screen's resolution, that counts as readable, and
// the range the user may set it within. Labels are never drawn below 7 points, so a readable
// size of 7 or less would be met by any fit, cut labels and all: the range starts above it.
inline constexpr int kReadablePoints = 10;
inline constexpr int kFewestReadablePoints = 8;
inline constexpr int kMostReadablePoints = 36;

// A set of nodes joined by isa links, laid out as a unit and placed beside the others.
struct Cluster {
    // The topmost node found while layering it: placement starts there.
    ViewNode* seed = nullptr;
    // Its own cells while the view's grid is being built.
    LayoutGrid grid;
    // Per other cluster (by number), the relation links leading there through the from slot
    // (index 0) and the to slot (index 1) of this cluster's nodes.
    std::vector<std::int32_t> linkCounts[2];
    // For a relation cluster: its place in the final order.
    std::int32_t insertAt = 0;
    // The order in which the cluster was found.
    std::int32_t number = 0;
    // The layers the layering gave its nodes: lowest layer minus one is -layerOffset.
    std::int32_t layerCount = 0;
    std::int32_t layerOffset = 0;
};

// The distances of the view's nodes from its current node, as the last measurement found them.
struct DistanceStats {
    std::int32_t greatestShown = 0;
    // -1 when every node is shown.
    std::int32_t smallestUnshown = -1;
    std::int32_t unshownCount = 0;
    std::int32_t greatestDistance = 0;
};

// Height, ascent and blank width of a label font at the view's label size.
struct FontMetrics {
    std::int32_t height = 0;
    std::int32_t ascent = 0;
    std::int32_t spaceWidth = 0;
};

// Where the link cursor stands: a slot list of the current node and an index in it.
struct LinkCursor {
    NodeList* list = nullptr;
    std::int32_t index = 0;
};

class NetView {
public:
    NetView();
    NetView(const NetView&) = delete;
    NetView& operator=(const NetView&) = delete;
    ~NetView();

    bool vertical() const { return IsVertical(orientation); }
    bool reversed() const { return IsReversed(orientation); }

    // Nodes: the view's own table, and the network they were copied from, which outlives the
    // view.
    NodeTable* nodes = nullptr;
    Network* network = nullptr;
    ViewKind kind = ViewKind::Entity;
    ViewNode* root = nullptr;
    ViewNode* current = nullptr;
    VisitMarks marks;
    // The neighbour of the current node the link cursor stands on, the cursor, and whether it
    // runs over the parents (0) or the children (1).
    ViewNode* currentLink = nullptr;
    LinkCursor linkCursor;
    std::int32_t linkDirection = 1;
    // The relation chosen in the tool bar's second list.
    Node* selectedRelation = nullptr;
    // The node whose label has the longest word, that word in characters, and the most words
    // of a label: the label size is fitted to them.
    ViewNode* widestNode = nullptr;
    std::int32_t widestLabelWidth = 0;
    std::int32_t widestLabelHeight = 0;

    // Options.
    Justification justification = Justification::Centred;
    DepthJustify depthJustify = DepthJustify::RaiseChildren;
    Orientation orientation = Orientation::TopDown;
    LineStyle lineStyle = LineStyle::Curved;
    bool highlightLinks = true;
    DistanceMode distanceMode{DistanceShade::None, true};
    std::int32_t labelStyle = kLabelStyle;
    OpenAt openAt = OpenAt::Readable;
    std::int32_t readablePoints = kReadablePoints;
    // From the orientation: how distance numbers are aligned on their point.
    std::int32_t labelAlign = 26;

    // Layout: the grid, the clusters in their final order, the fillers of long links.
    LayoutGrid grid;
    std::vector<Cluster> clusters;
    std::int32_t clusterCount = 0;
    NodeList* dummyList = nullptr;
    std::int32_t dummyCount = 0;
    // The nodes the last layout hid that were shown before, when it was asked to collect them.
    NodeList* newlyHidden = nullptr;
    float energy = 0.0f;
    // The manual improvement step's blend factor and the direction of its next sweep
    // (0 upward, 1 downward; it flips before each step).
    float stepBlend = 1.0f;
    std::int32_t stepDirection = 0;

    // Geometry: the client area, the cell extents in pixels (along the slot and layer axes,
    // and in screen x and y), what is scrolled away.
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

    // Fonts: the label size in points, the distance numbers' size, and the normal and
    // half-size label fonts.
    std::int32_t labelPoints = 7;
    // While the view keeps the readable scale it opened at, the label size goes no higher (0:
    // no limit), so that every label fits that the cells were made for.
    std::int32_t labelCeiling = 0;
    std::int32_t distancePoints = 0;
    FontMetrics normalFont;
    FontMetrics halfFont;

    // Window state.
    platform::ViewHost* host = nullptr;
    ViewMenus* menus = nullptr;
    // The windows the view opens beside itself; none: the commands that open them do nothing.
    ViewDialogs* dialogs = nullptr;
    // The mouse the view shares with the frame's other views; made on first use when none.
    std::shared_ptr<PointerState> pointer;
    std::string documentTitle;
    bool maximised = false;
    bool minimised = false;
    bool painted = false;

    LabelEditor* editor = nullptr;
    ShapeSet* shapes = nullptr;
    // The colours the view is drawn in, which outlive it; the defaults without them.
    const ColourState* colours = nullptr;
    // Tells the view of its network's edits while it is open.
    std::unique_ptr<ViewListener> listener;
    // Work posted for later holds a weak reference to this, and skips a view that has gone.
    std::shared_ptr<int> lifetime = std::make_shared<int>(0);

    DistanceStats distances;
};

// Makes the view's table and its nodes: a copy of `node` as root and current node, then a copy
// of everything connected to it, linked as in the network. 0 when memory ran out.
int BuildViewNodes(NetView& view, Network& net, Node* node);
// The first layout of a new view; with a reveal distance above 1 only the nodes up to one less
// than it from the current node stay shown.
void StartViewLayout(NetView& view, int revealDistance);
// Removes the fillers and destroys the view's nodes and table.
void DestroyViewNodes(NetView& view);

} // namespace tarvo
