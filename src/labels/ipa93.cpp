// The IPA93 encoding: every byte with an IPA93 symbol, its Unicode text and its name in the
// encoding's chart. Where the chart gives several widths or heights of one diacritic, each
// byte has its own row and all of them give the same combining character. Bytes left out (the
// contour tone bars, the minute space, the barred undotted i) have no agreed Unicode text and
// are drawn as themselves.
#include "labels/ipa93.h"

#include "platform/cp1252.h"

#include <array>
#include <cstring>

namespace tarvo {
namespace {

struct Ipa93Symbol {
    unsigned char byte;
    const char* text;
    const char* name;
};

// In code order.
constexpr Ipa93Symbol kSymbols[] = {
    {0x20, " ", "space"},
    {0x21, "\u030B", "double acute accent (o-width)"},
    {0x22, "\u0131", "undotted I"},
    {0x23, "\u0304", "macron (o-width)"},
    {0x24, "\u0300", "grave accent (o-width)"},
    {0x25, "\u030F", "double grave accent (o-width)"},
    {0x26, "\u030C", "wedge (o-width)"},
    {0x27, "\u02BC", "apostrophe"},
    {0x28, "\u0306", "breve (o-width)"},
    {0x29, "\u0303", "superscript tilde (o-width)"},
    {0x2A, "\u030A", "over-ring (o-width)"},
    {0x2B, "\u031F", "superscript plus (o-width)"},
    {0x2C, ",", "comma"},
    {0x2D, "\u0324", "superscript umlaut (o-width)"},
    {0x2E, ".", "period"},
    {0x2F, "/", "forward slash"},
    {0x30, "\u0330", "subscript tilde (o-width)"},
    {0x31, "\u0318", "advancing sign (o-width)"},
    {0x32, "\u0319", "retracting sign (o-width)"},
    {0x33, "\u031D", "raising sign (o-width)"},
    {0x34, "\u031E", "lowering sign (o-width)"},
    {0x35, "\u032A", "subscript bridge"},
    {0x36, "\u033B", "subscript square"},
    {0x37, "\u031C", "subscript left half-ring"},
    {0x38, "\u0325", "under-ring (o-width)"},
    {0x39, "\u032F", "superscript arch (o-width)"},
    {0x3A, "\u02E1", "superscript L"},
    {0x3B, "\u029F", "small capital L"},
    {0x3C, "\u207F", "superscript N"},
    {0x3D, "\u0320", "under-bar (o-width)"},
    {0x3E, "\u02D1", "half-length mark"},
    {0x3F, "\u0294", "glottal stop"},
    {0x40, "\u0301", "acute accent (o-width)"},
    {0x41, "\u0251", "cursive A"},
    {0x42, "\u03B2", "beta"},
    {0x43, "\u00E7", "C cedilla"},
    {0x44, "\u00F0", "eth"},
    {0x45, "\u025B", "epsilon"},
    {0x46, "\u0264", "ram's horns"},
    {0x47, "\u0262", "small capital G"},
    {0x48, "\u02B0", "superscript H"},
    {0x49, "\u026A", "small capital I"},
    {0x4A, "\u02B2", "superscript J"},
    {0x4B, "\u029C", "small capital H"},
    {0x4C, "\u026E", "L-yogh digraph"},
    {0x4D, "\u0271", "left-tail M (at right)"},
    {0x4E, "\u014B", "eng"},
    {0x4F, "\u00F8", "slashed O"},
    {0x50, "\u0275", "barred O"},
    {0x51, "\u00E6", "ash digraph"},
    {0x52, "\u027E", "fish-hook R"},
    {0x53, "\u0283", "esh"},
    {0x54, "\u03B8", "theta"},
    {0x55, "\u028A", "upsilon"},
    {0x56, "\u028B", "cursive V"},
    {0x57, "\u02B7", "superscript W"},
    {0x58, "\u03C7", "chi"},
    {0x59, "\u028F", "small capital Y"},
    {0x5A, "\u0292", "yogh"},
    {0x5B, "[", "left square bracket"},
    {0x5C, "\\", "backward slash"},
    {0x5D, "]", "right square bracket"},
    {0x5E, "\u0302", "circumflex (o-width)"},
    {0x5F, "\u0308", "umlaut"},
    {0x60, "\u0329", "syllabicity mark"},
    {0x61, "a", "lowercase A"},
    {0x62, "b", "lowercase B"},
    {0x63, "c", "lowercase C"},
    {0x64, "d", "lowercase D"},
    {0x65, "e", "lowercase E"},
    {0x66, "f", "lowercase F"},
    {0x67, "\u0261", "lowercase G"},
    {0x68, "h", "lowercase H"},
    {0x69, "i", "lowercase I"},
    {0x6A, "j", "lowercase J"},
    {0x6B, "k", "lowercase K"},
    {0x6C, "l", "lowercase L"},
    {0x6D, "m", "lowercase M"},
    {0x6E, "n", "lowercase N"},
    {0x6F, "o", "lowercase O"},
    {0x70, "p", "lowercase P"},
    {0x71, "q", "lowercase Q"},
    {0x72, "r", "lowercase R"},
    {0x73, "s", "lowercase S"},
    {0x74, "t", "lowercase T"},
    {0x75, "u", "lowercase U"},
    {0x76, "v", "lowercase V"},
    {0x77, "w", "lowercase W"},
    {0x78, "x", "lowercase X"},
    {0x79, "y", "lowercase Y"},
    {0x7A, "z", "lowercase Z"},
    {0x7B, "\u0280", "small capital R"},
    {0x7C, "\u031A", "corner"},
    {0x7D, "\u027D", "right-tail R"},
    {0x7E, "\u033D", "over-cross"},
    {0x81, "\u0252", "turned cursive A"},
    {0x82, "\u0258", "reversed E"},
    {0x83, "\u0361", "top tie bar"},
    {0x84, "\u2016", "double vertical line"},
    {0x87, "\u0298", "bull's eye"},
    {0x88, "\u030B", "double acute accent (high o-width)"},
    {0x89, "\u030B", "double acute accent (high i-width)"},
    {0x8A, "\u02E5", "extra-high tone bar"},
    {0x8B, "\u2191", "up arrow"},
    {0x8C, "\u0250", "turned A"},
    {0x8D, "\u0254", "open O"},
    {0x8E, "\u01C0", "pipe"},
    {0x8F, "\u0301", "acute accent (high o-width)"},
    {0x90, "\u0301", "acute accent (high i-width)"},
    {0x91, "\u02E6", "high tone bar"},
    {0x92, "\u01C1", "double pipe"},
    {0x93, "\u0304", "macron (high o-width)"},
    {0x94, "\u0304", "macron (high i-width)"},
    {0x95, "\u02E7", "mid tone bar"},
    {0x96, "|", "vertical line"},
    {0x97, "\u01C3", "exclamation point"},
    {0x98, "\u0300", "grave accent (high o-width)"},
    {0x99, "\u0300", "grave accent (high i-width)"},
    {0x9A, "\u02E8", "low tone bar"},
    {0x9B, "\u2193", "down arrow"},
    {0x9C, "\u01C2", "double-barred pipe"},
    {0x9D, "\u030F", "double grave accent (high o-width)"},
    {0x9E, "\u030F", "double grave accent (high i-width)"},
    {0x9F, "\u02E9", "extra-low tone bar"},
    {0xA1, "\u030A", "over-ring (i-width)"},
    {0xA2, "\u031E", "lowering sign (i-width)"},
    {0xA3, "\u031D", "raising sign (i-width)"},
    {0xA4, "\u032C", "superscript wedge"},
    {0xA5, "\u0325", "under-ring (i-width)"},
    {0xA6, "\u0339", "subscript right half-ring"},
    {0xA7, "\u0282", "right-tail S (at left)"},
    {0xA8, "\u0279", "turned R"},
    {0xA9, "\u0260", "hooktop G"},
    {0xAA, "\u0319", "retracting sign (i-width)"},
    {0xAB, "\u0259", "schwa"},
    {0xAC, "\u0289", "barred U"},
    {0xAD, "\u0320", "under-bar (i-width)"},
    {0xAF, "\u0276", "small capital O-E digraph"},
    {0xB0, "\u033A", "inverted subscript bridge"},
    {0xB1, "\u031F", "superscript plus (i-width)"},
    {0xB2, "\u0274", "small capital N"},
    {0xB3, "\u02E4", "superscript reversed glottal stop"},
    {0xB4, "\u028E", "turned Y"},
    {0xB5, "\u026F", "turned M"},
    {0xB8, "\u0278", "phi"},
    {0xB9, "\u02A2", "barred reversed glottal stop"},
    {0xBA, "\u0253", "hooktop B"},
    {0xBB, "\u032F", "superscript arch (i-width)"},
    {0xBC, "\u0330", "subscript tilde (i-width)"},
    {0xBD, "\u0290", "right-tail Z"},
    {0xBE, "\u0237", "dotless J"},
    {0xBF, "\u0153", "O-E digraph"},
    {0xC0, "\u0295", "reversed glottal stop"},
    {0xC1, "\u0318", "advancing sign (i-width)"},
    {0xC2, "\u026C", "belted L"},
    {0xC3, "\u028C", "turned V"},
    {0xC4, "\u0263", "gamma"},
    {0xC6, "\u029D", "curly-tail J"},
    {0xC7, "\u02CC", "vertical stroke (inferior)"},
    {0xC8, "\u02C8", "vertical stroke (superior)"},
    {0xC9, "\u1D50", "superior M"},
    {0xCB, "\u1DAE", "superscript left-tail N (at left)"},
    {0xCC, "\u2197", "upward diagonal arrow"},
    {0xCD, "\u2198", "downward diagonal arrow"},
    {0xCE, "\u025C", "reversed epsilon"},
    {0xCF, "\u025E", "closed reversed epsilon"},
    {0xD0, "\u0324", "superscript umlaut (i-width)"},
    {0xD1, "\u033C", "superscript seagull"},
    {0xD2, "\u0281", "inverted small capital R"},
    {0xD3, "\u027B", "turned R, right tail"},
    {0xD4, "\u1D51", "superscript eng"},
    {0xD5, "\u02DE", "right hook"},
    {0xD6, "\u2010", "hyphen dash"},
    {0xD7, "\u0284", "hooktop barred dotless J"},
    {0xDA, "\u030B", "double acute accent (i-width)"},
    {0xDB, "\u0301", "acute accent (i-width)"},
    {0xDC, "\u0304", "macron (i-width)"},
    {0xDD, "\u0300", "grave accent (i-width)"},
    {0xDE, "\u030F", "double grave accent (i-width)"},
    {0xDF, "\u0302", "circumflex (i-width)"},
    {0xE0, "\u030C", "wedge (i-width)"},
    {0xE1, "\u0306", "breve (i-width)"},
    {0xE2, "\u0303", "superscript tilde (i-width)"},
    {0xE3, "\u028D", "turned W"},
    {0xE4, "\u027A", "turned long-leg R"},
    {0xE5, "\u0270", "turned M, right leg"},
    {0xE6, "\u0302", "circumflex (high i-width)"},
    {0xE7, "\u0265", "turned H"},
    {0xE9, "\u0302", "circumflex (high o-width)"},
    {0xEA, "\u0256", "right-tail D"},
    {0xEB, "\u0257", "hooktop D"},
    {0xEC, "\u02E0", "superscript gamma"},
    {0xED, "\u203F", "bottom tie bar"},
    {0xEE, "\u0267", "hooked heng"},
    {0xEF, "\u025F", "barred dotless J"},
    {0xF0, "\u0127", "crossed H"},
    {0xF1, "\u026D", "right-tail L"},
    {0xF2, "\u0334", "superimposed tilde"},
    {0xF3, "\u030C", "wedge (high i-width)"},
    {0xF4, "\u030C", "wedge (high o-width)"},
    {0xF5, "\u0299", "small capital B"},
    {0xF6, "\u0268", "barred I"},
    {0xF7, "\u0273", "right-tail N"},
    {0xF8, "\u0272", "left-tail N (at left)"},
    {0xF9, "\u02D0", "length mark"},
    {0xFA, "\u0266", "hooktop H"},
    {0xFB, "\u02A1", "barred glottal stop"},
    {0xFC, "\u0291", "curly-tail Z"},
    {0xFD, "\u029B", "hooktop small capital G"},
    {0xFE, "\u0255", "curly-tail C"},
    {0xFF, "\u0288", "right-tail T"},
};

constexpr std::array<const Ipa93Symbol*, 256> makeIndex() {
    std::array<const Ipa93Symbol*, 256> index{};
    for (const Ipa93Symbol& symbol : kSymbols)
        index[symbol.byte] = &symbol;
    return index;
}

constexpr std::array<const Ipa93Symbol*, 256> kIndex = makeIndex();

constexpr platform::ByteTexts makeTexts() {
    platform::ByteTexts texts{};
    for (const Ipa93Symbol& symbol : kSymbols)
        texts[symbol.byte] = symbol.text;
    return texts;
}

constexpr platform::ByteTexts kTexts = makeTexts();

} // namespace

const char* Ipa93Text(unsigned char byte) {
    return kTexts[byte];
}

const char* Ipa93Name(unsigned char byte) {
    return kIndex[byte] ? kIndex[byte]->name : nullptr;
}

int Ipa93Byte(std::string_view text) {
    for (const Ipa93Symbol& symbol : kSymbols)
        if (text == symbol.text)
            return symbol.byte;
    return -1;
}

bool Ipa93Combines(unsigned char byte) {
    // The combining diacritical marks, U+0300-U+036F, are all the encoding's diacritics use.
    const auto* text = reinterpret_cast<const unsigned char*>(kTexts[byte]);
    return text && (text[0] == 0xcc || (text[0] == 0xcd && text[1] <= 0xaf));
}

const platform::ByteTexts& Ipa93Texts() {
    return kTexts;
}

void AppendIpa93Text(const char* bytes, std::size_t length, std::string& utf8) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (const char* text = kTexts[byte])
            utf8 += text;
        else
            utf8 += platform::Cp1252ToUtf8(std::string_view(bytes + i, 1));
    }
}

std::string Ipa93FromUnicode(std::string_view utf8) {
    std::string bytes;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const Ipa93Symbol* longest = nullptr;
        std::size_t longestSize = 0;
        for (const Ipa93Symbol& symbol : kSymbols) {
            const std::size_t size = std::strlen(symbol.text);
            if (size > longestSize && utf8.compare(at, size, symbol.text) == 0) {
                longest = &symbol;
                longestSize = size;
            }
        }
        if (longest) {
            bytes += static_cast<char>(longest->byte);
            at += longestSize;
            continue;
        }
        // One character, as many bytes as its UTF-8 lead says, read through the code page.
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t size = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string one = platform::Utf8ToCp1252(utf8.substr(at, size), '\x7f');
        if (one.size() == 1 && one[0] != '\x7f' && !kTexts[static_cast<unsigned char>(one[0])])
            bytes += one[0];
        at += size;
    }
    return bytes;
}

} // namespace tarvo
