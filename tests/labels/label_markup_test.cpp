// Tests of the label escapes and of the markup conversions, by table and by random round trips.
#include "labels/label_markup.h"

#include "labels/font_table.h"
#include "memory/size_class_heap.h"

#include "support/label_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tarvo {
namespace {

using testing_support::operator""_l;

// Takes over a label from the code under test; "(null)" for none.
std::string taken(char* label) {
    std::string text = label ? label : "(null)";
    Release(label);
    return text;
}

std::string read(LabelIds& ids, const std::string& markup) {
    return taken(MarkupToLabel(markup.c_str(), ids));
}

std::string written(const std::string& label) {
    std::string out;
    LabelToMarkup(label.c_str(), out);
    return out;
}

// Files hold the markup in quotes; the file reader takes them off before converting.
std::string unquoted(const std::string& markup) {
    if (markup.size() >= 2 && markup.front() == '"')
        return markup.substr(1, markup.size() - 2);
    return markup;
}

// What a label shows: each character with the style and font it is drawn in, or the id of an
// anonymous label. Everything else about the escapes is lost on purpose.
using Shown = std::vector<std::tuple<char, int, int>>;

Shown shown(const std::string& label) {
    if (IsAnonymousLabel(label.c_str())) {
        unsigned long long id = 0;
        for (std::size_t i = 2; i < label.size() && std::isxdigit(label[i] & 0xff); ++i)
            id = std::min<unsigned long long>(id * 16 + std::stoul(label.substr(i, 1), nullptr, 16),
                                              UINT_MAX);
        return {{'*', static_cast<int>(id), 0}};
    }
    Shown characters;
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    int remaining = 0;
    for (const char* at = label.c_str(); *at;) {
        if (*at == kLabelEscape)
            at = ReadEscapes(at, style, font, remaining);
        else
            characters.emplace_back(*at++, style, font);
    }
    return characters;
}

using LabelMarkupTest = testing_support::LabelStateTest;

TEST_F(LabelMarkupTest, ReadEscapesFollowsTheRunAndStopsAtTheTerminator) {
    struct Case {
        std::string text;
        TextStyle style;
        int font;
        int consumed;
    };
    const TextStyle super = withPosition(0, TextPosition::Superscript);
    const TextStyle sub = withPosition(0, TextPosition::Subscript);
    const Case cases[] = {
        {"^bx"_l, kBold, 7, 2},
        {"^b^i^p^ux"_l, kBold | kItalic | kPhonetic | super, 7, 8},
        {"^p^p^u^dx"_l, sub, 7, 8},
        {"^12fx"_l, 0, 12, 4},
        {"^99999999999fx"_l, 0, INT_MAX, 13},
        {"^3^bx"_l, 0, 3, 3}, // the byte after the number is taken, even a DEL
        {"^b^r"_l, 0, 0, 4},
        {"^zq"_l, 0, 7, 2},
        {"^"_l, 0, 7, 1},
        {"^12"_l, 0, 12, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TextStyle style = 0;
        int font = 7;
        int remaining = 100;
        const char* end = ReadEscapes(c.text.c_str(), style, font, remaining);
        EXPECT_EQ(end - c.text.c_str(), c.consumed);
        EXPECT_EQ(remaining, 100 - c.consumed);
        EXPECT_EQ(style, c.style);
        EXPECT_EQ(font, c.font);
    }
}

TEST_F(LabelMarkupTest, WriteEscapesReachesEveryStateInOrder) {
    std::string out;
    WriteEscapes(out, kBold | withPosition(kItalic, TextPosition::Small), kItalic, 4, 0);
    EXPECT_EQ(out, "^4f^s^b"_l);

    for (int from = 0; from < 256; from += 8) {
        for (int to = 0; to < 256; to += 8) {
            for (int font : {0, 4, 123456}) {
                out = "^!"_l;
                WriteEscapes(out, static_cast<TextStyle>(to), static_cast<TextStyle>(from), font,
                             0);
                TextStyle style = static_cast<TextStyle>(from);
                int readFont = 0;
                int remaining = 0;
                ReadEscapes(out.c_str(), style, readFont, remaining);
                ASSERT_EQ(style, to) << from;
                ASSERT_EQ(readFont, font);
            }
        }
    }
    // With an empty font table the default index is negative, which only a reset can reach.
    fonts().DefaultFont = -1;
    out.clear();
    WriteEscapes(out, kBold, kItalic, -1, 3);
    EXPECT_EQ(out, "^r^b"_l);
}

// Markup as read, the internal form it gives, and (when given) how that form is written back.
TEST_F(LabelMarkupTest, MarkupReadsToInternalFormAndWritesBack) {
    struct Case {
        std::string markup;
        std::string label;
        std::string markupWritten;
    };
    const Case cases[] = {
        {"bold <b>word<\\b> here", "bold ^bword^b here"_l, "\"bold <b>word<\\b> here\""},
        {"a&semi;b", "a;b", "\"a&semi;b\""},
        {"x<super>2", "x^u2"_l, "\"x<super>2<\\super>\""},
        {"<f=3>abc", "^3fabc"_l, "\"<f=3>abc<\\f>\""},
        {"abc<b>", "abc", "abc"},
        {"<s>x", "^sx"_l, "\"<sml>x<\\sml>\""},
        {"<su>x", "^ux"_l, "\"<super>x<\\super>\""},
        {"<>x", "^px"_l, "\"<phon>x<\\phon>\""},
        {"&foo;x", "x", "x"},
        {"&amp;&lthan;&gthan;&dquote;", "&<>\"", "\"&amp;&lthan;&gthan;&dquote;\""},
        {"<i><b>x<sub>y<\\sub>z", "^b^ix^dy^nz"_l, "\"<b><i>x<sub>y<\\sub>z<\\b><\\i>\""},
        {"<sml>a<super>b<norm>c", "^sa^ub^nc"_l, "\"<sml>a<\\sml><super>b<\\super>c\""},
        {"<f=3>a<f=5>b<\\f>c", "^3fa^5fb^0fc"_l, "\"<f=3>a<\\f><f=5>b<\\f>c\""},
        {"", "", "\"\""},
        {"plain", "plain", "plain"},
        // Read only: forms the writer never produces.
        {"&ampere;&;&amp", "&&", ""},
        {"<bold>x<\\i>y", "x^iy"_l, ""},
        {"<f>a<f=x1>b<fx12>c", "ab^12fc"_l, ""},
        {"x<f=99999999999>y", "x^2147483647fy"_l, ""},
        {"a^bc"_l, "abc", ""}, // a raw DEL would turn into formatting
        // Cut short by the end of the text.
        {"a<", "a", ""},
        {"a<f=", "a", ""},
        {"a&", "a", ""},
        {"a&dquote", "a\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        EXPECT_EQ(read(ids, c.markup), c.label);
        if (c.markupWritten.empty())
            continue;
        EXPECT_EQ(written(c.label), c.markupWritten);
        EXPECT_EQ(read(ids, unquoted(c.markupWritten)), c.label);
    }
}

TEST_F(LabelMarkupTest, DefaultFontIsTheOneWithoutTags) {
    fonts().DefaultFont = 2;
    EXPECT_EQ(read(ids, "<f=>a<f=2>b<f=3>c<\\f>d"), "^0fa^2fb^3fc^2fd"_l);
    EXPECT_EQ(written("^0fa^2fb^rc"_l), "\"<f=0>a<\\f>bc\"");
}

// An escape run at the very end formats nothing: what it opens is left open (the reader drops
// trailing tags), but everything open before it is closed exactly once.
TEST_F(LabelMarkupTest, EscapesAtTheEndWriteWithoutClosingTags) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc^b"_l, "\"abc<b>\""},
        {"^babc^b"_l, "\"<b>abc<\\b>\""},
        {"^babc^i"_l, "\"<b>abc<i><\\b>\""},
        {"^sabc^u"_l, "\"<sml>abc<\\sml><super>\""},
        {"^3fabc^r"_l, "\"<f=3>abc<\\f>\""},
        {"^3fabc^b"_l, "\"<f=3>abc<b><\\f>\""},
        // A lone escape writes nothing, and a word without tags needs no quotes.
        {"ab^"_l, "ab"},
        {"ab^12"_l, "\"ab<f=12>\""},
    };
    for (const auto& [label, markup] : cases) {
        SCOPED_TRACE(label);
        EXPECT_EQ(written(label), markup);
        EXPECT_EQ(shown(read(ids, unquoted(markup))), shown(label));
    }
}

