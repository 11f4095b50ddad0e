// The per-view visit marks.
#include "view/visit_marks.h"

#include "inheritance/inheritance_walk.h"
#include "model/node_list.h"
#include "model/node_table.h"
#include "model/view_node.h"
#include "view/net_view.h"

#include <cassert>

namespace tarvo {

NetView*& passView() {
    static NetView* view = nullptr;
    return view;
}

namespace {

const VisitMarks& runningMarks() {
    assert(passView() && "visit test outside a view pass");
    return passView()->marks;
}

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
    passView() = &view;
    VisitMarks& marks = view.marks;
    if (marks.bit == 0x80) {
        ResetVisitMarks(view);
        return;
    }
    marks.bit = static_cast<std::uint8_t>(marks.bit << 1);
}

bool IsVisited(const Node* node) {
    const VisitMarks& marks = runningMarks();
    const bool set = (node->visitMark & marks.bit) != 0;
    return marks.polarity ? !set : set;
}

void MarkVisited(Node* node) {
    const VisitMarks& marks = runningMarks();
    if (marks.polarity)
        node->visitMark = static_cast<std::uint8_t>(node->visitMark & ~marks.bit);
    else
        node->visitMark = static_cast<std::uint8_t>(node->visitMark | marks.bit);
}

bool VisitOnce(Node* node) {
    if (IsVisited(node))
        return false;
    MarkVisited(node);
    AddToFrontier(node);
    return true;
}

} // namespace tarvo
