// Distances from a view's current node, and the spotlight that hides what lies beyond one.
#pragma once

namespace tarvo {

class NetView;

// Gives every node its distance from the current node (fillers do not count as steps), marks
// the nodes whose distance changed, and gathers the view's distance statistics.
void MeasureDistances(NetView& view);
// With `hideBeyond` 1, hides the shown nodes farther than `distance`; with 0, shows the hidden
// nodes up to `distance`. True when a node changed.
bool SetSpotlight(NetView& view, int distance, int hideBeyond);

} // namespace tarvo
