// View copies of network nodes.
#include "layout/view_node.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/view_flags.h"
#include "model/links.h"

#include "memory/size_class_heap.h"

#include <climits>
#include <unordered_set>

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
    complete = 0;
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
    v->complete = 1;
}

ViewNode* copyInView(NodeTable& viewTable, const Node* node) {
    auto* v = asViewNode(viewTable.lookup(node));
    return v && v->source == node ? v : nullptr;
}

void LinkPartialViewNode(NodeTable& viewTable, ViewNode* v,
                         const std::function<bool(const Node*)>& inNetwork) {
    const Node* from = v->source;
    if (!from || v->complete)
        return;
    for (int slot = 0; slot < v->linkSlotCount; ++slot) {
        NodeList* linked = nullptr;
        if (slot < from->linkSlotCount) {
            forEachNode(from->slots[slot], [&](const NodeBase* n) {
                const Node* x = asNode(n);
                if (inNetwork && !inNetwork(x))
                    return;
                ViewNode* copy = copyInView(viewTable, x);
                if (copy && copy->complete)
                    listAddUnique(linked, copy);
            });
            v->counts[slot] = from->counts[slot];
        }
        if (v->slots[slot])
            v->slots[slot]->destroy();
        v->slots[slot] = linked;
    }
}

namespace {

// Gives a partial copy all the links of its source, making the missing copies hidden and
// partial; `reached` hears of every neighbour's copy in the order of the source's lists.
template <typename Reached>
void completeCopy(NodeTable& viewTable, ViewNode* v, std::vector<ViewNode*>* made,
                  Reached reached) {
    const Node* from = v->source;
    for (int slot = 0; slot < v->linkSlotCount; ++slot) {
        NodeList* linked = nullptr;
        if (slot < from->linkSlotCount) {
            forEachNode(from->slots[slot], [&](NodeBase* n) {
                Node* x = asNode(n);
                ViewNode* copy = copyInView(viewTable, x);
                if (!copy) {
                    copy = viewNodeFor(viewTable, x);
                    if (!copy)
                        return;
                    copy->setFlag(1, NodeFlags::Hidden);
                    if (made)
                        made->push_back(copy);
                }
                listAddUnique(linked, copy);
                reached(copy);
            });
            v->counts[slot] = from->counts[slot];
        }
        if (v->slots[slot])
            v->slots[slot]->destroy();
        v->slots[slot] = linked;
    }
    v->complete = 1;
}

// The real node a link in `slot` leads to, through a chain of fillers.
ViewNode* throughFillers(NodeBase* node, int slot) {
    while (node && asNode(node)->hasFlag(NodeFlags::DummyNode))
        node = node->first(slot);
    return asViewNode(node);
}

} // namespace

int ExtendViewNodes(NodeTable& viewTable, ViewNode* start, int reach, bool show,
                    std::vector<ViewNode*>* made) {
    if (!start)
        return 0;
    std::vector<ViewNode*> newCopies;
    std::vector<ViewNode*> level{start};
    std::vector<ViewNode*> next;
    std::unordered_set<ViewNode*> seen{start};
    // The partial copies at the edge, relinked once at the end.
    std::vector<ViewNode*> edge;
    std::unordered_set<ViewNode*> edgeSeen;
    auto atEdge = [&](ViewNode* copy) {
        if (!copy->complete && copy->source && edgeSeen.insert(copy).second)
            edge.push_back(copy);
    };
    const int limit = reach < 0 ? INT_MAX - 1 : reach;
    int greatest = 0;
    for (int distance = 0; distance <= limit && !level.empty(); ++distance) {
        greatest = distance;
        next.clear();
        for (ViewNode* v : level) {
            v->distance = distance;
            if (show)
                v->setFlag(0, NodeFlags::Hidden);
            auto reached = [&](ViewNode* copy) {
                atEdge(copy);
                if (!seen.insert(copy).second)
                    return;
                copy->distance = distance + 1;
                next.push_back(copy);
            };
            if (!isComplete(v)) {
                completeCopy(viewTable, v, &newCopies, reached);
                continue;
            }
            for (int slot = 0; slot < v->linkSlotCount; ++slot)
                forEachNode(v->slots[slot], [&](NodeBase* n) {
                    if (ViewNode* copy = throughFillers(n, slot))
                        reached(copy);
                });
        }
        level.swap(next);
    }
    for (ViewNode* v : edge)
        if (!v->complete)
            LinkPartialViewNode(viewTable, v);
    if (made)
        made->insert(made->end(), newCopies.begin(), newCopies.end());
    return greatest;
}

void CompleteViewNodes(NodeTable& viewTable, const std::vector<ViewNode*>& nodes) {
    std::vector<ViewNode*> made;
    std::vector<ViewNode*> edge;
    std::unordered_set<ViewNode*> edgeSeen;
    auto completeOne = [&](ViewNode* v) {
        const std::size_t first = made.size();
        completeCopy(viewTable, v, &made, [&](ViewNode* copy) {
            if (!copy->complete && edgeSeen.insert(copy).second)
                edge.push_back(copy);
        });
        for (std::size_t i = first; i < made.size(); ++i)
            made[i]->distance = v->distance + 1;
    };
    for (ViewNode* v : nodes)
        if (!isComplete(v))
            completeOne(v);
    for (ViewNode* v : edge)
        if (!v->complete)
            LinkPartialViewNode(viewTable, v);
}

void WalkNetwork(const Node* start, int maxDistance,
                 const std::function<void(const Node* node, int distance)>& visit) {
    if (!start)
        return;
    std::unordered_set<const Node*> seen{start};
    std::vector<const Node*> level{start};
    std::vector<const Node*> next;
    for (int distance = 0; !level.empty(); ++distance) {
        for (const Node* node : level)
            visit(node, distance);
        if (distance == maxDistance)
            break;
        next.clear();
        for (const Node* node : level)
            for (int slot = 0; slot < node->linkSlotCount; ++slot)
                forEachNode(node->slots[slot], [&](const NodeBase* n) {
                    const Node* x = asNode(n);
                    if (seen.insert(x).second)
                        next.push_back(x);
                });
        level.swap(next);
    }
}

} // namespace tarvo
