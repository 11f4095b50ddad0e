// Figures through QPainter: lines, polygons, rectangles, ellipses and arcs.
#include "platform/qt/qt_display.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::qt {
namespace {

QPolygon toQPolygon(const Point* points, int count) {
    QPolygon polygon;
    polygon.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    return polygon;
}

Qt::FillRule fillRule(FillMode mode) {
    return mode == FillMode::Alternate ? Qt::OddEvenFill : Qt::WindingFill;
}

// Slanted and curved figures are drawn antialiased while one lives, and the painter is left as
// it was afterwards. Lines and rectangles along the pixel grid, fills, frames and exclusive-or
// lines stay aliased: they are crisp that way already, their pixels stay where they were, and
// an exclusive-or line must cover each pixel once.
class Smoothly {
public:
    explicit Smoothly(QPainter& painter, bool on = true)
        : m_painter(painter), m_was(painter.testRenderHint(QPainter::Antialiasing)) {
        if (on != m_was)
            m_painter.setRenderHint(QPainter::Antialiasing, on);
    }
    ~Smoothly() {
        if (m_painter.testRenderHint(QPainter::Antialiasing) != m_was)
            m_painter.setRenderHint(QPainter::Antialiasing, m_was);
    }
    Smoothly(const Smoothly&) = delete;
    Smoothly& operator=(const Smoothly&) = delete;

private:
    QPainter& m_painter;
    bool m_was;
};

bool slanted(Point a, Point b) {
    return a.x != b.x && a.y != b.y;
}

bool anySlanted(const Point* points, int count) {
    for (int i = 0; i < count; ++i)
        if (slanted(points[i], points[(i + 1) % count]))
            return true;
    return false;
}

// Where a smooth line through integer points runs so that it covers the pixels the aliased
// one would: an odd pen width centred on the pixels' centres, an even one on their edges.
double penCentring(const PenLook& look) {
    return look.style != PenStyle::Null && std::max(1, look.width) % 2 == 1 ? 0.5 : 0.0;
}

QPolygonF toSmoothPolygon(const Point* points, int count, double shift) {
    QPolygonF polygon;
    polygon.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i)
        polygon << QPointF(points[i].x + shift, points[i].y + shift);
    return polygon;
}

// The angle, in sixteenths of a degree anticlockwise from three o'clock, of the point where the
// ray from the centre of `box` towards `towards` meets the ellipse that fits the box.
double ellipseAngle(const QRectF& box, Point towards) {
    const double rx = std::max(box.width() / 2.0, 0.5);
    const double ry = std::max(box.height() / 2.0, 0.5);
    const QPointF centre = box.center();
    const double degrees =
        std::atan2(-(towards.y - centre.y()) / ry, (towards.x - centre.x()) / rx) * 180.0 /
        std::numbers::pi;
    return degrees * 16.0;
}

// An ellipse at least this many pixels across either way is too large for the painter's own
// arcs (see drawVisiblePartOfArc).
constexpr double kLargeArcPixels = 8192.0;

// What the painter can show, in its logical coordinates.
QRectF visibleArea(const QPainter& painter) {
    if (painter.hasClipping())
        return painter.clipBoundingRect();
    const QPaintDevice* device = painter.device();
    const QRectF whole(0, 0, device ? device->width() : 0, device ? device->height() : 0);
    return painter.transform().inverted().mapRect(whole);
}

// Draws the arc of the ellipse in `box` from angle `from` over `span` (radians, the painter's
// sense) when the ellipse is large; answers false, drawing nothing, when it is not. The painter
// strokes an arc by flattening the whole of it however little of it shows, and rounds its ends
// to a sixteenth of a degree: on an ellipse millions of pixels across (a long link in a view of
// a large network) that costs seconds per paint and puts the ends pixels away. Here the arc is
// cut into pieces short enough to stay within a sixteenth of a pixel of the curve, and only the
// runs of pieces that cross the visible area are drawn.
bool drawVisiblePartOfArc(QPainter& painter, const QRectF& box, double from, double span) {
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    const double largest = std::max(rx, ry);
    if (2.0 * largest < kLargeArcPixels)
        return false;
    const double pad = std::max(painter.pen().widthF(), 1.0) + 2.0;
    const QRectF visible = visibleArea(painter).adjusted(-pad, -pad, pad, pad);
    if (!box.adjusted(-pad, -pad, pad, pad).intersects(visible))
        return true;
    const QPointF centre = box.center();
    const auto at = [&](double angle) {
        return QPointF(centre.x() + rx * std::cos(angle), centre.y() - ry * std::sin(angle));
    };
    // A chord of angle d on a radius r lies r d^2 / 8 from the curve at most.
    const double step = std::sqrt(0.5 / largest);
    constexpr double kMostPieces = 1 << 22;
    const double pieces = std::clamp(std::ceil(std::abs(span) / step), 1.0, kMostPieces);
    const int count = static_cast<int>(pieces);
    QPolygonF run;
    QPointF previous = at(from);
    for (int i = 1; i <= count; ++i) {
        const QPointF next = at(from + span * i / count);
        const QRectF piece = QRectF(previous, next).normalized();
        if (piece.adjusted(-0.5, -0.5, 0.5, 0.5).intersects(visible)) {
            if (run.isEmpty())
                run << previous;
            run << next;
        } else if (!run.isEmpty()) {
            painter.drawPolyline(run);
            run.clear();
        }
        previous = next;
    }
    if (!run.isEmpty())
        painter.drawPolyline(run);
    return true;
}

} // namespace

