// What the program draws with: a drawing surface of the window system, a window or an image.
#pragma once

#include "platform/colour.h"
#include "platform/font_description.h"

#include <array>
#include <cstdint>
#include <memory>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(Size, Size) = default;
};

// A rectangle whose right and bottom edges lie just outside it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool intersects(const Rect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    Rect grown(int by) const { return {left - by, top - by, right + by, bottom + by}; }
    Rect moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// How polygons that cross themselves are filled: alternate fills every other crossing.
enum class FillMode { Alternate, Winding };
enum class RegionOp { Union, Intersect, Difference };

// A set of pixels: for filling, clipping and hit tests.
class Region {
public:
    virtual ~Region() = default;
    virtual std::unique_ptr<Region> copy() const = 0;
    // This region becomes this `op` other.
    virtual void combine(const Region& other, RegionOp op) = 0;
    virtual void offset(int dx, int dy) = 0;
    virtual bool contains(Point p) const = 0;
    // The smallest rectangle holding the region; empty for an empty region.
    virtual Rect bounds() const = 0;
    virtual bool isEmpty() const = 0;
};

// Makes regions; a display makes them, and so does whatever hit-tests without drawing.
class RegionMaker {
public:
    virtual ~RegionMaker() = default;
    virtual std::unique_ptr<Region> rectRegion(const Rect& rect) = 0;
    // The ellipse that fits the rectangle.
    virtual std::unique_ptr<Region> ellipseRegion(const Rect& rect) = 0;
    // A rectangle with corners rounded by an ellipse of the given extents.
    virtual std::unique_ptr<Region> roundRectRegion(const Rect& rect, int ellipseWidth,
                                                    int ellipseHeight) = 0;
    virtual std::unique_ptr<Region> polygonRegion(const Point* points, int count,
                                                  FillMode mode) = 0;
};

// A font object made by a display; it stays valid while the display lives.
class Font {
public:
    virtual ~Font() = default;
};

enum class BrushStyle { Solid, Hatch, Pattern, Null };
enum class Hatch { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

struct BrushLook {
    BrushStyle style = BrushStyle::Solid;
    Colour colour;
    Hatch hatch = Hatch::Horizontal;
    // An 8 x 8 monochrome pattern, one byte a row, the top bit leftmost; set bits take the
    // colour, clear bits are white.
    std::array<std::uint8_t, 8> pattern = {};
};

class Brush {
public:
    virtual ~Brush() = default;
};

// Solid: centred on the line. InsideFrame: closed figures keep the whole pen inside their
// bounding rectangle. Null: draws nothing.
enum class PenStyle { Solid, Null, InsideFrame };

struct PenLook {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Colour colour;
    friend bool operator==(const PenLook&, const PenLook&) = default;
};

class Pen {
public:
    virtual ~Pen() = default;
};

// Text alignment flags for textAt: horizontal (left, right, centre) or-ed with vertical (top,
// bottom, baseline) of the text relative to the point.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 2;
inline constexpr int kAlignCentre = 6;
inline constexpr int kAlignTop = 0;
inline constexpr int kAlignBottom = 8;
inline constexpr int kAlignBaseline = 24;

class Display : public RegionMaker {
public:
    // Fonts and text. Text is Windows-1252 bytes.
    virtual std::unique_ptr<Font> createFont(const LogicalFont& font) = 0;
    // Selects `font` (null: the display's own default font) and answers the previous one.
    virtual Font* selectFont(Font* font) = 0;
    // The width and height of `length` bytes of text in the selected font.
    virtual Size textExtent(const char* text, int length) = 0;
    // Draws text with its baseline at the current position and moves the position past it.
    virtual void textOut(const char* text, int length) = 0;
    // Draws the characters one after the other as textOut draws each alone: every one where the
    // widths of those before it have moved the position.
    virtual void textOutEach(const char* text, int length) {
        for (int i = 0; i < length; ++i)
            textOut(text + i, 1);
    }
    // A combining mark with no letter before it is drawn on a dotted circle (U+25CC), the usual
    // stand-in for the missing letter: the circle's width in the selected font, and the mark on
    // it at the current position, which moves on by that width and the mark's own. A display
    // without such a circle draws the mark alone.
    virtual int markBaseWidth() { return 0; }
    virtual void markOnBase(char mark) { textOut(&mark, 1); }
    virtual void moveTo(Point to) = 0;
    virtual Point currentPosition() const = 0;
    virtual void setTextColour(Colour colour) = 0;

    // Brushes.
    virtual std::unique_ptr<Brush> createBrush(const BrushLook& wanted) = 0;
    // Where patterns and hatches start, in this display's coordinates.
    virtual void setBrushOrigin(Point origin) = 0;

    virtual int bitsPerPixel() const = 0;

    // Text at a point, aligned by the kAlign flags; the current position stays.
    virtual void textAt(Point at, int align, const char* text, int length) = 0;

    // Pens. A null pen to selectPen means the display's own: solid, 1 pixel, black.
    virtual std::unique_ptr<Pen> createPen(const PenLook& wanted) = 0;
    virtual Pen* selectPen(Pen* pen) = 0;
    // A null brush to selectBrush means the display's own: solid white.
    virtual Brush* selectBrush(Brush* brush) = 0;
    virtual void setFillMode(FillMode mode) = 0;

    // Lines from the current position, which moves to the end.
    virtual void lineTo(Point to) = 0;
    virtual void polyline(const Point* points, int count) = 0;
    // Closed figures: outlined with the pen, filled with the brush.
    virtual void polygon(const Point* points, int count) = 0;
    // Several polygons filled as one figure; counts[i] points each.
    virtual void polyPolygon(const Point* points, const int* counts, int polygons) = 0;
    virtual void rectangle(const Rect& rect) = 0;
    virtual void ellipse(const Rect& rect) = 0;
    virtual void roundRect(const Rect& rect, int ellipseWidth, int ellipseHeight) = 0;
    // The part of the ellipse fitting `rect` from the ray towards `start` anticlockwise to the
    // ray towards `end`; a chord also joins the two ends with a line and fills the figure.
    virtual void arc(const Rect& rect, Point start, Point end) = 0;
    virtual void chord(const Rect& rect, Point start, Point end) = 0;
    // Fills without the pen.
    virtual void fillRect(const Rect& rect, Brush& brush) = 0;
    virtual void fillRegion(const Region& region, Brush& brush) = 0;
    // A frame one pixel wide just inside the rectangle.
    virtual void frameRect(const Rect& rect, Brush& brush) = 0;
    // A line that inverts what it crosses: drawn twice, it leaves no trace.
    virtual void xorLine(Point from, Point to) = 0;

    // Clipping, in surface coordinates: the origin does not move the clip. A null region
    // removes the clip.
    virtual void selectClipRegion(const Region* region) = 0;
    virtual void combineClipRegion(const Region& region, RegionOp op) = 0;
    virtual void excludeClipRect(const Rect& rect) = 0;
    virtual void intersectClipRect(const Rect& rect) = 0;
    // The bounding box of what may be drawn; the whole surface without a clip.
    virtual Rect clipBox() const = 0;
    virtual bool rectVisible(const Rect& rect) const = 0;
    // Keeps and gives back pen, brush, font, text colour, fill mode, clip and origin.
    virtual void save() = 0;
    virtual void restore() = 0;

    // Where the point (0, 0) of what is drawn lies on the surface.
    virtual void setOrigin(Point origin) = 0;
    virtual Point origin() const = 0;
};

} // namespace platform
