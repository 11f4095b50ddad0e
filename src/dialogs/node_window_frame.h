// The frame both node windows share: their view and node, their lists and boxes of nodes drawn
// as the view draws them, their placement and their closing.
#pragma once

#include "containers/node_list.h"
#include "diagnostics/error_report.h"
#include "dialogs/dialog_base.h"
#include "dialogs/node_windows.h"
#include "dialogs/shown_label.h"
#include "layout/view_node.h"
#include "model/graph_walk.h"
#include "model/network.h"
#include "netfile/shape_file.h"
#include "view/net_view.h"
#include "view/node_windows_content.h"
#include "view/view_operations.h"
#include "view/view_options.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace tarvo {

// The windows' item helpers, in node_windows.cpp.
int unitsToPixels(int units);
NodeBase* itemNode(const QVariant& data);
void paintItem(QPainter& painter, const QRect& rect, const QPalette& palette, const ItemLook& item);

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

} // namespace tarvo
