// The inheritance report and link inspection windows: modeless dialogs over the dialog
// framework that follow a view; what they show is decided in view/node_windows_content.
#include "dialogs/node_windows.h"

#include "containers/node_list.h"
#include "diagnostics/error_report.h"
#include "dialogs/dialog_base.h"
#include "dialogs/shown_label.h"
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"
#include "layout/view_node.h"
#include "model/graph_walk.h"
#include "model/network.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_text.h"
#include "view/net_view.h"
#include "view/node_windows_content.h"
#include "view/view_operations.h"
#include "view/view_options.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tarvo {
namespace {

// Dialog units across, in pixels of the templates' font.
int unitsToPixels(int units) {
    return units * 3 / 2;
}

NodeBase* itemNode(const QVariant& data) {
    return reinterpret_cast<NodeBase*>(data.value<quintptr>());
}

// Paints one item: the node through the view's node drawing, after its direction mark.
void paintItem(QPainter& painter, const QRect& rect, const QPalette& palette,
               const ItemLook& item) {
    // A selected item stands on the list's highlight, its node drawn as usual inside it, so
    // that a red or shaded node still shows what it is.
    painter.fillRect(rect, item.look.selected ? palette.highlight() : palette.base());
    if (item.skipped || !item.drawn)
        return;
    NodeLook look = item.look;
    look.selected = false;
    QRect nodeRect = look.selected != item.look.selected ? rect.adjusted(2, 1, -2, -1) : rect;
    if (item.direction != Direction::None) {
        const QRect mark(rect.left(), rect.top(), 14, rect.height());
        nodeRect.setLeft(mark.right() + 1);
        const int y = mark.center().y();
        const int x0 = mark.left() + 3;
        const int x1 = mark.right() - 2;
        painter.save();
        painter.setPen(item.direction == Direction::Unknown ? Qt::gray : Qt::black);
        painter.drawLine(x0, y, x1, y);
        const int tip = item.direction == Direction::In ? x0 : x1;
        const int back = item.direction == Direction::In ? 3 : -3;
        if (item.direction != Direction::Unknown) {
            painter.drawLine(tip, y, tip + back, y - 3);
            painter.drawLine(tip, y, tip + back, y + 3);
        }
        painter.restore();
    }
    auto* scratch = new ViewNode(item.drawn);
    platform::qt::QtDisplay display(painter);
    DrawNodeListItem(display, *scratch,
                     {nodeRect.left(), nodeRect.top(), nodeRect.right() + 1, nodeRect.bottom() + 1},
                     look, false, false);
    scratch->destroy();
}

// The items of a node drop-down box: each node drawn, 23 high.
class NodeBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(inspect::kDropDownItemHeight);
        return size;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        ItemLook item;
        item.drawn = asNode(itemNode(index.data(Qt::UserRole)));
        item.look.shade = DistanceShade::None;
        item.look.selected = option.state & QStyle::State_Selected;
        paintItem(*painter, option.rect, option.palette, item);
    }
};

} // namespace

// What both windows share: their view and node, their lists of nodes, their placement and
// their closing.
class InspectionWindow : public DialogBase {
public:
    InspectionWindow(InspectionWindows& owner, InspectionKind kind, NetView& view)
        : DialogBase(owner.dialogs()), m_view(&view), m_owner(owner), m_place(owner.place(kind)) {}

    NetView& view() const { return *m_view; }
    // Another view became the active one.
    void turnTo(NetView& view) {
        m_view = &view;
        refresh();
    }
    // The view's message: its current node or its content changed. The window takes the new
    // node and lists at once, since an edit or an undo may have destroyed nodes it shows. Only
    // a change the window itself made (choosing a node, moving or hiding a link) is followed
    // once its handler has finished, so that the lists do not change under that handler; such
    // a change destroys no node.
    void viewChanged() {
        if (m_ownChanges == 0) {
            refresh();
            return;
        }
        if (m_refreshPosted)
            return;
        m_refreshPosted = true;
        QTimer::singleShot(0, this, [this] {
            m_refreshPosted = false;
            refresh();
        });
    }
    // Takes the node from the view and fills everything again.
    void refresh() { inspectNode(InspectedNode(*m_view)); }
    // The view's tool bar chose another relation.
    virtual void relationChosen() {}
    // The report the window shows, if it shows one.
    virtual const InheritanceReport* report() const { return nullptr; }

