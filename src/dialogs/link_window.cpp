// The "Inspect links" window: a node's links of one relation, to see, reorder, show and hide.
#include "dialogs/node_window_frame.h"

#include "inheritance/inheritance_searches.h"
#include "platform/qt/qt_text.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>

namespace tarvo {
namespace {

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

void InspectionWindows::toggleLinkWindow(NetView& view) {
    if (closeToggled(InspectionKind::Links, view))
        return;
    auto* window = new LinkWindow(*this, view);
    m_links = window;
    if (!window->openAtPlace(m_report))
        window->closeWindow(true);
}

} // namespace tarvo
