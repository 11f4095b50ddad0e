// The two modeless windows that follow a view's current node: "Inspect links" (the node's links,
// to see and reorder) and the "Inheritance Dialog" (what the node stipulates and inherits, and
// what it overrides). One of each kind may be open, side by side.
#pragma once

#include "view/node_windows_content.h"

#include <QPointer>
#include <QRect>

class QWidget;

namespace tarvo {

class ErrorReport;
class InspectionWindow;
class NetView;
struct DialogSet;

enum class InspectionKind { Links, Report };

// Where a window of one kind stood when the last one closed, and how tall it was.
struct InspectionPlace {
    QRect frame;
    int height = 0;
};

// The inspection windows of one frame: one of each kind at most, opened in the frame's dialog
// set, and the places each kind is opened at again.
class InspectionWindows {
public:
    InspectionWindows(DialogSet& dialogs, ErrorReport& errors)
        : m_dialogs(dialogs), m_errors(errors) {}
    // Closes the windows still open.
    ~InspectionWindows();
    InspectionWindows(const InspectionWindows&) = delete;
    InspectionWindows& operator=(const InspectionWindows&) = delete;

    // F3: opens "Inspect links" on the view's current node, or closes it.
    void toggleLinkWindow(NetView& view);
    // Whether "Inspect links" is open on this view.
    bool linkWindowOpen(const NetView& view) const;
    // F4: opens the "Inheritance Dialog" on the view's current node, or closes it.
    void toggleInheritanceReport(NetView& view);
    // The view's current node, nodes or options changed: an open window of the view follows it.
    void viewChanged(NetView& view);
    // The view's tool bar chose another relation: an open "Inspect links" of the view shows its
    // links.
    void relationChosen(NetView& view);
    // Another view became the active one: an open window turns to it.
    void viewActivated(NetView& view);
    // The view goes: a window open on it closes.
    void viewClosing(NetView& view);
    // The open window of a kind, if any, and closing both.
    QWidget* openWindow(InspectionKind kind) const;
    void closeAll();
    // The places and the link scope the windows remembered are forgotten: the next ones open
    // where a new window would, showing the node's actual links.
    void forgetPlaces();
    // The connection scope the link window showed last, which the next one shows again.
    ConnectionScope& linkScope() { return m_linkScope; }

    // For the windows: the set they open in, where problems go, their kind's place, and a
    // window that goes.
    DialogSet& dialogs() const { return m_dialogs; }
    ErrorReport& errors() const { return m_errors; }
    InspectionPlace& place(InspectionKind kind) {
        return kind == InspectionKind::Links ? m_linksPlace : m_reportPlace;
    }
    void forget(const InspectionWindow* window);

private:
    QPointer<InspectionWindow>& slot(InspectionKind kind) {
        return kind == InspectionKind::Links ? m_links : m_report;
    }
    bool openOn(InspectionKind kind, const NetView& view) const;
    // Closes the open window of this kind; answers whether it was open on this view.
    bool closeToggled(InspectionKind kind, const NetView& view);
    // Runs `act` on each open window.
    template <class Act> void forEachWindow(Act act);

    DialogSet& m_dialogs;
    ErrorReport& m_errors;
    QPointer<InspectionWindow> m_links;
    QPointer<InspectionWindow> m_report;
    InspectionPlace m_linksPlace;
    InspectionPlace m_reportPlace;
    ConnectionScope m_linkScope = ConnectionScope::Actual;
};

} // namespace tarvo