    // Opens the window where it stood when it last closed (the first time: a default place).
    // A window of the other kind that is open where this one would stand is not covered: this
    // one stands beside it.
    bool openAtPlace(const QWidget* other) {
        QRect& shared = dialogSet().placement;
        const QRect before = shared;
        shared = m_place.frame;
        const bool opened = OpenModeless();
        shared = before;
        // The width is the window's own (narrow or wide); the height is the user's.
        if (opened && m_place.height > 0)
            resize(width(), std::max(m_place.height, minimumSizeHint().height()));
        if (opened && other && other->frameGeometry().intersects(frameGeometry()))
            standBeside(other->frameGeometry());
        return opened;
    }
    // Remembers the place and goes; `now` when not inside one of its own handlers.
    void closeWindow(bool now) {
        if (isVisible())
            m_place = {frameGeometry(), height()};
        forget();
        hide();
        if (now)
            delete this;
        else
            deleteLater();
    }

protected:
    // Clears the frame's pointer to this window.
    void forget() { m_owner.forget(this); }

    // Right of `other` when the screen has room there, else left of it.
    void standBeside(const QRect& other) {
        const QScreen* screen = QGuiApplication::screenAt(other.center());
        const QRect area =
            (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
        const QRect frame = frameGeometry();
        int x = other.right() + 1;
        if (x + frame.width() - 1 > area.right())
            x = std::max(area.left(), other.left() - frame.width());
        move(x, frame.top());
    }

    void OnOk() override { closeByUser(); }
    void OnEnd(int) override { closeByUser(); }

    // Closed from its own button or frame: the view's menus and buttons stop showing it open.
    void closeByUser() {
        NetView& view = *m_view;
        closeWindow(false);
        if (view.host)
            UpdateMenus(view);
    }

    int OnMeasureItem(QWidget*) override { return inspect::kListItemHeight; }
    bool OnDrawListItem(QListWidget& list, int row, QPainter& painter, const QRect& rect,
                        bool selected) override {
        const int id = controlId(&list);
        Node* node = asNode(itemNode(list.item(row)->data(Qt::UserRole)));
        ItemLook item =
            InspectionItemLook(id, m_node, node, rect.top(), rect.bottom() + 1, selected, report());
        if (m_view->network)
            item.look.shapes = &shapesOf(*m_view->network);
        item.look.colours = m_view->colours;
        if (item.direction == Direction::Unknown)
            QTimer::singleShot(0, this,
                               [this] { m_owner.errors().show("Can't find relation direction!"); });
        paintItem(painter, rect, list.palette(), item);
        return true;
    }

    // A double click toggles the item's shown-or-hidden mark; `sortedSlot` (or -1) is the slot
    // whose links the list shows in the view.
    void toggleMark(QWidget* widget, int sortedSlot) {
        auto* list = qobject_cast<QListWidget*>(widget);
        if (!list || !list->currentItem())
            return;
        Node* node = asNode(itemNode(list->currentItem()->data(Qt::UserRole)));
        const OwnChange own(*this);
        if (ToggleShownMark(m_view, controlId(list), node, sortedSlot))
            list->viewport()->update();
    }

    // Fills a list with the nodes of `nodes`, keeping `keep` selected when it is among them.
    void fillList(int id, const NodeList* nodes, const NodeBase* keep = nullptr) {
        auto* list = control<QListWidget>(id);
        if (!list)
            return;
        const QSignalBlocker quiet(list);
        list->clear();
        const std::vector<ListEntry> entries = ListEntries(nodes);
        for (const ListEntry& entry : entries) {
            auto* item = new QListWidgetItem(QString::fromUtf8(entry.text.c_str()), list);
            item->setData(Qt::UserRole,
                          QVariant::fromValue(reinterpret_cast<quintptr>(entry.node)));
        }
        list->setCurrentRow(EntryRow(entries, keep));
    }

    // Fills a drop-down box, each item showing its node and its whole label; `keep` (or the
    // first item) is selected.
    void fillBox(int id, const NodeList* nodes, const NodeBase* keep) {
        auto* box = control<QComboBox>(id);
        if (!box)
            return;
        const QSignalBlocker quiet(box);
        if (!dynamic_cast<NodeBoxDelegate*>(box->itemDelegate()))
            box->setItemDelegate(new NodeBoxDelegate(box));
        box->clear();
        int row = 0;
        forEachNode(nodes, [&](NodeBase* n) {
            if (n == keep)
                row = box->count();
            box->addItem(ShownLabel(n->name), QVariant::fromValue(reinterpret_cast<quintptr>(n)));
        });
        box->setCurrentIndex(box->count() ? row : -1);
    }

    static NodeBase* chosen(QComboBox* box) { return box ? itemNode(box->currentData()) : nullptr; }

    // The user chose another node in a node box: the view moves to it, which the window then
    // follows; a node the view does not hold is inspected where it is.
    void goToChosen(QComboBox* box) {
        Node* node = asNode(chosen(box));
        if (!node || node == m_node)
            return;
        auto* copy =
            asViewNode(findNodeIn(m_view->layout.nodes, node->keyText(), node->relationKind()));
        if (copy) {
            const OwnChange own(*this);
            GoToNode(*m_view, copy, 2, nullptr, true);
            refresh();
        } else {
            inspectNode(node);
        }
    }
    // Inspects `node` without moving the view.
    virtual void inspectNode(Node* node) = 0;

    // Marks the span of a change the window makes itself through the view.
    class OwnChange {
    public:
        explicit OwnChange(InspectionWindow& window) : m_window(window) { ++m_window.m_ownChanges; }
        ~OwnChange() { --m_window.m_ownChanges; }
        OwnChange(const OwnChange&) = delete;
        OwnChange& operator=(const OwnChange&) = delete;

    private:
        InspectionWindow& m_window;
    };

    NetView* m_view;
    Node* m_node = nullptr;

private:
    InspectionWindows& m_owner;
    InspectionPlace& m_place;
    bool m_refreshPosted = false;
    int m_ownChanges = 0;
};

namespace {

// The "Inheritance Dialog": what the node stipulates and what it inherits.
class InheritanceWindow : public InspectionWindow {
public:
    InheritanceWindow(InspectionWindows& owner, NetView& view)
        : InspectionWindow(owner, InspectionKind::Report, view) {}
    ~InheritanceWindow() override { DisposeInheritanceReport(m_report); }

protected:
    const char* TemplateName() const override { return "IDD_INHERIT"; }

