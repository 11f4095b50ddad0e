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

namespace tarvo {

NetView::NetView() = default;

NetView::~NetView() {
    UnregisterView(*this);
    DestroyViewNodes(*this);
    DestroyShapeSet(shapes);
}

int BuildViewNodes(NetView& view, Network& net, Node* node) {
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
    GraphWalk walk;
    walk.run(view.root, [&view, &walk](Node* reached) {
        if (VisitOnce(view.layout.marks, walk, reached))
            linkViewNode(*view.layout.nodes, static_cast<ViewNode*>(reached));
    });
    return 1;
}

void StartViewLayout(NetView& view, int revealDistance) {
    RecalcLayout(view, false);
    PlaceOnScreen(view);
    view.layout.restartSteps();
    if (revealDistance > 1) {
        MeasureDistances(view);
        SetSpotlight(view, revealDistance - 1, 1);
        Relayout(view, false);
    }
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
