// A view's options, title, menu captions, scale commands, arrow keys and command table, in a
// window that is not there.
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "platform/keys.h"
#include "view/commands.h"
#include "view/layout.h"
#include "view/shapes.h"
#include "view/view_commands.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_scale.h"

#include "support/null_display.h"
#include "support/view_fixture.h"

#include <cstdlib>
#include <functional>
#include <string>

namespace tarvo {
namespace {

using testing_support::kGrammar;

class ViewStateTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(ViewStateTest, ANewViewHasTheDefaultsItsTitleAndIsFittedToTheWindow) {
    load(kGrammar);
    openViewsAt = OpenAt::FitToWindow;
    NetView& v = open("word", 800, 600, false);
    EXPECT_EQ(v.options.justification, Justification::Centred);
    EXPECT_EQ(v.options.orientation, Orientation::TopDown);
    EXPECT_EQ(v.options.lineStyle, LineStyle::Curved);
    EXPECT_EQ(v.options.distanceMode, (DistanceMode{DistanceShade::None, true}));
    EXPECT_TRUE(v.options.highlightLinks);
    EXPECT_EQ(host->title, "Entity Net (word) 2.00");
    EXPECT_TRUE(v.current->hasFlag(NodeFlags::CurrentMark));
    EXPECT_EQ(v.geometry.slotExtent, 15.0f);
    // The fit to the window waits until the window has shown.
    EXPECT_EQ(host->runPosted(), 1);
    EXPECT_GT(v.geometry.slotExtent, 15.0f);
    // 800 / 4 slots and 600 / 5 layers less the margins for the end markers, the aspect of
    // 15 x 15 kept: the layers decide, as large as they fit.
    EXPECT_EQ(v.geometry.slotExtent, v.geometry.layerExtent);
    EXPECT_GT(v.geometry.layerMargin, 0);
    EXPECT_LE(5 * v.geometry.layerExtent + static_cast<float>(2 * v.geometry.layerMargin), 600);
    const float larger = v.geometry.layerExtent + 1.0f;
    EXPECT_GT(5 * larger + static_cast<float>(2 * LayerMarginFor(larger, larger)), 600);
    EXPECT_EQ(v.geometry.scrollRangeX, 0);
    EXPECT_EQ(v.geometry.scrollRangeY, 0);
    EXPECT_FALSE(v.geometry.scaleToWindowPossible);
    EXPECT_FALSE(menus.enables[cmd::kScaleToWindow]);
    EXPECT_EQ(menus.captions[std::pair(2, 7)], "&Orientation:\tTop-down");
    EXPECT_EQ(menus.captions[std::pair(2, 4)], "Distance &shade:\tNone");
    EXPECT_TRUE(menus.checks[cmd::kLeftToRight + 2]);
    EXPECT_TRUE(menus.checks[cmd::kDistanceNumber]);
}

TEST_F(ViewStateTest, WhereViewsOpenIsAViewOptionWithItsCaption) {
    load(kGrammar);
    NetView& v = open("word");
    EXPECT_EQ(v.options.openAt, OpenAt::Readable);
    EXPECT_EQ(menus.captions[std::pair(2, 9)], "Open views &at:\tReadable size");
    EXPECT_TRUE(menus.checks[cmd::kOpenReadable]);
    const float slot = v.geometry.slotExtent;
    EXPECT_TRUE(ViewCommand(v, cmd::kOpenReadable + 1));
    EXPECT_EQ(v.options.openAt, OpenAt::FitToWindow);
    EXPECT_EQ(menus.captions[std::pair(2, 9)], "Open views &at:\tFit to window");
    EXPECT_TRUE(menus.checks[cmd::kOpenReadable + 1]);
    EXPECT_FALSE(menus.checks[cmd::kOpenReadable]);
    EXPECT_EQ(v.geometry.slotExtent, slot) << "the open view keeps its scale";
}

TEST_F(ViewStateTest, EachOptionCommandChoosesTheModeOfItsOffsetAndTheMenusFollow) {
    load(kGrammar);
    NetView& v = open("word");
    struct Option {
        const char* name;
        int firstId;
        int count;
        int group;
        std::function<int()> chosen;
    };
    const Option options[] = {
        {"justification", cmd::kJustifyFirst, 3, kJustificationGroup,
         [&] { return ToInt(v.options.justification); }},
        {"depth", cmd::kRaiseChildren, 2, kDepthJustifyGroup,
         [&] { return ToInt(v.options.depthJustify); }},
        {"orientation", cmd::kLeftToRight, 4, kOrientationGroup,
         [&] { return ToInt(v.options.orientation); }},
        {"line style", cmd::kStraight, 2, kLineStyleGroup,
         [&] { return ToInt(v.options.lineStyle); }},
        {"shade", cmd::kShadeNone, 3, kShadeGroup,
         [&] { return ToInt(v.options.distanceMode.shade); }},
        {"open at", cmd::kOpenReadable, 2, -1, [&] { return ToInt(v.options.openAt); }},
    };
    for (const Option& option : options) {
        for (int offset = option.count - 1; offset >= 0; --offset) {
            SCOPED_TRACE(testing::Message() << option.name << " " << offset);
            EXPECT_TRUE(ViewCommand(v, option.firstId + offset));
            EXPECT_EQ(option.chosen(), offset);
            for (int other = 0; other < option.count; ++other)
                EXPECT_EQ(menus.checks[option.firstId + other], other == offset) << other;
            if (option.group >= 0) {
                EXPECT_EQ(menus.groups[option.group], offset);
            }
        }
    }
    EXPECT_TRUE(v.options.distanceMode.numbers) << "choosing a shade keeps the numbers";
    // The on-off options show as checks and as a tool bar group of 0 or 1.
    for (const bool on : {false, true}) {
        EXPECT_TRUE(ViewCommand(v, cmd::kHighlightLinks));
        EXPECT_EQ(v.options.highlightLinks, on);
        EXPECT_EQ(menus.checks[cmd::kHighlightLinks], on);
        EXPECT_EQ(menus.groups[kHighlightLinksGroup], on ? 1 : 0);
        EXPECT_TRUE(ViewCommand(v, cmd::kDistanceNumber));
        EXPECT_EQ(v.options.distanceMode.numbers, on);
        EXPECT_EQ(menus.checks[cmd::kDistanceNumber], on);
        EXPECT_EQ(menus.groups[kDistanceNumberGroup], on ? 1 : 0);
    }
}

TEST_F(ViewStateTest, LowerParentsWithoutFillersChangesOnlyTheCaption) {
    load("#ENTITIES\nb isa a\nc isa a\n#FONTS\n");
    NetView& v = open("a");
    ASSERT_EQ(v.layout.dummyCount, 0);
    const float energy = v.layout.energy;
    host->everythingInvalid = false;
    ViewCommand(v, cmd::kRaiseChildren + 1);
    EXPECT_EQ(v.options.depthJustify, DepthJustify::LowerParents);
    EXPECT_EQ(menus.captions[std::pair(2, 6)], "&Depth justify:\tLower parents");
    EXPECT_EQ(menus.groups[kDepthJustifyGroup], 1);
    EXPECT_FALSE(host->everythingInvalid) << "no relayout and no repaint";
    EXPECT_EQ(v.layout.energy, energy);
    // With fillers the layout runs again.
    load(kGrammar);
    NetView& w = open("word");
    ASSERT_GT(w.layout.dummyCount, 0);
    host->everythingInvalid = false;
    ViewCommand(w, cmd::kRaiseChildren + 1);
    EXPECT_TRUE(host->everythingInvalid);
}

TEST_F(ViewStateTest, DistanceCommandsStepTheModeAndKeepTheNumbers) {
    load(kGrammar);
    NetView& v = open("word");
    struct Step {
        int id;
        int from;
        int to;
    } steps[] = {
        {cmd::kNextShade, 5, 1},      {cmd::kNextShade, 1, 3},      {cmd::kNextShade, 2, 4},
        {cmd::kDistanceNumber, 4, 5}, {cmd::kDistanceNumber, 5, 4}, {cmd::kShadeNone, 5, 1},
        {cmd::kShadeNone + 1, 1, 3},  {cmd::kShadeNone + 2, 0, 4},
    };
    for (const Step& s : steps) {
        v.options.distanceMode = DistanceModeFromInt(s.from).value_or(DistanceMode{});
        EXPECT_TRUE(ViewCommand(v, s.id));
        EXPECT_EQ(ToInt(v.options.distanceMode), s.to) << s.id << " from " << s.from;
        EXPECT_EQ(menus.groups[kShadeGroup], s.to / 2);
        EXPECT_EQ(menus.checks[cmd::kDistanceNumber], (s.to & 1) != 0);
    }
}

TEST_F(ViewStateTest, ScaleCommandsFollowTheirRoundingAndNeverGoBelowOne) {
    load(kGrammar);
    NetView& v = open("word");
    v.geometry.aspect = 0.0f;
    ASSERT_TRUE(SetCellExtents(v, 10.0f, 20.0f));
    ExpandScale(v);
    // 10 / 0.9 = 11.1 and 20 / 0.9 = 22.2; the ratio before, 0.5, becomes the view's.
    EXPECT_EQ(v.geometry.slotExtent, 11.0f);
    EXPECT_EQ(v.geometry.layerExtent, 22.0f);
    EXPECT_FLOAT_EQ(v.geometry.aspect, 0.5f);
    ExpandScale(v);
    // 12 and 24: the layer request is the larger and drives the slot extent.
    EXPECT_EQ(v.geometry.slotExtent, 12.0f);
    EXPECT_EQ(v.geometry.layerExtent, 24.0f);
    EXPECT_TRUE(v.geometry.scaleToWindowPossible);
    EXPECT_TRUE(menus.enables[cmd::kScaleToWindow]);

    v.geometry.aspect = 0.0f;
    SetCellExtents(v, 1.0f, 1.0f);
    ReduceScale(v);
    EXPECT_EQ(v.geometry.slotExtent, 1.0f);
    EXPECT_EQ(v.geometry.layerExtent, 1.0f);
    EXPECT_FALSE(menus.enables[cmd::kReduceScale]);
    ExpandScale(v);
    EXPECT_EQ(v.geometry.slotExtent, 2.0f) << "an extent that did not grow grows by one";
    EXPECT_TRUE(menus.enables[cmd::kReduceScale]);
}

TEST_F(ViewStateTest, ScaleToWindowComesBackAfterEveryChangeOfThePictureOrTheWindow) {
    load(kGrammar);
    openViewsAt = OpenAt::FitToWindow;
    NetView& v = open("word", 800, 600);
    ASSERT_FALSE(menus.enables[cmd::kScaleToWindow]) << "the first fit leaves nothing to do";
    struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"reduce spotlight", [&] { ViewCommand(v, cmd::kReduceSpotlight); }},
        {"expand spotlight", [&] { ViewCommand(v, cmd::kExpandSpotlight); }},
        {"expand spotlight again",
         [&] {
             ViewCommand(v, cmd::kReduceSpotlight);
             ViewCommand(v, cmd::kExpandSpotlight);
         }},
        {"hide children", [&] { ViewCommand(v, cmd::kHideChildren); }},
        {"reveal them", [&] { ViewCommand(v, cmd::kHideChildren); }},
        {"insert a child", [&] { ViewCommand(v, cmd::kInsertChild); }},
        {"delete it", [&] { ViewCommand(v, cmd::kDeleteNode); }},
        {"turn the view", [&] { ViewCommand(v, cmd::kLeftToRight); }},
        {"resize the window",
         [&] {
             host->client = {500, 700};
             ViewResized(v, false, false);
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_TRUE(menus.enables[cmd::kScaleToWindow]);
        EXPECT_TRUE(ViewKey(v, platform::keys::kEnter, false, true));
        // Ctrl+Enter fitted the whole picture into the window, and a second fit has nothing to do.
        EXPECT_EQ(v.geometry.visibleSlots, v.layout.grid.slotCount);
        EXPECT_EQ(v.geometry.visibleLayers, v.layout.grid.layerCount);
        EXPECT_LE(v.geometry.totalWidth, v.geometry.clientWidth);
        EXPECT_LE(v.geometry.totalHeight, v.geometry.clientHeight);
        EXPECT_FALSE(menus.enables[cmd::kScaleToWindow]);
    }

    // Forty siblings in a window of thirty pixels: the cells stop at one pixel, part of the row
    // stays out of sight, and fitting stays possible.
    std::string text = "#ENTITIES\n";
    for (int k = 0; k < 40; ++k)
        text += "c" + std::to_string(k) + " isa root\n";
    load(text + "#FONTS\n");
    NetView& w = open("root", 30, 30);
    EXPECT_EQ(w.geometry.slotExtent, 1.0f);
    EXPECT_LT(w.geometry.visibleSlots, w.layout.grid.slotCount);
    EXPECT_TRUE(w.geometry.scaleToWindowPossible);
    EXPECT_TRUE(menus.enables[cmd::kScaleToWindow]);
}

TEST_F(ViewStateTest, ScalingKeepsTheCentreOfTheWindowInPlace) {
    load(kGrammar);
    NetView& v = open("word", 400, 300);
    v.geometry.aspect = 0.0f;
    SetCellExtents(v, 100.0f, 100.0f);
    v.geometry.scrollX = 100;
    v.geometry.scrollY = 50;
    const int before = v.geometry.layerMargin;
    SetCellExtents(v, 200.0f, 200.0f);
    // The centre (200, 150) of the window shows the point (300, 200 - margin) of the cells
    // before and after; along the layers the margin before the first cell does not scale.
    EXPECT_EQ(v.geometry.scrollX, 2 * 300 - 200);
    EXPECT_EQ(v.geometry.scrollY,
              std::min(2 * (200 - before) - 150 + v.geometry.layerMargin, v.geometry.scrollRangeY));
}

// Twelve chains nine layers deep under one root: at 80-pixel cells the picture is larger than
// a 400 x 300 window both ways, whatever the orientation.
std::string chains() {
    std::string text = "#ENTITIES\n";
    for (int k = 0; k < 12; ++k) {
        text += "x" + std::to_string(k) + "_0 isa root\n";
        for (int j = 1; j < 8; ++j)
            text += "x" + std::to_string(k) + "_" + std::to_string(j) + " isa x" +
                    std::to_string(k) + "_" + std::to_string(j - 1) + "\n";
    }
    return text + "#FONTS\n";
}

// The view at 80-pixel cells, turned, scrolled to the middle of its ranges.
void middleOfChains(NetView& v, Orientation orientation) {
    v.geometry.aspect = 0.0f;
    SetCellExtents(v, 80.0f, 80.0f);
    SetOrientation(v, orientation);
    ASSERT_GT(v.geometry.scrollRangeX, 200);
    ASSERT_GT(v.geometry.scrollRangeY, 200);
    ScrollViewTo(v, v.geometry.scrollRangeX / 2, v.geometry.scrollRangeY / 2);
}

// The node whose box centre lies nearest `p`.
ViewNode* nodeNear(NetView& v, platform::Point p) {
    struct Search {
        platform::Point p;
        ViewNode* nearest = nullptr;
        int best = 0;
    } search{p};
    ForEachCell(
        v.layout.grid,
        [](void* context, ViewNode* n, int, int) {
            auto& s = *static_cast<Search*>(context);
            if (n->hasFlag(NodeFlags::DummyNode))
                return 0;
            const platform::Point c = BoxCentre(n->layoutBox);
            const int distance = std::abs(c.x - s.p.x) + std::abs(c.y - s.p.y);
            if (!s.nearest || distance < s.best) {
                s.nearest = n;
                s.best = distance;
            }
            return 0;
        },
        &search);
    return search.nearest;
}

TEST_F(ViewStateTest, TheWheelScrollsUpAndDownWithShiftSidewaysAndTouchpadsByPixels) {
    load(chains());
    constexpr int kNotch = 48;
    struct Case {
        const char* what;
        WheelTurn turn;
        int events;
        // How far the picture moves on the screen.
        platform::Point moved;
    };
    WheelTurn down;
    down.angle = {0, -120};
    WheelTurn up;
    up.angle = {0, 120};
    WheelTurn shiftDown = down;
    shiftDown.shift = true;
    WheelTurn tiltRight;
    tiltRight.angle = {-120, 0};
    WheelTurn fine;
    fine.angle = {0, -15};
    WheelTurn touchpad;
    touchpad.angle = {24, -60};
    touchpad.pixels = {3, -7};
    WheelTurn shiftTouchpad = touchpad;
    shiftTouchpad.shift = true;
    const Case cases[] = {
        {"a notch down", down, 1, {0, -kNotch}},
        {"a notch up", up, 1, {0, kNotch}},
        {"Shift: sideways", shiftDown, 1, {-kNotch, 0}},
        {"a wheel tilted right", tiltRight, 1, {-kNotch, 0}},
        {"eight eighths of a notch", fine, 8, {0, -kNotch}},
        {"a touchpad", touchpad, 2, {6, -14}},
        {"a touchpad with Shift", shiftTouchpad, 1, {-7, 3}},
    };
    for (const Orientation orientation : {Orientation::LeftToRight, Orientation::RightToLeft,
                                          Orientation::TopDown, Orientation::BottomUp}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << ToInt(orientation) << ": " << c.what);
            NetView& v = open("root", 400, 300);
            middleOfChains(v, orientation);
            ViewNode* n = nodeNear(v, {200, 150});
            const platform::Point before = BoxCentre(n->layoutBox);
            const float extent = v.geometry.slotExtent;
            WheelRemainder left;
            for (int i = 0; i < c.events; ++i)
                ViewWheel(v, left, c.turn, kNotch);
            const platform::Point after = BoxCentre(n->layoutBox);
            EXPECT_EQ(after.x - before.x, c.moved.x);
            EXPECT_EQ(after.y - before.y, c.moved.y);
            EXPECT_EQ(v.geometry.slotExtent, extent);
        }
    }
}

