// Node shapes over Qt regions: outlines by mirroring, turning, arc pieces, the kept region,
// drawing against hit tests, and a view's set of shapes.
#include "view/shapes.h"

#include "layout/view_node.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_region.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace tarvo {
namespace {

using platform::Point;

// With a pen of 1 the outline stands 1 pixel in, so this half extent scales unit 100 to 100.
constexpr int kHalf = 101;

void readShapes(ShapeFileState& shapes, const std::string& text) {
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ReadShapeStream(shapes, file);
    std::fclose(file);
}

PixelBox boxAround(int x, int y, int hw, int hh) {
    return {x - hw, y - hh, x + hw + 1, y + hh + 1};
}

std::string outlineText(const ShapeInstance& instance) {
    std::string text;
    for (int i = 0; i < instance.storedCount; ++i)
        text += "(" + std::to_string(instance.outline()[i].x) + "," +
                std::to_string(instance.outline()[i].y) + ")";
    return text;
}

std::string kindsText(const ShapeInstance& instance) {
    std::string text;
    for (const std::uint8_t kind : instance.kinds)
        text += static_cast<char>('0' + kind);
    return text;
}

class ShapesTest : public ::testing::Test {
protected:
    // Declared before the set, which keeps a reference to it.
    platform::qt::QtRegionMaker regions;
    void TearDown() override {
        if (set)
            DestroyShapeSet(set);
    }
    // The shapes the set is made from; they outlive it.
    ShapeFileState shapes;
    // The first shape of `file`, prepared for a box of the given half extents around (0, 0).
    ShapeInstance& prepared(const std::string& file, int hw = kHalf, int hh = kHalf, int pen = 1,
                            bool vertical = true) {
        readShapes(shapes, file);
        set = MakeShapeSet(regions, &shapes);
        ShapeInstance* instance = InstanceFor(*set, 1);
        EXPECT_NE(instance, nullptr);
        Prepare(*instance, hw, hh, pen, boxAround(0, 0, hw, hh), 0, 0, vertical);
        return *instance;
    }

