// The tool bar: where buttons sit, what a click sends, momentary presses, stepping through
// alternatives both ways, the list of alternatives, hints, and how it looks.
#include "shell/tool_bar.h"

#include "shell/frame_menus.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tarvo {
namespace {

ButtonSet readSet(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    ButtonSet set;
    set.buttons = ReadButtonSet(file, "Net", &set.count, kButtonWidth, kButtonScale);
    std::fclose(file);
    return set;
}

struct BarFixture : ::testing::Test {
    void SetUp() override {
        set = readSet("Net 4 (\n"
                      "  2, A, Undo, 251\n"
                      "  -, 10\n"
                      "  13, , Bold, 280\n"
                      "  5, d, \"Delete node\", 252\n"
                      "  22, A3, Justification, 301 ( 22, , First, 301  23, d, Centred, 302"
                      "  24, , Last, 303 )\n"
                      ")\n");
        bar.resize(400, bar.height());
        bar.setButtonArea(4, 2, 0);
        bar.setButtonSet(&set);
        bar.show();
    }
    void TearDown() override {
        bar.setButtonSet(nullptr);
        ReleaseButtons(set.buttons, set.count);
    }
    ButtonSet set;
    ToolBar bar;
};

TEST_F(BarFixture, ButtonsSitAtTheirPlacesAndClicksSendTheirCommands) {
    ASSERT_TRUE(bar.glyphsLoaded());
    EXPECT_EQ(bar.buttonAt(QPoint(5, 10)), 0);
    // After a separator of 10 x 1.2 pixels.
    EXPECT_EQ(bar.buttonRect(1).left(), 4 + 24 + 12);
    EXPECT_EQ(bar.buttonAt(QPoint(4 + 24 + 5, 10)), -1);
    EXPECT_EQ(bar.buttonAt(QPoint(5, 27)), -1);
    QSignalSpy sent(&bar, &ToolBar::commandChosen);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.buttonRect(1).center());
    // A disabled button sends nothing.
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.buttonRect(2).center());
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toInt(), 280);
    EXPECT_FALSE(set.buttons[1].has(ButtonState::Pressed));
    // Enabling all makes the disabled one send.
    bar.setAllButtonsEnabled(true);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.buttonRect(2).center());
    EXPECT_EQ(sent.count(), 2);
}

TEST_F(BarFixture, MomentaryButtonsShowPressedForAMomentAndSendAtOnce) {
    QSignalSpy sent(&bar, &ToolBar::commandChosen);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.buttonRect(0).center());
    EXPECT_EQ(sent.count(), 1);
    EXPECT_TRUE(set.buttons[0].has(ButtonState::Pressed));
    QTest::qWait(kMomentaryMs + 150);
    EXPECT_FALSE(set.buttons[0].has(ButtonState::Pressed));
}

TEST_F(BarFixture, AlternativesStepBothWaysSkippingDisabledOnesAndOpenAsAList) {
    QSignalSpy sent(&bar, &ToolBar::commandChosen);
    const ButtonRecord& justify = set.buttons[3];
    // An alternative's style in the file is not used; the menus disable one.
    ASSERT_FALSE(justify.alternatives[1].has(ButtonState::Disabled));
    SetButtonFlags(set, 302, false, -1);
    // From First, forwards past the disabled Centred to Last; backwards wraps round to Last
    // again from First.
    bar.press(3, false);
    EXPECT_EQ(justify.command, 303);
    EXPECT_STREQ(justify.label, "Last");
    EXPECT_EQ(justify.image, 24);
    bar.press(3, true);
    EXPECT_EQ(justify.command, 301);
    bar.press(3, true);
    EXPECT_EQ(justify.command, 303);
    ASSERT_EQ(sent.count(), 3);
    EXPECT_EQ(sent.at(2).at(0).toInt(), 303);

    // Resting over the button opens its list; picking a row sends that alternative, a
    // disabled row nothing.
    // The mouse comes from elsewhere: a move onto the point it is at already would be no move.
    QTest::mouseMove(&bar, QPoint(1, 1));
    QTest::mouseMove(&bar, bar.buttonRect(3).center());
    ASSERT_NE(bar.popup(), nullptr);
    EXPECT_EQ(bar.openAlternatives(), 3);
    EXPECT_EQ(bar.popup()->fullHeight(), 3 * ToolBar::kButtonSize);
    while (bar.popup()->grow()) {
    }
    EXPECT_EQ(bar.popup()->shownHeight(), 72);
    bar.pickAlternative(1);
    EXPECT_EQ(sent.count(), 3);
    bar.pickAlternative(0);
    EXPECT_EQ(justify.command, 301);
    EXPECT_EQ(sent.count(), 4);
}

TEST_F(BarFixture, ARestingMouseGetsTheHintAndTheBarLooksRight) {
    const QPoint at = bar.mapToGlobal(bar.buttonRect(2).center());
    bar.showHint(at);
    ASSERT_NE(bar.hintWindow(), nullptr);
    EXPECT_EQ(bar.hintWindow()->text(), "Delete node");
    EXPECT_EQ(bar.hintWindow()->objectName(), "TrvPop");
    bar.showHint(bar.mapToGlobal(QPoint(390, 10)));
    EXPECT_FALSE(bar.hintWindow()->isVisible());

    const QImage picture = bar.grab().toImage();
    if (const char* out = std::getenv("TARVO_TOOL_BAR_PNG"))
        picture.save(QString::fromLocal8Bit(out));
    // The glyph of Undo is drawn in its button: something neither grey nor white there.
    bool inked = false;
    const QRect undo = bar.buttonRect(0);
    for (int y = undo.top() + 4; y < undo.bottom() - 4; ++y)
        for (int x = undo.left() + 4; x < undo.right() - 4; ++x)
            inked = inked || qBlue(picture.pixel(x, y)) > qRed(picture.pixel(x, y)) + 40;
    EXPECT_TRUE(inked);
}

