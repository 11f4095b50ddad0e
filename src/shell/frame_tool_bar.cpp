// The frame's tool bar and menus as the views see them: the node, relation and font lists, the
// option buttons and their menu items, the size caption, and typing into the node list.
#include "shell/main_frame.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "dialogs/shown_label.h"
#include "labels/font_table.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_text.h"
#include "shell/button_sets.h"
#include "shell/document_window.h"
#include "shell/net_view_widget.h"
#include "shell/tool_bar.h"
#include "view/commands.h"
#include "view/net_view.h"
#include "view/view_menus.h"
#include "view/view_options.h"
#include "view/view_paint.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tarvo {
namespace {

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
template <typename F> void forBothSets(ButtonDefinitions& sets, F&& f) {
    f(sets.net);
    f(sets.netEdit);
}

} // namespace

void MainFrame::fillNodeList(DocumentWindow* document) {
    QComboBox* list = m_toolBar->list(kNodeList);
    NetView* view = document ? document->view() : nullptr;
    const Node* selected = view ? view->current : nullptr;
    list->clear();
    if (!view || !view->layout.nodes)
        return;
    std::vector<const Node*> nodes;
    view->layout.nodes->forEach(
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
    look.shade = view ? view->options.distanceMode.shade : DistanceShade::None;
    look.selected = selected;
    look.shapes = &shapesOf(*m_network);
    look.colours = &m_colours;
    const platform::Rect item{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    platform::qt::QtDisplay display(painter);
    if (list == kNodeList && view) {
        if (Node* node = findNodeIn(view->layout.nodes, key.constData(), kind))
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
    forBothSets(m_buttons,
                [&](ButtonSet& set) { SetButtonFlags(set, command, enabled, checked ? 1 : 0); });
    m_toolBar->updateCommand(command);
}

void MainFrame::SetMenuAndButtonEnabled(int menuId, int command, bool enabled) {
    if (QAction* item = m_view.items.contains(menuId) ? m_view.items.at(menuId) : nullptr)
        item->setEnabled(enabled && !IsUnhandledCommand(menuId));
    forBothSets(m_buttons, [&](ButtonSet& set) { SetButtonFlags(set, command, enabled, -1); });
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
        forBothSets(m_buttons, [&](ButtonSet& set) {
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
        findNodeIn(view->layout.nodes, key.constData(), list->itemData(row, kKindRole).toInt()));
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
    ButtonDefinitions& sets = m_buttons;
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

} // namespace tarvo
