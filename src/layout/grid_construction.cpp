// Grid construction: cluster placement, cluster order and the joined grid.
#include "layout/grid_construction.h"

#include "containers/node_list.h"
#include "labels/label_markup.h"
#include "labels/label_text.h"
#include "layout/view_flags.h"
#include "layout/view_layout.h"
#include "layout/view_node.h"
#include "model/links.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace tarvo {
namespace {

// Places one cluster's nodes in its grid. Rows are only ever appended while a cluster is
// placed, so slots and grid rows agree; per column a chain of "next free row" links with path
// halving finds the first free cell at or after a row without scanning the filled ones.
} // namespace

class ClusterPlacer {
public:
    ClusterPlacer(LayoutGrid& grid, const VisitMarks& marks) : m_grid(grid), m_marks(marks) {}

    // Places the seed; the rest of the cluster follows breadth first in resume.
    void begin(ViewNode* seed) {
        seed->slot = 0;
        if (!putAt(seed, 0))
            return;
        MarkVisited(m_marks, seed);
        m_queue.push_back(seed);
    }

    // Places the neighbours of the placed nodes while `budget` lasts (one for each node whose
    // neighbours it places); true when the cluster is placed.
    bool resume(std::int64_t& budget) {
        for (; m_next < m_queue.size() && budget != 0; ++m_next) {
            if (budget > 0)
                --budget;
            ViewNode* m = m_queue[m_next];
            // Nodes above the seed's layer grow the cluster upwards: their children are
            // already placed and anchor their parents.
            if (m->layer < 0) {
                placeList(m, ChildSlot);
                placeList(m, ParentSlot);
            } else {
                placeList(m, ParentSlot);
                placeList(m, ChildSlot);
            }
        }
        return m_next >= m_queue.size();
    }

private:
    std::vector<int>& column(int layer) {
        const int index = layer + m_grid.layerOffset;
        if (static_cast<std::size_t>(index) >= m_free.size())
            m_free.resize(static_cast<std::size_t>(index) + 1);
        return m_free[static_cast<std::size_t>(index)];
    }

    bool growTo(int layer) {
        const int before = m_grid.layerOffset;
        if (!m_grid.ensureLayer(layer))
            return false;
        if (m_grid.layerOffset > before)
            m_free.insert(m_free.begin(), static_cast<std::size_t>(m_grid.layerOffset - before),
                          std::vector<int>{});
        return true;
    }

    static int findFree(std::vector<int>& next, int row) {
        const int size = static_cast<int>(next.size());
        while (row < size && next[static_cast<std::size_t>(row)] != row) {
            const int up = next[static_cast<std::size_t>(row)];
            if (up < size)
                next[static_cast<std::size_t>(row)] = next[static_cast<std::size_t>(up)];
            row = up;
        }
        return row;
    }

    static void occupy(std::vector<int>& next, int row) {
        const std::size_t need = static_cast<std::size_t>(row) + 1;
        for (std::size_t r = next.size(); r < need; ++r)
            next.push_back(static_cast<int>(r));
        next[static_cast<std::size_t>(row)] = row + 1;
    }

    bool putAt(ViewNode* node, int row) {
        if (!growTo(node->layer))
            return false;
        node->slot = row;
        if (!m_grid.put(row, node->layer, node))
            return false;
        occupy(column(node->layer), row);
        return true;
    }

    // Opens row `at` of the node's layer by moving the cells from there down to the first free
    // row one further, and puts the node there.
    bool shiftInAt(ViewNode* node, int at) {
        std::vector<int>& next = column(node->layer);
        const int free = findFree(next, at);
        for (int row = free - 1; row >= at; --row) {
            ViewNode* moved = m_grid.nodeAt(row, node->layer);
            moved->slot = row + 1;
            if (!m_grid.put(row + 1, node->layer, moved))
                return false;
        }
        occupy(next, free);
        node->slot = at;
        return m_grid.put(at, node->layer, node) != 0;
    }

