// A view's own copy of a network node, linked to the other copies of the same view.
#pragma once

#include "model/node.h"

namespace tarvo {

class NodeTable;

class ViewNode : public Relation {
public:
    // A copy of `source`: its name and key, shape, and flags under the view's copy mask.
    explicit ViewNode(Node* source);
    // A filler node of the layout, with no source.
    ViewNode();

    NodeBase* makeNew() const override;
    void initOwn() override;

    // The network node this copy stands for; null for a filler.
    Node* source = nullptr;
};

// The view's copy of `node`, made and entered into the view's table when there is none yet.
ViewNode* viewNodeFor(NodeTable& viewTable, Node* node);

// Gives `v` the links of its source: for each slot, the copies of the source's neighbours in
// the source's order, each once, and the source's counter. The caller's visit-once test
// decides whether v is new.
void linkViewNode(NodeTable& viewTable, ViewNode* v);

} // namespace tarvo
