// The colour table and the colour arithmetic of distance shading.
#include "labels/colours.h"

#include <algorithm>
#include <cassert>

namespace tarvo {
namespace {

constexpr platform::Colour kWhite{255, 255, 255};
constexpr std::uint8_t kTableGreys[] = {247, 239, 231, 223, 215, 207, 199};
constexpr PaletteEntry kPaleYellow{255, 255, 223, kNoCollapse};
constexpr std::uint8_t kDarkGrey = 150;
// A palette entry stands in for a colour only when it is this close (squared distance).
constexpr int kNearEnough = 300;

PaletteEntry entryOf(platform::Colour c) {
    return {c.red, c.green, c.blue, kNoCollapse};
}

platform::Colour greyLevel(int level) {
    const auto l = static_cast<std::uint8_t>(level);
    return {l, l, l};
}

void fillFixedEntries(PaletteEntry* table) {
    int i = 0;
    for (std::uint8_t level : kTableGreys)
        table[i++] = entryOf(greyLevel(level));
    table[7] = kPaleYellow;
    table[8] = entryOf(greyLevel(kDarkGrey));
}

void fillRamp(PaletteEntry* table, int first, platform::Colour nearColour,
              platform::Colour farColour) {
    assert((first == kShadeRampFirst || first == kTrialRampFirst) &&
           "MakeShadeRamp: a ramp starts at entry 10 or 18");
    for (int i = 0; i < kShadeSteps; ++i)
        table[first + i] = entryOf(BlendWeighted(nearColour, farColour, kShadeSteps - 1 - i, i));
}

void copyRampToTrial(PaletteEntry* table) {
    std::copy(table + kShadeRampFirst, table + kShadeRampFirst + kShadeSteps,
              table + kTrialRampFirst);
}

int squaredDistance(platform::Colour a, platform::Colour b) {
    const int dr = a.red - b.red;
    const int dg = a.green - b.green;
    const int db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

} // namespace

ColourState::ColourState() {
    // Usable before start-up (tools and tests that never ask the system): the tint stays black.
    fillFixedEntries(ColourTable);
    fillRamp(ColourTable, kShadeRampFirst, NearShade, FarShade);
    copyRampToTrial(ColourTable);
}

platform::Colour HighlightTint(const ColourState& state) {
    return state.ColourTable[kHighlightTintEntry].colour();
}

void InitColourTable(ColourState& state, platform::Colour systemHighlight) {
    fillFixedEntries(state.ColourTable);
    SetHighlightTint(state, systemHighlight);
    MakeShadeRamp(state, kShadeRampFirst, state.NearShade, state.FarShade);
    copyRampToTrial(state.ColourTable);
}

void SetHighlightTint(ColourState& state, platform::Colour systemHighlight) {
    state.ColourTable[kHighlightTintEntry] = entryOf(Blend2(systemHighlight, kWhite));
}

platform::Colour Blend2(platform::Colour a, platform::Colour b) {
    if (a == b)
        return a;
    auto mean = [](int x, int y) { return static_cast<std::uint8_t>((x + y) / 2); };
    return {mean(a.red, b.red), mean(a.green, b.green), mean(a.blue, b.blue)};
}

platform::Colour BlendWeighted(platform::Colour a, platform::Colour b, int wa, int wb) {
    if (a == b)
        return a;
    assert(wa >= 0 && wb >= 0 && wa + wb > 0 && "BlendWeighted: needs weights that add up");
    if (wa < 0 || wb < 0 || wa + wb <= 0)
        return a;
    auto mix = [wa, wb](int x, int y) {
        return static_cast<std::uint8_t>((wa * x + wb * y) / (wa + wb));
    };
    return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

void MakeShadeRamp(ColourState& state, int first, platform::Colour nearColour,
                   platform::Colour farColour) {
    fillRamp(state.ColourTable, first, nearColour, farColour);
}

platform::Colour DistanceColour(const ColourState& state, int distance, bool grey) {
    const int d = std::clamp(distance, 0, kShadeSteps - 1);
    if (grey)
        return greyLevel(255 - 8 * d);
    assert((state.ShadeBase == kShadeRampFirst || state.ShadeBase == kTrialRampFirst) &&
           "DistanceColour: ShadeBase names no ramp");
    const int base = state.ShadeBase == kTrialRampFirst ? kTrialRampFirst : kShadeRampFirst;
    return state.ColourTable[base + d].colour();
}

bool UsesPalette() {
    return false;
}

ColourRef NearestColour(const ColourState& state, platform::Colour k) {
    if (!UsesPalette())
        return {false, 0, k};
    return NearestPaletteColour(state, k);
}

ColourRef NearestPaletteColour(const ColourState& state, platform::Colour k) {
    const PaletteEntry* table = state.ColourTable;
    int nearest = 0;
    int nearestDistance = squaredDistance(k, table[0].colour());
    for (int i = 1; i < kColourTableSize; ++i) {
        const int distance = squaredDistance(k, table[i].colour());
        if (distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    if (nearestDistance < kNearEnough)
        return {true, nearest, table[nearest].colour()};
    return {false, 0, k};
}

} // namespace tarvo
