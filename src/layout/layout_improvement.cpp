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
void restoreSnapshot(ColumnIndex& index) {
    for (int column = 0; column < index.columnCount(); ++column) {
        for (int n : index.column(column)) {
            index.slot(n) = index.savedSlot(n);
            index.barycentre(n) = static_cast<float>(index.savedSlot(n));
        }
    }
    index.sortColumns();
    // The rows the later sweeps opened at the ends are empty again.
    index.trimRows();
}

// The energy, summed in the order of the grid's cells (row by row, and along each row by
// column) as LayoutEnergy sums it, so that the two agree to the last bit; but reached through
// the columns' nodes rather than through every cell.
float indexedEnergy(ViewLayout& layout, ColumnIndex& index, std::vector<int>& starts,
                    std::vector<int>& ordered) {
    const int rowOffset = index.rowOffset();
    starts.assign(static_cast<std::size_t>(index.rowCount()) + 1, 0);
    std::size_t total = 0;
    for (int column = 0; column < index.columnCount(); ++column) {
        for (int n : index.column(column))
            ++starts[static_cast<std::size_t>(index.slot(n) + rowOffset) + 1];
        total += index.column(column).size();
    }
    for (std::size_t row = 1; row < starts.size(); ++row)
        starts[row] += starts[row - 1];
    ordered.resize(total);
    for (int column = 0; column < index.columnCount(); ++column)
        for (int n : index.column(column)) {
            const int slot = index.slot(n) + rowOffset;
            ordered[static_cast<std::size_t>(starts[static_cast<std::size_t>(slot)]++)] = n;
        }
    // Each node's share in the order of the numbers, which is the order of the index's arrays;
    // only the sum goes by the cells.
    for (int n = 0; n < index.gridNodeCount(); ++n) {
        index.parentEnergy(n) = index.slotEnergy(n, ParentSlot);
        index.childEnergy(n) = index.slotEnergy(n, ChildSlot);
    }
    float energy = 0.0f;
    for (int n : ordered)
        energy += index.parentEnergy(n) + index.childEnergy(n);
    return roundedEnergy(layout, energy);
}

constexpr SweepDirection kUpward = SweepDirection::Upward;
constexpr SweepDirection kDownward = SweepDirection::Downward;

} // namespace

// The sweeps of an improvement, run one at a time. The first phase sweeps up and down while
// the blend factor is large and a sweep moves a node; the second goes on with the energy
// measured after every sweep, keeping a snapshot of the best arrangement, until the blend
// factor is small, a sweep moves nothing or the energy repeats; the last step goes back to
// the best snapshot when the arrangement ended worse.
struct ArrangementImprovement::State {
    enum class Phase { SettleUp, SettleDown, Measure, SearchUp, SearchDown, Finish, Done };

    State(ViewLayout& improved, Justification justify) : layout(improved), justification(justify) {
        index.build(layout.grid);
    }

    bool sweep(SweepDirection direction, SweepMode mode) {
        return SweepColumns(index, justification, direction, mode, t);
    }
    float energy() { return indexedEnergy(layout, index, starts, ordered); }
    // Keeps the arrangement when it is the best so far.
    void consider(float value) {
        if (value < best) {
            snapshot(index);
            best = value;
        }
    }
    void step();
    // The index's slots and aims into the nodes, and its arrangement into the grid.
    void writeArrangement() {
        writeBack = false;
        index.writeNodes();
        index.writeGrid(layout.grid);
    }

    ViewLayout& layout;
    const Justification justification;
    ColumnIndex index;
    std::vector<int> starts;
    std::vector<int> ordered;
    Phase phase = Phase::SettleUp;
    float t = 1.0f;
    bool upMoved = false;
    float best = 0.0f;
    float previousUp = -1.0f;
    float previousDown = -1.0f;
    float afterUp = 0.0f;
    bool moved = false;
    // The nodes and the grid are given the index's arrangement when the improvement ends, also
    // when it ends early because memory ran out or the caller let it go.
    bool writeBack = true;
};

