// The layer treatment of the improvement sweeps.
#include "view/layer_sweep.h"

#include "model/node_list.h"
#include "model/view_node.h"
#include "view/layout_grid.h"
#include "view/net_view.h"
#include "view/view_flags.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

constexpr int kDownward = 1;

// Targets.

// The aim among the shown neighbours in `slot`: the first, the mean or the last of their
// slots; NoTarget without any.
float slotTarget(const ViewNode* n, int slot, int justification, int& count) {
    count = 0;
    float sum = 0.0f;
    int least = 0;
    int most = 0;
    forEachNode(n->slots[slot], [&](const NodeBase* node) {
        const ViewNode* q = asViewNode(node);
        if (isHidden(q))
            return;
        least = count ? std::min(least, q->slot) : q->slot;
        most = count ? std::max(most, q->slot) : q->slot;
        sum += static_cast<float>(q->slot);
        ++count;
    });
    if (!count)
        return NoTarget;
    if (justification == kJustifyFirst)
        return static_cast<float>(least);
    if (justification == kJustifyLast)
        return static_cast<float>(most);
    return sum / static_cast<float>(count);
}

float target(const ViewNode* n, int slot, float blend, int justification) {
    int count = 0;
    const float aim = slotTarget(n, slot, justification, count);
    if (blend == 1.0f || aim == NoTarget)
        return aim;
    int otherCount = 0;
    const float other = slotTarget(n, slot ^ 1, justification, otherCount);
    if (other == NoTarget)
        return aim;
    const float mixed = (aim * static_cast<float>(count) + other * static_cast<float>(otherCount)) /
                        static_cast<float>(count + otherCount);
    return blend * aim + (1.0f - blend) * mixed;
}

int roundedTarget(float target) {
    return static_cast<int>(std::lround(target));
}

// Integers that empty in constant time: an entry not written since the last reset reads as
// the fallback its reader gives.
class StampedInts {
public:
    void reset(std::size_t size) {
        grow(size);
        if (++m_epoch == 0) {
            std::fill(m_stamps.begin(), m_stamps.end(), 0u);
            m_epoch = 1;
        }
    }
    void grow(std::size_t size) {
        if (m_values.size() < size) {
            m_values.resize(size);
            m_stamps.resize(size, 0u);
        }
    }
    int get(int i, int fallback) const {
        const auto at = static_cast<std::size_t>(i);
        return m_stamps[at] == m_epoch ? m_values[at] : fallback;
    }
    void set(int i, int value) {
        const auto at = static_cast<std::size_t>(i);
        m_values[at] = value;
        m_stamps[at] = m_epoch;
    }
    // Moves the entries [first, last], all written since the last reset, by `by` places.
    void move(int first, int last, int by) {
        int* values = m_values.data();
        std::memmove(values + first + by, values + first,
                     static_cast<std::size_t>(last - first + 1) * sizeof(int));
        m_stamps[static_cast<std::size_t>(by > 0 ? last + by : first + by)] = m_epoch;
    }
    const int* values() const { return m_values.data(); }

private:
    std::vector<int> m_values;
    std::vector<std::uint32_t> m_stamps;
    std::uint32_t m_epoch = 0;
};

// The free rows of one column while a layer is treated. A treatment only ever fills rows (a
// shift moves a run and fills the free row at its end), so chains of "next free row" links in
// both directions, with path halving, find the nearest free row above or below in about
// constant time where a dense column would otherwise be scanned row by row. An entry never
// written links a row to itself: free.
class FreeRows {
public:
    void reset(int rows) {
        m_below.reset(static_cast<std::size_t>(rows) + 1);
        m_above.reset(static_cast<std::size_t>(rows) + 1);
        m_rows = rows;
    }
    // The nearest free row at or below r; the row count when there is none.
    int below(int r) { return find(m_below, r); }
    // The nearest free row at or above r; -1 when there is none.
    int above(int r) { return find(m_above, r + 1) - 1; }
    void occupy(int r) {
        m_below.set(r, r + 1);
        // Shifted by one, so that index 0 stands for "none above".
        m_above.set(r + 1, r);
    }
    // A row appended at the end, taken at once.
    void appendTaken() {
        ++m_rows;
        m_below.grow(static_cast<std::size_t>(m_rows) + 1);
        m_above.grow(static_cast<std::size_t>(m_rows) + 1);
        occupy(m_rows - 1);
    }

private:
    static int find(StampedInts& next, int r) {
        for (;;) {
            const int up = next.get(r, r);
            if (up == r)
                return r;
            next.set(r, next.get(up, up));
            r = up;
        }
    }

