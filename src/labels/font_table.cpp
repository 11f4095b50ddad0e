// The font table: built from the installed fonts, extended by the fonts files name, and the
// source of every label font.
#include "labels/font_table.h"

#include "containers/chunk_list.h"
#include "labels/ipa93.h"
#include "memory/size_class_heap.h"
#include "platform/font_catalog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <strings.h>

namespace tarvo {
namespace {

constexpr int kFontsPerBlock = 64;
constexpr std::int32_t kNormalWeight = 400;
constexpr std::uint8_t kTrueTypeOutPrecision = 3; // stroke precision, as for outline fonts
constexpr std::uint8_t kTrueTypeClipPrecision = 2;
constexpr std::uint8_t kDraftQuality = 1;

// By PhoneticStyle.
constexpr const char* kLegacyPhoneticFaces[kPhoneticStyleCount] = {
    "Ipa-kelm Vowlex1 SILManuscript", "Ipa-kels Vowlex1 SILSophiaL",
    "Ipa-keld Vowlex1 SILDoulosL Italic", "Ipa-keld Vowlex1 SILDoulosL"};

// The table's blocks own their entries.
class FontList : public ChunkList {
public:
    FontList() : ChunkList(sizeof(FontEntry*), kFontsPerBlock) { ownsElements = 1; }
    ChunkList* makeBlock() const override {
        auto* block = new FontList;
        return block;
    }
    void destroyElement(void* element) override {
        FontEntry* entry;
        std::memcpy(&entry, element, sizeof entry);
        Release(entry);
    }
};

bool startsWithIgnoringCase(const char* text, const char* prefix) {
    return strncasecmp(text, prefix, std::strlen(prefix)) == 0;
}

void copyName(char* field, std::size_t size, const std::string& name) {
    std::snprintf(field, size, "%s", name.c_str());
}

FontEntry* newEntry() {
    void* block = Allocate(sizeof(FontEntry));
    return block ? new (block) FontEntry{} : nullptr;
}

// Appends the entry, which the table then owns; answers its index or -1.
int appendEntry(FontEntry* entry) {
    FontState& state = fonts();
    if (!state.FontTable)
        state.FontTable = new FontList;
    if (!state.FontTable || !state.FontTable->append(&entry)) {
        Release(entry);
        return -1;
    }
    return state.FontTable->size() - 1;
}

FontEntry* entryFrom(const platform::InstalledFont& font) {
    FontEntry* entry = newEntry();
    if (!entry)
        return nullptr;
    platform::LogicalFont& lf = entry->font;
    lf.weight = font.weight;
    lf.italic = font.italic ? 1 : 0;
    lf.charSet = font.latin    ? platform::kAnsiCharset
                 : font.symbol ? platform::kSymbolCharset
                               : platform::kDefaultCharset;
    lf.outPrecision = kTrueTypeOutPrecision;
    lf.clipPrecision = kTrueTypeClipPrecision;
    lf.quality = kDraftQuality;
    lf.pitchAndFamily = static_cast<std::uint8_t>(
        (font.fixedPitch ? platform::kFixedPitch : platform::kVariablePitch) | font.family);
    platform::SetFaceName(lf.faceName, font.faceName);
    copyName(entry->fullName, sizeof entry->fullName, font.fullName);
    copyName(entry->styleName, sizeof entry->styleName, font.styleName);
    copyName(entry->scriptName, sizeof entry->scriptName, font.scriptName);
    return entry;
}

bool admitted(const platform::InstalledFont& font, std::uint8_t charSet) {
    if (!font.smoothlyScalable)
        return false;
    const char* face = font.faceName.c_str();
    const bool excluded =
        charSet != platform::kAnsiCharset || startsWithIgnoringCase(face, "Lotus");
    return !excluded || startsWithIgnoringCase(face, "Symbol");
}

int byFaceName(const void* a, const void* b) {
    FontEntry* left;
    FontEntry* right;
    std::memcpy(&left, a, sizeof left);
    std::memcpy(&right, b, sizeof right);
    return strcasecmp(left->font.faceName, right->font.faceName);
}

// Nearest-integer a * b / c, as the system's multiply-then-divide gives it.
std::int32_t mulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0)
        return -1;
    const double exact = static_cast<double>(a) * b / c;
    return static_cast<std::int32_t>(std::clamp<double>(std::round(exact), INT32_MIN, INT32_MAX));
}

} // namespace

FontState& fonts() {
    // One per process: the table is built from the fonts installed on the system.
    static FontState state;
    return state;
}

int FontCount() {
    return fonts().FontTable ? fonts().FontTable->size() : 0;
}

FontEntry* FontAt(int index) {
    ChunkList* table = fonts().FontTable;
    if (!table || index < 0)
        return nullptr;
    void* element = table->elementAt(index);
    if (!element)
        return nullptr;
    FontEntry* entry;
    std::memcpy(&entry, element, sizeof entry);
    return entry;
}

int CheckedFontIndex(int index) {
    if (FontAt(index))
        return index;
    if (FontAt(fonts().DefaultFont))
        return fonts().DefaultFont;
    return FontCount() > 0 ? 0 : -1;
}

namespace {

// Marks the legacy phonetic face that `face` names, if it names one. The faces are symbol fonts
// that the table itself does not admit.
void notePhoneticFace(const std::string& face) {
    for (int k = 0; k < kPhoneticStyleCount; ++k) {
        char name[platform::kFaceNameBytes];
        platform::SetFaceName(name, kLegacyPhoneticFaces[k]);
        if (face.compare(0, platform::kFaceNameBytes - 1, name) == 0)
            fonts().LegacyPhoneticFaces[k] = true;
    }
}

} // namespace

