// Tests of the text operations that look through label formatting.
#include "labels/label_text.h"

#include "labels/font_table.h"
#include "labels/label_markup.h"

#include "support/label_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace tarvo {
namespace {

using testing_support::operator""_l;

int sign(int value) {
    return (value > 0) - (value < 0);
}

using LabelTextTest = testing_support::LabelStateTest;

// Skipping must step over exactly what reading does, or drawing and comparing would disagree.
TEST_F(LabelTextTest, SkipEscapesStopsWhereReadEscapesStops) {
    const std::pair<std::string, int> cases[] = {
        {"x", 0},     {"^bx"_l, 2},   {"^12fx"_l, 4}, {"^b^3f^ux"_l, 7},
        {"^^x"_l, 2}, {"^3^bx"_l, 3}, {"^"_l, 1},     {"^12"_l, 3},
    };
    for (const auto& [label, skipped] : cases) {
        SCOPED_TRACE(label);
        const char* text = label.c_str();
        EXPECT_EQ(SkipEscapes(text) - text, skipped);
        if (*text != kLabelEscape)
            continue;
        TextStyle style = 0;
        int font = 0;
        int remaining = 0;
        EXPECT_EQ(ReadEscapes(text, style, font, remaining), SkipEscapes(text));
    }
}

TEST_F(LabelTextTest, PlainTextDropsEscapesAndAnonymousIds) {
    const std::pair<std::string, std::string> cases[] = {
        {"bold ^bword^b here"_l, "bold word here"},
        {"^3fabc^r"_l, "abc"},
        {"ab^12"_l, "ab"},
        {"^*1f"_l, ""},
    };
    for (const auto& [label, plain] : cases) {
        std::string out = "<";
        PlainText(label.c_str(), out);
        EXPECT_EQ(out, "<" + plain);
    }
    std::string out;
    PlainText(nullptr, out);
    EXPECT_EQ(out, "");
}

// What a reader sees: phonetic runs as the IPA their bytes stand for, the rest as it is.
TEST_F(LabelTextTest, PlainUnicodeTextReadsPhoneticRunsAsIpa) {
    const std::pair<std::string, std::string> cases[] = {
        {"^pDE kHAtH^p"_l, "\u00f0\u025b k\u02b0\u0251t\u02b0"},
        {"DE ^pDE^p DE"_l, "DE \u00f0\u025b DE"},
        {"caf\xe9 \x80 ^pdQg"_l, "caf\u00e9 \u20ac d\u00e6\u0261"},
        {"^p^bS^b^uH^n^rS"_l, "\u0283\u02b0S"},
        {"^2f^pwO\xf9k^3f"_l, "w\u00f8\u02d0k"},
        {"^pe1^pe1"_l, "e\u0318e1"},
        {"^*1f"_l, ""},
    };
    for (const auto& [label, plain] : cases) {
        std::string out = "<";
        PlainUnicodeText(label.c_str(), out);
        EXPECT_EQ(out, "<" + plain) << label;
    }
    std::string out;
    PlainUnicodeText(nullptr, out);
    EXPECT_EQ(out, "");
}

TEST_F(LabelTextTest, ShownUnicodeTextPutsAMarkWithoutALetterOnADottedCircle) {
    const std::pair<std::string, std::string> cases[] = {
        {"ab^p@e"_l, "ab\u25cc\u0301e"},
        {"^p@a *e e@"_l, "\u25cc\u0301a \u25cc\u030ae e\u0301"},
        {"^pe^b@^b"_l, "e\u25cc\u0301"},
        {"caf\xe9 ^pdQg"_l, "caf\u00e9 d\u00e6\u0261"},
        {"@ *"_l, "@ *"},
    };
    for (const auto& [label, shown] : cases) {
        std::string out;
        ShownUnicodeText(label.c_str(), out);
        EXPECT_EQ(out, shown) << label;
        // The plain text that leaves the program keeps the marks as they are.
        std::string plain;
        PlainUnicodeText(label.c_str(), plain);
        std::string withoutBases = shown;
        for (std::size_t at; (at = withoutBases.find("\u25cc")) != std::string::npos;)
            withoutBases.erase(at, std::strlen("\u25cc"));
        EXPECT_EQ(plain, withoutBases) << label;
    }
}

TEST_F(LabelTextTest, CompareLabelsIgnoresEscapesAndOptionallyCase) {
    struct Case {
        std::string a;
        std::string b;
        int ignoringCase;
        int byBytes;
    };
    const Case cases[] = {
        {"abc", "abd", -1, -1},
        {"abc", "ABD", -1, 1},
        {"a^bb"_l, "ab", 0, 0},
        {"a", "a^b"_l, 0, 0},
        {"ab", "a", 1, 1},
        {"", "^i"_l, 0, 0},
        {"\xc9t\xe9", "\xe9T\xc9", 0, -1}, // accented capitals and small letters
        {"\x8a\x8c\x8e\x9f", "\x9a\x9c\x9e\xff", 0, -1},
        {"\xd7", "\xf7", -1, -1}, // multiplication and division signs have no case
        {"\xe9", "z", 1, 1},      // bytes above 127 sort after ASCII
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a + " / " + c.b);
        EXPECT_EQ(sign(CompareLabels(c.a.c_str(), c.b.c_str())), c.ignoringCase);
        EXPECT_EQ(sign(CompareLabels(c.b.c_str(), c.a.c_str(), true)), -c.ignoringCase);
        EXPECT_EQ(sign(CompareLabels(c.a.c_str(), c.b.c_str(), false)), c.byBytes);
    }
    EXPECT_EQ(CompareLabels(nullptr, "x"), 0);
    EXPECT_EQ(CompareLabels("x", nullptr), 0);
}

