// Regions over QRegion. Curved regions are made from the pixels a filled figure covers, so
// that a hit test agrees with what was drawn.
#include "platform/qt/qt_region.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>

namespace platform::qt {
namespace {

QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

// The pixels a painter path covers within `box`, as a region of one rectangle per run of a
// row. Drawn into an image, so that it needs no window system.
QRegion pathRegion(const QPainterPath& path, const QRect& box) {
    if (box.isEmpty())
        return {};
    QImage mask(box.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.translate(-box.topLeft());
        painter.drawPath(path);
    }
    QList<QRect> runs;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        int x = 0;
        while (x < mask.width()) {
            while (x < mask.width() && row[x] < 128)
                ++x;
            const int start = x;
            while (x < mask.width() && row[x] >= 128)
                ++x;
            if (x > start)
                runs.append(QRect(box.left() + start, box.top() + y, x - start, 1));
        }
    }
    QRegion region;
    if (!runs.isEmpty())
        region.setRects(runs.constData(), static_cast<int>(runs.size()));
    return region;
}

} // namespace

std::unique_ptr<Region> QtRegion::copy() const {
    return std::make_unique<QtRegion>(region);
}

void QtRegion::combine(const Region& other, RegionOp op) {
    const QRegion& with = toQRegion(other);
    switch (op) {
    case RegionOp::Union:
        region = region.united(with);
        break;
    case RegionOp::Intersect:
        region = region.intersected(with);
        break;
    case RegionOp::Difference:
        region = region.subtracted(with);
        break;
    }
}

Rect QtRegion::bounds() const {
    const QRect box = region.boundingRect();
    if (box.isEmpty())
        return {};
    return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
}

const QRegion& toQRegion(const Region& region) {
    return static_cast<const QtRegion&>(region).region;
}

std::unique_ptr<Region> QtRegionMaker::rectRegion(const Rect& rect) {
    return std::make_unique<QtRegion>(QRegion(toQRect(rect)));
}

std::unique_ptr<Region> QtRegionMaker::ellipseRegion(const Rect& rect) {
    return std::make_unique<QtRegion>(QRegion(toQRect(rect), QRegion::Ellipse));
}

std::unique_ptr<Region> QtRegionMaker::roundRectRegion(const Rect& rect, int ellipseWidth,
                                                       int ellipseHeight) {
    QPainterPath path;
    path.addRoundedRect(QRectF(toQRect(rect)), std::max(0, ellipseWidth) / 2.0,
                        std::max(0, ellipseHeight) / 2.0);
    return std::make_unique<QtRegion>(pathRegion(path, toQRect(rect)));
}

std::unique_ptr<Region> QtRegionMaker::polygonRegion(const Point* points, int count,
                                                     FillMode mode) {
    QPolygon polygon;
    polygon.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    return std::make_unique<QtRegion>(
        QRegion(polygon, mode == FillMode::Alternate ? Qt::OddEvenFill : Qt::WindingFill));
}

} // namespace platform::qt
