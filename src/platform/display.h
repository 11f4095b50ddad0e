// What the program draws with: a drawing surface of the window system, a window or an image.
#pragma once

#include "platform/colour.h"
#include "platform/font_description.h"

#include <array>
#include <cstdint>
#include <memory>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(Size, Size) = default;
};

// A font object made by a display; it stays valid while the display lives.
class Font {
public:
    virtual ~Font() = default;
};

enum class BrushStyle { Solid, Hatch, Pattern, Null };
enum class Hatch { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

struct BrushSpec {
    BrushStyle style = BrushStyle::Solid;
    Colour colour;
    Hatch hatch = Hatch::Horizontal;
    // An 8 x 8 monochrome pattern, one byte a row, the top bit leftmost; set bits take the
    // colour, clear bits are white.
    std::array<std::uint8_t, 8> pattern = {};
};

class Brush {
public:
    virtual ~Brush() = default;
};

class Display {
public:
    virtual ~Display() = default;

    // Fonts and text. Text is Windows-1252 bytes.
    virtual std::unique_ptr<Font> createFont(const LogicalFont& font) = 0;
    // Selects `font` (null: the display's own default font) and answers the previous one.
    virtual Font* selectFont(Font* font) = 0;
    // The width and height of `length` bytes of text in the selected font.
    virtual Size textExtent(const char* text, int length) = 0;
    // Draws text with its baseline at the current position and moves the position past it.
    virtual void textOut(const char* text, int length) = 0;
    virtual void moveTo(Point to) = 0;
    virtual Point currentPosition() const = 0;
    virtual void setTextColour(Colour colour) = 0;

    // Brushes.
    virtual std::unique_ptr<Brush> createBrush(const BrushSpec& wanted) = 0;
    // Where patterns and hatches start, in this display's coordinates.
    virtual void setBrushOrigin(Point origin) = 0;

    virtual int bitsPerPixel() const = 0;
};

} // namespace platform
