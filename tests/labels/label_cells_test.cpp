// Tests of the editable label text: cells to and from labels, spaces, words, lines, drawing and
// caret positions, measured on a display whose characters are 10 pixels wide (15 when bold).
#include "labels/label_cells.h"

#include "memory/size_class_heap.h"

#include "support/label_fixture.h"
#include "support/null_display.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

using testing_support::operator""_l;

constexpr int kPoints = 20;
constexpr int kLineHeight = 20;
constexpr int kSpaceWidth = 5;

class FixedFont : public platform::Font {
public:
    explicit FixedFont(bool isBold) : bold(isBold) {}
    bool bold;
};

// Records each character drawn with the pen position it was drawn at.
class FixedWidthDisplay : public testing_support::NullDisplay {
public:
    std::unique_ptr<platform::Font> createFont(const platform::LogicalFont& font) override {
        return std::make_unique<FixedFont>(font.weight > 600);
    }
    platform::Font* selectFont(platform::Font* font) override {
        return std::exchange(selected, font);
    }
    platform::Size textExtent(const char*, int length) override {
        const auto* font = static_cast<const FixedFont*>(selected);
        return {length * (font && font->bold ? 15 : 10), kLineHeight};
    }
    void textOut(const char* text, int length) override {
        for (int i = 0; i < length; ++i) {
            const platform::Point at = currentPosition();
            drawn.emplace_back(text[i], at.x, at.y);
            moveTo({at.x + textExtent(text + i, 1).width, at.y});
        }
    }

    platform::Font* selected = nullptr;
    std::vector<std::tuple<char, int, int>> drawn;
};

struct DestroyList {
    void operator()(ChunkList* list) const { list->destroy(); }
};
using Cells = std::unique_ptr<LabelCells, DestroyList>;
using Words = std::unique_ptr<LabelWords, DestroyList>;

// The cells of an internal label, made run by run as the label editor makes them.
Cells cellsOf(const std::string& label) {
    Cells cells(new LabelCells);
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    int remaining = static_cast<int>(label.size());
    for (const char* at = label.c_str(); *at;) {
        if (*at == kLabelEscape) {
            at = ReadEscapes(at, style, font, remaining);
            continue;
        }
        InsertText(*cells, cells->size(), at++, 1, style, font);
        --remaining;
    }
    return cells;
}

std::string textOf(const LabelCells& cells, int mode, int from = 0, int to = 1 << 20) {
    int length = 0;
    const char* text = CellsToText(cells, from, to, mode, &length);
    return std::string(text, static_cast<std::size_t>(length));
}

std::string labelOf(const LabelCells& cells) {
    char* label = LabelOfCells(cells);
    std::string text = label ? label : "(null)";
    Release(label);
    return text;
}

// Each word as "start:text".
std::vector<std::string> wordsOf(const LabelCells& cells, const LabelWords& words) {
    std::vector<std::string> shown;
    for (int k = 0; k < words.size(); ++k) {
        const WordBox* word = words.wordAt(k);
        shown.push_back(std::to_string(word->start) + ":" +
                        textOf(cells, kCellsAsPlainText, word->start, word->start + word->count));
    }
    return shown;
}

std::vector<std::pair<int, int>> placesOf(const LabelWords& words) {
    std::vector<std::pair<int, int>> places;
    places.reserve(static_cast<std::size_t>(words.size()));
    for (int k = 0; k < words.size(); ++k)
        places.emplace_back(words.wordAt(k)->x, words.wordAt(k)->y);
    return places;
}

class LabelCellsTest : public testing_support::LabelStateTest {
protected:
    // Measured, split into words and broken into lines; `lines` receives the number of lines
    // and the widest line.
    Words laidOut(LabelCells& cells, int maxWidth, std::pair<int, int>* lines = nullptr) {
        MeasureCells(display, cells, kPoints);
        Words words(MakeWords(cells));
        int widest = -1;
        const int count = BreakLines(*words, maxWidth, kLineHeight, kSpaceWidth, &widest);
        if (lines)
            *lines = {count, widest};
        return words;
    }

    FixedWidthDisplay display;
};

TEST_F(LabelCellsTest, FormattedLabelsComeBackFromCellsAndFromRawCells) {
    const std::string labels[] = {
        "",
        "bold ^bword^b here"_l,
        "^12f^u^b^iab^n^p c^0f^bd"_l,
        "^300f^ppast one byte"_l,
        std::string(70, 'x') + "^b"_l + std::string(3, 'y'),
    };
    for (const std::string& label : labels) {
        SCOPED_TRACE(label);
        const Cells cells = cellsOf(label);
        EXPECT_EQ(textOf(*cells, kCellsAsLabel), label);
        EXPECT_EQ(labelOf(*cells), label);

        const std::string raw = textOf(*cells, kCellsAsRaw);
        Cells copied(new LabelCells);
        EXPECT_EQ(InsertText(*copied, 0, raw.data(), static_cast<int>(raw.size()), kRawCells, 7),
                  cells->size());
        EXPECT_EQ(textOf(*copied, kCellsAsLabel), label);
    }
}

