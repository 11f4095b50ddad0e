// The colour table, the blends and shade ramps, distance colours and the palette match.
#include "labels/colours.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using platform::Colour;

class ColourTest : public ::testing::Test {
protected:
    Colour entry(int i) const { return colours.ColourTable[i].colour(); }

    ColourState colours;
};

TEST_F(ColourTest, BlendsOfEqualColoursAreThatColourWhateverTheWeights) {
    const Colour c{12, 200, 77};
    EXPECT_EQ(Blend2(c, c), c);
    EXPECT_EQ(BlendWeighted(c, c, 3, 5), c);
    EXPECT_EQ(BlendWeighted(c, c, 0, 0), c) << "equal colours need no division";
}

TEST_F(ColourTest, BlendsRoundDownChannelByChannel) {
    EXPECT_EQ(Blend2({0, 1, 255}, {255, 2, 0}), (Colour{127, 1, 127}));
    EXPECT_EQ(BlendWeighted({0, 10, 255}, {255, 0, 0}, 1, 3), (Colour{191, 2, 63}));
    EXPECT_EQ(BlendWeighted({255, 192, 192}, {192, 192, 255}, 6, 1), (Colour{246, 192, 201}));
    EXPECT_EQ(BlendWeighted({9, 9, 9}, {200, 0, 1}, 1, 0), (Colour{9, 9, 9}));
    EXPECT_EQ(BlendWeighted({9, 9, 9}, {200, 0, 1}, 0, 4), (Colour{200, 0, 1}));
}

TEST_F(ColourTest, ShadeRampStepsFromNearToFarInEightEntries) {
    const Colour before = entry(kTrialRampFirst);
    MakeShadeRamp(colours, kShadeRampFirst, {255, 100, 192}, {192, 100, 255});
    for (int i = 0; i < kShadeSteps; ++i) {
        const auto level = [i](int from, int step) { return std::uint8_t(from + step * i); };
        EXPECT_EQ(entry(kShadeRampFirst + i), (Colour{level(255, -9), 100, level(192, 9)})) << i;
        EXPECT_EQ(colours.ColourTable[kShadeRampFirst + i].flags, kNoCollapse);
    }
    EXPECT_EQ(entry(kTrialRampFirst), before) << "the other ramp is left alone";

    const Colour same{30, 60, 90};
    MakeShadeRamp(colours, kTrialRampFirst, same, same);
    for (int i = 0; i < kShadeSteps; ++i)
        EXPECT_EQ(entry(kTrialRampFirst + i), same) << i;
    EXPECT_EQ(entry(kShadeRampFirst + 7), (Colour{192, 100, 255}));
}

TEST_F(ColourTest, GreyDistancesClampToWhiteAndTo199) {
    const struct {
        int distance;
        int level;
    } cases[] = {{-1, 255}, {0, 255}, {1, 247}, {6, 207}, {7, 199}, {8, 199}, {9, 199}};
    for (auto [distance, level] : cases) {
        const auto l = std::uint8_t(level);
        EXPECT_EQ(DistanceColour(colours, distance, true), (Colour{l, l, l})) << distance;
    }
}

TEST_F(ColourTest, ColourDistancesReadTheRampAtShadeBase) {
    MakeShadeRamp(colours, kShadeRampFirst, {0, 0, 0}, {70, 0, 0});
    MakeShadeRamp(colours, kTrialRampFirst, {0, 0, 0}, {0, 70, 0});
    for (int base : {kShadeRampFirst, kTrialRampFirst}) {
        colours.ShadeBase = base;
        for (int d = -1; d <= 9; ++d) {
            const int step = d < 0 ? 0 : d > 7 ? 7 : d;
            EXPECT_EQ(DistanceColour(colours, d, false), entry(base + step)) << base << " " << d;
        }
        EXPECT_NE(DistanceColour(colours, 1, false), DistanceColour(colours, 0, false));
    }
}

TEST_F(ColourTest, StartUpFillsTheTableAroundTheShadesAndTheHighlight) {
    EXPECT_EQ(entry(kHighlightTintEntry), (Colour{0, 0, 0})) << "black before start-up";
    colours.NearShade = {255, 0, 0};
    colours.FarShade = {0, 0, 255};
    colours.ColourTable[3] = {1, 2, 3, 0};
    InitColourTable(colours, {0, 120, 215});

    const std::uint8_t greys[] = {247, 239, 231, 223, 215, 207, 199};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(entry(i), (Colour{greys[i], greys[i], greys[i]})) << i;
    EXPECT_EQ(entry(7), (Colour{255, 255, 223}));
    EXPECT_EQ(entry(8), (Colour{150, 150, 150}));
    EXPECT_EQ(entry(9), (Colour{127, 187, 235})) << "halfway to white, rounded down";
    EXPECT_EQ(entry(kShadeRampFirst), (Colour{255, 0, 0}));
    EXPECT_EQ(entry(kShadeRampFirst + 1), (Colour{218, 0, 36}));
    EXPECT_EQ(entry(kShadeRampFirst + 7), (Colour{0, 0, 255}));
    for (int i = 0; i < kShadeSteps; ++i)
        EXPECT_EQ(entry(kTrialRampFirst + i), entry(kShadeRampFirst + i)) << i;
    for (const PaletteEntry& e : colours.ColourTable)
        EXPECT_EQ(e.flags, kNoCollapse);
}

TEST_F(ColourTest, PaletteMatchNeedsSquaredDistanceBelow300) {
    EXPECT_FALSE(UsesPalette());
    EXPECT_EQ(NearestColour(colours, {150, 150, 150}), (ColourRef{false, 0, {150, 150, 150}}))
        << "without a palette every colour stands for itself";

    // Entry 8 is grey 150: 17² + 3² + 1² = 299, 10² + 10² + 10² = 300.
    EXPECT_EQ(NearestPaletteColour(colours, {167, 153, 151}),
              (ColourRef{true, 8, {150, 150, 150}}));
    EXPECT_EQ(NearestPaletteColour(colours, {160, 160, 160}),
              (ColourRef{false, 0, {160, 160, 160}}));
    EXPECT_EQ(NearestPaletteColour(colours, {255, 255, 223}).index, 7);
    // 243 lies as near to entry 0 (247) as to entry 1 (239): the first entry wins.
    EXPECT_EQ(NearestPaletteColour(colours, {243, 243, 243}).index, 0);
    SetHighlightTint(colours, {0, 0, 0});
    EXPECT_EQ(NearestPaletteColour(colours, {130, 125, 127}).index, kHighlightTintEntry);
}

} // namespace
} // namespace tarvo
