// Node shapes: outlines by mirroring a quarter, regions with arc pieces, drawing, the set.
#include "view/shapes.h"

#include "layout/view_node.h"
#include "memory/shared_buffers.h"
#include "netfile/shape_file.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tarvo {
namespace {

using platform::Point;
using platform::Rect;

// An outline is made in 1000 bytes of 8-byte points, less the box header in front of it.
constexpr int kOutlineCapacity =
    kScratchTextBytes / static_cast<int>(sizeof(Point)) - kShapeHeaderPoints;
static_assert(4 * kMaxShapePoints - 3 <= kOutlineCapacity,
              "the whole outline of the longest quarter must fit its buffer");

// Arcs no larger than this are drawn without first asking whether they are visible.
constexpr int kSmallArcExtent = 20;
constexpr platform::Colour kLightGrey{192, 192, 192};

bool hasFlag(const ShapeRecord& shape, std::uint8_t flag) {
    return (shape.flags & flag) != 0;
}
bool isCurved(const ShapeRecord& shape) {
    return hasFlag(shape, ShapeFlags::Ellipse) || hasFlag(shape, ShapeFlags::RoundRect);
}

// ---------------------------------------------------------------------------------------------
// The outline

struct OutlineBuffer {
    std::array<Point, kOutlineCapacity> points{};
    std::array<std::uint8_t, kOutlineCapacity + 1> kinds{};

