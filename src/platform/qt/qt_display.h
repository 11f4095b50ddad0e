// The drawing surface over a QPainter: a widget while it paints, or an image.
#pragma once

#include "platform/display.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPointF>

class QPainter;

namespace platform::qt {

class QtFont : public Font {
public:
    explicit QtFont(const QFont& font) : font(font) {}
    QFont font;
};

class QtBrush : public Brush {
public:
    explicit QtBrush(const QBrush& brush) : brush(brush) {}
    QBrush brush;
};

QFont toQFont(const LogicalFont& font);
QColor toQColor(Colour colour);

class QtDisplay : public Display {
public:
    // Draws through `painter`, which must outlive the display.
    explicit QtDisplay(QPainter& painter);

    std::unique_ptr<Font> createFont(const LogicalFont& font) override;
    Font* selectFont(Font* font) override;
    Size textExtent(const char* text, int length) override;
    void textOut(const char* text, int length) override;
    void moveTo(Point to) override { m_position = to; }
    Point currentPosition() const override { return m_position; }
    void setTextColour(Colour colour) override;

    std::unique_ptr<Brush> createBrush(const BrushSpec& wanted) override;
    void setBrushOrigin(Point origin) override;

    int bitsPerPixel() const override;

    QPainter& painter() { return m_painter; }

private:
    QPainter& m_painter;
    QFont m_defaultFont;
    Font* m_selected = nullptr;
    Point m_position;
    QColor m_textColour = Qt::black;
};

} // namespace platform::qt
