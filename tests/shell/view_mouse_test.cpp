// The mouse in a view window, driven with real mouse events: markers, relinking by dragging a
// link's end, reordering siblings, the lineage refusal, zooming and hiding.
#include "shell/net_view_widget.h"

#include "containers/node_list.h"
#include "edit/changes.h"
#include "labels/label_markup.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/links.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "view/commands.h"
#include "view/net_view.h"
#include "view/view_commands.h"
#include "view/view_geometry.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
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
    // Before the view, which goes first.
    std::unique_ptr<Network> net;

    void SetUp() override {
        net = testing_support::ReadNetworkText(kFamily);
        widget = std::make_unique<NetViewWidget>();
        widget->resize(900, 600);
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        ViewStartup startup;
        ASSERT_EQ(CreateView(view, *net, net->find("word", 0), &widget->host(), &menus, startup),
                  1);
        widget->setView(&view);
        QTest::qWait(20);
        // Straight links: points along them are easy to find.
        SetLineStyle(view, LineStyle::Straight);
    }
    void TearDown() override {
        widget->setView(nullptr);
        DestroyView(view);
        widget.reset();
        net.reset();
    }

    ViewNode* node(const char* name) { return asViewNode(findNodeIn(view.layout.nodes, name, 0)); }
    static QPoint q(platform::Point p) { return {p.x, p.y}; }
    static platform::Point p(QPoint q) { return {q.x(), q.y()}; }
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
        forEachNode(net->find(of, 0)->slotList(slot), [&](NodeBase* n) {
            std::string markup;
            LabelToMarkup(asNode(n)->name, markup);
            found.push_back(markup);
        });
        return found;
    }

    // A point of the window over nothing a press would start anything on but empty space,
    // the nearest one to `near` on a coarse grid.
    QPoint emptyPoint(QPoint near) {
        const QSize size = widget->viewport()->size();
        QPoint best(-1, -1);
        for (int y = 30; y < size.height() - 30; y += 10)
            for (int x = 30; x < size.width() - 30; x += 10) {
                const platform::Point p{x, y};
                if (HitNode(view, p) || HitMarker(view, p).node || HitStub(view, p).node ||
                    HitLink(view, p).child)
                    continue;
                if (best.x() < 0 ||
                    (QPoint(x, y) - near).manhattanLength() < (best - near).manhattanLength())
                    best = QPoint(x, y);
            }
        return best;
    }
    // The view as it opens, turned to `orientation`, with cells of 400 pixels and scrolled to
    // the middle of both ranges.
    void largeCellsIn(Orientation orientation) {
        SetOrientation(view, orientation);
        view.geometry.aspect = 0.0f;
        SetCellExtents(view, 400.0f, 400.0f);
        ScrollBarMoved(view, true, view.geometry.scrollRangeX / 2);
        ScrollBarMoved(view, false, view.geometry.scrollRangeY / 2);
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
    SetLineStyle(view, LineStyle::Curved);
    const platform::Point middle = CurvedLinkBetween(view, low, high).middle;
    EXPECT_EQ(HitLink(view, middle).child, node("common"));
    EXPECT_EQ(HitLink(view, onScreen(view, slotOf(view, middle) + 12, layerOf(view, middle))).child,
              nullptr);
    SetLineStyle(view, LineStyle::Straight);
    const QPoint empty(widget->viewport()->width() - 10, widget->viewport()->height() - 10);
    ASSERT_EQ(HitNode(view, {empty.x(), empty.y()}), nullptr);
    drag(onLink, empty);
    const std::vector<std::string> parents = names("common", ParentSlot);
    ASSERT_EQ(parents.size(), 1u);
    EXPECT_NE(parents[0], "noun");
    EXPECT_TRUE(IsAnonymousLabel(net->find("common", 0)->first(ParentSlot)->name));
    EXPECT_EQ(dragState(view).mode, kNoDrag);

    ASSERT_TRUE(UndoLastChange(view));
    EXPECT_EQ(names("common", ParentSlot), std::vector<std::string>{"noun"});
}

