// Text through QPainter: fonts made once per process, character widths, glyphs and marks.
#include "platform/qt/qt_display.h"

#include "platform/qt/qt_text.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>

namespace platform::qt {
namespace {

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

} // namespace platform::qt
