// The dialog framework: templates, the routing of controls, list keys, owner-drawn buttons, the
// dialog stack, the owner and the remembered placement.
#include "dialogs/dialog_base.h"

#include "dialogs/dialog_template.h"
#include "dialogs/modal_answer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tarvo {
namespace {

using testing_support::DialogFixture;
using testing_support::ModalAnswer;

// A dialog that supplies only its template.
class BareDialog : public DialogBase {
public:
    BareDialog(DialogSet& set, const char* name, QWidget* owner = nullptr)
        : DialogBase(set, owner), m_name(name) {}

protected:
    const char* TemplateName() const override { return m_name; }

private:
    const char* m_name;
};

// Writes down every operation the framework calls, and ends only through button 1.
class RecordingDialog : public DialogBase {
public:
    explicit RecordingDialog(DialogSet& set) : DialogBase(set) {}
    QStringList calls;

protected:
    const char* TemplateName() const override { return "TESTDLG"; }
    void OnApply() override { calls << "apply"; }
    void OnButton151() override { calls << "151"; }
    void OnButton178() override { calls << "178"; }
    void OnListPrevious() override { calls << "previous"; }
    void OnListNext() override { calls << "next"; }
    void OnOk() override { calls << "ok"; }
    void OnEnd(int code) override { calls << QStringLiteral("end %1").arg(code); }
    void OnCheck(int id) override { calls << QStringLiteral("check %1").arg(id); }
    void OnEditChange(int id) override { calls << QStringLiteral("edit %1").arg(id); }
    void OnSelChange(QWidget* control) override {
        calls << QStringLiteral("select %1").arg(controlId(control));
    }
    void OnLButtonDown(int x, int y) override {
        calls << QStringLiteral("down %1,%2").arg(x).arg(y);
    }
    void OnDoubleClick(QWidget* control) override {
        calls << QStringLiteral("double %1").arg(controlId(control));
    }
    bool OnOtherCommand(int id) override {
        calls << QStringLiteral("other %1").arg(id);
        return true;
    }
    int OnMeasureItem(QWidget*) override { return 29; }
    // Paints the second item of a list in one colour, leaving the others to the list.
    bool OnDrawListItem(QListWidget&, int row, QPainter& painter, const QRect& rect,
                        bool) override {
        if (row != 1)
            return false;
        painter.fillRect(rect, QColor(10, 120, 30));
        return true;
    }
};

// Ends itself from its timer 1, started once its timer 2 has fired twice; nobody answers it.
class TimedDialog : public DialogBase {
public:
    explicit TimedDialog(DialogSet& set) : DialogBase(set) {}
    QList<int> fired;

protected:
    const char* TemplateName() const override { return "INPUT"; }
    void OnInitDialog() override { StartTimer(2, 1); }
    void OnTimer(int id) override {
        fired << id;
        if (id == 2 && fired.count(2) == 2) {
            StopTimer(2);
            StartTimer(1, 1);
        }
        if (id == 1)
            done(5);
    }
};

class DialogBaseTest : public DialogFixture {};

TEST_F(DialogBaseTest, TemplatesBuildTheirControlsAndRefuseWhatTheyCannotBuild) {
    QDialog input;
    QString error;
    ASSERT_TRUE(LoadDialogTemplate("INPUT", input, &error)) << error.toStdString();
    EXPECT_EQ(input.windowTitle(), "Input");
    EXPECT_TRUE(input.isModal());
    auto* prompt = input.findChild<QLabel*>("text10");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->property("ctrlId").toInt(), 10);
    EXPECT_EQ(prompt->textFormat(), Qt::PlainText);
    EXPECT_EQ(prompt->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_FALSE(input.findChild<QLabel*>("icon103")->pixmap().isNull());
    EXPECT_NE(input.findChild<QLineEdit*>("edit20"), nullptr);
    auto* ok = input.findChild<QPushButton*>("button1");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->text(), "&OK");

    const char* broken[][2] = {
        {"<ui><widget class=\"QDialog\"><widget class=\"QTreeView\"/></widget></ui>", "QTreeView"},
        {"<ui><widget class=\"QDialog\"><property name=\"colour\"><string>x</string></property>"
         "</widget></ui>",
         "colour"},
        {"<ui><widget class=\"QDialog\"><widget class=\"QLabel\" name=\"l\"><property "
         "name=\"buddy\"><cstring>nowhere</cstring></property></widget></widget></ui>",
         "nowhere"},
        {"<ui><widget class=\"QDialog\">", "line"},
        {"<dialog/>", "not a dialog template"},
    };
    for (const auto& [text, reason] : broken) {
        QByteArray bytes(text);
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        QDialog dialog;
        EXPECT_FALSE(BuildDialogTemplate(device, dialog, &error)) << text;
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << error.toStdString();
    }

