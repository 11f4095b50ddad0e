// A view's own nodes: made from the network by a walk from the root, destroyed with the view.
#include "view/net_view.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/layering.h"
#include "layout/view_node.h"
#include "model/graph_walk.h"
#include "model/network.h"
#include "view/layout.h"
#include "view/node_labels.h"
#include "view/shapes.h"
#include "view/spotlight.h"
#include "view/view_changes.h"
#include "view/view_scale.h"

namespace tarvo {

NetView::NetView() = default;

NetView::~NetView() {
    // An improvement under way gives the nodes their slots as it goes: before they go.
    layoutRun.reset();
    UnregisterView(*this);
    DestroyViewNodes(*this);
    DestroyShapeSet(shapes);
}

int BuildViewNodes(NetView& view, Network& net, Node* node, int reach) {
    DestroyViewNodes(view);
    view.layout.nodes = MakeNodeTable();
    view.network = &net;
    if (!view.layout.nodes || !node)
        return 0;
    view.layout.marks = VisitMarks{};
    view.layout.newPass();
    view.root = viewNodeFor(*view.layout.nodes, node);
    if (!view.root)
        return 0;
    view.current = view.root;
    view.kind = node->relationKind() ? ViewKind::Relation : ViewKind::Entity;
    std::vector<ViewNode*> made;
    ExtendViewNodes(*view.layout.nodes, view.root, reach, true, &made);
    // The distances are measured once the view is laid out; until then they are unknown.
    view.root->distance = 0;
    for (ViewNode* v : made)
        v->distance = 0;
    return 1;
}

int ReachForSpotlight(int spotlightDepth) {
    return spotlightDepth > 1 ? spotlightDepth - 1 : -1;
}

void StartViewLayout(NetView& view, int revealDistance) {
    // A view built up to the reveal distance has nothing to hide beyond it; one built further
    // hides the rest before its first layout.
    if (revealDistance > 1) {
        MeasureDistances(view);
        SetSpotlight(view, revealDistance - 1, 1);
    }
    RecalcLayout(view, false);
    if (revealDistance > 1) {
        view.geometry.scaleToWindowPossible = true;
        UpdateScrollBars(view);
    }
    PlaceOnScreen(view);
    view.layout.restartSteps();
}

void DestroyViewNodes(NetView& view) {
    RemoveDummyNodes(view.layout);
    view.layout.grid.release();
    view.layout.clusters.clear();
    view.layout.clusterCount = 0;
    DisposeList(view.layout.newlyHidden);
    closeNetwork(view.layout.nodes);
    view.layout.nodes = nullptr;
    view.root = view.current = nullptr;
    // Their layouts are known by the nodes, which go.
    if (view.labelLayouts)
        view.labelLayouts->clear();
}

} // namespace tarvo
