// One sweep of the barycentre improvement: each layer's nodes aimed at their neighbours in
// the next or previous layer and placed in their new order.
#pragma once

#include "layout/layout_modes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {

class LayoutGrid;
class ViewNode;

// The length of a link across `layers` layers and `slots` slots, with the fixed values of
// the two commonest diagonals.
float LinkLength(int layers, int slots);
// The least total length of n links from one node to the next layer.
float IdealLinkSum(int n);

// A key whose integer order is the order of (aim, slot): aims ascending as floats compare
// (no NaN), equal aims by slot.
std::uint64_t aimOrderKey(float aim, int slot);
// The slot an aim asks for: the nearest whole number, halves away from zero, as std::lround
// gives it, for aims within int range.
int roundedAim(float aim);

// The grid's nodes as numbers, with what a sweep reads and writes of them in flat arrays:
// each column's nodes in row order, every node's slot, layer, aim and energies, and its shown
// parents and children. Treating a layer then costs what its nodes cost, not what the grid's
// height costs, and aiming, sorting and shifting read small arrays rather than the link lists
// and the nodes' records.
//
// Links and hidden marks do not change while an improvement runs; only slots, aims and
// energies do, and those stay in the arrays until `writeNodes` gives them to the nodes. The
// index keeps the grid's rows too (how many, and the offset of slot 0), and the grid's cells
// are left as they were until `writeGrid` lays them out afresh: a sweep then moves numbers in
// small arrays, not pointers in a grid of every row.
class ColumnIndex {
public:
    void build(const LayoutGrid& grid);
    // The slots, aims, snapshot slots and energies into the nodes' records.
    void writeNodes() const;
    // The grid made anew with the index's rows and every node in its cell; false when memory
    // ran out, the grid then empty.
    bool writeGrid(LayoutGrid& grid) const;

    int rowCount() const { return m_rowCount; }
    // The row of slot 0.
    int rowOffset() const { return m_rowOffset; }
    // A row opened before the first, or after the last.
    void openFrontRow() {
        ++m_rowCount;
        ++m_rowOffset;
    }
    void appendRow() { ++m_rowCount; }
    // Drops the rows without a node at the front and the back, as LayoutGrid::trimEmptyRows
    // does; the columns must list their nodes in slot order.
    void trimRows();
    // Puts each column's nodes in slot order.
    void sortColumns();

    std::vector<int>& column(int index) { return m_columns[static_cast<std::size_t>(index)]; }
    const std::vector<int>& column(int index) const {
        return m_columns[static_cast<std::size_t>(index)];
    }
    int columnCount() const { return static_cast<int>(m_columns.size()); }

    ViewNode* node(int n) const { return m_nodes[static_cast<std::size_t>(n)]; }
    int& slot(int n) { return m_slot[static_cast<std::size_t>(n)]; }
    int slot(int n) const { return m_slot[static_cast<std::size_t>(n)]; }
    int layer(int n) const { return m_layer[static_cast<std::size_t>(n)]; }
    float& barycentre(int n) { return m_barycentre[static_cast<std::size_t>(n)]; }
    float barycentre(int n) const { return m_barycentre[static_cast<std::size_t>(n)]; }
    int& oldSlot(int n) { return m_oldSlot[static_cast<std::size_t>(n)]; }
    int& savedSlot(int n) { return m_savedSlot[static_cast<std::size_t>(n)]; }
    float& parentEnergy(int n) { return m_parentEnergy[static_cast<std::size_t>(n)]; }
    float& childEnergy(int n) { return m_childEnergy[static_cast<std::size_t>(n)]; }

    // The aim of node n at its shown neighbours in link slot `slot` (parent or child): their
    // first, mean or last slot, NoTarget without any; `count` gets how many there are.
    float slotTarget(int n, int slot, Justification justification, int& count) const;
    // The aim of a sweep in direction `slot`, blended with the other direction unless `blend`
    // is 1.
    float target(int n, int slot, float blend, Justification justification) const;
    // How much longer than the ideal the node's links in `slot` are.
    float slotEnergy(int n, int slot) const;

    // The numbers of grid node n's shown neighbours in link slot `slot`, in list order; they
    // may include nodes outside the grid (numbers from gridNodeCount() on).
    const int* neighboursBegin(int n, int slot) const {
        return m_neighbours[slot].data() + m_first[slot][static_cast<std::size_t>(n)];
    }
    const int* neighboursEnd(int n, int slot) const {
        return m_neighbours[slot].data() + m_first[slot][static_cast<std::size_t>(n) + 1];
    }
    int gridNodeCount() const { return static_cast<int>(m_gridNodes); }

private:
    int indexOf(ViewNode* node);
    template <typename F> void forEachNeighbour(int node, int slot, F&& f) const;

    std::vector<std::vector<int>> m_columns;
    int m_rowCount = 0;
    int m_rowOffset = 0;
    int m_layerOffset = 0;
    // Numbered nodes: the grid's first (m_gridNodes of them), then any shown neighbour outside
    // the grid, which never moves.
    std::vector<ViewNode*> m_nodes;
    std::size_t m_gridNodes = 0;
    std::vector<int> m_slot;
    std::vector<int> m_layer;
    std::vector<float> m_barycentre;
    std::vector<int> m_oldSlot;
    std::vector<int> m_savedSlot;
    std::vector<float> m_parentEnergy;
    std::vector<float> m_childEnergy;
    // Per link slot (parent, child): the neighbours of grid node i are
    // m_neighbours[s][m_first[s][i] .. m_first[s][i + 1]), in list order.
    std::vector<int> m_first[2];
    std::vector<int> m_neighbours[2];
    // LinkLength(1, s) for s = 0, 1, ...: the lengths most energy sums add up.
    std::vector<float> m_adjacentLength;
};

// The sweep of SweepLayout over the grid that `index` describes, in the index alone.
bool SweepColumns(ColumnIndex& index, Justification justification, SweepDirection direction,
                  SweepMode mode, float blend);

} // namespace tarvo
