// The "Appearance Options" dialog: trying colours out on the preview, applying them to the
// views, and Cancel going back to the colours from before the dialog.
#include "dialogs/appearance_dialog.h"

#include "dialogs/modal_answer.h"
#include "labels/colours.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace tarvo {
namespace {

using platform::Colour;
using testing_support::DialogFixture;
using testing_support::ModalAnswer;

constexpr Colour kNear{250, 40, 30};
constexpr Colour kFar{20, 60, 240};

QColor toQ(Colour c) {
    return QColor(c.red, c.green, c.blue);
}

std::vector<Colour> ramp(const ColourState& colours, int first) {
    std::vector<Colour> entries;
    entries.reserve(kShadeSteps);
    for (int i = 0; i < kShadeSteps; ++i)
        entries.push_back(colours.ColourTable[first + i].colour());
    return entries;
}

// The fills met going from the top left corner of the image to the bottom right one, where the
// preview lays its nodes from distance 0 to 7: the colours of the stretches at least four pixels
// long other than the white ground and the black outlines, a colour met again after a label or
// an outline counted once.
std::vector<QColor> fillsAlongDiagonal(const QImage& image) {
    std::vector<QColor> fills;
    const int steps = std::max(image.width(), image.height());
    QColor run;
    int length = 0;
    const auto close = [&] {
        if (length >= 4 && run != Qt::white && run != Qt::black &&
            (fills.empty() || fills.back() != run))
            fills.push_back(run);
    };
    for (int step = 0; step < steps; ++step) {
        const QColor here =
            image.pixelColor(step * image.width() / steps, step * image.height() / steps);
        if (here == run) {
            ++length;
            continue;
        }
        close();
        run = here;
        length = 1;
    }
    close();
    return fills;
}

std::vector<QColor> previewFills(DialogBase& dialog) {
    return fillsAlongDiagonal(dialog.control(1470)->grab().toImage());
}

class AppearanceDialogTest : public DialogFixture {
protected:
    void SetUp() override {
        // The colours as before start-up, with the shades of the test.
        colours.NearShade = kNear;
        colours.FarShade = kFar;
        MakeShadeRamp(colours, kShadeRampFirst, kNear, kFar);
        choosing.chooser = [this](QColor initial) {
            asked.push_back(initial);
            return answer;
        };
    }
    ColourChoosing choosing;
    ColourState colours;

    // What the chooser answers, and the colours it was started on.
    std::optional<QColor> answer;
    std::vector<QColor> asked;
    int repaints = 0;

