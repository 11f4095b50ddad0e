// The inheritance report window and the inspection windows' owner: modeless dialogs over the
// dialog framework that follow a view; what they show is decided in view/node_windows_content.
#include "dialogs/node_windows.h"

#include "dialogs/node_window_frame.h"
#include "inheritance/inheritance_report.h"
#include "platform/qt/qt_display.h"

#include <QMessageBox>
#include <QPainter>
#include <QPointer>

#include <cstdlib>

namespace tarvo {

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