TEST_F(LabelCellsTest, EditingSetsTheFormattingAskedForWithinTheText) {
    fonts().DefaultFont = 2;
    Cells cells(new LabelCells);
    EXPECT_EQ(InsertText(*cells, 0, "ab", 2, kStyleOfPrevious, 5), 2);
    EXPECT_EQ(InsertText(*cells, 2, "c", 1, kBold | kItalic, 4), 1);
    EXPECT_EQ(InsertText(*cells, 3, "d", 1, kStyleOfPrevious, -1), 1);
    EXPECT_EQ(InsertText(*cells, 99, "e\x7f\0f"_l.c_str(), 4, 0, -1), 2) << "no DEL, no 0";
    EXPECT_EQ(textOf(*cells, kCellsAsLabel), "ab^4f^b^icd^2f^b^ief"_l);

    SetStyleBits(*cells, -1, 2, kPhonetic, true);
    SetFont(*cells, 3, 99, 6);
    EXPECT_EQ(textOf(*cells, kCellsAsLabel, 1, 9), "^pb^4f^p^b^ic^6fd^b^ief"_l);
    EXPECT_EQ(MeasureCells(display, *cells, kPoints), 4 * 10 + 2 * 15);
    EXPECT_EQ(display.selected, nullptr) << "the display's own font is selected again";
    EXPECT_EQ(DeleteRange(*cells, 1, 4), 40);
    EXPECT_EQ(DeleteRange(*cells, 2, 99), 10);
    EXPECT_EQ(textOf(*cells, kCellsAsLabel), "^pa^6f^pe"_l);
}

TEST_F(LabelCellsTest, SharedBufferTextIsCutAfterTheLastWholeCell) {
    // A bold toggle before every character but the first: units of 1, 3, 3, ... bytes.
    std::string label = "a";
    for (int i = 0; i < 400; ++i)
        label += "^bx"_l;
    const Cells cells = cellsOf(label);
    EXPECT_EQ(textOf(*cells, kCellsAsLabel), label.substr(0, 997));
    EXPECT_EQ(textOf(*cells, kCellsAsRaw).size(), 996u);
    EXPECT_EQ(textOf(*cellsOf(std::string(1000, 'p')), kCellsAsPlainText).size(), 999u);
    EXPECT_EQ(labelOf(*cells), label) << "the label itself is never cut";
}

TEST_F(LabelCellsTest, LabelOfCellsTrimsOneSpaceAtEachEnd) {
    const std::pair<const char*, const char*> cases[] = {
        {" ab ", "ab"}, {"  ab", " ab"}, {"ab  ", "ab "}, {" ", ""}, {"  ", ""},
    };
    for (const auto& [text, label] : cases)
        EXPECT_EQ(labelOf(*cellsOf(text)), label) << '"' << text << '"';
}

TEST_F(LabelCellsTest, CollapseSpacesKeepsOneAndMovesTheCaretBack) {
    const std::string x31(31, 'x');
    const std::tuple<std::string, int, std::string, int> cases[] = {
        {"a  b", 3, "a b", 2},
        {"a  b", 2, "a b", 2},
        {"a   b  ", 7, "a b ", 4},
        {x31 + "    y", 36, x31 + " y", 33},
    };
    for (const auto& [text, caretBefore, collapsed, caretAfter] : cases) {
        SCOPED_TRACE(text);
        const Cells cells = cellsOf(text);
        int width = MeasureCells(display, *cells, kPoints);
        int caret = caretBefore;
        EXPECT_EQ(CollapseSpaces(*cells, width, caret),
                  static_cast<int>(text.size() - collapsed.size()));
        EXPECT_EQ(textOf(*cells, kCellsAsPlainText), collapsed);
        EXPECT_EQ(caret, caretAfter);
        EXPECT_EQ(width, 10 * cells->size());
    }
}

TEST_F(LabelCellsTest, WordsEndAtSpacesAndAfterBreakCharacters) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"well-known fact", {"0:well-", "5:known", "11:fact"}},
        {" ab  c ", {"1:ab", "5:c"}},
        {"a--b:+c -d \x96x", {"0:a--", "3:b:+", "6:c", "8:-d", "11:\x96x"}},
    };
    for (const auto& [text, expected] : cases) {
        const Cells cells = cellsOf(text);
        const Words words(MakeWords(*cells));
        ASSERT_NE(words, nullptr);
        EXPECT_EQ(wordsOf(*cells, *words), expected) << text;
    }
}

