// The energy of an arrangement and the barycentre sweeps that lower it.
#include "layout/layout_improvement.h"

#include "containers/node_list.h"
#include "layout/layer_sweep.h"
#include "layout/view_flags.h"
#include "layout/view_layout.h"
#include "layout/view_node.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace tarvo {
namespace {

// Energy.

float slotEnergy(const ViewNode* n, int slot) {
    float sum = 0.0f;
    int count = 0;
    forEachNode(n->slots[slot], [&](const NodeBase* node) {
        const ViewNode* q = asViewNode(node);
        if (isHidden(q))
            return;
        sum += LinkLength(n->layer - q->layer, n->slot - q->slot);
        ++count;
    });
    return sum - IdealLinkSum(count);
}

// A sum within a thousandth of a whole number is that number, stored as the layout's energy.
float roundedEnergy(ViewLayout& layout, float energy) {
    const float nearest = std::round(energy);
    if (std::fabs(energy - nearest) < 0.001f)
        energy = nearest;
    layout.energy = energy;
    return energy;
}

int addEnergy(void* context, ViewNode* node, int, int) {
    node->parentEnergy = slotEnergy(node, ParentSlot);
    node->childEnergy = slotEnergy(node, ChildSlot);
    *static_cast<float*>(context) += node->parentEnergy + node->childEnergy;
    return 0;
}

void snapshot(ColumnIndex& index) {
    for (int column = 0; column < index.columnCount(); ++column)
        for (int n : index.column(column))
            index.savedSlot(n) = index.slot(n);
}

// Puts every node back at its snapshot slot, aimed there.
void restoreSnapshot(ViewLayout& layout, ColumnIndex& index) {
    for (int column = 0; column < index.columnCount(); ++column)
        for (int n : index.column(column))
            layout.grid.put(index.slot(n), index.layer(n), nullptr);
    for (int column = 0; column < index.columnCount(); ++column) {
        for (int n : index.column(column)) {
            index.slot(n) = index.savedSlot(n);
            index.barycentre(n) = static_cast<float>(index.savedSlot(n));
            layout.grid.put(index.slot(n), index.layer(n), index.node(n));
        }
    }
    // The rows the later sweeps opened at the ends are empty again.
    layout.grid.trimEmptyRows();
    index.writeNodes();
    index.build(layout.grid);
}

// The energy, summed in the order of the grid's cells (row by row, and along each row by
// column) as LayoutEnergy sums it, so that the two agree to the last bit; but reached through
// the columns' nodes rather than through every cell.
float indexedEnergy(ViewLayout& layout, ColumnIndex& index, std::vector<int>& starts,
                    std::vector<int>& ordered) {
    const LayoutGrid& grid = layout.grid;
    starts.assign(static_cast<std::size_t>(grid.slotCount) + 1, 0);
    std::size_t total = 0;
    for (int column = 0; column < index.columnCount(); ++column) {
        for (int n : index.column(column))
            ++starts[static_cast<std::size_t>(index.slot(n) + grid.slotOffset) + 1];
        total += index.column(column).size();
    }
    for (std::size_t row = 1; row < starts.size(); ++row)
        starts[row] += starts[row - 1];
    ordered.resize(total);
    for (int column = 0; column < index.columnCount(); ++column)
        for (int n : index.column(column)) {
            const int slot = index.slot(n) + grid.slotOffset;
            ordered[static_cast<std::size_t>(starts[static_cast<std::size_t>(slot)]++)] = n;
        }
    float energy = 0.0f;
    for (int n : ordered) {
        const float parent = index.slotEnergy(n, ParentSlot);
        const float child = index.slotEnergy(n, ChildSlot);
        index.parentEnergy(n) = parent;
        index.childEnergy(n) = child;
        energy += parent + child;
    }
    return roundedEnergy(layout, energy);
}

constexpr SweepDirection kUpward = SweepDirection::Upward;
constexpr SweepDirection kDownward = SweepDirection::Downward;

// Gives the nodes what the index holds of them when an improvement ends, also when it ends
// because memory ran out: the grid's cells have moved with the index all along.
class NodesWrittenBack {
public:
    explicit NodesWrittenBack(const ColumnIndex& index) : m_index(index) {}
    NodesWrittenBack(const NodesWrittenBack&) = delete;
    NodesWrittenBack& operator=(const NodesWrittenBack&) = delete;
    ~NodesWrittenBack() { now(); }

    // Writes them back at once, and not again.
    void now() {
        if (m_pending)
            m_index.writeNodes();
        m_pending = false;
    }

private:
    const ColumnIndex& m_index;
    bool m_pending = true;
};

bool improve(ViewLayout& layout, Justification justification) {
    ColumnIndex index;
    NodesWrittenBack written(index);
    index.build(layout.grid);
    std::vector<int> starts;
    std::vector<int> ordered;
    auto sweep = [&](SweepDirection direction, SweepMode mode, float t) {
        return SweepColumns(layout.grid, index, justification, direction, mode, t);
    };
    auto energy = [&] { return indexedEnergy(layout, index, starts, ordered); };
    float t = 1.0f;
    bool upMoved = false;
    while (t > 0.25f) {
        if (!sweep(kUpward, SweepMode::Reorder, t))
            break;
        upMoved = true;
        if (!sweep(kDownward, SweepMode::Reorder, t))
            break;
        t *= 0.9f;
    }
    if (!upMoved)
        return false;
    float best = energy();
    snapshot(index);
    float previousUp = -1.0f;
    float previousDown = -1.0f;
    while (t > 0.05f && sweep(kUpward, SweepMode::Reorder, t)) {
        const float afterUp = energy();
        if (afterUp == previousUp)
            break;
        if (afterUp < best) {
            snapshot(index);
            best = afterUp;
        }
        if (!sweep(kDownward, SweepMode::Reorder, t))
            break;
        const float afterDown = energy();
        if (afterDown == previousDown)
            break;
        if (afterDown < best) {
            snapshot(index);
            best = afterDown;
        }
        t *= 0.9f;
        previousDown = afterDown;
        previousUp = afterUp;
    }
    if (best != energy()) {
        restoreSnapshot(layout, index);
        sweep(kDownward, SweepMode::KeepAims, t);
    }
    written.now();
    return true;
}

} // namespace

float LayoutEnergy(ViewLayout& layout) {
    float energy = 0.0f;
    ForEachCell(layout.grid, &addEnergy, &energy);
    return roundedEnergy(layout, energy);
}

bool SweepLayout(ViewLayout& layout, Justification justification, SweepDirection direction,
                 SweepMode mode, float blend) {
    ColumnIndex index;
    NodesWrittenBack written(index);
    index.build(layout.grid);
    return SweepColumns(layout.grid, index, justification, direction, mode, blend);
}

bool ImproveArrangement(ViewLayout& layout, Justification justification) {
    return improve(layout, justification);
}

bool StepArrangement(ViewLayout& layout, Justification justification) {
    const SweepDirection direction = layout.beginStep();
    const bool moved =
        SweepLayout(layout, justification, direction, SweepMode::Reorder, layout.stepBlend);
    layout.endStep();
    return moved;
}

} // namespace tarvo