void ArrangementImprovement::State::step() {
    switch (phase) {
    case Phase::SettleUp:
        if (t <= 0.25f || !sweep(kUpward, SweepMode::Reorder)) {
            phase = Phase::Measure;
        } else {
            upMoved = true;
            phase = Phase::SettleDown;
        }
        return;
    case Phase::SettleDown:
        if (!sweep(kDownward, SweepMode::Reorder)) {
            phase = Phase::Measure;
            return;
        }
        t *= 0.9f;
        phase = Phase::SettleUp;
        return;
    case Phase::Measure:
        if (!upMoved) {
            // Nothing moved, though the sweep that found it may have changed aims.
            writeArrangement();
            phase = Phase::Done;
            return;
        }
        moved = true;
        best = energy();
        snapshot(index);
        phase = Phase::SearchUp;
        return;
    case Phase::SearchUp:
        if (!(t > 0.05f) || !sweep(kUpward, SweepMode::Reorder)) {
            phase = Phase::Finish;
            return;
        }
        afterUp = energy();
        if (afterUp == previousUp) {
            phase = Phase::Finish;
            return;
        }
        consider(afterUp);
        phase = Phase::SearchDown;
        return;
    case Phase::SearchDown: {
        if (!sweep(kDownward, SweepMode::Reorder)) {
            phase = Phase::Finish;
            return;
        }
        const float afterDown = energy();
        if (afterDown == previousDown) {
            phase = Phase::Finish;
            return;
        }
        consider(afterDown);
        t *= 0.9f;
        previousDown = afterDown;
        previousUp = afterUp;
        phase = Phase::SearchUp;
        return;
    }
    case Phase::Finish:
        if (best != energy()) {
            restoreSnapshot(index);
            sweep(kDownward, SweepMode::KeepAims);
        }
        writeArrangement();
        phase = Phase::Done;
        return;
    case Phase::Done:
        return;
    }
}

ArrangementImprovement::ArrangementImprovement(ViewLayout& layout, Justification justification)
    : m_state(std::make_unique<State>(layout, justification)) {}

ArrangementImprovement::~ArrangementImprovement() {
    if (m_state && m_state->writeBack)
        m_state->writeArrangement();
}

bool ArrangementImprovement::step() {
    if (!m_state || m_state->phase == State::Phase::Done)
        return false;
    m_state->step();
    return m_state->phase != State::Phase::Done;
}

bool ArrangementImprovement::done() const {
    return !m_state || m_state->phase == State::Phase::Done;
}

bool ArrangementImprovement::moved() const {
    return m_state && m_state->moved;
}

void ArrangementImprovement::abandon() {
    m_state.reset();
}

float LayoutEnergy(ViewLayout& layout) {
    float energy = 0.0f;
    ForEachCell(layout.grid, &addEnergy, &energy);
    return roundedEnergy(layout, energy);
}

bool SweepLayout(ViewLayout& layout, Justification justification, SweepDirection direction,
                 SweepMode mode, float blend) {
    ColumnIndex index;
    index.build(layout.grid);
    // The nodes and the grid get the sweep's arrangement also when it runs out of memory.
    struct WrittenBack {
        const ColumnIndex& index;
        LayoutGrid& grid;
        ~WrittenBack() {
            index.writeNodes();
            index.writeGrid(grid);
        }
    } written{index, layout.grid};
    return SweepColumns(index, justification, direction, mode, blend);
}

bool ImproveArrangement(ViewLayout& layout, Justification justification) {
    ArrangementImprovement improvement(layout, justification);
    while (improvement.step()) {
    }
    return improvement.moved();
}

bool StepArrangement(ViewLayout& layout, Justification justification) {
    const SweepDirection direction = layout.beginStep();
    const bool moved =
        SweepLayout(layout, justification, direction, SweepMode::Reorder, layout.stepBlend);
    layout.endStep();
    return moved;
}

} // namespace tarvo
