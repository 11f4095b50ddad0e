// Building a view's layout grid from its layered clusters: placing each cluster's nodes,
// ordering the clusters and joining their grids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarvo {

class ClusterPlacer;
class ViewLayout;
struct Cluster;

// BuildLayoutGrid in pieces, for a layout spread over several turns: it starts when the
// object is made, and each resume goes on for up to `budget` nodes placed or cells copied
// (negative: to the end); true when the grid is built. Between the pieces the view's nodes,
// links and visit marks must stay as it left them.
class GridConstruction {
public:
    explicit GridConstruction(ViewLayout& layout);
    GridConstruction(const GridConstruction&) = delete;
    GridConstruction& operator=(const GridConstruction&) = delete;
    ~GridConstruction();

    bool resume(std::int64_t budget);

    // Where a pass over the clusters' cells stands.
    struct CellCursor {
        std::size_t cluster = 0;
        int column = 0;
        int row = 0;
        bool begun = false;
    };

private:
    enum class Phase : std::int8_t { Place, Count, Join, Done };
    bool beginJoin();
    bool join(std::int64_t& budget);

    ViewLayout& m_layout;
    Phase m_phase = Phase::Place;
    // The cluster being placed, and its placer.
    std::size_t m_cluster = 0;
    std::unique_ptr<ClusterPlacer> m_placer;
    CellCursor m_cells;
    // The first row of the joined grid the next cluster's cells go to.
    int m_base = 0;
};

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
