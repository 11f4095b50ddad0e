// The energy of an arrangement and the barycentre sweeps that lower it.
#include "view/layout.h"

#include "memory/size_class_heap.h"
#include "model/node_list.h"
#include "model/view_node.h"
#include "view/net_view.h"
#include "view/view_flags.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace tarvo {
namespace {

// Energy.

float linkLength(int layers, int slots) {
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

// The least total length of n links from one node to the next layer: the first straight, then
// two at each slot distance outwards.
float idealSum(int n) {
    static std::vector<float> sums{0.0f, 1.0f, 2.4142f, 3.8285f, 6.0645f, 8.3006f};
    while (static_cast<int>(sums.size()) <= n) {
        const int k = static_cast<int>(sums.size()) / 2;
        sums.push_back(sums.back() + std::sqrt(static_cast<float>(k * k + 1)));
    }
    return sums[static_cast<std::size_t>(n)];
}

float slotEnergy(const ViewNode* n, int slot) {
    float sum = 0.0f;
    int count = 0;
    forEachNode(n->slots[slot], [&](const NodeBase* node) {
        const ViewNode* q = asViewNode(node);
        if (isHidden(q))
            return;
        sum += linkLength(n->layer - q->layer, n->slot - q->slot);
        ++count;
    });
    return sum - idealSum(count);
}

int addEnergy(void* context, ViewNode* node, int, int) {
    node->parentEnergy = slotEnergy(node, ParentSlot);
    node->childEnergy = slotEnergy(node, ChildSlot);
    *static_cast<float*>(context) += node->parentEnergy + node->childEnergy;
    return 0;
}

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

// One layer's treatment, in grid rows of one column.
class LayerSweep {
public:
    LayerSweep(LayoutGrid& grid, int column, bool preferUp)
        : m_grid(grid), m_column(column), m_preferUp(preferUp) {}

    bool treat(int mode, int slot, float blend, int justification) {
        collect();
        for (ViewNode* n : m_nodes) {
            if (mode != 2)
                n->barycentre = target(n, slot, blend, justification);
            n->oldSlot = n->slot;
            m_grid.put(n->slot, layer(), nullptr);
        }
        if (mode == 0)
            reorder();
        else
            keepOrder();
        for (const ViewNode* n : m_nodes)
            if (n->slot != n->oldSlot)
                return true;
        return false;
    }

private:
    int layer() const { return m_column - m_grid.layerOffset; }
    ViewNode* cell(int row) const { return m_grid.at(row, m_column); }
    void setCell(int row, ViewNode* n) {
        n->slot = row - m_grid.slotOffset;
        m_grid.put(n->slot, layer(), n);
    }

    void collect() {
        m_nodes.clear();
        for (int row = 0; row < m_grid.slotCount; ++row)
            if (ViewNode* n = cell(row))
                m_nodes.push_back(n);
    }

    int wantedRow(const ViewNode* n) const {
        const int slot = n->barycentre == NoTarget ? n->slot : roundedTarget(n->barycentre);
        return slot + m_grid.slotOffset;
    }

    void keepOrder() {
        int lowest = 0;
        for (ViewNode* n : m_nodes) {
            int row = std::max(wantedRow(n), lowest);
            row = std::min(row, m_grid.slotCount - 1);
            insert(n, row);
            lowest = n->slot + m_grid.slotOffset + 1;
        }
    }

    void reorder() {
        std::stable_sort(m_nodes.begin(), m_nodes.end(), [](const ViewNode* a, const ViewNode* b) {
            if (a->barycentre != b->barycentre)
                return a->barycentre < b->barycentre;
            return a->slot < b->slot;
        });
        std::vector<ViewNode*> rest;
        for (ViewNode* n : m_nodes) {
            const int row = wantedRow(n);
            if (n->barycentre != NoTarget && row >= 0 && row < m_grid.slotCount && !cell(row))
                setCell(row, n);
            else
                rest.push_back(n);
        }
        for (ViewNode* n : rest)
            insert(n, wantedRow(n));
    }

    // Puts n at row r, making room by shifting the nearer run of neighbours when r is taken.
    void insert(ViewNode* n, int r) {
        if (r < 0 || r >= m_grid.slotCount || !cell(r)) {
            setCell(r, n);
            return;
        }
        int up = r - 1;
        while (up >= 0 && cell(up))
            --up;
        int down = r + 1;
        while (down < m_grid.slotCount && cell(down))
            ++down;
        // Nodes with the same aim stay together: n goes after the last of them in the run.
        int end = r;
        for (int row = r; row < down; ++row)
            if (cell(row)->barycentre == n->barycentre)
                end = row;
        const bool upNearer = r - up < down - r;
        const bool shiftUp =
            m_preferUp ? (up > 0 && upNearer) || down == m_grid.slotCount : upNearer;
        if (shiftUp) {
            if (up < 0) {
                m_grid.insertFrontRows(1);
                up += 1;
                end += 1;
            }
            for (int row = up + 1; row <= end; ++row)
                setCell(row - 1, cell(row));
            setCell(end, n);
            return;
        }
        for (int row = down - 1; row > end; --row)
            setCell(row + 1, cell(row));
        setCell(end + 1, n);
    }

    LayoutGrid& m_grid;
    int m_column;
    bool m_preferUp;
    std::vector<ViewNode*> m_nodes;
};

int takeSnapshot(void*, ViewNode* node, int, int) {
    node->savedSlot = node->slot;
    return 0;
}

int collectNode(void* context, ViewNode* node, int, int) {
    static_cast<std::vector<ViewNode*>*>(context)->push_back(node);
    return 0;
}

void snapshot(NetView& view) {
    ForEachCell(view, &takeSnapshot, nullptr);
}

// Puts every node back at its snapshot slot, aimed there.
void restoreSnapshot(NetView& view) {
    std::vector<ViewNode*> nodes;
    ForEachCell(view, &collectNode, &nodes);
    for (ViewNode* n : nodes)
        view.grid.put(n->slot, n->layer, nullptr);
    for (ViewNode* n : nodes) {
        n->slot = n->savedSlot;
        n->barycentre = static_cast<float>(n->savedSlot);
        view.grid.place(n);
    }
}

void showImproved(NetView& view) {
    LayoutEnergy(view);
    if (view.refresh)
        view.refresh->updateTitle();
    PlaceOnScreen(view);
    if (view.refresh)
        view.refresh->repaint();
}

constexpr int kUpward = 0;
constexpr int kDownward = 1;

void improve(NetView& view) {
    float t = 1.0f;
    bool upMoved = false;
    while (t > 0.25f) {
        if (!SweepLayout(view, kUpward, 0, t))
            break;
        upMoved = true;
        if (!SweepLayout(view, kDownward, 0, t))
            break;
        t *= 0.9f;
    }
    if (!upMoved)
        return;
    float best = LayoutEnergy(view);
    snapshot(view);
    float previousUp = -1.0f;
    float previousDown = -1.0f;
    while (t > 0.05f && SweepLayout(view, kUpward, 0, t)) {
        const float afterUp = LayoutEnergy(view);
        if (afterUp == previousUp)
            break;
        if (afterUp < best) {
            snapshot(view);
            best = afterUp;
        }
        if (!SweepLayout(view, kDownward, 0, t))
            break;
        const float afterDown = LayoutEnergy(view);
        if (afterDown == previousDown)
            break;
        if (afterDown < best) {
            snapshot(view);
            best = afterDown;
        }
        t *= 0.9f;
        previousDown = afterDown;
        previousUp = afterUp;
    }
    if (best != LayoutEnergy(view)) {
        restoreSnapshot(view);
        // The rows the later sweeps opened at the ends are empty again.
        view.grid.trimEmptyRows();
        SweepLayout(view, kDownward, 2, t);
    }
    showImproved(view);
}

} // namespace

float LayoutEnergy(NetView& view) {
    float energy = 0.0f;
    ForEachCell(view, &addEnergy, &energy);
    const float nearest = std::round(energy);
    if (std::fabs(energy - nearest) < 0.001f)
        energy = nearest;
    view.energy = energy;
    return energy;
}

bool SweepLayout(NetView& view, int direction, int mode, float blend) {
    LayoutGrid& grid = view.grid;
    const int slot = direction == kDownward ? ParentSlot : ChildSlot;
    const bool preferUp = view.justification != kJustifyCentred;
    const int layers = grid.layerCount;
    bool moved = false;
    auto treat = [&](int column) {
        moved = LayerSweep(grid, column, preferUp).treat(mode, slot, blend, view.justification) ||
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
