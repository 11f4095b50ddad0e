// The frame window.
#include "shell/main_frame.h"

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
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "model/node_list.h"
#include "model/node_table.h"
#include "model/view_node.h"
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
#include "view/view_flags.h"
#include "view/view_menus.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
#include "view/view_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
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

QPointer<MainFrame>& commandTarget() {
    static QPointer<MainFrame> frame;
    return frame;
}

// The font list the load sequence refills; the font table's adder is a plain function.
QComboBox*& fontListBeingFilled() {
    static QComboBox* list = nullptr;
    return list;
}

void addToFontList(int index, const FontEntry& entry) {
    if (QComboBox* list = fontListBeingFilled())
        list->addItem(
            platform::qt::toQString(entry.fullName[0] ? entry.fullName : entry.font.faceName),
            index);
}

// Items of the node and relation lists carry the node's key text and kind.
constexpr int kKeyRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

void addNodeItem(QComboBox* list, const Node* node) {
    list->addItem(ShownLabel(node->name));
    const int row = list->count() - 1;
    list->setItemData(row, QByteArray(node->keyText() ? node->keyText() : ""), kKeyRole);
    list->setItemData(row, node->relationKind(), kKindRole);
}

// The list's row of the node, or -1.
int rowOf(const QComboBox* list, const Node* node) {
    if (!node)
        return -1;
    const QByteArray key(node->keyText() ? node->keyText() : "");
    for (int row = 0; row < list->count(); ++row)
        if (list->itemData(row, kKeyRole).toByteArray() == key &&
            list->itemData(row, kKindRole).toInt() == node->relationKind())
            return row;
    return -1;
}

// Nodes sorted by their labels as the user reads them.
void sortByLabel(std::vector<const Node*>& nodes) {
    std::vector<std::pair<QString, const Node*>> keyed;
    keyed.reserve(nodes.size());
    for (const Node* n : nodes)
        keyed.emplace_back(ShownLabel(n->name), n);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        nodes[i] = keyed[i].second;
}

// The first command of the option a tool bar group shows, and whether the group is one button
// that is pressed or not rather than a choice among alternatives.
struct GroupCommand {
    int group;
    int firstCommand;
    bool toggle;
};
constexpr GroupCommand kGroupCommands[] = {
    {kJustificationGroup, cmd::kJustifyFirst, false},
    {kDepthJustifyGroup, cmd::kRaiseChildren, false},
    {kOrientationGroup, cmd::kLeftToRight, false},
    {kLineStyleGroup, cmd::kStraight, false},
    {kHighlightLinksGroup, cmd::kHighlightLinks, true},
    {kDistanceNumberGroup, cmd::kDistanceNumber, true},
    {kShadeGroup, cmd::kShadeNone, false},
};

// Both button sets keep their state, so that switching sets shows each button as it is.
template <typename F> void forBothSets(F&& f) {
    f(buttonDefinitions().net);
    f(buttonDefinitions().netEdit);
}

int wholeWidth(int total, int count, int index) {
    return total * (index + 1) / count - total * index / count;
}

} // namespace

FileDialogRunner& fileDialogRunner() {
    static FileDialogRunner runner = RunFileDialog;
    return runner;
}

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

