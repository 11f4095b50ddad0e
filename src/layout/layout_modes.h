// The layout's own modes, and the numbering every mode of a view shares: each mode is an enum
// class whose values are the numbers stored in settings, shown in menus and typed on the
// command line.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>

namespace tarvo {

// Justification: where a sweep aims a node among its neighbours.
enum class Justification : std::int32_t { First = 0, Centred = 1, Last = 2 };

// Depth justification of nodes whose links span several layers.
enum class DepthJustify : std::int32_t { RaiseChildren = 0, LowerParents = 1 };

// The direction of one sweep over the layers: upward aims each node at its children, downward
// at its parents.
enum class SweepDirection : std::int32_t { Upward = 0, Downward = 1 };

// What a sweep does with each layer: reorders it after the nodes' new aims, keeps its order
// with new aims, or keeps its order and the aims the nodes hold already. Reorder and KeepAims
// go over the layers a second time the other way.
enum class SweepMode : std::int32_t { Reorder = 0, KeepOrder = 1, KeepAims = 2 };

// How many values each mode has: its numbers run from 0 to one less.
template <typename Mode> inline constexpr std::int32_t kModeCount = 0;
template <> inline constexpr std::int32_t kModeCount<Justification> = 3;
template <> inline constexpr std::int32_t kModeCount<DepthJustify> = 2;

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

} // namespace tarvo
