// What the view's commands and keys reach beyond its options, scale and drawing: moving
// through the network, editing it, the label editor and the dialogs. Each operation takes the
// view it acts on.
#pragma once

#include <cstdint>

namespace tarvo {

class NetView;
class ViewNode;

// Moving: the link cursor and the grid.
void ChooseCurrentLink(NetView& view);
void GoToNode(NetView& view, ViewNode* node, int linkMode, bool scroll);
void StepSibling(NetView& view, int step);
void EnterSlot(NetView& view, int slot);
void EnterRelationSlot(NetView& view, int slot);
void GoToLayerEnd(NetView& view, bool lastLayer, bool lastSlot);
void MoveAlongLayer(NetView& view, int step);
void MoveAcrossLayers(NetView& view, int step);
void Page(NetView& view, int step);
void ShowCurrent(NetView& view);
void GoToListSelection(NetView& view);
void UpdateSpotlightMenu(NetView& view);
void ReduceSpotlight(NetView& view);
void ExpandSpotlight(NetView& view);
void RevealNetwork(NetView& view);
void ToggleSlotHidden(NetView& view, int slot);

// Editing the network.
void UndoLastChange(NetView& view);
void DeleteCurrentNode(NetView& view);
void InsertNode(NetView& view, bool asChild, bool byRelation);

// The label editor.
bool EditorOpen(const NetView& view);
bool EditorCanUndo(const NetView& view);
void OpenEditor(NetView& view);
void CloseEditor(NetView& view, bool commit);
void ReopenEditor(NetView& view);
void ApplyFormat(NetView& view, int kind, int value);
void ApplyFont(NetView& view);
void ShowFontList(NetView& view);
void RepaintEditor(NetView& view);
void UpdateSizeCaption(NetView& view);

// The windows around the view.
void CycleFocus(NetView& view, bool forward);
void PassKeyToNodeList(NetView& view, int key);
void ToggleLinkInspection(NetView& view);
bool LinkInspectionOpen(const NetView& view);
void RepaintLinkInspection(NetView& view);
void ToggleInheritanceWindow(NetView& view);
void OpenColoursDialog(NetView& view);
void SelectRelation(NetView& view);

} // namespace tarvo
