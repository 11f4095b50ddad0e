// The modes of a view's display options, and their numbers where a choice is stored, shown in
// a menu or given on the command line.
#pragma once

#include "layout/layout_modes.h"

#include <cstdint>
#include <optional>

namespace tarvo {

// Whether the view was opened on an entity or on a relation.
enum class ViewKind : std::int32_t { Entity = 0, Relation = 1 };

// Orientation: the direction from parents to children.
enum class Orientation : std::int32_t {
    LeftToRight = 0,
    RightToLeft = 1,
    TopDown = 2,
    BottomUp = 3
};

// Line style of the links between layers.
enum class LineStyle : std::int32_t { Straight = 0, Curved = 1 };

// The shade a node's box is filled with after its distance from the current node.
enum class DistanceShade : std::int32_t { None = 0, Greyed = 1, Coloured = 2 };

// The scale a view opens at: large enough to read its labels, or its cells fitted to the window.
enum class OpenAt : std::int32_t { Readable = 0, FitToWindow = 1 };

// How many values each of the view's own modes has.
template <> inline constexpr std::int32_t kModeCount<ViewKind> = 2;
template <> inline constexpr std::int32_t kModeCount<Orientation> = 4;
template <> inline constexpr std::int32_t kModeCount<LineStyle> = 2;
template <> inline constexpr std::int32_t kModeCount<DistanceShade> = 3;
template <> inline constexpr std::int32_t kModeCount<OpenAt> = 2;

// Top-down and Bottom-up lay the layers out as rows, the others as columns.
constexpr bool IsVertical(Orientation orientation) {
    return orientation == Orientation::TopDown || orientation == Orientation::BottomUp;
}

// Right to left and Bottom-up put the children before their parents on the screen.
constexpr bool IsReversed(Orientation orientation) {
    return orientation == Orientation::RightToLeft || orientation == Orientation::BottomUp;
}

// What the view shows of each node's distance from the current node: the number beside its
// box, and the shade its box is filled with.
struct DistanceMode {
    DistanceShade shade = DistanceShade::None;
    bool numbers = false;

    friend constexpr bool operator==(const DistanceMode&, const DistanceMode&) = default;
};

// Whether the distances show at all, as numbers or as shades.
constexpr bool ShowsDistances(DistanceMode mode) {
    return mode.numbers || mode.shade != DistanceShade::None;
}

// The shade after `shade`, the last one followed by the first.
constexpr DistanceShade NextShade(DistanceShade shade) {
    return static_cast<DistanceShade>((ToInt(shade) + 1) % kModeCount<DistanceShade>);
}

// The number of a distance mode: bit 0 the numbers, the shade doubled above it (0 to 5).
inline constexpr std::int32_t kDistanceModeCount = 2 * kModeCount<DistanceShade>;

constexpr std::int32_t ToInt(DistanceMode mode) {
    return 2 * ToInt(mode.shade) + (mode.numbers ? 1 : 0);
}

constexpr std::optional<DistanceMode> DistanceModeFromInt(std::int64_t value) {
    if (value < 0 || value >= kDistanceModeCount)
        return std::nullopt;
    return DistanceMode{static_cast<DistanceShade>(value / 2), (value & 1) != 0};
}

// The smallest label size, in points at the screen's resolution, that counts as readable, and
// the range the user may set it within. Labels are never drawn below 7 points, so a readable
// size of 7 or less would be met by any fit, cut labels and all: the range starts above it.
inline constexpr int kReadablePoints = 10;
inline constexpr int kFewestReadablePoints = 8;
inline constexpr int kMostReadablePoints = 36;

// A view's display options, as the View menu and the tool bar set them.
struct ViewOptions {
    bool vertical() const { return IsVertical(orientation); }
    bool reversed() const { return IsReversed(orientation); }
    // How distance numbers are aligned on their point, which follows from the orientation:
    // beside the box on the side away from the children (text alignment flags of `Display`).
    std::int32_t labelAlign() const {
        if (vertical())
            return reversed() ? 2 : 26;
        return reversed() ? 8 : 10;
    }

    Justification justification = Justification::Centred;
    DepthJustify depthJustify = DepthJustify::RaiseChildren;
    // After the improvement sweeps, reorder layers to take out the crossings they leave.
    bool untangle = false;
    Orientation orientation = Orientation::TopDown;
    LineStyle lineStyle = LineStyle::Curved;
    bool highlightLinks = true;
    DistanceMode distanceMode{DistanceShade::None, true};
    OpenAt openAt = OpenAt::Readable;
    std::int32_t readablePoints = kReadablePoints;
};

} // namespace tarvo
