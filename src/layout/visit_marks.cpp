// The per-view visit marks.
#include "layout/visit_marks.h"

#include "model/graph_walk.h"
#include "model/node.h"

namespace tarvo {
bool VisitOnce(const VisitMarks& marks, GraphWalk& walk, Node* node) {
    if (IsVisited(marks, node))
        return false;
    MarkVisited(marks, node);
    walk.addToFrontier(node);
    return true;
}

} // namespace tarvo
