// Views that hold only what they show and the hidden nodes beside it: they lay out, count,
// reveal and follow edits as views holding a copy of the whole network do.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/label_text.h"
#include "layout/layout_grid.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/links.h"
#include "model/network.h"
#include "tools/network_generator.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/spotlight.h"
#include "view/view_changes.h"
#include "view/view_editing.h"
#include "view/view_operations.h"

#include "support/network_text.h"
#include "support/null_display.h"
#include "support/view_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace tarvo {
namespace {

std::string plain(const NodeBase* node) {
    std::string text;
    PlainText(node->name, text);
    return text;
}

// What a layout shows: every cell with its name (fillers unnamed) and place, the energy, the
// clusters, and the distance counts; and per shown node its shown neighbours in every slot,
// through fillers, and how many hidden ones it has, which the markers of hidden neighbours show.
struct Picture {
    std::vector<std::tuple<std::string, int, int, int>> cells;
    std::vector<std::string> neighbours;
    float energy = 0.0f;
    int clusters = 0;
    DistanceStats stats;
};

int addCell(void* context, ViewNode* node, int row, int column) {
    auto* picture = static_cast<Picture*>(context);
    const bool filler = node->hasFlag(NodeFlags::DummyNode);
    picture->cells.emplace_back(filler ? "" : plain(node), row, column,
                                filler ? -1 : node->distance);
    if (filler)
        return 0;
    // The shown neighbours in order, and how many are hidden: copies or counted.
    std::string text = plain(node) + ":";
    for (int slot = 0; slot < node->linkSlotCount; ++slot) {
        text += " |";
        int hidden = unseenIn(node, slot);
        forEachNode(node->slots[slot], [&](NodeBase* n) {
            const Node* end = ThroughDummies(n, slot);
            if (end && isHidden(end))
                ++hidden;
            else
                text += " " + (end ? plain(end) : "?");
        });
        text += " +" + std::to_string(hidden) + " hidden";
    }
    picture->neighbours.push_back(text);
    return 0;
}

Picture pictureOf(NetView& view) {
    MeasureDistances(view);
    Picture picture;
    ForEachCell(view.layout.grid, &addCell, &picture);
    picture.energy = view.layout.energy;
    picture.clusters = view.layout.clusterCount;
    picture.stats = view.distances;
    return picture;
}

void expectSamePicture(NetView& a, NetView& b, const std::string& what) {
    const Picture pa = pictureOf(a);
    const Picture pb = pictureOf(b);
    EXPECT_EQ(pa.cells, pb.cells) << what;
    EXPECT_EQ(pa.neighbours, pb.neighbours) << what;
    EXPECT_FLOAT_EQ(pa.energy, pb.energy) << what;
    EXPECT_EQ(pa.clusters, pb.clusters) << what;
    EXPECT_EQ(pa.stats.greatestShown, pb.stats.greatestShown) << what;
    EXPECT_EQ(pa.stats.smallestUnshown, pb.stats.smallestUnshown) << what;
    EXPECT_EQ(pa.stats.unshownCount, pb.stats.unshownCount) << what;
    EXPECT_EQ(pa.stats.greatestDistance, pb.stats.greatestDistance) << what;
}

std::vector<ViewNode*> copiesOf(const NetView& view) {
    std::vector<ViewNode*> copies;
    view.layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            static_cast<std::vector<ViewNode*>*>(context)->push_back(asViewNode(n));
            return 0;
        },
        &copies);
    return copies;
}

// A tree of `count` nodes n0..: node i is a child of node (i - 1) / `branching`.
std::string treeText(int count, int branching) {
    std::string text = "#ENTITIES\n";
    for (int i = 1; i < count; ++i)
        text += "n" + std::to_string(i) + " isa n" + std::to_string((i - 1) / branching) + "\n";
    return text;
}

