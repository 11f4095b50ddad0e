// Brushes for filling nodes and shades.
#include "labels/brushes.h"

namespace tarvo {

std::unique_ptr<platform::Brush> MakeBrush(platform::Colour colour, platform::Display& display,
                                           int x, int y, bool, const BrushPattern* pattern) {
    platform::BrushSpec spec;
    spec.colour = colour;
    const int bits = display.bitsPerPixel();
    if (!pattern || bits > 8) {
        spec.style = platform::BrushStyle::Solid;
        std::unique_ptr<platform::Brush> brush = display.createBrush(spec);
        // Solid colours on deep displays need no alignment.
        if (bits > 16)
            return brush;
        display.setBrushOrigin({x, y});
        return brush;
    }
    spec.style = platform::BrushStyle::Pattern;
    spec.pattern = *pattern;
    std::unique_ptr<platform::Brush> brush = display.createBrush(spec);
    display.setBrushOrigin({x, y});
    return brush;
}

std::unique_ptr<platform::Brush> MakeHatchBrush(platform::Colour colour, platform::Hatch hatch,
                                                platform::Display& display) {
    platform::BrushSpec spec;
    spec.style = platform::BrushStyle::Hatch;
    spec.colour = colour;
    spec.hatch = hatch;
    return display.createBrush(spec);
}

} // namespace tarvo
