// Brushes for filling nodes and shades.
#pragma once

#include "platform/display.h"

#include <array>
#include <cstdint>
#include <memory>

namespace tarvo {

using BrushPattern = std::array<std::uint8_t, 8>;

// A brush of `colour`: solid, or made from `pattern` on displays of 8 bits or fewer, with the
// display's brush origin set to (x, y) where the pattern must line up. `usePaletteAlways` asks
// for the palette colour even while the program is inactive; there is no palette on the
// true-colour displays this program runs on, so colours are used as they are.
std::unique_ptr<platform::Brush> MakeBrush(platform::Colour colour, platform::Display& display,
                                           int x, int y, bool usePaletteAlways,
                                           const BrushPattern* pattern);

std::unique_ptr<platform::Brush> MakeHatchBrush(platform::Colour colour, platform::Hatch hatch,
                                                platform::Display& display);

} // namespace tarvo
