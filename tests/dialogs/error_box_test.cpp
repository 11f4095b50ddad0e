// The error box on screen: its two forms, and the modal run through the program's presenter.
#include "dialogs/error_box.h"

#include "diagnostics/error_report.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Closes the next modal box with its visible button and remembers what it showed.
struct ModalWitness {
    QString caption;
    QString text;
    bool okShown = false;
    bool cancelShown = false;
    bool cancelFocused = false;

    void arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<ErrorBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr) << "no error box is up";
            caption = box->windowTitle();
            text = box->messageLabel()->text();
            okShown = box->okButton()->isVisible();
            cancelShown = box->cancelButton()->isVisible();
            cancelFocused = box->focusWidget() == box->cancelButton();
            QTest::mouseClick(okShown ? box->okButton() : box->cancelButton(), Qt::LeftButton);
        });
    }
};

class ErrorBoxTest : public ::testing::Test {
protected:
    ErrorBoxPresenter presenter;
    ErrorReport errors{presenter};
};

TEST_F(ErrorBoxTest, TemplateCarriesItsControlIds) {
    ErrorBox box;
    box.prepare("Could not read file sample.dat!", false);
    EXPECT_EQ(box.windowTitle(), "Error");
    EXPECT_TRUE(box.messageLabel()->wordWrap());
    EXPECT_EQ(box.messageLabel()->property("ctrlId").toInt(), 10);
    EXPECT_EQ(box.okButton()->property("ctrlId").toInt(), 1);
    EXPECT_EQ(box.cancelButton()->property("ctrlId").toInt(), 2);
    EXPECT_EQ(box.okButton()->text(), "&OK");
    EXPECT_EQ(box.cancelButton()->text(), "&Cancel");
    auto* icon = box.findChild<QLabel*>("icon103");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->property("ctrlId").toInt(), 103);
    EXPECT_FALSE(icon->pixmap().isNull());
    auto* blank = box.findChild<QLabel*>("text15");
    ASSERT_NE(blank, nullptr);
    EXPECT_TRUE(blank->text().isEmpty());
}

TEST_F(ErrorBoxTest, TheReportRunsTheNormalBoxModally) {
    ModalWitness witness;
    witness.arm();
    errors.show("Caf\xE9 is not a node");
    EXPECT_EQ(witness.caption, "Error");
    EXPECT_EQ(witness.text, QString::fromUtf8("Café is not a node"));
    EXPECT_TRUE(witness.okShown);
    EXPECT_FALSE(witness.cancelShown);
}

TEST_F(ErrorBoxTest, AfterAFatalErrorOnlyCancelIsOfferedWithTheFocus) {
    ModalWitness witness;
    witness.arm();
    errors.reportNonZero(5, 3);
    EXPECT_EQ(witness.caption, "Fatal Error");
    EXPECT_EQ(witness.text, "Non zero detected at point 3");
    EXPECT_FALSE(witness.okShown);
    EXPECT_TRUE(witness.cancelShown);
    EXPECT_TRUE(witness.cancelFocused);

    ModalWitness later;
    later.arm();
    errors.show("Could not write file x");
    EXPECT_EQ(later.caption, "Fatal Error");
}

TEST_F(ErrorBoxTest, TheBoxBelongsToTheOwnerGiven) {
    QWidget owner;
    owner.show();
    presenter.setOwner(&owner);
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&parent] {
        auto* box = qobject_cast<ErrorBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no error box is up";
        parent = box->parentWidget();
        box->okButton()->click();
    });
    errors.show("owned");
    EXPECT_EQ(parent, &owner);
}

} // namespace
} // namespace tarvo
