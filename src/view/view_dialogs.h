// The windows a view opens beside itself: the link inspection and inheritance report windows
// (modeless, one of each kind, following the active view) and the colours dialog. Their
// windows belong to the shell, which gives each view what carries them out; without one the
// view's commands that open them do nothing.
#pragma once

namespace tarvo {

class NetView;

class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;
    // F3 (261): opens the link inspection window on the view's current node, or closes it.
    virtual void toggleLinkInspection(NetView& view) = 0;
    // Whether the link inspection window is open and belongs to the view.
    virtual bool linkInspectionOpen(const NetView& view) const = 0;
    // The view's current node, options or nodes changed: an open window of the view follows.
    virtual void viewChanged(NetView& view) = 0;
    // F4 (335): opens the inheritance report of the view's current node, or closes it.
    virtual void toggleInheritanceWindow(NetView& view) = 0;
    // F2 (329): the modal colours dialog.
    virtual void openColoursDialog(NetView& view) = 0;
    // The tool bar's relation list chose another relation (94).
    virtual void relationChosen(NetView&) {}
};

} // namespace tarvo
