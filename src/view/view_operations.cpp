// The operations the view's commands reach that come with the dialogs. Until those arrive each
// does nothing, so that every command and key already dispatches to its place.
#include "view/view_operations.h"

#include "view/net_view.h"

namespace tarvo {

void CycleFocus(NetView&, bool) {}
void PassKeyToNodeList(NetView&, int) {}
void ToggleLinkInspection(NetView&) {}
bool LinkInspectionOpen(const NetView&) {
    return false;
}
void RepaintLinkInspection(NetView&) {}
void ToggleInheritanceWindow(NetView&) {}
void OpenColoursDialog(NetView&) {}
void SelectRelation(NetView&) {}

} // namespace tarvo
