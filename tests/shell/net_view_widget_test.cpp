// The view window: it paints its view, fits it when it first shows, and passes keys on.
#include "shell/net_view_widget.h"

#include "labels/accents.h"
#include "labels/colours.h"
#include "labels/label_markup.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/keyboard_layout.h"
#include "platform/keys.h"
#include "platform/qt/qt_display.h"
#include "view/label_editor.h"
#include "view/net_view.h"
#include "view/shapes.h"
#include "view/view_geometry.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
#include "view/view_window.h"

#include "support/view_fixture.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

QColor qcolour(const PaletteEntry& entry) {
    return QColor(entry.red, entry.green, entry.blue);
}

int inkIn(const QImage& image) {
    int ink = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            ink += image.pixelColor(x, y) != QColor(Qt::white);
    return ink;
}

// A view window of the given size on "word" of the grammar network; the view and the network
// go with it.
class WordWindow {
public:
    WordWindow(int width, int height, OpenAt openAt = ViewStartup{}.openAt)
        : network(testing_support::ReadNetworkText(testing_support::kGrammar)) {
        widget.resize(width, height);
        widget.show();
        ViewStartup startup;
        startup.openAt = openAt;
        created = CreateView(view, *network, network->find("word", 0), &widget.host(), nullptr,
                             startup) == 1;
        if (created)
            widget.setView(&view);
    }
    ~WordWindow() {
        widget.setView(nullptr);
        if (created)
            DestroyView(view);
    }
    WordWindow(const WordWindow&) = delete;
    WordWindow& operator=(const WordWindow&) = delete;

    // Before the view, which goes first.
    std::unique_ptr<Network> network;
    NetViewWidget widget;
    NetView view;
    bool created = false;
};

TEST(NetViewWidget, PaintsItsViewFittedToTheWindowAndTakesTheViewsKeys) {
    {
        WordWindow window(500, 400, OpenAt::FitToWindow);
        ASSERT_TRUE(window.created);
        NetViewWidget& widget = window.widget;
        NetView& view = window.view;
        EXPECT_EQ(widget.windowTitle(), QString("Entity Net (word) 2.00"));
        // The fit to the window is posted; it has run once events are handled.
        QTest::qWait(20);
        EXPECT_FALSE(view.geometry.scaleToWindowPossible);
        const QImage shown = widget.viewport()->grab().toImage();
        EXPECT_GT(inkIn(shown), 200);
        EXPECT_TRUE(view.options.highlightLinks);
        QTest::keyClick(&widget, Qt::Key_L, Qt::ControlModifier);
        EXPECT_FALSE(view.options.highlightLinks);
        EXPECT_EQ(NetViewWidget::viewKey(Qt::Key_PageDown), platform::keys::kPageDown);
        EXPECT_EQ(NetViewWidget::viewKey(Qt::Key_F4), platform::keys::kF1 + 3);
    }
}

TEST(NetViewWidget, TheTitleAndHoverTextsShowPhoneticNamesAsIpaAndAccentsAsThemselves) {
    const auto net =
        testing_support::ReadNetworkText("#ENTITIES\n<phon>dQg<\\phon> isa \"caf\xe9\"\n#FONTS\n");
    {
        NetViewWidget widget;
        widget.resize(500, 400);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        NetView view;
        char* dogLabel = MarkupToLabel("<phon>dQg<\\phon>", net->labelIds());
        ASSERT_EQ(CreateView(view, *net, net->find(dogLabel, 0), &widget.host(), nullptr, {}), 1);
        widget.setView(&view);
        QTest::qWait(20);
        EXPECT_TRUE(
            widget.windowTitle().startsWith(QString::fromUtf8("Entity Net (d\u00e6\u0261) ")))
            << widget.windowTitle().toStdString();

        auto* dog = asViewNode(findNodeIn(view.layout.nodes, dogLabel, 0));
        auto* cafe = asViewNode(findNodeIn(view.layout.nodes, "caf\xe9", 0));
        Release(dogLabel);
        ASSERT_TRUE(dog && cafe);
        EXPECT_EQ(HoverText(view, BoxCentre(dog->layoutBox)), "d\u00e6\u0261");
        EXPECT_EQ(HoverText(view, BoxCentre(cafe->layoutBox)), "caf\u00e9");
        ToggleSlotHidden(view, dog, ParentSlot, false);
        const platform::Point marker = markerPoint(view, dog, true);
        EXPECT_EQ(HoverText(view, marker), "Parents: (caf\u00e9)");

        // The pop-up shows the text as it is given, IPA and all.
        const std::string hover = HoverText(view, BoxCentre(dog->layoutBox));
        widget.host().showPopupText(BoxCentre(dog->layoutBox), hover.c_str());
        EXPECT_EQ(QToolTip::text(), QString::fromUtf8("d\u00e6\u0261"));
        widget.host().showPopupText({}, "");
        widget.setView(nullptr);
        DestroyView(view);
    }
}

