// The frame's two menu bars: "INIT", shown while no document window is active, and "VIEW",
// shown while one is; built from one table of captions and command ids.
#pragma once

#include <QList>

#include <map>

class QAction;
class QMenu;
class QWidget;

namespace tarvo {

enum class MenuBarKind { Init, View };

struct MenuBarItems {
    // The pop-ups of the bar, left to right.
    QList<QMenu*> popups;
    // Every command item of the bar by its command id.
    std::map<int, QAction*> items;
    // The pop-up whose end lists the document windows.
    QMenu* windowList = nullptr;
};

// Makes the pop-ups of the menu bar as children of `owner`. Each item carries its command id as
// its data; the shortcut texts after a tab are only shown, since the view reads those keys
// itself. Items no window handles are greyed.
MenuBarItems BuildMenuBar(MenuBarKind kind, QWidget* owner);

// The commands no window handles.
bool IsUnhandledCommand(int id);

// The accelerators of the frame: key sequence text and command id.
struct Accelerator {
    const char* keys;
    int command;
};
extern const Accelerator kAccelerators[11];

} // namespace tarvo
