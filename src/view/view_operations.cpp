// The operations the view's commands reach that come with the label editor and the dialogs.
// Until those arrive each does nothing, so that every command and key already dispatches to
// its place.
#include "view/view_operations.h"

#include "view/net_view.h"

namespace tarvo {

bool EditorOpen(const NetView& view) {
    return view.editor != nullptr;
}
bool EditorCanUndo(const NetView&) {
    return false;
}
void OpenEditor(NetView&) {}
void CloseEditor(NetView&, bool) {}
void ReopenEditor(NetView&) {}
void ApplyFont(NetView&) {}
void ShowFontList(NetView&) {}
void RepaintEditor(NetView&) {}
void UpdateSizeCaption(NetView&) {}

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
