// What the view's commands and keys reach beyond its options, scale and drawing: moving
// through the network, editing it, the label editor and the dialogs. Each operation takes the
// view it acts on.
#pragma once

#include "platform/display.h"

#include <cstdint>

namespace tarvo {

class NetView;
class NodeList;
class ViewNode;

// Moving: the link cursor and the grid (navigation.cpp).
void ChooseCurrentLink(NetView& view);
// Makes `node` current. linkMode 0 keeps the current link, 1 makes the old current node the
// current link, 2 chooses one, 4 and 5 make `link` the current link over the parents (4) or
// the children (5). With `selectInList` the tool bar's node list shows the new node.
void GoToNode(NetView& view, ViewNode* node, int linkMode, ViewNode* link = nullptr,
              bool selectInList = false);
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
// The menu commands act on the current node's parents (slot 0) or children (1).
void ToggleSlotHidden(NetView& view, int slot);
void ToggleSlotHidden(NetView& view, ViewNode* node, int slot, bool fromMouse);
void ToggleNodeHidden(NetView& view, ViewNode* node);
void RevealPathTo(NetView& view, ViewNode* node);

// Editing the network (view_editing.cpp). Each answers whether it issued its edit.
bool UndoLastChange(NetView& view);
bool DeleteCurrentNode(NetView& view);
// A new parent or child of the current node, by isa or (byRelation) by a new relation, with
// the label text given (empty: an anonymous node), at a position in the slot (-1: the end).
bool InsertNode(NetView& view, bool asChild, bool byRelation, const char* label = "",
                int position = -1);
// Gives the node's slot the order of `order` (the view's nodes); the list stays the caller's.
bool ReorderSlot(NetView& view, ViewNode* node, int slot, const NodeList* order);
// Replaces the current node's label text (internal form).
bool SetLabel(NetView& view, ViewNode* node, const char* text);

// The label editor, drawn over the current node (label_editor.cpp).
bool EditorOpen(const NetView& view);
bool EditorCanUndo(const NetView& view);
// Opens the editor on the current node, the caret at the end of its text, or at the text
// position under `at` (window pixels).
void OpenEditor(NetView& view);
void OpenEditorAt(NetView& view, platform::Point at);
// Closes the editor, committing its text as the label (with undo) or not. False when the commit
// was refused (the name belongs to another node): the editor then stays open. `keepToolBar`
// leaves the editing buttons in place for an editor about to open again.
bool CloseEditor(NetView& view, bool commit, bool keepToolBar = false);
// Throws away every edit since the editor opened, and opens it again on the same node.
void ReopenEditor(NetView& view);
// Whether the point (window pixels) lies in the open editor's rectangle.
bool EditorContains(const NetView& view, platform::Point at);
// A button press in the editor puts the caret there; a drag extends the selection to the point.
void EditorMouseDown(NetView& view, platform::Point at);
void EditorMouseDrag(NetView& view, platform::Point at);
void EditorSelectAll(NetView& view);
// A typed character (Windows-1252; Backspace is 8), `repeat` times (at most 20).
void EditorChar(NetView& view, int character, int repeat);
// A key without Ctrl (view key codes, after the arrow mapping); false when the editor does not
// use it, which then goes on to the view.
bool EditorKey(NetView& view, int key, bool shift);
// A key with Ctrl: word moves, select all, the clipboard, accent keys.
void EditorCtrlKey(NetView& view, int key, bool shift);
// The view window lost (or regained) the keyboard focus.
void EditorFocus(NetView& view, bool lost);
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
