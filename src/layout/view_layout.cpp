// The visit passes over a view's nodes.
#include "layout/view_layout.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/view_node.h"

namespace tarvo {
namespace {

int clearMark(NodeBase* node) {
    node->visitMark = 0;
    return 0;
}

} // namespace

void ViewLayout::resetMarks() {
    if (nodes)
        nodes->forEach(&clearMark);
    forEachNode(dummyList, [](NodeBase* dummy) { dummy->visitMark = 0; });
    marks = VisitMarks{};
    ++passNumber;
}

void ViewLayout::newPass() {
    ++passNumber;
    if (marks.bit == 0x80) {
        resetMarks();
        return;
    }
    marks.bit = static_cast<std::uint8_t>(marks.bit << 1);
}

} // namespace tarvo
