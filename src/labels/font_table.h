// The table of installed fonts that labels refer to by index, and the fonts made from it.
#pragma once

#include "platform/font_description.h"

#include <functional>
#include <string>

namespace platform {
class FontCatalog;
}

namespace tarvo {

class ChunkList;

// One font of the table: the system's description and the names it reports.
struct FontEntry {
    platform::LogicalFont font;
    char fullName[64] = {};
    char styleName[32] = {};
    char scriptName[32] = {};
};

// The top bit of an entry's quality byte marks a font that a written label used.
inline constexpr std::uint8_t FontUsed = 0x80;

inline constexpr int kPreferredFontCount = 3;
inline constexpr const char* kPreferredFaces[kPreferredFontCount] = {"Times New Roman", "Arial",
                                                                     "Courier New"};
// Where a preferred face is not installed, as on most Linux systems, the faces that stand in for
// it, in order: the metric-compatible Liberation face, then DejaVu's. Without any of them the
// first entry of the table is taken.
inline constexpr int kStandInCount = 2;
inline constexpr const char* kStandInFaces[kPreferredFontCount][kStandInCount] = {
    {"Liberation Serif", "DejaVu Serif"},
    {"Liberation Sans", "DejaVu Sans"},
    {"Liberation Mono", "DejaVu Sans Mono"}};

// The styles of phonetic face, chosen by a run font's pitch and family.
enum class PhoneticStyle { FixedPitch, SansSerif, Script, Serif };
inline constexpr int kPhoneticStyleCount = 4;

struct FontState {
    // The entries, as pointers in a block list, in table order.
    ChunkList* FontTable = nullptr;
    int PreferredFonts[kPreferredFontCount] = {0, 0, 0};
    // The font a label starts in.
    int DefaultFont = 0;
    int PixelsPerInch = 96;
    // Which legacy phonetic faces, by PhoneticStyle, the system has.
    bool LegacyPhoneticFaces[kPhoneticStyleCount] = {};
};

FontState& fonts();

int FontCount();
// The entry at `index`, or null when the index lies outside the table.
FontEntry* FontAt(int index);
// `index` when it names an entry; otherwise DefaultFont, or -1 when the table is empty.
int CheckedFontIndex(int index);

// Fills the table from the installed fonts (scalable ones with Latin letters, and symbol fonts;
// none named "Lotus...").
void BuildFontTable(platform::FontCatalog& catalog);
void ReleaseFontTable();

// Picks the preferred fonts and the default font, then hands every entry, in table order, to
// `addToFontList` (the tool bar's font list), when given.
using FontListAdder = std::function<void(int index, const FontEntry& entry)>;
void ChoosePreferredFonts(const FontListAdder& addToFontList = nullptr);

// The description of a label font: the entry's, at `points` in the display's resolution, with
// doubled weight for bold. A phonetic run takes the legacy phonetic face of its style in the
// symbol character set when the system has it; otherwise a Unicode IPA face of that style, in
// which its bytes are drawn as the IPA symbols they stand for. A bad index gives the default
// font, and with an empty table the system's default face.
platform::LogicalFont MakeLabelFont(int index, int points, bool bold, bool italic, bool phonetic);
PhoneticStyle PhoneticStyleOf(const platform::LogicalFont& entry);
// The legacy phonetic face for a font entry.
const char* PhoneticFace(const platform::LogicalFont& entry);
// The Unicode IPA face that stands in for the legacy face of `style`.
const char* UnicodePhoneticFace(PhoneticStyle style);

void MarkFontUsed(int index);
// Appends an underlined entry for a face a file names that is not installed; answers its
// index, or the index of the entry that already has this face name.
int AddFontByName(const char* face);
// Sorts the entries by face name, ignoring letter case.
void SortFontTable();
// One line "<index> isa "<face>"" for every entry marked used.
void WriteFontsSection(std::string& out);

} // namespace tarvo