TEST_F(BarFixture, HintsFollowTheMouseIntoTheListOfAlternativesAndGoWhenItLeaves) {
    auto move = [](QWidget* widget, QPoint at) {
        QMouseEvent event(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    };
    auto leave = [](QWidget* widget) {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &event);
    };
    // Resting on a button: the hint waits, then shows; leaving the bar takes it away.
    move(&bar, bar.buttonRect(2).center());
    EXPECT_TRUE(bar.hintPending());
    bar.showHint(bar.mapToGlobal(bar.buttonRect(2).center()));
    ASSERT_NE(bar.hintWindow(), nullptr);
    EXPECT_TRUE(bar.hintWindow()->isVisible());
    leave(&bar);
    EXPECT_FALSE(bar.hintPending());
    EXPECT_FALSE(bar.hintWindow()->isVisible()) << "no hint stays behind the mouse";

    // Over the multi-choice button its list opens; the mouse goes down into it, leaving the
    // bar, and each row it rests on gets the alternative's hint.
    move(&bar, bar.buttonRect(3).center());
    ToolPopup* popup = bar.popup();
    ASSERT_NE(popup, nullptr);
    while (popup->grow()) {
    }
    leave(&bar);
    for (const int row : {2, 0}) {
        SCOPED_TRACE(row);
        const QPoint inRow(ToolBar::kButtonSize / 2, row * ToolBar::kButtonSize + 5);
        move(popup, inRow);
        EXPECT_TRUE(bar.hintPending());
        bar.showHint(popup->mapToGlobal(inRow));
        EXPECT_TRUE(bar.hintWindow()->isVisible());
        EXPECT_EQ(bar.hintWindow()->text(), row == 2 ? "Last" : "First");
        // Resting on, the hint stays and is not asked for again.
        move(popup, inRow + QPoint(1, 0));
        EXPECT_FALSE(bar.hintPending());
    }
    leave(popup);
    EXPECT_FALSE(bar.hintWindow()->isVisible());
    EXPECT_FALSE(bar.hintPending());
}

TEST_F(BarFixture, TheBarIsOneButtonAndOneLineHighAndTheWindowMenuShowsPlainCaptions) {
    // The buttons of a bar as made fill it above its bottom line.
    ToolBar made;
    made.setButtonSet(&set);
    EXPECT_EQ(made.height(), ToolBar::kButtonSize + 1);
    for (int i = 0; i < set.count; ++i) {
        EXPECT_GE(made.buttonRect(i).top(), 0);
        EXPECT_LT(made.buttonRect(i).bottom(), made.height() - 1) << i;
    }
    made.setButtonSet(nullptr);
    QWidget owner;
    const MenuBarItems items = BuildMenuBar(MenuBarKind::View, &owner);
    ASSERT_NE(items.windowList, nullptr);
    QStringList captions;
    for (const QAction* item : items.windowList->actions())
        captions << item->text();
    EXPECT_EQ(captions, (QStringList{"&Tile horizontal", "&Cascade", "Arrange &Icons",
                                     "Tile &vertical", "Close &All"}));
}

TEST_F(BarFixture, TheThreeListsSitInPlaceSendTheirIdsAndAreDrawnByTheView) {
    QComboBox* nodes = bar.list(kNodeList);
    QComboBox* relations = bar.list(kRelationList);
    ASSERT_NE(nodes, nullptr);
    ASSERT_NE(bar.list(kFontList), nullptr);
    EXPECT_EQ(bar.list(97), nullptr);
    EXPECT_FALSE(nodes->isVisible());
    // 63 and 184 times 1.2, and 2 pixels lower than -1.
    EXPECT_EQ(nodes->geometry().left(), 75);
    EXPECT_EQ(nodes->geometry().top(), 1);
    EXPECT_EQ(nodes->width(), 120);
    EXPECT_EQ(relations->geometry().left(), 220);
    EXPECT_EQ(relations->width(), 72);
    EXPECT_EQ(relations->toolTip(), "Select relation");

    QSignalSpy sent(&bar, &ToolBar::commandChosen);
    QSignalSpy opening(&bar, &ToolBar::listOpening);
    int drawn = 0;
    bar.setListItemPainter([&](int list, int, QPainter&, const QRect&, bool) {
        EXPECT_EQ(list, kNodeList);
        ++drawn;
    });
    nodes->addItems({"word", "noun"});
    nodes->show();
    nodes->showPopup();
    EXPECT_EQ(opening.count(), 1);
    nodes->view()->grab();
    EXPECT_GT(drawn, 0);
    nodes->hidePopup();
    Q_EMIT nodes->activated(1);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toInt(), kNodeList);
    // The font list opens without asking the view to fill it.
    bar.list(kFontList)->showPopup();
    EXPECT_EQ(opening.count(), 1);
    bar.list(kFontList)->hidePopup();
}

} // namespace
} // namespace tarvo