void BuildFontTable(platform::FontCatalog& catalog) {
    ReleaseFontTable();
    fonts().PixelsPerInch = catalog.pixelsPerInch();
    for (const platform::InstalledFont& font : catalog.installedFonts()) {
        notePhoneticFace(font.faceName);
        FontEntry* entry = entryFrom(font);
        if (!entry)
            return;
        if (admitted(font, entry->font.charSet))
            appendEntry(entry);
        else
            Release(entry);
    }
}

void ReleaseFontTable() {
    FontState& state = fonts();
    if (state.FontTable)
        state.FontTable->destroy();
    state.FontTable = nullptr;
    state.DefaultFont = 0;
    for (int& preferred : state.PreferredFonts)
        preferred = 0;
    for (bool& installed : state.LegacyPhoneticFaces)
        installed = false;
}

void ChoosePreferredFonts(const FontListAdder& addToFontList) {
    FontState& state = fonts();
    const int count = FontCount();
    const auto indexOf = [count](const char* face) {
        for (int i = 0; i < count; ++i)
            if (std::strcmp(FontAt(i)->font.faceName, face) == 0)
                return i;
        return -1;
    };
    for (int k = 0; k < kPreferredFontCount; ++k) {
        int found = indexOf(kPreferredFaces[k]);
        for (int s = 0; found < 0 && s < kStandInCount; ++s)
            found = indexOf(kStandInFaces[k][s]);
        state.PreferredFonts[k] = std::max(found, 0);
    }
    state.DefaultFont = state.PreferredFonts[0];
    if (!addToFontList)
        return;
    for (int i = 0; i < count; ++i)
        addToFontList(i, *FontAt(i));
}

platform::LogicalFont MakeLabelFont(int index, int points, bool bold, bool italic, bool phonetic) {
    platform::LogicalFont lf;
    if (const FontEntry* entry = FontAt(CheckedFontIndex(index)))
        lf = entry->font;
    lf.quality = static_cast<std::uint8_t>(lf.quality & ~FontUsed);
    lf.height = -mulDiv(points, fonts().PixelsPerInch, 72);
    // A font a file names but the system lacks has weight 0 ("any"); bold must still be bold.
    if (bold)
        lf.weight = 2 * (lf.weight > 0 ? lf.weight : kNormalWeight);
    lf.italic = italic ? 1 : 0;
    if (phonetic) {
        const PhoneticStyle style = PhoneticStyleOf(lf);
        if (fonts().LegacyPhoneticFaces[static_cast<int>(style)]) {
            platform::SetFaceName(lf.faceName, PhoneticFace(lf));
            lf.charSet = platform::kSymbolCharset;
        } else {
            platform::SetFaceName(lf.faceName, UnicodePhoneticFace(style));
            lf.charSet = platform::kAnsiCharset;
            lf.byteTexts = &Ipa93Texts();
            // The legacy script face is an italic design of its own.
            if (style == PhoneticStyle::Script)
                lf.italic = 1;
        }
    }
    lf.width = 0;
    return lf;
}

PhoneticStyle PhoneticStyleOf(const platform::LogicalFont& entry) {
    const std::uint8_t pf = entry.pitchAndFamily;
    if ((pf & 0x0F) == platform::kFixedPitch)
        return PhoneticStyle::FixedPitch;
    if ((pf & 0xF0) == platform::kFamilySwiss)
        return PhoneticStyle::SansSerif;
    if (pf >= 64 && pf <= 79)
        return PhoneticStyle::Script;
    return PhoneticStyle::Serif;
}

const char* PhoneticFace(const platform::LogicalFont& entry) {
    return kLegacyPhoneticFaces[static_cast<int>(PhoneticStyleOf(entry))];
}

const char* UnicodePhoneticFace(PhoneticStyle style) {
    // Faces with the whole IPA, combining diacritics included; there is no fixed-pitch one, and
    // Charis SIL has the true italic the script style wants.
    switch (style) {
    case PhoneticStyle::FixedPitch:
    case PhoneticStyle::Script:
        return "Charis SIL";
    case PhoneticStyle::SansSerif:
        return "Andika";
    case PhoneticStyle::Serif:
        break;
    }
    return "Doulos SIL";
}

void MarkFontUsed(int index) {
    if (FontEntry* entry = FontAt(index))
        entry->font.quality |= FontUsed;
}

int AddFontByName(const char* face) {
    char name[platform::kFaceNameBytes];
    platform::SetFaceName(name, face ? face : "");
    const int count = FontCount();
    for (int i = 0; i < count; ++i)
        if (std::strcmp(FontAt(i)->font.faceName, name) == 0)
            return i;
    FontEntry* entry = newEntry();
    if (!entry)
        return -1;
    entry->font.underline = 1;
    std::memcpy(entry->font.faceName, name, sizeof name);
    return appendEntry(entry);
}

void SortFontTable() {
    if (fonts().FontTable)
        fonts().FontTable->sort(byFaceName);
}

void WriteFontsSection(std::string& out) {
    const int count = FontCount();
    char line[platform::kFaceNameBytes + 32];
    for (int i = 0; i < count; ++i) {
        const FontEntry* entry = FontAt(i);
        if (!(entry->font.quality & FontUsed))
            continue;
        std::snprintf(line, sizeof line, "%d isa \"%s\"\n", i, entry->font.faceName);
        out += line;
    }
}

} // namespace tarvo
