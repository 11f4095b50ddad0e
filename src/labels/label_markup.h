// The internal label encoding (text with DEL escapes), its formatting state, and the conversions
// to and from the markup that network files hold.
#pragma once

#include "model/label_ids.h"

#include <cstdint>
#include <string>

namespace tarvo {

// The byte that starts an escape in an internal label.
inline constexpr char kLabelEscape = '\x7f';

// The formatting state of a run: three toggles and a position. Bits 0-2 stay 0.
using TextStyle = std::uint8_t;

inline constexpr TextStyle kPhonetic = 0x08;
inline constexpr TextStyle kBold = 0x10;
inline constexpr TextStyle kItalic = 0x20;
inline constexpr TextStyle kPositionMask = 0xc0;
inline constexpr int kPositionShift = 6;

enum class TextPosition : std::uint8_t { Normal = 0, Small = 1, Superscript = 2, Subscript = 3 };

constexpr TextPosition positionOf(TextStyle style) {
    return static_cast<TextPosition>(style >> kPositionShift);
}
constexpr TextStyle withPosition(TextStyle style, TextPosition position) {
    return static_cast<TextStyle>((style & ~kPositionMask) |
                                  (static_cast<int>(position) << kPositionShift));
}

// The value of a hexadecimal digit in either case, or -1.
int HexDigitValue(char c);

// Reads the run of escapes that starts at the DEL at `at` into `style` and `font`, and answers
// the position after the run. `remaining` drops by the bytes read, so it can fall below zero
// when a caller's length ends inside an escape. Font numbers saturate at INT32_MAX; an escape
// cut short by the end of the label stops at its terminator.
const char* ReadEscapes(const char* at, TextStyle& style, int& font, int& remaining);

// Appends the escapes that turn the old state into the new one.
void WriteEscapes(std::string& out, TextStyle newStyle, TextStyle oldStyle, int newFont,
                  int oldFont);

// The internal form of a label read from a file (without its enclosing quotes), in a block
// from Allocate; null only when memory runs out. "<id=...>" gives an anonymous label and keeps
// the network's next id past its id.
char* MarkupToLabel(const char* markup, LabelIds& ids);
// The same into `label`, which a caller reading many words keeps, so that a label costs no
// block of its own until it is needed; false only when memory runs out.
bool MarkupToLabel(const char* markup, LabelIds& ids, std::string& label);

// Appends the markup form of an internal label, in quotes when it needs them, and marks every
// font it names as used. An absent label is written as the empty text.
void LabelToMarkup(const char* label, std::string& out);

// Replaces every font number through `map` (the file's font numbers to font table indices);
// numbers the map does not cover become DefaultFont. Answers null when nothing changed, else
// the new label in a block from Allocate.
char* RemapLabelFonts(const char* label, const int* map, int mapSize);
// Whether the label holds a font escape, which RemapLabelFonts would renumber.
bool NamesFont(const char* label);

} // namespace tarvo