TEST_F(LabelTextTest, WordBreaksAreExactlyTheBreakingCharacters) {
    std::string breaks;
    for (int c = 1; c < 256; ++c)
        if (IsWordBreak(static_cast<unsigned char>(c)))
            breaks += static_cast<char>(c);
    EXPECT_EQ(breaks, " +-:_\x96\x97\xA6");
}

struct ScoreCase {
    std::string label;
    std::string typed;
    float score;
};

TEST_F(LabelTextTest, MatchScoreWeighsEarlyAndExactCharactersMore) {
    const ScoreCase cases[] = {
        {"ab", "ab", 26.0f + 23.4f},
        {"Ab", "ab", 20.0f + 23.4f},
        {"^ba^3fb"_l, "ab", 26.0f + 23.4f},
        {"xb", "ab", 23.4f},
        {"a", "abc", 26.0f},
        {"a^b"_l, "ab", 26.0f},
        {"abc", "a", 26.0f},
        {"\xc9", "\xe9", 20.0f},
        {"", "a", 0.0f},
    };
    for (const ScoreCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_FLOAT_EQ(MatchScore(c.label.c_str(), c.typed.c_str()), c.score);
        // Typed text in ASCII is the same in Unicode: both scores agree.
        if (std::all_of(c.typed.begin(), c.typed.end(), [](char ch) { return ch >= 0; })) {
            EXPECT_FLOAT_EQ(TypedMatchScore(c.label.c_str(), c.typed.c_str()), c.score);
        }
    }
    EXPECT_EQ(MatchScore(nullptr, "a"), 0.0f);
}

TEST_F(LabelTextTest, TypedMatchScoreReadsPhoneticRunsAsTheirBytesAndTheirIpa) {
    const ScoreCase cases[] = {
        // Unicode text the code page shows is its Windows-1252 bytes, letter case and all.
        {"\xc9t\xe9", "\u00e9T\u00c9", 20.0f + 18.0f + 16.2f},
        // A phonetic run matches its bytes and its IPA, each character once.
        {"^pdQg^p"_l, "dQg", 26.0f + 23.4f + 21.06f},
        {"^pdQg^p"_l, "d\u00e6g", 26.0f + 23.4f + 21.06f},
        {"^pSip^p"_l, "\u0283i", 26.0f + 23.4f},
        {"^pSip^p"_l, "si", 20.0f + 23.4f},
        // Outside a phonetic run the byte is its Windows-1252 character only.
        {"dQg", "d\u00e6g", 26.0f + 21.06f},
        // A character the code page lacks does not pass for the '?' it would become.
        {"?x", "\u0283x", 23.4f},
        {"?x", "?x", 26.0f + 23.4f},
        {"", "a", 0.0f},
    };
    for (const ScoreCase& c : cases) {
        SCOPED_TRACE(c.label + " / " + c.typed);
        EXPECT_FLOAT_EQ(TypedMatchScore(c.label.c_str(), c.typed.c_str()), c.score);
    }
    EXPECT_EQ(TypedMatchScore(nullptr, "a"), 0.0f);
    EXPECT_EQ(TypedMatchScore("a", nullptr), 0.0f);
}

TEST_F(LabelTextTest, BestMatchKeepsTheEarliestHighestScore) {
    BestMatch none;
    EXPECT_EQ(none.ordinal(), -1);

    BestMatch best;
    const float scores[] = {0.0f, 3.0f, 5.0f, 5.0f, 2.0f, 7.0f, 7.0f};
    const bool taken[] = {true, true, true, false, false, true, false};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(best.offer(scores[i]), taken[i]) << i;
    EXPECT_EQ(best.ordinal(), 5);
    EXPECT_FLOAT_EQ(best.score(), 7.0f);
}

TEST_F(LabelTextTest, FormattingMeasureAveragesTheSelectedFractions) {
    struct Case {
        std::string label;
        int selector;
        float measure;
    };
    const Case cases[] = {
        {"Ab", kMeasureUpperCase, 0.5f},
        {"\xc0\xe0\x8a\x9a\xdf", kMeasureUpperCase, 0.5f},
        {"\xd7\xf7", kMeasureUpperCase, 0.0f},
        {"^iab"_l, kMeasureItalic, 1.0f},
        {"a^ib"_l, kMeasureItalic, 0.5f},
        {"^i12a"_l, kMeasureItalic, 1.0f}, // three italic characters, one letter
        {"^pa^pb"_l, kMeasurePhonetic, 0.5f},
        {"a^ub"_l, kMeasureNotPlain, 0.5f},
        {"^5fab"_l, kMeasureNotPlain, 1.0f},
        {"^5f^0fab"_l, kMeasureNotPlain, 0.0f},
        {"^ia^ub^r"_l, kMeasureNotPlain | kMeasureItalic, 0.75f},
        {"AB^ub"_l, kMeasureUpperCase | kMeasureNotPlain, 0.5f},
        {"^s12"_l, kMeasureUpperCase | kMeasureNotPlain, 1.0f}, // no letters: one measure
        {"Ab", 0, 0.0f},
        {"", kMeasureNotPlain, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_FLOAT_EQ(FormattingMeasure(c.label.c_str(), c.selector), c.measure);
    }
    EXPECT_EQ(FormattingMeasure(nullptr, kMeasureUpperCase), 0.0f);
}

} // namespace
} // namespace tarvo
