// Drawing through QPainter.
#include "platform/qt/qt_display.h"

#include "platform/qt/qt_text.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <string>

namespace platform::qt {
namespace {

Qt::BrushStyle hatchStyle(Hatch hatch) {
    switch (hatch) {
    case Hatch::Horizontal:
        return Qt::HorPattern;
    case Hatch::Vertical:
        return Qt::VerPattern;
    case Hatch::ForwardDiagonal:
        return Qt::FDiagPattern;
    case Hatch::BackwardDiagonal:
        return Qt::BDiagPattern;
    case Hatch::Cross:
        return Qt::CrossPattern;
    case Hatch::DiagonalCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::HorPattern;
}

QImage patternImage(const BrushSpec& wanted) {
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb on = toQColor(wanted.colour).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, (wanted.pattern[y] & (0x80 >> x)) ? on : qRgb(255, 255, 255));
    return image;
}

QString textOf(const char* text, int length) {
    return toQString(std::string(text, static_cast<std::size_t>(std::max(length, 0))));
}

} // namespace

QColor toQColor(Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QFont toQFont(const LogicalFont& lf) {
    QFont font;
    if (lf.faceName[0])
        font.setFamily(toQString(std::string(lf.faceName, strnlen(lf.faceName, kFaceNameBytes))));
    // A negative height is the character height; a positive one the whole cell, of which the
    // character takes about four fifths.
    if (lf.height < 0)
        font.setPixelSize(std::max(1, -lf.height));
    else if (lf.height > 0)
        font.setPixelSize(std::max(1, lf.height * 4 / 5));
    if (lf.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight, 1, 1000)));
    font.setItalic(lf.italic != 0);
    font.setUnderline(lf.underline != 0);
    font.setStrikeOut(lf.strikeOut != 0);
    if ((lf.pitchAndFamily & 0x0F) == kFixedPitch)
        font.setFixedPitch(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QtDisplay::QtDisplay(QPainter& painter) : m_painter(painter), m_defaultFont(painter.font()) {}

std::unique_ptr<Font> QtDisplay::createFont(const LogicalFont& font) {
    return std::make_unique<QtFont>(toQFont(font));
}

Font* QtDisplay::selectFont(Font* font) {
    Font* previous = m_selected;
    m_selected = font;
    m_painter.setFont(font ? static_cast<QtFont*>(font)->font : m_defaultFont);
    return previous;
}

Size QtDisplay::textExtent(const char* text, int length) {
    const QFontMetrics metrics(m_painter.font(), m_painter.device());
    return {metrics.horizontalAdvance(textOf(text, length)), metrics.height()};
}

void QtDisplay::textOut(const char* text, int length) {
    const QString shown = textOf(text, length);
    m_painter.save();
    m_painter.setPen(m_textColour);
    m_painter.drawText(QPoint(m_position.x, m_position.y), shown);
    m_painter.restore();
    const QFontMetrics metrics(m_painter.font(), m_painter.device());
    m_position.x += metrics.horizontalAdvance(shown);
}

void QtDisplay::setTextColour(Colour colour) {
    m_textColour = toQColor(colour);
}

std::unique_ptr<Brush> QtDisplay::createBrush(const BrushSpec& wanted) {
    switch (wanted.style) {
    case BrushStyle::Solid:
        return std::make_unique<QtBrush>(QBrush(toQColor(wanted.colour)));
    case BrushStyle::Hatch:
        return std::make_unique<QtBrush>(QBrush(toQColor(wanted.colour), hatchStyle(wanted.hatch)));
    case BrushStyle::Pattern:
        return std::make_unique<QtBrush>(QBrush(patternImage(wanted)));
    case BrushStyle::Null:
        break;
    }
    return std::make_unique<QtBrush>(QBrush(Qt::NoBrush));
}

void QtDisplay::setBrushOrigin(Point origin) {
    m_painter.setBrushOrigin(origin.x, origin.y);
}

int QtDisplay::bitsPerPixel() const {
    const QPaintDevice* device = m_painter.device();
    return device ? device->depth() : 32;
}

} // namespace platform::qt
