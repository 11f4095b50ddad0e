// The walk a network file's isa lines follow: each isa component breadth first from one of its
// nodes, and where that walk starts so that the file, read back, is walked the same way again.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo {

class Node;

// The marks the walk reads and leaves. A node the walk has reached carries kIsaVisited; the
// caller marks the nodes of the bucket the component's first node stands in with kIsaInBucket.
inline constexpr std::uint8_t kIsaVisited = 1;
inline constexpr std::uint8_t kIsaInBucket = 2;

// The nodes of the isa component of `first` in the order their groups of "child isa parent"
// lines are written, each node once; properties are reached and marked but not listed, as they
// have no lines. `first` is the component's first node in table order, the other nodes of its
// bucket marked.
//
// A read makes the nodes of a bucket in the order the file first names them, and gives each
// node its parents in the order their groups stand in the file. The walk from a given node is
// the same on the network read back (a node's parents not yet reached when it is expanded are
// reached in list order, and the read keeps that order among them); only the first node in
// table order, where the walk starts, may change: it becomes the component's node of that
// bucket that the lines name first. So the walk starts where the file read back would start it
// again: at `first` when the lines from there name it first among its bucket, else where the
// lines of walks from what a read would give lead, up to the first start that stays. A chain of
// starts that comes round without one that stays ends at one picked from the round by its lines
// alone, which every network of the round picks alike.
std::vector<Node*> IsaLineOrder(Node* first);

} // namespace tarvo
