// Reading and writing label escapes, and converting labels between markup and internal form.
#include "labels/label_markup.h"

#include "labels/font_table.h"
#include "memory/size_class_heap.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

namespace tarvo {
namespace {

// Letter k toggles bit k + 3 (k < 3) or sets position k - 3; tag name k means the same.
constexpr std::string_view kStyleLetters = "pbinsud";
constexpr const char* kTagNames[] = {"phon", "b", "i", "norm", "sml", "super", "sub"};
constexpr int kFirstPositionEntry = 3;

struct Entity {
    std::string_view name;
    char character;
};
constexpr Entity kEntities[] = {
    {"amp", '&'}, {"semi", ';'}, {"lthan", '<'}, {"gthan", '>'}, {"dquote", '"'}};

// A label whose markup holds one of these is written in quotes.
constexpr const char* kQuoteTriggers = "&;<> \"\x7f";

constexpr TextStyle kToggles = kPhonetic | kBold | kItalic;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the decimal digits at `at` (none gives 0), saturating at INT32_MAX so that a hostile
// file cannot overflow the font index.
const char* readDecimal(const char* at, int& value) {
    long long number = 0;
    for (; isDigit(*at); ++at)
        number = std::min<long long>(number * 10 + (*at - '0'), INT_MAX);
    value = static_cast<int>(number);
    return at;
}

// Calls f(digits, end) for the number of each font escape of a label, following ReadEscapes,
// so that only real font escapes are seen: an escape whose byte after DEL is no digit is
// stepped over with that byte.
template <typename F> void forEachFontEscape(const char* label, F&& f) {
    for (const char* at = std::strchr(label, kLabelEscape); at;
         at = std::strchr(at, kLabelEscape)) {
        ++at;
        if (!isDigit(*at)) {
            if (*at)
                ++at;
            continue;
        }
        int number = 0;
        const char* end = readDecimal(at, number);
        f(at, end);
        at = end;
        if (*at)
            ++at;
    }
}

// The font the escape with these digits names after a remap through `map`.
int remappedFont(const char* digits, const int* map, int mapSize) {
    int number = 0;
    readDecimal(digits, number);
    const int font = map && number < mapSize ? map[number] : fonts().DefaultFont;
    // Escapes hold digits only; a negative index would fall back to the default when drawn.
    return font < 0 ? std::max(fonts().DefaultFont, 0) : font;
}

// Whether the digits from `digits` to `end` are `font` written as the remap writes it.
bool sameDigits(const char* digits, const char* end, int font) {
    char written[16];
    const auto result = std::to_chars(written, written + sizeof written, font);
    return std::string_view(written, static_cast<std::size_t>(result.ptr - written)) ==
           std::string_view(digits, static_cast<std::size_t>(end - digits));
}

// Reads hexadecimal digits, saturating at UINT_MAX.
const char* readHex(const char* at, unsigned& value) {
    unsigned long long number = 0;
    for (int digit; (digit = HexDigitValue(*at)) >= 0; ++at)
        number = std::min<unsigned long long>(number * 16 + static_cast<unsigned>(digit), UINT_MAX);
    value = static_cast<unsigned>(number);
    return at;
}

void applyStyleLetter(int index, TextStyle& style) {
    if (index < kFirstPositionEntry)
        style ^= static_cast<TextStyle>(kPhonetic << index);
    else
        style = withPosition(style, static_cast<TextPosition>(index - kFirstPositionEntry));
}

const char* positionTagName(TextPosition position) {
    return kTagNames[kFirstPositionEntry + static_cast<int>(position)];
}

// ---- Markup to internal form ----------------------------------------------------------------

// Reads "<id=digits" into an anonymous label and keeps the network's next id past it.
char* readAnonymousLabel(const char* digits, LabelIds& ids) {
    unsigned id = 0;
    readHex(digits, id);
    ids.keepPast(id);
    return AnonymousLabel(id);
}

// Reads the entity name after "&" up to ";" (or the end), appending its character when the
// name begins with one the table knows; an unknown entity is dropped.
const char* readEntity(const char* at, std::string& label) {
    const char* end = at;
    while (*end && *end != ';')
        ++end;
    const std::string_view name(at, static_cast<std::size_t>(end - at));
    for (const Entity& entity : kEntities) {
        if (name.starts_with(entity.name)) {
            label += entity.character;
            break;
        }
    }
    return *end ? end + 1 : end;
}

// One tag's effect. The tag text is the text between "<" (or "<\") and ">".
void applyTag(std::string_view text, bool closing, TextStyle& style, int& font) {
    if (text.starts_with('f')) {
        // The number stands after "f=", whatever the character after "f" is.
        font = fonts().DefaultFont;
        if (!closing) {
            font = 0;
            if (text.size() > 2)
                readDecimal(text.data() + 2, font);
        }
        return;
    }
    // The first name the text begins, so that "s" is small and "" is phonetic.
    for (int k = 0; k < static_cast<int>(std::size(kTagNames)); ++k) {
        if (!std::string_view(kTagNames[k]).starts_with(text))
            continue;
        if (k >= kFirstPositionEntry && closing)
            style = withPosition(style, TextPosition::Normal);
        else
            applyStyleLetter(k, style);
        return;
    }
}

// Reads one tag, starting after its "<"; an unterminated tag runs to the end of the text.
const char* readTag(const char* at, TextStyle& style, int& font) {
    const bool closing = *at == '\\';
    if (closing)
        ++at;
    const char* end = at;
    while (*end && *end != '>')
        ++end;
    applyTag(std::string_view(at, static_cast<std::size_t>(end - at)), closing, style, font);
    return *end ? end + 1 : end;
}

// Reads a run of adjacent tags and writes its net effect as escapes, unless the text ends with
// the run: formatting that applies to nothing is dropped.
const char* readTagRun(const char* at, TextStyle& style, int& font, std::string& label) {
    const TextStyle oldStyle = style;
    const int oldFont = font;
    while (*at == '<')
        at = readTag(at + 1, style, font);
    if (*at)
        WriteEscapes(label, style, oldStyle, font, oldFont);
    return at;
}

// Appends the characters from `at` up to the next entity, tag, escape or the end, and answers
// where they stop.
const char* copyPlainRun(const char* at, std::string& label) {
    const char* end = at;
    while (*end && *end != '&' && *end != '<' && *end != kLabelEscape)
        ++end;
    label.append(at, static_cast<std::size_t>(end - at));
    return end;
}

// ---- Internal form to markup ----------------------------------------------------------------

// The tags that turn the old state into the new one.
void writeTags(std::string& out, TextStyle newStyle, TextStyle oldStyle, int newFont, int oldFont) {
    const int defaultFont = fonts().DefaultFont;
    if (newFont != oldFont) {
        if (oldFont != defaultFont)
            out += "<\\f>";
        if (newFont != defaultFont) {
            out += "<f=" + std::to_string(newFont) + ">";
            MarkFontUsed(newFont);
        }
    }
    const TextPosition oldPosition = positionOf(oldStyle);
    const TextPosition newPosition = positionOf(newStyle);
    if (newPosition != oldPosition) {
        if (oldPosition != TextPosition::Normal)
            out.append("<\\").append(positionTagName(oldPosition)).append(">");
        if (newPosition != TextPosition::Normal)
            out.append("<").append(positionTagName(newPosition)).append(">");
    }
    for (int k = 0; k < kFirstPositionEntry; ++k) {
        const TextStyle bit = static_cast<TextStyle>(kPhonetic << k);
        if ((newStyle & bit) != (oldStyle & bit))
            out.append((newStyle & bit) ? "<" : "<\\").append(kTagNames[k]).append(">");
    }
}

void writeCharacter(char c, std::string& out) {
    for (const Entity& entity : kEntities) {
        if (entity.character == c) {
            out.append("&").append(entity.name).append(";");
            return;
        }
    }
    out += c;
}

// Only the hexadecimal digits are written, so that a damaged label cannot break the markup.
void writeAnonymousLabel(const char* digits, std::string& out) {
    out += "<id=";
    while (HexDigitValue(*digits) >= 0)
        out += *digits++;
    out += ">";
}

void writeFormattedLabel(const char* label, std::string& out) {
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    // The state the closing tags start from.
    TextStyle openStyle = 0;
    int openFont = font;
    for (const char* at = label; *at;) {
        if (*at != kLabelEscape) {
            writeCharacter(*at++, out);
            openStyle = style;
            openFont = font;
            continue;
        }
        const TextStyle oldStyle = style;
        const int oldFont = font;
        int remaining = 0;
        at = ReadEscapes(at, style, font, remaining);
        writeTags(out, style, oldStyle, font, oldFont);
        // What an escape run at the very end opens stays open: it formats nothing, and the
        // reader drops trailing tags. Everything open before the run is closed once.
        openStyle = style & ~((style ^ oldStyle) & kToggles);
        if (positionOf(style) != positionOf(oldStyle))
            openStyle = withPosition(openStyle, TextPosition::Normal);
        openFont = font != oldFont ? fonts().DefaultFont : font;
    }
    writeTags(out, 0, openStyle, fonts().DefaultFont, openFont);
}

} // namespace

int HexDigitValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char* ReadEscapes(const char* at, TextStyle& style, int& font, int& remaining) {
    assert(at && *at == kLabelEscape && "ReadEscapes must start at an escape");
    const char* start = at;
    while (*at == kLabelEscape) {
        const char code = at[1];
        if (code == '\0') {
            ++at;
            break;
        }
        if (isDigit(code)) {
            at = readDecimal(at + 1, font);
            if (*at)
                ++at;
            continue;
        }
        at += 2;
        if (code == 'r') {
            style = 0;
            font = fonts().DefaultFont;
        } else if (const auto k = kStyleLetters.find(code); k != std::string_view::npos) {
            applyStyleLetter(static_cast<int>(k), style);
        }
    }
    remaining -= static_cast<int>(at - start);
    return at;
}

void WriteEscapes(std::string& out, TextStyle newStyle, TextStyle oldStyle, int newFont,
                  int oldFont) {
    if (newFont != oldFont) {
        if (newFont >= 0) {
            out.append(1, kLabelEscape).append(std::to_string(newFont)).append("f");
        } else {
            // A font escape holds digits only; the reset is the one escape that reaches the
            // default font when that index is negative (an empty font table).
            out.append(1, kLabelEscape).append("r");
            oldStyle = 0;
        }
    }
    if (positionOf(newStyle) != positionOf(oldStyle)) {
        const int index = kFirstPositionEntry + static_cast<int>(positionOf(newStyle));
        out.append(1, kLabelEscape).append(1, kStyleLetters[static_cast<std::size_t>(index)]);
    }
    for (int k = 0; k < kFirstPositionEntry; ++k) {
        const TextStyle bit = static_cast<TextStyle>(kPhonetic << k);
        if ((newStyle & bit) != (oldStyle & bit))
            out.append(1, kLabelEscape).append(1, kStyleLetters[static_cast<std::size_t>(k)]);
    }
}

bool MarkupToLabel(const char* markup, LabelIds& ids, std::string& label) {
    assert(markup && "MarkupToLabel needs a text");
    label.clear();
    if (!markup)
        return false;
    if (std::strncmp(markup, "<id=", 4) == 0) {
        char* anonymous = readAnonymousLabel(markup + 4, ids);
        if (!anonymous)
            return false;
        label = anonymous;
        Release(anonymous);
        return true;
    }
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    for (const char* at = markup; *at;) {
        if (*at == '&')
            at = readEntity(at + 1, label);
        else if (*at == '<')
            at = readTagRun(at, style, font, label);
        else if (*at == kLabelEscape)
            ++at; // A raw DEL in a file would turn into formatting (or fake an anonymous id).
        else
            at = copyPlainRun(at, label);
    }
    return true;
}

char* MarkupToLabel(const char* markup, LabelIds& ids) {
    if (markup && std::strncmp(markup, "<id=", 4) == 0)
        return readAnonymousLabel(markup + 4, ids);
    std::string label;
    return MarkupToLabel(markup, ids, label) ? CopyText(label) : nullptr;
}

// Whether a bare word would read back as something else: a blank would split it and a leading
// '#' would open a section. A byte of 128 or more is quoted too: files have always had such
// labels in quotes, and readers that end a bare word there still read them whole.
bool needsQuotesToReadBack(const char* label) {
    if (*label == '#')
        return true;
    for (const char* at = label; *at; ++at) {
        const auto c = static_cast<unsigned char>(*at);
        if (c <= ' ' || c >= 128)
            return true;
    }
    return false;
}

void LabelToMarkup(const char* label, std::string& out) {
    if (!label) {
        out += "\"\"";
        return;
    }
    std::string markup;
    if (IsAnonymousLabel(label))
        writeAnonymousLabel(label + 2, markup);
    else
        writeFormattedLabel(label, markup);
    // Quotes go by what is written, not by the label: escapes that change nothing (a font
    // that is the default one) write no tag, and the word reads back the same without quotes.
    // Quoting it anyway would make the next save differ from this one.
    const bool quoted = markup.empty() || std::strpbrk(markup.c_str(), kQuoteTriggers) ||
                        needsQuotesToReadBack(markup.c_str());
    if (quoted)
        out += '"';
    out += markup;
    if (quoted)
        out += '"';
}

bool NamesFont(const char* label) {
    bool named = false;
    if (label)
        forEachFontEscape(label, [&](const char*, const char*) { named = true; });
    return named;
}

char* RemapLabelFonts(const char* label, const int* map, int mapSize) {
    if (!label)
        return nullptr;
    // Most labels name no font, and most of those that do keep their numbers: the label is
    // only copied once an escape is known to change.
    bool changed = false;
    forEachFontEscape(label, [&](const char* digits, const char* end) {
        changed = changed || !sameDigits(digits, end, remappedFont(digits, map, mapSize));
    });
    if (!changed)
        return nullptr;
    std::string remapped;
    const char* copied = label;
    forEachFontEscape(label, [&](const char* digits, const char* end) {
        remapped.append(copied, digits);
        remapped += std::to_string(remappedFont(digits, map, mapSize));
        copied = end;
    });
    remapped += copied;
    return CopyText(remapped);
}

} // namespace tarvo
