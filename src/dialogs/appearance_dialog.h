// The "Appearance Options" dialog: the colours of the distance shades, tried out on a preview
// and on every open view before they are kept.
#pragma once

#include <functional>

namespace tarvo {

class NetView;

// Runs the dialog modally over the view's window; `repaintViews` repaints every open view (after
// Apply, OK, and Cancel going back to the colours from before).
void ShowAppearanceOptions(NetView* view, const std::function<void()>& repaintViews);

} // namespace tarvo
