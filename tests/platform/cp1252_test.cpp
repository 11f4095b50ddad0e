// The Windows-1252 converter: every byte survives a round trip; foreign text degrades visibly.
#include "platform/cp1252.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8AndUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b))), b);
}

TEST(Cp1252, WindowsCharactersMapToTheirUnicodeNames) {
    struct Case {
        unsigned char byte;
        char32_t code;
    } cases[] = {{0x80, 0x20AC}, {0x8A, 0x0160}, {0x92, 0x2019}, {0x9F, 0x0178},
                 {0x81, 0x0081}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0x7F, 0x007F}};
    for (auto [byte, code] : cases)
        EXPECT_EQ(Cp1252ToUnicode(byte), code) << int(byte);
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(Cp1252, UnshowableAndMalformedInputBecomesTheReplacement) {
    EXPECT_EQ(UnicodeToCp1252(0x0100), -1);
    EXPECT_EQ(Utf8ToCp1252("\xC9\x99"), "?");           // schwa: not in the code page
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x"); // four-byte sequence
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");             // cut short at the end
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");           // overlong form of '/'
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "?");       // encoded surrogate
    EXPECT_EQ(Utf8ToCp1252("\xFF", '_'), "_");
    EXPECT_EQ(Utf16ToCp1252(u"\xD83D\xDE00z"), "?z"); // pair: one character
    EXPECT_EQ(Utf16ToCp1252(std::u16string(1, u'\xDC00')), "?");
}

} // namespace
} // namespace platform