TEST_F(ViewMouseTest, EditKeysPressedWhileALinkIsDraggedWaitAndTheDropStillLands) {
    // Something to undo, made before the drag.
    QTest::keyClick(widget->viewport(), Qt::Key_Insert, Qt::ControlModifier);
    const int nodes = testing_support::NetworkNodeCount(*net);
    ASSERT_NE(changes(*net).undo, nullptr);
    const platform::Point low = parentLinkPoint(view, node("common"));
    const platform::Point high = childLinkPoint(view, node("noun"));
    const QPoint onLink((low.x + 3 * high.x) / 4, (low.y + 3 * high.y) / 4);
    const QPoint empty(widget->viewport()->width() - 10, widget->viewport()->height() - 10);
    QWidget* port = widget->viewport();
    QTest::mousePress(port, Qt::LeftButton, {}, onLink);
    QTest::mouseMove(port, (onLink + empty) / 2);
    ASSERT_EQ(dragState(view).mode, kDragLink);
    ASSERT_NE(view.currentLink, nullptr);
    // Delete, Insert, Ctrl+Insert and Undo would each rebuild the nodes the drag holds.
    QTest::keyClick(port, Qt::Key_Delete);
    QTest::keyClick(port, Qt::Key_Insert);
    QTest::keyClick(port, Qt::Key_Insert, Qt::ControlModifier);
    ViewCommand(view, cmd::kUndo);
    ViewCommand(view, cmd::kDeleteNode);
    ViewCommand(view, cmd::kInsertChild);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), nodes) << "no edit while the drag runs";
    ASSERT_NE(net->find("common", 0), nullptr);
    QTest::mouseMove(port, empty);
    QTest::mouseRelease(port, Qt::LeftButton, {}, empty);
    EXPECT_EQ(dragState(view).mode, kNoDrag);
    const std::vector<std::string> parents = names("common", ParentSlot);
    ASSERT_EQ(parents.size(), 1u);
    EXPECT_TRUE(IsAnonymousLabel(net->find("common", 0)->first(ParentSlot)->name))
        << "the drop made the new parent";
    // Once the drag is over the keys edit again.
    const int afterDrop = testing_support::NetworkNodeCount(*net);
    QTest::keyClick(port, Qt::Key_Delete);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), afterDrop - 1);
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

