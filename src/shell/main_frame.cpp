// The frame window.
#include "shell/main_frame.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "diagnostics/error_report.h"
#include "dialogs/about_box.h"
#include "dialogs/ask_dialogs.h"
#include "dialogs/dialog_base.h"
#include "dialogs/node_windows.h"
#include "dialogs/partition_choice.h"
#include "dialogs/partition_dialog.h"
#include "dialogs/shown_label.h"
#include "edit/changes.h"
#include "labels/font_table.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_text.h"
#include "platform/settings.h"
#include "platform/ui.h"
#include "shell/button_sets.h"
#include "shell/document_window.h"
#include "shell/frame_rules.h"
#include "shell/net_view_widget.h"
#include "shell/tool_bar.h"
#include "shell/view_preferences.h"
#include "view/commands.h"
#include "view/net_view.h"
#include "view/view_menus.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
#include "view/view_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {
namespace {

void addToFontList(QComboBox* list, int index, const FontEntry& entry) {
    list->addItem(platform::qt::toQString(entry.fullName[0] ? entry.fullName : entry.font.faceName),
                  index);
}

int wholeWidth(int total, int count, int index) {
    return total * (index + 1) / count - total * index / count;
}

} // namespace

bool RunFileDialog(QWidget* owner, bool save, FileChoice& choice) {
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters({QStringLiteral("Network Files (*.DAT) (*.dat *.DAT)"),
                           QStringLiteral("Text Files (*.TXT) (*.txt *.TXT)"),
                           QStringLiteral("ASCII Files (*.ASC) (*.asc *.ASC)"),
                           QStringLiteral("All Files (*.*) (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (!choice.path.empty())
        dialog.selectFile(platform::qt::toQString(choice.path));
    else
        dialog.setDirectory(QStringLiteral("Databases"));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setWindowTitle(QStringLiteral("Save As"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setWindowTitle(QStringLiteral("Open"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().constFirst();
    choice.path = platform::qt::fromQString(chosen);
    choice.title = platform::qt::fromQString(QFileInfo(chosen).fileName());
    return true;
}

MainFrame::MainFrame(platform::Settings& settings, platform::Ui& ui, ErrorReport& errors,
                     QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_ui(ui), m_errors(errors),
      m_fileDialog(RunFileDialog), m_pointer(MakePointerState()), m_client(new QMdiArea),
      m_toolBar(new ToolBar) {
    Diagnostics problems;
    LoadButtonDefinitions(m_buttons, "BUTTS.DEF", &problems);
    m_errors.showDiagnostics(problems);
    // The highlight tint comes from the system's selection colour.
    const QColor highlight = QGuiApplication::palette().color(QPalette::Highlight);
    InitColourTable(m_colours, {static_cast<std::uint8_t>(highlight.red()),
                                static_cast<std::uint8_t>(highlight.green()),
                                static_cast<std::uint8_t>(highlight.blue())});
    const ViewPreferences preferences = ReadViewPreferences(m_settings);
    m_openViewsAt = preferences.openAt;
    m_readablePoints = preferences.readablePoints;
    setObjectName(QStringLiteral("MdiNetFrame"));
    setWindowTitle(QString::fromLatin1(kProgramCaption));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));
    // The tool bar at the top, full width; the document area takes the rest.
    auto* inside = new QWidget(this);
    auto* layout = new QVBoxLayout(inside);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_client, 1);
    m_client->setObjectName(QStringLiteral("MDICLIENT"));
    m_client->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(inside);

    m_init = BuildMenuBar(MenuBarKind::Init, this);
    m_view = BuildMenuBar(MenuBarKind::View, this);
    for (const MenuBarItems* bar : {&m_init, &m_view}) {
        for (const auto& [id, item] : bar->items)
            connect(item, &QAction::triggered, this, [this, id = id] { command(id); });
        QMenu* list = bar->windowList;
        connect(list, &QMenu::aboutToShow, this, [this, list] { fillWindowList(list); });
    }
    showMenuBar(MenuBarKind::Init);
    createAccelerators();

    connect(m_toolBar, &ToolBar::commandChosen, this, [this](int id) { command(id); });
    connect(m_toolBar, &ToolBar::listOpening, this, [this](int id) {
        if (id == kNodeList)
            fillNodeList(m_active);
        else if (id == kRelationList)
            fillRelationList();
    });
    m_toolBar->setListItemPainter(
        [this](int list, int index, QPainter& painter, const QRect& rect, bool selected) {
            paintListItem(list, index, painter, rect, selected);
        });
    connect(m_client, &QMdiArea::subWindowActivated, this, &MainFrame::documentActivated);
    // Most of the screen, with room left around the frame.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() : QSize(1024, 768);
    resize(std::max(640, available.width() * 4 / 5), std::max(480, available.height() * 4 / 5));
    // Dialogs opened without an owner belong to the frame.
    m_dialogSet.mainFrame = this;
}

MainFrame::~MainFrame() {
    // The documents go while the frame is whole: their views still tell it what they change.
    m_inspection.closeAll();
    deactivate();
    const QList<QMdiSubWindow*> windows = m_client->subWindowList();
    for (QMdiSubWindow* window : windows)
        delete window;
    // A window closed but not yet deleted is no longer in the area's list; it goes now too, so
    // that every view goes before the network it shows.
    const QList<DocumentWindow*> closed = findChildren<DocumentWindow*>();
    for (const QPointer<DocumentWindow>& document :
         QList<QPointer<DocumentWindow>>(closed.begin(), closed.end()))
        delete document.data();
    // The tool bar lives on to the end of the window; the buttons go with the frame's parts.
    m_toolBar->setButtonSet(nullptr);
}

void MainFrame::createAccelerators() {
    for (const Accelerator& accelerator : kAccelerators) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(QString::fromLatin1(accelerator.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this,
                [this, id = accelerator.command] { command(id); });
        addAction(action);
    }
}

void MainFrame::startUp() {
    ShowAbout(m_dialogSet, true, [this] {
        m_networkPath = kStartupNetwork;
        loadNetwork();
    });
}

namespace {

// A progress bar with Cancel over the frame, shown once a read has taken half a second.
ReadProgress progressDialog(QWidget* owner) {
    auto dialog = std::make_shared<QProgressDialog>(QStringLiteral("Reading the network..."),
                                                    QStringLiteral("Cancel"), 0, 1000, owner);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(500);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setValue(0);
    return [dialog](long long done, long long total) {
        // Without a size (a pipe) the bar only moves.
        const int value = total > 0
                              ? static_cast<int>(std::min<long long>(1000, done * 1000 / total))
                              : (dialog->value() + 1) % 1000;
        // Also lets the windows paint and the Cancel button be pressed.
        dialog->setValue(value);
        QCoreApplication::processEvents();
        return !dialog->wasCanceled();
    };
}

} // namespace

MainFrame::ReadResult MainFrame::readNetwork(const std::string& path) {
    ReadResult read;
    auto network = std::make_unique<Network>();
    ReadShapeFile(shapesOf(*network), "poly.dat", &read.problems);
    const ReadProgress progress = m_readProgress ? m_readProgress(this) : progressDialog(this);
    bool cancelled = false;
    read.opened = ReadNetworkFile(*network, path.c_str(), &read.problems,
                                  [&](long long done, long long total) {
                                      cancelled = cancelled || !progress(done, total);
                                      return !cancelled;
                                  });
    // What was read of a cancelled file goes; the font table has not seen it.
    if (!cancelled)
        read.network = std::move(network);
    return read;
}

bool MainFrame::adoptNetwork(ReadResult read) {
    ReconcileFonts(*read.network);
    QComboBox* fonts = m_toolBar->list(kFontList);
    fonts->clear();
    ChoosePreferredFonts(
        [fonts](int index, const FontEntry& entry) { addToFontList(fonts, index, entry); });
    // The views of the network before were closed with it; none of them points into it.
    m_network = std::move(read.network);
    m_errors.showDiagnostics(read.problems);
    return read.opened;
}

bool MainFrame::loadNetwork() {
    ReadResult read = readNetwork(m_networkPath);
    if (!read.network)
        return false;
    return adoptNetwork(std::move(read));
}

int MainFrame::openDocument(const std::string& title) {
    if (!m_network->table())
        return 0;
    Node* node = ChoosePartition(m_dialogSet, m_partition, *m_network, m_colours);
    if (!node)
        return 0;
    auto* document = new DocumentWindow(*this, node, title, m_partition.revealDistance);
    m_client->addSubWindow(document);
    document->show();
    return 1;
}

platform::Answer MainFrame::askSaveChanges(const std::string& name) {
    const std::string text = SaveQuestionText(name);
    platform::Answer answer = m_ui.messageBox(
        kProgramCaption, text.c_str(), platform::Buttons::YesNoCancel, platform::Icon::Question);
    if (answer == platform::Answer::Yes && command(cmd::kSave) == 0)
        answer = platform::Answer::Cancel;
    return answer;
}

void MainFrame::setFrameTitle(const std::string& title) {
    setWindowTitle(platform::qt::toQString(FrameTitle(title)));
}

void MainFrame::fileMessage(const char* format, const std::string& name) {
    const std::string text = FileMessageText(format, name);
    m_ui.messageBox(kProgramCaption, text.c_str(), platform::Buttons::Ok, platform::Icon::Warning);
}

int MainFrame::command(int id) {
    switch (id) {
    case cmd::kTileHorizontal:
    case cmd::kTileVertical: {
        // Horizontal tiling stacks the windows one above the other; vertical sets them side by
        // side. Minimised ones keep their places.
        std::vector<QMdiSubWindow*> shown;
        for (QMdiSubWindow* w : m_client->subWindowList())
            if (!w->isMinimized() && !w->isHidden())
                shown.push_back(w);
        const int n = static_cast<int>(shown.size());
        const QRect area = m_client->viewport()->rect();
        int offset = 0;
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow* w = shown[static_cast<std::size_t>(i)];
            if (w->isMaximized())
                w->showNormal();
            if (id == cmd::kTileHorizontal) {
                const int h = wholeWidth(area.height(), n, i);
                w->setGeometry(0, offset, area.width(), h);
                offset += h;
            } else {
                const int wd = wholeWidth(area.width(), n, i);
                w->setGeometry(offset, 0, wd, area.height());
                offset += wd;
            }
        }
        return 1;
    }
    case cmd::kCascade:
        m_client->cascadeSubWindows();
        return 1;
    case cmd::kArrangeIcons: {
        // Minimised windows line up along the bottom edge of the document area.
        const QRect area = m_client->viewport()->rect();
        int x = 0;
        int y = area.bottom() + 1;
        for (QMdiSubWindow* w : m_client->subWindowList()) {
            if (!w->isMinimized())
                continue;
            const QSize size = w->size();
            if (x > 0 && x + size.width() > area.width()) {
                x = 0;
                y -= size.height();
            }
            w->move(x, y - size.height());
            x += size.width();
        }
        return 1;
    }
    case cmd::kCloseAll:
        return closeAll();
    case cmd::kExit:
        close();
        return 1;
    case cmd::kAbout:
        ShowAbout(m_dialogSet, false);
        return 1;
    case cmd::kSelectNetwork:
        return selectNetwork();
    case cmd::kSave:
        return save();
    case cmd::kSaveAs:
        return saveAs();
    case cmd::kOpenPartition:
        return openPartition();
    case cmd::kClose:
        return closeActive();
    case cmd::kReadableLabelSize:
        return askReadablePoints();
    default:
        break;
    }
    if (IsUnhandledCommand(id))
        return 0;
    DocumentWindow* document = activeDocument();
    if (!document)
        return 0;
    Q_EMIT commandRouted(id);
    return document->command(id) ? 1 : 0;
}

bool MainFrame::letNetworkGo() {
    if (changes(*m_network).history && askSaveChanges(m_networkPath) == platform::Answer::Cancel)
        return false;
    closeAll();
    if (!m_client->subWindowList().isEmpty())
        return false;
    // The records and the views all point into this network; none of them outlives it.
    m_network = std::make_unique<Network>();
    return true;
}

int MainFrame::selectNetwork() {
    FileChoice choice = m_file;
    if (!m_fileDialog(this, false, choice)) {
        // Cancelled: another window on the network already loaded.
        const int opened = openDocument(m_file.title);
        setFrameTitle(m_file.title);
        return opened;
    }
    // Only files in a "Databases" or "Net1" folder are networks of the program.
    const std::optional<std::string> path = NetworkFileToRead(choice.path);
    if (!path) {
        fileMessage("Could not read file %s!", choice.title);
        m_file = FileChoice{};
        return 0;
    }
    // Read before the network open now goes: a cancelled read leaves it and its windows as
    // they were.
    ReadResult read = readNetwork(*path);
    if (!read.network)
        return 0;
    if (!letNetworkGo())
        return 0;
    // The network is read from the very file chosen, which Save then writes back. A network
    // that could not be read has no file: Save asks for one rather than replace the chosen
    // file with an empty network.
    m_file = choice;
    m_networkPath = *path;
    if (!adoptNetwork(std::move(read))) {
        m_file = FileChoice{};
        m_networkPath.clear();
    }
    const int opened = openDocument(m_file.title);
    setFrameTitle(m_file.title);
    return opened;
}

int MainFrame::openPartition() {
    // The title is the loaded network's file name ("script.dat" after start-up).
    const std::size_t slash = m_networkPath.find_last_of('/');
    m_file.title = slash == std::string::npos ? m_networkPath : m_networkPath.substr(slash + 1);
    const int opened = openDocument(m_file.title);
    setFrameTitle(m_file.title);
    return opened;
}

int MainFrame::save() {
    if (m_file.path.empty())
        return saveAs();
    if (WriteNetworkFile(*m_network, m_file.path.c_str()))
        return 1;
    fileMessage("Could not write file %s", m_file.title);
    return 0;
}

int MainFrame::saveAs() {
    FileChoice choice = m_file;
    if (!m_fileDialog(this, true, choice))
        return 0;
    m_file = choice;
    setFrameTitle(m_file.title);
    if (WriteNetworkFile(*m_network, m_file.path.c_str()))
        return 1;
    fileMessage("Could not write file %s", m_file.title);
    return 0;
}

int MainFrame::closeActive() {
    DocumentWindow* document = activeDocument();
    if (!document)
        return 0;
    return document->close() ? 1 : 0;
}

void MainFrame::setOpenViewsAt(OpenAt where) {
    if (where == m_openViewsAt)
        return;
    m_openViewsAt = where;
    WriteOpenAt(m_settings, where);
}

void MainFrame::setReadablePoints(int points) {
    points = ReadablePointsWithin(points);
    if (points == m_readablePoints)
        return;
    m_readablePoints = points;
    WriteReadablePoints(m_settings, points);
    // Views opened before keep their scale; only the one the user is looking at follows.
    DocumentWindow* document = activeDocument();
    NetView* view = document ? document->view() : nullptr;
    if (!view || view->options.openAt != OpenAt::Readable)
        return;
    view->options.readablePoints = points;
    ScaleForOpening(*view);
}

int MainFrame::askReadablePoints() {
    const std::string shown = std::to_string(m_readablePoints);
    char* typed = AskTextF(m_dialogSet, shown.c_str(), 3, 0,
                           "Readable label size in points (%d to %d):", kFewestReadablePoints,
                           kMostReadablePoints);
    if (!typed)
        return 0;
    const std::string text = typed;
    Release(typed);
    if (m_dialogSet.lastAnswer != 1)
        return 0;
    const std::optional<int> points = TypedReadablePoints(text);
    if (!points) {
        const std::string message = "The readable label size is a whole number of points from " +
                                    std::to_string(kFewestReadablePoints) + " to " +
                                    std::to_string(kMostReadablePoints) + ".";
        m_ui.messageBox(kProgramCaption, message.c_str(), platform::Buttons::Ok,
                        platform::Icon::Warning);
        return 0;
    }
    setReadablePoints(*points);
    return 1;
}

int MainFrame::closeAll() {
    const QList<QMdiSubWindow*> windows = m_client->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (window->isMinimized() || window->isMaximized())
            window->showNormal();
        // A window that agreed is gone from the area's list; it goes now, with its view, so
        // that nothing of it outlives the network it shows.
        if (window->close())
            delete window;
    }
    return 1;
}

void MainFrame::documentClosing(DocumentWindow* document) {
    if (m_active == document)
        deactivate();
    m_file.title.clear();
    setFrameTitle("");
}

void MainFrame::refreshDocuments() {
    closeNodeListDropDown();
    for (DocumentWindow* document : documents())
        document->viewWidget()->viewport()->update();
    m_toolBar->list(kNodeList)->update();
}

QSize MainFrame::defaultDocumentSize() const {
    const QSize area = m_client->viewport()->size();
    return {std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4)};
}

DocumentWindow* MainFrame::activeDocument() const {
    return m_active;
}

QList<DocumentWindow*> MainFrame::documents() const {
    QList<DocumentWindow*> found;
    for (QMdiSubWindow* window : m_client->subWindowList())
        if (auto* document = qobject_cast<DocumentWindow*>(window))
            found.append(document);
    return found;
}

void MainFrame::showMenuBar(MenuBarKind kind) {
    m_shown = kind;
    QMenuBar* bar = menuBar();
    for (QAction* action : bar->actions())
        bar->removeAction(action);
    for (QMenu* popup : menuItems(kind).popups)
        bar->addMenu(popup);
    bar->update();
}

void MainFrame::fillWindowList(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (action->property("windowEntry").toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    const QList<QMdiSubWindow*> windows = m_client->subWindowList();
    if (windows.isEmpty())
        return;
    QAction* separator = menu->addSeparator();
    separator->setProperty("windowEntry", true);
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* entry = menu->addAction(
            QStringLiteral("&%1 %2").arg(number++).arg(window->widget()->windowTitle()));
        entry->setProperty("windowEntry", true);
        entry->setCheckable(true);
        entry->setChecked(window == m_client->activeSubWindow());
        QPointer<QMdiSubWindow> target = window;
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                m_client->setActiveSubWindow(target);
        });
    }
}

