// The "Appearance Options" dialog: the colours of the distance shades, tried out on a preview
// and on every open view before they are kept.
#pragma once

#include <QColor>

#include <array>
#include <functional>
#include <optional>

namespace tarvo {

class NetView;
struct ColourState;
struct DialogSet;

// How the dialog asks the user for a colour, started on `initial`: the chosen colour, or none
// when the user cancels.
using ColourChooser = std::function<std::optional<QColor>(QColor initial)>;

// What the dialog keeps for its frame from one run to the next.
struct ColourChoosing {
    ColourChoosing();
    // The system chooser's custom colours: white at first, then as the user left them (not
    // taken from what the toolkit may have saved elsewhere).
    std::array<QColor, 16> customColours;
    // How a colour is chosen; none: the system chooser with the custom colours. Tests put
    // their own answer here.
    ColourChooser chooser;
};

// Runs the dialog modally in `set`, over the main frame that holds the view's window, on the
// views' `colours`; `repaintViews` repaints every open view (after Apply, OK, and Cancel going
// back to the colours from before).
void ShowAppearanceOptions(DialogSet& set, ColourChoosing& choosing, ColourState& colours,
                           NetView* view, const std::function<void()>& repaintViews);

} // namespace tarvo
