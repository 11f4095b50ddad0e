// Lowering the energy of an arrangement: how much longer than ideal its links are, and the
// barycentre sweeps that shorten them.
#pragma once

#include "layout/layout_modes.h"

#include <memory>

namespace tarvo {

class ViewLayout;

// The energy of the arrangement, kept in the layout too. Each node keeps its share.
float LayoutEnergy(ViewLayout& layout);
// One sweep over the layers in `direction`, treating each as `mode` says. `blend` below 1
// mixes in the other direction's aim. True when a node moved.
bool SweepLayout(ViewLayout& layout, Justification justification, SweepDirection direction,
                 SweepMode mode, float blend);
// Barycentre sweeps until the arrangement stops improving, keeping the best one found. True
// when the first sweep moved a node, and so the arrangement may have changed.
bool ImproveArrangement(ViewLayout& layout, Justification justification);
// The sweeps of ImproveArrangement one at a time, so that a caller can spread a long
// improvement over many short turns: stepped until it answers false, it leaves the layout as
// ImproveArrangement does. The layout's links and hidden marks must stay as they are while it
// runs; its grid and nodes keep the arrangement it started from, and get the sweeps' at the
// end, or when the improvement is destroyed before its end.
class ArrangementImprovement {
public:
    ArrangementImprovement(ViewLayout& layout, Justification justification);
    ArrangementImprovement(const ArrangementImprovement&) = delete;
    ArrangementImprovement& operator=(const ArrangementImprovement&) = delete;
    ~ArrangementImprovement();

    // Runs the next sweep (with the energy measured after it where the improvement needs it);
    // false when the improvement has ended.
    bool step();
    bool done() const;
    // What ImproveArrangement answers: the first sweep moved a node.
    bool moved() const;
    // Lets the improvement go without touching the layout's nodes or grid: for when they are
    // about to be destroyed or laid out afresh. Both keep the arrangement it started from.
    void abandon();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// One sweep, alternately downward and upward, with a blend factor that shrinks every second
// step. True when a node moved.
bool StepArrangement(ViewLayout& layout, Justification justification);

} // namespace tarvo
