// The nodes of one link slot, in order: what tests compare a node's links against.
#pragma once

#include "containers/node_list.h"
#include "model/node.h"

#include <vector>

namespace tarvo::testing_support {

inline std::vector<const NodeBase*> slotOf(const NodeBase* n, int slot) {
    std::vector<const NodeBase*> nodes;
    if (const NodeSlot list = n->slotList(slot))
        for (int i = 0; i < list.size(); ++i)
            nodes.push_back(list.nodeAt(i));
    return nodes;
}

} // namespace tarvo::testing_support
