// The "Appearance Options" dialog.
#include "dialogs/appearance_dialog.h"

namespace tarvo {

void ShowAppearanceOptions(NetView*, const std::function<void()>&) {}

} // namespace tarvo