    void OnInitDialog() override {
        resize(unitsToPixels(inspect::kWideWidth), height());
        refresh();
    }
    void OnSelChange(QWidget* widget) override {
        if (controlId(widget) == inspect::kNodeBox)
            goToChosen(qobject_cast<QComboBox*>(widget));
    }
    void OnDoubleClick(QWidget* widget) override { toggleMark(widget, -1); }
    const InheritanceReport* report() const override { return &m_report; }

    void inspectNode(Node* node) override {
        m_node = node;
        // Gathering the box's nodes clears their working bits: it comes before the marks.
        NodeList* nodes = m_node ? NodeBoxNodes(*m_view->network, m_node->relationKind()) : nullptr;
        fillBox(inspect::kNodeBox, nodes, m_node);
        DisposeList(nodes);
        PrepareViewInspection(*m_view);
        DisposeInheritanceReport(m_report);
        // The report fills the lists as it goes, so that their entries stand in the debugging
        // log among the report's own lines.
        ListSink lists(*this);
        if (m_node)
            RunInheritanceReport(m_node, m_report, &lists);
        else
            for (const int id : {inspect::kStipulatedNodes, inspect::kStipulatedVia,
                                 inspect::kInheritedNodes, inspect::kInheritedVia})
                fillList(id, nullptr);
    }

private:
    struct ListSink : ReportSink {
        explicit ListSink(InheritanceWindow& owner) : window(owner) {}
        void fillList(int listId, const NodeList* nodes) override {
            window.fillList(listId, nodes);
        }
        InheritanceWindow& window;
    };

    InheritanceReport m_report;
};

// "Inspect links": the node's links of one relation, to see, reorder, show and hide.
class LinkWindow : public InspectionWindow {
public:
    LinkWindow(InspectionWindows& owner, NetView& view)
        : InspectionWindow(owner, InspectionKind::Links, view), m_scope(owner.linkScope()) {}
    ~LinkWindow() override {
        DisposeLinkLists(m_links);
        DisposeList(m_related);
        DisposeList(m_path);
    }

protected:
    const char* TemplateName() const override { return "ISA"; }

    void OnInitDialog() override {
        setWide(false);
        refresh();
    }

    void OnCheck(int id) override {
        if (ChooseConnectionScope(id, m_scope) || id == inspect::kLastScope)
            rebuildLinks();
    }

