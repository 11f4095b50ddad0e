// The IPA93 table: the published pairs, valid UTF-8 in every entry, combining diacritics, and
// a round trip from every byte to its text and back.
#include "labels/ipa93.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

// The code points of a UTF-8 text; empty when it is not well-formed UTF-8.
std::u32string codePoints(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80             ? 0
                          : (lead & 0xE0) == 0xC0 ? 1
                          : (lead & 0xF0) == 0xE0 ? 2
                          : (lead & 0xF8) == 0xF0 ? 3
                                                  : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size())
            return {};
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return {};
            c = c << 6 | (next & 0x3F);
        }
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return {};
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// A symbol's name without the note on which width or height of it the byte draws.
std::string symbolOf(const char* name) {
    std::string symbol = name;
    const std::size_t note = symbol.find(" (");
    if (note != std::string::npos && symbol.find("width)", note) != std::string::npos)
        symbol.erase(note);
    return symbol;
}

std::string ipa(const std::string& bytes) {
    std::string out;
    AppendIpa93Text(bytes.data(), bytes.size(), out);
    return out;
}

TEST(Ipa93, PublishedPairsComeOutAsExpected) {
    const struct {
        const char* bytes;
        const char* text;
    } pairs[] = {
        {"DE kHAtH", "\u00f0\u025b k\u02b0\u0251t\u02b0"},
        {"D", "\u00f0"},
        {"E", "\u025b"},
        {"H", "\u02b0"},
        {"A", "\u0251"},
        {"S", "\u0283"},
        {"Z", "\u0292"},
        {"T", "\u03b8"},
        {"N", "\u014b"},
        {"Q", "\u00e6"},
        {"I", "\u026a"},
        {"U", "\u028a"},
        {"?", "\u0294"},
        {"g", "\u0261"},
        {"tSaIld", "t\u0283a\u026ald"},
        {"\xab", "\u0259"},
        {"\x8d", "\u0254"},
        {"\x81", "\u0252"},
        {"\xf9", "\u02d0"},
        {"\xc8", "\u02c8"},
        {"e@", "e\u0301"},
        {"a)", "a\u0303"},
        {"n8", "n\u0325"},
        {"t\x83S", "t\u0361\u0283"},
    };
    for (const auto& [bytes, text] : pairs)
        EXPECT_EQ(ipa(bytes), text) << bytes;
}

TEST(Ipa93, BytesWithoutASymbolStandForThemselves) {
    for (int byte : {0x01, 0x1f, 0x7f, 0x80, 0x85, 0x86, 0xa0, 0xae, 0xb6, 0xb7, 0xc5, 0xca, 0xd8,
                     0xd9, 0xe8}) {
        EXPECT_EQ(Ipa93Text(static_cast<unsigned char>(byte)), nullptr) << byte;
        EXPECT_EQ(Ipa93Name(static_cast<unsigned char>(byte)), nullptr) << byte;
    }
    EXPECT_EQ(ipa("\xae"), "\u00ae") << "drawn as its Windows-1252 character";
    EXPECT_EQ(ipa("\x80x"), "\u20acx");
}

TEST(Ipa93, EveryMappedByteIsValidTextAndComesBack) {
    int mapped = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<unsigned char>(byte);
        const char* text = Ipa93Text(b);
        ASSERT_EQ(text == nullptr, Ipa93Name(b) == nullptr) << byte;
        if (!text)
            continue;
        ++mapped;
        const std::u32string points = codePoints(text);
        ASSERT_FALSE(points.empty()) << "byte " << byte << " is not valid UTF-8";
        EXPECT_EQ(Ipa93Texts()[b], text);
        // Bytes share a text only where the chart draws one diacritic at several widths.
        const int back = Ipa93Byte(text);
        ASSERT_GE(back, 0) << byte;
        if (back != byte) {
            EXPECT_EQ(symbolOf(Ipa93Name(static_cast<unsigned char>(back))), symbolOf(Ipa93Name(b)))
                << byte << " and " << back << " give the same text";
        }
        EXPECT_EQ(Ipa93FromUnicode(text), std::string(1, static_cast<char>(back))) << byte;
        // A diacritic the legacy fonts drew as a zero-width mark is one combining character.
        const std::string name = Ipa93Name(b);
        if (name.find("width)") != std::string::npos) {
            ASSERT_EQ(points.size(), 1u) << name;
            EXPECT_TRUE(points[0] >= 0x0300 && points[0] <= 0x036F) << name;
        }
        EXPECT_EQ(Ipa93Combines(b), points[0] >= 0x0300 && points[0] <= 0x036F) << name;
    }
    EXPECT_GT(mapped, 200);
    EXPECT_EQ(Ipa93FromUnicode("\u00f0\u025b k\u02b0\u0251t\u02b0"), "DE kHAtH");
    EXPECT_EQ(Ipa93FromUnicode("t\u0283a\u026ald e\u0301 \u02e5\u02e9"), "tSaIld e@ \x8a\x9f");
    // Characters without a symbol keep their Windows-1252 byte only where it stands for itself.
    EXPECT_EQ(Ipa93FromUnicode("\u00ae\u00b7A1\u4e00\xff"), "\xae\xb7");
    EXPECT_EQ(Ipa93Byte("no such symbol"), -1);
    EXPECT_TRUE(Ipa93Combines('@'));
    EXPECT_FALSE(Ipa93Combines('e'));
    EXPECT_FALSE(Ipa93Combines(0xff));
    EXPECT_FALSE(Ipa93Combines(0x01)) << "a byte without a symbol";
}

} // namespace
} // namespace tarvo
