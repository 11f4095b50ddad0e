// Drawing through QPainter.
#include "platform/qt/qt_display.h"

#include "platform/qt/qt_text.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string>
#include <unordered_map>
#include <utility>

namespace platform::qt {
namespace {

Qt::BrushStyle hatchStyle(Hatch hatch) {
    switch (hatch) {
    case Hatch::Horizontal:
        return Qt::HorPattern;
    case Hatch::Vertical:
        return Qt::VerPattern;
    case Hatch::ForwardDiagonal:
        return Qt::FDiagPattern;
    case Hatch::BackwardDiagonal:
        return Qt::BDiagPattern;
    case Hatch::Cross:
        return Qt::CrossPattern;
    case Hatch::DiagonalCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::HorPattern;
}

QImage patternImage(const BrushLook& wanted) {
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb on = toQColor(wanted.colour).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y,
                           (wanted.pattern[static_cast<std::size_t>(y)] & (0x80 >> x))
                               ? on
                               : qRgb(255, 255, 255));
    return image;
}

// The dotted circle a mark without a letter is drawn on.
constexpr QChar kMarkBase(0x25CC);

QString textOf(const char* text, int length) {
    return toQString(std::string(text, static_cast<std::size_t>(std::max(length, 0))));
}

QString textOf(const char* text, int length, const ByteTexts* byteTexts) {
    if (!byteTexts)
        return textOf(text, length);
    QString shown;
    for (int i = 0; i < length; ++i) {
        const char* stands = (*byteTexts)[static_cast<unsigned char>(text[i])];
        shown += stands ? QString::fromUtf8(stands) : textOf(text + i, 1);
    }
    return shown;
}

// The fonts made so far, by their description and the resolution they were measured at. The
// system's fonts are the process's, so every display shares what was measured of them.
std::unordered_map<std::string, QtFont>& fontCache() {
    static std::unordered_map<std::string, QtFont> cache;
    return cache;
}

} // namespace

QColor toQColor(Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QFont toQFont(const LogicalFont& lf) {
    QFont font;
    if (lf.faceName[0])
        font.setFamily(toQString(std::string(lf.faceName, strnlen(lf.faceName, kFaceNameBytes))));
    // A negative height is the character height; a positive one the whole cell, of which the
    // character takes about four fifths.
    if (lf.height < 0)
        font.setPixelSize(std::max(1, -lf.height));
    else if (lf.height > 0)
        font.setPixelSize(std::max(1, lf.height * 4 / 5));
    if (lf.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight, 1, 1000)));
    font.setItalic(lf.italic != 0);
    font.setUnderline(lf.underline != 0);
    font.setStrikeOut(lf.strikeOut != 0);
    if ((lf.pitchAndFamily & 0x0F) == kFixedPitch)
        font.setFixedPitch(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QtDisplay::QtDisplay(QPainter& painter) : m_painter(painter), m_defaultFont(painter.font()) {
    // Figures are aliased unless they have slanted or curved edges (see Smoothly); text is
    // always smooth.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setBrush(m_state.qbrush);
    applyPen();
}

std::unique_ptr<Font> QtDisplay::createFont(const LogicalFont& font) {
    // Labels ask for the same few fonts over and over, and measure them a character at a
    // time: a font made once keeps the widths of the characters measured in it.
    std::string key(reinterpret_cast<const char*>(&font), offsetof(LogicalFont, faceName));
    key.append(font.faceName, strnlen(font.faceName, kFaceNameBytes));
    const QPaintDevice* device = m_painter.device();
    key += std::to_string(device ? device->logicalDpiY() : 0);
    // The same face draws a font's bytes as other characters when they stand for others.
    key.append(reinterpret_cast<const char*>(&font.byteTexts), sizeof font.byteTexts);
    auto& cache = fontCache();
    auto found = cache.find(key);
    if (found == cache.end()) {
        if (cache.size() > 256)
            cache.clear();
        auto widths = std::make_shared<CharacterWidths>();
        widths->fill(-1);
        found = cache
                    .emplace(std::move(key),
                             QtFont(toQFont(font), std::move(widths),
                                    std::make_shared<CharacterGlyphs>(), font.byteTexts))
                    .first;
    }
    return std::make_unique<QtFont>(found->second);
}

const QFontMetrics& QtDisplay::fontMetrics() {
    if (!m_metrics)
        m_metrics.emplace(m_painter.font(), m_painter.device());
    return *m_metrics;
}

void QtDisplay::useFont(Font* font) {
    const auto* ours = static_cast<QtFont*>(font);
    m_metrics.reset();
    m_widths = ours ? ours->widths.get() : nullptr;
    m_glyphs = ours ? ours->glyphs.get() : nullptr;
    m_byteTexts = ours ? ours->byteTexts : nullptr;
    m_painter.setFont(ours ? ours->font : m_defaultFont);
}

Font* QtDisplay::selectFont(Font* font) {
    Font* previous = m_state.font;
    m_state.font = font;
    useFont(font);
    return previous;
}

QString QtDisplay::shownText(const char* text, int length) const {
    return textOf(text, length, m_byteTexts);
}

bool QtDisplay::combines(char byte) const {
    const auto code = static_cast<unsigned char>(byte);
    if (!m_byteTexts || !(*m_byteTexts)[code])
        return false;
    signed char* known = m_glyphs ? &m_glyphs->marks[code] : nullptr;
    if (known && *known >= 0)
        return *known != 0;
    const QString shown = QString::fromUtf8((*m_byteTexts)[code]);
    const QChar::Category category =
        shown.isEmpty() ? QChar::Other_NotAssigned : QChar::category(shown.at(0).unicode());
    const bool mark = category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing;
    if (known)
        *known = mark ? 1 : 0;
    return mark;
}

Size QtDisplay::textExtent(const char* text, int length) {
    if (length > 1 && m_widths) {
        // Label text is laid out from the widths of its characters; runs are measured the same
        // way so that both agree.
        int width = 0;
        for (int i = 0; i < length; ++i)
            width += textExtent(text + i, 1).width;
        return {width, (*m_widths)[256]};
    }
    if (length == 1 && m_widths) {
        int& width = (*m_widths)[static_cast<unsigned char>(text[0])];
        int& height = (*m_widths)[256];
        if (width < 0) {
            const QFontMetrics& metrics = fontMetrics();
            // A mark takes no room of its own: it sits on the character before it.
            width = combines(text[0]) ? 0 : metrics.horizontalAdvance(shownText(text, 1));
            height = metrics.height();
        }
        return {width, height};
    }
    const QFontMetrics& metrics = fontMetrics();
    return {metrics.horizontalAdvance(shownText(text, length)), metrics.height()};
}

LaidOutText& QtDisplay::laidOut(const char* text, int length) {
    LaidOutText* kept = &m_scratch;
    if (m_glyphs && length == 1) {
        std::optional<LaidOutText>& slot = m_glyphs->characters[static_cast<unsigned char>(*text)];
        if (slot)
            return *slot;
        kept = &slot.emplace();
    } else if (m_glyphs && length > 1 && length <= 16) {
        auto [at, made] =
            m_glyphs->strings.try_emplace(std::string(text, static_cast<std::size_t>(length)));
        if (!made)
            return at->second;
        // A bound on what a font keeps; numbers and short words are what come back.
        if (m_glyphs->strings.size() > 4096) {
            m_glyphs->strings.clear();
            at = m_glyphs->strings.try_emplace(std::string(text, static_cast<std::size_t>(length)))
                     .first;
        }
        kept = &at->second;
    }
    *kept = layOut(shownText(text, length));
    return *kept;
}

LaidOutText QtDisplay::layOut(const QString& text) {
    // Laid out as drawText lays it out, fallback fonts and all, then moved to the baseline.
    QTextLayout layout(text, m_painter.font(), m_painter.device());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    LaidOutText laid{layout.glyphRuns(), -1};
    for (QGlyphRun& run : laid.runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p.ry() -= line.ascent();
        run.setPositions(positions);
    }
    return laid;
}

int QtDisplay::markBaseWidth() {
    return fontMetrics().horizontalAdvance(QString(kMarkBase));
}

void QtDisplay::markOnBase(char mark) {
    // Laid out together, so that the font puts the mark where it belongs on the circle.
    drawText(QPoint(m_state.position.x, m_state.position.y),
             layOut(QString(kMarkBase) + shownText(&mark, 1)));
    m_state.position.x += markBaseWidth() + textExtent(&mark, 1).width;
}

void QtDisplay::drawText(QPoint at, const LaidOutText& text) {
    const QPen pen = m_painter.pen();
    m_painter.setPen(m_state.textColour);
    for (const QGlyphRun& run : text.runs)
        m_painter.drawGlyphRun(at, run);
    m_painter.setPen(pen);
}

void QtDisplay::textOut(const char* text, int length) {
    if (length > 0)
        drawText(QPoint(m_state.position.x, m_state.position.y), laidOut(text, length));
    m_state.position.x += textExtent(text, length).width;
}

void QtDisplay::textOutEach(const char* text, int length) {
    if (!m_glyphs) {
        Display::textOutEach(text, length);
        return;
    }
    // The glyphs of the characters, at the places their widths give them, gathered into as few
    // runs as their fonts allow: one call to the painter draws a run. A character is laid out
    // together with the marks that follow it, so that they sit where the font puts them on it.
    const QPoint start(m_state.position.x, m_state.position.y);
    QList<QGlyphRun> runs;
    int x = 0;
    for (int i = 0, next = 0; i < length; i = next) {
        next = i + 1;
        while (next < length && next - i < 16 && combines(text[next]))
            ++next;
        for (const QGlyphRun& glyphs : laidOut(text + i, next - i).runs) {
            if (runs.isEmpty() || runs.back().rawFont() != glyphs.rawFont() ||
                runs.back().flags() != glyphs.flags()) {
                runs.append(glyphs);
                runs.back().setGlyphIndexes({});
                runs.back().setPositions({});
            }
            QGlyphRun& run = runs.back();
            QList<quint32> indexes = run.glyphIndexes();
            QList<QPointF> positions = run.positions();
            indexes.append(glyphs.glyphIndexes());
            for (const QPointF& p : glyphs.positions())
                positions.append(QPointF(p.x() + x, p.y()));
            run.setGlyphIndexes(indexes);
            run.setPositions(positions);
        }
        for (int k = i; k < next; ++k)
            x += textExtent(text + k, 1).width;
    }
    drawText(start, LaidOutText{runs, -1});
    m_state.position.x += x;
}

void QtDisplay::textAt(Point at, int align, const char* text, int length) {
    if (length <= 0)
        return;
    const QFontMetrics& metrics = fontMetrics();
    LaidOutText& shown = laidOut(text, length);
    if (shown.advance < 0 && (align & (kAlignCentre | kAlignRight)))
        shown.advance = metrics.horizontalAdvance(shownText(text, length));
    int x = at.x;
    if ((align & kAlignCentre) == kAlignCentre)
        x -= shown.advance / 2;
    else if (align & kAlignRight)
        x -= shown.advance;
    int y = at.y;
    if ((align & kAlignBaseline) == kAlignBaseline)
        ;
    else if (align & kAlignBottom)
        y -= metrics.descent();
    else
        y += metrics.ascent();
    drawText(QPoint(x, y), shown);
}

void QtDisplay::setTextColour(Colour colour) {
    m_state.textColour = toQColor(colour);
}

std::unique_ptr<Brush> QtDisplay::createBrush(const BrushLook& wanted) {
    switch (wanted.style) {
    case BrushStyle::Solid:
        return std::make_unique<QtBrush>(QBrush(toQColor(wanted.colour)));
    case BrushStyle::Hatch:
        return std::make_unique<QtBrush>(QBrush(toQColor(wanted.colour), hatchStyle(wanted.hatch)));
    case BrushStyle::Pattern:
        return std::make_unique<QtBrush>(QBrush(patternImage(wanted)));
    case BrushStyle::Null:
        break;
    }
    return std::make_unique<QtBrush>(QBrush(Qt::NoBrush));
}

void QtDisplay::setBrushOrigin(Point origin) {
    m_painter.setBrushOrigin(origin.x - m_state.origin.x, origin.y - m_state.origin.y);
}

int QtDisplay::bitsPerPixel() const {
    const QPaintDevice* device = m_painter.device();
    return device ? device->depth() : 32;
}

std::unique_ptr<Region> QtDisplay::rectRegion(const Rect& rect) {
    return m_regions.rectRegion(rect);
}
std::unique_ptr<Region> QtDisplay::ellipseRegion(const Rect& rect) {
    return m_regions.ellipseRegion(rect);
}
std::unique_ptr<Region> QtDisplay::roundRectRegion(const Rect& rect, int ellipseWidth,
                                                   int ellipseHeight) {
    return m_regions.roundRectRegion(rect, ellipseWidth, ellipseHeight);
}
std::unique_ptr<Region> QtDisplay::polygonRegion(const Point* points, int count, FillMode mode) {
    return m_regions.polygonRegion(points, count, mode);
}

std::unique_ptr<Pen> QtDisplay::createPen(const PenLook& wanted) {
    return std::make_unique<QtPen>(wanted);
}

Pen* QtDisplay::selectPen(Pen* pen) {
    Pen* previous = m_state.pen;
    m_state.pen = pen;
    const PenLook look = pen ? static_cast<QtPen*>(pen)->look : PenLook{};
    // The painter holds the pen of the current look: a pen that looks the same changes nothing.
    if (look == m_state.penLook)
        return previous;
    m_state.penLook = look;
    applyPen();
    return previous;
}

void QtDisplay::applyPen() {
    const PenLook& look = m_state.penLook;
    if (look.style == PenStyle::Null) {
        m_painter.setPen(Qt::NoPen);
        return;
    }
    QPen pen(toQColor(look.colour));
    pen.setWidth(std::max(1, look.width));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
}

Brush* QtDisplay::selectBrush(Brush* brush) {
    Brush* previous = m_state.brush;
    m_state.brush = brush;
    m_state.qbrush = brush ? static_cast<QtBrush*>(brush)->brush : QBrush(Qt::white);
    m_painter.setBrush(m_state.qbrush);
    return previous;
}

namespace {

QPolygon toQPolygon(const Point* points, int count) {
    QPolygon polygon;
    polygon.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    return polygon;
}

Qt::FillRule fillRule(FillMode mode) {
    return mode == FillMode::Alternate ? Qt::OddEvenFill : Qt::WindingFill;
}

QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

// Slanted and curved figures are drawn antialiased while one lives, and the painter is left as
// it was afterwards. Lines and rectangles along the pixel grid, fills, frames and exclusive-or
// lines stay aliased: they are crisp that way already, their pixels stay where they were, and
// an exclusive-or line must cover each pixel once.
class Smoothly {
public:
    explicit Smoothly(QPainter& painter, bool on = true)
        : m_painter(painter), m_was(painter.testRenderHint(QPainter::Antialiasing)) {
        if (on != m_was)
            m_painter.setRenderHint(QPainter::Antialiasing, on);
    }
    ~Smoothly() {
        if (m_painter.testRenderHint(QPainter::Antialiasing) != m_was)
            m_painter.setRenderHint(QPainter::Antialiasing, m_was);
    }
    Smoothly(const Smoothly&) = delete;
    Smoothly& operator=(const Smoothly&) = delete;

private:
    QPainter& m_painter;
    bool m_was;
};

bool slanted(Point a, Point b) {
    return a.x != b.x && a.y != b.y;
}

bool anySlanted(const Point* points, int count) {
    for (int i = 0; i < count; ++i)
        if (slanted(points[i], points[(i + 1) % count]))
            return true;
    return false;
}

// Where a smooth line through integer points runs so that it covers the pixels the aliased
// one would: an odd pen width centred on the pixels' centres, an even one on their edges.
double penCentring(const PenLook& look) {
    return look.style != PenStyle::Null && std::max(1, look.width) % 2 == 1 ? 0.5 : 0.0;
}

QPolygonF toSmoothPolygon(const Point* points, int count, double shift) {
    QPolygonF polygon;
    polygon.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i)
        polygon << QPointF(points[i].x + shift, points[i].y + shift);
    return polygon;
}

// The angle, in sixteenths of a degree anticlockwise from three o'clock, of the point where the
// ray from the centre of `box` towards `towards` meets the ellipse that fits the box.
double ellipseAngle(const QRectF& box, Point towards) {
    const double rx = std::max(box.width() / 2.0, 0.5);
    const double ry = std::max(box.height() / 2.0, 0.5);
    const QPointF centre = box.center();
    const double degrees =
        std::atan2(-(towards.y - centre.y()) / ry, (towards.x - centre.x()) / rx) * 180.0 /
        std::numbers::pi;
    return degrees * 16.0;
}

} // namespace

void QtDisplay::lineTo(Point to) {
    const Point from = m_state.position;
    m_state.position = to;
    if (m_state.penLook.style == PenStyle::Null)
        return;
    if (!slanted(from, to)) {
        m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
        return;
    }
    const Smoothly smooth(m_painter);
    const double c = penCentring(m_state.penLook);
    m_painter.drawLine(QPointF(from.x + c, from.y + c), QPointF(to.x + c, to.y + c));
}

void QtDisplay::polyline(const Point* points, int count) {
    if (count < 2)
        return;
    bool smooth = false;
    for (int i = 0; i + 1 < count; ++i)
        smooth = smooth || slanted(points[i], points[i + 1]);
    if (!smooth) {
        m_painter.drawPolyline(toQPolygon(points, count));
        return;
    }
    const Smoothly smoothly(m_painter);
    m_painter.drawPolyline(toSmoothPolygon(points, count, penCentring(m_state.penLook)));
}

void QtDisplay::polygon(const Point* points, int count) {
    if (count < 2)
        return;
    if (!anySlanted(points, count)) {
        m_painter.drawPolygon(toQPolygon(points, count), fillRule(m_state.fillMode));
        return;
    }
    const Smoothly smooth(m_painter);
    m_painter.drawPolygon(toSmoothPolygon(points, count, penCentring(m_state.penLook)),
                          fillRule(m_state.fillMode));
}

void QtDisplay::polyPolygon(const Point* points, const int* counts, int polygons) {
    QPainterPath path;
    path.setFillRule(fillRule(m_state.fillMode));
    bool smooth = false;
    const Point* at = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] >= 2) {
            path.addPolygon(QPolygonF(toQPolygon(at, counts[i])));
            path.closeSubpath();
            smooth = smooth || anySlanted(at, counts[i]);
        }
        at += std::max(counts[i], 0);
    }
    const Smoothly smoothly(m_painter, smooth);
    if (smooth) {
        const double c = penCentring(m_state.penLook);
        path.translate(c, c);
    }
    m_painter.drawPath(path);
}

