// Windows-1252 <-> Unicode: labels and names are Windows-1252 byte strings inside the program and
// become Unicode only where they meet the window system.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The code point of a Windows-1252 byte. The five bytes the code page leaves undefined map to
// the C1 control of the same value, so that every byte survives a round trip.
char32_t Cp1252ToUnicode(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when the code page cannot show it.
int UnicodeToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view bytes);
std::u16string Cp1252ToUtf16(std::string_view bytes);
// Characters the code page cannot show (and malformed UTF-8) become `replacement`.
std::string Utf8ToCp1252(std::string_view utf8, char replacement = '?');
std::string Utf16ToCp1252(std::u16string_view utf16, char replacement = '?');

} // namespace platform
