// The input and question dialogs: their answers, the shared text buffer and the limits on texts.
#include "dialogs/ask_dialogs.h"

#include "dialogs/modal_answer.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tarvo {
namespace {

using testing_support::DialogFixture;
using testing_support::ModalAnswer;

// Takes the text AskText answers and gives its block back.
std::string taken(char* text) {
    EXPECT_NE(text, nullptr);
    std::string copy = text ? text : "<null>";
    Release(text);
    return copy;
}

class AskDialogsTest : public DialogFixture {};

TEST_F(AskDialogsTest, AskTextAnswersTheTypedTextAfterOkAndNothingAfterCancel) {
    QString prompt, offered;
    qsizetype selected = 0;
    ModalAnswer typing(dialogs, [&](DialogBase& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Input");
        prompt = dialog.control<QLabel>(10)->text();
        auto* edit = dialog.control<QLineEdit>(20);
        offered = edit->text();
        selected = edit->selectedText().size();
        QTest::keyClicks(edit, "Caf");
        edit->insert(QString::fromUtf8("\u00e9 noir"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(taken(AskTextF(dialogs, "old", 60, 0, "Rename node %s to:", "x")), "Caf\xE9 noir");
    EXPECT_EQ(prompt, "Rename node x to:");
    EXPECT_EQ(offered, "old");
    EXPECT_EQ(selected, 3) << "typing replaces the offered text";
    EXPECT_EQ(dialogs.lastAnswer, 1);

    // Cancel, Escape and the close box all leave an empty text and the answer 0.
    for (int way = 0; way < 3; ++way) {
        ModalAnswer cancelling(dialogs, [way](DialogBase& dialog) {
            QTest::keyClicks(dialog.control(20), "typed");
            if (way == 0)
                dialog.press(2);
            else if (way == 1)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
        });
        dialogs.lastAnswer = 7;
        EXPECT_EQ(taken(AskText(dialogs, "Name:", "kept?", 60, 0)), "") << way;
        EXPECT_EQ(dialogs.lastAnswer, 0) << way;
    }
}

TEST_F(AskDialogsTest, AskTextKeepsItsTextsWithinTheirLimits) {
    struct Case {
        int initialLength;
        int maxLength;
        int typed;
        int offered;
        int answered;
    };
    // The initial text is cut to 299; the answer to the maximum, which is at most 999.
    for (const Case& c : {Case{400, 999, 0, 299, 299}, Case{10, 4, 0, 4, 4},
                          Case{0, 5000, 1200, 0, 999}, Case{0, 0, 1200, 0, 999}}) {
        qsizetype offered = -1;
        ModalAnswer typing(dialogs, [&](DialogBase& dialog) {
            auto* edit = dialog.control<QLineEdit>(20);
            offered = edit->text().size();
            if (c.typed)
                edit->setText(QString(c.typed, 'b'));
            dialog.press(1);
        });
        const std::string answer = taken(AskText(
            dialogs, "Text:", std::string(static_cast<std::size_t>(c.initialLength), 'a').c_str(),
            c.maxLength, 0));
        EXPECT_EQ(offered, c.offered) << c.initialLength << "/" << c.maxLength;
        EXPECT_EQ(answer.size(), static_cast<std::size_t>(c.answered))
            << c.initialLength << "/" << c.maxLength;
    }

    // The prompt and the initial text may both have been built in the shared text buffer.
    char* buffer = sharedBuffers().scratchText;
    std::strcpy(buffer, "built here");
    QString prompt;
    ModalAnswer accepting(dialogs, [&prompt](DialogBase& dialog) {
        prompt = dialog.control<QLabel>(10)->text();
        dialog.press(1);
    });
    EXPECT_EQ(taken(AskText(dialogs, buffer, buffer, 60, 0)), "built here");
    EXPECT_EQ(prompt, "built here");
}

TEST_F(AskDialogsTest, AskQuestionAnswersYesNoAndCancelWithTheCloseBoxAsCancel) {
    QString caption, question;
    for (const auto& [way, expected] : {std::pair{6, 1}, {7, 2}, {2, 0}, {0, 0}}) {
        ModalAnswer answering(dialogs, [&, way = way](DialogBase& dialog) {
            caption = dialog.windowTitle();
            question = dialog.control<QLabel>(10)->text();
            if (way)
                dialog.press(way);
            else
                dialog.close();
        });
        EXPECT_EQ(AskQuestion(dialogs, "Save changes to sample.dat?"), expected) << way;
        EXPECT_EQ(dialogs.lastAnswer, expected);
    }
    EXPECT_EQ(caption, "Are you sure ?");
    EXPECT_EQ(question, "Save changes to sample.dat?");
}

TEST_F(AskDialogsTest, WithoutCancelTheNoButtonTakesCancelsPlace) {
    QRect cancelPlace, noPlace;
    bool cancelShown = true;
    ModalAnswer normal(dialogs, [&cancelPlace](DialogBase& dialog) {
        cancelPlace = dialog.control(2)->geometry();
        dialog.press(6);
    });
    AskQuestion(dialogs, "Quit?");

    dialogs.noCancelQuestion = true;
    ModalAnswer noCancel(dialogs, [&](DialogBase& dialog) {
        cancelShown = dialog.control(2)->isVisible();
        noPlace = dialog.control(7)->geometry();
        EXPECT_FALSE(dialog.press(2)) << "a hidden Cancel cannot be pressed";
        dialog.press(7);
    });
    EXPECT_EQ(AskQuestion(dialogs, "Quit?"), 2);
    EXPECT_FALSE(cancelShown);
    EXPECT_EQ(noPlace, cancelPlace);
}

} // namespace
} // namespace tarvo