    void run(const std::function<void(DialogBase&)>& answerDialog) {
        bool shown = false;
        ModalAnswer modal(dialogs, [&](DialogBase& dialog) {
            shown = true;
            answerDialog(dialog);
            if (!dialog.ended())
                dialog.reject();
        });
        ShowAppearanceOptions(dialogs, choosing, colours, nullptr, [this] { ++repaints; });
        EXPECT_TRUE(shown);
    }

private:
    ColourChooser m_chooser;
};

TEST_F(AppearanceDialogTest, ApplyThenCancelReturnsTheViewsToTheColoursFromBefore) {
    const std::vector<Colour> before = ramp(colours, kShadeRampFirst);
    answer = QColor(0, 200, 0);
    run([&](DialogBase& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Appearance Options");
        auto* items = dialog.control<QComboBox>(40);
        ASSERT_NE(items, nullptr);
        EXPECT_EQ(items->count(), 1);
        EXPECT_EQ(items->currentText(), "Distance shade colours");
        // The trial ramp starts as the views' ramp.
        EXPECT_EQ(ramp(colours, kTrialRampFirst), before);
        EXPECT_TRUE(dialog.press(31));
        // Trying a colour out leaves the views alone.
        EXPECT_EQ(ramp(colours, kShadeRampFirst), before);
        EXPECT_EQ(repaints, 0);
        EXPECT_TRUE(dialog.press(150));
        EXPECT_EQ(colours.NearShade, (Colour{0, 200, 0}));
        EXPECT_EQ(colours.ColourTable[kShadeRampFirst].colour(), (Colour{0, 200, 0}));
        EXPECT_EQ(repaints, 1);
        if (const char* out = std::getenv("TARVO_APPEARANCE_PNG"))
            dialog.grab().save(QString::fromLocal8Bit(out));
        EXPECT_TRUE(dialog.press(2));
    });
    EXPECT_EQ(colours.NearShade, kNear);
    EXPECT_EQ(colours.FarShade, kFar);
    EXPECT_EQ(ramp(colours, kShadeRampFirst), before);
    EXPECT_EQ(repaints, 2);
}

TEST_F(AppearanceDialogTest, ExchangingTwiceRestoresThePairAndOkKeepsIt) {
    const std::vector<Colour> trial = ramp(colours, kShadeRampFirst);
    run([&](DialogBase& dialog) {
        EXPECT_TRUE(dialog.press(151));
        // The swatches and the preview show the exchanged pair at once.
        const QImage first = dialog.control(31)->grab().toImage();
        EXPECT_EQ(first.pixelColor(first.rect().center()), toQ(kFar));
        EXPECT_EQ(colours.ColourTable[kTrialRampFirst].colour(), kFar);
        const std::vector<QColor> fills = previewFills(dialog);
        ASSERT_FALSE(fills.empty());
        EXPECT_EQ(fills.front(), toQ(kFar));
        EXPECT_EQ(fills.back(), toQ(kNear));
        EXPECT_TRUE(dialog.press(151));
        EXPECT_EQ(ramp(colours, kTrialRampFirst), trial);
        EXPECT_TRUE(dialog.press(1));
    });
    EXPECT_EQ(colours.NearShade, kNear);
    EXPECT_EQ(colours.FarShade, kFar);
    EXPECT_EQ(repaints, 1);
}

TEST_F(AppearanceDialogTest, ThePreviewShowsEightShadesAndEightEqualOnesForEqualColours) {
    run([&](DialogBase& dialog) {
        std::vector<QColor> expected;
        for (const Colour shade : ramp(colours, kTrialRampFirst))
            expected.push_back(toQ(shade));
        EXPECT_EQ(previewFills(dialog), expected);
        // Both swatches given the same colour: the eight sample nodes have that one fill.
        answer = QColor(90, 160, 60);
        EXPECT_TRUE(dialog.press(31));
        EXPECT_TRUE(dialog.press(32));
        EXPECT_EQ(previewFills(dialog), std::vector<QColor>{*answer});
        EXPECT_EQ(ramp(colours, kTrialRampFirst),
                  std::vector<Colour>(kShadeSteps, Colour{90, 160, 60}));
    });
    // Never applied: the views keep their colours.
    EXPECT_EQ(colours.NearShade, kNear);
}

TEST_F(AppearanceDialogTest, CancellingTheChooserChangesNothing) {
    const std::vector<Colour> trial = ramp(colours, kShadeRampFirst);
    run([&](DialogBase& dialog) {
        EXPECT_TRUE(dialog.press(32));
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], toQ(kFar));
        EXPECT_EQ(ramp(colours, kTrialRampFirst), trial);
        EXPECT_TRUE(dialog.press(1));
    });
    EXPECT_EQ(colours.NearShade, kNear);
    EXPECT_EQ(colours.FarShade, kFar);
}

TEST_F(AppearanceDialogTest, OpensAtItsTemplateSizeWithEveryControlWhole) {
    run([&](DialogBase& dialog) {
        if (const char* out = std::getenv("TARVO_APPEARANCE_SIZE_PNG"))
            dialog.grab().save(QString::fromLocal8Bit(out));
        EXPECT_EQ(dialog.size(), QSize(240, 275));
        std::vector<QRect> placed;
        for (const int id : {103, 10, 40, 31, 151, 32, 1470, 1, 150, 2}) {
            const QRect at = dialog.control(id)->geometry();
            EXPECT_TRUE(dialog.rect().contains(at)) << id;
            for (const QRect& other : placed)
                EXPECT_FALSE(at.intersects(other)) << id;
            placed.push_back(at);
        }
        // Every text is shown whole: the item list as wide as it asks, the buttons wider than
        // their texts.
        EXPECT_GE(dialog.control(40)->width(), dialog.control(40)->sizeHint().width());
        for (const int id : {151, 1, 150, 2}) {
            auto* button = dialog.control<QAbstractButton>(id);
            const QString text = button->text().remove(QLatin1Char('&'));
            EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(text) + 12) << id;
        }
        EXPECT_GE(dialog.control(1470)->height(), 96);
    });
}

} // namespace
} // namespace tarvo
