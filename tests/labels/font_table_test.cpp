// The font table: which installed fonts it admits, the preferred and default fonts, label fonts,
// phonetic faces, fonts named by files, and the fallback for indices outside the table.
#include "labels/font_table.h"

#include "labels/ipa93.h"
#include "platform/font_catalog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

platform::InstalledFont installed(const std::string& face, bool latin = true, bool scalable = true,
                                  bool symbol = false) {
    platform::InstalledFont font;
    font.faceName = face;
    font.latin = latin;
    font.smoothlyScalable = scalable;
    font.symbol = symbol;
    return font;
}

std::vector<std::string> faces() {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(FontCount()));
    for (int i = 0; i < FontCount(); ++i)
        names.push_back(FontAt(i)->font.faceName);
    return names;
}

class FontTableTest : public ::testing::Test {
protected:
    void TearDown() override { ReleaseFontTable(); }
    void build(std::vector<platform::InstalledFont> fonts, int ppi = 96) {
        platform::ListedFontCatalog catalog(std::move(fonts), ppi);
        BuildFontTable(catalog);
    }
};

TEST_F(FontTableTest, AdmitsScalableLatinFontsAndSymbolFontsInOrder) {
    build({installed("Arial"), installed("Bitmap Only", true, false),
           installed("Noto Sans CJK", false), installed("Lotus Notes"), installed("lotus2"),
           installed("Symbol", false, true, true), installed("SymbolNeu", false),
           installed("Standard Symbols PS", false, true, true), installed("Liberation Serif")});
    EXPECT_EQ(faces(),
              (std::vector<std::string>{"Arial", "Symbol", "SymbolNeu", "Liberation Serif"}));
    EXPECT_EQ(FontAt(1)->font.charSet, platform::kSymbolCharset);
    EXPECT_EQ(FontAt(0)->font.charSet, platform::kAnsiCharset);
}

TEST_F(FontTableTest, FaceNamesAreCutTo31Characters) {
    platform::ListedFontCatalog catalog(";;" + std::string(40, 'x') + ";Arial;");
    BuildFontTable(catalog);
    ASSERT_EQ(FontCount(), 2);
    EXPECT_EQ(std::string(FontAt(0)->font.faceName), std::string(31, 'x'));
}

TEST_F(FontTableTest, PreferredFontsAreExactMatchesAndDefaultToZero) {
    build({installed("Courier New"), installed("arial"), installed("Arial"),
           installed("Times New Roman")});
    std::vector<int> listed;
    static std::vector<int>* sink;
    sink = &listed;
    ChoosePreferredFonts([](int index, const FontEntry&) { sink->push_back(index); });
    EXPECT_EQ(fonts().PreferredFonts[0], 3);
    EXPECT_EQ(fonts().PreferredFonts[1], 2) << "face names compare with letter case";
    EXPECT_EQ(fonts().PreferredFonts[2], 0);
    EXPECT_EQ(fonts().DefaultFont, 3);
    EXPECT_EQ(listed, (std::vector<int>{0, 1, 2, 3}));

    build({installed("Liberation Sans"), installed("Courier New")});
    ChoosePreferredFonts();
    EXPECT_EQ(fonts().DefaultFont, 0) << "without Times New Roman the first entry is the default";
    EXPECT_EQ(fonts().PreferredFonts[2], 1);

    // A system without the three faces: their stand-ins, the Liberation ones before DejaVu's,
    // and not whichever face sorts first.
    build({installed("Andika"), installed("DejaVu Math TeX Gyre"), installed("DejaVu Sans"),
           installed("DejaVu Serif"), installed("Liberation Sans"), installed("Liberation Serif")});
    ChoosePreferredFonts();
    EXPECT_EQ(fonts().DefaultFont, 5);
    EXPECT_EQ(fonts().PreferredFonts[1], 4);
    EXPECT_EQ(fonts().PreferredFonts[2], 0) << "no monospaced stand-in: the first entry";
    build({installed("Andika"), installed("DejaVu Serif")});
    ChoosePreferredFonts();
    EXPECT_EQ(fonts().DefaultFont, 1);
}

