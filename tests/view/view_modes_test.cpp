// The numbers of the view's modes: each value keeps the number menus, settings and the command
// line use, numbers out of range are refused, and the orientation's axes follow its number.
#include "view/view_modes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarvo {
namespace {

// Every number of the mode gives a value that gives the number back, and the numbers just
// outside the range (and far outside it) give nothing.
template <typename Mode> void expectNumbersRoundTrip(std::int32_t count) {
    EXPECT_EQ(kModeCount<Mode>, count);
    for (std::int32_t number = 0; number < count; ++number) {
        const std::optional<Mode> mode = FromInt<Mode>(number);
        ASSERT_TRUE(mode.has_value()) << number;
        EXPECT_EQ(ToInt(*mode), number);
    }
    for (const std::int64_t outside :
         {std::int64_t{-1}, std::int64_t{count}, std::int64_t{count} + 1,
          std::int64_t{std::numeric_limits<std::int32_t>::min()},
          std::int64_t{std::numeric_limits<std::int32_t>::max()}, std::int64_t{1} << 32})
        EXPECT_FALSE(FromInt<Mode>(outside).has_value()) << outside;
}

TEST(ViewModes, EachModeTakesExactlyItsNumbers) {
    expectNumbersRoundTrip<ViewKind>(2);
    expectNumbersRoundTrip<Justification>(3);
    expectNumbersRoundTrip<DepthJustify>(2);
    expectNumbersRoundTrip<Orientation>(4);
    expectNumbersRoundTrip<LineStyle>(2);
    expectNumbersRoundTrip<DistanceShade>(3);
    expectNumbersRoundTrip<OpenAt>(2);
}

TEST(ViewModes, TheNumbersAreTheOnesStoredAndTyped) {
    // The settings file, the menus' command offsets and the command line hold these numbers.
    EXPECT_EQ(ToInt(OpenAt::Readable), 0);
    EXPECT_EQ(ToInt(OpenAt::FitToWindow), 1);
    EXPECT_EQ(ToInt(Orientation::LeftToRight), 0);
    EXPECT_EQ(ToInt(Orientation::RightToLeft), 1);
    EXPECT_EQ(ToInt(Orientation::TopDown), 2);
    EXPECT_EQ(ToInt(Orientation::BottomUp), 3);
    EXPECT_EQ(ToInt(Justification::First), 0);
    EXPECT_EQ(ToInt(Justification::Centred), 1);
    EXPECT_EQ(ToInt(Justification::Last), 2);
    EXPECT_EQ(ToInt(DepthJustify::LowerParents), 1);
    EXPECT_EQ(ToInt(LineStyle::Curved), 1);
    EXPECT_EQ(ToInt(DistanceShade::Greyed), 1);
    EXPECT_EQ(ToInt(DistanceShade::Coloured), 2);
    EXPECT_EQ(ToInt(ViewKind::Relation), 1);
}

TEST(ViewModes, OrientationAxesFollowItsNumber) {
    struct Case {
        Orientation orientation;
        bool vertical;
        bool reversed;
    };
    for (const Case& c :
         {Case{Orientation::LeftToRight, false, false}, Case{Orientation::RightToLeft, false, true},
          Case{Orientation::TopDown, true, false}, Case{Orientation::BottomUp, true, true}}) {
        EXPECT_EQ(IsVertical(c.orientation), c.vertical) << ToInt(c.orientation);
        EXPECT_EQ(IsReversed(c.orientation), c.reversed) << ToInt(c.orientation);
    }
}

TEST(ViewModes, DistanceModeNumbersPackTheNumbersFlagAndTheShade) {
    for (std::int32_t number = 0; number < kDistanceModeCount; ++number) {
        const std::optional<DistanceMode> mode = DistanceModeFromInt(number);
        ASSERT_TRUE(mode.has_value()) << number;
        EXPECT_EQ(mode->numbers, (number & 1) != 0) << number;
        EXPECT_EQ(ToInt(mode->shade), number / 2) << number;
        EXPECT_EQ(ToInt(*mode), number);
        EXPECT_EQ(ShowsDistances(*mode), number != 0) << number;
    }
    EXPECT_EQ(kDistanceModeCount, 6);
    for (const std::int64_t outside :
         {std::int64_t{-1}, std::int64_t{6}, std::int64_t{7}, std::int64_t{1} << 32})
        EXPECT_FALSE(DistanceModeFromInt(outside).has_value()) << outside;
    EXPECT_EQ(DistanceMode{}, (DistanceMode{DistanceShade::None, false}));
}

TEST(ViewModes, NextShadeVisitsEveryShadeAndComesBack) {
    EXPECT_EQ(NextShade(DistanceShade::None), DistanceShade::Greyed);
    EXPECT_EQ(NextShade(DistanceShade::Greyed), DistanceShade::Coloured);
    EXPECT_EQ(NextShade(DistanceShade::Coloured), DistanceShade::None);
}

} // namespace
} // namespace tarvo
