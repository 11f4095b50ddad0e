// The per-view visit marks.
#include "view/visit_marks.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "model/graph_walk.h"
#include "model/view_node.h"
#include "view/net_view.h"

namespace tarvo {
namespace {

int clearMark(NodeBase* node) {
    node->visitMark = 0;
    return 0;
}

} // namespace

void ResetVisitMarks(NetView& view) {
    if (view.nodes)
        view.nodes->forEach(&clearMark);
    forEachNode(view.dummyList, [](NodeBase* dummy) { dummy->visitMark = 0; });
    view.marks = VisitMarks{};
}

void NewVisitPass(NetView& view) {
    VisitMarks& marks = view.marks;
    if (marks.bit == 0x80) {
        ResetVisitMarks(view);
        return;
    }
    marks.bit = static_cast<std::uint8_t>(marks.bit << 1);
}

bool IsVisited(const VisitMarks& marks, const Node* node) {
    const bool set = (node->visitMark & marks.bit) != 0;
    return marks.polarity ? !set : set;
}

void MarkVisited(const VisitMarks& marks, Node* node) {
    if (marks.polarity)
        node->visitMark = static_cast<std::uint8_t>(node->visitMark & ~marks.bit);
    else
        node->visitMark = static_cast<std::uint8_t>(node->visitMark | marks.bit);
}

bool VisitOnce(const VisitMarks& marks, GraphWalk& walk, Node* node) {
    if (IsVisited(marks, node))
        return false;
    MarkVisited(marks, node);
    walk.addToFrontier(node);
    return true;
}

} // namespace tarvo
