// The mouse in a view window, driven with real mouse events: markers, relinking by dragging a
// link's end, reordering siblings, the lineage refusal, zooming and hiding.
#include "shell/net_view_widget.h"

#include "labels/label_markup.h"
#include "model/links.h"
#include "model/network.h"
#include "model/node_list.h"
#include "model/view_node.h"
#include "netfile/network_file.h"
#include "shell/changes.h"
#include "shell/commands.h"
#include "view/net_view.h"
#include "view/view_commands.h"
#include "view/view_flags.h"
#include "view/view_geometry.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_window.h"

#include "support/network_text.h"
#include "support/view_fixture.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace tarvo {
namespace {

constexpr const char* kFamily = R"(#RELATIONS
#ENTITIES
noun isa word
verb isa word
adjective isa word
adverb isa word
common isa noun
proper isa noun
#PROPERTIES
#FONTS
)";

class ViewMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string text = kFamily;
        std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        ReadNetworkStream(in);
        std::fclose(in);
        widget = std::make_unique<NetViewWidget>();
        widget->resize(900, 600);
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        ViewStartup startup;
        ASSERT_EQ(CreateView(view, findNode("word", 0), &widget->host(), &menus, startup), 1);
        widget->setView(&view);
        QTest::qWait(20);
        // Straight links: points along them are easy to find.
        SetLineStyle(view, 0);
    }
    void TearDown() override {
        widget->setView(nullptr);
        DestroyView(view);
        widget.reset();
        ReleaseChanges();
        ReleaseNetwork();
    }

    ViewNode* node(const char* name) { return asViewNode(findNodeIn(view.nodes, name, 0)); }
    static QPoint q(platform::Point p) { return {p.x, p.y}; }
    QPoint centre(const char* name) {
        const PixelBox& b = node(name)->layoutBox;
        return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }
    // A point inside the node's box but outside its label area.
    QPoint rim(const char* name) {
        const PixelBox& b = node(name)->layoutBox;
        return {b.left + 1, (b.top + b.bottom) / 2};
    }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        QWidget* port = widget->viewport();
        QTest::mousePress(port, Qt::LeftButton, mods, from);
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(port, from + (to - from) * i / 4);
        QTest::mouseRelease(port, Qt::LeftButton, mods, to);
    }
    std::vector<std::string> names(const char* of, int slot) {
        std::vector<std::string> found;
        forEachNode(findNode(of, 0)->slotList(slot), [&](NodeBase* n) {
            std::string markup;
            LabelToMarkup(asNode(n)->name, markup);
            found.push_back(markup);
        });
        return found;
    }

    testing_support::RecordingMenus menus;
    std::unique_ptr<NetViewWidget> widget;
    NetView view;
};

TEST_F(ViewMouseTest, ClickingAMarkerRevealsAndRightClickingANodeHidesIt) {
    ToggleSlotHidden(view, node("noun"), ChildSlot, false);
    ASSERT_TRUE(node("common")->hasFlag(NodeFlags::Hidden));
    const platform::Point marker = markerPoint(view, node("noun"), false);
    EXPECT_EQ(HitMarker(view, marker).node, node("noun"));
    EXPECT_EQ(HoverText(view, marker), "Children: (common), (proper)");
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, q(marker));
    EXPECT_FALSE(node("common")->hasFlag(NodeFlags::Hidden));
    EXPECT_FALSE(node("proper")->hasFlag(NodeFlags::Hidden));

    QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, centre("adverb"));
    EXPECT_TRUE(node("adverb")->hasFlag(NodeFlags::Hidden));
    EXPECT_EQ(HoverText(view, {centre("verb").x(), centre("verb").y()}), "verb");
}

TEST_F(ViewMouseTest, DraggingAParentEndOntoEmptySpaceMakesANewParentAndUndoRestoresIt) {
    // A point on the link from "common" up to "noun", nearer the parent.
    const platform::Point low = parentLinkPoint(view, node("common"));
    const platform::Point high = childLinkPoint(view, node("noun"));
    const QPoint onLink((low.x + 3 * high.x) / 4, (low.y + 3 * high.y) / 4);
    ASSERT_EQ(HitLink(view, {onLink.x(), onLink.y()}).child, node("common"));
    // Drawn curved, the link is hit where its two arcs meet, and not beside that point.
    SetLineStyle(view, 1);
    const platform::Point middle = CurvedLinkBetween(view, low, high).middle;
    EXPECT_EQ(HitLink(view, middle).child, node("common"));
    EXPECT_EQ(HitLink(view, onScreen(view, slotOf(view, middle) + 12, layerOf(view, middle))).child,
              nullptr);
    SetLineStyle(view, 0);
    const QPoint empty(widget->viewport()->width() - 10, widget->viewport()->height() - 10);
    ASSERT_EQ(HitNode(view, {empty.x(), empty.y()}), nullptr);
    drag(onLink, empty);
    const std::vector<std::string> parents = names("common", ParentSlot);
    ASSERT_EQ(parents.size(), 1u);
    EXPECT_NE(parents[0], "noun");
    EXPECT_TRUE(IsAnonymousLabel(findNode("common", 0)->first(ParentSlot)->name));
    EXPECT_EQ(dragState().mode, kNoDrag);

    ASSERT_TRUE(UndoLastChange(view));
    EXPECT_EQ(names("common", ParentSlot), std::vector<std::string>{"noun"});
}

