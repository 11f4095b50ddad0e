// How views open as kept between runs: whole numbers read from stored text, the store kept in
// memory, and the defaults that stand in for what a store should not hold.
#include "shell/view_preferences.h"

#include "platform/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tarvo {
namespace {

TEST(StoredNumbers, OnlyAWholeDecimalNumberThatFitsReadsAsOne) {
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"12", 12},
        {" 12\t", 12},
        {"+7", 7},
        {"-3", -3},
        {"0", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"+", std::nullopt},
        {"+-5", std::nullopt},
        {"12pt", std::nullopt},
        {"1 2", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"ten", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(MemorySettings, KeepsEachKeysLastValueAndFallsBackForWhatItLacks) {
    platform::MemorySettings settings;
    EXPECT_EQ(settings.integer("view/openAt", 4), 4);
    EXPECT_EQ(settings.text("recent/file1", "none"), "none");
    EXPECT_FALSE(settings.holds("view/openAt"));

    settings.setInteger("view/openAt", 1);
    settings.setInteger("view/openAt", -8);
    settings.setText("recent/file1", "Databases/caf\xE9.dat");
    EXPECT_EQ(settings.integer("view/openAt", 4), -8);
    EXPECT_EQ(settings.text("view/openAt", ""), "-8") << "a number is kept as its text";
    EXPECT_EQ(settings.text("recent/file1", ""), "Databases/caf\xE9.dat");
    // Text that is no number reads as the fallback, as from a file edited by hand.
    EXPECT_EQ(settings.integer("recent/file1", 4), 4);
    EXPECT_EQ(settings.integer("view", 4), 4) << "a group is no key of its own";
}

TEST(ViewPreferences, AnEmptyStoreGivesReadableSizeAtTenPoints) {
    const platform::MemorySettings empty;
    const ViewPreferences read = ReadViewPreferences(empty);
    EXPECT_EQ(read.openAt, OpenAt::Readable);
    EXPECT_EQ(read.readablePoints, kReadablePoints);
}

TEST(ViewPreferences, WhatIsWrittenIsReadBackAndJunkGivesTheDefaults) {
    for (const OpenAt where : {OpenAt::Readable, OpenAt::FitToWindow}) {
        for (const int points : {kFewestReadablePoints, 14, kMostReadablePoints}) {
            platform::MemorySettings settings;
            WriteOpenAt(settings, where);
            WriteReadablePoints(settings, points);
            const ViewPreferences read = ReadViewPreferences(settings);
            EXPECT_EQ(read.openAt, where);
            EXPECT_EQ(read.readablePoints, points);
        }
    }
    // Values the program never writes: each stands alone, and the other value is still read.
    struct Stored {
        const char* openAt;
        const char* points;
        OpenAt readOpenAt;
        int readPoints;
    };
    const Stored junk[] = {
        {"2", "12", OpenAt::Readable, 12},
        {"-1", "36", OpenAt::Readable, 36},
        {"fit", "8", OpenAt::Readable, 8},
        {"1", "7", OpenAt::FitToWindow, kReadablePoints},
        {"1", "37", OpenAt::FitToWindow, kReadablePoints},
        {"1", "-10", OpenAt::FitToWindow, kReadablePoints},
        {"1", "99999999999", OpenAt::FitToWindow, kReadablePoints},
        {"1", "large", OpenAt::FitToWindow, kReadablePoints},
        {"", "", OpenAt::Readable, kReadablePoints},
    };
    for (const Stored& s : junk) {
        platform::MemorySettings settings;
        settings.setText(kOpenAtKey, s.openAt);
        settings.setText(kReadablePointsKey, s.points);
        const ViewPreferences read = ReadViewPreferences(settings);
        EXPECT_EQ(read.openAt, s.readOpenAt) << s.openAt;
        EXPECT_EQ(read.readablePoints, s.readPoints) << s.points;
    }
}

TEST(ViewPreferences, OnlyChoicesThatExistAndSizesWithinTheRangeAreWritten) {
    platform::MemorySettings settings;
    // Values no choice has, as a bad cast could make them.
    WriteOpenAt(settings, static_cast<OpenAt>(2));
    WriteOpenAt(settings, static_cast<OpenAt>(-1));
    EXPECT_FALSE(settings.holds(kOpenAtKey));
    WriteReadablePoints(settings, 200);
    EXPECT_EQ(settings.integer(kReadablePointsKey, 0), kMostReadablePoints);
    WriteReadablePoints(settings, 0);
    EXPECT_EQ(settings.integer(kReadablePointsKey, 0), kFewestReadablePoints);
}

TEST(ViewPreferences, ATypedSizeIsAWholeNumberBroughtIntoTheRange) {
    EXPECT_EQ(TypedReadablePoints("12"), 12);
    EXPECT_EQ(TypedReadablePoints(" 8 "), kFewestReadablePoints);
    EXPECT_EQ(TypedReadablePoints("36"), kMostReadablePoints);
    // Just past either end, and far past it, the nearest end.
    EXPECT_EQ(TypedReadablePoints("7"), kFewestReadablePoints);
    EXPECT_EQ(TypedReadablePoints("-4"), kFewestReadablePoints);
    EXPECT_EQ(TypedReadablePoints("37"), kMostReadablePoints);
    EXPECT_EQ(TypedReadablePoints("999"), kMostReadablePoints);
    for (const char* typed : {"", "ten", "10pt", "10.5", "1e1"})
        EXPECT_EQ(TypedReadablePoints(typed), std::nullopt) << typed;
}

} // namespace
} // namespace tarvo
