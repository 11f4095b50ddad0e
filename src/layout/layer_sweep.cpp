// The layer treatment of the improvement sweeps.
#include "layout/layer_sweep.h"

#include "containers/node_list.h"
#include "layout/layout_grid.h"
#include "layout/occupied_rows.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// The upper half of aimOrderKey: an integer of the aims' order.
std::uint64_t orderedAimBits(float aim) {
    // Equal floats must give equal keys: -0 compares equal to +0 but has other bits.
    if (aim == 0.0f)
        aim = 0.0f;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &aim, sizeof bits);
    // Negative floats order backwards as integers: all their bits flipped, they order below
    // the positive ones, which get the top bit.
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

} // namespace

int roundedAim(float aim) {
    // The whole part and the rest are exact for any float within int range: a float of 1 or
    // more is within twice its whole part, and below 1 the rest is the float itself.
    const int whole = static_cast<int>(aim);
    const float rest = aim - static_cast<float>(whole);
    return whole + static_cast<int>(rest >= 0.5f) - static_cast<int>(rest <= -0.5f);
}

std::uint64_t aimOrderKey(float aim, int slot) {
    const auto slotBits = static_cast<std::uint32_t>(slot) ^ 0x80000000u;
    return orderedAimBits(aim) << 32 | slotBits;
}

namespace {

// One layer's treatment, in grid rows of one column. While it runs, the column is kept as
// places in the layer's node list, with each node's row beside it: shifting a long run then
// touches two small arrays rather than every node it moves. The nodes are the index's numbers,
// so that aiming, sorting and shifting read the index's arrays and not the nodes' records.
class LayerSweep {
public:
    LayerSweep(ColumnIndex& index, bool preferUp) : m_index(index), m_preferUp(preferUp) {}

    bool treat(int column, SweepMode mode, int slot, float blend, Justification justification) {
        std::vector<int>& nodes = m_index.column(column);
        const std::size_t count = nodes.size();
        m_keys.resize(count);
        m_aimAt.resize(count);
        m_wantedAt.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const int n = nodes[i];
            if (mode != SweepMode::KeepAims)
                m_index.barycentre(n) = m_index.target(n, slot, blend, justification);
            const float aim = m_index.barycentre(n);
            m_index.oldSlot(n) = m_index.slot(n);
            m_aimAt[i] = aim;
            m_wantedAt[i] = aim == NoTarget ? m_index.slot(n) : roundedAim(aim);
            // The column lists its nodes in slot order, so that their places there order
            // equal aims as their slots do.
            m_keys[i] = orderedAimBits(aim) << 32 | i;
        }
        if (mode == SweepMode::Reorder)
            sortByAim();
        takePlaces(nodes);
        m_rows.reset(m_index.rowCount());
        m_rowOf.assign(count, kEmpty);
        forgetRowRange();
        if (mode == SweepMode::Reorder)
            reorder();
        else
            keepOrder();
        return writeBack(nodes);
    }

private:
    static constexpr int kEmpty = -1;