    void OnSelChange(QWidget* widget) override {
        const int id = controlId(widget);
        if (id == inspect::kRelationBox) {
            m_relation = asNode(chosen(qobject_cast<QComboBox*>(widget)));
            rebuildLinks();
        } else if (id == inspect::kLinkNodeBox) {
            goToChosen(qobject_cast<QComboBox*>(widget));
        } else if (id == inspect::kFromList || id == inspect::kToList) {
            auto* list = qobject_cast<QListWidget*>(widget);
            if (list->currentRow() >= 0) {
                m_sortList = id;
                // One link at a time is the one to move.
                auto* other = control<QListWidget>(id == inspect::kFromList ? inspect::kToList
                                                                            : inspect::kFromList);
                const QSignalBlocker quiet(other);
                other->setCurrentRow(-1);
            }
            updateMoveButtons();
        }
    }

    void OnDoubleClick(QWidget* widget) override {
        const int id = controlId(widget);
        const bool link = id == inspect::kFromList || id == inspect::kToList;
        toggleMark(widget, link && id == m_sortList ? SortedSlot(id, isa()) : -1);
    }

    bool OnOtherCommand(int id) override {
        switch (id) {
        case inspect::kMoveUp:
        case inspect::kMoveDown:
            moveSelected(id == inspect::kMoveUp ? -1 : 1);
            return true;
        case inspect::kExtend:
            setWide(!m_wide);
            return true;
        default:
            return false;
        }
    }

    // The window shows the links of the relation the view's tool bar chose, when it is one the
    // window offers.
    void relationChosen() override {
        Node* chosen = m_view->selectedRelation;
        if (!chosen || chosen == m_relation)
            return;
        NodeList* relations = RelationBoxNodes(*m_view->network);
        if (ListContains(relations, chosen)) {
            m_relation = chosen;
            fillBox(inspect::kRelationBox, relations, m_relation);
            rebuildLinks();
        }
        DisposeList(relations);
    }

    void inspectNode(Node* node) override {
        m_node = node;
        NodeList* relations = RelationBoxNodes(*m_view->network);
        if (!ListContains(relations, m_relation))
            m_relation = m_view->network->isaRelation();
        fillBox(inspect::kRelationBox, relations, m_relation);
        DisposeList(relations);
        NodeList* nodes = m_node ? NodeBoxNodes(*m_view->network, m_node->relationKind()) : nullptr;
        fillBox(inspect::kLinkNodeBox, nodes, m_node);
        DisposeList(nodes);
        PrepareViewInspection(*m_view);
        rebuildLinks();
        if (m_wide)
            fillExtension();
    }

private:
    bool isa() const { return !m_relation || m_relation == m_view->network->isaRelation(); }

    QListWidget* sortedList() const { return control<QListWidget>(m_sortList); }
    const NodeList* shown(int id) const {
        return id == inspect::kFromList ? m_links.from : m_links.to;
    }

    void rebuildLinks(const NodeBase* keep = nullptr) {
        const ConnectionScope scope = m_scope;
        if (auto* radio = control<QRadioButton>(inspect::kFirstScope + ToInt(scope)))
            radio->setChecked(true);
        const QListWidget* list = sortedList();
        if (!keep && list && list->currentItem())
            keep = itemNode(list->currentItem()->data(Qt::UserRole));
        DisposeLinkLists(m_links);
        m_links = BuildLinkLists(*m_view->network, m_node, m_relation, scope);
        for (const int id : {inspect::kFromList, inspect::kToList}) {
            if (m_view->current)
                MarkHiddenLinks(*m_view, id, shown(id), SortedSlot(id, isa()));
            fillList(id, shown(id), id == m_sortList ? keep : nullptr);
        }
        setCaption("fromLabel", isa() ? "Parents" : "&From");
        setCaption("toLabel", isa() ? "Children" : "&To");
        updateMoveButtons();
    }

    void setCaption(const char* name, const char* text) {
        if (auto* label = findChild<QLabel*>(QLatin1String(name)))
            label->setText(QLatin1String(text));
    }

    int selectedRow() const {
        const QListWidget* list = sortedList();
        return list ? list->currentRow() : -1;
    }

    void updateMoveButtons() {
        const int slot = SortedSlot(m_sortList, isa());
        int count = 0;
        const int place = MovablePlace(m_node, slot, shown(m_sortList), selectedRow(), &count);
        const MoveButtons enabled = MoveEnabling(place, count);
        control<QAbstractButton>(inspect::kMoveUp)->setEnabled(enabled.up);
        control<QAbstractButton>(inspect::kMoveDown)->setEnabled(enabled.down);
        if (auto* text = findChild<QLabel*>(QLatin1String("sortText")))
            text->setText(platform::qt::toQString(SortCaption(m_sortList, isa())));
    }