TEST_F(FontTableTest, LabelFontsTakeTheEntryAtTheDisplayResolution) {
    auto bold = installed("Heavy");
    bold.weight = 300;
    build({installed("Arial"), bold}, 120);
    platform::LogicalFont lf = MakeLabelFont(1, 10, true, true, false);
    EXPECT_EQ(lf.height, -17) << "10 points at 120 pixels per inch is 16.67 pixels";
    EXPECT_EQ(lf.weight, 600);
    EXPECT_EQ(lf.italic, 1);
    EXPECT_STREQ(lf.faceName, "Heavy");
    EXPECT_EQ(MakeLabelFont(1, 9, false, false, false).height, -15);

    EXPECT_EQ(lf.byteTexts, nullptr);
}

// Without the legacy face of its style a phonetic run is drawn as Unicode IPA in a face that
// has it; with that face installed, in the legacy face and its symbol character set.
TEST_F(FontTableTest, PhoneticRunsTakeTheLegacyFaceOnlyWhenItIsInstalled) {
    auto font = [](const char* face, std::uint8_t family, bool fixed = false) {
        platform::InstalledFont f = installed(face);
        f.family = family;
        f.fixedPitch = fixed;
        return f;
    };
    const std::vector<platform::InstalledFont> entries = {
        font("Serifed", platform::kFamilyRoman), font("Plain", platform::kFamilySwiss),
        font("Typewriter", platform::kFamilyModern, true),
        font("Chancery", platform::kFamilyScript), font("Unknown", 0)};
    const struct {
        const char* unicode;
        bool italic;
        const char* legacy;
    } expected[] = {{"Doulos SIL", false, "Ipa-keld Vowlex1 SILDoulosL"},
                    {"Andika", false, "Ipa-kels Vowlex1 SILSophiaL"},
                    {"Charis SIL", false, "Ipa-kelm Vowlex1 SILManuscript"},
                    {"Charis SIL", true, "Ipa-keld Vowlex1 SILDoulosL Ita"},
                    {"Doulos SIL", false, "Ipa-keld Vowlex1 SILDoulosL"}};

    build(entries);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const platform::LogicalFont lf = MakeLabelFont(i, 12, false, false, true);
        EXPECT_STREQ(lf.faceName, expected[i].unicode);
        EXPECT_EQ(lf.italic, expected[i].italic ? 1 : 0);
        EXPECT_EQ(lf.charSet, platform::kAnsiCharset);
        EXPECT_EQ(lf.byteTexts, &Ipa93Texts());
        EXPECT_EQ(MakeLabelFont(i, 12, false, false, false).byteTexts, nullptr);
    }

    // The legacy faces are symbol fonts, which the table does not list but the system has.
    std::vector<platform::InstalledFont> withLegacy = entries;
    for (const char* face :
         {"Ipa-keld Vowlex1 SILDoulosL", "Ipa-kels Vowlex1 SILSophiaL",
          "Ipa-kelm Vowlex1 SILManuscript", "Ipa-keld Vowlex1 SILDoulosL Italic"})
        withLegacy.push_back(installed(face, false, true, true));
    build(withLegacy);
    EXPECT_EQ(FontCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const platform::LogicalFont lf = MakeLabelFont(i, 12, false, true, true);
        EXPECT_STREQ(lf.faceName, expected[i].legacy);
        EXPECT_EQ(lf.charSet, platform::kSymbolCharset);
        EXPECT_EQ(lf.byteTexts, nullptr);
    }

    // One legacy face stands only for its own style.
    build({entries[0], entries[1], installed("Ipa-kels Vowlex1 SILSophiaL", false, true, true)});
    EXPECT_STREQ(MakeLabelFont(0, 12, false, false, true).faceName, "Doulos SIL");
    EXPECT_STREQ(MakeLabelFont(1, 12, false, false, true).faceName, "Ipa-kels Vowlex1 SILSophiaL");
    ReleaseFontTable();
    EXPECT_STREQ(MakeLabelFont(0, 12, false, false, true).faceName, "Doulos SIL")
        << "releasing the table forgets the legacy faces";
}

