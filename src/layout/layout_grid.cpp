// The growing cell array of a layout.
#include "layout/layout_grid.h"

#include "layout/view_node.h"
#include "memory/size_class_heap.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstring>
#include <utility>

namespace tarvo {

LayoutGrid::LayoutGrid(LayoutGrid&& other) noexcept {
    *this = std::move(other);
}

LayoutGrid& LayoutGrid::operator=(LayoutGrid&& other) noexcept {
    if (this == &other)
        return *this;
    release();
    slotCount = std::exchange(other.slotCount, 0);
    slotOffset = std::exchange(other.slotOffset, 0);
    layerCount = std::exchange(other.layerCount, 0);
    layerOffset = std::exchange(other.layerOffset, 0);
    m_cells = std::exchange(other.m_cells, nullptr);
    m_rowCapacity = std::exchange(other.m_rowCapacity, 0);
    m_rowBase = std::exchange(other.m_rowBase, 0);
    return *this;
}

LayoutGrid::~LayoutGrid() {
    release();
}

void LayoutGrid::release() {
    ReleaseToSystem(m_cells);
    m_cells = nullptr;
    m_rowCapacity = m_rowBase = 0;
    slotCount = slotOffset = layerCount = layerOffset = 0;
}

int LayoutGrid::reset(int slots, int layers, int slotOff, int layerOff) {
    assert(slots >= 0 && layers >= 0 && "LayoutGrid: negative size");
    release();
    if (!regrow(slots, 0, layers, 0))
        return 0;
    slotCount = slots;
    layerCount = layers;
    slotOffset = slotOff;
    layerOffset = layerOff;
    return 1;
}

int LayoutGrid::regrow(int rowCapacity, int base, int layers, int firstColumn) {
    const long long cells = static_cast<long long>(rowCapacity) * layers;
    if (cells * static_cast<long long>(sizeof(ViewNode*)) > INT_MAX - 64)
        return 0;
    ViewNode** fresh = nullptr;
    if (cells > 0) {
        fresh = static_cast<ViewNode**>(Allocate(
            static_cast<std::int32_t>(static_cast<std::size_t>(cells) * sizeof(ViewNode*))));
        if (!fresh)
            return 0;
        std::memset(fresh, 0, static_cast<std::size_t>(cells) * sizeof(ViewNode*));
    }
    for (int column = 0; column < layerCount && m_cells; ++column) {
        if (slotCount > 0)
            std::memcpy(
                fresh + static_cast<std::ptrdiff_t>(column + firstColumn) * rowCapacity + base,
                cellRef(0, column), static_cast<std::size_t>(slotCount) * sizeof(ViewNode*));
    }
    // Each buffer of a growing grid has a size of its own, which the free lists would keep.
    ReleaseToSystem(m_cells);
    m_cells = fresh;
    m_rowCapacity = rowCapacity;
    m_rowBase = base;
    return 1;
}

int LayoutGrid::insertFrontRows(int count) {
    if (count <= 0)
        return 1;
    if (m_rowBase < count) {
        // Leave room at the front for a quarter of the rows the grid has, for further growth
        // there: enough that growing a row at a time copies the cells a few times over in all,
        // little enough that a tall grid of many layers does not hold twice its size unused.
        const int room = std::max(count, slotCount / 4);
        if (!regrow(room + slotCount + std::max(0, m_rowCapacity - m_rowBase - slotCount), room,
                    layerCount, 0))
            return 0;
    }
    m_rowBase -= count;
    slotCount += count;
    slotOffset += count;
    return 1;
}

int LayoutGrid::appendRows(int count) {
    if (count <= 0)
        return 1;
    if (m_rowBase + slotCount + count > m_rowCapacity) {
        const int rows = slotCount + count;
        if (!regrow(m_rowBase + rows + std::max(rows / 4, 4), m_rowBase, layerCount, 0))
            return 0;
    }
    slotCount += count;
    return 1;
}

int LayoutGrid::ensureLayer(int layer) {
    const int column = layer + layerOffset;
    if (column >= 0 && column < layerCount)
        return 1;
    const int front = column < 0 ? -column : 0;
    const int layers = std::max(layerCount + front, column + 1);
    if (!regrow(std::max(m_rowCapacity, 1), m_rowBase, layers, front))
        return 0;
    layerCount = layers;
    layerOffset += front;
    return 1;
}

int LayoutGrid::put(int slot, int layer, ViewNode* node) {
    if (!ensureLayer(layer))
        return 0;
    int row = slot + slotOffset;
    const int column = layer + layerOffset;
    if (row < 0) {
        if (!insertFrontRows(-row))
            return 0;
        row = 0;
    } else if (row >= slotCount && !appendRows(row - slotCount + 1)) {
        return 0;
    }
    *cellRef(row, column) = node;
    return 1;
}

int LayoutGrid::place(ViewNode* node) {
    return put(node->slot, node->layer, node);
}

bool LayoutGrid::rowEmpty(int row) const {
    for (int column = 0; column < layerCount; ++column)
        if (*cellRef(row, column))
            return false;
    return true;
}

void LayoutGrid::trimEmptyRows() {
    int front = 0;
    while (front < slotCount && rowEmpty(front))
        ++front;
    int back = slotCount;
    while (back > front && rowEmpty(back - 1))
        --back;
    // The dropped rows are empty already, so the room they leave behind stays clear.
    m_rowBase += front;
    slotOffset -= front;
    slotCount = back - front;
}

int ForEachCell(const LayoutGrid& grid, CellVisitor visitor, void* context, int firstSlot,
                int endSlot, int firstLayer, int endLayer) {
    const int slots =
        endSlot < 0 ? grid.slotCount : std::min(endSlot, static_cast<int>(grid.slotCount));
    const int layers =
        endLayer < 0 ? grid.layerCount : std::min(endLayer, static_cast<int>(grid.layerCount));
    for (int row = std::max(0, firstSlot); row < slots; ++row) {
        for (int column = std::max(0, firstLayer); column < layers; ++column) {
            ViewNode* node = grid.at(row, column);
            if (!node)
                continue;
            if (const int answer = visitor(context, node, row, column))
                return answer;
        }
    }
    return 0;
}

} // namespace tarvo
