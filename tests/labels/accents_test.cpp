// Accented letters: the whole composition table, and the accent keys found on a layout.
#include "labels/accents.h"

#include "platform/keyboard_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <map>
#include <vector>

namespace tarvo {
namespace {

class AccentTest : public ::testing::Test {
protected:
    void SetUp() override { accentKeys() = AccentKeyState{}; }
    void TearDown() override { accentKeys() = AccentKeyState{}; }
};

// Written out independently of the program's table, in accent order.
const struct {
    unsigned char key;
    const char* bases;
    std::vector<int> results;
} kExpected[] = {
    {',', "cC", {0xE7, 0xC7}},
    {':', "aeiouyAEIOUY", {0xE4, 0xEB, 0xEF, 0xF6, 0xFC, 0xFF, 0xC4, 0xCB, 0xCF, 0xD6, 0xDC, 0x9F}},
    {'`', "aeiouAEIOU", {0xE0, 0xE8, 0xEC, 0xF2, 0xF9, 0xC0, 0xC8, 0xCC, 0xD2, 0xD9}},
    {'\'',
     "aeiouyAEIOUY",
     {0xE1, 0xE9, 0xED, 0xF3, 0xFA, 0xFD, 0xC1, 0xC9, 0xCD, 0xD3, 0xDA, 0xDD}},
    {'^', "aeiouAEIOUsS", {0xE2, 0xEA, 0xEE, 0xF4, 0xFB, 0xC2, 0xCA, 0xCE, 0xD4, 0xDB, 0x9A, 0x8A}},
    {'~', "anoANO-", {0xE3, 0xF1, 0xF5, 0xC3, 0xD1, 0xD5, 0x96}},
    {'@', "aA%CR", {0xE5, 0xC5, 0x89, 0xA9, 0xAE}},
    {'A', "eE", {0xE6, 0xC6}},
    {'O', "eE", {0x9C, 0x8C}},
    {'-', "dD-", {0xF0, 0xD0, 0x97}},
    {'/', "oO123", {0xF8, 0xD8, 0xBC, 0xBD, 0xBE}},
};

TEST_F(AccentTest, EveryAccentTurnsItsBaseLettersAndNothingElse) {
    ASSERT_EQ(std::size(kExpected), std::size_t(kAccentCount));
    for (int k = 1; k <= kAccentCount; ++k) {
        const auto& expected = kExpected[k - 1];
        EXPECT_EQ(AccentTable[k - 1].key, expected.key) << "accent " << k;
        ASSERT_EQ(std::strlen(expected.bases), expected.results.size());
        std::map<int, int> letters;
        for (std::size_t i = 0; i < expected.results.size(); ++i)
            letters[static_cast<unsigned char>(expected.bases[i])] = expected.results[i];
        for (int byte = 0; byte < 256; ++byte) {
            unsigned char ch = static_cast<unsigned char>(byte);
            const auto found = letters.find(byte);
            EXPECT_EQ(ApplyAccent(ch, k), found != letters.end()) << k << " on " << byte;
            EXPECT_EQ(int(ch), found != letters.end() ? found->second : byte)
                << k << " on " << byte;
        }
    }
}

TEST_F(AccentTest, NoAccentChangesNothing) {
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char ch = static_cast<unsigned char>(byte);
        EXPECT_FALSE(ApplyAccent(ch, 0));
        EXPECT_EQ(int(ch), byte);
    }
}

TEST_F(AccentTest, UsLayoutTypesEachAccentWithItsKeyAndShift) {
    EXPECT_EQ(AccentForKey(59, false), 0) << "no accent before the keys are known";
    platform::UsKeyboardLayout layout;
    InitAccentKeys(layout);
    const int keys[kAccentCount] = {59, 47, 49, 48, 15, 49, 11, 38, 32, 20, 61};
    const char* shifted = "-S--SSSSS--";
    for (int k = 1; k <= kAccentCount; ++k) {
        const bool shift = shifted[k - 1] == 'S';
        EXPECT_EQ(AccentForKey(keys[k - 1], shift), k);
        // The other Shift state types another character (on the grave key, the other accent).
        EXPECT_NE(AccentForKey(keys[k - 1], !shift), k);
    }
    int key = 0;
    bool shift = false;
    ASSERT_TRUE(layout.keyForCharacter(' ', &key, &shift));
    EXPECT_EQ(key, 65);
    for (const int ch : {0x00, 0x0D, 0x7F, 0x96, 0xE9})
        EXPECT_FALSE(layout.keyForCharacter(static_cast<unsigned char>(ch), &key, &shift)) << ch;
}

// A layout on which every character the test names sits on one key, and nothing else exists.
class OneKeyLayout final : public platform::KeyboardLayout {
public:
    explicit OneKeyLayout(const char* typed) : m_typed(typed) {}
    bool keyForCharacter(unsigned char ch, int* key, bool* shift) override {
        *key = 30;
        *shift = false;
        for (const char* p = m_typed; *p; ++p) {
            if (static_cast<unsigned char>(*p) == ch)
                return true;
        }
        return false; // leaves the key written, as a careless layout might
    }

private:
    const char* m_typed;
};

TEST_F(AccentTest, AccentsTheLayoutCannotTypeHaveNoKey) {
    OneKeyLayout nothing("");
    InitAccentKeys(nothing);
    EXPECT_EQ(AccentForKey(30, false), 0);
    EXPECT_EQ(AccentForKey(-1, false), 0);

    // Two accents on one key: the earlier in the table wins.
    OneKeyLayout shared("^~");
    InitAccentKeys(shared);
    EXPECT_EQ(AccentForKey(30, false), 5);
    EXPECT_EQ(accentKeys().keys[0].key, -1);
}

} // namespace
} // namespace tarvo