TEST_F(ViewStateTest, CtrlWheelZoomsAStepANotchKeepingThePointUnderThePointer) {
    load(chains());
    for (const Orientation orientation : {Orientation::LeftToRight, Orientation::RightToLeft,
                                          Orientation::TopDown, Orientation::BottomUp}) {
        for (const platform::Point pointer : {platform::Point{90, 70}, platform::Point{310, 230}}) {
            SCOPED_TRACE(testing::Message()
                         << ToInt(orientation) << " at " << pointer.x << "," << pointer.y);
            NetView& v = open("root", 400, 300);
            middleOfChains(v, orientation);
            ViewNode* n = nodeNear(v, pointer);
            WheelRemainder left;
            WheelTurn turn;
            turn.ctrl = true;
            // A step is taken, and the node under the pointer stays there within a pixel.
            auto step = [&](int angle, int events, float extent) {
                turn.at = BoxCentre(n->layoutBox);
                turn.angle = {0, angle};
                for (int i = 0; i < events; ++i)
                    ViewWheel(v, left, turn, 48);
                EXPECT_EQ(v.geometry.slotExtent, extent);
                EXPECT_EQ(v.geometry.layerExtent, extent);
                const platform::Point now = BoxCentre(n->layoutBox);
                EXPECT_LE(std::abs(now.x - turn.at.x), 1) << now.x;
                EXPECT_LE(std::abs(now.y - turn.at.y), 1) << now.y;
            };
            // Half a notch does nothing yet; the second half expands: 80 / 0.9 = 88.9.
            turn.angle = {0, 60};
            turn.at = BoxCentre(n->layoutBox);
            ViewWheel(v, left, turn, 48);
            EXPECT_EQ(v.geometry.slotExtent, 80.0f);
            step(60, 1, 88.0f);
            // A notch back reduces: 88 x 0.9 = 79.2.
            step(-120, 1, 79.0f);
            // A fine wheel: one step for eight eighths of a notch, not one for each.
            step(15, 7, 79.0f);
            step(15, 1, 87.0f);
        }
    }
}

