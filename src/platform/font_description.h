// How the program describes fonts to the window system, and what the system says of its fonts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace platform {

inline constexpr int kFaceNameBytes = 32; // 31 characters and a terminator

inline constexpr std::uint8_t kAnsiCharset = 0;
inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr std::uint8_t kSymbolCharset = 2;

// Pitch and family: the low four bits the pitch, the high four the family.
inline constexpr std::uint8_t kFixedPitch = 0x01;
inline constexpr std::uint8_t kVariablePitch = 0x02;
inline constexpr std::uint8_t kFamilyRoman = 0x10;  // serif
inline constexpr std::uint8_t kFamilySwiss = 0x20;  // sans-serif
inline constexpr std::uint8_t kFamilyModern = 0x30; // fixed-width designs
inline constexpr std::uint8_t kFamilyScript = 0x40;
inline constexpr std::uint8_t kFamilyDecorative = 0x50;

// For a font whose byte codes stand for other characters than Windows-1252 ones: the text, in
// UTF-8, that each byte is drawn as; a null entry is drawn as the byte's Windows-1252 character.
using ByteTexts = std::array<const char*, 256>;

// The request from which a font object is made. A negative height asks for that character
// height in pixels; weight 0 lets the system choose (normal).
struct LogicalFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char faceName[kFaceNameBytes] = {};
    // Null for Windows-1252 text; otherwise what each byte drawn in the font stands for.
    const ByteTexts* byteTexts = nullptr;
};

// One installed font family as the system reports it.
struct InstalledFont {
    std::string faceName;
    std::string fullName;
    std::string styleName;
    std::string scriptName;
    std::int32_t weight = 400;
    bool italic = false;
    bool smoothlyScalable = true;
    bool latin = true;   // can show Western European text
    bool symbol = false; // a symbol font (no letters of its own)
    bool fixedPitch = false;
    std::uint8_t family = 0; // one of the kFamily values, 0 when the system does not say
};

// Copies `face` into a face-name field, cut to 31 characters.
void SetFaceName(char (&field)[kFaceNameBytes], const std::string& face);

} // namespace platform
