// The energy of an arrangement and the barycentre sweeps that lower it.
#include "view/layout.h"

#include "view/layer_sweep.h"

#include "containers/node_list.h"
#include "memory/size_class_heap.h"
#include "model/view_node.h"
#include "view/net_view.h"
#include "view/view_flags.h"
#include "view/view_options.h"

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

// A sum within a thousandth of a whole number is that number, stored as the view's energy.
float roundedEnergy(NetView& view, float energy) {
    const float nearest = std::round(energy);
    if (std::fabs(energy - nearest) < 0.001f)
        energy = nearest;
    view.energy = energy;
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
void restoreSnapshot(NetView& view, ColumnIndex& index) {
    for (int column = 0; column < index.columnCount(); ++column)
        for (int n : index.column(column))
            view.grid.put(index.slot(n), index.layer(n), nullptr);
    for (int column = 0; column < index.columnCount(); ++column) {
        for (int n : index.column(column)) {
            index.slot(n) = index.savedSlot(n);
            index.barycentre(n) = static_cast<float>(index.savedSlot(n));
            view.grid.put(index.slot(n), index.layer(n), index.node(n));
        }
    }
    // The rows the later sweeps opened at the ends are empty again.
    view.grid.trimEmptyRows();
    index.writeNodes();
    index.build(view.grid);
}

// The energy, summed in the order of the grid's cells (row by row, and along each row by
// column) as LayoutEnergy sums it, so that the two agree to the last bit; but reached through
// the columns' nodes rather than through every cell.
float indexedEnergy(NetView& view, ColumnIndex& index, std::vector<int>& starts,
                    std::vector<int>& ordered) {
    const LayoutGrid& grid = view.grid;
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
    return roundedEnergy(view, energy);
}

void showImproved(NetView& view) {
    LayoutEnergy(view);
    UpdateTitle(view);
    PlaceOnScreen(view);
    RepaintView(view);
}

constexpr int kUpward = 0;
constexpr int kDownward = 1;

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

void improve(NetView& view) {
    ColumnIndex index;
    NodesWrittenBack written(index);
    index.build(view.grid);
    std::vector<int> starts;
    std::vector<int> ordered;
    auto sweep = [&](int direction, int mode, float t) {
        return SweepColumns(view, index, direction, mode, t);
    };
    auto energy = [&] { return indexedEnergy(view, index, starts, ordered); };
    float t = 1.0f;
    bool upMoved = false;
    while (t > 0.25f) {
        if (!sweep(kUpward, 0, t))
            break;
        upMoved = true;
        if (!sweep(kDownward, 0, t))
            break;
        t *= 0.9f;
    }
    if (!upMoved)
        return;
    float best = energy();
    snapshot(index);
    float previousUp = -1.0f;
    float previousDown = -1.0f;
    while (t > 0.05f && sweep(kUpward, 0, t)) {
        const float afterUp = energy();
        if (afterUp == previousUp)
            break;
        if (afterUp < best) {
            snapshot(index);
            best = afterUp;
        }
        if (!sweep(kDownward, 0, t))
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
        restoreSnapshot(view, index);
        sweep(kDownward, 2, t);
    }
    written.now();
    showImproved(view);
}

} // namespace

float LayoutEnergy(NetView& view) {
    float energy = 0.0f;
    ForEachCell(view, &addEnergy, &energy);
    return roundedEnergy(view, energy);
}

bool SweepLayout(NetView& view, int direction, int mode, float blend) {
    ColumnIndex index;
    NodesWrittenBack written(index);
    index.build(view.grid);
    return SweepColumns(view, index, direction, mode, blend);
}

void ImproveLayout(NetView& view) {
    try {
        improve(view);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

void StepLayout(NetView& view) {
    try {
        view.stepDirection ^= 1;
        const bool moved = SweepLayout(view, view.stepDirection, 0, view.stepBlend);
        if (view.stepDirection == kUpward)
            view.stepBlend *= 0.9f;
        if (moved)
            showImproved(view);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}

} // namespace tarvo
