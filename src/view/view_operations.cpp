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
void OpenEditorAt(NetView&, platform::Point) {}
bool CloseEditor(NetView&, bool, bool) {
    return true;
}
void ReopenEditor(NetView&) {}
bool EditorContains(const NetView&, platform::Point) {
    return false;
}
void EditorMouseDown(NetView&, platform::Point) {}
void EditorMouseDrag(NetView&, platform::Point) {}
void EditorSelectAll(NetView&) {}
void EditorChar(NetView&, int, int) {}
bool EditorKey(NetView&, int, bool) {
    return false;
}
void EditorCtrlKey(NetView&, int, bool) {}
void EditorFocus(NetView&, bool) {}
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
