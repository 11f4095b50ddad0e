// Repaints of part of a view: the update area alone shows what a paint of the whole window shows
// there, and labels measured by an earlier paint show their new text, size and box.
#include "labels/colours.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_region.h"
#include "view/label_editor.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include "support/view_fixture.h"

#include <QImage>

#include <string>
#include <vector>

namespace tarvo {
namespace {

class PaintRegionsTest : public testing_support::ViewFixture {
protected:
    void SetUp() override { InitColourTable(palette, {0, 0, 255}); }
    DisplayMaker measuring() override {
        return [] { return std::make_unique<platform::qt::ImageDisplay>(1, 1); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    // The picture painted with the update area `area`, or the whole window without one; the
    // pixels outside the area stay as the image began.
    QImage paint(NetView& v, const platform::Rect* area = nullptr) {
        platform::qt::ImageDisplay image(host->client.width, host->client.height);
        if (area)
            image.intersectClipRect(*area);
        Paint(v, image);
        return image.finish().copy();
    }
    // How many pixels inside `area` differ between the two pictures.
    static int differences(const QImage& a, const QImage& b, const platform::Rect& area) {
        int count = 0;
        for (int y = std::max(0, area.top); y < std::min(a.height(), area.bottom); ++y)
            for (int x = std::max(0, area.left); x < std::min(a.width(), area.right); ++x)
                count += a.pixel(x, y) != b.pixel(x, y);
        return count;
    }
    static int inked(const QImage& image, const platform::Rect& area) {
        int count = 0;
        for (int y = std::max(0, area.top); y < std::min(image.height(), area.bottom); ++y)
            for (int x = std::max(0, area.left); x < std::min(image.width(), area.right); ++x)
                count += image.pixel(x, y) != qRgb(255, 255, 255);
        return count;
    }
    ViewNode* node(const char* name) { return viewNodeFor(*view->layout.nodes, findNode(name, 0)); }

private:
    platform::qt::QtRegionMaker m_regions;
};

// A root over a row of 16 children, and a node below the first and the last child: links from
// the root and to the last node fan out over most of the rows.
std::string fan() {
    std::string text = "#ENTITIES\n";
    for (int k = 0; k < 16; ++k)
        text += "c" + std::to_string(k) + " isa root\n";
    text += "\"far apart\" isa c0\n\"far apart\" isa c15\n";
    return text + "#FONTS\n";
}

TEST_F(PaintRegionsTest, AnUpdateAreaShowsWhatTheWholePictureShowsThere) {
    load(fan());
    openViewsAt = OpenAt::FitToWindow;
    for (const bool vertical : {true, false}) {
        NetView& v = open("root", 640, 480);
        if (!vertical) {
            SetOrientation(v, Orientation::LeftToRight);
        }
        const QImage whole = paint(v);
        const PixelBox root = node("root")->layoutBox;
        const PixelBox first = node("c0")->layoutBox;
        const PixelBox far = node("far apart")->layoutBox;
        // Thin strips between the root's layer and its children's, crossed only by links whose
        // two ends lie outside the strip; tiles of the window; a strip between the children and
        // the node below them.
        std::vector<platform::Rect> areas;
        if (vertical) {
            const int between = (root.bottom + first.top) / 2;
            areas.push_back({0, between - 2, 80, between + 2});
            areas.push_back({560, between - 3, 640, between + 3});
            const int below = (first.bottom + far.top) / 2;
            areas.push_back({200, below - 2, 440, below + 2});
        } else {
            const int between = (root.right + first.left) / 2;
            areas.push_back({between - 2, 0, between + 2, 200});
            areas.push_back({between - 3, 400, between + 3, 480});
            const int below = (first.right + far.left) / 2;
            areas.push_back({below - 2, 150, below + 2, 330});
        }
        for (int x = 0; x < 640; x += 160)
            for (int y = 0; y < 480; y += 120)
                areas.push_back({x, y, x + 160, y + 120});
        // A strip only matters if the whole picture has links in it.
        for (int k = 0; k < 3; ++k)
            EXPECT_GT(inked(whole, areas[static_cast<std::size_t>(k)]), 0)
                << "strip " << k << (vertical ? " vertical" : " horizontal");
        for (const platform::Rect& area : areas)
            EXPECT_EQ(differences(whole, paint(v, &area), area), 0)
                << area.left << "," << area.top << " " << area.right << "," << area.bottom
                << (vertical ? " vertical" : " horizontal");
    }
}

TEST_F(PaintRegionsTest, ScrollingAndRescalingKeepTheUpdateAreasTrue) {
    load(fan());
    NetView& v = open("root", 300, 260);
    // At readable size part of the row is scrolled away; then larger cells.
    for (const float slot : {0.0f, 90.0f}) {
        if (slot > 0.0f) {
            SetCellExtents(v, slot, 120.0f);
            UpdateViewGeometry(v);
        }
        const QImage whole = paint(v);
        for (int y = 0; y < 260; y += 13) {
            const platform::Rect strip{0, y, 300, y + 5};
            EXPECT_EQ(differences(whole, paint(v, &strip), strip), 0) << "y " << y << " " << slot;
        }
    }
}

TEST_F(PaintRegionsTest, AnEditedLabelIsMeasuredAgain) {
    load("#ENTITIES\nword isa top\n\"two words\" isa top\n#FONTS\n");
    NetView& v = open("word", 400, 300);
    const QImage before = paint(v);
    ASSERT_TRUE(v.labelLayouts);
    EXPECT_GT(v.labelLayouts->size(), 0u);
    OpenEditor(v);
    ASSERT_TRUE(EditorOpen(v));
    for (const char c : std::string("xyz"))
        EditorChar(v, c, 1);
    CloseEditor(v, true);
    ASSERT_STREQ(v.current->name, "wordxyz");
    const QImage after = paint(v);
    EXPECT_NE(before, after);
    // Measured afresh the label looks the same: nothing of the old layout stayed.
    v.labelLayouts->clear();
    EXPECT_EQ(paint(v), after);
}

TEST_F(PaintRegionsTest, ALabelChangedUnderTheLayoutsIsNotDrawnFromTheOldOne) {
    load("#ENTITIES\nabc isa top\n\"many words in a row\" isa top\n#FONTS\n");
    NetView& v = open("top", 400, 300);
    paint(v);
    // Another text in the same buffer, as an edit in place would leave it: one line, then many.
    ViewNode* n = node("abc");
    char text[] = "mmm";
    char* const kept = n->name;
    n->name = text;
    const QImage drawn = paint(v);
    v.labelLayouts->clear();
    EXPECT_EQ(drawn, paint(v));
    text[1] = ' ';
    const QImage spaced = paint(v);
    EXPECT_NE(spaced, drawn);
    v.labelLayouts->clear();
    EXPECT_EQ(spaced, paint(v));
    n->name = kept;
    // The long label broken into lines, then drawn at another size without a new fit.
    ViewNode* many = node("many words in a row");
    ASSERT_NE(many, nullptr);
    const QImage atFit = paint(v);
    v.fonts.labelPoints += 3;
    const QImage larger = paint(v);
    EXPECT_NE(atFit, larger);
    v.labelLayouts->clear();
    EXPECT_EQ(larger, paint(v));
}

TEST_F(PaintRegionsTest, ANewScaleDropsTheLayouts) {
    load("#ENTITIES\nb isa a\nc isa a\n#FONTS\n");
    NetView& v = open("a", 400, 300);
    paint(v);
    ASSERT_GT(v.labelLayouts->size(), 0u);
    SetCellExtents(v, 150.0f, 150.0f);
    UpdateViewGeometry(v);
    EXPECT_EQ(v.labelLayouts->size(), 0u);
    const QImage rescaled = paint(v);
    v.labelLayouts->clear();
    EXPECT_EQ(rescaled, paint(v));
}

} // namespace
} // namespace tarvo
