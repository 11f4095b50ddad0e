// Drawing through QPainter: pens, brushes, fills, regions, clip and origin; image displays.
#include "platform/qt/qt_display.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstddef>
#include <utility>

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

QImage patternImage(const BrushLook& wanted) {
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb on = toQColor(wanted.colour).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y,
                           (wanted.pattern[static_cast<std::size_t>(y)] & (0x80 >> x))
                               ? on
                               : qRgb(255, 255, 255));
    return image;
}

QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

} // namespace

QColor toQColor(Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QtDisplay::QtDisplay(QPainter& painter) : m_painter(painter), m_defaultFont(painter.font()) {
    // Figures are aliased unless they have slanted or curved edges (see Smoothly); text is
    // always smooth.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setBrush(m_state.qbrush);
    applyPen();
}

std::unique_ptr<Brush> QtDisplay::createBrush(const BrushLook& wanted) {
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
    m_painter.setBrushOrigin(origin.x - m_state.origin.x, origin.y - m_state.origin.y);
}

int QtDisplay::bitsPerPixel() const {
    const QPaintDevice* device = m_painter.device();
    return device ? device->depth() : 32;
}

std::unique_ptr<Region> QtDisplay::rectRegion(const Rect& rect) {
    return m_regions.rectRegion(rect);
}
std::unique_ptr<Region> QtDisplay::ellipseRegion(const Rect& rect) {
    return m_regions.ellipseRegion(rect);
}
std::unique_ptr<Region> QtDisplay::roundRectRegion(const Rect& rect, int ellipseWidth,
                                                   int ellipseHeight) {
    return m_regions.roundRectRegion(rect, ellipseWidth, ellipseHeight);
}
std::unique_ptr<Region> QtDisplay::polygonRegion(const Point* points, int count, FillMode mode) {
    return m_regions.polygonRegion(points, count, mode);
}

std::unique_ptr<Pen> QtDisplay::createPen(const PenLook& wanted) {
    return std::make_unique<QtPen>(wanted);
}

Pen* QtDisplay::selectPen(Pen* pen) {
    Pen* previous = m_state.pen;
    m_state.pen = pen;
    const PenLook look = pen ? static_cast<QtPen*>(pen)->look : PenLook{};
    // The painter holds the pen of the current look: a pen that looks the same changes nothing.
    if (look == m_state.penLook)
        return previous;
    m_state.penLook = look;
    applyPen();
    return previous;
}

void QtDisplay::applyPen() {
    const PenLook& look = m_state.penLook;
    if (look.style == PenStyle::Null) {
        m_painter.setPen(Qt::NoPen);
        return;
    }
    QPen pen(toQColor(look.colour));
    pen.setWidth(std::max(1, look.width));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
}

Brush* QtDisplay::selectBrush(Brush* brush) {
    Brush* previous = m_state.brush;
    m_state.brush = brush;
    m_state.qbrush = brush ? static_cast<QtBrush*>(brush)->brush : QBrush(Qt::white);
    m_painter.setBrush(m_state.qbrush);
    return previous;
}

void QtDisplay::fillRect(const Rect& rect, Brush& brush) {
    if (!rect.empty())
        m_painter.fillRect(toQRect(rect), static_cast<QtBrush&>(brush).brush);
}

void QtDisplay::fillRegion(const Region& region, Brush& brush) {
    QPainterPath path;
    path.addRegion(toQRegion(region));
    m_painter.fillPath(path, static_cast<QtBrush&>(brush).brush);
}

void QtDisplay::frameRect(const Rect& rect, Brush& brush) {
    if (rect.empty())
        return;
    const QBrush& fill = static_cast<QtBrush&>(brush).brush;
    const int w = rect.width();
    const int h = rect.height();
    m_painter.fillRect(QRect(rect.left, rect.top, w, 1), fill);
    m_painter.fillRect(QRect(rect.left, rect.bottom - 1, w, 1), fill);
    m_painter.fillRect(QRect(rect.left, rect.top, 1, h), fill);
    m_painter.fillRect(QRect(rect.right - 1, rect.top, 1, h), fill);
}

QRegion QtDisplay::surface() const {
    const QPaintDevice* device = m_painter.device();
    return device ? QRegion(0, 0, device->width(), device->height()) : QRegion();
}

void QtDisplay::applyClip() {
    // The painter takes the clip in drawing coordinates. Without a clip of ours it clips to
    // the surface: a painter whose clipping was switched off ignored the next clip it got.
    const QRegion clip = m_state.clip ? *m_state.clip : surface();
    m_painter.setClipRegion(clip.translated(-m_state.origin.x, -m_state.origin.y));
}

void QtDisplay::selectClipRegion(const Region* region) {
    if (region)
        m_state.clip = toQRegion(*region);
    else
        m_state.clip.reset();
    applyClip();
}

void QtDisplay::combineClipRegion(const Region& region, RegionOp op) {
    QRegion clip = m_state.clip ? *m_state.clip : surface();
    const QRegion& with = toQRegion(region);
    switch (op) {
    case RegionOp::Union:
        clip = clip.united(with);
        break;
    case RegionOp::Intersect:
        clip = clip.intersected(with);
        break;
    case RegionOp::Difference:
        clip = clip.subtracted(with);
        break;
    }
    m_state.clip = clip;
    applyClip();
}

void QtDisplay::excludeClipRect(const Rect& rect) {
    combineClipRegion(QtRegion(QRegion(toQRect(rect.moved(m_state.origin.x, m_state.origin.y)))),
                      RegionOp::Difference);
}

void QtDisplay::intersectClipRect(const Rect& rect) {
    combineClipRegion(QtRegion(QRegion(toQRect(rect.moved(m_state.origin.x, m_state.origin.y)))),
                      RegionOp::Intersect);
}

Rect QtDisplay::clipBox() const {
    const QRect box = (m_state.clip ? *m_state.clip : surface()).boundingRect();
    if (box.isEmpty())
        return {};
    return Rect{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()}.moved(
        -m_state.origin.x, -m_state.origin.y);
}

bool QtDisplay::rectVisible(const Rect& rect) const {
    if (rect.empty())
        return false;
    const QRect onSurface = toQRect(rect.moved(m_state.origin.x, m_state.origin.y));
    return (m_state.clip ? *m_state.clip : surface()).intersects(onSurface);
}

void QtDisplay::save() {
    m_saved.push_back(m_state);
}

void QtDisplay::restore() {
    if (m_saved.empty())
        return;
    const State now = std::exchange(m_state, std::move(m_saved.back()));
    m_saved.pop_back();
    // The painter is told only what changed: painting saves and restores around every label.
    if (m_state.font != now.font)
        useFont(m_state.font);
    if (m_state.qbrush != now.qbrush)
        m_painter.setBrush(m_state.qbrush);
    if (!(m_state.penLook == now.penLook))
        applyPen();
    if (m_state.origin != now.origin)
        m_painter.setTransform(QTransform::fromTranslate(m_state.origin.x, m_state.origin.y));
    // The painter keeps its clip on the surface whatever the origin does.
    if (m_state.clip != now.clip)
        applyClip();
}

void QtDisplay::setOrigin(Point origin) {
    m_state.origin = origin;
    m_painter.setTransform(QTransform::fromTranslate(origin.x, origin.y));
    applyClip();
}

ImageSurface::ImageSurface(int width, int height)
    : image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
    image.fill(Qt::white);
    painter.begin(&image);
}

ImageDisplay::ImageDisplay(int width, int height)
    : ImageSurface(width, height), QtDisplay(ImageSurface::painter) {}

ImageDisplay::~ImageDisplay() {
    finish();
}

const QImage& ImageDisplay::finish() {
    if (ImageSurface::painter.isActive())
        ImageSurface::painter.end();
    return ImageSurface::image;
}

} // namespace platform::qt