TEST_F(LabelCellsTest, BreakLinesCentresEachLineAndTheLines) {
    using Places = std::vector<std::pair<int, int>>;
    const std::tuple<const char*, int, std::pair<int, int>, Places> cases[] = {
        // The space before the word that starts the next line counts in the line above when
        // the line is centred, but the widest line is its ink: the words without that space,
        // which is what a box must hold (a line that fits only without it still fits, at 87).
        {"aaaa bbbb cccc", 90, {2, 85}, {{-45, -20}, {0, -20}, {-20, 0}}},
        {"aaaa bbbb cccc", 87, {2, 85}, {{-45, -20}, {0, -20}, {-20, 0}}},
        {"aaaa bbbb cccc", 130, {1, 130}, {{-65, -10}, {-20, -10}, {25, -10}}},
        {"aaaaaaaaaa bb", 50, {2, 100}, {{-52, -20}, {-10, 0}}},
        {"aaaaaaaaaa", 50, {1, 100}, {{-50, -10}}},
        // The widest word raises the maximum for the lines after it as well.
        {"aaaaaaaaaa bbbb cccc", 50, {2, 100}, {{-52, -20}, {-42, 0}, {3, 0}}},
        {"well-known", 60, {2, 50}, {{-25, -20}, {-25, 0}}},
    };
    for (const auto& [text, maxWidth, lines, places] : cases) {
        SCOPED_TRACE(std::string(text) + " in " + std::to_string(maxWidth));
        const Cells cells = cellsOf(text);
        std::pair<int, int> broken;
        const Words words = laidOut(*cells, maxWidth, &broken);
        EXPECT_EQ(broken, lines);
        EXPECT_EQ(placesOf(*words), places);
    }
}

TEST_F(LabelCellsTest, DrawingPutsEachCellWhereMeasuringSaysAndKeepsTheBaseline) {
    using Drawn = std::vector<std::tuple<char, int, int>>;
    const Cells cells = cellsOf("ab^b^ucd ^n^bef"_l);
    display.moveTo({100, 50});
    DrawCells(display, *cells, kPoints);
    EXPECT_EQ(display.drawn, (Drawn{{'a', 100, 50},
                                    {'b', 110, 50},
                                    {'c', 120, 40},
                                    {'d', 135, 40},
                                    {' ', 150, 40},
                                    {'e', 165, 50},
                                    {'f', 175, 50}}));
    EXPECT_EQ(display.currentPosition(), (platform::Point{185, 50}));

    // Two lines round the origin: "abcd" with the space after it, 55 wide, and "ef", 20.
    const Words words = laidOut(*cells, 40);
    display.drawn.clear();
    DrawWords(display, *words, {0, 15}, kPoints);
    EXPECT_EQ(display.drawn, (Drawn{{'a', -27, -5},
                                    {'b', -17, -5},
                                    {'c', -7, -15},
                                    {'d', 8, -15},
                                    {'e', -10, 15},
                                    {'f', 0, 15}}));
    EXPECT_EQ(display.selected, nullptr);
}

TEST_F(LabelCellsTest, CaretPositionsAndPointsAgree) {
    // Two lines: "ab cd", 50 wide with the space before "ef", and "ef".
    const Cells cells = cellsOf(" ab cd ef ");
    const Words words = laidOut(*cells, 50);
    platform::Point point;
    for (int position = 1; position <= 9; ++position) {
        ASSERT_TRUE(PointOfCaret(*words, position, point));
        // The end of a word followed by another on its line is the next word's start.
        EXPECT_EQ(CaretAt(*words, point, kLineHeight), position == 3 ? 4 : position) << position;
    }
    const std::pair<platform::Point, int> points[] = {
        {{-100, -20}, 1}, {{-21, -20}, 1}, {{-20, -20}, 2}, {{100, -1}, 6}, {{0, -21}, 0},
    };
    for (const auto& [at, caret] : points)
        EXPECT_EQ(CaretAt(*words, at, kLineHeight), caret) << at.x << "," << at.y;

    ASSERT_TRUE(PointOfCaret(*words, 0, point));
    EXPECT_EQ(point, (platform::Point{-35, -20})) << "before the leading space";
    ASSERT_TRUE(PointOfCaret(*words, 10, point));
    EXPECT_EQ(point, (platform::Point{20, 0})) << "after the trailing space";

    const int wordOf[] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 2};
    for (int position = 0; position < 12; ++position)
        EXPECT_EQ(WordOfCaret(*words, position), wordOf[position]) << position;
    const std::tuple<int, int, int> bounds[] = {{-1, 1, 3}, {1, 4, 6}, {3, 7, 9}};
    for (const auto& [number, start, end] : bounds) {
        EXPECT_EQ(WordBounds(*words, number, true), start) << number;
        EXPECT_EQ(WordBounds(*words, number, false), end) << number;
    }
}

TEST_F(LabelCellsTest, AnEmptyTextGivesNothing) {
    Cells cells(new LabelCells);
    int width = 0;
    int caret = 0;
    EXPECT_EQ(DeleteRange(*cells, 0, 5), 0);
    EXPECT_EQ(CollapseSpaces(*cells, width, caret), 0);
    std::pair<int, int> lines;
    const Words words = laidOut(*cells, 50, &lines);
    EXPECT_EQ(lines, std::make_pair(0, 0));
    EXPECT_EQ(CaretAt(*words, {0, 0}, kLineHeight), 0);
    platform::Point point;
    EXPECT_FALSE(PointOfCaret(*words, 0, point));
    EXPECT_EQ(WordOfCaret(*words, 3), 0);
    EXPECT_EQ(WordBounds(*words, 0, false), 0);
}

} // namespace
} // namespace tarvo