    // Places the unplaced neighbours in one slot of m, in list order, from m's slot onwards,
    // each before the next neighbour that was placed already.
    void placeList(const ViewNode* m, int slot) {
        const NodeSlot list = m->slots[slot];
        const int size = listSize(list);
        if (!size)
            return;
        // The lists are the placer's, kept from one call to the next: this runs twice for
        // every node of the view.
        std::vector<ViewNode*>& nodes = m_nodes;
        std::vector<int>& placedBefore = m_placedBefore;
        nodes.clear();
        placedBefore.clear();
        forEachNode(list, [this, &nodes, &placedBefore](NodeBase* element) {
            ViewNode* node = asViewNode(element);
            if (!isHidden(node) && IsVisited(m_marks, node))
                placedBefore.push_back(static_cast<int>(nodes.size()));
            nodes.push_back(node);
        });
        int cursor = m->slot;
        std::size_t firstAfter = 0;
        for (int i = 0; i < size; ++i) {
            ViewNode* p = nodes[static_cast<std::size_t>(i)];
            if (isHidden(p) || IsVisited(m_marks, p))
                continue;
            MarkVisited(m_marks, p);
            m_queue.push_back(p);
            while (firstAfter < placedBefore.size() && placedBefore[firstAfter] <= i)
                ++firstAfter;
            int limit = -1;
            for (std::size_t k = firstAfter; k < placedBefore.size(); ++k) {
                const int s = nodes[static_cast<std::size_t>(placedBefore[k])]->slot;
                if (s > cursor) {
                    limit = s;
                    break;
                }
            }
            if (!growTo(p->layer))
                return;
            const int free = findFree(column(p->layer), cursor);
            if (limit >= 0 && free >= limit) {
                if (!shiftInAt(p, limit))
                    return;
            } else if (!putAt(p, free)) {
                return;
            }
            cursor = p->slot + 1;
        }
    }

    LayoutGrid& m_grid;
    const VisitMarks& m_marks;
    std::vector<std::vector<int>> m_free;
    std::vector<ViewNode*> m_queue;
    std::size_t m_next = 0;
    std::vector<ViewNode*> m_nodes;
    std::vector<int> m_placedBefore;
};

