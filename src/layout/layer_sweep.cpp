// The layer treatment of the improvement sweeps.
#include "layout/layer_sweep.h"

#include "containers/node_list.h"
#include "layout/layout_grid.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

int roundedTarget(float target) {
    return static_cast<int>(std::lround(target));
}

} // namespace

std::uint64_t aimOrderKey(float aim, int slot) {
    // Equal floats must give equal keys: -0 compares equal to +0 but has other bits.
    if (aim == 0.0f)
        aim = 0.0f;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &aim, sizeof bits);
    // Negative floats order backwards as integers: all their bits flipped, they order below
    // the positive ones, which get the top bit.
    bits = (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
    const auto slotBits = static_cast<std::uint32_t>(slot) ^ 0x80000000u;
    return static_cast<std::uint64_t>(bits) << 32 | slotBits;
}

namespace {

// Integers that empty in constant time: an entry not written since the last reset reads as
// the fallback its reader gives. Each value sits beside its stamp, so that reading one touches
// one place in memory.
class StampedInts {
public:
    void reset(std::size_t size) {
        grow(size);
        if (++m_epoch == 0) {
            for (Entry& entry : m_entries)
                entry.stamp = 0u;
            m_epoch = 1;
        }
    }
    void grow(std::size_t size) {
        if (m_entries.size() < size)
            m_entries.resize(size, Entry{0, 0u});
    }
    int get(int i, int fallback) const {
        const Entry& entry = m_entries[static_cast<std::size_t>(i)];
        return entry.stamp == m_epoch ? entry.value : fallback;
    }
    // An entry written since the last reset.
    int written(int i) const { return m_entries[static_cast<std::size_t>(i)].value; }
    void set(int i, int value) { m_entries[static_cast<std::size_t>(i)] = Entry{value, m_epoch}; }
    // Moves the entries [first, last], all written since the last reset, by `by` places; the
    // place they leave at the other end keeps its old value until it is written.
    void move(int first, int last, int by) {
        Entry* entries = m_entries.data();
        std::memmove(entries + first + by, entries + first,
                     static_cast<std::size_t>(last - first + 1) * sizeof(Entry));
    }

private:
    struct Entry {
        int value;
        std::uint32_t stamp;
    };
    std::vector<Entry> m_entries;
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
// places in the layer's node list, with each node's row beside it: shifting a long run then
// touches two small arrays rather than every node it moves. The nodes are the index's numbers,
// so that aiming, sorting and shifting read the index's arrays and not the nodes' records.
class LayerSweep {
public:
    LayerSweep(ColumnIndex& index, LayoutGrid& grid, bool preferUp)
        : m_index(index), m_grid(grid), m_preferUp(preferUp) {}

    bool treat(int column, SweepMode mode, int slot, float blend, Justification justification) {
        std::vector<int>& nodes = m_index.column(column);
        m_column = column;
        m_nodes = nodes;
        for (int n : m_nodes) {
            if (mode != SweepMode::KeepAims)
                m_index.barycentre(n) = m_index.target(n, slot, blend, justification);
            m_index.oldSlot(n) = m_index.slot(n);
        }
        if (mode == SweepMode::Reorder)
            sortByAim();
        m_cells.reset(static_cast<std::size_t>(m_grid.slotCount));
        m_rowOf.assign(m_nodes.size(), kEmpty);
        m_free.reset(m_grid.slotCount);
        forgetRowRange();
        if (mode == SweepMode::Reorder)
            reorder();
        else
            keepOrder();
        return writeBack(nodes);
    }

private:
    static constexpr int kEmpty = -1;

    float aim(int place) const {
        return m_index.barycentre(m_nodes[static_cast<std::size_t>(place)]);
    }
    int wantedRow(int place) const {
        const int n = m_nodes[static_cast<std::size_t>(place)];
        const float target = m_index.barycentre(n);
        const int slot = target == NoTarget ? m_index.slot(n) : roundedTarget(target);
        return slot + m_grid.slotOffset;
    }
    int cell(int row) const { return m_cells.get(row, kEmpty); }
    bool taken(int row) const { return cell(row) != kEmpty; }
    void setCell(int row, int place) {
        m_cells.set(row, place);
        m_rowOf[static_cast<std::size_t>(place)] = row;
        spanRows(row, row);
    }
    // The rows the layer's nodes stand in lie within [m_lowRow, m_highRow].
    void forgetRowRange() {
        m_lowRow = m_grid.slotCount;
        m_highRow = -1;
    }
    void spanRows(int low, int high) {
        m_lowRow = std::min(m_lowRow, low);
        m_highRow = std::max(m_highRow, high);
    }