// A view opened on `name` and laid out with everything within `reveal` steps shown, holding
// only that and its edge (`partial`) or a copy of everything connected.
std::unique_ptr<NetView> openView(Network& net, Node* node, int reveal, bool partial) {
    auto view = std::make_unique<NetView>();
    EXPECT_EQ(BuildViewNodes(*view, net, node, partial ? reveal : -1), 1);
    StartViewLayout(*view, reveal + 1);
    return view;
}

TEST(ViewReach, ARevealOneViewOfATreeHoldsWhatItShowsAndCountsTheNodesBesideIt) {
    const auto net = testing_support::ReadNetworkText(treeText(1000, 4));
    Node* root = net->find("n0", 0);
    const auto view = openView(*net, root, 1, true);
    const std::vector<ViewNode*> copies = copiesOf(*view);
    // The root and its 4 children; their 16 hidden children are counted, not copied, and none
    // of the other 979 nodes is either.
    EXPECT_EQ(copies.size(), 5u);
    for (const ViewNode* v : copies) {
        EXPECT_FALSE(isHidden(v)) << plain(v);
        EXPECT_TRUE(v->complete) << plain(v);
        EXPECT_EQ(unseenIn(v, ChildSlot), v == view->root ? 0 : 4) << plain(v);
        EXPECT_EQ(unseenIn(v, ParentSlot), 0) << plain(v);
    }
    const Picture picture = pictureOf(*view);
    EXPECT_EQ(picture.cells.size(), 5u);
    // The counts are those of the whole tree: 995 nodes not shown, 4 levels below the root's
    // children (a 4-ary tree of 1000 nodes is 5 levels deep below its root).
    EXPECT_EQ(picture.stats.unshownCount, 995);
    EXPECT_EQ(picture.stats.smallestUnshown, 2);
    EXPECT_EQ(picture.stats.greatestShown, 1);
    EXPECT_EQ(picture.stats.greatestDistance, 5);
    EXPECT_EQ(CheckViewAgainstNetwork(*view), "");

    const auto full = openView(*net, root, 1, false);
    EXPECT_EQ(copiesOf(*full).size(), 1000u);
    expectSamePicture(*view, *full, "reveal 1");
}

// Generated networks of several shapes, with relations, properties and several parents.
std::vector<std::unique_ptr<Network>> generatedNetworks() {
    std::vector<std::unique_ptr<Network>> networks;
    for (std::uint32_t seed : {3u, 11u}) {
        tools::GeneratorOptions options;
        options.seed = seed;
        options.entities = 150;
        options.relations = 8;
        options.properties = 60;
        options.maxParents = 3;
        networks.push_back(testing_support::ReadNetworkText(tools::GenerateNetwork(options)));
        options.shape = tools::GeneratorOptions::Shape::WordNet;
        options.entities = 400;
        options.properties = 150;
        networks.push_back(testing_support::ReadNetworkText(tools::GenerateNetwork(options)));
    }
    return networks;
}

// The first entity of the table that has both parents and children, or any entity.
Node* middleEntity(Network& net) {
    Node* found = nullptr;
    net.table()->forEach(
        [](void* context, NodeBase* n) {
            Node* node = asNode(n);
            auto*& f = *static_cast<Node**>(context);
            if (node->isEntity() && listSize(node->slots[ParentSlot]) &&
                listSize(node->slots[ChildSlot]))
                f = node;
            return f ? 1 : 0;
        },
        &found);
    return found;
}

TEST(ViewReach, PartViewsLayOutAndCountAsViewsOfTheWholeNetwork) {
    for (const auto& net : generatedNetworks()) {
        Node* start = middleEntity(*net);
        ASSERT_NE(start, nullptr);
        for (int reveal = 1; reveal <= 5; ++reveal) {
            const auto part = openView(*net, start, reveal, true);
            const auto full = openView(*net, start, reveal, false);
            expectSamePicture(*part, *full, "reveal " + std::to_string(reveal));
            EXPECT_EQ(CheckViewAgainstNetwork(*part), "") << reveal;
        }
    }
}