TEST_F(FontTableTest, PhoneticFaceFollowsPitchAndFamily) {
    struct Case {
        std::uint8_t pf;
        const char* face;
    } cases[] = {
        {0x31, "Ipa-kelm Vowlex1 SILManuscript"},     {0x01, "Ipa-kelm Vowlex1 SILManuscript"},
        {0x22, "Ipa-kels Vowlex1 SILSophiaL"},        {0x20, "Ipa-kels Vowlex1 SILSophiaL"},
        {0x42, "Ipa-keld Vowlex1 SILDoulosL Italic"}, {0x4F, "Ipa-keld Vowlex1 SILDoulosL Italic"},
        {0x12, "Ipa-keld Vowlex1 SILDoulosL"},        {0x50, "Ipa-keld Vowlex1 SILDoulosL"}};
    for (auto [pf, face] : cases) {
        platform::LogicalFont lf;
        lf.pitchAndFamily = pf;
        EXPECT_STREQ(PhoneticFace(lf), face) << int(pf);
    }
    auto script = installed("Chancery");
    script.family = platform::kFamilyScript;
    build({script, installed("Ipa-keld Vowlex1 SILDoulosL Italic", false, true, true)});
    EXPECT_STREQ(MakeLabelFont(0, 12, false, false, true).faceName,
                 "Ipa-keld Vowlex1 SILDoulosL Ita")
        << "the face name field holds 31 characters";
}

TEST_F(FontTableTest, IndicesOutsideTheTableFallBackToTheDefaultFont) {
    build({installed("Arial"), installed("Times New Roman")});
    ChoosePreferredFonts();
    for (int bad : {-1, 2, 1000000})
        EXPECT_STREQ(MakeLabelFont(bad, 12, false, false, false).faceName, "Times New Roman");
    EXPECT_EQ(CheckedFontIndex(0), 0);
    EXPECT_EQ(CheckedFontIndex(7), 1);
    MarkFontUsed(99); // ignored, not a write past the table

    ReleaseFontTable();
    EXPECT_EQ(CheckedFontIndex(0), -1);
    platform::LogicalFont none = MakeLabelFont(3, 12, true, false, false);
    EXPECT_STREQ(none.faceName, "") << "an empty table leaves the face to the system";
    EXPECT_EQ(none.weight, 800);
}

TEST_F(FontTableTest, FontsNamedByFilesAreAddedUnderlinedSortedAndListedWhenUsed) {
    build({installed("Times New Roman"), installed("Arial")});
    EXPECT_EQ(AddFontByName("Arial"), 1) << "an installed face is not added again";
    EXPECT_EQ(AddFontByName("Gentium"), 2);
    EXPECT_EQ(AddFontByName("Gentium"), 2);
    EXPECT_EQ(FontAt(2)->font.underline, 1);
    EXPECT_EQ(FontAt(2)->font.weight, 0);
    EXPECT_EQ(MakeLabelFont(2, 12, true, false, false).weight, 800)
        << "bold stays bold on a font the system lacks";

    SortFontTable();
    EXPECT_EQ(faces(), (std::vector<std::string>{"Arial", "Gentium", "Times New Roman"}));
    std::string out;
    WriteFontsSection(out);
    EXPECT_EQ(out, "");
    MarkFontUsed(2);
    MarkFontUsed(0);
    MarkFontUsed(0);
    WriteFontsSection(out);
    EXPECT_EQ(out, "0 isa \"Arial\"\n2 isa \"Times New Roman\"\n");
    EXPECT_EQ(MakeLabelFont(0, 12, false, false, false).quality & FontUsed, 0)
        << "the used mark is the table's, not the font's";
}

} // namespace
} // namespace tarvo