TEST_F(ViewStateTest, TurningTheViewKeepsTheCurrentNodeInTheWindow) {
    std::string text = "#ENTITIES\n";
    for (int k = 0; k < 40; ++k)
        text += "c" + std::to_string(k) + " isa root\n";
    load(text + "#FONTS\n");
    NetView& v = open("root", 800, 600);
    v.geometry.aspect = 0.0f;
    SetCellExtents(v, 120.0f, 40.0f);
    ViewNode* far = viewNodeFor(*v.layout.nodes, findNode("c30", 0));
    ASSERT_NE(far, nullptr);
    GoToNode(v, far, 0);
    for (const Orientation orientation : {Orientation::LeftToRight, Orientation::BottomUp,
                                          Orientation::RightToLeft, Orientation::TopDown}) {
        SCOPED_TRACE(ToInt(orientation));
        SetOrientation(v, orientation);
        const PixelBox box = v.current->layoutBox;
        EXPECT_GE(box.left, 0);
        EXPECT_LE(box.right, v.geometry.clientWidth);
        EXPECT_GE(box.top, 0);
        EXPECT_LE(box.bottom, v.geometry.clientHeight);
    }
}

TEST_F(ViewStateTest, ArrowKeysCrossLayersWhateverTheOrientation) {
    load(kGrammar);
    NetView& v = open("word");
    using namespace platform::keys;
    struct Mapping {
        Orientation orientation;
        int in[4];
        int out[4];
    } mappings[] = {
        {Orientation::TopDown, {kLeft, kUp, kRight, kDown}, {kLeft, kUp, kRight, kDown}},
        {Orientation::LeftToRight, {kLeft, kUp, kRight, kDown}, {kUp, kLeft, kDown, kRight}},
        {Orientation::RightToLeft, {kLeft, kUp, kRight, kDown}, {kDown, kLeft, kUp, kRight}},
        {Orientation::BottomUp, {kLeft, kUp, kRight, kDown}, {kLeft, kDown, kRight, kUp}},
    };
    for (const Mapping& m : mappings) {
        v.options.orientation = m.orientation;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(MapArrowKey(v, m.in[i]), m.out[i])
                << ToInt(m.orientation) << " key " << m.in[i];
        EXPECT_EQ(MapArrowKey(v, kHome), kHome);
    }
}

