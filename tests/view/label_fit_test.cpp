// Labels in their boxes: the cut of a label that does not fit, and the scale a view opens at so
// that its labels can be read.
#include "layout/view_node.h"
#include "platform/keys.h"
#include "view/layout.h"
#include "view/node_labels.h"
#include "view/shapes.h"
#include "view/view_commands.h"
#include "view/view_mouse.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include "support/null_display.h"
#include "support/view_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// Every byte is 10 pixels wide and a line 17 high; what is written is kept with where it starts.
class WrittenText : public testing_support::NullDisplay {
public:
    void textOut(const char* text, int length) override {
        runs.push_back({std::string(text, static_cast<std::size_t>(length)), currentPosition().x});
        NullDisplay::textOut(text, length);
    }
    // The text written, "|" where a run does not start where the one before ended.
    std::string joined() const {
        std::string all;
        int end = 0;
        for (const Run& run : runs) {
            if (!all.empty() && run.x != end)
                all += "|";
            all += run.text;
            end = run.x + 10 * static_cast<int>(run.text.size());
        }
        return all;
    }
    struct Run {
        std::string text;
        int x;
    };
    std::vector<Run> runs;
};

TEST(LabelFit, ALabelThatDoesNotFitEndsInAnEllipsisAfterItsLastWholeWordOrLetterThatFits) {
    struct Case {
        const char* label;
        int width;
        int height;
        const char* drawn; // the runs written, "|" between them
        bool cut;
        int lines;
    } cases[] = {
        {"alpha beta gamma", 200, 17, "alpha beta gamma", false, 1},
        // Two lines fit the whole label at 110 wide: a line counts the blank after it.
        {"alpha beta gamma", 110, 34, "alpha|beta|gamma", false, 2},
        // One line: the last whole word that fits with the ellipsis, 110 of 120.
        {"alpha beta gamma", 120, 17, "alpha|beta\x85", true, 1},
        // Two lines of 60: "gamma" would need a third.
        {"alpha beta gamma", 60, 34, "alpha|beta\x85", true, 2},
        // No whole word fits: letters of the first, 6 of them with the ellipsis in 60.
        {"Nominalisation", 60, 17, "Nomin\x85", true, 1},
        {"Nominalisation big", 65, 17, "Nomin\x85", true, 1},
        // Only the ellipsis; and where not even that fits, nothing.
        {"ab", 15, 17, "\x85", true, 1},
        {"ab", 5, 17, "", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label + std::string(" in ") + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        WrittenText display;
        const LabelFit fit = DrawNodeLabel(display, c.label, 10, {0, 0}, c.width, c.height);
        EXPECT_EQ(display.joined(), c.drawn);
        EXPECT_EQ(fit.cut, c.cut);
        EXPECT_EQ(fit.lines, c.lines);
        // Nothing is written beyond the box's sides.
        for (const WrittenText::Run& run : display.runs) {
            EXPECT_GE(run.x, -(c.width + 1) / 2) << run.text;
            EXPECT_LE(run.x + 10 * static_cast<int>(run.text.size()), (c.width + 1) / 2)
                << run.text;
        }
        const LabelFit measured = MeasureNodeLabel(display, c.label, 10, c.width, c.height);
        EXPECT_EQ(measured.cut, fit.cut);
        EXPECT_EQ(measured.lines, fit.lines);
    }
}

class OpeningScaleTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    // The labels a full paint draws.
    std::vector<DrawnLabel> drawnLabels(NetView& v) {
        testing_support::NullDisplay display;
        std::vector<DrawnLabel> drawn;
        Paint(v, display, &drawn);
        return drawn;
    }
    struct Scale {
        float slot;
        float layer;
        int points;
    };
    Scale openedScale(const char* name, OpenAt where, int width, int height) {
        openViewsAt = where;
        NetView& v = open(name, width, height);
        return {v.geometry.slotExtent, v.geometry.layerExtent, v.fonts.labelPoints};
    }

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(OpeningScaleTest, AViewWhoseFitIsReadableOpensExactlyFittedToTheWindow) {
    load("#ENTITIES\nb isa a\nc isa a\n#FONTS\n");
    const Scale fitted = openedScale("a", OpenAt::FitToWindow, 800, 600);
    const Scale readable = openedScale("a", OpenAt::Readable, 800, 600);
    ASSERT_GE(fitted.points, kReadablePoints);
    EXPECT_EQ(readable.slot, fitted.slot);
    EXPECT_EQ(readable.layer, fitted.layer);
    EXPECT_EQ(readable.points, fitted.points);
    EXPECT_FALSE(view->geometry.scaleToWindowPossible) << "nothing left for Ctrl+Enter to do";
    EXPECT_EQ(view->geometry.scrollX, 0);
    EXPECT_EQ(view->geometry.scrollY, 0);
}

TEST_F(OpeningScaleTest, AViewTooWideToReadWhenFittedOpensReadableAroundItsCurrentNode) {
    std::string text = "#ENTITIES\n";
    for (int k = 0; k < 30; ++k)
        text += "\"sibling number " + std::to_string(k) + "\" isa root\n";
    load(text + "#FONTS\n");
    const char* name = "sibling number 15";
    const Scale fitted = openedScale(name, OpenAt::FitToWindow, 600, 400);
    ASSERT_LT(fitted.points, kReadablePoints);
    // Squeezed into the window the labels are cut; the pop-up still names the node whole.
    int cut = 0;
    for (const DrawnLabel& label : drawnLabels(*view))
        cut += label.cut;
    EXPECT_GT(cut, 0);
    ViewNode* sibling = viewNodeFor(*view->layout.nodes, findNode(name, 0));
    EXPECT_EQ(HoverText(*view, BoxCentre(sibling->layoutBox)), name);

    openViewsAt = OpenAt::Readable;
    NetView& v = open(name, 600, 400);
    EXPECT_EQ(v.fonts.labelPoints, kReadablePoints);
    const std::vector<DrawnLabel> drawn = drawnLabels(v);
    ASSERT_GE(drawn.size(), 10u);
    for (const DrawnLabel& label : drawn) {
        EXPECT_FALSE(label.cut) << label.node->name;
        EXPECT_GE(label.points, kReadablePoints);
        EXPECT_LE(label.lines, 2);
    }
    // The rest of the row lies beyond the window, the current node in its middle.
    EXPECT_GT(v.geometry.scrollRangeX, 0);
    EXPECT_LE(std::abs(BoxCentre(v.current->layoutBox).x - v.geometry.clientWidth / 2), 1);
    EXPECT_TRUE(v.geometry.scaleToWindowPossible);
    // Ctrl+Enter still fits everything into the window: 600 / 30 slots, 400 / 2 layers.
    EXPECT_TRUE(ViewKey(v, platform::keys::kEnter, false, true));
    EXPECT_EQ(v.geometry.slotExtent, 20.0f);
    EXPECT_EQ(v.geometry.layerExtent, 200.0f);
    EXPECT_EQ(v.geometry.scrollRangeX, 0);

    // In a low window the cells grown for the labels keep at least half their width between
    // the layers, so that links to far slots do not run flat along the boxes.
    NetView& low = open(name, 600, 100);
    EXPECT_EQ(low.fonts.labelPoints, kReadablePoints);
    EXPECT_GT(low.geometry.slotExtent, 100.0f);
    EXPECT_GE(2.0f * low.geometry.layerExtent, low.geometry.slotExtent);
}

} // namespace
} // namespace tarvo
