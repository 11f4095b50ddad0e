// Painting a view into an image: pixels where the drawing rules put them.
#include "labels/colours.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "netfile/shape_file.h"
#include "platform/keys.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_region.h"
#include "view/commands.h"
#include "view/label_editor.h"
#include "view/layout.h"
#include "view/view_commands.h"
#include "view/view_geometry.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include "support/view_fixture.h"

#include <QImage>

#include <cstdio>
#include <string>

namespace tarvo {
namespace {

QColor qcolour(platform::Colour c) {
    return QColor(c.red, c.green, c.blue);
}

class ViewPaintTest : public testing_support::ViewFixture {
protected:
    void SetUp() override {
        InitColourTable(palette, {0, 0, 255}); // a blue highlight, tinted halfway to white
    }
    DisplayMaker measuring() override {
        return [] { return std::make_unique<platform::qt::ImageDisplay>(1, 1); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    QImage paint(NetView& v) {
        platform::qt::ImageDisplay image(host->client.width, host->client.height);
        Paint(v, image);
        return image.finish().copy();
    }
    ViewNode* node(const char* name) { return viewNodeFor(*view->layout.nodes, findNode(name, 0)); }
    // A view whose cells are `slot` by `layer` pixels, with nothing scrolled away.
    NetView& openAt(const char* name, float slot, float layer, int width = 600, int height = 500) {
        NetView& v = open(name, width, height);
        v.geometry.aspect = 0.0f;
        SetCellExtents(v, slot, layer);
        v.geometry.scrollX = v.geometry.scrollY = 0;
        UpdateViewGeometry(v);
        return v;
    }
    // How many pixels of `colour` a horizontal walk into the box from its left meets in a row.
    static int runFrom(const QImage& image, int x, int y, QColor colour) {
        int run = 0;
        while (image.pixelColor(x + run, y) == colour)
            ++run;
        return run;
    }

private:
    platform::qt::QtRegionMaker m_regions;
};

const char* const kFamily = "#ENTITIES\nb isa a\nc isa a\nd isa b\n#FONTS\n";

TEST_F(ViewPaintTest, TheCurrentNodeHasAFrameThreeTimesAsThickInTheHighlight) {
    load(kFamily);
    NetView& v = openAt("a", 210, 210);
    const int lineWidth = static_cast<int>(v.geometry.labelZoom);
    ASSERT_EQ(lineWidth, 3);
    const QImage image = paint(v);
    const PixelBox a = node("a")->layoutBox;
    const PixelBox b = node("b")->layoutBox;
    const QColor highlight = qcolour(palette.ColourTable[kHighlightTintEntry].colour());
    EXPECT_EQ(runFrom(image, a.left, (a.top + a.bottom) / 2, highlight), 3 * lineWidth);
    EXPECT_EQ(runFrom(image, b.left, (b.top + b.bottom) / 2, Qt::black), lineWidth);
    EXPECT_EQ(image.pixelColor(b.left - 1, (b.top + b.bottom) / 2), QColor(Qt::white));
}

TEST_F(ViewPaintTest, ShadesFillBoxesAndHiddenNodesStayUnfilled) {
    load(kFamily);
    NetView& v = openAt("a", 210, 210);
    const PixelBox b = node("b")->layoutBox;
    const int x = b.left + 8;
    const int y = b.top + 8;
    SetDistanceMode(v, {DistanceShade::Coloured, false});
    EXPECT_EQ(paint(v).pixelColor(x, y), qcolour(DistanceColour(palette, 1, false)));
    // Beyond the ramp's end the grey of the farthest step.
    node("b")->distance = 9;
    SetDistanceMode(v, {DistanceShade::Greyed, false});
    EXPECT_EQ(paint(v).pixelColor(x, y), qcolour(DistanceColour(palette, 7, true)));
    EXPECT_NE(DistanceColour(palette, 7, true), kWhite);
    node("b")->setFlag(1, NodeFlags::Hidden);
    EXPECT_EQ(paint(v).pixelColor(x, y), QColor(Qt::white));
}

TEST_F(ViewPaintTest, WhereTheEditorReachesBeyondTheBoxThePictureLiesOnTheCurrentShade) {
    load(kFamily);
    NetView& v = openAt("a", 120, 120);
    SetDistanceMode(v, {DistanceShade::Coloured, false});
    const platform::Colour shade = DistanceColour(palette, v.current->distance, false);
    ASSERT_NE(shade, kWhite);
    OpenEditor(v);
    ASSERT_TRUE(EditorOpen(v));
    EditorChar(v, 'm', 20);
    const platform::Rect editor = v.editor->rect;
    const PixelBox box = v.current->layoutBox;
    ASSERT_LT(editor.left + 4, box.left);
    const QImage image = paint(v);
    // Left of the box, inside the editor's frame: the shade with the dimmed picture and the
    // text on it, no bare background.
    int shaded = 0;
    int white = 0;
    // The editor grows past the window's left edge; only the part inside it is painted.
    for (int y = std::max(0, editor.top + 1); y < std::min(image.height(), editor.bottom - 1); ++y)
        for (int x = std::max(0, editor.left + 1); x < box.left - 1; ++x) {
            shaded += image.pixelColor(x, y) == qcolour(shade);
            white += image.pixelColor(x, y) == QColor(Qt::white);
        }
    EXPECT_GT(shaded, 0);
    EXPECT_EQ(white, 0);
    CloseEditor(v, false);
}

TEST_F(ViewPaintTest, UnderTheEditorsTextTheOldLabelDoesNotShowThrough) {
    load("#ENTITIES\n\"wide old label\" isa root\n#FONTS\n");
    NetView& v = openAt("wide old label", 210, 210);
    const PixelBox box = v.current->layoutBox;
    const int inset = 3 * static_cast<int>(v.geometry.labelZoom) + 2;
    // Ink inside the box's frame, under the editor or around it (the editor's own frame apart).
    auto inkInBox = [&](const QImage& image, bool underEditor) {
        const platform::Rect inside = v.editor->rect.grown(-2);
        const platform::Rect outside = v.editor->rect.grown(2);
        int ink = 0;
        for (int y = box.top + inset; y < box.bottom - inset; ++y)
            for (int x = box.left + inset; x < box.right - inset; ++x)
                if (underEditor ? inside.contains({x, y}) : !outside.contains({x, y}))
                    ink += image.pixelColor(x, y) != QColor(Qt::white);
        return ink;
    };
    OpenEditor(v);
    ASSERT_TRUE(EditorOpen(v));
    ASSERT_GT(inkInBox(paint(v), true), 0) << "the editor shows the label";
    // With all of its text deleted, the box shows nothing of the label it was opened on.
    EditorSelectAll(v);
    EditorKey(v, platform::keys::kDelete, false);
    ASSERT_TRUE(EditorOpen(v));
    const QImage emptied = paint(v);
    EXPECT_EQ(inkInBox(emptied, false), 0);
    EXPECT_EQ(inkInBox(emptied, true), 0);
    CloseEditor(v, false);
}

// Ink where a top-down view writes a box's distance number: left of it, on its bottom line.
int inkLeftOf(const QImage& image, const PixelBox& box) {
    int ink = 0;
    for (int y = box.bottom - 30; y < box.bottom; ++y)
        for (int x = std::max(0, box.left - 25); x < box.left - 1; ++x)
            ink += image.pixelColor(x, y) != QColor(Qt::white);
    return ink;
}

TEST_F(ViewPaintTest, DistanceNumbersShowBesideTheBoxExceptAtDistanceZero) {
    load(kFamily);
    NetView& v = openAt("a", 210, 210);
    SetDistanceMode(v, {DistanceShade::None, true});
    const QImage numbered = paint(v);
    EXPECT_EQ(inkLeftOf(numbered, node("a")->layoutBox), 0);
    EXPECT_GT(inkLeftOf(numbered, node("b")->layoutBox), 5);
    SetDistanceMode(v, {});
    EXPECT_EQ(inkLeftOf(paint(v), node("b")->layoutBox), 0);
}

TEST_F(ViewPaintTest, HiddenChildrenEndTheStubInACircle) {
    load(kFamily);
    NetView& v = openAt("a", 210, 210);
    ViewNode* b = node("b");
    const int x = (b->linkBox.left + b->linkBox.right) / 2;
    const int extension = static_cast<int>(v.geometry.layerExtent / 12.0f);
    const int end = b->linkBox.bottom + extension;
    const int radius = std::max(4, static_cast<int>(5.0f * v.geometry.labelZoom)) / 2;
    // d is shown: no circle beyond the link point's end of the stub.
    const QImage shown = paint(v);
    EXPECT_EQ(shown.pixelColor(x - radius, end), QColor(Qt::white));
    node("d")->setFlag(1, NodeFlags::Hidden);
    Relayout(v, false);
    const QImage marked = paint(v);
    EXPECT_EQ(marked.pixelColor(x - radius, end), QColor(Qt::black));
    EXPECT_EQ(marked.pixelColor(x + radius - 1, end), QColor(Qt::black));
    // Filled with the background on a node that is not current.
    EXPECT_EQ(marked.pixelColor(x - radius / 2 - 1, end), QColor(Qt::white));
}

// The markers of hidden parents before the first layer and of hidden children after the last
// one are drawn whole inside the picture, whatever the orientation and the cell size: in a
// view fitted to its window nothing dark touches the window's first or last pixel line along
// the layers, and each end has the marker's ink near it.
TEST_F(ViewPaintTest, MarkersBeyondTheFirstAndLastLayersLieInsideThePicture) {
    load("#ENTITIES\na isa top\nb isa a\nc isa b\nd isa c\n#FONTS\n");
    for (const Orientation orientation : {Orientation::TopDown, Orientation::BottomUp,
                                          Orientation::LeftToRight, Orientation::RightToLeft}) {
        for (int extent : {60, 100, 160, 300, 700}) {
            const bool vertical =
                orientation == Orientation::TopDown || orientation == Orientation::BottomUp;
            // Three layers a, b, c across the window, the other way a little room.
            const int along = 3 * extent;
            NetView& v = open("b", vertical ? 200 : along, vertical ? along : 200);
            ViewCommand(v, cmd::kLeftToRight + ToInt(orientation));
            viewNodeFor(*v.layout.nodes, findNode("top", 0))->setFlag(1, NodeFlags::Hidden);
            viewNodeFor(*v.layout.nodes, findNode("d", 0))->setFlag(1, NodeFlags::Hidden);
            Relayout(v, false);
            ScaleToWindow(v, false);
            const std::string where = "orientation " + std::to_string(ToInt(orientation)) +
                                      " window " + std::to_string(along);
            ASSERT_EQ(v.layout.grid.layerCount, 3) << where;
            EXPECT_EQ(v.geometry.scrollRangeX, 0) << where;
            EXPECT_EQ(v.geometry.scrollRangeY, 0) << where;
            const QImage image = paint(v);
            // Dark pixels on the line `at` pixels along the layer axis.
            auto darkOn = [&](int at) {
                int dark = 0;
                for (int across = 0; across < 200; ++across) {
                    const QColor c =
                        vertical ? image.pixelColor(across, at) : image.pixelColor(at, across);
                    dark += c.lightness() < 128;
                }
                return dark;
            };
            auto darkWithin = [&](int from, int to) {
                int dark = 0;
                for (int at = from; at < to; ++at)
                    dark += darkOn(at);
                return dark;
            };
            const int last = along - 1;
            EXPECT_EQ(darkOn(0), 0) << where;
            EXPECT_EQ(darkOn(last), 0) << where;
            // Between the window's ends and the boxes nearest them lie only stubs and markers.
            int boxesFrom = along;
            int boxesTo = 0;
            for (const char* name : {"a", "b", "c"}) {
                const PixelBox& box = node(name)->layoutBox;
                boxesFrom = std::min(boxesFrom, vertical ? box.top : box.left);
                boxesTo = std::max(boxesTo, vertical ? box.bottom : box.right);
            }
            EXPECT_GT(darkWithin(1, boxesFrom), 0) << where << ": the marker at the start";
            EXPECT_GT(darkWithin(boxesTo, last), 0) << where << ": the marker at the end";
        }
    }
}

TEST_F(ViewPaintTest, CurvedLinksLeaveTheStraightLineOnlyInLargeCells) {
    load(kFamily);
    NetView& v = openAt("a", 210, 210);
    SetLineStyle(v, LineStyle::Straight);
    const QImage straight = paint(v);
    SetLineStyle(v, LineStyle::Curved);
    const QImage curved = paint(v);
    // The link from a to c: a quarter of the way down, the straight line is a quarter of the
    // way across, the curve still close to where it left a.
    ViewNode* a = node("a");
    ViewNode* c = node("c");
    const int x0 = (a->linkBox.left + a->linkBox.right) / 2;
    const int x1 = (c->linkBox.left + c->linkBox.right) / 2;
    const int y = a->linkBox.bottom + (c->linkBox.top - a->linkBox.bottom) / 4;
    ASSERT_NE(x0, x1);
    auto inkNear = [&](const QImage& image, int x) {
        int ink = 0;
        for (int dx = -3; dx <= 3; ++dx)
            ink += image.pixelColor(x + dx, y) != QColor(Qt::white);
        return ink;
    };
    const int quarter = x0 + (x1 - x0) / 4;
    EXPECT_GT(inkNear(straight, quarter), 0);
    EXPECT_EQ(inkNear(curved, quarter), 0);
    // Cells 5 pixels across the layers are too small for curves.
    SetCellExtents(v, 5, 40);
    SetLineStyle(v, LineStyle::Straight);
    const QImage small = paint(v);
    SetLineStyle(v, LineStyle::Curved);
    EXPECT_EQ(paint(v), small);
}

// A flat curve, far across and little along the layers, is one stroke: its two arcs meet at
// the middle instead of running on past each other as two strokes side by side.
TEST_F(ViewPaintTest, TheTwoArcsOfAFlatCurveMeetInOneStroke) {
    load("#ENTITIES\nb isa a\nc isa a\n#FONTS\n");
    for (int layer : {30, 45, 60}) {
        NetView& v = openAt("a", 520, static_cast<float>(layer), 1200, 300);
        const QImage image = paint(v);
        ViewNode* a = node("a");
        int checked = 0;
        for (const char* name : {"b", "c"}) {
            ViewNode* child = node(name);
            const int x0 = slotCentre(a);
            const int x1 = slotCentre(child);
            if (std::abs(x1 - x0) < 400)
                continue;
            ++checked;
            // Columns in the middle half between the ends, where no other link runs.
            const int from = std::min(x0, x1) + std::abs(x1 - x0) / 4;
            const int to = std::max(x0, x1) - std::abs(x1 - x0) / 4;
            for (int x = from; x < to; ++x) {
                int runs = 0;
                bool inRun = false;
                for (int y = a->linkBox.bottom; y <= child->linkBox.top; ++y) {
                    const bool dark = image.pixelColor(x, y).lightness() < 235;
                    runs += dark && !inRun;
                    inRun = dark;
                }
                EXPECT_EQ(runs, 1) << "layer " << layer << " link to " << name << " column " << x;
            }
        }
        EXPECT_GT(checked, 0) << "layer " << layer;
    }
}

TEST_F(ViewPaintTest, ALinkAlongTheLayerAxisIsALine) {
    load("#ENTITIES\nb isa a\n#FONTS\n");
    NetView& v = openAt("a", 210, 210);
    ViewNode* a = node("a");
    ViewNode* b = node("b");
    const int x = (a->linkBox.left + a->linkBox.right) / 2;
    ASSERT_EQ(x, (b->linkBox.left + b->linkBox.right) / 2);
    const QImage image = paint(v);
    for (int y = a->layoutBox.bottom + 2; y < b->layoutBox.top - 2; ++y)
        EXPECT_NE(image.pixelColor(x, y), QColor(Qt::white)) << y;
}

// A slanted link is drawn smooth, with shades between ink and paper along its edges, while a
// one-pixel box frame stays a crisp, solid line of ink with the paper and the fill exact on
// either side.
TEST_F(ViewPaintTest, SlantedLinksAreSmoothWhileOnePixelFramesStayCrisp) {
    load(kFamily);
    NetView& v = openAt("a", 120, 120);
    ASSERT_EQ(lineWidthOf(v), 1);
    SetLineStyle(v, LineStyle::Straight);
    ToggleHighlightLinks(v); // every link in black
    SetDistanceMode(v, {DistanceShade::Coloured, false});
    const QImage image = paint(v);
    // The link from a down to whichever child is not straight below it.
    ViewNode* a = node("a");
    ViewNode* b = node("b");
    ViewNode* child = node("c");
    auto middle = [](const ViewNode* n) { return (n->linkBox.left + n->linkBox.right) / 2; };
    if (middle(child) == middle(a))
        child = b;
    ASSERT_NE(middle(child), middle(a));
    const int x0 = std::min(middle(a), middle(child)) - 2;
    const int x1 = std::max(middle(a), middle(child)) + 2;
    int rows = 0;
    int shaded = 0;
    for (int y = a->linkBox.bottom + 2; y < child->linkBox.top - 2; ++y, ++rows)
        for (int x = x0; x < x1; ++x) {
            const QColor c = image.pixelColor(x, y);
            shaded += c.red() == c.green() && c.green() == c.blue() && c.red() > 0 && c.red() < 255;
        }
    ASSERT_GT(rows, 10);
    EXPECT_GT(shaded, rows);
    // b's frame: ink on the box's edge, paper outside and the fill inside, pixel for pixel.
    const QColor shade = qcolour(DistanceColour(palette, b->distance, false));
    const PixelBox box = b->layoutBox;
    for (int y = box.top + 1; y < box.bottom - 1; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(image.pixelColor(box.left - 1, y), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(box.left, y), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(box.left + 1, y), shade);
        EXPECT_EQ(image.pixelColor(box.right - 2, y), shade);
        EXPECT_EQ(image.pixelColor(box.right - 1, y), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(box.right, y), QColor(Qt::white));
    }
    for (int x = box.left + 1; x < box.left + 8; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(image.pixelColor(x, box.top - 1), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(x, box.top), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(x, box.top + 1), shade);
        EXPECT_EQ(image.pixelColor(x, box.bottom - 1), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(x, box.bottom), QColor(Qt::white));
    }
}

// A window repainted in strips shows what one paint of the whole window shows, in every
// orientation and scrolled: the visible range of each strip misses nothing that reaches it.
TEST_F(ViewPaintTest, PaintingInStripsShowsWhatOnePaintShows) {
    std::string text = "#ENTITIES\n";
    for (int k = 0; k < 12; ++k)
        text += "c" + std::to_string(k) + " isa a\nd" + std::to_string(k) + " isa c" +
                std::to_string(k) + "\n";
    load(text + "#FONTS\n");
    for (const Orientation orientation : {Orientation::LeftToRight, Orientation::RightToLeft,
                                          Orientation::TopDown, Orientation::BottomUp}) {
        SCOPED_TRACE(ToInt(orientation));
        NetView& v = openAt("a", 90, 110, 400, 300);
        // Hidden children put circles at the ends of longer stubs.
        for (int k = 0; k < 12; k += 3)
            node(("d" + std::to_string(k)).c_str())->setFlag(1, NodeFlags::Hidden);
        Relayout(v, false);
        SetOrientation(v, orientation);
        ScrollViewBy(v, 37, 23);
        const QImage whole = paint(v);
        platform::qt::ImageDisplay strips(400, 300);
        for (int x = 0; x < 400; x += 50) {
            for (int y = 0; y < 300; y += 60) {
                strips.save();
                strips.intersectClipRect({x, y, x + 50, y + 60});
                Paint(v, strips);
                strips.restore();
            }
        }
        EXPECT_EQ(strips.finish(), whole);
    }
}

// What a move of the current node repaints, painted over the picture before it, gives the
// picture a fresh paint gives: links, stubs and numbers round the repainted places stay whole.
TEST_F(ViewPaintTest, RepaintingAfterAMoveShowsWhatAFreshPaintShows) {
    load("#ENTITIES\nb isa a\nc isa a\nd isa a\ne isa b\nf isa c\ng isa d\n#FONTS\n");
    for (const Orientation orientation :
         {Orientation::LeftToRight, Orientation::TopDown, Orientation::BottomUp}) {
        SCOPED_TRACE(ToInt(orientation));
        NetView& v = openAt("a", 120, 150, 500, 500);
        SetOrientation(v, orientation);
        platform::qt::ImageDisplay picture(500, 500);
        Paint(v, picture);
        for (const char* name : {"c", "f", "d"}) {
            host->invalidated.clear();
            GoToNode(v, node(name), 2);
            ASSERT_FALSE(host->invalidated.empty());
            for (const platform::Rect& r : host->invalidated) {
                picture.save();
                picture.intersectClipRect(r);
                Paint(v, picture);
                picture.restore();
            }
        }
        const QImage repainted = picture.finish().copy();
        EXPECT_EQ(repainted, paint(v));
    }
}

TEST_F(ViewPaintTest, NodeListItemsDrawAShapedNodeInItsShape) {
    std::string text = "100 oval 1 E 100 0 v 0 100";
    std::FILE* file = fmemopen(text.data(), text.size(), "r");
    ShapeFileState shapes;
    ReadShapeStream(shapes, file);
    std::fclose(file);
    NodeLook look;
    look.shapes = &shapes;
    ViewNode* item = new ViewNode();
    char label[] = "x";
    item->name = label;
    item->distance = 1;
    const QColor shade = qcolour(DistanceColour(palette, 1, false));
    for (const int shape : {0, 1}) {
        SCOPED_TRACE(shape);
        item->shape = static_cast<std::uint8_t>(shape);
        platform::qt::ImageDisplay image(120, 40);
        DrawNodeListItem(image, *item, {0, 0, 120, 40}, look, false, false);
        const QImage drawn = image.finish().copy();
        EXPECT_EQ(drawn.pixelColor(30, 20), shade);
        // The corner of the box lies outside the ellipse, which leaves it light grey.
        EXPECT_EQ(drawn.pixelColor(6, 4), shape ? QColor(192, 192, 192) : shade);
    }
    item->name = nullptr;
    item->destroy();
}

} // namespace
} // namespace tarvo