    void moveSelected(int step) {
        const int row = selectedRow();
        if (row < 0)
            return;
        NodeBase* moved = shown(m_sortList)->nodeAt(row);
        const OwnChange own(*this);
        if (MoveShownLink(*m_view, SortedSlot(m_sortList, isa()), shown(m_sortList), row, step))
            rebuildLinks(moved);
    }

    void setWide(bool wide) {
        m_wide = wide;
        setFixedWidth(unitsToPixels(wide ? inspect::kWideWidth : inspect::kNarrowWidth));
        if (auto* button = control<QAbstractButton>(inspect::kExtend))
            button->setText(wide ? QStringLiteral("&<") : QStringLiteral("&>"));
        if (wide)
            fillExtension();
    }

    // The wide part: what the node is related to, and the path it inherits along.
    void fillExtension() {
        DisposeList(m_related);
        DisposeList(m_path);
        if (m_node) {
            m_related = RelatedNodes(m_node, ParentSlot);
            m_path = AncestorNodes(m_node, ParentSlot);
        }
        fillList(inspect::kRelatedList, m_related);
        fillList(inspect::kPathList, m_path);
    }

    Node* m_relation = nullptr;
    LinkLists m_links;
    NodeList* m_related = nullptr;
    NodeList* m_path = nullptr;
    ConnectionScope& m_scope;
    int m_sortList = inspect::kFromList;
    bool m_wide = false;
};

} // namespace

InspectionWindows::~InspectionWindows() {
    closeAll();
}

void InspectionWindows::forget(const InspectionWindow* window) {
    for (QPointer<InspectionWindow>* open : {&m_links, &m_report})
        if (*open == window)
            *open = nullptr;
}

template <class Act> void InspectionWindows::forEachWindow(Act act) {
    // Copies: acting may close a window.
    const QPointer<InspectionWindow> windows[] = {m_links, m_report};
    for (const QPointer<InspectionWindow>& window : windows)
        if (window)
            act(*window);
}

bool InspectionWindows::openOn(InspectionKind kind, const NetView& view) const {
    const InspectionWindow* window = kind == InspectionKind::Links ? m_links : m_report;
    return window && &window->view() == &view;
}

bool InspectionWindows::closeToggled(InspectionKind kind, const NetView& view) {
    const bool same = openOn(kind, view);
    if (InspectionWindow* window = slot(kind))
        window->closeWindow(true);
    return same;
}

void InspectionWindows::toggleLinkWindow(NetView& view) {
    if (closeToggled(InspectionKind::Links, view))
        return;
    auto* window = new LinkWindow(*this, view);
    m_links = window;
    if (!window->openAtPlace(m_report))
        window->closeWindow(true);
}

bool InspectionWindows::linkWindowOpen(const NetView& view) const {
    return openOn(InspectionKind::Links, view);
}

void InspectionWindows::toggleInheritanceReport(NetView& view) {
    if (closeToggled(InspectionKind::Report, view))
        return;
    auto* window = new InheritanceWindow(*this, view);
    m_report = window;
    if (!window->openAtPlace(m_links)) {
        // Without its window the program cannot go on.
        QMessageBox box(QMessageBox::Information, QStringLiteral("Error"), qt_error_string(-1));
        box.exec();
        std::exit(1);
    }
}

void InspectionWindows::viewChanged(NetView& view) {
    forEachWindow([&](InspectionWindow& window) {
        if (&window.view() == &view)
            window.viewChanged();
    });
}

void InspectionWindows::relationChosen(NetView& view) {
    forEachWindow([&](InspectionWindow& window) {
        if (&window.view() == &view)
            window.relationChosen();
    });
}

void InspectionWindows::viewActivated(NetView& view) {
    forEachWindow([&](InspectionWindow& window) {
        if (&window.view() != &view)
            window.turnTo(view);
    });
}

void InspectionWindows::viewClosing(NetView& view) {
    forEachWindow([&](InspectionWindow& window) {
        if (&window.view() == &view)
            window.closeWindow(true);
    });
}

QWidget* InspectionWindows::openWindow(InspectionKind kind) const {
    return kind == InspectionKind::Links ? m_links : m_report;
}

void InspectionWindows::forgetPlaces() {
    m_linkScope = ConnectionScope::Actual;
    m_linksPlace = InspectionPlace{};
    m_reportPlace = InspectionPlace{};
}

void InspectionWindows::closeAll() {
    forEachWindow([](InspectionWindow& window) { window.closeWindow(true); });
}

} // namespace tarvo
