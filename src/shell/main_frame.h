// The frame window "MdiNetFrame": the tool bar above the multiple-document area, the two menu
// bars, the accelerators, the network file commands and the routing of every other command
// to the active document window.
#pragma once

#include "diagnostics/diagnostics.h"
#include "dialogs/appearance_dialog.h"
#include "dialogs/dialog_base.h"
#include "dialogs/node_windows.h"
#include "dialogs/partition_choice.h"
#include "labels/colours.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "platform/ui.h"
#include "shell/button_sets.h"
#include "shell/frame_dialogs.h"
#include "shell/frame_menus.h"
#include "view/view_modes.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <utility>

class QMdiArea;
class QMdiSubWindow;

namespace platform {
class Settings;
}

namespace tarvo {

class DocumentWindow;
class ErrorReport;
class Network;
struct PointerState;
class Node;
class ToolBar;
class ViewNode;

// The open and save dialogs' shared record: the chosen path and the file's title (its name).
struct FileChoice {
    std::string path;
    std::string title;
};

// Answers the file dialog of the frame: save or open; fills the choice and answers true when a
// file was chosen. Tests put their own in place of the real dialog.
using FileDialogRunner = std::function<bool(QWidget* owner, bool save, FileChoice& choice)>;
// What a read of a network file tells of its progress (see ReadProgress): made for each read,
// gone with it. The frame's own shows a progress bar with Cancel once a read has taken half a
// second; false from it cancels the read.
using ReadProgressMaker =
    std::function<std::function<bool(long long done, long long total)>(QWidget* owner)>;
// The real dialog with the frame's filters, initial folder "Databases" and default extension.
bool RunFileDialog(QWidget* owner, bool save, FileChoice& choice);

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The frame reads how views open from `settings` and writes there what the user changes;
    // it asks the user through `ui` and tells of problems through `errors`. All three outlive
    // the frame. The button file "BUTTS.DEF" of the working folder is read now.
    MainFrame(platform::Settings& settings, platform::Ui& ui, ErrorReport& errors,
              QWidget* parent = nullptr);
    ~MainFrame() override;

    QMdiArea* client() const { return m_client; }
    ToolBar* toolBar() const { return m_toolBar; }
    ErrorReport& errors() const { return m_errors; }
    // The frame's dialogs and what they keep from one run to the next.
    DialogSet& dialogs() { return m_dialogSet; }
    InspectionWindows& inspectionWindows() { return m_inspection; }
    ColourChoosing& colourChoosing() { return m_colourChoosing; }
    // The colours every view of the frame is drawn in.
    ColourState& colours() { return m_colours; }
    const PartitionChoices& partitionChoices() const { return m_partition; }
    // What the views open beside themselves, and the mouse they share.
    ViewDialogs& viewDialogs() { return m_viewDialogs; }
    const std::shared_ptr<PointerState>& pointer() const { return m_pointer; }
    // The two button sets of the tool bar.
    ButtonDefinitions& buttons() { return m_buttons; }
    // The file dialog (RunFileDialog unless a test answers it).
    void setFileDialogRunner(FileDialogRunner runner) { m_fileDialog = std::move(runner); }
    // The progress of reading network files (a progress dialog unless a test answers it).
    void setReadProgressMaker(ReadProgressMaker maker) { m_readProgress = std::move(maker); }

    // The start-up: the splash box stands while the start-up network loads.
    void startUp();

    // The network file to load (the start-up network relative to the working folder, a chosen
    // one as chosen), and the dialogs' record: Save writes where the network was read from.
    const std::string& networkPath() const { return m_networkPath; }
    void setNetworkPath(const std::string& path) { m_networkPath = path; }
    const FileChoice& fileChoice() const { return m_file; }
    // The open network: an empty one until the first load.
    Network& network() { return *m_network; }

    // Reads the shape file and the network at the network path and refills the font list;
    // false when the network file could not be opened, or its reading was cancelled, which
    // leaves the network open before as it was.
    bool loadNetwork();
    // Asks the partition dialog for a node and opens a document window on it; 1 when one opened.
    int openDocument(const std::string& title);
    // "Save current changes in %s?": yes (after a successful save), no or cancel.
    platform::Answer askSaveChanges(const std::string& name);
    // "Tarvo++ - title", "(untitled)" for an empty title.
    void setFrameTitle(const std::string& title);
    // A warning box captioned "Tarvo++" with the format applied to the name.
    void fileMessage(const char* format, const std::string& name);

    DocumentWindow* activeDocument() const;
    QList<DocumentWindow*> documents() const;
    // The menu bar shown now.
    MenuBarKind shownMenuBar() const { return m_shown; }
    const MenuBarItems& menuItems(MenuBarKind kind) const {
        return kind == MenuBarKind::Init ? m_init : m_view;
    }

