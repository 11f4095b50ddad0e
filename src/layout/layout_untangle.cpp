// The untangling pass: layer orders by neighbour rank, kept when they lower the crossings.
#include "layout/layout_untangle.h"

#include "layout/layer_sweep.h"
#include "layout/layout_grid.h"
#include "layout/layout_improvement.h"
#include "layout/view_layout.h"
#include "layout/view_node.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// The layout's grid nodes as the sweeps number them, each column in its current order. Only
// the order changes while untangling; the column's cells (its slots, in increasing order)
// stay and are handed out in the new order at the end.
class Untangler {
public:
    explicit Untangler(const LayoutGrid& grid) {
        m_index.build(grid);
        const auto nodes = static_cast<std::size_t>(m_index.gridNodeCount());
        m_rank.assign(nodes, 0);
        m_column.assign(nodes, 0);
        m_order.resize(static_cast<std::size_t>(m_index.columnCount()));
        m_slots.resize(m_order.size());
        for (int c = 0; c < m_index.columnCount(); ++c) {
            std::vector<int>& order = m_order[static_cast<std::size_t>(c)];
            order = m_index.column(c);
            for (int n : order)
                m_slots[static_cast<std::size_t>(c)].push_back(m_index.slot(n));
            for (std::size_t i = 0; i < order.size(); ++i) {
                m_rank[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
                m_column[static_cast<std::size_t>(order[i])] = c;
            }
        }
    }

    std::int64_t crossings() {
        std::int64_t total = 0;
        for (int c = 0; c + 1 < columnCount(); ++c)
            total += bandCrossings(c);
        return total;
    }

    // Runs downward and upward passes while either lowers the crossings.
    bool untangle() {
        std::int64_t best = crossings();
        bool changed = false;
        constexpr int kRounds = 16;
        for (int round = 0; round < kRounds && best > 0; ++round) {
            bool better = false;
            for (const int slot : {ParentSlot, ChildSlot}) {
                const std::vector<std::vector<int>> before = m_order;
                pass(slot);
                const std::int64_t now = crossings();
                if (now < best) {
                    best = now;
                    better = changed = true;
                } else {
                    restore(before);
                }
            }
            if (!better)
                break;
        }
        // Then column by column, each new order kept only where it lowers the crossings on
        // its two sides; this still finds gains on DAGs where whole passes find none.
        for (int round = 0; round < kRounds && best > 0; ++round) {
            std::int64_t gained = 0;
            for (const int slot : {ParentSlot, ChildSlot})
                gained += greedyPass(slot);
            if (!gained)
                break;
            best -= gained;
            changed = true;
        }
        return changed;
    }

    // The nodes into the cells of their columns in the new order; true when a node moved.
    bool writeBack(LayoutGrid& grid) const {
        bool moved = false;
        for (std::size_t c = 0; c < m_order.size(); ++c) {
            for (std::size_t i = 0; i < m_order[c].size(); ++i) {
                ViewNode* node = m_index.node(m_order[c][i]);
                const int slot = m_slots[c][i];
                if (node->slot == slot)
                    continue;
                moved = true;
                node->slot = slot;
                grid.put(slot, node->layer, node);
            }
        }
        return moved;
    }

private:
    int columnCount() const { return static_cast<int>(m_order.size()); }

    // Whether q is a grid node in column c.
    bool inColumn(int q, int c) const {
        return q < m_index.gridNodeCount() && m_column[static_cast<std::size_t>(q)] == c;
    }

    // Crossings between columns c and c + 1: taking the upper nodes in order, a link crosses
    // every link of an earlier upper node that ends further down than it does.
    std::int64_t bandCrossings(int c) {
        const std::vector<int>& upper = m_order[static_cast<std::size_t>(c)];
        const std::size_t lowerCount = m_order[static_cast<std::size_t>(c) + 1].size();
        m_tree.assign(lowerCount + 1, 0);
        std::int64_t total = 0;
        std::int64_t inserted = 0;
        for (int n : upper) {
            const int* begin = m_index.neighboursBegin(n, ChildSlot);
            const int* end = m_index.neighboursEnd(n, ChildSlot);
            for (const int* q = begin; q != end; ++q) {
                if (!inColumn(*q, c + 1))
                    continue;
                std::int64_t atOrAbove = 0;
                for (auto i = static_cast<std::size_t>(m_rank[static_cast<std::size_t>(*q)]) + 1;
                     i > 0; i -= i & (~i + 1))
                    atOrAbove += m_tree[i];
                total += inserted - atOrAbove;
            }
            for (const int* q = begin; q != end; ++q) {
                if (!inColumn(*q, c + 1))
                    continue;
                for (auto i = static_cast<std::size_t>(m_rank[static_cast<std::size_t>(*q)]) + 1;
                     i <= lowerCount; i += i & (~i + 1))
                    ++m_tree[i];
                ++inserted;
            }
        }
        return total;
    }

    // One pass over the columns, away from the side `slot` names: each column's nodes with
    // neighbours in `slot` in the column before are sorted by the mean rank of those
    // neighbours (ties keep their order) into the places they held; the others stay put.
    void pass(int slot) {
        const int step = slot == ParentSlot ? 1 : -1;
        const int first = slot == ParentSlot ? 1 : columnCount() - 2;
        for (int c = first; c >= 0 && c < columnCount(); c += step)
            reorderColumn(c, c - step, slot);
    }

    // The crossings on both sides of column c.
    std::int64_t crossingsAround(int c) {
        std::int64_t total = 0;
        if (c > 0)
            total += bandCrossings(c - 1);
        if (c + 1 < columnCount())
            total += bandCrossings(c);
        return total;
    }

    // As `pass`, but a column keeps its new order only when that lowers the crossings on its
    // two sides; the crossings taken out.
    std::int64_t greedyPass(int slot) {
        const int step = slot == ParentSlot ? 1 : -1;
        const int first = slot == ParentSlot ? 1 : columnCount() - 2;
        std::int64_t gained = 0;
        for (int c = first; c >= 0 && c < columnCount(); c += step) {
            const std::int64_t before = crossingsAround(c);
            if (!before)
                continue;
            m_saved = m_order[static_cast<std::size_t>(c)];
            reorderColumn(c, c - step, slot);
            const std::int64_t after = crossingsAround(c);
            if (after < before) {
                gained += before - after;
                continue;
            }
            m_order[static_cast<std::size_t>(c)] = m_saved;
            for (std::size_t i = 0; i < m_saved.size(); ++i)
                m_rank[static_cast<std::size_t>(m_saved[i])] = static_cast<int>(i);
        }
        return gained;
    }

    void reorderColumn(int c, int towards, int slot) {
        std::vector<int>& order = m_order[static_cast<std::size_t>(c)];
        m_keys.clear();
        m_places.clear();
        for (std::size_t i = 0; i < order.size(); ++i) {
            const int n = order[i];
            double sum = 0.0;
            int count = 0;
            for (const int *q = m_index.neighboursBegin(n, slot),
                           *end = m_index.neighboursEnd(n, slot);
                 q != end; ++q) {
                if (!inColumn(*q, towards))
                    continue;
                sum += m_rank[static_cast<std::size_t>(*q)];
                ++count;
            }
            if (!count)
                continue;
            m_keys.push_back({sum / count, static_cast<int>(i), n});
            m_places.push_back(static_cast<int>(i));
        }
        std::sort(m_keys.begin(), m_keys.end(), [](const Key& a, const Key& b) {
            return a.key != b.key ? a.key < b.key : a.rank < b.rank;
        });
        for (std::size_t k = 0; k < m_keys.size(); ++k) {
            const int place = m_places[k];
            order[static_cast<std::size_t>(place)] = m_keys[k].node;
            m_rank[static_cast<std::size_t>(m_keys[k].node)] = place;
        }
    }

    void restore(const std::vector<std::vector<int>>& before) {
        m_order = before;
        for (const std::vector<int>& order : m_order)
            for (std::size_t i = 0; i < order.size(); ++i)
                m_rank[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }

    struct Key {
        double key;
        int rank;
        int node;
    };

    ColumnIndex m_index;
    // Per column, its grid nodes top to bottom, and the slots of its cells in increasing order.
    std::vector<std::vector<int>> m_order;
    std::vector<std::vector<int>> m_slots;
    // Per grid node, its place in its column's order and its column.
    std::vector<int> m_rank;
    std::vector<int> m_column;
    std::vector<std::int64_t> m_tree;
    std::vector<Key> m_keys;
    std::vector<int> m_places;
    std::vector<int> m_saved;
};

int collectNode(void* context, ViewNode* node, int, int) {
    static_cast<std::vector<std::pair<ViewNode*, int>>*>(context)->emplace_back(node, node->slot);
    return 0;
}

// The new orders took their layers' cells as they came, which leaves many nodes far from
// their neighbours. An upward sweep that keeps every layer's order (so no crossing changes)
// centres parents over their children; it is kept only when it shortens the links, as on
// trees, and undone otherwise, as on most DAGs, whose long links it stretches.
void centreOverChildren(ViewLayout& layout) {
    std::vector<std::pair<ViewNode*, int>> before;
    ForEachCell(layout.grid, &collectNode, &before);
    const float energy = LayoutEnergy(layout);
    SweepLayout(layout, Justification::Centred, SweepDirection::Upward, SweepMode::KeepOrder, 1.0f);
    if (LayoutEnergy(layout) < energy)
        return;
    for (const auto& [node, slot] : before)
        layout.grid.put(node->slot, node->layer, nullptr);
    for (const auto& [node, slot] : before) {
        node->slot = slot;
        layout.grid.place(node);
    }
    layout.grid.trimEmptyRows();
    LayoutEnergy(layout);
}

} // namespace

bool UntangleArrangement(ViewLayout& layout) {
    Untangler untangler(layout.grid);
    if (!untangler.untangle() || !untangler.writeBack(layout.grid))
        return false;
    centreOverChildren(layout);
    return true;
}

std::int64_t LinkCrossings(const ViewLayout& layout) {
    return Untangler(layout.grid).crossings();
}

} // namespace tarvo
