// The per-view visit marks.
#include "layout/visit_marks.h"

#include "model/graph_walk.h"
#include "model/node.h"

namespace tarvo {
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
