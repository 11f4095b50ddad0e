// The view window.
#include "shell/net_view_widget.h"

#include "platform/keys.h"
#include "platform/qt/qt_display.h"
#include "view/net_view.h"
#include "view/view_commands.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
#include "view/view_window.h"

#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollBar>

namespace tarvo {

NetViewWidget::NetViewWidget(QWidget* parent) : QAbstractScrollArea(parent), m_host(*this) {
    setObjectName("NetView");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
}

NetViewWidget::~NetViewWidget() = default;

void NetViewWidget::setView(NetView* view) {
    m_view = view;
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
    if (!m_view || !key) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (!ViewKey(*m_view, key, mods & Qt::ShiftModifier, mods & Qt::ControlModifier))
        QAbstractScrollArea::keyPressEvent(event);
}

} // namespace tarvo