TEST_F(ViewStateTest, MaximisedWindowsMoveTheViewMenuOneToTheRight) {
    load(kGrammar);
    NetView& v = open("word");
    ViewResized(v, true, false);
    menus.captions.clear();
    ViewCommand(v, cmd::kLeftToRight);
    EXPECT_EQ(v.options.orientation, Orientation::LeftToRight);
    EXPECT_EQ(menus.captions[std::pair(3, 7)], "&Orientation:\tLeft to right");
    EXPECT_EQ(menus.captions[std::pair(3, 5)], "&Justification:\tCentred");
    EXPECT_EQ(menus.captions.count(std::pair(2, 7)), 0u);
    EXPECT_TRUE(menus.checks[cmd::kLeftToRight]);
    EXPECT_FALSE(menus.checks[cmd::kLeftToRight + 2]);
    // The screen cell follows the axes.
    EXPECT_EQ(v.geometry.cellWidth, v.geometry.layerExtent);
    EXPECT_EQ(v.geometry.cellHeight, v.geometry.slotExtent);
}

TEST_F(ViewStateTest, RelayoutKeepsTheCurrentNodeWhereItWas) {
    load("#ENTITIES\nb isa a\nc isa a\nd isa a\ne isa a\n#FONTS\n");
    NetView& v = open("a", 300, 200);
    v.geometry.aspect = 0.0f;
    SetCellExtents(v, 200.0f, 200.0f);
    ViewNode* d = viewNodeFor(*v.layout.nodes, findNode("d", 0));
    v.current = d;
    ScrollViewBy(v, d->layoutBox.left - 100, d->layoutBox.top - 50);
    const PixelBox before = d->layoutBox;
    const int slotBefore = d->slot;
    // With b gone, d moves a slot along its layer; the picture moves with it.
    viewNodeFor(*v.layout.nodes, findNode("b", 0))->setFlag(1, NodeFlags::Hidden);
    Relayout(v, true);
    ASSERT_NE(d->slot, slotBefore);
    EXPECT_EQ(d->layoutBox.left, before.left);
    EXPECT_EQ(d->layoutBox.top, before.top);
}

