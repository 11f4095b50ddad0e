// The About box: it waits for OK, and as the splash it loads and then closes by itself.
#include "dialogs/about_box.h"

#include "dialogs/modal_answer.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvo {
namespace {

using testing_support::DialogFixture;
using testing_support::ModalAnswer;

class AboutBoxTest : public DialogFixture {};

TEST_F(AboutBoxTest, TheBoxWaitsForOkAndLoadsNothing) {
    int loads = 0;
    bool shown = false;
    ModalAnswer answer(dialogs, [&](DialogBase& dialog) {
        shown = true;
        EXPECT_EQ(dialog.windowTitle(), "About Tarvo Editor");
        EXPECT_NE(dialog.control(103), nullptr);
        EXPECT_NE(dialog.control(105), nullptr);
        if (const char* out = std::getenv("TARVO_ABOUT_PNG"))
            dialog.grab().save(QString::fromLocal8Bit(out));
        EXPECT_TRUE(dialog.press(1));
    });
    ShowAbout(dialogs, false, [&] { ++loads; });
    EXPECT_TRUE(shown);
    EXPECT_EQ(loads, 0);
}

TEST_F(AboutBoxTest, TheSplashLoadsAsItStartsAndClosesByItself) {
    int loads = 0;
    bool gaveUp = false;
    ModalAnswer answer(dialogs, [&](DialogBase& dialog) {
        // Loaded before the box waits; a box that never closed would end the test here.
        EXPECT_EQ(loads, 1);
        QTimer::singleShot(4 * kSplashMs, &dialog, [&] {
            gaveUp = true;
            dialog.reject();
        });
    });
    ShowAbout(dialogs, true, [&] { ++loads; });
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(gaveUp);
}

} // namespace
} // namespace tarvo
