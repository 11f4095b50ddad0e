// The modes of a view's display options, and their numbers where a choice is stored, shown in
// a menu or given on the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>

namespace tarvo {

// Whether the view was opened on an entity or on a relation.
enum class ViewKind : std::int32_t { Entity = 0, Relation = 1 };

// Justification: where a sweep aims a node among its neighbours.
enum class Justification : std::int32_t { First = 0, Centred = 1, Last = 2 };

// Depth justification of nodes whose links span several layers.
enum class DepthJustify : std::int32_t { RaiseChildren = 0, LowerParents = 1 };

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

// How many values each mode has: its numbers run from 0 to one less.
template <typename Mode> inline constexpr std::int32_t kModeCount = 0;
template <> inline constexpr std::int32_t kModeCount<ViewKind> = 2;
template <> inline constexpr std::int32_t kModeCount<Justification> = 3;
template <> inline constexpr std::int32_t kModeCount<DepthJustify> = 2;
template <> inline constexpr std::int32_t kModeCount<Orientation> = 4;
template <> inline constexpr std::int32_t kModeCount<LineStyle> = 2;
template <> inline constexpr std::int32_t kModeCount<DistanceShade> = 3;
template <> inline constexpr std::int32_t kModeCount<OpenAt> = 2;

template <typename Mode>
requires std::is_enum_v<Mode>
constexpr std::int32_t ToInt(Mode mode) {
    return static_cast<std::int32_t>(mode);
}

// The mode a stored or typed number stands for; nothing for a number outside its range.
template <typename Mode> constexpr std::optional<Mode> FromInt(std::int64_t value) {
    static_assert(kModeCount<Mode> > 0, "FromInt needs one of the view's modes");
    if (value < 0 || value >= kModeCount<Mode>)
        return std::nullopt;
    return static_cast<Mode>(value);
}

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

} // namespace tarvo
