// The views' windows: the inspection windows and the colours dialog, with every document
// window repainted when the colours change.
#include "shell/frame_dialogs.h"

#include "dialogs/appearance_dialog.h"
#include "dialogs/node_windows.h"
#include "shell/main_frame.h"

namespace tarvo {

void FrameDialogs::toggleLinkInspection(NetView& view) {
    ToggleLinkWindow(view);
}

bool FrameDialogs::linkInspectionOpen(const NetView& view) const {
    return LinkWindowOpen(view);
}

void FrameDialogs::viewChanged(NetView& view) {
    InspectionViewChanged(view);
}

void FrameDialogs::toggleInheritanceWindow(NetView& view) {
    ToggleInheritanceReport(view);
}

void FrameDialogs::relationChosen(NetView& view) {
    InspectionRelationChosen(view);
}

void FrameDialogs::openColoursDialog(NetView& view) {
    ShowAppearanceOptions(&view, [this] { m_frame.refreshDocuments(); });
}

} // namespace tarvo
