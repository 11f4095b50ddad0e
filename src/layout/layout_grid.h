// LayoutGrid: the cells of a layout, slots (rows) by layers (columns), growing on demand.
#pragma once

#include <cstdint>

namespace tarvo {

class ViewNode;

// A node at slot s and layer l stands in grid row s + slotOffset and column l + layerOffset;
// an empty cell is null. Writing outside the grid grows it: a negative row or column is opened
// at the front (raising the offset), one past the end is appended. Room is kept at both ends of
// the rows, so that a wide grid grown one row at a time is not copied every time.
class LayoutGrid {
public:
    LayoutGrid() = default;
    LayoutGrid(const LayoutGrid&) = delete;
    LayoutGrid& operator=(const LayoutGrid&) = delete;
    LayoutGrid(LayoutGrid&& other) noexcept;
    LayoutGrid& operator=(LayoutGrid&& other) noexcept;
    ~LayoutGrid();

    // An empty grid of the given size and offsets; 0 when memory ran out (the grid is then
    // empty, 0 by 0).
    int reset(int slots, int layers, int slotOff = 0, int layerOff = 0);
    // Frees the cells; the grid is 0 by 0 with offsets 0.
    void release();

    int cellCount() const { return slotCount * layerCount; }
    bool empty() const { return cellCount() == 0; }

    // The cell at grid row and column; null outside the grid.
    ViewNode* at(int row, int column) const {
        if (row < 0 || row >= slotCount || column < 0 || column >= layerCount)
            return nullptr;
        return *cellRef(row, column);
    }
    // A column's cells, row 0 first; valid until the grid grows.
    ViewNode** columnCells(int column) const { return cellRef(0, column); }
    // The cell of node coordinates.
    ViewNode* nodeAt(int slot, int layer) const {
        return at(slot + slotOffset, layer + layerOffset);
    }
    // Stores `node` (may be null) at node coordinates, growing the grid to hold them; 0 when
    // memory ran out.
    int put(int slot, int layer, ViewNode* node);
    // Puts the node at its own slot and layer.
    int place(ViewNode* node);
    // Grows the grid to have a column for `layer`; 0 when memory ran out.
    int ensureLayer(int layer);
    // Opens `count` empty rows at the front (raising slotOffset) or appends them.
    int insertFrontRows(int count);
    int appendRows(int count);
    // Drops the empty rows at the front and the back.
    void trimEmptyRows();
    bool rowEmpty(int row) const;

    std::int32_t slotCount = 0;
    std::int32_t slotOffset = 0;
    std::int32_t layerCount = 0;
    std::int32_t layerOffset = 0;

private:
    ViewNode** cellRef(int row, int column) const {
        return m_cells + static_cast<std::ptrdiff_t>(column) * m_rowCapacity + m_rowBase + row;
    }
    // Moves the cells into a new buffer of the given row room, rows starting at `base`, and
    // `layers` columns of which the old ones start at `firstColumn`.
    int regrow(int rowCapacity, int base, int layers, int firstColumn);

    // Column-major: each column holds m_rowCapacity cells, row 0 at m_rowBase.
    ViewNode** m_cells = nullptr;
    int m_rowCapacity = 0;
    int m_rowBase = 0;
};

// Visits the non-empty cells of the grid rows [firstSlot, endSlot) and columns
// [firstLayer, endLayer), row by row; a negative end means up to the last. Stops at the first
// visitor answer that is not 0 and returns it.
using CellVisitor = int (*)(void* context, ViewNode* node, int row, int column);
int ForEachCell(const LayoutGrid& grid, CellVisitor visitor, void* context, int firstSlot = 0,
                int endSlot = -1, int firstLayer = 0, int endLayer = -1);

} // namespace tarvo