namespace {

// Labels compared with the letter case counting or not; a missing label goes last.
int compareSeedLabels(const ViewNode* a, const ViewNode* b, bool ignoreCase) {
    const bool aHas = a && a->name && *a->name;
    const bool bHas = b && b->name && *b->name;
    if (aHas != bHas)
        return aHas ? -1 : 1;
    if (!aHas)
        return 0;
    return CompareLabels(a->name, b->name, ignoreCase);
}

bool isRelationCluster(const Cluster& c) {
    return c.seed && c.seed->hasFlag(NodeFlags::RelationKind);
}

int countFor(const Cluster& c, int direction, int number) {
    const std::vector<std::int32_t>& counts = c.linkCounts[direction];
    return number >= 0 && static_cast<std::size_t>(number) < counts.size()
               ? counts[static_cast<std::size_t>(number)]
               : 0;
}

bool hasCounts(const Cluster& c, int direction) {
    for (std::int32_t n : c.linkCounts[direction])
        if (n)
            return true;
    return false;
}

// Entity clusters before relation clusters; two entity clusters by their links to each other,
// then by label.
int compareClusters(const Cluster& a, const Cluster& b) {
    const bool aRelation = isRelationCluster(a);
    const bool bRelation = isRelationCluster(b);
    if (aRelation || bRelation)
        return aRelation == bRelation ? 0 : aRelation ? 1 : -1;
    const bool x = hasCounts(a, 0) || !hasCounts(b, 1);
    const bool y = hasCounts(a, 1) || !hasCounts(b, 0);
    if (x && !y)
        return -1;
    if (y && !x)
        return 1;
    const int d = (countFor(a, 0, b.number) - countFor(b, 0, a.number)) -
                  (countFor(a, 1, b.number) - countFor(b, 1, a.number));
    if (d)
        return d > 0 ? 1 : -1;
    return compareSeedLabels(a.seed, b.seed, false);
}

// A stable merge sort that stays within its range whatever the comparison answers: the
// cluster comparison is not transitive in general.
void mergeSort(std::vector<int>& items, const std::function<int(int, int)>& compare) {
    if (items.size() < 2)
        return;
    std::vector<int> left(items.begin(), items.begin() + static_cast<long>(items.size() / 2));
    std::vector<int> right(items.begin() + static_cast<long>(items.size() / 2), items.end());
    mergeSort(left, compare);
    mergeSort(right, compare);
    std::size_t i = 0, j = 0, k = 0;
    while (i < left.size() && j < right.size())
        items[k++] = compare(right[j], left[i]) < 0 ? right[j++] : left[i++];
    while (i < left.size())
        items[k++] = left[i++];
    while (j < right.size())
        items[k++] = right[j++];
}

int totalSlots(const std::vector<Cluster>& clusters) {
    int total = 0;
    for (const Cluster& c : clusters)
        total += c.grid.slotCount;
    return total;
}

// Goes over the cells of every cluster's grid, cluster by cluster and column by column, from
// `at` while `budget` lasts (one for each cell); true when all are done. `begin` hears of a
// cluster before its first cell, `cell(cluster, node, row, column)` of each node in it, `end`
// of the cluster after its last cell.
template <typename Begin, typename Cell, typename End>
bool visitClusterCells(std::vector<Cluster>& clusters, GridConstruction::CellCursor& at,
                       std::int64_t& budget, Begin begin, Cell cell, End end) {
    while (at.cluster < clusters.size()) {
        Cluster& c = clusters[at.cluster];
        if (!at.begun) {
            begin(c);
            at.begun = true;
            at.column = at.row = 0;
        }
        for (; at.column < c.grid.layerCount; ++at.column, at.row = 0) {
            ViewNode* const* cells = c.grid.columnCells(at.column);
            for (; at.row < c.grid.slotCount; ++at.row) {
                if (budget == 0)
                    return false;
                if (budget > 0)
                    --budget;
                if (cells[at.row])
                    cell(c, cells[at.row], at.row, at.column);
            }
        }
        end(c);
        at.begun = false;
        ++at.cluster;
    }
    return true;
}

void beginCounts(Cluster& c, std::size_t clusters) {
    c.linkCounts[0].assign(clusters, 0);
    c.linkCounts[1].assign(clusters, 0);
}

// Counts the relation links of one node of cluster `c` into its counts.
void countLinks(Cluster& c, const ViewNode* node) {
    const std::size_t count = c.linkCounts[0].size();
    for (int slot : {FromSlot, ToSlot})
        forEachNode(node->slots[slot], [&c, count, slot](NodeBase* element) {
            Node* x = asNode(element);
            // A property leads on to its end in the same slot; any other node stands for its
            // own cluster.
            Node* end = x->isProperty() ? asNode(first(x, slot)) : nullptr;
            const Node* target = end ? end : x;
            if (target->hasFlag(NodeFlags::Hidden | NodeFlags::Unplaced))
                return;
            const auto number = static_cast<std::size_t>(target->cluster);
            if (target->cluster >= 0 && number < count)
                ++c.linkCounts[slot - FromSlot][number];
        });
}

// Counts every cluster's links from `at` while `budget` lasts; the counts do not depend on
// the order the cells are taken in.
bool countClusterLinks(ViewLayout& layout, GridConstruction::CellCursor& at, std::int64_t& budget) {
    const std::size_t count = layout.clusters.size();
    return visitClusterCells(
        layout.clusters, at, budget, [count](Cluster& c) { beginCounts(c, count); },
        [](Cluster& c, const ViewNode* node, int, int) { countLinks(c, node); }, [](Cluster&) {});
}

} // namespace

void CountClusterLinks(ViewLayout& layout) {
    GridConstruction::CellCursor at;
    std::int64_t unlimited = -1;
    countClusterLinks(layout, at, unlimited);
}

int RelationInsertPlace(const Cluster& relation, const std::vector<const Cluster*>& entities) {
    const int e = static_cast<int>(entities.size());
    // The pull on each gap: the relation's links to the cluster before it (through their
    // from-ends) and to the cluster after it (through their to-ends).
    std::vector<std::pair<int, double>> pulls;
    for (int j = 0; j <= e; ++j) {
        const int before =
            j > 0 ? countFor(relation, 0, entities[static_cast<std::size_t>(j - 1)]->number) : 0;
        const int after =
            j < e ? countFor(relation, 1, entities[static_cast<std::size_t>(j)]->number) : 0;
        if (before + after)
            pulls.emplace_back(j, before + after);
    }
    int best = 0;
    double bestSum = 0.0;
    for (int i = 0; i <= e && !pulls.empty(); ++i) {
        double sum = 0.0;
        for (const auto& [j, pull] : pulls)
            sum += std::pow(0.7, std::abs(j - i)) * pull;
        if (sum > bestSum) {
            bestSum = sum;
            best = i;
        }
    }
    return best;
}