void MainFrame::documentActivated(QMdiSubWindow* window) {
    auto* document = qobject_cast<DocumentWindow*>(window);
    if (document == m_active)
        return;
    if (!document) {
        // The frame losing the input to a dialog or another program keeps its document.
        if (!m_client->subWindowList().isEmpty() && !isActiveWindow())
            return;
        deactivate();
        return;
    }
    if (m_active)
        deactivate();
    activate(document);
}

void MainFrame::activate(DocumentWindow* document) {
    m_active = document;
    showMenuBar(MenuBarKind::View);
    NetView* view = document->view();
    document->viewWidget()->setFocus();
    if (!view)
        return;
    m_inspection.viewActivated(*view);
    fillNodeList(document);
    fillRelationList();
    // The second list shows the relation this view chose (none for a new one), and only while
    // its current node is an entity.
    const bool entity = view->current && view->current->isEntity();
    showRelationChoice(entity ? view->selectedRelation : nullptr, entity);
    showEditingTools(EditorOpen(*view));
    UpdateMenus(*view);
    setFrameTitle(document->title());
}

void MainFrame::deactivate() {
    m_active = nullptr;
    showMenuBar(MenuBarKind::Init);
    m_toolBar->setAllButtonsEnabled(false);
    m_toolBar->setButtonSet(nullptr);
    for (int id : {kNodeList, kRelationList, kFontList}) {
        m_toolBar->list(id)->hidePopup();
        m_toolBar->list(id)->hide();
    }
    m_toolBar->list(kNodeList)->clear();
    m_toolBar->list(kRelationList)->clear();
}

void MainFrame::moveEvent(QMoveEvent* event) {
    // Open drop-downs would stay where the frame was.
    for (int id : {kNodeList, kRelationList, kFontList})
        m_toolBar->list(id)->hidePopup();
    QMainWindow::moveEvent(event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (changes(*m_network).history && askSaveChanges(m_networkPath) == platform::Answer::Cancel) {
        event->ignore();
        return;
    }
    closeAll();
    if (!m_client->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void ProgramHeapReporter::outOfMemory(const char* message) {
    m_errors.showFatal(message);
    if (m_frame)
        m_frame->postCommand(cmd::kExit);
}

void ProgramHeapReporter::notice(const char* caption, const char* text, bool error) {
    m_ui.messageBox(caption, text, platform::Buttons::Ok,
                    error ? platform::Icon::Error : platform::Icon::None);
}

void MainFrame::postCommand(int id) {
    QMetaObject::invokeMethod(
        this, [this, id] { command(id); }, Qt::QueuedConnection);
}

} // namespace tarvo
