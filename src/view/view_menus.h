// What a view changes in the frame's menus and tool bar; the shell implements it.
#pragma once

#include "view/view_modes.h"

namespace tarvo {

class Node;
class ViewNode;

class ViewMenus {
public:
    virtual ~ViewMenus() = default;
    // The caption of the pop-up item at `item` of the menu at `menu` on the menu bar.
    virtual void setPopupCaption(int menu, int item, const char* caption) = 0;
    virtual void checkItem(int id, bool checked) = 0;
    virtual void enableItem(int id, bool enabled) = 0;
    // The tool bar group shows `value` (the index of its pressed button).
    virtual void showGroupValue(int group, int value) = 0;
    // The size-and-position caption of the frame.
    virtual void setSizeCaption(const char* caption) = 0;
    // The tool bar's node list: its drop-down closes, and it repaints.
    virtual void closeNodeListDropDown() = 0;
    virtual void repaintNodeList() = 0;
    // The node the node list has selected, and selecting one there; a node of the view's own.
    virtual ViewNode* nodeListSelection() const { return nullptr; }
    virtual void selectInNodeList(ViewNode*) {}
    // The tool bar's second list shows `relation` (null: its default entry) and takes input
    // only while `enabled`.
    virtual void showRelationChoice(Node*, bool) {}
    // The relation of the network the second list has selected, or null.
    virtual Node* relationListSelection() const { return nullptr; }
    // The font list of the tool bar goes out of sight when it shows.
    virtual void hideFontList() {}
    // Tab and Shift+Tab: the keyboard moves on among the view, the node list and the second
    // list (from the font list, back to the view).
    virtual void cycleFocus(bool) {}
    // A letter or digit typed in the view: the node list selects the first node whose label
    // starts with what was typed in a row, and the view goes there.
    virtual void typeInNodeList(char) {}
    // The label editor opened (true) or closed: the tool bar shows the editing buttons and the
    // font list, or the view's buttons and its node lists.
    virtual void showEditingTools(bool) {}
    // The font table index chosen in the tool bar's font list (-1: none); showing a font there;
    // showing the list with the keyboard focus in it.
    virtual int fontListSelection() const { return -1; }
    virtual void selectInFontList(int) {}
    virtual void showFontList() {}
    // Where views open was chosen in a view: the views opened from now on open so.
    virtual void rememberOpenAt(OpenAt) {}
};

// The "&View" menu's place on the menu bar; one further right while a document window is
// maximised, for the document's own menu.
inline constexpr int kViewMenuPosition = 2;

// Tool bar groups showing the options.
inline constexpr int kJustificationGroup = 0;
inline constexpr int kOrientationGroup = 3;
inline constexpr int kLineStyleGroup = 7;
inline constexpr int kDepthJustifyGroup = 9;
inline constexpr int kHighlightLinksGroup = 16;
inline constexpr int kDistanceNumberGroup = 17;
inline constexpr int kShadeGroup = 18;

} // namespace tarvo
