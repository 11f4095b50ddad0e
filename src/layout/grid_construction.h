// Building a view's layout grid from its layered clusters: placing each cluster's nodes,
// ordering the clusters and joining their grids.
#pragma once

#include <vector>

namespace tarvo {

class ViewLayout;
struct Cluster;

// Places every cluster's nodes in its own grid, orders the clusters and copies their cells
// into the layout's grid.
void BuildLayoutGrid(ViewLayout& layout);

// The relation links between the clusters, counted into each cluster's linkCounts.
void CountClusterLinks(ViewLayout& layout);
// The final order of the clusters: entity clusters by their links and labels, each relation
// cluster inserted where its links pull it.
void OrderClusters(ViewLayout& layout);
// The place among the entity clusters (0 before the first ... E after the last) where a
// relation cluster's links weigh most.
int RelationInsertPlace(const Cluster& relation, const std::vector<const Cluster*>& entities);

} // namespace tarvo