TEST_F(ViewMouseTest, EditKeysPressedWhileALinkIsDraggedWaitAndTheDropStillLands) {
    // Something to undo, made before the drag.
    QTest::keyClick(widget->viewport(), Qt::Key_Insert, Qt::ControlModifier);
    const int nodes = testing_support::NetworkNodeCount();
    ASSERT_NE(changes().undo, nullptr);
    const platform::Point low = parentLinkPoint(view, node("common"));
    const platform::Point high = childLinkPoint(view, node("noun"));
    const QPoint onLink((low.x + 3 * high.x) / 4, (low.y + 3 * high.y) / 4);
    const QPoint empty(widget->viewport()->width() - 10, widget->viewport()->height() - 10);
    QWidget* port = widget->viewport();
    QTest::mousePress(port, Qt::LeftButton, {}, onLink);
    QTest::mouseMove(port, (onLink + empty) / 2);
    ASSERT_EQ(dragState().mode, kDragLink);
    ASSERT_NE(view.currentLink, nullptr);
    // Delete, Insert, Ctrl+Insert and Undo would each rebuild the nodes the drag holds.
    QTest::keyClick(port, Qt::Key_Delete);
    QTest::keyClick(port, Qt::Key_Insert);
    QTest::keyClick(port, Qt::Key_Insert, Qt::ControlModifier);
    ViewCommand(view, cmd::kUndo);
    ViewCommand(view, cmd::kDeleteNode);
    ViewCommand(view, cmd::kInsertChild);
    EXPECT_EQ(testing_support::NetworkNodeCount(), nodes) << "no edit while the drag runs";
    ASSERT_NE(findNode("common", 0), nullptr);
    QTest::mouseMove(port, empty);
    QTest::mouseRelease(port, Qt::LeftButton, {}, empty);
    EXPECT_EQ(dragState().mode, kNoDrag);
    const std::vector<std::string> parents = names("common", ParentSlot);
    ASSERT_EQ(parents.size(), 1u);
    EXPECT_TRUE(IsAnonymousLabel(findNode("common", 0)->first(ParentSlot)->name))
        << "the drop made the new parent";
    // Once the drag is over the keys edit again.
    const int afterDrop = testing_support::NetworkNodeCount();
    QTest::keyClick(port, Qt::Key_Delete);
    EXPECT_EQ(testing_support::NetworkNodeCount(), afterDrop - 1);
}

TEST_F(ViewMouseTest, DraggingTheCurrentNodePastTwoSiblingsMovesItTwoPlaces) {
    GoToNode(view, node("noun"), 1);
    ASSERT_EQ(view.current, node("noun"));
    ASSERT_EQ(view.currentLink, node("word"));
    ASSERT_EQ(names("word", ChildSlot),
              (std::vector<std::string>{"noun", "verb", "adjective", "adverb"}));
    // Past the centres of the next two, short of the third.
    const QPoint target((centre("adjective").x() + rim("adverb").x()) / 2, centre("noun").y());
    drag(rim("noun"), target);
    EXPECT_EQ(names("word", ChildSlot),
              (std::vector<std::string>{"verb", "adjective", "noun", "adverb"}));
    EXPECT_FALSE(node("verb")->hasFlag(NodeFlags::DragMark)) << "the marks go with the drag";
}

TEST_F(ViewMouseTest, ALinkDroppedOnTheDraggedNodesOwnLineageIsRefused) {
    // From the parents' stub of "common" onto "word", its grandparent: no cycle, no duplicate,
    // but in its lineage.
    const ViewNode* common = node("common");
    const platform::Point fork = onScreen(view, slotCentre(common), forkLayer(view, common, true));
    const platform::Point end = parentLinkPoint(view, common);
    const QPoint stub((fork.x + end.x) / 2, (fork.y + end.y) / 2);
    ASSERT_EQ(HitStub(view, {stub.x(), stub.y()}).node, common);
    const ChangeRecord* history = changes().history;
    drag(stub, centre("word"));
    EXPECT_EQ(changes().history, history) << "nothing was changed";
    EXPECT_EQ(names("common", ParentSlot), std::vector<std::string>{"noun"});
    // Onto a node outside the lineage the stub makes a new link.
    drag(stub, centre("verb"));
    EXPECT_EQ(names("common", ParentSlot), (std::vector<std::string>{"noun", "verb"}));
}

TEST_F(ViewMouseTest, AClickOnALabelOpensTheEditorWhereTypingRelabelsTheNode) {
    QWidget* port = widget->viewport();
    QTest::mouseClick(port, Qt::LeftButton, {}, centre("verb"));
    ASSERT_TRUE(EditorOpen(view));
    EXPECT_EQ(view.current, node("verb"));
    EXPECT_EQ(HoverText(view, {centre("verb").x(), centre("verb").y()}), "Edit the label");
    QTest::keyClick(widget.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget.get(), "action");
    QTest::keyClick(widget.get(), Qt::Key_Return);
    EXPECT_FALSE(EditorOpen(view));
    EXPECT_NE(findNode("action", 0), nullptr);
    EXPECT_EQ(findNode("verb", 0), nullptr);
}

TEST_F(ViewMouseTest, CtrlDragDownEnlargesTheCellsAndCtrlShiftKeepsTheirProportion) {
    const QPoint empty(widget->viewport()->width() / 2, widget->viewport()->height() - 60);
    ASSERT_EQ(HitNode(view, {empty.x(), empty.y()}), nullptr);
    const float slot = view.slotExtent;
    const float layer = view.layerExtent;
    drag(empty - QPoint(0, 40), empty, Qt::ControlModifier);
    EXPECT_GT(view.layerExtent, layer);
    EXPECT_FLOAT_EQ(view.slotExtent, slot) << "a move straight down leaves the other axis";

    const float ratio = view.slotExtent / view.layerExtent;
    drag(empty - QPoint(0, 40), empty, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(view.slotExtent / view.layerExtent, ratio, 0.05f);
    EXPECT_GT(view.slotExtent, slot);
}

} // namespace
} // namespace tarvo