QRectF QtDisplay::figureRect(const Rect& rect) const {
    const PenLook& look = m_state.penLook;
    if (look.style == PenStyle::Null)
        return QRectF(rect.left, rect.top, rect.width(), rect.height());
    const double width = std::max(1, look.width);
    const double inset = look.style == PenStyle::InsideFrame ? width / 2.0 : 0.5;
    return QRectF(rect.left + inset, rect.top + inset, rect.width() - 2 * inset,
                  rect.height() - 2 * inset);
}

void QtDisplay::rectangle(const Rect& rect) {
    if (rect.empty())
        return;
    // An unfilled frame one pixel wide covers the same pixels as an integer rectangle one
    // smaller, which the painter draws without going through a path; a rectangle one pixel
    // across is a line to the painter, and keeps the general way.
    if (m_state.penLook.style != PenStyle::Null && m_state.penLook.width <= 1 &&
        m_state.qbrush.style() == Qt::NoBrush && rect.width() > 1 && rect.height() > 1) {
        m_painter.drawRect(QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1));
        return;
    }
    m_painter.drawRect(figureRect(rect));
}

void QtDisplay::ellipse(const Rect& rect) {
    if (rect.empty())
        return;
    const Smoothly smooth(m_painter);
    m_painter.drawEllipse(figureRect(rect));
}