TEST_F(ViewMouseTest, ReorderingPastHiddenSiblingsSwappingEndsAndEdgeScrollingKeepTheDrag) {
    // A hidden sibling before the node: the node still lands past the two it is dragged past.
    ToggleNodeHidden(view, node("noun"));
    ASSERT_TRUE(node("noun")->hasFlag(NodeFlags::Hidden));
    GoToNode(view, node("verb"), 1);
    ASSERT_EQ(view.currentLink, node("word"));
    const int right = std::max({node("verb")->layoutBox.right, node("adjective")->layoutBox.right,
                                node("adverb")->layoutBox.right});
    const QPoint past(right + 3, centre("verb").y());
    drag(rim("verb"), past);
    EXPECT_EQ(names("word", ChildSlot),
              (std::vector<std::string>{"noun", "adjective", "adverb", "verb"}));
    RevealNetwork(view);
    ASSERT_FALSE(node("noun")->hasFlag(NodeFlags::Hidden));

    // A right click while a link's parent end is dragged: the child end moves instead, the
    // marks go to the parent's children, and empty space takes the child end to a new node.
    QWidget* port = widget->viewport();
    const platform::Point low = parentLinkPoint(view, node("common"));
    const platform::Point high = childLinkPoint(view, node("noun"));
    const QPoint nearParent((low.x + 3 * high.x) / 4, (low.y + 3 * high.y) / 4);
    ASSERT_EQ(HitLink(view, {nearParent.x(), nearParent.y()}).child, node("common"));
    const QPoint empty(port->width() - 10, port->height() - 10);
    ASSERT_EQ(HitNode(view, {empty.x(), empty.y()}), nullptr);
    QTest::mousePress(port, Qt::LeftButton, {}, nearParent);
    QTest::mouseMove(port, nearParent + QPoint(0, 20));
    ASSERT_EQ(dragState(view).mode, kDragLink);
    EXPECT_TRUE(node("noun")->hasFlag(NodeFlags::DragMark));
    QTest::mousePress(port, Qt::RightButton, {}, nearParent + QPoint(0, 20));
    EXPECT_EQ(view.current, node("noun")) << "the end that stays is current";
    EXPECT_EQ(view.currentLink, node("common")) << "with the dragged link as its current link";
    EXPECT_FALSE(node("noun")->hasFlag(NodeFlags::DragMark));
    EXPECT_TRUE(node("proper")->hasFlag(NodeFlags::DragMark));
    platform::Point from;
    platform::Point to;
    ASSERT_TRUE(DragLine(view, &from, &to));
    EXPECT_EQ(from, childLinkPoint(view, node("noun")));
    QTest::mouseMove(port, empty);
    QTest::mouseRelease(port, Qt::LeftButton, {}, empty);
    EXPECT_TRUE(names("common", ParentSlot).empty());
    const std::vector<std::string> children = names("noun", ChildSlot);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_TRUE(IsAnonymousLabel(net->find("noun", 0)->first(ChildSlot)->name));
    EXPECT_EQ(children[1], "proper");
    EXPECT_FALSE(node("proper")->hasFlag(NodeFlags::DragMark));
    ASSERT_TRUE(UndoLastChange(view));
    EXPECT_EQ(names("noun", ChildSlot), (std::vector<std::string>{"common", "proper"}));

    // Held near the window's edge, a stub drag scrolls the picture, and the rubber line still
    // starts at the stub's end where it now is.
    view.geometry.aspect = 0.0f;
    SetCellExtents(view, 400.0f, 400.0f);
    GoToNode(view, node("noun"), 2);
    const ViewNode* noun = node("noun");
    const platform::Point fork = onScreen(view, slotCentre(noun), forkLayer(view, noun, true));
    const platform::Point end = parentLinkPoint(view, noun);
    const QPoint stub((fork.x + end.x) / 2, (fork.y + end.y) / 2);
    ASSERT_EQ(HitStub(view, {stub.x(), stub.y()}).node, noun);
    QTest::mousePress(port, Qt::LeftButton, {}, stub);
    const bool down = view.geometry.scrollY < view.geometry.scrollRangeY;
    const QPoint edge(stub.x(), down ? port->height() - 4 : 4);
    QTest::mouseMove(port, edge);
    ASSERT_EQ(dragState(view).mode, kDragStub);
    const int scrolled = view.geometry.scrollY;
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.geometry.scrollY != scrolled; }, 5000));
    ASSERT_TRUE(DragLine(view, &from, &to));
    EXPECT_EQ(from, parentLinkPoint(view, noun));
    EXPECT_NE(from, end);
    QTest::mouseRelease(port, Qt::LeftButton, {}, centre("noun"));
    EXPECT_EQ(dragState(view).mode, kNoDrag);
}

