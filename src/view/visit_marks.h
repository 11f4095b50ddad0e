// VisitMarks: which nodes a view's running pass has seen, without clearing a flag on every
// node before each pass.
#pragma once

#include <cstdint>

namespace tarvo {

class Node;
class NetView;

// A node counts as visited when its mark bit is set under polarity 0, or clear under
// polarity 1. Each pass takes the next bit; after the last bit the marks are cleared, because
// a bit reused over nodes a pass never reached would count some of them as visited already.
struct VisitMarks {
    std::uint8_t bit = 1;
    std::uint8_t polarity = 0;
};

// The view whose pass runs; the walk visitors of the view find it here.
NetView*& passView();

// Publishes the view and starts its next pass.
void NewVisitPass(NetView& view);
// Clears the marks of every node of the view, its fillers included, and returns to the first
// bit.
void ResetVisitMarks(NetView& view);

bool IsVisited(const Node* node);
void MarkVisited(Node* node);
// The visit-once test of every view walk: false when the node was seen in this pass;
// otherwise marks it, puts it in the walk's frontier and answers true.
bool VisitOnce(Node* node);

} // namespace tarvo
