// The views' windows: the inspection windows and the colours dialog, with every document
// window repainted when the colours change.
#include "shell/frame_dialogs.h"

#include "dialogs/appearance_dialog.h"
#include "dialogs/node_windows.h"
#include "shell/main_frame.h"

namespace tarvo {

void FrameDialogs::toggleLinkInspection(NetView& view) {
    m_frame.inspectionWindows().toggleLinkWindow(view);
}

bool FrameDialogs::linkInspectionOpen(const NetView& view) const {
    return m_frame.inspectionWindows().linkWindowOpen(view);
}

void FrameDialogs::viewChanged(NetView& view) {
    m_frame.inspectionWindows().viewChanged(view);
}

void FrameDialogs::toggleInheritanceWindow(NetView& view) {
    m_frame.inspectionWindows().toggleInheritanceReport(view);
}

void FrameDialogs::relationChosen(NetView& view) {
    m_frame.inspectionWindows().relationChosen(view);
}

void FrameDialogs::openColoursDialog(NetView& view) {
    ShowAppearanceOptions(m_frame.dialogs(), m_frame.colourChoosing(), m_frame.colours(), &view,
                          [this] { m_frame.refreshDocuments(); });
}

} // namespace tarvo