MainFrame::MainFrame(platform::Settings& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_client(new QMdiArea), m_toolBar(new ToolBar) {
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
    dialogState().mainFrame = this;
    m_previousDialogs = setViewDialogs(&m_dialogs);
}

MainFrame::~MainFrame() {
    // The documents go while the frame is whole: their views still tell it what they change.
    CloseInspectionWindows();
    deactivate();
    const QList<QMdiSubWindow*> windows = m_client->subWindowList();
    for (QMdiSubWindow* window : windows)
        delete window;
    // And those closed but not yet deleted: every view goes before the network it shows.
    const QList<DocumentWindow*> closing = findChildren<DocumentWindow*>();
    for (DocumentWindow* document : closing)
        delete document;
    setViewDialogs(m_previousDialogs);
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
    ShowAbout(true, [this] {
        m_networkPath = kStartupNetwork;
        loadNetwork();
    });
}

bool MainFrame::loadNetwork() {
    Diagnostics problems;
    auto network = std::make_unique<Network>();
    ReadShapeFile(shapesOf(*network), "poly.dat", &problems);
    QComboBox* fonts = m_toolBar->list(kFontList);
    fonts->clear();
    fontListBeingFilled() = fonts;
    const bool opened =
        LoadNetworkFile(*network, m_networkPath.c_str(), addToFontList, &problems);
    fontListBeingFilled() = nullptr;
    // The views of the network before were closed with it; none of them points into it.
    m_network = std::move(network);
    ShowDiagnostics(problems);
    return opened;
}

int MainFrame::openDocument(const std::string& title) {
    if (!m_network->table())
        return 0;
    Node* node = ChoosePartition(*m_network);
    if (!node)
        return 0;
    auto* document = new DocumentWindow(*this, node, title, partitionChoices().revealDistance);
    m_client->addSubWindow(document);
    document->show();
    return 1;
}

platform::Answer MainFrame::askSaveChanges(const std::string& name) {
    const std::string text = SaveQuestionText(name);
    platform::Answer answer = platform::ui().messageBox(
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
    platform::ui().messageBox(kProgramCaption, text.c_str(), platform::Buttons::Ok,
                              platform::Icon::Warning);
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
        ShowAbout(false);
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
    if (changes(*m_network).history &&
        askSaveChanges(m_networkPath) == platform::Answer::Cancel)
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
    if (!fileDialogRunner()(this, false, choice)) {
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
    if (!letNetworkGo())
        return 0;
    // The network is read from the very file chosen, which Save then writes back. A network
    // that could not be read has no file: Save asks for one rather than replace the chosen
    // file with an empty network.
    m_file = choice;
    m_networkPath = *path;
    if (!loadNetwork()) {
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
    if (!fileDialogRunner()(this, true, choice))
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
    if (!view || view->openAt != OpenAt::Readable)
        return;
    view->readablePoints = points;
    ScaleForOpening(*view);
}

int MainFrame::askReadablePoints() {
    const std::string shown = std::to_string(m_readablePoints);
    char* typed = AskTextF(shown.c_str(), 3, 0,
                           "Readable label size in points (%d to %d):", kFewestReadablePoints,
                           kMostReadablePoints);
    if (!typed)
        return 0;
    const std::string text = typed;
    Release(typed);
    if (askState().DialogAnswer != 1)
        return 0;
    const std::optional<int> points = TypedReadablePoints(text);
    if (!points) {
        const std::string message = "The readable label size is a whole number of points from " +
                                    std::to_string(kFewestReadablePoints) + " to " +
                                    std::to_string(kMostReadablePoints) + ".";
        platform::ui().messageBox(kProgramCaption, message.c_str(), platform::Buttons::Ok,
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
    InspectionViewActivated(*view);
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

void MainFrame::fillNodeList(DocumentWindow* document) {
    QComboBox* list = m_toolBar->list(kNodeList);
    NetView* view = document ? document->view() : nullptr;
    const Node* selected = view ? view->current : nullptr;
    list->clear();
    if (!view || !view->nodes)
        return;
    std::vector<const Node*> nodes;
    view->nodes->forEach(
        [](void* context, NodeBase* base) {
            auto* node = static_cast<ViewNode*>(base);
            if (node->source && !tarvo::isHidden(node))
                static_cast<std::vector<const Node*>*>(context)->push_back(node);
            return 0;
        },
        &nodes);
    sortByLabel(nodes);
    for (const Node* node : nodes)
        addNodeItem(list, node);
    list->setCurrentIndex(rowOf(list, selected));
}

void MainFrame::fillRelationList() {
    QComboBox* list = m_toolBar->list(kRelationList);
    const int kept = list->currentIndex();
    const QByteArray keptKey = list->itemData(kept, kKeyRole).toByteArray();
    list->clear();
    NodeList* relations = m_network->nodesOfKind(1);
    std::vector<const Node*> nodes;
    forEachNode(relations, [&](NodeBase* base) { nodes.push_back(static_cast<Node*>(base)); });
    if (relations)
        relations->destroy();
    sortByLabel(nodes);
    for (const Node* node : nodes)
        addNodeItem(list, node);
    for (int row = 0; row < list->count(); ++row)
        if (!keptKey.isEmpty() && list->itemData(row, kKeyRole).toByteArray() == keptKey)
            list->setCurrentIndex(row);
}

void MainFrame::paintListItem(int list, int index, QPainter& painter, const QRect& rect,
                              bool selected) {
    QComboBox* box = m_toolBar->list(list);
    painter.save();
    if (list == kFontList) {
        painter.fillRect(rect, selected ? box->palette().highlight() : box->palette().base());
        painter.setPen(selected ? box->palette().highlightedText().color()
                                : box->palette().text().color());
        painter.drawText(rect.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         box->itemText(index));
        painter.restore();
        return;
    }
    painter.fillRect(rect, box->palette().base());
    const QByteArray key = box->itemData(index, kKeyRole).toByteArray();
    const int kind = box->itemData(index, kKindRole).toInt();
    NetView* view = m_active ? m_active->view() : nullptr;
    NodeLook look;
    look.shade = view ? view->distanceMode.shade : DistanceShade::None;
    look.selected = selected;
    look.shapes = &shapesOf(*m_network);
    const platform::Rect item{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    platform::qt::QtDisplay display(painter);
    if (list == kNodeList && view) {
        if (Node* node = findNodeIn(view->nodes, key.constData(), kind))
            DrawNodeListItem(display, *static_cast<ViewNode*>(node), item, look, false, false);
    } else if (Node* relation = m_network->find(key.constData(), kind)) {
        // A relation of the network is drawn through a scratch copy, as the view's own are.
        auto* scratch = new ViewNode(relation);
        DrawNodeListItem(display, *scratch, item, look, false, false);
        scratch->destroy();
    }
    painter.restore();
}

void MainFrame::SetMenuAndButton(int menuId, int command, bool enabled, bool checked) {
    if (QAction* item = m_view.items.contains(menuId) ? m_view.items.at(menuId) : nullptr) {
        item->setEnabled(enabled);
        item->setCheckable(true);
        item->setChecked(checked);
    }
    forBothSets([&](ButtonSet& set) { SetButtonFlags(set, command, enabled, checked ? 1 : 0); });
    m_toolBar->updateCommand(command);
}

void MainFrame::SetMenuAndButtonEnabled(int menuId, int command, bool enabled) {
    if (QAction* item = m_view.items.contains(menuId) ? m_view.items.at(menuId) : nullptr)
        item->setEnabled(enabled && !IsUnhandledCommand(menuId));
    forBothSets([&](ButtonSet& set) { SetButtonFlags(set, command, enabled, -1); });
    m_toolBar->updateCommand(command);
}

void MainFrame::checkMenuAndButton(int id, bool checked) {
    const QAction* item = m_view.items.contains(id) ? m_view.items.at(id) : nullptr;
    SetMenuAndButton(id, id, item ? item->isEnabled() : true, checked);
}

void MainFrame::setViewPopupCaption(int menu, int item, const char* caption) {
    const QMenu* popup = m_view.popups.value(menu);
    if (!popup || item < 0 || item >= popup->actions().size())
        return;
    popup->actions().at(item)->setText(platform::qt::toQString(caption));
}

void MainFrame::showGroupValue(int group, int value) {
    for (const GroupCommand& g : kGroupCommands) {
        if (g.group != group || g.toggle)
            continue;
        forBothSets([&](ButtonSet& set) {
            if (ButtonRecord* button = ShowAlternative(set, g.firstCommand + value))
                m_toolBar->updateCommand(button->command);
        });
    }
}

void MainFrame::setSizeCaption(const char* caption) {
    const QAction* normal =
        m_view.items.contains(cmd::kNormalSize) ? m_view.items.at(cmd::kNormalSize) : nullptr;
    if (!normal)
        return;
    for (QObject* owner : normal->associatedObjects())
        if (auto* popup = qobject_cast<QMenu*>(owner))
            popup->menuAction()->setText(platform::qt::toQString(caption));
}

void MainFrame::closeNodeListDropDown() {
    m_toolBar->list(kNodeList)->hidePopup();
}

void MainFrame::repaintNodeList() {
    m_toolBar->list(kNodeList)->update();
}

ViewNode* MainFrame::nodeListSelection() const {
    const QComboBox* list = m_toolBar->list(kNodeList);
    NetView* view = m_active ? m_active->view() : nullptr;
    const int row = list->currentIndex();
    if (!view || row < 0)
        return nullptr;
    const QByteArray key = list->itemData(row, kKeyRole).toByteArray();
    return static_cast<ViewNode*>(
        findNodeIn(view->nodes, key.constData(), list->itemData(row, kKindRole).toInt()));
}

void MainFrame::selectInNodeList(ViewNode* node) {
    QComboBox* list = m_toolBar->list(kNodeList);
    int row = rowOf(list, node);
    if (row < 0 && node) {
        // A node the list does not hold yet (just made, or just revealed).
        fillNodeList(m_active);
        row = rowOf(list, node);
    }
    list->setCurrentIndex(row);
}

void MainFrame::showRelationChoice(Node* relation, bool enabled) {
    QComboBox* list = m_toolBar->list(kRelationList);
    list->setCurrentIndex(rowOf(list, relation));
    list->setEnabled(enabled);
}

Node* MainFrame::relationListSelection() const {
    const QComboBox* list = m_toolBar->list(kRelationList);
    const int row = list->currentIndex();
    if (row < 0)
        return nullptr;
    const QByteArray key = list->itemData(row, kKeyRole).toByteArray();
    return m_network->find(key.constData(), list->itemData(row, kKindRole).toInt());
}

void MainFrame::showEditingTools(bool editing) {
    ButtonDefinitions& sets = buttonDefinitions();
    ButtonSet& set = editing ? sets.netEdit : sets.net;
    m_toolBar->setButtonSet(&set);
    m_toolBar->setAllButtonsEnabled(true);
    // A button whose menu item is greyed is greyed with it.
    for (int i = 0; i < set.count; ++i) {
        const int command = set.buttons[i].command;
        const auto item = m_view.items.find(command);
        if (item != m_view.items.end() && !item->second->isEnabled()) {
            SetButtonFlags(set, command, false, -1);
            m_toolBar->updateCommand(command);
        }
    }
    m_toolBar->list(kNodeList)->setVisible(!editing);
    m_toolBar->list(kRelationList)->setVisible(!editing);
    m_toolBar->list(kFontList)->setVisible(editing);
}

void MainFrame::cycleFocus(bool forward) {
    if (!m_active)
        return;
    QComboBox* fonts = m_toolBar->list(kFontList);
    if (fonts->hasFocus()) {
        fonts->hide();
        m_active->viewWidget()->setFocus(Qt::TabFocusReason);
        return;
    }
    QWidget* ring[] = {m_active->viewWidget(), m_toolBar->list(kNodeList),
                       m_toolBar->list(kRelationList)};
    int at = 0;
    for (int i = 0; i < 3; ++i)
        if (ring[i]->hasFocus())
            at = i;
    for (int step = 1; step <= 3; ++step) {
        QWidget* next = ring[(at + (forward ? step : 3 - step)) % 3];
        if (next->isVisible() && next->isEnabled()) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void MainFrame::typeInNodeList(char typed) {
    // Keys within a second of each other spell one beginning, as in any list.
    if (!m_lastTyped.isValid() || m_lastTyped.elapsed() > 1000)
        m_typed.clear();
    m_lastTyped.start();
    m_typed += QChar::fromLatin1(typed);
    QComboBox* list = m_toolBar->list(kNodeList);
    for (int row = 0; row < list->count(); ++row) {
        if (list->itemText(row).startsWith(m_typed, Qt::CaseInsensitive)) {
            if (row != list->currentIndex()) {
                list->setCurrentIndex(row);
                command(kNodeList);
            }
            return;
        }
    }
}

int MainFrame::fontListSelection() const {
    const QComboBox* list = m_toolBar->list(kFontList);
    const int row = list->currentIndex();
    return row < 0 ? -1 : list->itemData(row).toInt();
}

void MainFrame::selectInFontList(int font) {
    QComboBox* list = m_toolBar->list(kFontList);
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(list->findData(font));
}

void MainFrame::showFontList() {
    QComboBox* list = m_toolBar->list(kFontList);
    list->show();
    list->setFocus(Qt::ShortcutFocusReason);
}

void MainFrame::hideFontList() {
    m_toolBar->list(kFontList)->hide();
}

void MainFrame::moveEvent(QMoveEvent* event) {
    // Open drop-downs would stay where the frame was.
    for (int id : {kNodeList, kRelationList, kFontList})
        m_toolBar->list(id)->hidePopup();
    QMainWindow::moveEvent(event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (changes(*m_network).history &&
        askSaveChanges(m_networkPath) == platform::Answer::Cancel) {
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

void SetCommandTarget(MainFrame* frame) {
    commandTarget() = frame;
}

void PostFrameCommand(int id) {
    MainFrame* frame = commandTarget();
    if (!frame)
        return;
    QMetaObject::invokeMethod(
        frame, [frame, id] { frame->command(id); }, Qt::QueuedConnection);
}

} // namespace tarvo
