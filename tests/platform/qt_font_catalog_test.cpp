// The installed fonts as the font database reports them, and the table built from them.
#include "platform/qt/qt_font_catalog.h"

#include "labels/font_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace platform::qt {
namespace {

TEST(QtFontCatalog, ReportsTheShippedFontsWithPitchAndFamily) {
    QtFontCatalog catalog;
    const std::vector<InstalledFont> fonts = catalog.installedFonts();
    auto find = [&](const char* face) {
        return std::find_if(fonts.begin(), fonts.end(),
                            [&](const InstalledFont& f) { return f.faceName == face; });
    };
    const auto sans = find("DejaVu Sans");
    const auto mono = find("DejaVu Sans Mono");
    ASSERT_NE(sans, fonts.end()) << "fonts-dejavu-core is part of the set-up";
    ASSERT_NE(mono, fonts.end());
    EXPECT_TRUE(sans->latin);
    EXPECT_TRUE(sans->smoothlyScalable);
    EXPECT_FALSE(sans->fixedPitch);
    EXPECT_EQ(sans->family, kFamilySwiss);
    EXPECT_TRUE(mono->fixedPitch);
    EXPECT_GT(catalog.pixelsPerInch(), 0);

    tarvo::BuildFontTable(catalog);
    bool monoFound = false;
    for (int i = 0; i < tarvo::FontCount(); ++i) {
        const LogicalFont& lf = tarvo::FontAt(i)->font;
        if (std::strcmp(lf.faceName, "DejaVu Sans Mono") != 0)
            continue;
        monoFound = true;
        EXPECT_EQ(lf.pitchAndFamily & 0x0F, kFixedPitch);
        EXPECT_STREQ(tarvo::PhoneticFace(lf), "Ipa-kelm Vowlex1 SILManuscript");
    }
    EXPECT_TRUE(monoFound);
    tarvo::ReleaseFontTable();
}

TEST(QtFontCatalog, FamilyComesFromTheWordsOfTheName) {
    struct Case {
        const char* face;
        bool fixed;
        std::uint8_t family;
    } cases[] = {{"Liberation Sans", false, kFamilySwiss},
                 {"Liberation Serif", false, kFamilyRoman},
                 {"DejaVu Sans Mono", true, kFamilySwiss},
                 {"Courier Prime", true, kFamilyModern},
                 {"Noto Serif Display", false, kFamilyRoman},
                 {"URW Chancery L", false, kFamilyScript},
                 {"Times New Roman", false, kFamilyRoman},
                 {"Gentium", false, 0},
                 {"Sansation", false, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(FamilyFromName(c.face, c.fixed), c.family) << c.face;
}

} // namespace
} // namespace platform::qt