TEST(ViewReach, RevealingMoreGivesTheCellsOfAViewOpenedFurther) {
    for (const auto& net : generatedNetworks()) {
        Node* start = middleEntity(*net);
        const auto part = openView(*net, start, 1, true);
        EXPECT_TRUE(SetSpotlight(*part, 3, 0));
        Relayout(*part, false);
        const auto further = openView(*net, start, 3, true);
        expectSamePicture(*part, *further, "revealed to 3");
        EXPECT_EQ(CheckViewAgainstNetwork(*part), "");

        RevealNetwork(*part);
        const auto whole = openView(*net, start, 0, false);
        Relayout(*whole, false);
        expectSamePicture(*part, *whole, "the whole network revealed");
    }
}

// The same steps on a part view and on a view of the whole network hiding the same nodes
// leave the same pictures.
TEST(ViewReach, EveryWayOfShowingMoreExtendsAPartViewCorrectly) {
    for (const auto& net : generatedNetworks()) {
        Node* start = middleEntity(*net);
        const auto part = openView(*net, start, 2, true);
        const auto full = openView(*net, start, 2, false);
        const auto both = [&](const char* what, auto&& step) {
            step(*part);
            step(*full);
            expectSamePicture(*part, *full, what);
            EXPECT_EQ(CheckViewAgainstNetwork(*part), "") << what;
        };
        // The nearest hidden node that is not a property. A part view copies a shown node's
        // hidden neighbours first, as its marker's list does.
        const auto edgeNode = [](NetView& view) -> ViewNode* {
            for (ViewNode* v : copiesOf(view))
                if (!isHidden(v) && CopyHiddenNeighbours(view, v, -1))
                    break;
            MeasureDistances(view);
            ViewNode* nearest = nullptr;
            for (ViewNode* v : copiesOf(view))
                if (isHidden(v) && !v->source->isProperty() &&
                    (!nearest || v->distance < nearest->distance))
                    nearest = v;
            return nearest;
        };
        const auto sameNode = [](NetView& view, const ViewNode* like) {
            return FindViewNode(view, like->source);
        };
        both("expand", [](NetView& v) { ExpandSpotlight(v); });
        ViewNode* hidden = edgeNode(*part);
        ASSERT_NE(hidden, nullptr);
        const Node* target = hidden->source;
        both("reveal path", [&](NetView& v) { RevealPathTo(v, FindViewNode(v, target)); });
        // A shown node with hidden children: clicking its marker shows them.
        ViewNode* withHidden = nullptr;
        for (ViewNode* v : copiesOf(*part)) {
            bool hiddenChild = unseenIn(v, ChildSlot) > 0;
            forEachNode(v->slots[ChildSlot],
                        [&](NodeBase* c) { hiddenChild = hiddenChild || isHidden(asNode(c)); });
            if (!isHidden(v) && hiddenChild && !v->hasFlag(NodeFlags::Unplaced)) {
                withHidden = v;
                break;
            }
        }
        ASSERT_NE(withHidden, nullptr);
        both("marker",
             [&](NetView& v) { ToggleSlotHidden(v, sameNode(v, withHidden), ChildSlot, true); });
        ViewNode* next = edgeNode(*part);
        ASSERT_NE(next, nullptr);
        const Node* toggled = next->source;
        both("show node", [&](NetView& v) { ToggleNodeHidden(v, FindViewNode(v, toggled)); });
        ViewNode* away = edgeNode(*part);
        ASSERT_NE(away, nullptr);
        const Node* goal = away->source;
        both("go to a hidden node", [&](NetView& v) { GoToNode(v, FindViewNode(v, goal), 2); });
    }
}

