// View copies of network nodes.
#include "layout/view_node.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "model/links.h"

#include "memory/size_class_heap.h"

namespace tarvo {

ViewNode::ViewNode(Node* from) {
    ViewNode::initOwn();
    source = from;
    if (!from)
        return;
    setName(from->name, 1);
    key = DuplicateText(from->key);
    shape = from->shape;
    flags = from->flags & NodeFlags::ViewCopyMask;
}

ViewNode::ViewNode() {
    ViewNode::initOwn();
    flags = NodeFlags::DummyNode;
}

NodeBase* ViewNode::makeNew() const {
    return new ViewNode;
}

void ViewNode::initOwn() {
    source = nullptr;
    flags = 0;
    visitMark = 0;
    layer = slot = savedSlot = oldSlot = 0;
    barycentre = NoTarget;
    parentEnergy = childEnergy = 0.0f;
    layoutBox = linkBox = PixelBox{};
    onPath = 0;
}

ViewNode* viewNodeFor(NodeTable& viewTable, Node* node) {
    auto* copy = new ViewNode(node);
    if (!copy)
        return nullptr;
    if (viewTable.insert(copy))
        return copy;
    copy->destroy();
    return static_cast<ViewNode*>(viewTable.lastMatch().element);
}

void linkViewNode(NodeTable& viewTable, ViewNode* v) {
    const Node* from = v->source;
    if (!from)
        return;
    for (int slot = 0; slot < v->linkSlotCount && slot < from->linkSlotCount; ++slot) {
        const NodeList* list = from->slots[slot];
        if (!list)
            continue;
        for (int i = 0, size = list->size(); i < size; ++i) {
            ViewNode* neighbour = viewNodeFor(viewTable, asNode(list->nodeAt(i)));
            if (neighbour)
                listAddUnique(v->slots[slot], neighbour);
        }
        v->counts[slot] = from->counts[slot];
    }
}

} // namespace tarvo
