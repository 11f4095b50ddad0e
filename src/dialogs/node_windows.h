// The two modeless windows that follow a view's current node: "Inspect links" (the node's links,
// to see and reorder) and the "Inheritance Dialog" (what the node stipulates and inherits, and
// what it overrides). One of each kind may be open, side by side.
#pragma once

class QWidget;

namespace tarvo {

class NetView;

// F3: opens "Inspect links" on the view's current node, or closes it.
void ToggleLinkWindow(NetView& view);
// Whether "Inspect links" is open on this view.
bool LinkWindowOpen(const NetView& view);
// F4: opens the "Inheritance Dialog" on the view's current node, or closes it.
void ToggleInheritanceReport(NetView& view);
// The view's current node, nodes or options changed: an open window of the view follows it.
void InspectionViewChanged(NetView& view);
// The view's tool bar chose another relation: an open "Inspect links" of the view shows its
// links.
void InspectionRelationChosen(NetView& view);
// Another view became the active one: an open window turns to it.
void InspectionViewActivated(NetView& view);
// The view goes: a window open on it closes.
void InspectionViewClosing(NetView& view);
enum class InspectionKind { Links, Report };
// The open window of a kind, if any, and closing both at shutdown.
QWidget* OpenInspectionWindow(InspectionKind kind);
void CloseInspectionWindows();
// The places and the link scope the windows remembered are forgotten: the next ones open where
// a new window would, showing the node's actual links.
void ForgetInspectionPlaces();

} // namespace tarvo