    // By aim, ascending; equal aims (and no aim) by slot. The slots of a layer differ, so the
    // order is total, and a layer already in order, as most are once the sweeps settle, is
    // left as it is. Each node's aim and slot are packed into one integer of that order, so
    // that the sort compares integers.
    void sortByAim() {
        m_keys.clear();
        for (int n : m_nodes)
            m_keys.push_back({aimOrderKey(m_index.barycentre(n), m_index.slot(n)), n});
        if (!insertionSorted())
            std::sort(m_keys.begin(), m_keys.end(),
                      [](const AimKey& a, const AimKey& b) { return a.order < b.order; });
        for (std::size_t i = 0; i < m_keys.size(); ++i)
            m_nodes[i] = m_keys[i].node;
    }

    // Sorts the keys by insertion while that stays cheap, as it does on a layer that is nearly
    // in order already; false when it gave up, the keys then in some other order. The keys
    // differ, so every way of sorting them ends in the same order.
    bool insertionSorted() {
        const std::size_t count = m_keys.size();
        std::size_t budget = 4 * count + 16;
        for (std::size_t i = 1; i < count; ++i) {
            const AimKey key = m_keys[i];
            std::size_t j = i;
            for (; j > 0 && m_keys[j - 1].order > key.order; --j) {
                if (budget-- == 0) {
                    m_keys[j] = key;
                    return false;
                }
                m_keys[j] = m_keys[j - 1];
            }
            m_keys[j] = key;
        }
        return true;
    }

    // The column back in the grid, each node's slot from its row, and the node list in row
    // order; true when a node moved.
    bool writeBack(std::vector<int>& nodes) {
        ViewNode** column = m_grid.columnCells(m_column);
        for (int n : nodes)
            column[m_index.oldSlot(n) + m_grid.slotOffset] = nullptr;
        nodes.clear();
        bool moved = false;
        for (int row = m_lowRow; row <= m_highRow; ++row) {
            const int place = cell(row);
            if (place == kEmpty)
                continue;
            const int n = m_nodes[static_cast<std::size_t>(place)];
            column[row] = m_index.node(n);
            const int slot = row - m_grid.slotOffset;
            m_index.slot(n) = slot;
            moved = moved || slot != m_index.oldSlot(n);
            nodes.push_back(n);
        }
        return moved;
    }

    // Moves the cells of the occupied rows [first, last] by `by` rows (1 or -1).
    void moveRun(int first, int last, int by) {
        if (last < first)
            return;
        m_cells.move(first, last, by);
        spanRows(first + by, last + by);
        for (int row = first + by; row <= last + by; ++row)
            m_rowOf[static_cast<std::size_t>(m_cells.written(row))] = row;
    }

    // Every row one further down, with a new empty first row.
    void insertFrontRow() {
        m_grid.insertFrontRows(1);
        m_cells.reset(static_cast<std::size_t>(m_grid.slotCount));
        m_free.reset(m_grid.slotCount);
        forgetRowRange();
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
            int row = std::max(wantedRow(static_cast<int>(i)), lowest);
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
            const int row = wantedRow(i);
            if (aim(i) != NoTarget && row >= 0 && row < m_grid.slotCount && !taken(row)) {
                setCell(row, i);
                m_free.occupy(row);
            }
        }
        // Nodes of equal aim follow one another in the sorted order, and only the first of
        // them can have taken the aimed cell: [i, end) are all the nodes of that aim there are.
        for (int i = 0; i < count;) {
            int end = i;
            while (end < count && aim(end) == aim(i))
                ++end;
            const Group group{i, end};
            for (int k = i; k < end; ++k)
                if (m_rowOf[static_cast<std::size_t>(k)] == kEmpty)
                    insert(k, wantedRow(k), &group);
            i = end;
        }
    }

    // The last row of the occupied run [r, down) whose node aims where the node at `place`
    // does; r when none does. `same`, when given, holds every node of the column with that aim.
    int lastOfEqualAim(int place, int r, int down, const Group* same) const {
        int last = r;
        if (same) {
            for (int k = same->first; k < same->end; ++k) {
                const int row = m_rowOf[static_cast<std::size_t>(k)];
                if (row > last && row < down)
                    last = row;
            }
            return last;
        }
        const float wanted = aim(place);
        for (int row = r; row < down; ++row)
            if (aim(cell(row)) == wanted)
                last = row;
        return last;
    }