class ViewReachEditing : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    void TearDown() override {
        if (whole)
            DestroyView(*whole);
        whole.reset();
        wholeHost.reset();
        ViewFixture::TearDown();
    }
    // The fixture's view holds the nodes up to `reveal` steps and their edge; `whole` holds a
    // copy of the whole network and hides the same nodes.
    void openBoth(const char* name, int reveal) {
        close();
        host = std::make_unique<platform::OffWindowHost>(platform::Size{800, 600}, measuring(),
                                                         regions());
        view = std::make_unique<NetView>();
        ViewStartup startup;
        startup.spotlightDepth = reveal + 1;
        ASSERT_EQ(CreateView(*view, *net, findNode(name, 0), host.get(), &menus, startup), 1);
        wholeHost = std::make_unique<platform::OffWindowHost>(platform::Size{800, 600}, measuring(),
                                                              regions());
        whole = std::make_unique<NetView>();
        ASSERT_EQ(
            CreateView(*whole, *net, findNode(name, 0), wholeHost.get(), nullptr, ViewStartup{}),
            1);
        MeasureDistances(*whole);
        SetSpotlight(*whole, reveal, 1);
        Relayout(*whole, false);
    }
    ViewNode* in(NetView& v, const char* name) { return FindViewNode(v, findNode(name, 0)); }
    void expectAlike(const char* what) {
        EXPECT_EQ(CheckViewAgainstNetwork(*view), "") << what;
        EXPECT_EQ(CheckViewAgainstNetwork(*whole), "") << what;
        Relayout(*view, false);
        Relayout(*whole, false);
        expectSamePicture(*view, *whole, what);
    }

    testing_support::NullDisplay m_regions;
    std::unique_ptr<platform::OffWindowHost> wholeHost;
    std::unique_ptr<NetView> whole;
};

TEST_F(ViewReachEditing, InsertDeleteAndRelinkKeepAPartViewRight) {
    load(treeText(200, 3));
    openBoth("n1", 1);
    // n1's parent n0, its children n4..n6; n0's other children are hidden copies, for the link
    // cursor stepping through them; n4's children are counted, not copied.
    ASSERT_NE(in(*view, "n2"), nullptr);
    EXPECT_EQ(in(*view, "n13"), nullptr) << "beside the edge";
    EXPECT_EQ(unseenIn(in(*view, "n4"), ChildSlot), 3);
    EXPECT_EQ(in(*view, "n40"), nullptr) << "two steps beyond the edge";

    ASSERT_TRUE(InsertNode(*view, true, false, "fresh"));
    ViewNode* fresh = FindViewNode(*view, net->find("fresh", 0));
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(isHidden(fresh)) << "a new child of a shown node shows";
    expectAlike("insert");

    // A new link from a shown node to a hidden one at the edge keeps the latter hidden. The
    // marker's list of n4 makes the copy to link to.
    ASSERT_TRUE(CopyHiddenNeighbours(*view, in(*view, "n4"), ChildSlot));
    EXPECT_EQ(unseenIn(in(*view, "n4"), ChildSlot), 0);
    ASSERT_TRUE(AddLink(*view, in(*view, "n5"), ChildSlot, in(*view, "n13")));
    expectAlike("link to the edge");
    EXPECT_TRUE(isHidden(in(*view, "n13")));

    // Deleting a shown node takes its copy out; its hidden children stay only where a shown
    // node still leads to them.
    GoToNode(*view, in(*view, "n6"), 2);
    ASSERT_TRUE(DeleteCurrentNode(*view));
    EXPECT_EQ(in(*view, "n6"), nullptr);
    EXPECT_EQ(in(*view, "n19"), nullptr) << "n6's child, reached only through n6";
    GoToNode(*whole, whole->current, 2);
    expectAlike("delete");

    ASSERT_TRUE(UndoLastChange(*view));
    ASSERT_NE(in(*view, "n6"), nullptr);
    expectAlike("undo the delete");
}

