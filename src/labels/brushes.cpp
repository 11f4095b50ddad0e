// Brushes for filling nodes and shades.
#include "labels/brushes.h"

namespace tarvo {

std::unique_ptr<platform::Brush> MakeBrush(platform::Colour colour, platform::Display& display,
                                           int x, int y, bool, const BrushPattern* pattern) {
    platform::BrushLook wanted;
    wanted.colour = colour;
    const int bits = display.bitsPerPixel();
    if (!pattern || bits > 8) {
        wanted.style = platform::BrushStyle::Solid;
        std::unique_ptr<platform::Brush> brush = display.createBrush(wanted);
        // Solid colours on deep displays need no alignment.
        if (bits > 16)
            return brush;
        display.setBrushOrigin({x, y});
        return brush;
    }
    wanted.style = platform::BrushStyle::Pattern;
    wanted.pattern = *pattern;
    std::unique_ptr<platform::Brush> brush = display.createBrush(wanted);
    display.setBrushOrigin({x, y});
    return brush;
}

std::unique_ptr<platform::Brush> MakeHatchBrush(platform::Colour colour, platform::Hatch hatch,
                                                platform::Display& display) {
    platform::BrushLook wanted;
    wanted.style = platform::BrushStyle::Hatch;
    wanted.colour = colour;
    wanted.hatch = hatch;
    return display.createBrush(wanted);
}

} // namespace tarvo
