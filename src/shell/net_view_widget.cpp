// The view window.
#include "shell/net_view_widget.h"

#include "platform/keys.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_text.h"
#include "view/label_editor.h"
#include "view/net_view.h"
#include "view/view_commands.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
#include "view/view_window.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace tarvo {

NetViewWidget::NetViewWidget(QWidget* parent) : QAbstractScrollArea(parent), m_host(*this) {
    setObjectName("NetView");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    // Moves without a button pressed feed the hover texts.
    viewport()->setMouseTracking(true);
}

NetViewWidget::~NetViewWidget() = default;

void NetViewWidget::setView(NetView* view) {
    m_view = view;
    m_wheel = {};
    viewport()->update();
}

void NetViewWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (!m_view) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    platform::qt::QtDisplay display(painter);
    const QRect update = event->rect();
    auto clip = display.rectRegion({update.left(), update.top(), update.left() + update.width(),
                                    update.top() + update.height()});
    display.selectClipRegion(clip.get());
    Paint(*m_view, display);
    // The line a drag draws while it runs: the rubber line of a link, or where a node goes.
    platform::Point from;
    platform::Point to;
    if (DragLine(*m_view, &from, &to)) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    }
    m_host.paintCaret(painter);
}

void NetViewWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (m_view) {
        // The document window around the view is the one maximised or minimised.
        const QWidget* frame = parentWidget();
        while (frame && !qobject_cast<const QMdiSubWindow*>(frame))
            frame = frame->parentWidget();
        ViewResized(*m_view, frame && frame->isMaximized(), frame && frame->isMinimized());
    }
}

void NetViewWidget::scrollContentsBy(int, int) {
    if (!m_view)
        return;
    // Both bars are read: a move of one arrives here without saying which.
    ScrollBarMoved(*m_view, true, horizontalScrollBar()->value());
    ScrollBarMoved(*m_view, false, verticalScrollBar()->value());
}

int NetViewWidget::viewKey(int qtKey) {
    using namespace platform::keys;
    switch (qtKey) {
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Tab:
        return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Escape:
        return kEscape;
    case Qt::Key_Space:
        return kSpace;
    case Qt::Key_PageUp:
        return kPageUp;
    case Qt::Key_PageDown:
        return kPageDown;
    case Qt::Key_End:
        return kEnd;
    case Qt::Key_Home:
        return kHome;
    case Qt::Key_Left:
        return kLeft;
    case Qt::Key_Up:
        return kUp;
    case Qt::Key_Right:
        return kRight;
    case Qt::Key_Down:
        return kDown;
    case Qt::Key_Insert:
        return kInsert;
    case Qt::Key_Delete:
        return kDelete;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey; // the same codes as the view's
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return kF1 + (qtKey - Qt::Key_F1);
    return 0;
}

void NetViewWidget::keyPressEvent(QKeyEvent* event) {
    const int key = viewKey(event->key());
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    if (m_view && EditorOpen(*m_view)) {
        // Ctrl with a key the view does not use (a letter such as O, or a key it has no code
        // for) may be an accent key, which the keyboard layout names by its native code.
        if (ctrl) {
            if (!key || !ViewKey(*m_view, key, shift, ctrl))
                EditorAccentKey(*m_view, static_cast<int>(event->nativeScanCode()), shift);
            return;
        }
        if (!ctrl && key == platform::keys::kBackspace) {
            EditorChar(*m_view, platform::keys::kBackspace, event->count());
            return;
        }
        // What the key types goes into the label; keys that type nothing, or only a control
        // character (Enter, Escape, Tab, Delete), go to the view as keys.
        const std::string typed = platform::qt::fromQString(event->text());
        const bool printable =
            !typed.empty() && static_cast<unsigned char>(typed[0]) >= ' ' && typed[0] != '\x7f';
        if (!ctrl && printable) {
            // The count is the repeat of a single character, else the number of characters.
            const int repeat = typed.size() == 1 ? event->count() : 1;
            for (const char c : typed)
                EditorChar(*m_view, static_cast<unsigned char>(c), repeat);
            return;
        }
    }
    if (!m_view || !key) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (!ViewKey(*m_view, key, shift, ctrl))
        QAbstractScrollArea::keyPressEvent(event);
}

void NetViewWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (m_view)
        EditorFocus(*m_view, false);
}

void NetViewWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (m_view)
        EditorFocus(*m_view, true);
}

namespace {

platform::Point pointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

// The view window under a point of the screen, if any.
NetViewWidget* viewWindowAt(const QPointF& global) {
    for (QWidget* w = QApplication::widgetAt(global.toPoint()); w; w = w->parentWidget())
        if (auto* window = qobject_cast<NetViewWidget*>(w))
            return window;
    return nullptr;
}

} // namespace

void NetViewWidget::mousePressEvent(QMouseEvent* event) {
    if (!m_view)
        return;
    setFocus(Qt::MouseFocusReason);
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (event->button() == Qt::LeftButton)
        ViewMouseDown(*m_view, pointOf(event), mods & Qt::ShiftModifier,
                      mods & Qt::ControlModifier);
    else if (event->button() == Qt::RightButton)
        ViewRightButtonDown(*m_view, pointOf(event));
}

void NetViewWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_view)
        return;
    ViewMouseMove(*m_view, pointOf(event));
    // A link dragged over another view shows there what the drop would make.
    if (dragState(*m_view).view == m_view && event->buttons() & Qt::LeftButton) {
        NetViewWidget* over = viewWindowAt(event->globalPosition());
        if (over && over != this && over->view()) {
            const QPoint local = over->viewport()->mapFromGlobal(event->globalPosition().toPoint());
            ViewDragOver(*over->view(), {local.x(), local.y()});
        }
    }
}

void NetViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_view || event->button() != Qt::LeftButton)
        return;
    // The drop lands in whichever view lies under the mouse: this one or another.
    NetViewWidget* over = viewWindowAt(event->globalPosition());
    if (!over && viewport()->rect().contains(event->position().toPoint()))
        over = this;
    NetView* target = over ? over->view() : nullptr;
    platform::Point at = pointOf(event);
    if (over && over != this) {
        const QPoint local = over->viewport()->mapFromGlobal(event->globalPosition().toPoint());
        at = {local.x(), local.y()};
    }
    ViewMouseUp(*m_view, pointOf(event), target, at);
}

void NetViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!m_view || event->button() != Qt::LeftButton)
        return;
    ViewDoubleClick(*m_view, pointOf(event));
}

void NetViewWidget::wheelEvent(QWheelEvent* event) {
    if (!m_view) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    WheelTurn turn;
    turn.angle = {event->angleDelta().x(), event->angleDelta().y()};
    turn.pixels = {event->pixelDelta().x(), event->pixelDelta().y()};
    const QPoint at = event->position().toPoint();
    turn.at = {at.x(), at.y()};
    turn.shift = event->modifiers() & Qt::ShiftModifier;
    turn.ctrl = event->modifiers() & Qt::ControlModifier;
    // A notch scrolls as far as the scroll bars' own wheel handling would.
    ViewWheel(*m_view, m_wheel, turn,
              QApplication::wheelScrollLines() * verticalScrollBar()->singleStep());
    event->accept();
}

} // namespace tarvo
