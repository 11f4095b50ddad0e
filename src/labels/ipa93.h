// The IPA93 encoding of the legacy phonetic fonts, in which byte codes stand for IPA symbols,
// and the Unicode text of each byte: phonetic runs keep their bytes, and become Unicode IPA
// where they are drawn without such a font or leave the program as plain text.
#pragma once

#include "platform/font_description.h"

#include <string>
#include <string_view>

namespace tarvo {

// The Unicode text (UTF-8) that an IPA93 byte stands for, or null for a byte without an IPA93
// symbol, which stands for its Windows-1252 character. Diacritics are combining characters,
// which combine with the letter before them as the legacy fonts' zero-width marks did.
const char* Ipa93Text(unsigned char byte);
// The symbol's name in the IPA93 chart, or null where Ipa93Text is.
const char* Ipa93Name(unsigned char byte);
// The first byte, in code order, whose text is `text`; -1 when none is.
int Ipa93Byte(std::string_view text);
// Whether the byte's symbol is a diacritic that combines with the character before it.
bool Ipa93Combines(unsigned char byte);
// Ipa93Text of every byte, for a display that draws the bytes as that text.
const platform::ByteTexts& Ipa93Texts();

// Appends the Unicode text of `length` bytes of a phonetic run.
void AppendIpa93Text(const char* bytes, std::size_t length, std::string& utf8);
// The bytes of a phonetic run that reads as the Unicode text `utf8`: each symbol, longest
// first, becomes the first byte that stands for it; a character without one becomes its
// Windows-1252 byte where that byte stands for itself, and is left out otherwise, since any
// stand-in byte would read as some other symbol.
std::string Ipa93FromUnicode(std::string_view utf8);

} // namespace tarvo
