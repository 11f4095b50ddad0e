// The operations the view's commands reach that come with moving through the network, editing
// it, the label editor and the dialogs. Until those arrive each does nothing, so that every
// command and key already dispatches to its place.
#include "view/view_operations.h"

#include "view/net_view.h"

namespace tarvo {

void ChooseCurrentLink(NetView& view) {
    view.currentLink = nullptr;
}
void GoToNode(NetView&, ViewNode*, int, bool) {}
void StepSibling(NetView&, int) {}
void EnterSlot(NetView&, int) {}
void EnterRelationSlot(NetView&, int) {}
void GoToLayerEnd(NetView&, bool, bool) {}
void MoveAlongLayer(NetView&, int) {}
void MoveAcrossLayers(NetView&, int) {}
void Page(NetView&, int) {}
void ShowCurrent(NetView&) {}
void GoToListSelection(NetView&) {}
void UpdateSpotlightMenu(NetView&) {}
void ReduceSpotlight(NetView&) {}
void ExpandSpotlight(NetView&) {}
void RevealNetwork(NetView&) {}
void ToggleSlotHidden(NetView&, int) {}

void UndoLastChange(NetView&) {}
void DeleteCurrentNode(NetView&) {}
void InsertNode(NetView&, bool, bool) {}

bool EditorOpen(const NetView& view) {
    return view.editor != nullptr;
}
bool EditorCanUndo(const NetView&) {
    return false;
}
void OpenEditor(NetView&) {}
void CloseEditor(NetView&, bool) {}
void ReopenEditor(NetView&) {}
void ApplyFormat(NetView&, int, int) {}
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
