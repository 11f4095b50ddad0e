// The presenter without windows: what it writes, and the cautious answers it gives.
#include "platform/headless_ui.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

TEST(HeadlessUi, WritesTheBoxAndAnswersOkOrTheCautiousChoice) {
    HeadlessUi ui;
    const struct {
        Buttons buttons;
        Answer expected;
    } cases[] = {
        {Buttons::Ok, Answer::Ok},
        {Buttons::OkCancel, Answer::Cancel},
        {Buttons::YesNo, Answer::No},
        {Buttons::YesNoCancel, Answer::Cancel},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(ui.messageBox("Error 999\n\n", "Caf\xE9", c.buttons, Icon::Error), c.expected);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error 999: Caf\xC3\xA9\n")
            << "the caption's line breaks go, and the text is written as UTF-8";
    }
    testing::internal::CaptureStderr();
    ui.messageBox(nullptr, nullptr, Buttons::Ok, Icon::None);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ": \n");
}

} // namespace
} // namespace platform