void QtDisplay::roundRect(const Rect& rect, int ellipseWidth, int ellipseHeight) {
    if (rect.empty())
        return;
    const Smoothly smooth(m_painter, ellipseWidth > 1 && ellipseHeight > 1);
    m_painter.drawRoundedRect(figureRect(rect), std::max(0, ellipseWidth) / 2.0,
                              std::max(0, ellipseHeight) / 2.0);
}

void QtDisplay::drawCurve(const Rect& rect, Point start, Point end, bool closed) {
    if (rect.empty())
        return;
    const QRectF box = figureRect(rect);
    const double from = ellipseAngle(box, start);
    double span = ellipseAngle(box, end) - from;
    // Equal ends give the whole ellipse.
    while (span <= 0.0)
        span += 360.0 * 16.0;
    const int a = static_cast<int>(std::lround(from));
    const int s = static_cast<int>(std::lround(span));
    const Smoothly smooth(m_painter);
    if (closed)
        m_painter.drawChord(box, a, s);
    else
        m_painter.drawArc(box, a, s);
}

void QtDisplay::arc(const Rect& rect, Point start, Point end) {
    drawCurve(rect, start, end, false);
}

void QtDisplay::chord(const Rect& rect, Point start, Point end) {
    drawCurve(rect, start, end, true);
}

