// The "Appearance Options" dialog: the colours of the distance shades, tried out on a preview
// and on every open view before they are kept.
#pragma once

#include <QColor>

#include <functional>
#include <optional>

namespace tarvo {

class NetView;

// Runs the dialog modally over the main frame that holds the view's window; `repaintViews`
// repaints every open view (after Apply, OK, and Cancel going back to the colours from before).
void ShowAppearanceOptions(NetView* view, const std::function<void()>& repaintViews);

// How the dialog asks the user for a colour, started on `initial`: the chosen colour, or none
// when the user cancels. By default the system colour chooser with the program's 16 custom
// colours; tests put their own answer here.
using ColourChooser = std::function<std::optional<QColor>(QColor initial)>;
ColourChooser& colourChooser();

} // namespace tarvo
