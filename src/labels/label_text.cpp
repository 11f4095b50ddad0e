// Plain text, comparison, matching score and formatting measure of internal labels.
#include "labels/label_text.h"

#include "labels/font_table.h"
#include "labels/ipa93.h"
#include "labels/label_markup.h"
#include "platform/cp1252.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>

namespace tarvo {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

unsigned char byteOf(char c) {
    return static_cast<unsigned char>(c);
}

unsigned char upperCaseLetter(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xe0 && c <= 0xfe && c != 0xf7))
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9a:
    case 0x9c:
    case 0x9e:
        return static_cast<unsigned char>(c - 0x10);
    case 0xff:
        return 0x9f;
    default:
        return c;
    }
}

} // namespace

unsigned char lowerCaseLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8a:
    case 0x8c:
    case 0x8e:
        return static_cast<unsigned char>(c + 0x10);
    case 0x9f:
        return 0xff;
    default:
        return c;
    }
}

bool isUpperCaseLetter(unsigned char c) {
    return lowerCaseLetter(c) != c;
}

bool IsWordBreak(unsigned char c) {
    static constexpr unsigned char kBreaks[] = {' ', '-', '+', ':', '_', 0x96, 0x97, 0xA6};
    return std::find(std::begin(kBreaks), std::end(kBreaks), c) != std::end(kBreaks);
}

bool isLowerCaseLetter(unsigned char c) {
    return upperCaseLetter(c) != c;
}

const char* SkipEscapes(const char* at) {
    while (*at == kLabelEscape) {
        ++at;
        // A font escape is digits and one byte; every other escape is one byte.
        while (isDigit(*at))
            ++at;
        if (*at)
            ++at;
    }
    return at;
}

void PlainText(const char* label, std::string& out) {
    if (IsAnonymousLabel(label))
        return;
    for (const char* at = SkipEscapes(label); *at; at = SkipEscapes(at + 1))
        out += *at;
}

namespace {

// The dotted circle a phonetic mark without a letter stands on where labels are shown.
constexpr const char* kMarkBase = "\u25cc";

void appendUnicodeText(const char* label, std::string& utf8, bool markBases) {
    if (IsAnonymousLabel(label))
        return;
    TextStyle style = 0;
    int font = 0;
    int remaining = INT_MAX;
    const char* at = label;
    while (*at) {
        if (*at == kLabelEscape) {
            at = ReadEscapes(at, style, font, remaining);
            continue;
        }
        const std::size_t run = std::strcspn(at, "\x7f");
        if (!(style & kPhonetic)) {
            utf8 += platform::Cp1252ToUtf8(std::string_view(at, run));
        } else if (!markBases) {
            AppendIpa93Text(at, run, utf8);
        } else {
            // As drawn labels have it: a mark that begins the run or follows a blank.
            for (std::size_t i = 0; i < run; ++i) {
                if ((i == 0 || at[i - 1] == ' ') && Ipa93Combines(byteOf(at[i])))
                    utf8 += kMarkBase;
                AppendIpa93Text(at + i, 1, utf8);
            }
        }
        at += run;
    }
}

} // namespace

void PlainUnicodeText(const char* label, std::string& utf8) {
    appendUnicodeText(label, utf8, false);
}

void ShownUnicodeText(const char* label, std::string& utf8) {
    appendUnicodeText(label, utf8, true);
}

int CompareLabels(const char* a, const char* b, bool ignoreCase) {
    if (!a || !b)
        return 0;
    for (;; ++a, ++b) {
        a = SkipEscapes(a);
        b = SkipEscapes(b);
        if (!*a || !*b)
            return (*a != '\0') - (*b != '\0');
        unsigned char ca = byteOf(*a);
        unsigned char cb = byteOf(*b);
        if (ignoreCase) {
            ca = lowerCaseLetter(ca);
            cb = lowerCaseLetter(cb);
        }
        if (ca != cb)
            return ca - cb;
    }
}