void QtDisplay::fillRect(const Rect& rect, Brush& brush) {
    if (!rect.empty())
        m_painter.fillRect(toQRect(rect), static_cast<QtBrush&>(brush).brush);
}

void QtDisplay::fillRegion(const Region& region, Brush& brush) {
    QPainterPath path;
    path.addRegion(toQRegion(region));
    m_painter.fillPath(path, static_cast<QtBrush&>(brush).brush);
}

void QtDisplay::frameRect(const Rect& rect, Brush& brush) {
    if (rect.empty())
        return;
    const QBrush& fill = static_cast<QtBrush&>(brush).brush;
    const int w = rect.width();
    const int h = rect.height();
    m_painter.fillRect(QRect(rect.left, rect.top, w, 1), fill);
    m_painter.fillRect(QRect(rect.left, rect.bottom - 1, w, 1), fill);
    m_painter.fillRect(QRect(rect.left, rect.top, 1, h), fill);
    m_painter.fillRect(QRect(rect.right - 1, rect.top, 1, h), fill);
}

void QtDisplay::xorLine(Point from, Point to) {
    const QPainter::CompositionMode mode = m_painter.compositionMode();
    const QPen pen = m_painter.pen();
    m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter.setPen(QPen(Qt::white, 1));
    m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    m_painter.setPen(pen);
    m_painter.setCompositionMode(mode);
}