TEST(NetViewWidget, CtrlWithALetterTheViewLeavesAloneIsAnAccentKeyInTheEditor) {
    platform::UsKeyboardLayout layout;
    InitAccentKeys(layout);
    {
        WordWindow window(500, 400);
        ASSERT_TRUE(window.created);
        NetViewWidget& widget = window.widget;
        NetView& view = window.view;
        QTest::qWait(20);
        QTest::keyClick(&widget, Qt::Key_Return);
        ASSERT_TRUE(EditorOpen(view));
        // The keys that type the characters of the ligature and the dash accents, as the
        // window system reports them: with their native codes.
        auto accentKey = [&](unsigned char character, Qt::Key key) {
            int code = 0;
            bool shift = false;
            ASSERT_TRUE(layout.keyForCharacter(character, &code, &shift));
            const Qt::KeyboardModifiers mods =
                Qt::ControlModifier | (shift ? Qt::ShiftModifier : Qt::NoModifier);
            QKeyEvent press(QEvent::KeyPress, key, mods, static_cast<quint32>(code), 0, 0);
            QApplication::sendEvent(&widget, &press);
        };
        accentKey('O', Qt::Key_O);
        QTest::keyClicks(&widget, "ee");
        accentKey('-', Qt::Key_Minus);
        QTest::keyClicks(&widget, "-");
        EXPECT_EQ(EditorText(view), "word\x9C"
                                    "e\x97");
        // Ctrl with the letters the view uses keeps formatting.
        QTest::keyClick(&widget, Qt::Key_B, Qt::ControlModifier);
        EXPECT_EQ(StyleAtCaret(view) & kBold, kBold);
        CloseEditor(view, false);
    }
    accentKeys() = AccentKeyState{};
}

// The window hands wheel events to its view with their modifiers, pixels and pointer: the
// scroll bars' own wheel handling would page with Shift and with Ctrl, and never zoom.
TEST(NetViewWidget, TheWheelScrollsAndCtrlWheelZoomsAboutThePointer) {
    {
        WordWindow window(300, 240);
        ASSERT_TRUE(window.created);
        NetViewWidget& widget = window.widget;
        NetView& view = window.view;
        QTest::qWait(20);
        view.geometry.aspect = 0.0f;
        SetCellExtents(view, 150.0f, 150.0f);
        ScrollViewTo(view, 0, 0);
        ASSERT_GT(view.geometry.scrollRangeX, 100);
        ASSERT_GT(view.geometry.scrollRangeY, 100);
        auto wheel = [&](QPoint angle, QPoint pixels, Qt::KeyboardModifiers mods, QPoint at) {
            QWheelEvent event(at, widget.viewport()->mapToGlobal(at), pixels, angle, Qt::NoButton,
                              mods, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget.viewport(), &event);
        };
        const int notch =
            QApplication::wheelScrollLines() * widget.verticalScrollBar()->singleStep();
        wheel({0, -120}, {}, Qt::NoModifier, {50, 50});
        EXPECT_EQ(view.geometry.scrollY, notch);
        EXPECT_EQ(view.geometry.scrollX, 0);
        wheel({0, -120}, {}, Qt::ShiftModifier, {50, 50});
        EXPECT_EQ(view.geometry.scrollX, notch);
        EXPECT_EQ(view.geometry.scrollY, notch);
        wheel({0, -30}, {0, -5}, Qt::NoModifier, {50, 50});
        EXPECT_EQ(view.geometry.scrollY, notch + 5);
        // The point of the cells under the pointer stays under it: 150 -> 166 pixel cells.
        // Along the layers (down) the cells start after the picture's margin.
        const int x = view.geometry.scrollX + 40;
        const int y = view.geometry.scrollY + 60 - view.geometry.layerMargin;
        wheel({0, 120}, {}, Qt::ControlModifier, {40, 60});
        EXPECT_EQ(view.geometry.slotExtent, 166.0f);
        EXPECT_NEAR(view.geometry.scrollX + 40, x * 166.0 / 150.0, 1.0);
        EXPECT_NEAR(view.geometry.scrollY + 60 - view.geometry.layerMargin, y * 166.0 / 150.0, 1.0);
    }
}

TEST(PreviewPaint, EightSamplesShadedFromTheTrialRampTheNearestCurrent) {
    ColourState colours;
    InitColourTable(colours, {0, 0, 255});
    MakeShadeRamp(colours, kTrialRampFirst, {255, 0, 0}, {0, 255, 0});
    platform::qt::ImageDisplay image(240, 180);
    PaintPreview(image, colours, 240, 180);
    const QImage& picture = image.finish();
    // Distance 7 is drawn first, farthest right and down; distance 0 last, at the top left,
    // framed as the current node.
    EXPECT_EQ(picture.pixelColor(234, 174), qcolour(colours.ColourTable[kTrialRampFirst + 7]));
    EXPECT_EQ(picture.pixelColor(30, 20), QColor(255, 0, 0));
    const QColor highlight = qcolour(colours.ColourTable[kHighlightTintEntry]);
    int framed = 0;
    for (int x = 0; x < 20; ++x)
        framed += picture.pixelColor(x, 43) == highlight;
    EXPECT_EQ(framed, 3);
}

} // namespace
} // namespace tarvo
