// A display for core tests: it draws nothing, measures every byte as `charWidth` pixels wide
// and `lineHeight` high, keeps the current position, and stands in regions by their bounding
// boxes. Tests derive from it and override what they watch.
#pragma once

#include "platform/display.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace testing_support {

class BoxRegion : public platform::Region {
public:
    explicit BoxRegion(const platform::Rect& area) : box(area) {}
    std::unique_ptr<platform::Region> copy() const override {
        return std::make_unique<BoxRegion>(box);
    }
    void combine(const platform::Region& other, platform::RegionOp op) override {
        const platform::Rect with = other.bounds();
        if (op == platform::RegionOp::Union)
            box = box.empty()
                      ? with
                      : platform::Rect{std::min(box.left, with.left), std::min(box.top, with.top),
                                       std::max(box.right, with.right),
                                       std::max(box.bottom, with.bottom)};
        else if (op == platform::RegionOp::Intersect)
            box = {std::max(box.left, with.left), std::max(box.top, with.top),
                   std::min(box.right, with.right), std::min(box.bottom, with.bottom)};
    }
    void offset(int dx, int dy) override { box = box.moved(dx, dy); }
    bool contains(platform::Point p) const override { return box.contains(p); }
    platform::Rect bounds() const override { return box.empty() ? platform::Rect{} : box; }
    bool isEmpty() const override { return box.empty(); }
    platform::Rect box;
};

class NullDisplay : public platform::Display {
public:
    std::unique_ptr<platform::Font> createFont(const platform::LogicalFont&) override {
        return std::make_unique<platform::Font>();
    }
    platform::Font* selectFont(platform::Font* font) override {
        return std::exchange(m_font, font);
    }
    platform::Size textExtent(const char*, int length) override {
        return {charWidth * std::max(length, 0), lineHeight};
    }
    void textOut(const char*, int length) override { m_position.x += charWidth * length; }
    void moveTo(platform::Point to) override { m_position = to; }
    platform::Point currentPosition() const override { return m_position; }
    void setTextColour(platform::Colour) override {}
    void textAt(platform::Point, int, const char*, int) override {}
    std::unique_ptr<platform::Brush> createBrush(const platform::BrushLook&) override {
        return std::make_unique<platform::Brush>();
    }
    void setBrushOrigin(platform::Point) override {}
    int bitsPerPixel() const override { return 32; }

    std::unique_ptr<platform::Region> rectRegion(const platform::Rect& rect) override {
        return std::make_unique<BoxRegion>(rect);
    }
    std::unique_ptr<platform::Region> ellipseRegion(const platform::Rect& rect) override {
        return std::make_unique<BoxRegion>(rect);
    }
    std::unique_ptr<platform::Region> roundRectRegion(const platform::Rect& rect, int,
                                                      int) override {
        return std::make_unique<BoxRegion>(rect);
    }
    std::unique_ptr<platform::Region> polygonRegion(const platform::Point* points, int count,
                                                    platform::FillMode) override {
        if (count <= 0)
            return std::make_unique<BoxRegion>(platform::Rect{});
        platform::Rect box{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
        for (int i = 1; i < count; ++i)
            box = {std::min(box.left, points[i].x), std::min(box.top, points[i].y),
                   std::max(box.right, points[i].x + 1), std::max(box.bottom, points[i].y + 1)};
        return std::make_unique<BoxRegion>(box);
    }

    std::unique_ptr<platform::Pen> createPen(const platform::PenLook&) override {
        return std::make_unique<platform::Pen>();
    }
    platform::Pen* selectPen(platform::Pen* pen) override { return std::exchange(m_pen, pen); }
    platform::Brush* selectBrush(platform::Brush* brush) override {
        return std::exchange(m_brush, brush);
    }
    void setFillMode(platform::FillMode) override {}
    void lineTo(platform::Point to) override { m_position = to; }
    void polyline(const platform::Point*, int) override {}
    void polygon(const platform::Point*, int) override {}
    void polyPolygon(const platform::Point*, const int*, int) override {}
    void rectangle(const platform::Rect&) override {}
    void ellipse(const platform::Rect&) override {}
    void roundRect(const platform::Rect&, int, int) override {}
    void arc(const platform::Rect&, platform::Point, platform::Point) override {}
    void chord(const platform::Rect&, platform::Point, platform::Point) override {}
    void fillRect(const platform::Rect&, platform::Brush&) override {}
    void fillRegion(const platform::Region&, platform::Brush&) override {}
    void frameRect(const platform::Rect&, platform::Brush&) override {}
    void xorLine(platform::Point, platform::Point) override {}
    void selectClipRegion(const platform::Region*) override {}
    void combineClipRegion(const platform::Region&, platform::RegionOp) override {}
    void excludeClipRect(const platform::Rect&) override {}
    void intersectClipRect(const platform::Rect&) override {}
    platform::Rect clipBox() const override { return {0, 0, 1 << 20, 1 << 20}; }
    bool rectVisible(const platform::Rect& rect) const override { return !rect.empty(); }
    void save() override {}
    void restore() override {}
    void setOrigin(platform::Point origin) override { m_origin = origin; }
    platform::Point origin() const override { return m_origin; }

    int charWidth = 10;
    int lineHeight = 16;

private:
    platform::Font* m_font = nullptr;
    platform::Pen* m_pen = nullptr;
    platform::Brush* m_brush = nullptr;
    platform::Point m_position;
    platform::Point m_origin;
};

} // namespace testing_support
