// Labels measured and drawn run by run.
#include "labels/label_runs.h"

#include "labels/font_table.h"
#include "labels/ipa93.h"
#include "platform/display.h"

#include <cstring>
#include <memory>

namespace tarvo {
namespace {

// Walks the runs of a label, keeping the font of the current state selected.
class RunWalker {
public:
    RunWalker(platform::Display& display, int points) : m_font(display, points), m_points(points) {}

    // Calls run(text, length, style) for each stretch of text, and moved(dy) when the baseline
    // moves.
    template <typename Run, typename Moved>
    void walk(const char* label, int length, TextStyle style, int font, Run run, Moved moved) {
        if (!label)
            return;
        if (font < 0)
            font = fonts().DefaultFont;
        const TextPosition start = positionOf(style);
        const char* at = label;
        int remaining = length;
        while (remaining > 0 && *at) {
            if (*at == kLabelEscape) {
                const TextPosition before = positionOf(style);
                at = ReadEscapes(at, style, font, remaining);
                const TextPosition after = positionOf(style);
                if (before != after)
                    moved(BaselineShift(m_points, before, after));
                continue;
            }
            const char* end = at;
            while (end - at < remaining && *end && *end != kLabelEscape)
                ++end;
            const int bytes = static_cast<int>(end - at);
            m_font.select(style, font);
            run(at, bytes, style);
            at = end;
            remaining -= bytes;
        }
        // Back to the baseline, so that whatever is drawn next does not start raised.
        if (positionOf(style) != start)
            moved(BaselineShift(m_points, positionOf(style), start));
    }

private:
    RunFont m_font;
    int m_points;
};

} // namespace

int RunPoints(int points, TextPosition position) {
    switch (position) {
    case TextPosition::Small:
        return static_cast<int>(0.8 * points);
    case TextPosition::Superscript:
    case TextPosition::Subscript:
        return static_cast<int>(0.6 * points);
    case TextPosition::Normal:
        break;
    }
    return points;
}

float BaselineOffset(int points, TextPosition position) {
    switch (position) {
    case TextPosition::Superscript:
        return -0.5f * static_cast<float>(points);
    case TextPosition::Subscript:
        return 0.2f * static_cast<float>(points);
    case TextPosition::Normal:
    case TextPosition::Small:
        break;
    }
    return 0.0f;
}

int BaselineShift(int points, TextPosition from, TextPosition to) {
    return static_cast<int>(BaselineOffset(points, to) - BaselineOffset(points, from));
}

RunFont::RunFont(platform::Display& display, int points) : m_display(display), m_points(points) {}

RunFont::~RunFont() {
    if (m_font)
        m_display.selectFont(m_previous);
}

void RunFont::select(TextStyle style, int font) {
    if (m_font && style == m_style && font == m_fontIndex)
        return;
    const platform::LogicalFont lf =
        MakeLabelFont(font, RunPoints(m_points, positionOf(style)), style & kBold, style & kItalic,
                      style & kPhonetic);
    std::unique_ptr<platform::Font> next = m_display.createFont(lf);
    platform::Font* previous = m_display.selectFont(next.get());
    if (!m_font)
        m_previous = previous;
    m_font = std::move(next); // the font that was in use goes now
    m_style = style;
    m_fontIndex = font;
}

bool IsLoneMark(TextStyle style, char byte) {
    return (style & kPhonetic) && Ipa93Combines(static_cast<unsigned char>(byte));
}

namespace {

// Splits a run at its lone marks: text(from, bytes) for the stretches between them, mark(byte)
// for each mark that begins the run or follows a blank, as a word's first cell does.
template <typename Text, typename Mark>
void splitAtLoneMarks(const char* run, int bytes, TextStyle style, Text text, Mark mark) {
    int from = 0;
    for (int i = 0; i < bytes; ++i) {
        if (!IsLoneMark(style, run[i]) || (i > 0 && run[i - 1] != ' '))
            continue;
        if (i > from)
            text(run + from, i - from);
        mark(run[i]);
        from = i + 1;
    }
    if (bytes > from)
        text(run + from, bytes - from);
}

} // namespace

int MeasureLabel(platform::Display& display, const char* label, int length, TextStyle style,
                 int font, int points) {
    int width = 0;
    RunWalker walker(display, points);
    walker.walk(
        label, length, style, font,
        [&](const char* run, int bytes, TextStyle runStyle) {
            splitAtLoneMarks(
                run, bytes, runStyle,
                [&](const char* text, int n) { width += display.textExtent(text, n).width; },
                [&](char mark) {
                    width += display.markBaseWidth() + display.textExtent(&mark, 1).width;
                });
        },
        [](int) {});
    return width;
}

int DrawLabel(platform::Display& display, const char* label, int length, TextStyle style, int font,
              int points) {
    const int startX = display.currentPosition().x;
    RunWalker walker(display, points);
    walker.walk(
        label, length, style, font,
        [&](const char* run, int bytes, TextStyle runStyle) {
            splitAtLoneMarks(
                run, bytes, runStyle, [&](const char* text, int n) { display.textOut(text, n); },
                [&](char mark) { display.markOnBase(mark); });
        },
        [&](int dy) {
            const platform::Point at = display.currentPosition();
            display.moveTo({at.x, at.y + dy});
        });
    return display.currentPosition().x - startX;
}

} // namespace tarvo
