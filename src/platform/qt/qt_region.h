// Regions over QRegion, and the maker that hit tests use outside painting.
#pragma once

#include "platform/display.h"

#include <QRegion>

namespace platform::qt {

class QtRegion : public Region {
public:
    explicit QtRegion(const QRegion& qtRegion) : region(qtRegion) {}

    std::unique_ptr<Region> copy() const override;
    void combine(const Region& other, RegionOp op) override;
    void offset(int dx, int dy) override { region.translate(dx, dy); }
    bool contains(Point p) const override { return region.contains(QPoint(p.x, p.y)); }
    Rect bounds() const override;
    bool isEmpty() const override { return region.isEmpty(); }

    QRegion region;
};

const QRegion& toQRegion(const Region& region);

// Regions for hit tests; it holds nothing, so each user keeps its own.
class QtRegionMaker : public RegionMaker {
public:
    std::unique_ptr<Region> rectRegion(const Rect& rect) override;
    std::unique_ptr<Region> ellipseRegion(const Rect& rect) override;
    std::unique_ptr<Region> roundRectRegion(const Rect& rect, int ellipseWidth,
                                            int ellipseHeight) override;
    std::unique_ptr<Region> polygonRegion(const Point* points, int count, FillMode mode) override;
};

} // namespace platform::qt
