// Node shapes in a view: a shape of the shape file made whole for a box size, its region for
// filling, clipping and hit tests, its drawing, and the per-view set of prepared shapes.
#pragma once

#include "platform/display.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tarvo {

struct PixelBox;
struct ShapeFileState;
struct ShapeRecord;
class ViewNode;

// What the view lends its shapes for drawing and hit tests.
struct ShapeDrawing {
    // Top-down or Bottom-up: turnable shapes keep their x and y.
    bool vertical = false;
    int lineWidth = 1;
    // The half extents of a node box at the current cell size.
    int halfWidth = 0;
    int halfHeight = 0;
    // Solid, lineWidth wide, black: used for outlines drawn just so instead of a new pen.
    platform::Pen* blackPen = nullptr;
    // RGB 192,192,192: paints the box around a filled shape. Made for the drawing when null.
    platform::Brush* lightGreyBrush = nullptr;
    // The view's grey pen of the same colour. Filled shapes paint their surroundings with the
    // brush alone, so this may stay null.
    platform::Pen* greyPen = nullptr;
};

// Draws a node's label with the display's origin at the box centre and its clip narrowed to the
// shape.
using LabelPainter = std::function<void(platform::Display&)>;

inline constexpr int kShapeHeaderPoints = 5;
// How far from the box centre an outline point may lie, in half extents of the box: a figure
// may reach well out of its box, but a stray number in the file must not make one so large
// that building its region (which takes time with the square of its height) stalls the program.
inline constexpr int kOutlineReach = 8;

// One shape prepared for one box size and pen width.
struct ShapeInstance {
    ShapeInstance(const ShapeRecord& record, platform::RegionMaker& regions, std::int32_t fileUnit)
        : shape(&record), regionMaker(&regions), unit(fileUnit) {}

    // The box header, then the outline.
    const platform::Point* outline() const { return points.data() + headerCount; }

    const ShapeRecord* shape;
    // headerCount points of the box around the centre, closed, then storedCount outline points.
    std::vector<platform::Point> points;
    // The join kind of each outline point: how the point before reaches it.
    std::vector<std::uint8_t> kinds;
    // The polygon's points; the last stored point closes the figure and is left out.
    std::int32_t outlineCount = 0;
    std::int32_t headerCount = 0;
    std::int32_t storedCount = 0;
    // Relative to the box centre; made on demand.
    std::unique_ptr<platform::Region> region;
    std::int32_t halfWidth = 0;
    std::int32_t halfHeight = 0;
    std::int32_t penWidth = 0;
    // x and y of the outline are exchanged: a turnable shape in a horizontal orientation.
    bool turned = false;
    platform::RegionMaker* regionMaker;
    // The shape file's unit: a point at (unit, unit) lies on the corner of the box.
    std::int32_t unit = 0;
};

// Fits the instance to a box: the outline again when the half extents, the pen width or the
// orientation changed, and the region again when the half extents or the orientation did. The
// box header always follows `box` around the centre.
void Prepare(ShapeInstance& instance, int halfWidth, int halfHeight, int penWidth,
             const PixelBox& box, int centreX, int centreY, bool vertical);
// The filled area relative to the box centre, made first when there is none.
platform::Region& Region(ShapeInstance& instance);
// Draws the shape centred at (centreX, centreY) with an outline of `colour` and `penWidth`;
// with `fill` the box around the shape is painted light grey and the shape with the display's
// brush. `label`, when given, is called with the clip narrowed to the shape.
void Draw(ShapeInstance& instance, platform::Display& display, const ShapeDrawing& drawing,
          int centreX, int centreY, platform::Colour colour, int penWidth,
          const LabelPainter& label, bool fill);
// 1 when (x, y), relative to the box centre, lies in the shape's region.
int Contains(ShapeInstance& instance, int x, int y);
void DropRegion(ShapeInstance& instance);

// A view's shapes: one entry per shape of the shape list, each made on first use.
struct ShapeSet {
    platform::RegionMaker* regionMaker = nullptr;
    // The shapes of the network the view shows; none when null.
    const ShapeFileState* source = nullptr;
    std::vector<std::unique_ptr<ShapeInstance>> entries;
    // The shape list the entries were made from; a new list empties them.
    std::uint32_t generation = 0;
};

// Regions of the set's shapes come from `regions`, which must outlive the set, and so must the
// shapes `source` holds.
ShapeSet* MakeShapeSet(platform::RegionMaker& regions, const ShapeFileState* source);
void DestroyShapeSet(ShapeSet* set);
// The instance for a node's shape number (1-based), made when it is first asked for; null for
// 0, a negative number or one beyond the shape list: such a node is a plain box.
ShapeInstance* InstanceFor(ShapeSet& set, int shapeNumber);
// Drops every region; when the window changes size.
void DropRegions(ShapeSet& set);
// Makes the outline of every turnable shape again for the orientation; its region follows on
// the next use.
void RemakeOutlines(ShapeSet& set, bool vertical);

// The middle pixel of a node box.
platform::Point BoxCentre(const PixelBox& box);
// The area of a node in view coordinates: its box for a plain node, else its shape's region
// (prepared for the view's current half extents and line width if it was not yet) moved to
// the node's centre.
std::unique_ptr<platform::Region> NodeRegion(const ViewNode& node, ShapeSet& set,
                                             const ShapeDrawing& drawing);

} // namespace tarvo