void QtDisplay::lineTo(Point to) {
    const Point from = m_state.position;
    m_state.position = to;
    if (m_state.penLook.style == PenStyle::Null)
        return;
    if (!slanted(from, to)) {
        m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
        return;
    }
    const Smoothly smooth(m_painter);
    const double c = penCentring(m_state.penLook);
    m_painter.drawLine(QPointF(from.x + c, from.y + c), QPointF(to.x + c, to.y + c));
}

void QtDisplay::polyline(const Point* points, int count) {
    if (count < 2)
        return;
    bool smooth = false;
    for (int i = 0; i + 1 < count; ++i)
        smooth = smooth || slanted(points[i], points[i + 1]);
    if (!smooth) {
        m_painter.drawPolyline(toQPolygon(points, count));
        return;
    }
    const Smoothly smoothly(m_painter);
    m_painter.drawPolyline(toSmoothPolygon(points, count, penCentring(m_state.penLook)));
}

void QtDisplay::polygon(const Point* points, int count) {
    if (count < 2)
        return;
    if (!anySlanted(points, count)) {
        m_painter.drawPolygon(toQPolygon(points, count), fillRule(m_state.fillMode));
        return;
    }
    const Smoothly smooth(m_painter);
    m_painter.drawPolygon(toSmoothPolygon(points, count, penCentring(m_state.penLook)),
                          fillRule(m_state.fillMode));
}

void QtDisplay::polyPolygon(const Point* points, const int* counts, int polygons) {
    QPainterPath path;
    path.setFillRule(fillRule(m_state.fillMode));
    bool smooth = false;
    const Point* at = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] >= 2) {
            path.addPolygon(QPolygonF(toQPolygon(at, counts[i])));
            path.closeSubpath();
            smooth = smooth || anySlanted(at, counts[i]);
        }
        at += std::max(counts[i], 0);
    }
    const Smoothly smoothly(m_painter, smooth);
    if (smooth) {
        const double c = penCentring(m_state.penLook);
        path.translate(c, c);
    }
    m_painter.drawPath(path);
}

QRectF QtDisplay::figureRect(const Rect& rect) const {
    const PenLook& look = m_state.penLook;
    if (look.style == PenStyle::Null)
        return QRectF(rect.left, rect.top, rect.width(), rect.height());
    const double width = std::max(1, look.width);
    const double inset = look.style == PenStyle::InsideFrame ? width / 2.0 : 0.5;
    return QRectF(rect.left + inset, rect.top + inset, rect.width() - 2 * inset,
                  rect.height() - 2 * inset);
}

void QtDisplay::rectangle(const Rect& rect) {
    if (rect.empty())
        return;
    // An unfilled frame one pixel wide covers the same pixels as an integer rectangle one
    // smaller, which the painter draws without going through a path; a rectangle one pixel
    // across is a line to the painter, and keeps the general way.
    if (m_state.penLook.style != PenStyle::Null && m_state.penLook.width <= 1 &&
        m_state.qbrush.style() == Qt::NoBrush && rect.width() > 1 && rect.height() > 1) {
        m_painter.drawRect(QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1));
        return;
    }
    m_painter.drawRect(figureRect(rect));
}

void QtDisplay::ellipse(const Rect& rect) {
    if (rect.empty())
        return;
    const Smoothly smooth(m_painter);
    m_painter.drawEllipse(figureRect(rect));
}

void QtDisplay::roundRect(const Rect& rect, int ellipseWidth, int ellipseHeight) {
    if (rect.empty())
        return;
    const Smoothly smooth(m_painter, ellipseWidth > 1 && ellipseHeight > 1);
    m_painter.drawRoundedRect(figureRect(rect), std::max(0, ellipseWidth) / 2.0,
                              std::max(0, ellipseHeight) / 2.0);
}

void QtDisplay::drawCurve(const Rect& rect, Point start, Point end, bool closed) {
    if (rect.empty())
        return;
    const QRectF box = figureRect(rect);
    const double from = ellipseAngle(box, start);
    double span = ellipseAngle(box, end) - from;
    // Equal ends give the whole ellipse.
    while (span <= 0.0)
        span += 360.0 * 16.0;
    const int a = static_cast<int>(std::lround(from));
    const int s = static_cast<int>(std::lround(span));
    const Smoothly smooth(m_painter);
    constexpr double kRadiansPerUnit = std::numbers::pi / (180.0 * 16.0);
    if (closed)
        m_painter.drawChord(box, a, s);
    else if (!drawVisiblePartOfArc(m_painter, box, from * kRadiansPerUnit, span * kRadiansPerUnit))
        m_painter.drawArc(box, a, s);
}

void QtDisplay::arc(const Rect& rect, Point start, Point end) {
    drawCurve(rect, start, end, false);
}

void QtDisplay::chord(const Rect& rect, Point start, Point end) {
    drawCurve(rect, start, end, true);
}

void QtDisplay::xorLine(Point from, Point to) {
    const QPainter::CompositionMode mode = m_painter.compositionMode();
    const QPen pen = m_painter.pen();
    m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter.setPen(QPen(Qt::white, 1));
    m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    m_painter.setPen(pen);
    m_painter.setCompositionMode(mode);
}

} // namespace platform::qt
