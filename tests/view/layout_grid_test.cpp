// The layout grid growing at both ends and the visit marks wrapping round.
#include "layout/layout_grid.h"
#include "layout/visit_marks.h"
#include "view/net_view.h"

#include "containers/node_list.h"
#include "layout/view_node.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

TEST(LayoutGridTest, GrowsAtEitherEndKeepingCellsAndOffsets) {
    std::vector<ViewNode*> nodes;
    nodes.reserve(3);
    for (int i = 0; i < 3; ++i)
        nodes.push_back(new ViewNode());
    LayoutGrid grid;
    ASSERT_EQ(grid.reset(2, 2), 1);
    EXPECT_EQ(grid.put(1, 1, nodes[0]), 1);
    // A negative slot and layer open a row and a column at the front.
    EXPECT_EQ(grid.put(-1, -1, nodes[1]), 1);
    EXPECT_EQ(grid.slotOffset, 1);
    EXPECT_EQ(grid.layerOffset, 1);
    EXPECT_EQ(grid.slotCount, 3);
    EXPECT_EQ(grid.layerCount, 3);
    EXPECT_EQ(grid.nodeAt(1, 1), nodes[0]);
    EXPECT_EQ(grid.at(0, 0), nodes[1]);
    // Many rows appended one at a time, then many at the front.
    for (int slot = 2; slot < 200; ++slot)
        ASSERT_EQ(grid.put(slot, 0, nodes[2]), 1);
    for (int slot = -2; slot > -100; --slot)
        ASSERT_EQ(grid.put(slot, 1, nodes[2]), 1);
    EXPECT_EQ(grid.slotCount, 299);
    EXPECT_EQ(grid.slotOffset, 99);
    EXPECT_EQ(grid.nodeAt(1, 1), nodes[0]);
    EXPECT_EQ(grid.nodeAt(-1, -1), nodes[1]);
    EXPECT_EQ(grid.nodeAt(0, 0), nullptr);
    EXPECT_EQ(grid.at(-1, 0), nullptr);
    EXPECT_EQ(grid.at(0, 3), nullptr);

    // Emptied ends are dropped, and the room they leave is clear when the grid grows again.
    for (int slot = -99; slot < 200; ++slot)
        for (int layer = -1; layer < 2; ++layer)
            if (grid.nodeAt(slot, layer) == nodes[2])
                grid.put(slot, layer, nullptr);
    grid.trimEmptyRows();
    EXPECT_EQ(grid.slotCount, 3);
    EXPECT_EQ(grid.slotOffset, 1);
    EXPECT_EQ(grid.insertFrontRows(2), 1);
    EXPECT_EQ(grid.appendRows(2), 1);
    EXPECT_EQ(grid.slotCount, 7);
    EXPECT_TRUE(grid.rowEmpty(0));
    EXPECT_TRUE(grid.rowEmpty(6));
    EXPECT_EQ(grid.nodeAt(1, 1), nodes[0]);

    LayoutGrid moved(std::move(grid));
    // NOLINTNEXTLINE(bugprone-use-after-move): a moved-from grid is left empty, and checked so
    EXPECT_EQ(grid.cellCount(), 0);
    EXPECT_EQ(moved.nodeAt(-1, -1), nodes[1]);
    for (ViewNode* n : nodes)
        n->destroy();
}

TEST(VisitMarksTest, EachPassStartsUnvisitedEvenAfterTheBitsWrap) {
    NetView view;
    ViewNode* seen = new ViewNode();
    ViewNode* skipped = new ViewNode();
    // Fillers are what a view without a table can hold; the reset reaches them too.
    listAppend(view.layout.dummyList, seen);
    listAppend(view.layout.dummyList, skipped);
    for (int pass = 0; pass < 20; ++pass) {
        view.layout.newPass();
        EXPECT_FALSE(IsVisited(view.layout.marks, seen)) << pass;
        EXPECT_FALSE(IsVisited(view.layout.marks, skipped)) << pass;
        MarkVisited(view.layout.marks, seen);
        EXPECT_TRUE(IsVisited(view.layout.marks, seen));
        if (pass % 3 == 0)
            MarkVisited(view.layout.marks, skipped);
    }
    view.layout.resetMarks();
    EXPECT_EQ(seen->visitMark, 0);
    EXPECT_EQ(view.layout.marks.bit, 1);
    // The view destroys its fillers with it.
}

} // namespace
} // namespace tarvo
