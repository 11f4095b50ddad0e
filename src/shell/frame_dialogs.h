// The windows the views open beside themselves, as the frame carries them out.
#pragma once

#include "view/view_dialogs.h"

namespace tarvo {

class MainFrame;

class FrameDialogs : public ViewDialogs {
public:
    explicit FrameDialogs(MainFrame& frame) : m_frame(frame) {}

    void toggleLinkInspection(NetView& view) override;
    bool linkInspectionOpen(const NetView& view) const override;
    void viewChanged(NetView& view) override;
    void toggleInheritanceWindow(NetView& view) override;
    void openColoursDialog(NetView& view) override;
    void relationChosen(NetView& view) override;

private:
    MainFrame& m_frame;
};

} // namespace tarvo