QRegion QtDisplay::surface() const {
    const QPaintDevice* device = m_painter.device();
    return device ? QRegion(0, 0, device->width(), device->height()) : QRegion();
}

void QtDisplay::applyClip() {
    // The painter takes the clip in drawing coordinates. Without a clip of ours it clips to
    // the surface: a painter whose clipping was switched off ignored the next clip it got.
    const QRegion clip = m_state.clip ? *m_state.clip : surface();
    m_painter.setClipRegion(clip.translated(-m_state.origin.x, -m_state.origin.y));
}

void QtDisplay::selectClipRegion(const Region* region) {
    if (region)
        m_state.clip = toQRegion(*region);
    else
        m_state.clip.reset();
    applyClip();
}

void QtDisplay::combineClipRegion(const Region& region, RegionOp op) {
    QRegion clip = m_state.clip ? *m_state.clip : surface();
    const QRegion& with = toQRegion(region);
    switch (op) {
    case RegionOp::Union:
        clip = clip.united(with);
        break;
    case RegionOp::Intersect:
        clip = clip.intersected(with);
        break;
    case RegionOp::Difference:
        clip = clip.subtracted(with);
        break;
    }
    m_state.clip = clip;
    applyClip();
}

void QtDisplay::excludeClipRect(const Rect& rect) {
    combineClipRegion(QtRegion(QRegion(toQRect(rect.moved(m_state.origin.x, m_state.origin.y)))),
                      RegionOp::Difference);
}