TEST_F(ViewMouseTest, PanningFollowsTheMouseAndZoomingKeepsItsStartInEveryOrientation) {
    for (const Orientation orientation : {Orientation::LeftToRight, Orientation::RightToLeft,
                                          Orientation::TopDown, Orientation::BottomUp}) {
        SCOPED_TRACE(ToInt(orientation));
        largeCellsIn(orientation);
        const QPoint middle(widget->viewport()->width() / 2, widget->viewport()->height() / 2);
        const QPoint start = emptyPoint(middle);
        ASSERT_GE(start.x(), 0);
        const QPoint before = centre("common");
        drag(start, start + QPoint(32, 20));
        EXPECT_NEAR(centre("common").x() - before.x(), 32, 1);
        EXPECT_NEAR(centre("common").y() - before.y(), 20, 1);

        // Away from the first layer, along the layer axis: the layers grow, and what lay at
        // the start stays there.
        largeCellsIn(orientation);
        const QPoint at = emptyPoint(middle);
        const platform::Point away = onScreen(view, 0, 40 * childward(view));
        const float layer = view.geometry.layerExtent;
        const float slot = view.geometry.slotExtent;
        const platform::Point was = p(centre("common"));
        drag(at, at + QPoint(away.x, away.y), Qt::ControlModifier);
        ASSERT_GT(view.geometry.layerExtent, layer);
        EXPECT_FLOAT_EQ(view.geometry.slotExtent, slot);
        const float scale = view.geometry.layerExtent / layer;
        const platform::Point now = p(centre("common"));
        const platform::Point from = p(at);
        EXPECT_NEAR(layerOf(view, now) - layerOf(view, from),
                    scale * static_cast<float>(layerOf(view, was) - layerOf(view, from)), 2.0f);
        EXPECT_NEAR(slotOf(view, now), slotOf(view, was), 1);
    }
}

TEST_F(ViewMouseTest, ALinkDroppedOnTheDraggedNodesOwnLineageIsRefused) {
    // From the parents' stub of "common" onto "word", its grandparent: no cycle, no duplicate,
    // but in its lineage.
    const ViewNode* common = node("common");
    const platform::Point fork = onScreen(view, slotCentre(common), forkLayer(view, common, true));
    const platform::Point end = parentLinkPoint(view, common);
    const QPoint stub((fork.x + end.x) / 2, (fork.y + end.y) / 2);
    ASSERT_EQ(HitStub(view, {stub.x(), stub.y()}).node, common);
    const ChangeRecord* history = changes(*net).history;
    drag(stub, centre("word"));
    EXPECT_EQ(changes(*net).history, history) << "nothing was changed";
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
    EXPECT_NE(net->find("action", 0), nullptr);
    EXPECT_EQ(net->find("verb", 0), nullptr);
}

TEST_F(ViewMouseTest, CtrlDragDownEnlargesTheCellsAndCtrlShiftKeepsTheirProportion) {
    const QPoint empty(widget->viewport()->width() / 2, widget->viewport()->height() - 60);
    ASSERT_EQ(HitNode(view, {empty.x(), empty.y()}), nullptr);
    const float slot = view.geometry.slotExtent;
    const float layer = view.geometry.layerExtent;
    drag(empty - QPoint(0, 40), empty, Qt::ControlModifier);
    EXPECT_GT(view.geometry.layerExtent, layer);
    EXPECT_FLOAT_EQ(view.geometry.slotExtent, slot) << "a move straight down leaves the other axis";

    const float ratio = view.geometry.slotExtent / view.geometry.layerExtent;
    drag(empty - QPoint(0, 40), empty, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(view.geometry.slotExtent / view.geometry.layerExtent, ratio, 0.05f);
    EXPECT_GT(view.geometry.slotExtent, slot);
}

// One mouse moves among the views of a frame: a drag begun in one holds the edits of all that
// share its pointer, and of no other view.
TEST(ViewPointer, ADragRunsForEveryViewSharingThePointerAndEndsWithItsView) {
    NetView first;
    NetView second;
    NetView apart;
    first.pointer = second.pointer = MakePointerState();
    EXPECT_FALSE(DragRunning(first));
    EXPECT_FALSE(DragRunning(apart)) << "a view given no pointer has no drag";
    DragState& drag = dragState(first);
    drag.mode = kDragLink;
    drag.view = &first;
    EXPECT_TRUE(DragRunning(second));
    EXPECT_EQ(&dragState(second), &drag);
    EXPECT_FALSE(DragRunning(apart));
    EXPECT_NE(&dragState(apart), &drag);
    ForgetMouse(second);
    EXPECT_TRUE(DragRunning(first)) << "another view going leaves the drag alone";
    ForgetMouse(first);
    EXPECT_FALSE(DragRunning(second));
}

} // namespace
} // namespace tarvo