    // Puts the node at `place` at row r, making room by shifting the nearer run of neighbours
    // when r is taken. Aims lie between the slots of neighbours in the grid, so r is one of its
    // rows.
    void insert(int place, int r, const Group* same) {
        r = std::clamp(r, 0, m_grid.slotCount - 1);
        if (!taken(r)) {
            setCell(r, place);
            m_free.occupy(r);
            return;
        }
        int up = m_free.above(r);
        const int down = m_free.below(r);
        // Nodes with the same aim stay together: the node goes after the last of them in the
        // run.
        int last = lastOfEqualAim(place, r, down, same);
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
            setCell(last, place);
            return;
        }
        if (down == m_grid.slotCount)
            appendRow();
        else
            m_free.occupy(down);
        moveRun(last + 1, down - 1, 1);
        setCell(last + 1, place);
    }

    struct AimKey {
        std::uint64_t order;
        int node;
    };

    ColumnIndex& m_index;
    LayoutGrid& m_grid;
    bool m_preferUp;
    int m_column = 0;
    // The layer's nodes (index numbers), in the order they are placed.
    std::vector<int> m_nodes;
    std::vector<AimKey> m_keys;
    // Per row, the place of its node in m_nodes; per place, its row or kEmpty.
    StampedInts m_cells;
    std::vector<int> m_rowOf;
    int m_lowRow = 0;
    int m_highRow = -1;
    FreeRows m_free;
};

} // namespace

static_assert(ParentSlot == 0 && ChildSlot == 1, "the flat links are kept per parent/child slot");

float LinkLength(int layers, int slots) {
    const int a = std::abs(layers);
    const int b = std::abs(slots);
    if (a == 0)
        return static_cast<float>(b);
    if (b == 0)
        return static_cast<float>(a);
    if (b == 1 && a == 1)
        return 1.4142f;
    if (b == 1 && a == 2)
        return 2.2361f;
    return std::sqrt(static_cast<float>(a * a + b * b));
}

// The first straight, then two at each slot distance outwards.
float IdealLinkSum(int n) {
    static constexpr std::array<float, 6> kFirst{0.0f, 1.0f, 2.4142f, 3.8285f, 6.0645f, 8.3006f};
    const int listed = static_cast<int>(kFirst.size());
    if (n < listed)
        return kFirst[static_cast<std::size_t>(std::max(n, 0))];
    // Summed in the same order every time, so that a count gives the same float wherever asked.
    float sum = kFirst.back();
    for (int i = listed; i <= n; ++i) {
        const int k = i / 2;
        sum += std::sqrt(static_cast<float>(k * k + 1));
    }
    return sum;
}

void ColumnIndex::build(const LayoutGrid& grid) {
    // Nothing is written back from a build that ran out of memory half-way.
    m_gridNodes = 0;
    m_columns.assign(static_cast<std::size_t>(grid.layerCount), {});
    m_nodes.clear();
    m_slot.clear();
    m_layer.clear();
    for (int column = 0; column < grid.layerCount; ++column) {
        ViewNode** cells = grid.columnCells(column);
        for (int row = 0; row < grid.slotCount; ++row)
            if (cells[row])
                m_columns[static_cast<std::size_t>(column)].push_back(indexOf(cells[row]));
    }
    const std::size_t gridNodes = m_nodes.size();
    m_barycentre.resize(gridNodes);
    m_oldSlot.resize(gridNodes);
    m_savedSlot.resize(gridNodes);
    m_parentEnergy.resize(gridNodes);
    m_childEnergy.resize(gridNodes);
    for (std::size_t i = 0; i < gridNodes; ++i) {
        const ViewNode* n = m_nodes[i];
        m_barycentre[i] = n->barycentre;
        m_oldSlot[i] = n->oldSlot;
        m_savedSlot[i] = n->savedSlot;
        m_parentEnergy[i] = n->parentEnergy;
        m_childEnergy[i] = n->childEnergy;
    }
    for (int s = 0; s < 2; ++s) {
        std::vector<int>& first = m_first[s];
        std::vector<int>& neighbours = m_neighbours[s];
        first.resize(gridNodes + 1);
        neighbours.clear();
        for (std::size_t i = 0; i < gridNodes; ++i) {
            first[i] = static_cast<int>(neighbours.size());
            forEachNode(m_nodes[i]->slots[s], [&](NodeBase* node) {
                ViewNode* q = asViewNode(node);
                if (!isHidden(q))
                    neighbours.push_back(indexOf(q));
            });
        }
        first[gridNodes] = static_cast<int>(neighbours.size());
    }
    m_gridNodes = gridNodes;
}