TEST_F(ViewReachEditing, CountsOfUncopiedNeighboursFollowEditsUndoAndReveals) {
    load(treeText(200, 3));
    openBoth("n1", 1);
    const auto unseenChildren = [this](const char* name) {
        const ViewNode* v = in(*view, name);
        return v ? unseenIn(v, ChildSlot) : -1;
    };
    EXPECT_EQ(unseenChildren("n5"), 3) << "n16..n18";
    EXPECT_EQ(in(*view, "n16"), nullptr);

    // Links made and taken away in another view, to nodes this one holds no copy of.
    ASSERT_TRUE(AddLink(*whole, in(*whole, "n5"), ChildSlot, in(*whole, "n40")));
    EXPECT_EQ(unseenChildren("n5"), 4);
    EXPECT_EQ(in(*view, "n40"), nullptr);
    expectAlike("a link to a node beyond the edge");
    ASSERT_TRUE(UndoLastChange(*whole));
    EXPECT_EQ(unseenChildren("n5"), 3);
    expectAlike("the link undone");
    ASSERT_TRUE(RemoveLink(*whole, in(*whole, "n5"), ChildSlot, in(*whole, "n16")));
    EXPECT_EQ(unseenChildren("n5"), 2);
    expectAlike("a link to an uncopied node removed");
    ASSERT_TRUE(UndoLastChange(*whole));
    EXPECT_EQ(unseenChildren("n5"), 3);
    expectAlike("the removal undone");

    // The children gain copies later: hidden, complete, counting their own children.
    ASSERT_TRUE(CopyHiddenNeighbours(*view, in(*view, "n5"), ChildSlot));
    EXPECT_FALSE(CopyHiddenNeighbours(*view, in(*view, "n5"), ChildSlot)) << "made once";
    ViewNode* n16 = in(*view, "n16");
    ASSERT_NE(n16, nullptr);
    EXPECT_TRUE(isHidden(n16));
    EXPECT_TRUE(n16->complete);
    EXPECT_EQ(unseenChildren("n16"), 3);
    EXPECT_EQ(unseenChildren("n5"), 0);
    expectAlike("copies made for the marker's list");

    // Showing more copies what comes into sight and counts the ring beyond it; showing less
    // keeps the copies, hidden.
    EXPECT_TRUE(SetSpotlight(*view, 2, 0));
    EXPECT_TRUE(SetSpotlight(*whole, 2, 0));
    expectAlike("revealed to 2");
    EXPECT_EQ(unseenChildren("n13"), 3);
    EXPECT_EQ(unseenChildren("n4"), 0);
    EXPECT_TRUE(SetSpotlight(*view, 1, 1));
    EXPECT_TRUE(SetSpotlight(*whole, 1, 1));
    expectAlike("back to 1");
    EXPECT_EQ(unseenChildren("n4"), 0);
    EXPECT_EQ(CheckViewAgainstNetwork(*view), "");
}

// Revealing a step at a time, with an edit and its undo between, ends in the picture of a view
// opened at that distance.
TEST_F(ViewReachEditing, StepwiseRevealsWithAnEditBetweenMatchAFreshView) {
    load(treeText(400, 3));
    openBoth("n1", 1);
    int distance = 1;
    const auto expectFresh = [&](const std::string& what) {
        Relayout(*view, false);
        const auto fresh = openView(*net, findNode("n1", 0), distance, true);
        expectSamePicture(*view, *fresh, what);
        EXPECT_EQ(CheckViewAgainstNetwork(*view), "") << what;
    };
    for (int step : {+1, +1, -1, +1, -1, -1}) {
        if (step > 0)
            ExpandSpotlight(*view);
        else
            ReduceSpotlight(*view);
        distance += step;
        expectFresh("at " + std::to_string(distance));
        if (distance == 2) {
            ASSERT_TRUE(InsertNode(*view, true, false, "fresh"));
            ASSERT_TRUE(UndoLastChange(*view));
            expectFresh("an insert undone at " + std::to_string(distance));
        }
    }
}

} // namespace
} // namespace tarvo
