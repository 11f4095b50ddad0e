// VisitMarks: which nodes a view's running pass has seen, without clearing a flag on every
// node before each pass.
#pragma once

#include "model/node.h"

#include <cstdint>

namespace tarvo {

class GraphWalk;

// A node counts as visited when its mark bit is set under polarity 0, or clear under
// polarity 1. Each pass takes the next bit (`ViewLayout::newPass`).
struct VisitMarks {
    std::uint8_t bit = 1;
    std::uint8_t polarity = 0;
};

// The tests of the pass `marks` (a view's) is in; inline, as every pass asks them of every node.
inline bool IsVisited(const VisitMarks& marks, const Node* node) {
    const bool set = (node->visitMark & marks.bit) != 0;
    return marks.polarity ? !set : set;
}
inline void MarkVisited(const VisitMarks& marks, Node* node) {
    if (marks.polarity)
        node->visitMark = static_cast<std::uint8_t>(node->visitMark & ~marks.bit);
    else
        node->visitMark = static_cast<std::uint8_t>(node->visitMark | marks.bit);
}
// The visit-once test of every view walk: false when the node was seen in this pass;
// otherwise marks it, puts it in the frontier of `walk` and answers true.
bool VisitOnce(const VisitMarks& marks, GraphWalk& walk, Node* node);

} // namespace tarvo
