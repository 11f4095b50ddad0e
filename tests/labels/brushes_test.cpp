// Brushes: solid on deep displays, patterned on shallow ones, lined up where they are asked.
#include "labels/brushes.h"

#include "support/null_display.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarvo {
namespace {

// A display that only records the brushes asked of it.
class BrushRecorder : public testing_support::NullDisplay {
public:
    explicit BrushRecorder(int bits) : m_bits(bits) {}
    std::unique_ptr<platform::Brush> createBrush(const platform::BrushLook& wanted) override {
        made = wanted;
        return std::make_unique<platform::Brush>();
    }
    void setBrushOrigin(platform::Point at) override { origin = at; }
    int bitsPerPixel() const override { return m_bits; }

    std::optional<platform::BrushLook> made;
    std::optional<platform::Point> origin;

private:
    int m_bits;
};

TEST(MakeBrush, DepthAndPatternDecideTheKindAndTheOrigin) {
    const BrushPattern checks = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    struct Case {
        int bits;
        bool patterned;
        platform::BrushStyle style;
        bool originSet;
    } cases[] = {
        {32, true, platform::BrushStyle::Solid, false},
        {24, false, platform::BrushStyle::Solid, false},
        {16, true, platform::BrushStyle::Solid, true},
        {8, true, platform::BrushStyle::Pattern, true},
        {8, false, platform::BrushStyle::Solid, true},
        {4, true, platform::BrushStyle::Pattern, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        BrushRecorder display(c.bits);
        auto brush = MakeBrush({10, 20, 30}, display, 7, 9, false, c.patterned ? &checks : nullptr);
        ASSERT_NE(brush, nullptr);
        ASSERT_TRUE(display.made);
        EXPECT_EQ(display.made->style, c.style);
        EXPECT_EQ(display.made->colour, (platform::Colour{10, 20, 30}));
        if (c.style == platform::BrushStyle::Pattern) {
            EXPECT_EQ(display.made->pattern, checks);
        }
        EXPECT_EQ(display.origin.has_value(), c.originSet);
        if (c.originSet) {
            EXPECT_EQ(*display.origin, (platform::Point{7, 9}));
        }
    }
}

} // namespace
} // namespace tarvo
