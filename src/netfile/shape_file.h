// The node shape file: named quarter outlines in file units, with the letters that join their
// points and the flags that turn, cut or replace them, read into the program-wide shape list.
#pragma once

#include "diagnostics/diagnostics.h"
#include "model/network.h"
#include "platform/display.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tarvo {

class ChunkList;

namespace ShapeFlags {
// "r": x and y are exchanged in the horizontal orientations.
inline constexpr std::uint8_t Turn = 1;
// Set when a "v" or "c" letter occurs among the points.
inline constexpr std::uint8_t HasArcs = 2;
// "C": an arc adds or cuts only the piece between its chord and itself.
inline constexpr std::uint8_t Chord = 4;
// "R": the shape is a rounded rectangle.
inline constexpr std::uint8_t RoundRect = 64;
// "E": the shape is an ellipse.
inline constexpr std::uint8_t Ellipse = 128;
} // namespace ShapeFlags

// How a point is reached from the point before it.
namespace JoinKind {
inline constexpr std::uint8_t Move = 0;    // "m"
inline constexpr std::uint8_t Line = 1;    // "l"
inline constexpr std::uint8_t Convex = 2;  // "v": an arc bulging outwards
inline constexpr std::uint8_t Concave = 3; // "c": an arc biting inwards
} // namespace JoinKind

// A quarter of a shape's outline is made whole by mirroring it twice, which makes up to
// 4 n - 3 points of n; those and the 5 points of the box around it must fit the 1000 bytes
// (125 points) an outline is built in. A shape keeps at most this many points of its quarter.
inline constexpr int kMaxShapePoints = 30;

struct ShapePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// One shape of the file, in file order. The list's blocks own the arrays and the name.
struct ShapeRecord {
    char* name;
    // pointCount points in file units.
    ShapePoint* points;
    // pointCount + 1 join kinds; the kind of point i says how point i - 1 reaches it.
    std::uint8_t* kinds;
    std::int32_t pointCount;
    // The number after the name, truncated; kept with the shape, used by nothing yet.
    std::int32_t sizeValue;
    std::uint8_t flags;
};

// The shapes of a network's load, read from the shape file beside it; replaced at every read.
struct ShapeFileState : NetworkPart {
    ShapeFileState() = default;
    ~ShapeFileState() override;
    ShapeFileState(const ShapeFileState&) = delete;
    ShapeFileState& operator=(const ShapeFileState&) = delete;

    ChunkList* shapes = nullptr;
    std::int32_t shapeCount = 0;
    // The first number of the file: a point at (unit, unit) lies on the corner of a node's box.
    std::int32_t unit = 0;
    // One region per shape for whoever wants to keep one, all empty after a read.
    std::vector<std::unique_ptr<platform::Region>> regionCache;
    // Counts the reads, so that a view can tell that the records it drew from are gone.
    std::uint32_t generation = 0;
};

// The network's shapes, none until a shape file is read for it.
ShapeFileState& shapesOf(Network& net);

// Replaces the shape list by the shapes of the file at `path` and makes a fresh region cache.
// A file that cannot be opened gives no shapes and no message; a shape with more than
// kMaxShapePoints points keeps its first ones and is reported. Problems go to `problems`; without
// a list they are not kept.
void ReadShapeFile(ShapeFileState& state, const char* path, Diagnostics* problems = nullptr);
// ReadShapeFile on a stream that is already open.
void ReadShapeStream(ShapeFileState& state, std::FILE* file, Diagnostics* problems = nullptr);

// The record at `index` (0-based) of the list, or null beyond it.
const ShapeRecord* ShapeAt(const ShapeFileState& state, int index);

// Releases the regions of the cache, keeping its size.
void ReleaseShapeRegions(ShapeFileState& state);
// Releases the cache and the list.
void ReleaseShapeList(ShapeFileState& state);

} // namespace tarvo
