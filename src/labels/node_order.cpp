// Orders over nodes by their labels.
#include "labels/node_order.h"

#include "labels/label_text.h"
#include "model/node.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarvo {
namespace {

Node* nodeOf(const void* element) {
    NodeBase* node;
    std::memcpy(&node, element, sizeof node);
    return asNode(node);
}

} // namespace

void setFormattingKey(Node* n, int selector) {
    const float measure = FormattingMeasure(n->name, selector) * 1000.0f;
    n->distance = static_cast<std::int32_t>(std::trunc(measure));
}

int byLabel(const void* a, const void* b) {
    return CompareLabels(nodeOf(a)->name, nodeOf(b)->name);
}

int byDistanceThenLabel(const void* a, const void* b) {
    const Node* left = nodeOf(a);
    const Node* right = nodeOf(b);
    if (left->distance != right->distance)
        return right->distance > left->distance ? 1 : -1;
    return byLabel(a, b);
}
} // namespace tarvo