    ShapeSet* set = nullptr;
};

TEST_F(ShapesTest, MirroringCarriesLevelAndUprightEdgesAcrossTheAxes) {
    struct Case {
        const char* quarter;
        const char* outline;
        const char* kinds;
    };
    const Case cases[] = {
        {"100 0 100 100 0 100", "(100,0)(100,100)(-100,100)(-100,-100)(100,-100)(100,0)", "000000"},
        {"100 0 0 100", "(100,0)(0,100)(-100,0)(0,-100)(100,0)", "00000"},
        {"l 100 0 50 100 0 100", "(100,0)(50,100)(-50,100)(-100,0)(-50,-100)(50,-100)(100,0)",
         "1111111"},
        {"100 0 l 100 50 v 0 100",
         "(100,0)(100,50)(0,100)(-100,50)(-100,-50)(0,-100)(100,-50)(100,0)", "01221221"},
        {"100 0", "(100,0)", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quarter);
        ShapeInstance& instance = prepared(std::string("100 s 1 - ") + c.quarter);
        EXPECT_EQ(outlineText(instance), c.outline);
        EXPECT_EQ(kindsText(instance), c.kinds);
        EXPECT_EQ(instance.outlineCount, instance.storedCount - 1);
        DestroyShapeSet(set);
        set = nullptr;
    }
}

TEST_F(ShapesTest, PointsBeyondTheUnitReachOutOfTheBoxAndStrayOnesStopFarOut) {
    struct Case {
        const char* file;
        const char* outline;
    };
    const Case cases[] = {
        // Scale 1: a point at twice the unit lies twice as far as the box edge.
        {"100 s 1 - 200 0 0 150", "(200,0)(0,150)(-200,0)(0,-150)(200,0)"},
        // Numbers far past any box stop eight half extents out.
        {"1 s 1 - 2000000000 0 0 -2000000000", "(808,0)(0,-808)(-808,0)(0,808)(808,0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ShapeInstance& instance = prepared(c.file);
        EXPECT_EQ(outlineText(instance), c.outline);
        // The region holds the part of the figure outside the box too.
        EXPECT_EQ(Contains(instance, 150, 0), 1);
        EXPECT_EQ(Contains(instance, 0, 140), 1);
        DestroyShapeSet(set);
        set = nullptr;
    }
}

TEST_F(ShapesTest, TurnableShapeIsExchangedAcrossAndRemadeUpright) {
    // At these extents x scales by 1 and y by 1/2.
    ShapeInstance& instance = prepared("100 t 1 r 100 0 100 40 0 40", kHalf, 51, 1, false);
    EXPECT_EQ(outlineText(instance), "(40,0)(40,50)(-40,50)(-40,-50)(40,-50)(40,0)");
    EXPECT_EQ(Contains(instance, 70, 0), 0);

    RemakeOutlines(*set, true);
    EXPECT_EQ(outlineText(instance), "(100,0)(100,20)(-100,20)(-100,-20)(100,-20)(100,0)");
    EXPECT_EQ(Contains(instance, 70, 0), 1);
    Prepare(instance, kHalf, 51, 1, boxAround(0, 0, kHalf, 51), 0, 0, true);
    EXPECT_EQ(Contains(instance, 70, 0), 1);
    // A view that changes orientation without remaking its outlines still gets the right one.
    Prepare(instance, kHalf, 51, 1, boxAround(0, 0, kHalf, 51), 0, 0, false);
    EXPECT_EQ(Contains(instance, 70, 0), 0);
}

TEST_F(ShapesTest, PenWidthAloneRemakesTheOutlineButKeepsTheRegion) {
    ShapeInstance& instance = prepared("100 s 1 - 100 0 100 100 0 100");
    const platform::Region* region = &Region(instance);
    const platform::Rect bounds = region->bounds();
    Prepare(instance, kHalf, kHalf, 3, boxAround(5, 7, kHalf, kHalf), 5, 7, true);
    EXPECT_EQ(instance.outline()[1].x, 99);
    EXPECT_EQ(&Region(instance), region);
    EXPECT_EQ(Region(instance).bounds(), bounds);
    EXPECT_EQ(instance.points[0].x, -kHalf);

    Prepare(instance, kHalf + 20, kHalf, 3, boxAround(0, 0, kHalf + 20, kHalf), 0, 0, true);
    EXPECT_GT(Region(instance).bounds().right, bounds.right);
}

TEST_F(ShapesTest, ChordFlagCutsOnlyBetweenChordAndArc) {
    // A concave arc from (100,0) to (50,50) bites into a figure that goes on below its ellipse.
    for (const bool chord : {false, true}) {
        SCOPED_TRACE(chord);
        ShapeInstance& instance = prepared(std::string("100 n 1 ") + (chord ? "C" : "-") +
                                           " 100 0 c 50 50 l 100 100 0 100");
        EXPECT_EQ(Contains(instance, 85, 8), 0);
        EXPECT_EQ(Contains(instance, 20, 20), 1);
        EXPECT_EQ(Contains(instance, 70, 80), chord ? 1 : 0);
        EXPECT_EQ(Contains(instance, -70, -80), chord ? 1 : 0);
        DestroyShapeSet(set);
        set = nullptr;
    }
}

QImage drawn(ShapeInstance& instance, bool fill) {
    platform::qt::ImageDisplay image(2 * kHalf + 20, 2 * kHalf + 20);
    platform::Display& display = image.display();
    const auto blue = display.createBrush({platform::BrushStyle::Solid, {0, 0, 255}});
    display.selectBrush(blue.get());
    Draw(instance, display, ShapeDrawing{}, kHalf + 10, kHalf + 10, {}, 1, {}, fill);
    return image.finish();
}

TEST_F(ShapesTest, ArcWithEndsInLineIsDrawnStraightAndAddsNothing) {
    // The trailing "v" gives the second shape arcs without making any of its segments one.
    readShapes(shapes, "100 arc 1 - 100 0 v 100 100 l 0 100 line 1 - 100 0 l 100 100 0 100 v");
    set = MakeShapeSet(regions, &shapes);
    ShapeInstance* arc = InstanceFor(*set, 1);
    ShapeInstance* line = InstanceFor(*set, 2);
    for (ShapeInstance* instance : {arc, line})
        Prepare(*instance, kHalf, kHalf, 1, boxAround(0, 0, kHalf, kHalf), 0, 0, true);
    EXPECT_EQ(platform::qt::toQRegion(Region(*arc)), platform::qt::toQRegion(Region(*line)));
    for (const bool fill : {false, true})
        EXPECT_TRUE(drawn(*arc, fill) == drawn(*line, fill)) << fill;
}

// Away from the outline every pixel of the drawing is `inside` where the region holds it and
// light grey or white where it does not; answers the pixels checked inside and outside.
std::pair<int, int> compareWithRegion(const QImage& pixels, ShapeInstance& instance, Point centre,
                                      QRgb inside) {
    int in = 0;
    int out = 0;
    for (int y = 1; y + 1 < pixels.height(); ++y) {
        for (int x = 1; x + 1 < pixels.width(); ++x) {
            const QRgb colour = pixels.pixel(x, y);
            bool even = true;
            for (int d = 0; d < 9; ++d)
                even = even && pixels.pixel(x - 1 + d % 3, y - 1 + d / 3) == colour;
            if (!even)
                continue;
            const int contained = Contains(instance, x - centre.x, y - centre.y);
            EXPECT_EQ(contained, colour == inside ? 1 : 0) << x << "," << y;
            if (contained != (colour == inside ? 1 : 0))
                return {-1, -1};
            EXPECT_TRUE(contained || colour == qRgb(192, 192, 192) ||
                        colour == qRgb(255, 255, 255));
            ++(contained ? in : out);
        }
    }
    return {in, out};
}

TEST_F(ShapesTest, DrawingFillsTheRegionAndClipsTheLabelToIt) {
    const int size = 2 * kHalf + 20;
    // The caller's origin adds to the shape's centre, on the drawing and on the clip.
    const Point origin{7, 3};
    const Point centre{kHalf + 3, kHalf + 7};
    // Bulges and cuts with the chord flag, and a cut of a whole ellipse without it.
    for (const char* shape :
         {"C 100 0 l 100 40 v 60 100 l 30 100 c 0 70", "- 100 0 c 50 50 l 100 100 0 100"}) {
        for (const bool withLabel : {false, true}) {
            SCOPED_TRACE(testing::Message() << shape << withLabel);
            ShapeInstance& instance = prepared(std::string("100 s 1 ") + shape);
            platform::qt::ImageDisplay image(size, size);
            platform::Display& display = image.display();
            const auto blue = display.createBrush({platform::BrushStyle::Solid, {0, 0, 255}});
            const auto red = display.createBrush({platform::BrushStyle::Solid, {255, 0, 0}});
            display.selectBrush(blue.get());
            display.setOrigin(origin);
            int labels = 0;
            LabelPainter label;
            if (withLabel)
                label = [&](platform::Display& on) {
                    ++labels;
                    on.fillRect({-size, -size, size, size}, *red);
                };
            Draw(instance, display, ShapeDrawing{}, centre.x - origin.x, centre.y - origin.y, {}, 1,
                 label, true);
            EXPECT_EQ(labels, withLabel ? 1 : 0);
            const auto [in, out] = compareWithRegion(image.finish(), instance, centre,
                                                     withLabel ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
            EXPECT_GT(in, 20000);
            EXPECT_GT(out, 5000);
            DestroyShapeSet(set);
            set = nullptr;
        }
    }
}

TEST_F(ShapesTest, SetAnswersOnlyShapesOfTheListAndFollowsANewList) {
    readShapes(shapes, "100 a 1 - 100 0 0 100 b 1 E 100 0 v 0 100");
    set = MakeShapeSet(regions, &shapes);
    for (const int number : {0, -1, 3, 255})
        EXPECT_EQ(InstanceFor(*set, number), nullptr) << number;
    ASSERT_NE(InstanceFor(*set, 2), nullptr);
    EXPECT_EQ(InstanceFor(*set, 2)->shape, ShapeAt(shapes, 1));

    ShapeDrawing drawing;
    drawing.halfWidth = 20;
    drawing.halfHeight = 10;
    auto* node = new ViewNode;
    node->layoutBox = boxAround(200, 100, 20, 10);
    const auto regionOf = [&](int shape) {
        node->shape = static_cast<std::uint8_t>(shape);
        return NodeRegion(*node, *set, drawing)->bounds();
    };
    const platform::Rect box{180, 90, 221, 111};
    EXPECT_EQ(regionOf(0), box);
    EXPECT_EQ(regionOf(3), box);
    // The ellipse reaches the box's sides, not the column past its exclusive right edge.
    const platform::Rect ellipse = regionOf(2);
    EXPECT_EQ(ellipse.left, 180);
    EXPECT_EQ(ellipse.right, 220);

    readShapes(shapes, "100 c 1 - 100 0 0 100");
    EXPECT_EQ(InstanceFor(*set, 2), nullptr);
    ASSERT_NE(InstanceFor(*set, 1), nullptr);
    EXPECT_EQ(InstanceFor(*set, 1)->shape, ShapeAt(shapes, 0));
    EXPECT_EQ(regionOf(2), box);
    node->destroy();
}

} // namespace
} // namespace tarvo