    // Positions are worked out in signed arithmetic: mirroring counts back from the far end.
    Point& point(int index) { return points[static_cast<std::size_t>(index)]; }
    std::uint8_t& kind(int index) { return kinds[static_cast<std::size_t>(index)]; }
};

// A file coordinate in pixels, towards zero. A point beyond the unit lies outside the node's
// box; only one beyond kOutlineReach half extents stops there.
int scaled(float scale, std::int32_t value, int half) {
    const double reach = std::min(static_cast<double>(kOutlineReach) * std::max(1, half),
                                  static_cast<double>(1 << 28));
    const double pixels =
        std::trunc(static_cast<double>(scale * static_cast<float>(value)) + 0.0001);
    return static_cast<int>(std::clamp(pixels, -reach, reach));
}

// The quarter in pixels, into the front of the buffer; answers its point count. A turned
// quarter has x and y exchanged and runs backwards, each kind staying with its segment.
int scaleQuarter(const ShapeInstance& instance, int inset, OutlineBuffer& out) {
    const ShapeRecord& shape = *instance.shape;
    const int n = std::clamp(shape.pointCount, 0, kMaxShapePoints);
    const int unit = instance.unit;
    const auto scaleOf = [&](int half) {
        return unit > 0 ? static_cast<float>(std::max(0, half - inset)) / static_cast<float>(unit)
                        : 0.0f;
    };
    const float ex = scaleOf(instance.halfWidth);
    const float ey = scaleOf(instance.halfHeight);
    for (int j = 0; j < n; ++j) {
        const ShapePoint p = shape.points[j];
        if (instance.turned) {
            out.point(n - 1 - j) = {scaled(ex, p.y, instance.halfWidth),
                                    scaled(ey, p.x, instance.halfHeight)};
            out.kind(n - j) = shape.kinds[j];
        } else {
            out.point(j) = {scaled(ex, p.x, instance.halfWidth),
                            scaled(ey, p.y, instance.halfHeight)};
            out.kind(j) = shape.kinds[j];
        }
    }
    if (instance.turned)
        out.kinds[0] = JoinKind::Move;
    return n;
}

// Completes the quarter of n points into the closed figure; answers the points stored, the
// last of which closes the figure. Where the quarter ends with a level edge or starts with an
// upright one, that edge is carried across the axis instead of stopping at it, so that the
// figure never holds the same point twice in a row.
int mirrorQuarter(int n, OutlineBuffer& out) {
    const auto p = [&out](int index) -> Point& { return out.point(index); };
    const auto k = [&out](int index) -> std::uint8_t& { return out.kind(index); };
    const bool levelTop = n >= 2 && p(n - 1).y == p(n - 2).y;
    const bool uprightSide = n >= 2 && p(0).x == p(1).x;
    // Across the vertical axis: the first half ends at the image of the quarter's first point.
    const int l = levelTop ? n - 3 : n - 2;
    for (int j = 0; j <= n - 2; ++j) {
        p(n + l - j) = {-p(j).x, p(j).y};
        k(n + l - j) = k(j + 1);
    }
    const int m = n + l;
    // Across the horizontal axis: the second half runs back to the first point's image.
    const int g = uprightSide ? m - 1 : m;
    for (int i = 0; i <= m - 1; ++i) {
        p(m + g - i) = {p(i).x, -p(i).y};
        k(m + g - i) = k(i + 1);
    }
    return g + m + 1;
}

void writeHeader(ShapeInstance& instance, const PixelBox& box, int centreX, int centreY) {
    const int left = box.left - centreX;
    const int top = box.top - centreY;
    const int right = box.right - centreX;
    const int bottom = box.bottom - centreY;
    instance.headerCount = kShapeHeaderPoints;
    if (instance.points.size() < kShapeHeaderPoints)
        instance.points.resize(kShapeHeaderPoints);
    const Point header[kShapeHeaderPoints] = {
        {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    std::copy(header, header + kShapeHeaderPoints, instance.points.begin());
}

void makeOutline(ShapeInstance& instance) {
    OutlineBuffer buffer;
    const int inset = std::max(0, instance.penWidth) / 2 + 1;
    const int n = scaleQuarter(instance, inset, buffer);
    const int stored = n > 0 ? mirrorQuarter(n, buffer) : 0;
    instance.storedCount = stored;
    instance.outlineCount = std::max(0, stored - 1);
    instance.points.resize(static_cast<std::size_t>(kShapeHeaderPoints) +
                           static_cast<std::size_t>(stored));
    std::copy(buffer.points.begin(), buffer.points.begin() + stored,
              instance.points.begin() + kShapeHeaderPoints);
    instance.kinds.assign(buffer.kinds.begin(), buffer.kinds.begin() + stored);
    instance.headerCount = kShapeHeaderPoints;
}

// ---------------------------------------------------------------------------------------------
// Arcs and regions

// The quarter ellipse that joins two outline points, drawn anticlockwise from start to end.
struct Arc {
    Point start;
    Point end;
    // The corner of the arc's box opposite the ellipse's centre.
    Point corner;
    Rect rect;
    int dx = 0;
    int dy = 0;
    // The ends share x or y: the arc is a straight line.
    bool flat = false;
};

Arc arcBetween(Point a, Point b, bool convex) {
    Arc arc;
    arc.dx = std::abs(b.x - a.x);
    arc.dy = std::abs(b.y - a.y);
    arc.flat = arc.dx == 0 || arc.dy == 0;
    const bool sx = b.x - a.x >= 0;
    const bool sy = b.y - a.y >= 0;
    if (convex)
        std::swap(a, b);
    const Point c = sx != sy ? Point{a.x, b.y} : Point{b.x, a.y};
    arc.start = a;
    arc.end = b;
    arc.corner = {c.x == a.x ? b.x : a.x, c.y == a.y ? b.y : a.y};
    arc.rect = {c.x - arc.dx, c.y - arc.dy, c.x + arc.dx + 1, c.y + arc.dy + 1};
    return arc;
}

Arc segmentArc(const ShapeInstance& instance, int i) {
    const Point* outline = instance.outline();
    return arcBetween(outline[i], outline[i + 1],
                      instance.kinds[static_cast<std::size_t>(i) + 1] == JoinKind::Convex);
}

std::uint8_t segmentKind(const ShapeInstance& instance, int i) {
    return instance.kinds[static_cast<std::size_t>(i) + 1];
}

Rect halfBox(const ShapeInstance& instance) {
    return {-instance.halfWidth, -instance.halfHeight, instance.halfWidth, instance.halfHeight};
}

// The corner ellipse of a rounded rectangle: as far in as the outline's second and third
// points stand from the box's edges.
Point cornerExtents(const ShapeInstance& instance) {
    if (instance.storedCount < 3)
        return {0, 0};
    const Point* outline = instance.outline();
    return {std::clamp(2 * (instance.halfWidth - outline[2].x), 0, 2 * instance.halfWidth),
            std::clamp(2 * (instance.halfHeight - outline[1].y), 0, 2 * instance.halfHeight)};
}

// What an arc adds to or cuts from the polygon: its whole ellipse, or with the chord flag only
// the piece between the chord and the arc.
std::unique_ptr<platform::Region> arcPiece(const ShapeInstance& instance, const Arc& arc) {
    platform::RegionMaker& maker = *instance.regionMaker;
    std::unique_ptr<platform::Region> piece = maker.ellipseRegion(arc.rect);
    if (hasFlag(*instance.shape, ShapeFlags::Chord)) {
        const Point triangle[3] = {arc.start, arc.end, arc.corner};
        piece->combine(*maker.polygonRegion(triangle, 3, platform::FillMode::Alternate),
                       platform::RegionOp::Intersect);
    }
    return piece;
}

std::unique_ptr<platform::Region> buildRegion(const ShapeInstance& instance) {
    platform::RegionMaker& maker = *instance.regionMaker;
    const ShapeRecord& shape = *instance.shape;
    if (hasFlag(shape, ShapeFlags::Ellipse))
        return maker.ellipseRegion(halfBox(instance));
    if (hasFlag(shape, ShapeFlags::RoundRect)) {
        const Point corner = cornerExtents(instance);
        return maker.roundRectRegion(halfBox(instance), corner.x, corner.y);
    }
    std::unique_ptr<platform::Region> region = maker.polygonRegion(
        instance.outline(), instance.outlineCount, platform::FillMode::Alternate);
    if (!hasFlag(shape, ShapeFlags::HasArcs))
        return region;
    // Every cut comes before every addition, so that a bulge is never bitten by a neighbour.
    for (const std::uint8_t kind : {JoinKind::Concave, JoinKind::Convex}) {
        const auto op =
            kind == JoinKind::Concave ? platform::RegionOp::Difference : platform::RegionOp::Union;
        for (int i = 0; i < instance.outlineCount; ++i) {
            if (segmentKind(instance, i) != kind)
                continue;
            const Arc arc = segmentArc(instance, i);
            if (!arc.flat)
                region->combine(*arcPiece(instance, arc), op);
        }
    }
    return region;
}

// ---------------------------------------------------------------------------------------------
// Drawing

// The pens and brushes one drawing needs, made only when the view lent none. Declared before
// the display's state is saved, so that nothing is released while the display still holds it.
class DrawingTools {
public:
    DrawingTools(platform::Display& display, const ShapeDrawing& drawing)
        : m_display(display), m_drawing(drawing) {}

    platform::Pen* nullPen() {
        if (!m_nullPen)
            m_nullPen = m_display.createPen({platform::PenStyle::Null, 0, {}});
        return m_nullPen.get();
    }
    platform::Brush* whiteBrush() {
        if (!m_whiteBrush)
            m_whiteBrush = m_display.createBrush({platform::BrushStyle::Solid, {255, 255, 255}});
        return m_whiteBrush.get();
    }
    platform::Brush* lightGreyBrush() {
        if (m_drawing.lightGreyBrush)
            return m_drawing.lightGreyBrush;
        if (!m_greyBrush)
            m_greyBrush = m_display.createBrush({platform::BrushStyle::Solid, kLightGrey});
        return m_greyBrush.get();
    }
    // A solid outline pen; black at the view's line width is the view's own pen.
    platform::Pen* outlinePen(platform::Colour colour, int width) {
        if (colour == platform::Colour{} && width == m_drawing.lineWidth && m_drawing.blackPen)
            return m_drawing.blackPen;
        if (!m_outlinePen)
            m_outlinePen = m_display.createPen({platform::PenStyle::Solid, width, colour});
        return m_outlinePen.get();
    }
    platform::Pen* framePen(platform::Colour colour, int width) {
        if (!m_framePen)
            m_framePen = m_display.createPen({platform::PenStyle::InsideFrame, width, colour});
        return m_framePen.get();
    }

private:
    platform::Display& m_display;
    const ShapeDrawing& m_drawing;
    std::unique_ptr<platform::Pen> m_nullPen;
    std::unique_ptr<platform::Brush> m_greyBrush;
    std::unique_ptr<platform::Brush> m_whiteBrush;
    std::unique_ptr<platform::Pen> m_outlinePen;
    std::unique_ptr<platform::Pen> m_framePen;
};

// Paints the part of the box outside a plain polygon light grey: box and outline as one figure
// of alternate fill, whose edges meet the polygon's own fill exactly.
void fillAroundPolygon(const ShapeInstance& instance, platform::Display& display,
                       DrawingTools& tools) {
    platform::Pen* pen = display.selectPen(tools.nullPen());
    platform::Brush* brush = display.selectBrush(tools.lightGreyBrush());
    display.setFillMode(platform::FillMode::Alternate);
    const int counts[2] = {instance.headerCount, instance.storedCount};
    display.polyPolygon(instance.points.data(), counts, 2);
    display.selectBrush(brush);
    display.selectPen(pen);
}

// Paints the part of the box outside a curved shape's region light grey. Drawn from the region,
// so that the grey meets the region's fill without a gap and the cuts of concave arcs show.
void fillAroundRegion(ShapeInstance& instance, platform::Display& display, DrawingTools& tools) {
    const Point* header = instance.points.data();
    std::unique_ptr<platform::Region> around =
        instance.regionMaker->rectRegion({header[0].x, header[0].y, header[2].x, header[2].y});
    around->combine(Region(instance), platform::RegionOp::Difference);
    display.fillRegion(*around, *tools.lightGreyBrush());
}

// The inside of a shape with arcs, in the display's brush: exactly its region, so that what is
// filled is what a hit test finds.
void fillRegion(ShapeInstance& instance, platform::Display& display, DrawingTools& tools) {
    platform::Brush* brush = display.selectBrush(nullptr);
    display.selectBrush(brush);
    display.fillRegion(Region(instance), brush ? *brush : *tools.whiteBrush());
}

// Each segment by its kind: moves draw nothing, arcs whose ends line up are lines.
void drawSegments(const ShapeInstance& instance, platform::Display& display, int lineWidth) {
    const Point* outline = instance.outline();
    for (int i = 0; i < instance.outlineCount; ++i) {
        const std::uint8_t kind = segmentKind(instance, i);
        if (kind == JoinKind::Move)
            continue;
        const Arc arc = segmentArc(instance, i);
        if (kind == JoinKind::Line || arc.flat) {
            display.moveTo(outline[i]);
            display.lineTo(outline[i + 1]);
            continue;
        }
        const bool large = arc.dx > kSmallArcExtent || arc.dy > kSmallArcExtent;
        if (large && !display.rectVisible(arc.rect.grown(lineWidth)))
            continue;
        display.arc(arc.rect, arc.start, arc.end);
    }
}

// The label, clipped to the region where the shape stands on the display's surface.
void paintLabel(ShapeInstance& instance, platform::Display& display, Point surfaceCentre,
                const LabelPainter& label) {
    if (!label)
        return;
    std::unique_ptr<platform::Region> clip = Region(instance).copy();
    clip->offset(surfaceCentre.x, surfaceCentre.y);
    display.save();
    display.combineClipRegion(*clip, platform::RegionOp::Intersect);
    label(display);
    display.restore();
}

// A new list replaces the records the set's instances point into.
void followShapeList(ShapeSet& set) {
    const ShapeFileState* state = set.source;
    const std::uint32_t generation = state ? state->generation : 0;
    const auto count = static_cast<std::size_t>(state ? state->shapeCount : 0);
    if (set.generation == generation && set.entries.size() == count)
        return;
    set.entries.clear();
    set.entries.resize(count);
    set.generation = generation;
}

} // namespace

// ---------------------------------------------------------------------------------------------

void Prepare(ShapeInstance& instance, int halfWidth, int halfHeight, int penWidth,
             const PixelBox& box, int centreX, int centreY, bool vertical) {
    const bool turned = hasFlag(*instance.shape, ShapeFlags::Turn) && !vertical;
    const bool same = halfWidth == instance.halfWidth && halfHeight == instance.halfHeight &&
                      turned == instance.turned && instance.storedCount > 0;
    if (same && penWidth == instance.penWidth) {
        writeHeader(instance, box, centreX, centreY);
        return;
    }
    instance.halfWidth = halfWidth;
    instance.halfHeight = halfHeight;
    instance.penWidth = penWidth;
    instance.turned = turned;
    makeOutline(instance);
    writeHeader(instance, box, centreX, centreY);
    // A thicker pen only insets the outline by a pixel or so; the region stays as it was.
    if (same)
        return;
    instance.region = buildRegion(instance);
}

platform::Region& Region(ShapeInstance& instance) {
    if (!instance.region)
        instance.region = buildRegion(instance);
    return *instance.region;
}

void Draw(ShapeInstance& instance, platform::Display& display, const ShapeDrawing& drawing,
          int centreX, int centreY, platform::Colour colour, int penWidth,
          const LabelPainter& label, bool fill) {
    assert(instance.headerCount == kShapeHeaderPoints && "Draw: the shape was never prepared");
    if (instance.headerCount != kShapeHeaderPoints)
        return;
    DrawingTools tools(display, drawing);
    Region(instance);
    display.save();
    const Point base = display.origin();
    const Point centre{base.x + centreX, base.y + centreY};
    display.setOrigin(centre);
    const ShapeRecord& shape = *instance.shape;
    const bool plain = !isCurved(shape) && !hasFlag(shape, ShapeFlags::HasArcs);
    if (fill && plain)
        fillAroundPolygon(instance, display, tools);
    else if (fill)
        fillAroundRegion(instance, display, tools);
    if (isCurved(shape)) {
        display.selectPen(tools.framePen(colour, penWidth));
        if (hasFlag(shape, ShapeFlags::Ellipse)) {
            display.ellipse(halfBox(instance));
        } else {
            const Point corner = cornerExtents(instance);
            display.roundRect(halfBox(instance), corner.x, corner.y);
        }
        paintLabel(instance, display, centre, label);
    } else if (hasFlag(shape, ShapeFlags::HasArcs)) {
        if (fill)
            fillRegion(instance, display, tools);
        paintLabel(instance, display, centre, label);
        display.selectPen(tools.outlinePen(colour, penWidth));
        drawSegments(instance, display, std::max(penWidth, drawing.lineWidth));
    } else {
        display.selectPen(tools.outlinePen(colour, penWidth));
        display.polygon(instance.outline(), instance.outlineCount);
        paintLabel(instance, display, centre, label);
    }
    display.restore();
}

int Contains(ShapeInstance& instance, int x, int y) {
    return Region(instance).contains({x, y}) ? 1 : 0;
}

void DropRegion(ShapeInstance& instance) {
    instance.region.reset();
}

ShapeSet* MakeShapeSet(platform::RegionMaker& regions, const ShapeFileState* source) {
    auto* set = new ShapeSet;
    set->regionMaker = &regions;
    set->source = source;
    followShapeList(*set);
    return set;
}

void DestroyShapeSet(ShapeSet* set) {
    delete set;
}

ShapeInstance* InstanceFor(ShapeSet& set, int shapeNumber) {
    followShapeList(set);
    if (shapeNumber < 1 || static_cast<std::size_t>(shapeNumber) > set.entries.size())
        return nullptr;
    std::unique_ptr<ShapeInstance>& entry = set.entries[static_cast<std::size_t>(shapeNumber) - 1];
    if (!entry)
        entry = std::make_unique<ShapeInstance>(*ShapeAt(*set.source, shapeNumber - 1),
                                                *set.regionMaker, set.source->unit);
    return entry.get();
}

void DropRegions(ShapeSet& set) {
    for (auto& entry : set.entries)
        if (entry)
            DropRegion(*entry);
}

void RemakeOutlines(ShapeSet& set, bool vertical) {
    followShapeList(set);
    for (auto& entry : set.entries) {
        if (!entry || !hasFlag(*entry->shape, ShapeFlags::Turn) || entry->storedCount == 0)
            continue;
        entry->turned = !vertical;
        makeOutline(*entry);
        // The region of the old orientation would no longer match what is drawn.
        DropRegion(*entry);
    }
}

platform::Point BoxCentre(const PixelBox& box) {
    return {box.left + (box.right - 1 - box.left) / 2, box.top + (box.bottom - 1 - box.top) / 2};
}

std::unique_ptr<platform::Region> NodeRegion(const ViewNode& node, ShapeSet& set,
                                             const ShapeDrawing& drawing) {
    const PixelBox& box = node.layoutBox;
    ShapeInstance* instance = InstanceFor(set, node.shape);
    if (!instance)
        return set.regionMaker->rectRegion({box.left, box.top, box.right, box.bottom});
    const Point centre = BoxCentre(box);
    if (instance->storedCount == 0)
        Prepare(*instance, drawing.halfWidth, drawing.halfHeight, drawing.lineWidth, box, centre.x,
                centre.y, drawing.vertical);
    std::unique_ptr<platform::Region> region = Region(*instance).copy();
    region->offset(centre.x, centre.y);
    return region;
}

} // namespace tarvo