    // The nodes in the order the keys give, each with its aim and the slot it asks for beside
    // it.
    void takePlaces(const std::vector<int>& nodes) {
        const std::size_t count = m_keys.size();
        m_nodes.resize(count);
        m_aims.resize(count);
        m_wantedSlots.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const auto from = static_cast<std::size_t>(m_keys[i] & 0xffffffffu);
            m_nodes[i] = nodes[from];
            m_aims[i] = m_aimAt[from];
            m_wantedSlots[i] = m_wantedAt[from];
        }
    }

    float aim(int place) const { return m_aims[static_cast<std::size_t>(place)]; }
    int wantedRow(int place) const {
        return m_wantedSlots[static_cast<std::size_t>(place)] + m_index.rowOffset();
    }
    bool taken(int row) const { return m_rows.taken(row); }
    void setCell(int row, int place) {
        m_rows.set(row, place);
        m_rowOf[static_cast<std::size_t>(place)] = row;
        spanRows(row, row);
    }
    // The rows the layer's nodes stand in lie within [m_lowRow, m_highRow].
    void forgetRowRange() {
        m_lowRow = m_index.rowCount();
        m_highRow = -1;
    }
    void spanRows(int low, int high) {
        m_lowRow = std::min(m_lowRow, low);
        m_highRow = std::max(m_highRow, high);
    }

    // By aim, ascending; equal aims (and no aim) by slot. The slots of a layer differ, so the
    // order is total, and a layer already in order, as many are once the sweeps settle, costs
    // one pass. Each key packs the aim with the node's place in the column, so that the sort
    // compares integers.
    void sortByAim() {
        if (!bucketed() || !insertionSorted())
            std::sort(m_keys.begin(), m_keys.end());
    }

    // Puts the keys in the order of the slots their aims round to, nodes without an aim last,
    // when the slots asked for span few more slots than the layer has nodes: rounding keeps
    // the aims' order, so only keys of one slot then remain to be sorted. False when the span
    // is too wide or the keys are in order already.
    bool bucketed() {
        const std::size_t count = m_keys.size();
        int least = INT_MAX;
        int most = INT_MIN;
        bool ordered = true;
        for (std::size_t i = 0; i < count; ++i) {
            ordered = ordered && (i == 0 || m_keys[i - 1] < m_keys[i]);
            if (m_aimAt[i] == NoTarget)
                continue;
            least = std::min(least, m_wantedAt[i]);
            most = std::max(most, m_wantedAt[i]);
        }
        if (ordered)
            return false;
        // One bucket per slot of the span, and one after them for the nodes without an aim.
        const std::int64_t span = least > most ? 1 : std::int64_t{most} - least + 2;
        const std::size_t widest = kBucketsPerNode * count + 64;
        if (static_cast<std::uint64_t>(span) > widest)
            return false;
        const auto buckets = static_cast<std::size_t>(span);
        auto bucketOf = [&](std::size_t i) {
            return m_aimAt[i] == NoTarget ? buckets - 1
                                          : static_cast<std::size_t>(m_wantedAt[i] - least);
        };
        m_bucketStarts.assign(buckets + 1, 0);
        for (std::size_t i = 0; i < count; ++i)
            ++m_bucketStarts[bucketOf(i) + 1];
        for (std::size_t b = 1; b <= buckets; ++b)
            m_bucketStarts[b] += m_bucketStarts[b - 1];
        m_bucketedKeys.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            m_bucketedKeys[m_bucketStarts[bucketOf(i)]++] = m_keys[i];
        m_keys.swap(m_bucketedKeys);
        return true;
    }

    // Layers whose aims span more than this many slots per node are sorted by comparison.
    static constexpr std::size_t kBucketsPerNode = 8;

    // Sorts the keys by insertion while that stays cheap, as it does on a layer that is nearly
    // in order already; false when it gave up, the keys then in some other order. The keys
    // differ, so every way of sorting them ends in the same order.
    bool insertionSorted() {
        const std::size_t count = m_keys.size();
        std::size_t budget = 4 * count + 16;
        for (std::size_t i = 1; i < count; ++i) {
            const std::uint64_t key = m_keys[i];
            std::size_t j = i;
            for (; j > 0 && m_keys[j - 1] > key; --j) {
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

    // Each node's slot from its row, and the node list in row order; true when a node moved.
    bool writeBack(std::vector<int>& nodes) {
        nodes.clear();
        bool moved = false;
        m_rows.forEachTaken(m_lowRow, m_highRow, [&](int row) {
            const int n = m_nodes[static_cast<std::size_t>(m_rows.place(row))];
            const int slot = row - m_index.rowOffset();
            m_index.slot(n) = slot;
            moved = moved || slot != m_index.oldSlot(n);
            nodes.push_back(n);
        });
        return moved;
    }

    // Moves the cells of the occupied rows [first, last] by `by` rows (1 or -1).
    void moveRun(int first, int last, int by) {
        if (last < first)
            return;
        m_rows.move(first, last, by);
        spanRows(first + by, last + by);
        for (int row = first + by; row <= last + by; ++row)
            m_rowOf[static_cast<std::size_t>(m_rows.place(row))] = row;
    }

    // Every row one further down, with a new empty first row.
    void insertFrontRow() {
        m_index.openFrontRow();
        m_rows.insertFront();
        for (int& row : m_rowOf)
            if (row != kEmpty)
                ++row;
        if (m_lowRow <= m_highRow) {
            ++m_lowRow;
            ++m_highRow;
        }
    }

    void appendRow() {
        m_index.appendRow();
        m_rows.append();
    }

    void keepOrder() {
        int lowest = 0;
        for (std::size_t i = 0; i < m_nodes.size(); ++i) {
            int row = std::max(wantedRow(static_cast<int>(i)), lowest);
            row = std::min(row, m_index.rowCount() - 1);
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
            if (aim(i) != NoTarget && row >= 0 && row < m_index.rowCount() && !taken(row))
                setCell(row, i);
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
            if (aim(m_rows.place(row)) == wanted)
                last = row;
        return last;
    }

    // Puts the node at `place` at row r, making room by shifting the nearer run of neighbours
    // when r is taken. Aims lie between the slots of neighbours in the grid, so r is one of its
    // rows.
    void insert(int place, int r, const Group* same) {
        r = std::clamp(r, 0, m_index.rowCount() - 1);
        if (!taken(r)) {
            setCell(r, place);
            return;
        }
        int up = m_rows.above(r);
        const int down = m_rows.below(r);
        // Nodes with the same aim stay together: the node goes after the last of them in the
        // run.
        int last = lastOfEqualAim(place, r, down, same);
        const bool upNearer = r - up < down - r;
        const bool shiftUp =
            m_preferUp ? (up > 0 && upNearer) || down == m_index.rowCount() : upNearer;
        if (shiftUp) {
            if (up < 0) {
                insertFrontRow();
                up = 0;
                last += 1;
            }
            moveRun(up + 1, last, -1);
            m_rows.occupy(up);
            setCell(last, place);
            return;
        }
        if (down == m_index.rowCount())
            appendRow();
        m_rows.occupy(down);
        moveRun(last + 1, down - 1, 1);
        setCell(last + 1, place);
    }

    ColumnIndex& m_index;
    bool m_preferUp;
    // The layer's nodes (index numbers) in the order they are placed, their aims and the slots
    // they ask for.
    std::vector<int> m_nodes;
    std::vector<float> m_aims;
    std::vector<int> m_wantedSlots;
    std::vector<std::uint64_t> m_keys;
    // Per node in column order: its aim and the slot it asks for.
    std::vector<float> m_aimAt;
    std::vector<int> m_wantedAt;
    std::vector<std::uint64_t> m_bucketedKeys;
    std::vector<std::size_t> m_bucketStarts;
    // Per row, the place of its node in m_nodes; per place, its row or kEmpty.
    OccupiedRows m_rows;
    std::vector<int> m_rowOf;
    int m_lowRow = 0;
    int m_highRow = -1;
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
    m_rowCount = grid.slotCount;
    m_rowOffset = grid.slotOffset;
    m_layerOffset = grid.layerOffset;
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
    // Links between adjacent layers, by how many slots they cross: all of the grid's links but
    // those to neighbours outside it.
    const int listed = std::max(2 * grid.slotCount, 64);
    m_adjacentLength.resize(static_cast<std::size_t>(listed));
    for (int slots = 0; slots < listed; ++slots)
        m_adjacentLength[static_cast<std::size_t>(slots)] = LinkLength(1, slots);
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

void ColumnIndex::trimRows() {
    int front = m_rowCount;
    int back = 0;
    for (const std::vector<int>& column : m_columns) {
        if (column.empty())
            continue;
        front = std::min(front, slot(column.front()) + m_rowOffset);
        back = std::max(back, slot(column.back()) + m_rowOffset + 1);
    }
    back = std::max(back, front);
    m_rowOffset -= front;
    m_rowCount = back - front;
}

void ColumnIndex::sortColumns() {
    for (std::vector<int>& column : m_columns)
        std::sort(column.begin(), column.end(), [this](int a, int b) { return slot(a) < slot(b); });
}

bool ColumnIndex::writeGrid(LayoutGrid& grid) const {
    const int layers = columnCount();
    if (!grid.reset(m_rowCount, layers, m_rowOffset, m_layerOffset))
        return false;
    for (int c = 0; c < layers; ++c) {
        ViewNode** cells = grid.columnCells(c);
        for (int n : column(c))
            cells[slot(n) + m_rowOffset] = node(n);
    }
    return true;
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
    const int* neighbour = neighboursBegin(node, slot);
    const int* end = neighboursEnd(node, slot);
    count = static_cast<int>(end - neighbour);
    if (!count)
        return NoTarget;
    const int* slots = m_slot.data();
    if (justification != Justification::First && justification != Justification::Last) {
        float sum = 0.0f;
        for (; neighbour != end; ++neighbour)
            sum += static_cast<float>(slots[*neighbour]);
        return sum / static_cast<float>(count);
    }
    int least = slots[*neighbour];
    int most = least;
    for (++neighbour; neighbour != end; ++neighbour) {
        least = std::min(least, slots[*neighbour]);
        most = std::max(most, slots[*neighbour]);
    }
    return static_cast<float>(justification == Justification::First ? least : most);
}

float ColumnIndex::target(int node, int slot, float blend, Justification justification) const {
    // Most nodes of a layered DAG are fillers, with one neighbour on each side: their aim is
    // the same sum of products as below, with the counts of 1 left out, which changes no bit.
    const auto i = static_cast<std::size_t>(node);
    const int* first = m_first[slot].data();
    const int* otherFirst = m_first[slot ^ 1].data();
    if (first[i + 1] - first[i] == 1 && otherFirst[i + 1] - otherFirst[i] == 1) {
        const float aim = static_cast<float>(m_slot[static_cast<std::size_t>(
            m_neighbours[slot][static_cast<std::size_t>(first[i])])]);
        if (blend == 1.0f)
            return aim;
        const float other = static_cast<float>(m_slot[static_cast<std::size_t>(
            m_neighbours[slot ^ 1][static_cast<std::size_t>(otherFirst[i])])]);
        const float mixed = (aim + other) / 2.0f;
        return blend * aim + (1.0f - blend) * mixed;
    }
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
    const float* adjacent = m_adjacentLength.data();
    const int listed = static_cast<int>(m_adjacentLength.size());
    float sum = 0.0f;
    int count = 0;
    forEachNeighbour(node, slot, [&](std::size_t q) {
        const int layers = layer - m_layer[q];
        const int slots = std::abs(at - m_slot[q]);
        sum += (layers == 1 || layers == -1) && slots < listed ? adjacent[slots]
                                                               : LinkLength(layers, slots);
        ++count;
    });
    return sum - IdealLinkSum(count);
}

bool SweepColumns(ColumnIndex& index, Justification justification, SweepDirection direction,
                  SweepMode mode, float blend) {
    const bool downward = direction == SweepDirection::Downward;
    const int slot = downward ? ParentSlot : ChildSlot;
    LayerSweep sweep(index, justification != Justification::Centred);
    const int layers = index.columnCount();
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
        index.trimRows();
    return moved;
}

} // namespace tarvo