TEST_F(ViewStateTest, TheCommandTableHandlesTheViewsIdsOnly) {
    load(kGrammar);
    NetView& v = open("word");
    const int handled[] = {10,  11,  94,  95,  96,  203, 251, 252, 253, 254, 255, 261,
                           271, 274, 275, 276, 277, 280, 282, 283, 286, 287, 288, 301,
                           303, 304, 305, 311, 314, 315, 316, 317, 318, 319, 320, 321,
                           322, 323, 324, 325, 327, 329, 330, 331, 332, 333, 334, 335};
    for (int id : handled)
        EXPECT_TRUE(ViewCommand(v, id)) << id;
    for (int id : {0, 12, 101, 105, 262, 289, 300, 306, 328, 336, 540})
        EXPECT_FALSE(ViewCommand(v, id)) << id;
    // Keys reach the same commands.
    v.options.orientation = Orientation::TopDown;
    v.options.highlightLinks = true;
    EXPECT_TRUE(ViewKey(v, 'L', false, true));
    EXPECT_FALSE(v.options.highlightLinks);
    v.options.distanceMode = {DistanceShade::None, true};
    EXPECT_TRUE(ViewKey(v, 'D', true, true));
    EXPECT_EQ(v.options.distanceMode, (DistanceMode{DistanceShade::Greyed, true}));
    EXPECT_FALSE(ViewKey(v, 'Q', false, true));
}

TEST_F(ViewStateTest, ChoosingARelationInTheSecondListIsRememberedByTheView) {
    load(kGrammar);
    NetView& v = open("word");
    Node* subject = findNode("subject", 1);
    ASSERT_NE(subject, nullptr);
    menus.relationSelection = subject;
    EXPECT_TRUE(ViewCommand(v, cmd::kSelectRelation));
    EXPECT_EQ(v.selectedRelation, subject);
    // The list's default entry stands for isa links again.
    menus.relationSelection = nullptr;
    ViewCommand(v, cmd::kSelectRelation);
    EXPECT_EQ(v.selectedRelation, nullptr);
}

} // namespace
} // namespace tarvo