    bool hookRan = false;
    ModalAnswer answer(dialogs, [&hookRan](DialogBase&) { hookRan = true; });
    BareDialog missing(dialogs, "NOSUCH");
    EXPECT_EQ(missing.RunModal(), -1);
    EXPECT_FALSE(hookRan);
}

TEST_F(DialogBaseTest, ABareDialogEndsWithCodeOneWhicheverWayItCloses) {
    struct Case {
        const char* name;
        int button;
    };
    // Button 0 stands for the window's close box, -1 for Escape.
    for (const Case& c : {Case{"INPUT", 1}, Case{"INPUT", 2}, Case{"QUERY", 6}, Case{"QUERY", 7},
                          Case{"QUERY", 2}, Case{"QUERY", 0}, Case{"INPUT", -1}}) {
        ModalAnswer answer(dialogs, [&c](DialogBase& dialog) {
            if (c.button > 0)
                EXPECT_TRUE(dialog.press(c.button));
            else if (c.button == 0)
                dialog.close();
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
            EXPECT_TRUE(dialog.ended());
        });
        BareDialog dialog(dialogs, c.name);
        EXPECT_EQ(dialog.RunModal(), 1) << c.name << " " << c.button;
    }
}

TEST_F(DialogBaseTest, ControlsReachTheirOperationsByControlId) {
    RecordingDialog dialog(dialogs);
    ModalAnswer answer(dialogs, [](DialogBase& shown) {
        for (int id : {150, 151, 178, 30, 36, 170, 171, 172, 99})
            EXPECT_TRUE(shown.press(id)) << id;
        EXPECT_FALSE(shown.press(157)) << "a disabled button cannot be pressed";
        shown.done(3);
    });
    EXPECT_EQ(dialog.RunModal(), 3);
    EXPECT_EQ(dialog.calls, QStringList({"apply", "151", "178", "check 30", "check 36", "ok", "ok",
                                         "end 2", "other 99"}));
}

TEST_F(DialogBaseTest, OwnerDrawnListsTheirKeysAndEditChanges) {
    RecordingDialog dialog(dialogs);
    ModalAnswer answer(dialogs, [&dialog](DialogBase&) {
        auto* list = dialog.control<QListWidget>(97);
        list->addItems({"one", ".two", "-three"});
        list->setCurrentRow(0);
        dialog.calls.clear();
        EXPECT_EQ(list->sizeHintForRow(0), 29);
        const QImage items = list->viewport()->grab().toImage();
        EXPECT_EQ(items.pixelColor(5, 29 + 14), QColor(10, 120, 30)) << "the dialog draws row 1";
        EXPECT_NE(items.pixelColor(5, 14), QColor(10, 120, 30));
        // Button 157 starts disabled, so "." is swallowed without a call.
        for (const char key : {'.', '-', ' '})
            QTest::keyClick(list, key);
        dialog.control(157)->setEnabled(true);
        QTest::keyClick(list, '.');
        EXPECT_EQ(list->currentRow(), 0) << "the list keys are not passed on to the list";

        list->setCurrentRow(2);

        dialog.setEditText(20, "written by the program");
        QTest::keyClicks(dialog.control(20), "x");
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(3, 4));
        EXPECT_EQ(dialog.clickPoint(), QPoint(3, 4));
        dialog.done(1);
    });
    dialog.RunModal();
    EXPECT_EQ(dialog.calls,
              QStringList({"previous", "double 97", "next", "select 97", "edit 20", "down 3,4"}));
}

// How many pixels of `image` have the colour `colour`.
int pixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

TEST_F(DialogBaseTest, OwnerDrawnButtonsShowTheBitmapOfTheirStateAndDimWhenDisabled) {
    const QColor plain(200, 0, 0), pushed(0, 160, 0), focused(0, 0, 200), off(90, 90, 90),
        on(230, 200, 0), lightGrey(192, 192, 192);
    RecordingDialog dialog(dialogs);
    ModalAnswer answer(dialogs, [&](DialogBase&) {
        const auto corner = [](QWidget* button) {
            return button->grab().toImage().pixelColor(1, 1);
        };
        auto* button = dialog.control<QPushButton>(181);
        auto* toggle = dialog.control<QPushButton>(154);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        toggle->setFocus();
        EXPECT_EQ(corner(button), plain);
        button->setDown(true);
        EXPECT_EQ(corner(button), pushed);
        button->setFocus();
        EXPECT_EQ(corner(button), pushed) << "pushed wins over focused";
        button->setDown(false);
        EXPECT_EQ(corner(button), focused);
        EXPECT_EQ(corner(toggle), off);
        toggle->setChecked(true);
        EXPECT_EQ(corner(toggle), on);

        button->setEnabled(false);
        const QImage dimmed = button->grab().toImage();
        EXPECT_GT(pixelsOf(dimmed, lightGrey), 0);
        EXPECT_GT(pixelsOf(dimmed, plain), 0) << "the pattern lets the bitmap through";

        // Without bitmaps a button shows its text, dimmed in the same way.
        QWidget* unpainted = dialog.control(182);
        const QImage enabled = unpainted->grab().toImage();
        unpainted->setEnabled(false);
        const QImage disabled = unpainted->grab().toImage();
        EXPECT_NE(enabled, disabled);
        EXPECT_GT(pixelsOf(disabled, lightGrey), disabled.width() * disabled.height() / 4);
        dialog.done(1);
    });
    dialog.RunModal();
}

