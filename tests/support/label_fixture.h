// What the label tests share: labels written with '^' for the escape byte, and a fixture that
// gives each test the default font 0 and leaves the font state as it found it.
#pragma once

#include "labels/font_table.h"
#include "labels/label_markup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace testing_support {

inline std::string operator""_l(const char* text, std::size_t size) {
    std::string label(text, size);
    std::replace(label.begin(), label.end(), '^', tarvo::kLabelEscape);
    return label;
}

class LabelStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedFonts = tarvo::fonts();
        tarvo::fonts().DefaultFont = 0;
    }
    void TearDown() override { tarvo::fonts() = m_savedFonts; }

    // The anonymous ids of the test's labels, as a network would hand them out.
    tarvo::LabelIds ids;

private:
    tarvo::FontState m_savedFonts;
};

} // namespace testing_support