void ColumnIndex::writeNodes() const {
    for (std::size_t i = 0; i < m_gridNodes; ++i) {
        ViewNode* n = m_nodes[i];
        n->slot = m_slot[i];
        n->barycentre = m_barycentre[i];
        n->oldSlot = m_oldSlot[i];
        n->savedSlot = m_savedSlot[i];
        n->parentEnergy = m_parentEnergy[i];
        n->childEnergy = m_childEnergy[i];
    }
}

// The node's number, given it when it has none yet.
int ColumnIndex::indexOf(ViewNode* node) {
    const int known = node->sweepIndex;
    if (known >= 0 && static_cast<std::size_t>(known) < m_nodes.size() &&
        m_nodes[static_cast<std::size_t>(known)] == node)
        return known;
    node->sweepIndex = static_cast<int>(m_nodes.size());
    m_nodes.push_back(node);
    m_slot.push_back(node->slot);
    m_layer.push_back(node->layer);
    return node->sweepIndex;
}

template <typename F> void ColumnIndex::forEachNeighbour(int node, int slot, F&& f) const {
    const auto i = static_cast<std::size_t>(node);
    const int* neighbours = m_neighbours[slot].data();
    for (int k = m_first[slot][i], end = m_first[slot][i + 1]; k < end; ++k)
        f(static_cast<std::size_t>(neighbours[k]));
}

float ColumnIndex::slotTarget(int node, int slot, Justification justification, int& count) const {
    count = 0;
    float sum = 0.0f;
    int least = 0;
    int most = 0;
    forEachNeighbour(node, slot, [&](std::size_t q) {
        const int at = m_slot[q];
        least = count ? std::min(least, at) : at;
        most = count ? std::max(most, at) : at;
        sum += static_cast<float>(at);
        ++count;
    });
    if (!count)
        return NoTarget;
    if (justification == Justification::First)
        return static_cast<float>(least);
    if (justification == Justification::Last)
        return static_cast<float>(most);
    return sum / static_cast<float>(count);
}

float ColumnIndex::target(int node, int slot, float blend, Justification justification) const {
    int count = 0;
    const float aim = slotTarget(node, slot, justification, count);
    if (blend == 1.0f || aim == NoTarget)
        return aim;
    int otherCount = 0;
    const float other = slotTarget(node, slot ^ 1, justification, otherCount);
    if (other == NoTarget)
        return aim;
    const float mixed = (aim * static_cast<float>(count) + other * static_cast<float>(otherCount)) /
                        static_cast<float>(count + otherCount);
    return blend * aim + (1.0f - blend) * mixed;
}

float ColumnIndex::slotEnergy(int node, int slot) const {
    const auto i = static_cast<std::size_t>(node);
    const int layer = m_layer[i];
    const int at = m_slot[i];
    float sum = 0.0f;
    int count = 0;
    forEachNeighbour(node, slot, [&](std::size_t q) {
        sum += LinkLength(layer - m_layer[q], at - m_slot[q]);
        ++count;
    });
    return sum - IdealLinkSum(count);
}

bool SweepColumns(LayoutGrid& grid, ColumnIndex& index, Justification justification,
                  SweepDirection direction, SweepMode mode, float blend) {
    const bool downward = direction == SweepDirection::Downward;
    const int slot = downward ? ParentSlot : ChildSlot;
    LayerSweep sweep(index, grid, justification != Justification::Centred);
    const int layers = grid.layerCount;
    bool moved = false;
    auto treat = [&](int column) {
        moved = sweep.treat(column, mode, slot, blend, justification) || moved;
    };
    for (int i = 0; i < layers; ++i)
        treat(downward ? i : layers - 1 - i);
    if (mode != SweepMode::KeepOrder)
        for (int i = 0; i < layers; ++i)
            treat(downward ? layers - 1 - i : i);
    if (moved)
        grid.trimEmptyRows();
    return moved;
}

} // namespace tarvo