    StampedInts m_below;
    StampedInts m_above;
    int m_rows = 0;
};

// One layer's treatment, in grid rows of one column. While it runs, the column is kept as
// indexes into the layer's node list, with each node's row beside it: shifting a long run
// then touches two small arrays rather than every node it moves. The nodes get their cells
// and slots back at the end.
class LayerSweep {
public:
    LayerSweep(LayoutGrid& grid, bool preferUp) : m_grid(grid), m_preferUp(preferUp) {}

    bool treat(int column, std::vector<ViewNode*>& nodes, int mode, int slot, float blend,
               int justification) {
        m_column = column;
        m_nodes = nodes;
        for (ViewNode* n : m_nodes) {
            if (mode != 2)
                n->barycentre = target(n, slot, blend, justification);
            n->oldSlot = n->slot;
        }
        if (mode == 0)
            std::stable_sort(m_nodes.begin(), m_nodes.end(),
                             [](const ViewNode* a, const ViewNode* b) {
                                 if (a->barycentre != b->barycentre)
                                     return a->barycentre < b->barycentre;
                                 return a->slot < b->slot;
                             });
        m_cells.reset(static_cast<std::size_t>(m_grid.slotCount));
        m_rowOf.assign(m_nodes.size(), kEmpty);
        m_free.reset(m_grid.slotCount);
        if (mode == 0)
            reorder();
        else
            keepOrder();
        return writeBack(nodes);
    }

private:
    static constexpr int kEmpty = -1;

    int wantedRow(const ViewNode* n) const {
        const int slot = n->barycentre == NoTarget ? n->slot : roundedTarget(n->barycentre);
        return slot + m_grid.slotOffset;
    }
    int cell(int row) const { return m_cells.get(row, kEmpty); }
    bool taken(int row) const { return cell(row) != kEmpty; }
    void setCell(int row, int index) {
        m_cells.set(row, index);
        m_rowOf[static_cast<std::size_t>(index)] = row;
    }

    // The column back in the grid, each node's slot from its row, and the node list in row
    // order; true when a node moved.
    bool writeBack(std::vector<ViewNode*>& nodes) {
        ViewNode** column = m_grid.columnCells(m_column);
        for (const ViewNode* n : nodes)
            column[n->oldSlot + m_grid.slotOffset] = nullptr;
        m_order.clear();
        for (std::size_t i = 0; i < m_nodes.size(); ++i)
            m_order.emplace_back(m_rowOf[i], static_cast<int>(i));
        std::sort(m_order.begin(), m_order.end());
        nodes.clear();
        bool moved = false;
        for (const auto& [row, index] : m_order) {
            ViewNode* n = m_nodes[static_cast<std::size_t>(index)];
            column[row] = n;
            n->slot = row - m_grid.slotOffset;
            moved = moved || n->slot != n->oldSlot;
            nodes.push_back(n);
        }
        return moved;
    }

    // Moves the cells of the occupied rows [first, last] by `by` rows (1 or -1).
    void moveRun(int first, int last, int by) {
        if (last < first)
            return;
        m_cells.move(first, last, by);
        const int* cells = m_cells.values();
        for (int row = first + by; row <= last + by; ++row)
            m_rowOf[static_cast<std::size_t>(cells[row])] = row;
    }

    // Every row one further down, with a new empty first row.
    void insertFrontRow() {
        m_grid.insertFrontRows(1);
        m_cells.reset(static_cast<std::size_t>(m_grid.slotCount));
        m_free.reset(m_grid.slotCount);
        for (std::size_t i = 0; i < m_rowOf.size(); ++i) {
            if (m_rowOf[i] == kEmpty)
                continue;
            setCell(m_rowOf[i] + 1, static_cast<int>(i));
            m_free.occupy(m_rowOf[i]);
        }
    }

    void appendRow() {
        m_grid.appendRows(1);
        m_cells.grow(static_cast<std::size_t>(m_grid.slotCount));
        m_free.appendTaken();
    }

    void keepOrder() {
        int lowest = 0;
        for (std::size_t i = 0; i < m_nodes.size(); ++i) {
            int row = std::max(wantedRow(m_nodes[i]), lowest);
            row = std::min(row, m_grid.slotCount - 1);
            insert(static_cast<int>(i), row, nullptr);
            lowest = m_rowOf[i] + 1;
        }
    }

    struct Group {
        int first;
        int end;
    };

