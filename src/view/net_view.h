// NetView: a view of the network seen from a current node — its own nodes, options, layout
// and geometry.
#pragma once

#include "layout/view_layout.h"
#include "view/layout_slices.h"
#include "view/view_extents.h"
#include "view/view_modes.h"

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
class LabelLayouts;

// The distances of the view's nodes from its current node, as the last measurement found them.
struct DistanceStats {
    std::int32_t greatestShown = 0;
    // -1 when every node is shown.
    std::int32_t smallestUnshown = -1;
    std::int32_t unshownCount = 0;
    std::int32_t greatestDistance = 0;
};

// Where the link cursor stands: a slot list of the current node and an index in it.
struct LinkCursor {
    NodeSlot list;
    std::int32_t index = 0;
};

class NetView {
public:
    NetView();
    NetView(const NetView&) = delete;
    NetView& operator=(const NetView&) = delete;
    ~NetView();

    bool vertical() const { return options.vertical(); }
    bool reversed() const { return options.reversed(); }

    // The network the view's own nodes (in its layout) were copied from, which outlives the
    // view.
    Network* network = nullptr;
    ViewKind kind = ViewKind::Entity;
    ViewNode* root = nullptr;
    ViewNode* current = nullptr;
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

    ViewOptions options;
    // The view's nodes as laid out: the grid, clusters and fillers.
    ViewLayout layout;
    // The client area, cell extents and scrolling.
    ViewGeometry geometry;
    LabelFonts fonts;
    // The labels as last measured for painting, made by the first paint.
    std::unique_ptr<LabelLayouts> labelLayouts;
    // For each grid column, how many rows at most lie between one of its nodes and a shown
    // parent, one more for the width of the link: a paint looks at the links of the rows that
    // far around the update area, no further. Set wherever the nodes are placed on screen.
    std::vector<std::int32_t> parentReach;

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

    // When the view lays out in slices, and the layout under way (null: none, the picture is
    // that of the last layout).
    LayoutSlicing slicing;
    std::unique_ptr<LayoutRun> layoutRun;
};

// Makes the view's table and its nodes: a copy of `node` as root and current node, then a copy
// of everything connected to it within `reach` steps (negative: all of it), linked as in the
// network and shown, and hidden copies of the nodes one step further, where the markers of
// hidden neighbours lead. 0 when memory ran out.
int BuildViewNodes(NetView& view, Network& net, Node* node, int reach = -1);
// The reach a view opened with this start-up spotlight depth needs: above 1, one less.
int ReachForSpotlight(int spotlightDepth);
// The first layout of a new view; with a reveal distance above 1 only the nodes up to one less
// than it from the current node stay shown.
void StartViewLayout(NetView& view, int revealDistance);
// Removes the fillers and destroys the view's nodes and table.
void DestroyViewNodes(NetView& view);

} // namespace tarvo
