// Applying the groups of change records the network applied to every open view's own nodes.
#pragma once

#include "edit/changes.h"

#include <string>
#include <unordered_set>

namespace tarvo {

class NetView;
class Node;
class ViewNode;

// Hears, for one view, of every group its network applied.
class ViewListener final : public ChangeListener {
public:
    explicit ViewListener(NetView& view);
    ~ViewListener();
    ViewListener(const ViewListener&) = delete;
    ViewListener& operator=(const ViewListener&) = delete;

    void applyChanges(const ChangeRecord* group) override;

private:
    NetView& m_view;
};

// Open views are told of every group their network applied, in the order they were opened; a
// view is told from its creation until it is destroyed.
void RegisterView(NetView& view);
void UnregisterView(NetView& view);

// Applies a group the network applied to the view's nodes: renames and drag marks in place,
// everything structural by bringing the view's nodes in line with the network, then a layout.
void ApplyChangesInView(NetView& view, const ChangeRecord* group);

// Makes the view's nodes the copies of what is connected to its current node in the network,
// with the network's links in the network's order: copies of removed nodes go (the current
// node first moving to a neighbour that stays), newly reachable nodes get copies, and the
// copies keep their hidden marks. Only the complete copies get all their links; a copy made
// for a node the view did not hold is hidden, but for `fresh` nodes (the ones the changes made
// or brought back) and properties beside a shown node. The caller lays the view out again.
void SyncViewNodes(NetView& view, const std::unordered_set<const Node*>& fresh = {});

// Gives `node` hidden copies of its neighbours in `slot` (-1: every slot) that the view holds
// none of, for what goes through them one by one: the marker's list, the link cursor. Answers
// whether it made any.
bool CopyHiddenNeighbours(NetView& view, ViewNode* node, int slot);

// The view's copy of a network node, or null.
ViewNode* FindViewNode(const NetView& view, const Node* source);

// Empty when every copy the view reaches from its current node links to the copies of its
// network node's neighbours in every slot and counts the neighbours it holds no copy of, and
// the view holds no copy it cannot reach; otherwise what differs first.
std::string CheckViewAgainstNetwork(const NetView& view);

} // namespace tarvo
