// Lowering the energy of an arrangement: how much longer than ideal its links are, and the
// barycentre sweeps that shorten them.
#pragma once

#include "layout/layout_modes.h"

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
// One sweep, alternately downward and upward, with a blend factor that shrinks every second
// step. True when a node moved.
bool StepArrangement(ViewLayout& layout, Justification justification);

} // namespace tarvo
