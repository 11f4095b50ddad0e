// A view's own copy of a network node, linked to the other copies of the same view.
#pragma once

#include "model/node.h"

#include <cfloat>
#include <cstdint>
#include <functional>
#include <vector>

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
    // Whether the node's slots follow its source's: a complete copy links to the copies of
    // its source's neighbours, in the source's order, and counts in `unseen` the neighbours
    // the view holds no copy of. A view holds complete copies of what it shows and of some
    // hidden nodes beside them; what lies further out it only counts, so that a view costs
    // what it shows. A partial copy links only to the complete copies beside it.
    std::uint8_t complete = 0;
    // Per link slot of a complete copy: its source's neighbours there without a copy in the
    // view. They are hidden, as every node beyond the view's edge is.
    std::int32_t unseen[kLinkSlotCount] = {};
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
// decides whether v is new. v is complete afterwards.
void linkViewNode(NodeTable& viewTable, ViewNode* v);

// Fillers have no source and count as complete.
inline bool isComplete(const ViewNode* v) {
    return v->complete || !v->source;
}

// The copy of `node` in the view's table that stands for it, or null.
ViewNode* copyInView(NodeTable& viewTable, const Node* node);

// How many of the node's neighbours in `slot` the view holds no copy of.
inline int unseenIn(const ViewNode* v, int slot) {
    return v->complete && slot >= 0 && slot < kLinkSlotCount ? v->unseen[slot] : 0;
}
// Whether the node counts a neighbour without a copy in any slot.
inline bool hasUnseen(const ViewNode* v) {
    for (int slot = 0; slot < kLinkSlotCount; ++slot)
        if (unseenIn(v, slot) > 0)
            return true;
    return false;
}

// Makes the view hold every node within `reach` steps of `start` (negative: no limit) as a
// complete copy; the nodes one step beyond are counted in the copies' `unseen`, not copied.
// The walk goes over the copies breadth first, completing the ones it reaches, so the missing
// copies enter the table in the order a walk of the network would find them; they are made
// hidden. Complete copies beside the new ones are linked to them.
// Every copy reached gets its distance from start; with `show` the copies within reach are
// shown. `made` receives the copies made, in the order they entered the table. Answers the
// greatest distance the walk reached within reach.
int ExtendViewNodes(NodeTable& viewTable, ViewNode* start, int reach, bool show,
                    std::vector<ViewNode*>* made = nullptr);
// Completes the given copies without copying further: what they link to and the view holds no
// copy of is counted.
void CompleteViewNodes(NodeTable& viewTable, const std::vector<ViewNode*>& nodes);
// Makes hidden, complete copies of the neighbours of the complete copy `v` in `slot` (-1: in
// every slot) that the view holds none of, for what has to see them one by one (the markers'
// lists, the link cursor); each gets one more than v's distance. Answers whether it made any;
// `made` receives them.
bool MakeNeighbourCopies(NodeTable& viewTable, ViewNode* v, int slot,
                         std::vector<ViewNode*>* made = nullptr);
// Gives a partial copy the copies of its source's neighbours that are complete, in the source's
// order; `inNetwork`, when given, says which neighbours still count.
void LinkPartialViewNode(NodeTable& viewTable, ViewNode* v,
                         const std::function<bool(const Node*)>& inNetwork = {});

// A plain breadth-first walk of the network from `start` over every link slot, building
// nothing: `visit` hears of every node reached, once, with its distance from start, in the
// order the walk reaches them. The walk stops after the nodes at `maxDistance` (negative: no
// limit).
void WalkNetwork(const Node* start, int maxDistance,
                 const std::function<void(const Node* node, int distance)>& visit);

} // namespace tarvo