void QtDisplay::intersectClipRect(const Rect& rect) {
    combineClipRegion(QtRegion(QRegion(toQRect(rect.moved(m_state.origin.x, m_state.origin.y)))),
                      RegionOp::Intersect);
}

Rect QtDisplay::clipBox() const {
    const QRect box = (m_state.clip ? *m_state.clip : surface()).boundingRect();
    if (box.isEmpty())
        return {};
    return Rect{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()}.moved(
        -m_state.origin.x, -m_state.origin.y);
}

bool QtDisplay::rectVisible(const Rect& rect) const {
    if (rect.empty())
        return false;
    const QRect onSurface = toQRect(rect.moved(m_state.origin.x, m_state.origin.y));
    return (m_state.clip ? *m_state.clip : surface()).intersects(onSurface);
}

void QtDisplay::save() {
    m_saved.push_back(m_state);
}

void QtDisplay::restore() {
    if (m_saved.empty())
        return;
    const State now = std::exchange(m_state, std::move(m_saved.back()));
    m_saved.pop_back();
    // The painter is told only what changed: painting saves and restores around every label.
    if (m_state.font != now.font)
        useFont(m_state.font);
    if (m_state.qbrush != now.qbrush)
        m_painter.setBrush(m_state.qbrush);
    if (!(m_state.penLook == now.penLook))
        applyPen();
    if (m_state.origin != now.origin)
        m_painter.setTransform(QTransform::fromTranslate(m_state.origin.x, m_state.origin.y));
    // The painter keeps its clip on the surface whatever the origin does.
    if (m_state.clip != now.clip)
        applyClip();
}

void QtDisplay::setOrigin(Point origin) {
    m_state.origin = origin;
    m_painter.setTransform(QTransform::fromTranslate(origin.x, origin.y));
    applyClip();
}

ImageSurface::ImageSurface(int width, int height)
    : image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
    image.fill(Qt::white);
    painter.begin(&image);
}

ImageDisplay::ImageDisplay(int width, int height)
    : ImageSurface(width, height), QtDisplay(ImageSurface::painter) {}

ImageDisplay::~ImageDisplay() {
    finish();
}

const QImage& ImageDisplay::finish() {
    if (ImageSurface::painter.isActive())
        ImageSurface::painter.end();
    return ImageSurface::image;
}

} // namespace platform::qt