void OrderClusters(ViewLayout& layout) {
    std::vector<Cluster>& clusters = layout.clusters;
    std::vector<int> order(clusters.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    auto at = [&clusters](int i) -> Cluster& { return clusters[static_cast<std::size_t>(i)]; };
    mergeSort(order, [&](int a, int b) { return compareSeedLabels(at(a).seed, at(b).seed, true); });
    mergeSort(order, [&](int a, int b) { return compareClusters(at(a), at(b)); });

    std::vector<int> entities;
    std::vector<int> relations;
    for (int i : order)
        (isRelationCluster(at(i)) ? relations : entities).push_back(i);
    std::vector<const Cluster*> entityClusters;
    entityClusters.reserve(entities.size());
    for (int i : entities)
        entityClusters.push_back(&at(i));
    for (int r : relations)
        at(r).insertAt = RelationInsertPlace(at(r), entityClusters);

    std::vector<int> final = entities;
    for (std::size_t k = 0; k < relations.size(); ++k) {
        const int place = std::min(at(relations[k]).insertAt, static_cast<int>(final.size()));
        final.insert(final.begin() + place, relations[k]);
        for (std::size_t later = k + 1; later < relations.size(); ++later)
            if (at(relations[later]).insertAt >= place)
                ++at(relations[later]).insertAt;
    }
    std::vector<Cluster> ordered;
    ordered.reserve(clusters.size());
    for (int i : final)
        ordered.push_back(std::move(at(i)));
    clusters = std::move(ordered);
}

GridConstruction::GridConstruction(ViewLayout& layout) : m_layout(layout) {
    layout.grid.release();
    layout.resetMarks();
}

GridConstruction::~GridConstruction() = default;

bool GridConstruction::resume(std::int64_t budget) {
    std::vector<Cluster>& clusters = m_layout.clusters;
    for (;;) {
        switch (m_phase) {
        case Phase::Place:
            if (m_placer) {
                if (!m_placer->resume(budget))
                    return false;
                m_placer.reset();
                ++m_cluster;
            }
            if (m_cluster < clusters.size()) {
                Cluster& c = clusters[m_cluster];
                if (!c.grid.reset(0, c.layerCount, 0, c.layerOffset)) {
                    m_phase = Phase::Done;
                    return true;
                }
                m_layout.newPass();
                m_placer = std::make_unique<ClusterPlacer>(c.grid, m_layout.marks);
                m_placer->begin(c.seed);
                if (budget == 0)
                    return false;
                continue;
            }
            if (clusters.size() == 1) {
                m_layout.grid = std::move(clusters.front().grid);
                m_phase = Phase::Done;
                return true;
            }
            m_phase = Phase::Count;
            m_cells = CellCursor{};
            continue;
        case Phase::Count:
            if (!countClusterLinks(m_layout, m_cells, budget))
                return false;
            OrderClusters(m_layout);
            if (!beginJoin()) {
                m_phase = Phase::Done;
                return true;
            }
            m_phase = Phase::Join;
            m_cells = CellCursor{};
            continue;
        case Phase::Join:
            if (!join(budget))
                return false;
            m_phase = Phase::Done;
            return true;
        case Phase::Done:
            return true;
        }
    }
}

bool GridConstruction::beginJoin() {
    int layers = 0;
    for (const Cluster& c : m_layout.clusters)
        layers = std::max(layers, static_cast<int>(c.grid.layerCount));
    m_base = 0;
    return m_layout.grid.reset(totalSlots(m_layout.clusters), layers) != 0;
}

bool GridConstruction::join(std::int64_t& budget) {
    // The joined grid does not grow, so the order of the puts does not matter.
    return visitClusterCells(
        m_layout.clusters, m_cells, budget, [](Cluster&) {},
        [this](Cluster&, ViewNode* node, int row, int column) {
            node->slot = m_base + row;
            node->layer = column;
            m_layout.grid.put(node->slot, node->layer, node);
        },
        [this](Cluster& c) {
            m_base += c.grid.slotCount;
            c.grid.release();
        });
}

void BuildLayoutGrid(ViewLayout& layout) {
    GridConstruction(layout).resume(-1);
}

} // namespace tarvo
