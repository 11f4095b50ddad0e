// The working bits a view keeps in the flags word of its own nodes.
#pragma once

#include "model/node.h"

namespace tarvo::NodeFlags {

// The view's current node, and the neighbour its link cursor stands on.
inline constexpr std::uint32_t CurrentMark = 0x1;
inline constexpr std::uint32_t CurrentLinkMark = 0x8;
// The last distance pass changed the node's distance.
inline constexpr std::uint32_t DistanceChanged = 0x40;
// Hidden nodes take no part in layering, placement or drawing.
inline constexpr std::uint32_t Hidden = 0x80;
// Set on every reachable node when a layout starts; what keeps it was not laid out.
inline constexpr std::uint32_t Unplaced = 0x100;

} // namespace tarvo::NodeFlags

namespace tarvo {

inline bool isHidden(const Node* node) {
    return node->hasFlag(NodeFlags::Hidden);
}

} // namespace tarvo
