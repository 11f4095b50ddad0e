// The "NetView" window of a document: paints its view, and turns the window's events into the
// view's calls.
#pragma once

#include "platform/qt/qt_view_host.h"
#include "view/view_scale.h"

#include <QAbstractScrollArea>

namespace tarvo {

class NetView;

class NetViewWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit NetViewWidget(QWidget* parent = nullptr);
    ~NetViewWidget() override;

    platform::qt::QtViewHost& host() { return m_host; }
    // The view this window shows; null for none. The view must outlive its time here.
    void setView(NetView* view);
    NetView* view() const { return m_view; }

    // The view's key code for a Qt key, or 0 for none.
    static int viewKey(int qtKey);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The label editor shows its caret and selection while the window has the keyboard focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    platform::qt::QtViewHost m_host;
    NetView* m_view = nullptr;
    WheelRemainder m_wheel;
};

} // namespace tarvo
