// The operations the view's commands reach in the windows around it: the focus among the view
// and the tool bar's lists, and the dialogs the shell gave the view.
#include "view/view_operations.h"

#include "layout/view_node.h"
#include "view/label_editor.h"
#include "view/net_view.h"
#include "view/view_dialogs.h"
#include "view/view_menus.h"
#include "view/view_options.h"

namespace tarvo {

void ToggleLinkInspection(NetView& view) {
    if (ViewDialogs* d = view.dialogs)
        d->toggleLinkInspection(view);
    // The menu item's check and the button follow the window at once.
    UpdateMenus(view);
}
bool LinkInspectionOpen(const NetView& view) {
    const ViewDialogs* d = view.dialogs;
    return d && d->linkInspectionOpen(view);
}
void RepaintLinkInspection(NetView& view) {
    if (ViewDialogs* d = view.dialogs)
        d->viewChanged(view);
}
void ToggleInheritanceWindow(NetView& view) {
    if (ViewDialogs* d = view.dialogs)
        d->toggleInheritanceWindow(view);
}
void OpenColoursDialog(NetView& view) {
    if (ViewDialogs* d = view.dialogs)
        d->openColoursDialog(view);
}
void SelectRelation(NetView& view) {
    // Remembered for the relation a new node is joined by, and shown again when the view comes
    // back to an entity.
    if (view.menus)
        view.selectedRelation = view.menus->relationListSelection();
    if (ViewDialogs* d = view.dialogs)
        d->relationChosen(view);
}

void CycleFocus(NetView& view, bool forward) {
    // Typing in the label editor on a link cursor, Tab commits the label and takes the editor
    // on to the next (or previous) node of the cursor's list.
    if (EditorOpen(view) && !view.editor->focusLost && view.currentLink && view.linkCursor.list &&
        view.linkCursor.list == view.currentLink->slotList(view.linkDirection)) {
        ViewNode* const from = view.current;
        StepSibling(view, forward ? 1 : -1);
        if (view.current != from && !EditorOpen(view))
            OpenEditor(view);
        return;
    }
    if (view.menus)
        view.menus->cycleFocus(forward);
}

void PassKeyToNodeList(NetView& view, int key) {
    const bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if (view.menus && letter)
        view.menus->typeInNodeList(static_cast<char>(key));
}

} // namespace tarvo