    // What the views change in the menus and tool bar.
    void SetMenuAndButton(int menuId, int command, bool enabled, bool checked);
    void SetMenuAndButtonEnabled(int menuId, int command, bool enabled);
    void checkMenuAndButton(int id, bool checked);
    void setViewPopupCaption(int menu, int item, const char* caption);
    void showGroupValue(int group, int value);
    void setSizeCaption(const char* caption);
    void closeNodeListDropDown();
    void repaintNodeList();
    ViewNode* nodeListSelection() const;
    void selectInNodeList(ViewNode* node);
    void showRelationChoice(Node* relation, bool enabled);
    Node* relationListSelection() const;
    void hideFontList();
    // The font table index the font list has chosen (-1 for none), choosing one there, and
    // showing the list with the keyboard in it.
    int fontListSelection() const;
    void selectInFontList(int font);
    void showFontList();
    // The keyboard moves on among the active view and the tool bar's node and relation lists.
    void cycleFocus(bool forward);
    // Typing in the view selects by label in the node list, and the view goes to the node.
    void typeInNodeList(char typed);
    // The "NetEdit" buttons and the font list while a label is edited, else the "Net" buttons
    // and the node lists.
    void showEditingTools(bool editing);

    // A document window is closing: the caption shows no title any more.
    void documentClosing(DocumentWindow* document);
    // Every document window redraws (the colours changed).
    void refreshDocuments();
    QSize defaultDocumentSize() const;
    // Where new views open: the last choice made in a view, kept in the settings.
    OpenAt openViewsAt() const { return m_openViewsAt; }
    void setOpenViewsAt(OpenAt where);
    // The label size new views at readable size open with, kept in the settings; a size out of
    // range is brought into it. The active view, when it opens at readable size, opens again
    // at the new size, so that the user sees what the choice does.
    int readablePoints() const { return m_readablePoints; }
    void setReadablePoints(int points);

    // Carries out `id` once the current event is finished (out of memory: the Exit command).
    void postCommand(int id);

public Q_SLOTS:
    // Carries out a command of the menus, accelerators or tool bar; answers the command's result.
    int command(int id);

Q_SIGNALS:
    // A command went on to the active document window.
    void commandRouted(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void createAccelerators();
    void showMenuBar(MenuBarKind kind);
    void fillWindowList(QMenu* menu);
    void documentActivated(QMdiSubWindow* window);
    void activate(DocumentWindow* document);
    void deactivate();
    void fillNodeList(DocumentWindow* document);
    void fillRelationList();
    void paintListItem(int list, int index, QPainter& painter, const QRect& rect, bool selected);

    int selectNetwork();
    int openPartition();
    int save();
    int saveAs();
    int closeActive();
    int closeAll();
    // "Readable Label Size...": asks for the size in points; 1 when one was set.
    int askReadablePoints();
    // Before another network replaces this one: the save question, then the documents close.
    bool letNetworkGo();
    // A network read from a file with the shape file, what went wrong and whether the file
    // opened; no network when its reading was cancelled.
    struct ReadResult {
        std::unique_ptr<Network> network;
        Diagnostics problems;
        bool opened = false;
    };
    ReadResult readNetwork(const std::string& path);
    // The network read becomes the frame's: its fonts join the font table and the tool bar's
    // list, and its problems show. Answers whether its file opened.
    bool adoptNetwork(ReadResult read);

    platform::Settings& m_settings;
    platform::Ui& m_ui;
    ErrorReport& m_errors;
    // The dialogs go before the set they stand in.
    DialogSet m_dialogSet;
    InspectionWindows m_inspection{m_dialogSet, m_errors};
    ColourChoosing m_colourChoosing;
    ColourState m_colours;
    PartitionChoices m_partition;
    ButtonDefinitions m_buttons;
    FileDialogRunner m_fileDialog;
    ReadProgressMaker m_readProgress;
    std::shared_ptr<PointerState> m_pointer;
    OpenAt m_openViewsAt = OpenAt::Readable;
    int m_readablePoints = 0;
    QMdiArea* m_client;
    ToolBar* m_toolBar;
    MenuBarItems m_init;
    MenuBarItems m_view;
    MenuBarKind m_shown = MenuBarKind::Init;
    DocumentWindow* m_active = nullptr;
    std::string m_networkPath;
    std::unique_ptr<Network> m_network = std::make_unique<Network>();
    FileChoice m_file;
    // What was typed into the node list in a row, and when the last key came.
    QString m_typed;
    QElapsedTimer m_lastTyped;
    // What the views open beside themselves.
    FrameDialogs m_viewDialogs{*this};
};

// The heap's reports in the program: running out of memory is a fatal error box followed by
// the frame's Exit command, and the heap's notices are message boxes.
class ProgramHeapReporter : public HeapReporter {
public:
    ProgramHeapReporter(platform::Ui& ui, ErrorReport& errors) : m_ui(ui), m_errors(errors) {}

    // The frame that exits after memory ran out; none before it is made and after it goes.
    void setFrame(MainFrame* frame) { m_frame = frame; }

    void outOfMemory(const char* message) override;
    void notice(const char* caption, const char* text, bool error) override;

private:
    platform::Ui& m_ui;
    ErrorReport& m_errors;
    QPointer<MainFrame> m_frame;
};

} // namespace tarvo
