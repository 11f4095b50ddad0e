// The "Open Partition" dialog: choosing by typing or by kind, the reveal distance, and the
// choices it keeps for next time.
#include "dialogs/partition_dialog.h"

#include "dialogs/modal_answer.h"
#include "dialogs/partition_choice.h"
#include "labels/colours.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "support/network_text.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarvo {
namespace {

using testing_support::DialogFixture;
using testing_support::ModalAnswer;

class PartitionDialogTest : public DialogFixture {
protected:
    void SetUp() override {
        net = ::testing_support::ReadNetworkText(
            "#RELATIONS\nsubject isa dependent\n#ENTITIES\nnoun isa word\n"
            "verb isa word\nauxiliary isa verb\n#FONTS\n");
    }
    void TearDown() override { net.reset(); }

    std::unique_ptr<Network> net;
    PartitionChoices kept;
    ColourState colours;
};

TEST_F(PartitionDialogTest, TypingChoosesTheNodeAndTheRevealBoxGivesTheDistance) {
    struct Run {
        bool reveal;
        const char* distance;
        int expected;
    };
    for (const Run& run : {Run{false, "5", 1}, Run{true, "5", 6}, Run{true, "200", 1}}) {
        ModalAnswer answer(dialogs, [&](DialogBase& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Open Partition");
            auto* list = dialog.control<QListWidget>(97);
            EXPECT_EQ(list->count(), 4);
            EXPECT_EQ(list->currentRow(), 0);
            EXPECT_FALSE(dialog.control<QLineEdit>(37)->isEnabled());
            dialog.control<QLineEdit>(20)->setText("verb");
            EXPECT_EQ(list->currentItem()->text(), "verb");
            // The typed text stays as typed.
            EXPECT_EQ(dialog.control<QLineEdit>(20)->text(), "verb");
            if (run.reveal) {
                EXPECT_TRUE(dialog.press(36));
                EXPECT_TRUE(dialog.control<QLineEdit>(37)->isEnabled());
            }
            dialog.control<QLineEdit>(37)->setText(run.distance);
            if (const char* out = std::getenv("TARVO_PARTITION_PNG"))
                dialog.grab().save(QString::fromLocal8Bit(out));
            EXPECT_TRUE(dialog.press(1));
        });
        EXPECT_EQ(ChoosePartition(dialogs, kept, *net, colours), net->find("verb", 0));
        EXPECT_EQ(kept.revealDistance, run.expected) << run.distance;
    }
}

TEST_F(PartitionDialogTest, TheListAndTheFieldShowPhoneticNamesAsIpaAndAccentsAsThemselves) {
    net = ::testing_support::ReadNetworkText(
        "#ENTITIES\n<phon>dQg<\\phon> isa form\n<phon>Sip<\\phon> isa form\n"
        "\"caf\xe9\" isa word\n#FONTS\n");
    const QString dog = QString::fromUtf8("d\u00e6\u0261");
    const QString ship = QString::fromUtf8("\u0283ip");
    ModalAnswer answer(dialogs, [&](DialogBase& dialog) {
        auto* list = dialog.control<QListWidget>(97);
        auto* field = dialog.control<QLineEdit>(20);
        QStringList shown;
        for (int row = 0; row < list->count(); ++row)
            shown << list->item(row)->text();
        EXPECT_TRUE(shown.contains(dog)) << shown.join('|').toStdString();
        EXPECT_TRUE(shown.contains(ship)) << shown.join('|').toStdString();
        EXPECT_TRUE(shown.contains(QString::fromUtf8("caf\u00e9")))
            << shown.join('|').toStdString();
        // Picking a node puts its name, as shown, into the field; typing on still finds it.
        const int shipRow = static_cast<int>(shown.indexOf(ship));
        list->setCurrentRow(shipRow);
        EXPECT_EQ(field->text(), ship);
        field->setText(ship + "s");
        EXPECT_EQ(list->currentRow(), shipRow);
        field->setText(QString::fromUtf8("caf\u00e9"));
        EXPECT_EQ(list->currentItem()->text(), QString::fromUtf8("caf\u00e9"));
        field->setText(dog.left(2));
        EXPECT_EQ(list->currentItem()->text(), dog);
        EXPECT_TRUE(dialog.press(1));
    });
    Node* chosen = ChoosePartition(dialogs, kept, *net, colours);
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen->name, "\x7fpdQg");
}

TEST_F(PartitionDialogTest, TheKindAndExposeBitsAreKeptAndCancelChoosesNothing) {
    ModalAnswer relations(dialogs, [&](DialogBase& dialog) {
        EXPECT_TRUE(dialog.press(31));
        auto* list = dialog.control<QListWidget>(97);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), "dependent");
        // Selecting a node writes its label into the typing field.
        list->setCurrentRow(1);
        EXPECT_EQ(dialog.control<QLineEdit>(20)->text(), "subject");
        EXPECT_TRUE(dialog.press(33));
        EXPECT_TRUE(dialog.press(2));
    });
    EXPECT_EQ(ChoosePartition(dialogs, kept, *net, colours), nullptr);
    EXPECT_EQ(kept.kind, 1);
    EXPECT_EQ(kept.expose, 2);
    ModalAnswer again(dialogs, [&](DialogBase& dialog) {
        EXPECT_EQ(dialog.control<QListWidget>(97)->item(0)->text(), "dependent");
        EXPECT_TRUE(dialog.press(1));
    });
    EXPECT_EQ(ChoosePartition(dialogs, kept, *net, colours), net->find("dependent", 1));
}

// Dark pixels along the row where a button's focus frame runs, inside its edges.
int darkOnFrameRow(QWidget* button) {
    const QImage image = button->grab().toImage();
    int dark = 0;
    for (int x = 4; x < image.width() - 4; ++x)
        dark += qGray(image.pixel(x, 3)) < 64 ? 1 : 0;
    return dark;
}

TEST_F(PartitionDialogTest, AFocusedExposeButtonShowsItsFocusPushedOrNot) {
    // The hook always ends the dialog, so checks inside it do not return early.
    ModalAnswer answer(dialogs, [&](DialogBase& dialog) {
        const bool active = QTest::qWaitForWindowActive(&dialog);
        EXPECT_TRUE(active);
        for (const int id : {32, 35}) {
            if (!active)
                break;
            SCOPED_TRACE(id);
            QWidget* button = dialog.control(id);
            dialog.control(20)->setFocus();
            EXPECT_EQ(darkOnFrameRow(button), 0) << "up, without the focus";
            button->setFocus();
            EXPECT_TRUE(button->hasFocus());
            EXPECT_GT(darkOnFrameRow(button), 4) << "up, with the focus";
            EXPECT_TRUE(dialog.press(id));
            EXPECT_TRUE(button->hasFocus());
            EXPECT_GT(darkOnFrameRow(button), 4) << "pushed, with the focus";
            if (const char* out = std::getenv("TARVO_EXPOSE_PNG"))
                dialog.grab().save(QString::fromLocal8Bit(out));
            dialog.control(20)->setFocus();
            EXPECT_EQ(darkOnFrameRow(button), 0) << "pushed, without the focus";
        }
        EXPECT_TRUE(dialog.press(2));
    });
    ChoosePartition(dialogs, kept, *net, colours);
    EXPECT_EQ(kept.expose, 9);
}

} // namespace
} // namespace tarvo
