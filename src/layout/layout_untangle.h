// A last pass over an improved layout that takes out link crossings the barycentre sweeps
// leave: each layer's nodes reordered after their neighbours in the layer above or below,
// within the cells the layer holds already.
#pragma once

#include <cstdint>

namespace tarvo {

class ViewLayout;

// Reorders the nodes of each layer among that layer's cells, keeping a whole pass over the
// layers only when it lowers the crossings between adjacent layers, and then a single layer's
// new order only when it lowers the crossings on its two sides; true when a node moved.
// A forest of shown isa links comes out without crossings, and no layout comes out with more
// crossings than it had.
bool UntangleArrangement(ViewLayout& layout);

// The pairs of links between adjacent layers of the grid that cross: links that join two
// layers with their ends in opposite orders. Links to hidden nodes do not count.
std::int64_t LinkCrossings(const ViewLayout& layout);

} // namespace tarvo