TEST_F(LabelMarkupTest, AnonymousLabelsKeepTheirIdAndRaiseTheCounter) {
    struct Case {
        unsigned before;
        std::string markup;
        unsigned after;
    };
    const Case cases[] = {
        {5, "<id=1f>", 0x20},     {0x40, "<id=1f>", 0x40},  {0x1f, "<id=1F>", 0x20},
        {0x20, "<id=01f>", 0x20}, {0x20, "<id=1f>x", 0x20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        ids.setNext(c.before);
        EXPECT_EQ(read(ids, c.markup), "^*1f"_l);
        EXPECT_EQ(ids.next(), c.after);
    }
    ids.setNext(0);
    EXPECT_EQ(read(ids, "<id=>"), "^*0"_l);
    EXPECT_EQ(read(ids, "<id=ffffffffff>"), "^*ffffffff"_l);
    EXPECT_EQ(ids.next(), UINT_MAX);

    EXPECT_EQ(written("^*1f"_l), "\"<id=1f>\"");
    EXPECT_EQ(written("^*1f\"<b>"_l), "\"<id=1f>\"");

    ids.setNext(0xab);
    EXPECT_EQ(taken(ids.fresh()), "^*ab"_l);
    EXPECT_EQ(taken(ids.fresh()), "^*ac"_l);
    EXPECT_EQ(ids.next(), 0xadu);

    EXPECT_TRUE(IsAnonymousLabel(nullptr));
    EXPECT_TRUE(IsAnonymousLabel("^*"_l.c_str()));
    EXPECT_FALSE(IsAnonymousLabel("^b*1"_l.c_str()));
    EXPECT_FALSE(IsAnonymousLabel("*1"));
}

TEST_F(LabelMarkupTest, RemapLabelFontsTouchesOnlyFontEscapes) {
    fonts().DefaultFont = 1;
    const int map[] = {5, 6, 7, -1};
    const std::pair<std::string, std::string> cases[] = {
        {"^0fa^2fb"_l, "^5fa^7fb"_l},
        {"^9fa^99999999999fb"_l, "^1fa^1fb"_l}, // not in the map
        {"^3fa"_l, "^1fa"_l},                   // a negative entry
        {"a^2"_l, "a^7"_l},
        {"^^2fa"_l, "(null)"},    // the second DEL is the byte of an unknown escape
        {"^2^3fa"_l, "^7^3fa"_l}, // the code byte after the digits is a DEL
        {"^bbold^i"_l, "(null)"}, // markup without fonts
        {"^2fa^bb^0"_l, "^7fa^bb^5"_l},
        {"plain", "(null)"},
        {"", "(null)"},
    };
    for (const auto& [label, remapped] : cases) {
        SCOPED_TRACE(label);
        EXPECT_EQ(taken(RemapLabelFonts(label.c_str(), map, 4)), remapped);
    }
    const int identity[] = {0, 1, 2};
    EXPECT_EQ(taken(RemapLabelFonts("^1fa^2fb"_l.c_str(), identity, 3)), "(null)");
    EXPECT_EQ(taken(RemapLabelFonts("^01fa"_l.c_str(), identity, 3)), "^1fa"_l);
}

// Writing and reading back keeps what a label shows. The writer normalises: escapes without
// effect (unknown bytes, toggles that cancel, a state set twice), the order of escapes within a
// run, resets (written as the changes they make), the spelling of font numbers, the byte after
// a font number, escapes at the very end, and an anonymous id's digits (case, leading zeros).
TEST_F(LabelMarkupTest, RandomLabelsSurviveWritingAndReading) {
    std::mt19937 random(20240611);
    const auto pick = [&](unsigned below) { return static_cast<int>(random() % below); };
    const auto anyByte = [&] { return static_cast<char>(1 + pick(255)); };
    const auto randomLabel = [&] {
        std::string label = pick(20) == 0 ? "^*"_l : "";
        for (int items = pick(30); items > 0; --items) {
            const int kind = pick(8);
            if (kind == 0)
                label.append(1, kLabelEscape).append(1, "pbinsudr"[pick(8)]);
            else if (kind == 1)
                label.append(1, kLabelEscape)
                    .append(std::to_string(pick(3) ? static_cast<std::mt19937::result_type>(pick(6))
                                                   : random() >> 1))
                    .append(1, anyByte());
            else if (kind == 2)
                label.append(1, kLabelEscape).append(1, anyByte());
            else
                label.append(1, anyByte());
        }
        if (pick(10) == 0)
            label.append(pick(2) ? "^12"_l : "^"_l);
        return label;
    };
    for (int defaultFont : {0, 3}) {
        fonts().DefaultFont = defaultFont;
        for (int round = 0; round < 3000; ++round) {
            const std::string label = randomLabel();
            const std::string markup = written(label);
            ASSERT_EQ(shown(read(ids, unquoted(markup))), shown(label)) << markup;
        }
    }
}

} // namespace
} // namespace tarvo
