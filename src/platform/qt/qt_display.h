// The drawing surface over a QPainter: a widget while it paints, or an image.
#pragma once

#include "platform/display.h"
#include "platform/qt/qt_region.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::qt {

// The widths of the 256 characters in a font, -1 until measured, then its height.
using CharacterWidths = std::array<int, 257>;

// Text laid out once in a font, with the baseline at 0, and its advance (-1 until asked for).
struct LaidOutText {
    QList<QGlyphRun> runs;
    int advance = -1;
};
// What a font has laid out: labels are drawn a character at a time and distance numbers over
// and over, and laying out each again costs more than drawing it.
struct CharacterGlyphs {
    std::array<std::optional<LaidOutText>, 256> characters;
    std::unordered_map<std::string, LaidOutText> strings;
    // For fonts whose bytes stand for other characters: whether each byte is a combining mark,
    // -1 until asked.
    std::array<signed char, 256> marks = filledMarks();

private:
    static std::array<signed char, 256> filledMarks() {
        std::array<signed char, 256> marks;
        marks.fill(-1);
        return marks;
    }
};

class QtFont : public Font {
public:
    explicit QtFont(const QFont& qtFont, std::shared_ptr<CharacterWidths> knownWidths = nullptr,
                    std::shared_ptr<CharacterGlyphs> knownGlyphs = nullptr,
                    const ByteTexts* texts = nullptr)
        : font(qtFont), widths(std::move(knownWidths)), glyphs(std::move(knownGlyphs)),
          byteTexts(texts) {}
    QFont font;
    std::shared_ptr<CharacterWidths> widths;
    std::shared_ptr<CharacterGlyphs> glyphs;
    // What the bytes drawn in the font stand for; null for Windows-1252.
    const ByteTexts* byteTexts = nullptr;
};

class QtBrush : public Brush {
public:
    explicit QtBrush(const QBrush& qtBrush) : brush(qtBrush) {}
    QBrush brush;
};

class QtPen : public Pen {
public:
    explicit QtPen(const PenLook& penLook) : look(penLook) {}
    PenLook look;
};

QFont toQFont(const LogicalFont& lf);
QColor toQColor(Colour colour);

class QtDisplay : public Display {
public:
    // Draws through `painter`, which must outlive the display.
    explicit QtDisplay(QPainter& painter);

    std::unique_ptr<Font> createFont(const LogicalFont& font) override;
    Font* selectFont(Font* font) override;
    Size textExtent(const char* text, int length) override;
    void textOut(const char* text, int length) override;
    void textOutEach(const char* text, int length) override;
    int markBaseWidth() override;
    void markOnBase(char mark) override;
    void moveTo(Point to) override { m_state.position = to; }
    Point currentPosition() const override { return m_state.position; }
    void setTextColour(Colour colour) override;
    void textAt(Point at, int align, const char* text, int length) override;

    std::unique_ptr<Brush> createBrush(const BrushLook& wanted) override;
    void setBrushOrigin(Point origin) override;
    int bitsPerPixel() const override;

    std::unique_ptr<Region> rectRegion(const Rect& rect) override;
    std::unique_ptr<Region> ellipseRegion(const Rect& rect) override;
    std::unique_ptr<Region> roundRectRegion(const Rect& rect, int ellipseWidth,
                                            int ellipseHeight) override;
    std::unique_ptr<Region> polygonRegion(const Point* points, int count, FillMode mode) override;

    std::unique_ptr<Pen> createPen(const PenLook& wanted) override;
    Pen* selectPen(Pen* pen) override;
    Brush* selectBrush(Brush* brush) override;
    void setFillMode(FillMode mode) override { m_state.fillMode = mode; }

    void lineTo(Point to) override;
    void polyline(const Point* points, int count) override;
    void polygon(const Point* points, int count) override;
    void polyPolygon(const Point* points, const int* counts, int polygons) override;
    void rectangle(const Rect& rect) override;
    void ellipse(const Rect& rect) override;
    void roundRect(const Rect& rect, int ellipseWidth, int ellipseHeight) override;
    void arc(const Rect& rect, Point start, Point end) override;
    void chord(const Rect& rect, Point start, Point end) override;
    void fillRect(const Rect& rect, Brush& brush) override;
    void fillRegion(const Region& region, Brush& brush) override;
    void frameRect(const Rect& rect, Brush& brush) override;
    void xorLine(Point from, Point to) override;

    void selectClipRegion(const Region* region) override;
    void combineClipRegion(const Region& region, RegionOp op) override;
    void excludeClipRect(const Rect& rect) override;
    void intersectClipRect(const Rect& rect) override;
    Rect clipBox() const override;
    bool rectVisible(const Rect& rect) const override;
    void save() override;
    void restore() override;

    void setOrigin(Point origin) override;
    Point origin() const override { return m_state.origin; }

    QPainter& painter() { return m_painter; }

private:
    // What save() keeps beside the painter's own state.
    struct State {
        Font* font = nullptr;
        Pen* pen = nullptr;
        Brush* brush = nullptr;
        PenLook penLook;
        QBrush qbrush = QBrush(Qt::white);
        Point position;
        Point origin;
        QColor textColour = Qt::black;
        FillMode fillMode = FillMode::Alternate;
        // In surface coordinates; empty when nothing is clipped.
        std::optional<QRegion> clip;
    };

    // The metrics of the selected font, made once per selection: measuring is per character.
    const QFontMetrics& fontMetrics();
    // Takes the caches and the byte texts of the font now selected.
    void useFont(Font* font);
    // The characters that bytes stand for in the selected font.
    QString shownText(const char* text, int length) const;
    // Whether the byte stands for a mark that combines with the character before it.
    bool combines(char byte) const;
    void applyPen();
    void applyClip();
    QRegion surface() const;
    // The rectangle a closed figure's outline runs along, so that a one-pixel pen covers the
    // pixels from left to right - 1, and an inside-frame pen stays within the rectangle.
    QRectF figureRect(const Rect& rect) const;
    void drawCurve(const Rect& rect, Point start, Point end, bool closed);
    // The text as the selected font lays it out, kept in the font when it is one of ours.
    LaidOutText& laidOut(const char* text, int length);
    // Unicode text as the selected font lays it out, on the baseline.
    LaidOutText layOut(const QString& text);
    // Text in the text colour with its baseline at `at`.
    void drawText(QPoint at, const LaidOutText& text);

    QPainter& m_painter;
    QFont m_defaultFont;
    State m_state;
    std::vector<State> m_saved;
    std::optional<QFontMetrics> m_metrics;
    CharacterWidths* m_widths = nullptr;
    CharacterGlyphs* m_glyphs = nullptr;
    // The layout of a text the font keeps no glyphs for, until the next one.
    LaidOutText m_scratch;
    QtRegionMaker m_regions;
    const ByteTexts* m_byteTexts = nullptr;
};

// The image and painter an image display draws with, made before the display itself.
struct ImageSurface {
    ImageSurface(int width, int height);
    QImage image;
    QPainter painter;
};

// A display that draws into an image of its own, white to start with.
class ImageDisplay : private ImageSurface, public QtDisplay {
public:
    ImageDisplay(int width, int height);
    ~ImageDisplay() override;
    ImageDisplay(const ImageDisplay&) = delete;
    ImageDisplay& operator=(const ImageDisplay&) = delete;

    Display& display() { return *this; }
    // Ends painting; the display must not be used afterwards.
    const QImage& finish();
    const QImage& image() const { return ImageSurface::image; }
};

} // namespace platform::qt
