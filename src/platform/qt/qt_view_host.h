// The view host of a scroll area: repaints, scroll bars, caret, mouse, cursor, timers,
// pop-up text and title go to the widget and its viewport.
#pragma once

#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_region.h"
#include "platform/view_host.h"

#include <QCursor>
#include <QRect>
#include <QTimer>

#include <map>
#include <memory>

class QAbstractScrollArea;
class QPainter;

namespace platform::qt {

class QtViewHost : public ViewHost {
public:
    explicit QtViewHost(QAbstractScrollArea& area) : m_area(area) {}

    Size clientSize() const override;
    void invalidate(const Rect* rect) override;
    void scrollContents(int dx, int dy) override;
    void setScrollRange(ScrollBar bar, int minimum, int maximum) override;
    void setScrollPosition(ScrollBar bar, int position) override;
    int scrollPosition(ScrollBar bar) const override;
    void createCaret(int width, int height) override;
    void setCaretPosition(Point at) override;
    void showCaret(bool shown) override;
    void destroyCaret() override;
    void captureMouse(bool captured) override;
    void setCursor(CursorShape shape) override;
    void startTimer(int id, int milliseconds, TimerClient& client) override;
    void stopTimer(int id) override;
    void showPopupText(Point at, const char* text) override;
    void postTask(std::function<void()> task) override;
    void setTitle(const char* title) override;
    std::unique_ptr<Display> measuringDisplay() override;
    RegionMaker& regions() override;
    Clipboard& clipboard() override { return m_clipboard; }

    // Draws the caret, inverted, over what was painted.
    void paintCaret(QPainter& painter) const;

private:
    QRect caretRect() const;

    QAbstractScrollArea& m_area;
    QtRegionMaker m_regions;
    QtClipboard m_clipboard;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
    // The cursors made so far, so that a drag's images are read once.
    std::map<CursorShape, QCursor> m_cursors;
    Size m_caretSize;
    Point m_caretAt;
    bool m_caretShown = false;
    bool m_caretMade = false;
};

} // namespace platform::qt