TEST_F(DialogBaseTest, TimersReachOnTimerByTheirOwnIdsInAModalRun) {
    TimedDialog dialog(dialogs);
    EXPECT_EQ(dialog.RunModal(), 5);
    EXPECT_EQ(dialog.fired, QList<int>({2, 2, 1}));
}

TEST_F(DialogBaseTest, DialogsJoinAndLeaveTheStackInAnyOrder) {
    auto first = std::make_unique<BareDialog>(dialogs, "INPUT");
    auto second = std::make_unique<BareDialog>(dialogs, "INPUT");
    auto third = std::make_unique<BareDialog>(dialogs, "INPUT");
    EXPECT_EQ(dialogs.head, third.get());
    EXPECT_EQ(third->previousDialog(), second.get());
    second.reset();
    EXPECT_EQ(third->previousDialog(), first.get());
    third.reset();
    EXPECT_EQ(dialogs.head, first.get());
    first.reset();
    EXPECT_EQ(dialogs.head, nullptr);
}

TEST_F(DialogBaseTest, DialogsWithoutAnOwnerBelongToTheMainFrame) {
    auto frame = std::make_unique<QWidget>();
    dialogs.mainFrame = frame.get();
    EXPECT_EQ(BareDialog(dialogs, "INPUT").parentWidget(), frame.get());
    QWidget other;
    EXPECT_EQ(BareDialog(dialogs, "INPUT", &other).parentWidget(), &other);
    frame.reset();
    EXPECT_EQ(BareDialog(dialogs, "INPUT").parentWidget(), nullptr)
        << "a frame that went is forgotten";
}

TEST_F(DialogBaseTest, EveryDialogStartsWhereTheLastOneEnded) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ModalAnswer first(dialogs, [&](DialogBase& dialog) {
        const QPoint off = dialog.frameGeometry().center() - screen.center();
        EXPECT_LE(off.manhattanLength(), 2)
            << "the first dialog is centred, not off by " << off.x() << "," << off.y() << " "
            << dialog.frameGeometry().width();
        dialog.move(37, 41);
        dialog.press(1);
    });
    BareDialog(dialogs, "INPUT").RunModal();

    QPoint secondPlace;
    ModalAnswer second(dialogs, [&](DialogBase& dialog) {
        secondPlace = dialog.pos();
        dialog.press(6);
    });
    BareDialog(dialogs, "QUERY").RunModal();
    EXPECT_EQ(secondPlace, QPoint(37, 41));

    // A place on a screen that has gone is pulled back onto the screen.
    dialogs.placement.moveTopLeft(QPoint(screen.right() + 500, screen.bottom() + 500));
    QRect third;
    ModalAnswer offScreen(dialogs, [&third](DialogBase& dialog) {
        third = dialog.frameGeometry();
        dialog.press(1);
    });
    BareDialog(dialogs, "INPUT").RunModal();
    EXPECT_TRUE(screen.contains(third.topLeft())) << third.x() << "," << third.y();
}

// Two frames' dialogs do not meet: each set has its own stack, place and answers.
TEST_F(DialogBaseTest, EachSetKeepsItsOwnStackPlaceAndAnswers) {
    DialogSet other;
    BareDialog mine(dialogs, "INPUT");
    BareDialog theirs(other, "INPUT");
    EXPECT_EQ(dialogs.head, &mine);
    EXPECT_EQ(other.head, &theirs);
    EXPECT_EQ(theirs.previousDialog(), nullptr);

    int mineAnswered = 0;
    int theirsAnswered = 0;
    ModalAnswer answerMine(dialogs, [&](DialogBase& dialog) {
        ++mineAnswered;
        dialog.move(50, 60);
        dialog.press(1);
    });
    ModalAnswer answerTheirs(other, [&](DialogBase& dialog) {
        ++theirsAnswered;
        dialog.press(1);
    });
    BareDialog(other, "INPUT").RunModal();
    EXPECT_EQ(mineAnswered, 0);
    EXPECT_EQ(theirsAnswered, 1);
    BareDialog(dialogs, "INPUT").RunModal();
    EXPECT_EQ(mineAnswered, 1);
    EXPECT_EQ(dialogs.placement.topLeft(), QPoint(50, 60));
    EXPECT_NE(other.placement.topLeft(), QPoint(50, 60));
}

} // namespace
} // namespace tarvo
