// The view host over a QAbstractScrollArea.
#include "platform/qt/qt_view_host.h"

#include "platform/qt/qt_display.h"
#include "platform/qt/qt_region.h"
#include "platform/qt/qt_text.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolTip>

namespace platform::qt {
namespace {

// The standard cursor of a shape; for the program's own drag cursors the one shown when their
// image is missing.
Qt::CursorShape cursorShape(CursorShape shape) {
    switch (shape) {
    case CursorShape::Arrow:
        return Qt::ArrowCursor;
    case CursorShape::Cross:
        return Qt::CrossCursor;
    case CursorShape::SizeAll:
        return Qt::SizeAllCursor;
    case CursorShape::SizeHorizontal:
        return Qt::SizeHorCursor;
    case CursorShape::SizeVertical:
        return Qt::SizeVerCursor;
    case CursorShape::Hand:
        return Qt::PointingHandCursor;
    case CursorShape::IBeam:
        return Qt::IBeamCursor;
    case CursorShape::Wait:
        return Qt::WaitCursor;
    case CursorShape::DragReorder:
        return Qt::SizeHorCursor;
    case CursorShape::Pan:
        return Qt::OpenHandCursor;
    case CursorShape::Zoom:
        return Qt::SizeVerCursor;
    case CursorShape::ZoomAspect:
        return Qt::SizeFDiagCursor;
    case CursorShape::DragLink:
        return Qt::DragMoveCursor;
    case CursorShape::DragStub:
        return Qt::DragLinkCursor;
    }
    return Qt::ArrowCursor;
}

// The number of the shape's image in the resources (":/cursors/<n>.png"); 0 for a standard one.
int cursorImage(CursorShape shape) {
    switch (shape) {
    case CursorShape::DragReorder:
        return 1;
    case CursorShape::Pan:
        return 4;
    case CursorShape::Zoom:
        return 5;
    case CursorShape::ZoomAspect:
        return 6;
    case CursorShape::DragLink:
        return 7;
    case CursorShape::DragStub:
        return 8;
    default:
        return 0;
    }
}

// The cursor of the shape: its image with the hot spot the glyph tool wrote into it, or the
// standard cursor.
QCursor makeCursor(CursorShape shape) {
    const int number = cursorImage(shape);
    if (number == 0)
        return QCursor(cursorShape(shape));
    const QImage image(QStringLiteral(":/cursors/%1.png").arg(number));
    if (image.isNull())
        return QCursor(cursorShape(shape));
    bool hasX = false;
    bool hasY = false;
    const int x = image.text(QStringLiteral("HotSpotX")).toInt(&hasX);
    const int y = image.text(QStringLiteral("HotSpotY")).toInt(&hasY);
    if (!hasX || !hasY)
        return QCursor(QPixmap::fromImage(image));
    return QCursor(QPixmap::fromImage(image), x, y);
}

} // namespace

Size QtViewHost::clientSize() const {
    const QSize size = m_area.viewport()->size();
    return {size.width(), size.height()};
}

void QtViewHost::invalidate(const Rect* rect) {
    if (rect)
        m_area.viewport()->update(QRect(rect->left, rect->top, rect->width(), rect->height()));
    else
        m_area.viewport()->update();
}

void QtViewHost::scrollContents(int, int) {
    m_area.viewport()->update();
}

void QtViewHost::setScrollRange(ScrollBar bar, int minimum, int maximum) {
    QScrollBar* scroll =
        bar == ScrollBar::Horizontal ? m_area.horizontalScrollBar() : m_area.verticalScrollBar();
    const QSignalBlocker quiet(scroll);
    scroll->setRange(minimum, maximum);
    const QSize page = m_area.viewport()->size();
    scroll->setPageStep(bar == ScrollBar::Horizontal ? page.width() : page.height());
    scroll->setSingleStep(16);
}

void QtViewHost::setScrollPosition(ScrollBar bar, int position) {
    QScrollBar* scroll =
        bar == ScrollBar::Horizontal ? m_area.horizontalScrollBar() : m_area.verticalScrollBar();
    // The view set it itself: no word back to the view.
    const QSignalBlocker quiet(scroll);
    scroll->setValue(position);
}

int QtViewHost::scrollPosition(ScrollBar bar) const {
    return bar == ScrollBar::Horizontal ? m_area.horizontalScrollBar()->value()
                                        : m_area.verticalScrollBar()->value();
}

QRect QtViewHost::caretRect() const {
    return QRect(m_caretAt.x, m_caretAt.y, std::max(1, m_caretSize.width),
                 std::max(1, m_caretSize.height));
}

void QtViewHost::createCaret(int width, int height) {
    if (m_caretMade)
        m_area.viewport()->update(caretRect());
    m_caretSize = {width, height};
    m_caretMade = true;
    m_caretShown = false;
}

void QtViewHost::setCaretPosition(Point at) {
    if (m_caretShown)
        m_area.viewport()->update(caretRect());
    m_caretAt = at;
    if (m_caretShown)
        m_area.viewport()->update(caretRect());
}

void QtViewHost::showCaret(bool shown) {
    m_caretShown = shown && m_caretMade;
    m_area.viewport()->update(caretRect());
}

void QtViewHost::destroyCaret() {
    if (m_caretMade)
        m_area.viewport()->update(caretRect());
    m_caretMade = m_caretShown = false;
}

void QtViewHost::paintCaret(QPainter& painter) const {
    if (!m_caretShown)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caretRect(), Qt::white);
    painter.restore();
}

void QtViewHost::captureMouse(bool captured) {
    if (captured)
        m_area.viewport()->grabMouse();
    else
        m_area.viewport()->releaseMouse();
}

void QtViewHost::setCursor(CursorShape shape) {
    auto found = m_cursors.find(shape);
    if (found == m_cursors.end())
        found = m_cursors.emplace(shape, makeCursor(shape)).first;
    m_area.viewport()->setCursor(found->second);
}

void QtViewHost::startTimer(int id, int milliseconds, TimerClient& client) {
    std::unique_ptr<QTimer>& timer = m_timers[id];
    if (!timer)
        timer = std::make_unique<QTimer>();
    timer->disconnect();
    QObject::connect(timer.get(), &QTimer::timeout, [&client, id] { client.timerTick(id); });
    timer->start(milliseconds);
}

void QtViewHost::stopTimer(int id) {
    const auto found = m_timers.find(id);
    if (found != m_timers.end())
        found->second->stop();
}

void QtViewHost::showPopupText(Point at, const char* text) {
    if (!text || !*text) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(m_area.viewport()->mapToGlobal(QPoint(at.x, at.y)), QString::fromUtf8(text),
                       m_area.viewport());
}

void QtViewHost::postTask(std::function<void()> task) {
    QMetaObject::invokeMethod(&m_area, std::move(task), Qt::QueuedConnection);
}

void QtViewHost::setTitle(const char* title) {
    // A sub-window of the document area shows the title of the widget it holds.
    m_area.setWindowTitle(QString::fromUtf8(title ? title : ""));
}

std::unique_ptr<Display> QtViewHost::measuringDisplay() {
    return std::make_unique<ImageDisplay>(1, 1);
}

RegionMaker& QtViewHost::regions() {
    return m_regions;
}

} // namespace platform::qt
