// Tests of the shape file reader: flag words, join letters, where shapes end, overlong shapes.
#include "netfile/shape_file.h"

#include "model/node.h"
#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tarvo {
namespace {

using testing_support::recordingUi;

// Reads `text` as the shape file; answers its problems.
Diagnostics readShapes(ShapeFileState& shapes, const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    Diagnostics problems;
    ReadShapeStream(shapes, file, &problems);
    std::fclose(file);
    return problems;
}

// Each shape as "name size flags x,y:kind ...".
std::vector<std::string> describeShapes(const ShapeFileState& state) {
    std::vector<std::string> shapes;
    for (int i = 0; const ShapeRecord* shape = ShapeAt(state, i); ++i) {
        std::string text = std::string(shape->name) + " " + std::to_string(shape->sizeValue) +
                           " f" + std::to_string(shape->flags);
        for (int p = 0; p < shape->pointCount; ++p)
            text += " " + std::to_string(shape->points[p].x) + "," +
                    std::to_string(shape->points[p].y) + ":" + std::to_string(shape->kinds[p]);
        shapes.push_back(text);
    }
    return shapes;
}

TEST(ShapeFile, ReadsFlagWordsJoinLettersAndShapeEnds) {
    ShapeFileState shapes;
    struct Case {
        const char* file;
        std::vector<std::string> shapes;
    };
    const Case cases[] = {
        {"100 box 1 0 0 100 0 100 100", {"box 1 f0 0,0:0 100,0:0 100,100:0"}},
        {"100 box 1 r l 0 0 100 0", {"box 1 f1 0,0:1 100,0:1"}},
        // The letter stands where the flag word goes, so it joins nothing.
        {"100 box 1 l 0 0", {"box 1 f0 0,0:0"}},
        {"100 s 3 - 100 0 v 0 100 l 5 -7", {"s 3 f2 100,0:0 0,100:2 5,-7:1"}},
        {"100 e 2.9 Er 100 0 0 100", {"e 2 f129 100,0:0 0,100:0"}},
        // Both numbers of a point are read alike, whatever form the number has.
        {"100 h 1 - 0x10 0x10 1e1 2.5e1 7.9 -7.9", {"h 1 f0 16,16:0 10,25:0 7,-7:0"}},
        {"100 k 1 xCRz 1 1", {"k 1 f68 1,1:0"}},
        {"100 a 1 - 1 1 b 2 - 2 2", {"a 1 f0 1,1:0", "b 2 f0 2,2:0"}},
        // A single letter that is no join letter ends the shape and names the next one.
        {"100 a 1 - 1 1 x 2 - 3 3", {"a 1 f0 1,1:0", "x 2 f0 3,3:0"}},
        // A name with nothing after it, or a shape without points, ends the reading.
        {"100 box 1 0 0 100 100 tail", {"box 1 f0 0,0:0 100,100:0"}},
        {"100 a 1 - m b 1 - 1 1", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_TRUE(readShapes(shapes, c.file).empty());
        EXPECT_EQ(describeShapes(shapes), c.shapes);
        EXPECT_EQ(shapes.shapeCount, static_cast<int>(c.shapes.size()));
        EXPECT_EQ(shapes.regionCache.size(), c.shapes.size());
    }
    EXPECT_EQ(shapes.unit, 0);
    readShapes(shapes, "100.7 box 1 0 0");
    EXPECT_EQ(shapes.unit, 100);
    ReleaseShapeList(shapes);
}

TEST(ShapeFile, KeepsTheFirstPointsOfAnOverlongShapeAndReadsOn) {
    ShapeFileState shapes;
    for (const int points : {kMaxShapePoints, kMaxShapePoints + 1, 200}) {
        SCOPED_TRACE(points);
        std::string file = "100 long 1 - l";
        for (int i = 0; i < points; ++i)
            file += " " + std::to_string(i) + " " + std::to_string(points - i);
        const Diagnostics problems = readShapes(shapes, file + " next 1 - 5 5");
        ASSERT_EQ(shapes.shapeCount, 2);
        EXPECT_EQ(ShapeAt(shapes, 0)->pointCount, kMaxShapePoints);
        EXPECT_EQ(ShapeAt(shapes, 0)->points[kMaxShapePoints - 1].x, kMaxShapePoints - 1);
        EXPECT_EQ(describeShapes(shapes)[1], "next 1 f0 5,5:0");
        if (points > kMaxShapePoints) {
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_EQ(problems[0].message,
                      "Shape \"long\" has more than 30 points: only its first 30 are used.");
        } else {
            EXPECT_TRUE(problems.empty());
        }
    }
    ReleaseShapeList(shapes);
}

TEST(ShapeFile, MissingFileAndUnitBelowOneGiveNoShapes) {
    ShapeFileState shapes;
    readShapes(shapes, "100 box 1 0 0");
    const auto before = shapes.generation;
    Diagnostics missing;
    ReadShapeFile(shapes, "/nonexistent/poly.dat", &missing);
    EXPECT_EQ(shapes.shapeCount, 0);
    EXPECT_EQ(ShapeAt(shapes, 0), nullptr);
    EXPECT_NE(shapes.generation, before);
    EXPECT_TRUE(missing.empty());

    EXPECT_EQ(readShapes(shapes, "0 box 1 0 0 1 1").size(), 1u);
    EXPECT_EQ(shapes.shapeCount, 0);
    // Without a list the problem is not kept, and nothing is shown.
    std::FILE* file = std::tmpfile();
    std::fputs("0 box 1 0 0 1 1", file);
    std::rewind(file);
    ReadShapeStream(shapes, file);
    std::fclose(file);
    EXPECT_TRUE(recordingUi().boxes.empty());
    ReleaseShapeList(shapes);
}

TEST(ShapeFile, ShippedShapesAllRead) {
    ShapeFileState shapes;
    Diagnostics problems;
    ReadShapeFile(shapes, TARVO_SHAPE_FILE, &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(shapes.unit, 100);
    ASSERT_GE(shapes.shapeCount, 20);
    EXPECT_STREQ(ShapeAt(shapes, kPropertyShape - 1)->name, "property");
    EXPECT_STREQ(ShapeAt(shapes, kRelationShape - 1)->name, "relation");
    ReleaseShapeList(shapes);
}

} // namespace
} // namespace tarvo