    // Sorted by aim, each node takes its aimed cell when it is free; the others are inserted
    // there by shifting, a group of equal aims at a time.
    void reorder() {
        const int count = static_cast<int>(m_nodes.size());
        for (int i = 0; i < count; ++i) {
            const ViewNode* n = m_nodes[static_cast<std::size_t>(i)];
            const int row = wantedRow(n);
            if (n->barycentre != NoTarget && row >= 0 && row < m_grid.slotCount && !taken(row)) {
                setCell(row, i);
                m_free.occupy(row);
            }
        }
        // Nodes of equal aim follow one another in the sorted order, and only the first of
        // them can have taken the aimed cell: [i, end) are all the nodes of that aim there are.
        for (int i = 0; i < count;) {
            int end = i;
            while (end < count && m_nodes[static_cast<std::size_t>(end)]->barycentre ==
                                      m_nodes[static_cast<std::size_t>(i)]->barycentre)
                ++end;
            const Group group{i, end};
            for (int k = i; k < end; ++k)
                if (m_rowOf[static_cast<std::size_t>(k)] == kEmpty)
                    insert(k, wantedRow(m_nodes[static_cast<std::size_t>(k)]), &group);
            i = end;
        }
    }

    // The last row of the occupied run [r, down) whose node aims where node `index` does; r
    // when none does. `same`, when given, holds every node of the column with that aim.
    int lastOfEqualAim(int index, int r, int down, const Group* same) const {
        int last = r;
        if (same) {
            for (int k = same->first; k < same->end; ++k) {
                const int row = m_rowOf[static_cast<std::size_t>(k)];
                if (row > last && row < down)
                    last = row;
            }
            return last;
        }
        const float aim = m_nodes[static_cast<std::size_t>(index)]->barycentre;
        for (int row = r; row < down; ++row)
            if (m_nodes[static_cast<std::size_t>(cell(row))]->barycentre == aim)
                last = row;
        return last;
    }

    // Puts node `index` at row r, making room by shifting the nearer run of neighbours when r
    // is taken. Aims lie between the slots of neighbours in the grid, so r is one of its rows.
    void insert(int index, int r, const Group* same) {
        r = std::clamp(r, 0, m_grid.slotCount - 1);
        if (!taken(r)) {
            setCell(r, index);
            m_free.occupy(r);
            return;
        }
        int up = m_free.above(r);
        const int down = m_free.below(r);
        // Nodes with the same aim stay together: the node goes after the last of them in the
        // run.
        int last = lastOfEqualAim(index, r, down, same);
        const bool upNearer = r - up < down - r;
        const bool shiftUp =
            m_preferUp ? (up > 0 && upNearer) || down == m_grid.slotCount : upNearer;
        if (shiftUp) {
            if (up < 0) {
                insertFrontRow();
                up = 0;
                last += 1;
            }
            moveRun(up + 1, last, -1);
            m_free.occupy(up);
            setCell(last, index);
            return;
        }
        if (down == m_grid.slotCount)
            appendRow();
        else
            m_free.occupy(down);
        moveRun(last + 1, down - 1, 1);
        setCell(last + 1, index);
    }

    LayoutGrid& m_grid;
    bool m_preferUp;
    int m_column = 0;
    std::vector<ViewNode*> m_nodes;
    // Per row, the index of its node in m_nodes; per node, its row or kEmpty.
    StampedInts m_cells;
    std::vector<int> m_rowOf;
    std::vector<std::pair<int, int>> m_order;
    FreeRows m_free;
};

} // namespace

void ColumnIndex::build(const LayoutGrid& grid) {
    m_columns.assign(static_cast<std::size_t>(grid.layerCount), {});
    for (int column = 0; column < grid.layerCount; ++column) {
        ViewNode** cells = grid.columnCells(column);
        for (int row = 0; row < grid.slotCount; ++row)
            if (cells[row])
                m_columns[static_cast<std::size_t>(column)].push_back(cells[row]);
    }
}

bool SweepColumns(NetView& view, ColumnIndex& index, int direction, int mode, float blend) {
    LayoutGrid& grid = view.grid;
    const int slot = direction == kDownward ? ParentSlot : ChildSlot;
    LayerSweep sweep(grid, view.justification != kJustifyCentred);
    const int layers = grid.layerCount;
    bool moved = false;
    auto treat = [&](int column) {
        moved = sweep.treat(column, index.column(column), mode, slot, blend, view.justification) ||
                moved;
    };
    for (int i = 0; i < layers; ++i)
        treat(direction == kDownward ? i : layers - 1 - i);
    if (mode != 1)
        for (int i = 0; i < layers; ++i)
            treat(direction == kDownward ? layers - 1 - i : i);
    if (moved)
        grid.trimEmptyRows();
    return moved;
}

} // namespace tarvo
