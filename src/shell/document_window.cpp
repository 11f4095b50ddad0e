// The document window and what its view asks of the frame's menus and tool bar.
#include "shell/document_window.h"

#include "diagnostics/error_report.h"
#include "dialogs/node_windows.h"
#include "layout/view_node.h"
#include "shell/main_frame.h"
#include "shell/net_view_widget.h"
#include "view/net_view.h"
#include "view/view_commands.h"
#include "view/view_menus.h"
#include "view/view_window.h"

#include <QCloseEvent>
#include <QIcon>

namespace tarvo {
namespace {

// The view's requests reach the frame only while its document is the active one: the frame's
// menus and tool bar show the active document, and its activation brings them up to date.
class DocumentMenus : public ViewMenus {
public:
    DocumentMenus(MainFrame& frame, DocumentWindow& document)
        : m_frame(frame), m_document(document) {}

    void setPopupCaption(int menu, int item, const char* caption) override {
        if (active())
            m_frame.setViewPopupCaption(menu - (maximised() ? 1 : 0), item, caption);
    }
    void checkItem(int id, bool checked) override {
        if (active())
            m_frame.checkMenuAndButton(id, checked);
    }
    void enableItem(int id, bool enabled) override {
        if (active())
            m_frame.SetMenuAndButtonEnabled(id, id, enabled);
    }
    void showGroupValue(int group, int value) override {
        if (active())
            m_frame.showGroupValue(group, value);
    }
    void setSizeCaption(const char* caption) override {
        if (active())
            m_frame.setSizeCaption(caption);
    }
    void closeNodeListDropDown() override {
        if (active())
            m_frame.closeNodeListDropDown();
    }
    void repaintNodeList() override {
        if (active())
            m_frame.repaintNodeList();
    }
    ViewNode* nodeListSelection() const override {
        return active() ? m_frame.nodeListSelection() : nullptr;
    }
    void selectInNodeList(ViewNode* node) override {
        if (active())
            m_frame.selectInNodeList(node);
    }
    void showRelationChoice(Node* relation, bool enabled) override {
        if (active())
            m_frame.showRelationChoice(relation, enabled);
    }
    Node* relationListSelection() const override {
        return active() ? m_frame.relationListSelection() : nullptr;
    }
    void hideFontList() override {
        if (active())
            m_frame.hideFontList();
    }
    int fontListSelection() const override { return active() ? m_frame.fontListSelection() : -1; }
    void selectInFontList(int font) override {
        if (active())
            m_frame.selectInFontList(font);
    }
    void showFontList() override {
        if (active())
            m_frame.showFontList();
    }
    void cycleFocus(bool forward) override {
        if (active())
            m_frame.cycleFocus(forward);
    }
    void typeInNodeList(char typed) override {
        if (active())
            m_frame.typeInNodeList(typed);
    }
    void rememberOpenAt(OpenAt where) override { m_frame.setOpenViewsAt(where); }
    void showEditingTools(bool editing) override {
        if (active())
            m_frame.showEditingTools(editing);
    }

private:
    bool active() const { return m_frame.activeDocument() == &m_document; }
    bool maximised() const { return m_document.view() && m_document.view()->maximised; }

    MainFrame& m_frame;
    DocumentWindow& m_document;
};

} // namespace

DocumentWindow::DocumentWindow(MainFrame& frame, Node* node, const std::string& title,
                               int revealDistance)
    : m_frame(frame), m_title(title), m_widget(new NetViewWidget(this)),
      m_menus(std::make_unique<DocumentMenus>(frame, *this)) {
    setObjectName(QStringLiteral("MdiNetChild"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));
    setWidget(m_widget);
    resize(frame.defaultDocumentSize());
    auto view = std::make_unique<NetView>();
    ViewStartup startup;
    startup.title = m_title.c_str();
    startup.spotlightDepth = revealDistance;
    startup.openAt = frame.openViewsAt();
    startup.readablePoints = frame.readablePoints();
    view->dialogs = &frame.viewDialogs();
    view->colours = &frame.colours();
    view->pointer = frame.pointer();
    // A big view lays out on the event loop, a slice at a time, so that the other windows
    // go on painting.
    view->slicing.fromNodes = kSlicedLayoutNodes;
    if (!CreateView(*view, frame.network(), node, &m_widget->host(), m_menus.get(), startup)) {
        frame.errors().show("Couldn't allocate memory for editor");
        return;
    }
    m_view = std::move(view);
    m_widget->setView(m_view.get());
}

DocumentWindow::~DocumentWindow() {
    if (m_view) {
        m_frame.inspectionWindows().viewClosing(*m_view);
        m_widget->setView(nullptr);
        DestroyView(*m_view);
    }
}

NetView* DocumentWindow::view() const {
    return m_view.get();
}

bool DocumentWindow::command(int id) {
    return m_view && ViewCommand(*m_view, id);
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    // A document always agrees to close. The frame caption loses its title before the area
    // activates the next window, which then shows its own.
    m_frame.documentClosing(this);
    QMdiSubWindow::closeEvent(event);
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_view)
        ViewResized(*m_view, isMaximized(), isMinimized());
}

} // namespace tarvo