namespace {

// How a label character matches a typed one.
enum class Agreement { None, Case, Exact };

// The score of the label's characters against those of the typed text, early ones weighing
// most; `next(at, style)` compares the label character at `at`, in `style`, with the next typed
// character and consumes it, or answers nothing once the typed text is used up.
template <typename Next> float scoreMatch(const char* label, Next next) {
    float weight = 20.0f;
    float score = 0.0f;
    TextStyle style = 0;
    int font = 0;
    int remaining = INT_MAX;
    for (const char* at = label;; ++at) {
        if (*at == kLabelEscape)
            at = ReadEscapes(at, style, font, remaining);
        if (!*at)
            break;
        const std::optional<Agreement> agreement = next(at, style);
        if (!agreement)
            break;
        if (*agreement == Agreement::Exact)
            score += 1.3f * weight;
        else if (*agreement == Agreement::Case)
            score += weight;
        weight *= 0.9f;
    }
    return score;
}

Agreement compareBytes(unsigned char label, unsigned char typed) {
    if (label == typed)
        return Agreement::Exact;
    return lowerCaseLetter(label) == lowerCaseLetter(typed) ? Agreement::Case : Agreement::None;
}

} // namespace

float MatchScore(const char* label, const char* typed) {
    if (!label || !typed)
        return 0.0f;
    return scoreMatch(label, [&](const char* at, TextStyle) -> std::optional<Agreement> {
        if (!*typed)
            return std::nullopt;
        return compareBytes(byteOf(*at), byteOf(*typed++));
    });
}

float TypedMatchScore(const char* label, const char* typed) {
    if (!label || !typed)
        return 0.0f;
    std::string_view rest(typed);
    return scoreMatch(label, [&](const char* at, TextStyle style) -> std::optional<Agreement> {
        if (rest.empty())
            return std::nullopt;
        const char* ipa = (style & kPhonetic) ? Ipa93Text(byteOf(*at)) : nullptr;
        if (ipa && rest.starts_with(ipa)) {
            rest.remove_prefix(std::strlen(ipa));
            return Agreement::Exact;
        }
        std::size_t length = 1;
        while (length < rest.size() && (byteOf(rest[length]) & 0xc0) == 0x80)
            ++length;
        const std::string_view character = rest.substr(0, length);
        rest.remove_prefix(length);
        const std::string byte = platform::Utf8ToCp1252(character);
        // A character the code page cannot show matches nothing, not the '?' it became.
        if (byte.size() != 1 || (byte == "?" && character != "?"))
            return Agreement::None;
        return compareBytes(byteOf(*at), byteOf(byte[0]));
    });
}

bool BestMatch::offer(float score) {
    const int ordinal = m_offered++;
    if (m_ordinal >= 0 && !(score > m_score))
        return false;
    m_score = score;
    m_ordinal = ordinal;
    return true;
}

float FormattingMeasure(const char* label, int selector) {
    if (!label)
        return 0.0f;
    int upper = 0, lower = 0, italic = 0, phonetic = 0, notPlain = 0, all = 0;
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    int remaining = 0;
    for (const char* at = label; *at;) {
        if (*at == kLabelEscape) {
            at = ReadEscapes(at, style, font, remaining);
            continue;
        }
        const unsigned char c = byteOf(*at++);
        upper += isUpperCaseLetter(c);
        lower += isLowerCaseLetter(c);
        italic += (style & kItalic) != 0;
        phonetic += (style & kPhonetic) != 0;
        notPlain += positionOf(style) != TextPosition::Normal || font != fonts().DefaultFont;
        ++all;
    }
    float sum = 0.0f;
    int added = 0;
    const auto add = [&](int bit, int count, int total) {
        if (!(selector & bit) || total <= 0)
            return;
        sum += std::min(1.0f, static_cast<float>(count) / static_cast<float>(total));
        ++added;
    };
    const int letters = upper + lower;
    add(kMeasureUpperCase, upper, letters);
    add(kMeasureItalic, italic, letters);
    add(kMeasurePhonetic, phonetic, letters);
    add(kMeasureNotPlain, notPlain, all);
    return added ? sum / static_cast<float>(added) : 0.0f;
}

} // namespace tarvo
