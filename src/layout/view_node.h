// A view's own copy of a network node, linked to the other copies of the same view.
#pragma once

#include "model/node.h"

#include <cfloat>
#include <cstdint>

namespace tarvo {

// A pixel rectangle, right and bottom exclusive.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The target of a node that has no neighbour to aim at.
inline constexpr float NoTarget = FLT_MAX;

class NodeTable;

class ViewNode : public Relation {
public:
    // A copy of `from`, its `source`: its name and key, shape, and flags under the view's copy
    // mask.
    explicit ViewNode(Node* from);
    // A filler node of the layout, with no source.
    ViewNode();

    NodeBase* makeNew() const override;
    void initOwn() override;

    // The network node this copy stands for; null for a filler.
    Node* source = nullptr;

    // Where the layout put the node: its layer (parents before children) and its place in it.
    std::int32_t layer = 0;
    std::int32_t slot = 0;
    // The slot at the last snapshot of the improvement loop, and before the running sweep.
    std::int32_t savedSlot = 0;
    std::int32_t oldSlot = 0;
    // The slot a sweep aims the node at.
    float barycentre = NoTarget;
    // How much longer than ideal the node's links towards parents and children are.
    float parentEnergy = 0.0f;
    float childEnergy = 0.0f;
    // The node's place in the flat copy of the grid's links an improvement run works on.
    std::int32_t sweepIndex = -1;
    // The node's box on the screen, and the box its links start and end on: left and right
    // run along the slot axis, top is the side facing the parents, bottom the side facing the
    // children, whatever the orientation.
    PixelBox layoutBox;
    PixelBox linkBox;
    // Set while a propagation through the node's lineage passes through it, so that a cycle of
    // isa links is not followed round for ever.
    std::uint8_t onPath = 0;
};

inline ViewNode* asViewNode(NodeBase* node) {
    return static_cast<ViewNode*>(node);
}
inline const ViewNode* asViewNode(const NodeBase* node) {
    return static_cast<const ViewNode*>(node);
}

// The view's copy of `node`, made and entered into the view's table when there is none yet.
ViewNode* viewNodeFor(NodeTable& viewTable, Node* node);

// Gives `v` the links of its source: for each slot, the copies of the source's neighbours in
// the source's order, each once, and the source's counter. The caller's visit-once test
// decides whether v is new.
void linkViewNode(NodeTable& viewTable, ViewNode* v);

} // namespace tarvo
