// The colour table: fixed view colours, the highlight tint and the distance shade ramps.
#pragma once

#include "platform/colour.h"

#include <cstdint>

namespace tarvo {

inline constexpr int kColourTableSize = 26;
inline constexpr int kShadeSteps = 8;
inline constexpr int kHighlightTintEntry = 9;
// The ramp the view draws with, and the one Appearance Options tries colours out in.
inline constexpr int kShadeRampFirst = 10;
inline constexpr int kTrialRampFirst = 18;
// Entries never collapse into another entry of the same colour.
inline constexpr std::uint8_t kNoCollapse = 4;

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = kNoCollapse;

    platform::Colour colour() const { return {red, green, blue}; }
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// The colours views are drawn in: the fixed entries, the highlight tint from the system's
// selection colour, and the distance shades the user chose. The frame holds the program's, which
// every view draws with.
struct ColourState {
    // Entries 0-6 greys from 247 down to 199, 7 pale yellow, 8 grey 150, 9 the highlight tint
    // (black until start-up), 10-17 and 18-25 ramps from NearShade to FarShade.
    PaletteEntry ColourTable[kColourTableSize];
    platform::Colour NearShade{255, 192, 192};
    platform::Colour FarShade{192, 192, 255};
    // The first entry of the ramp that distance colours come from: kShadeRampFirst or
    // kTrialRampFirst.
    int ShadeBase = kShadeRampFirst;

    ColourState();
};

// The colour of a selection: the tint the table holds for it.
platform::Colour HighlightTint(const ColourState& state);

// A colour as a pen or brush asks for it: the colour itself, or an entry of the logical palette.
struct ColourRef {
    bool isIndex = false;
    int index = 0;
    platform::Colour colour;

    friend bool operator==(const ColourRef&, const ColourRef&) = default;
};

// Fills entries 0-8 and the tint, then both ramps from the shade colours.
void InitColourTable(ColourState& state, platform::Colour systemHighlight);
// The highlight tint is the system highlight colour halfway to white.
void SetHighlightTint(ColourState& state, platform::Colour systemHighlight);

// The mean of two colours, channel by channel, rounded down.
platform::Colour Blend2(platform::Colour a, platform::Colour b);
// (wa * a + wb * b) / (wa + wb), channel by channel, rounded down.
platform::Colour BlendWeighted(platform::Colour a, platform::Colour b, int wa, int wb);

// Fills the eight entries from `first` (kShadeRampFirst or kTrialRampFirst) from `nearColour`
// at distance 0 to `farColour` at distance 7.
void MakeShadeRamp(ColourState& state, int first, platform::Colour nearColour,
                   platform::Colour farColour);

// The colour of a node at `distance` from the current node, clamped to 0-7: a grey from white
// to 199 in grey mode, else the ramp at ShadeBase.
platform::Colour DistanceColour(const ColourState& state, int distance, bool grey);

// The program draws on true-colour displays only, so it never makes a logical palette.
bool UsesPalette();
// The palette entry for `k` when a palette is in use, else `k` itself.
ColourRef NearestColour(const ColourState& state, platform::Colour k);
// The entry of the table nearest to `k` when its squared distance is below 300, else `k`.
ColourRef NearestPaletteColour(const ColourState& state, platform::Colour k);

} // namespace tarvo
