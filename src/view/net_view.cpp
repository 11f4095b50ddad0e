// A view's own nodes: made from the network by a walk from the root, destroyed with the view.
#include "view/net_view.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "model/graph_walk.h"
#include "model/network.h"
#include "model/view_node.h"
#include "view/layering.h"
#include "view/layout.h"
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
    view.nodes = MakeNodeTable();
    view.network = &net;
    if (!view.nodes || !node)
        return 0;
    view.marks = VisitMarks{};
    NewVisitPass(view);
    view.root = viewNodeFor(*view.nodes, node);
    if (!view.root)
        return 0;
    view.current = view.root;
    view.kind = node->relationKind() ? ViewKind::Relation : ViewKind::Entity;
    GraphWalk walk;
    walk.run(view.root, [&view, &walk](Node* reached) {
        if (VisitOnce(view.marks, walk, reached))
            linkViewNode(*view.nodes, static_cast<ViewNode*>(reached));
    });
    return 1;
}

void StartViewLayout(NetView& view, int revealDistance) {
    RecalcLayout(view, false);
    PlaceOnScreen(view);
    view.stepBlend = 1.0f;
    view.stepDirection = 0;
    if (revealDistance > 1) {
        MeasureDistances(view);
        SetSpotlight(view, revealDistance - 1, 1);
        Relayout(view, false);
    }
}

void DestroyViewNodes(NetView& view) {
    RemoveDummyNodes(view);
    view.grid.release();
    view.clusters.clear();
    view.clusterCount = 0;
    DisposeList(view.newlyHidden);
    closeNetwork(view.nodes);
    view.nodes = nullptr;
    view.root = view.current = nullptr;
}

} // namespace tarvo
