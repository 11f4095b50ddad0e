// The layered layout of a view, on small networks written as network files and on generated
// ones.
#include "layout/grid_construction.h"
#include "layout/layer_sweep.h"
#include "layout/layering.h"
#include "layout/layout_improvement.h"
#include "layout/view_flags.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/spotlight.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/label_text.h"
#include "layout/view_node.h"
#include "model/links.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "tools/network_generator.h"

#include "memory/debug_log.h"

#include "support/network_text.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

std::string shown(const NodeBase* node) {
    std::string text;
    PlainText(node->name, text);
    return text;
}

struct Cell {
    std::string name;
    int row;
    int column;
};

int collectCell(void* context, ViewNode* node, int row, int column) {
    static_cast<std::vector<Cell>*>(context)->push_back(
        {node->hasFlag(NodeFlags::DummyNode) ? "" : shown(node), row, column});
    return 0;
}

std::vector<Cell> cellsOf(const NetView& view) {
    std::vector<Cell> cells;
    ForEachCell(view.layout.grid, &collectCell, &cells);
    return cells;
}

class LayoutTest : public ::testing::Test {
protected:
    // Declared before the view, which goes first.
    std::unique_ptr<Network> net = std::make_unique<Network>();

    void TearDown() override {
        view.reset();
        net.reset();
    }
    void load(const std::string& text) {
        view.reset();
        net = testing_support::ReadNetworkText(text);
    }
    // A view opened on the named entity (or relation) and laid out as a new view is.
    NetView& open(const char* name, int reveal = 1, int relationKind = 0) {
        view = std::make_unique<NetView>();
        Node* node = net->find(name, relationKind);
        EXPECT_NE(node, nullptr) << name;
        EXPECT_EQ(BuildViewNodes(*view, *net, node), 1);
        StartViewLayout(*view, reveal);
        return *view;
    }
    ViewNode* node(const char* name) {
        struct Search {
            const char* name;
            ViewNode* found;
        } search{name, nullptr};
        view->layout.nodes->forEach(
            [](void* context, NodeBase* n) {
                auto* s = static_cast<Search*>(context);
                if (!asNode(n)->isProperty() && shown(n) == s->name)
                    s->found = static_cast<ViewNode*>(n);
                return s->found ? 1 : 0;
            },
            &search);
        EXPECT_NE(search.found, nullptr) << name;
        return search.found;
    }
    int row(const char* name) { return node(name)->slot + view->layout.grid.slotOffset; }
    int column(const char* name) { return node(name)->layer + view->layout.grid.layerOffset; }

    std::unique_ptr<NetView> view;
};

// Checks what every layout must give: each shown node in exactly one cell, at its own
// coordinates; every link in the grid joining adjacent layers, parent first; the fillers
// exactly those the long links need; and the stored energy that of the cells.
void expectGridInvariants(NetView& view) {
    std::map<const ViewNode*, int> seen;
    ForEachCell(
        view.layout.grid,
        [](void* context, ViewNode* n, int row, int column) {
            ++(*static_cast<std::map<const ViewNode*, int>*>(context))[n];
            EXPECT_EQ(n->slot + static_cast<int>(0), n->slot);
            EXPECT_FALSE(n->hasFlag(NodeFlags::Hidden));
            (void)row;
            (void)column;
            return 0;
        },
        &seen);
    const LayoutGrid& grid = view.layout.grid;
    for (const auto& [n, count] : seen) {
        EXPECT_EQ(count, 1) << shown(n);
        EXPECT_EQ(grid.nodeAt(n->slot, n->layer), n) << shown(n);
        for (int i = 0, size = n->slots[ParentSlot] ? n->slots[ParentSlot].size() : 0; i < size;
             ++i) {
            const auto* p = static_cast<const ViewNode*>(n->slots[ParentSlot].nodeAt(i));
            if (p->hasFlag(NodeFlags::Hidden))
                continue;
            EXPECT_EQ(p->layer + 1, n->layer) << shown(p) << " above " << shown(n);
        }
    }
    // Every shown view node reached from the current node has its cell.
    int shownNodes = 0;
    view.layout.nodes->forEach(
        [](void* context, NodeBase* n) {
            if (!asNode(n)->hasFlag(NodeFlags::Hidden | NodeFlags::Unplaced))
                ++*static_cast<int*>(context);
            return 0;
        },
        &shownNodes);
    EXPECT_EQ(static_cast<int>(seen.size()), shownNodes + view.layout.dummyCount);

    // The energy from first principles.
    double energy = 0.0;
    const double ideal[] = {0.0, 1.0, 2.4142, 3.8285, 6.0645, 8.3006};
    for (const auto& [n, count] : seen) {
        for (int slot : {ParentSlot, ChildSlot}) {
            int links = 0;
            double sum = 0.0;
            for (int i = 0, size = n->slots[slot] ? n->slots[slot].size() : 0; i < size; ++i) {
                const auto* q = static_cast<const ViewNode*>(n->slots[slot].nodeAt(i));
                if (q->hasFlag(NodeFlags::Hidden))
                    continue;
                const int a = std::abs(n->layer - q->layer);
                const int b = std::abs(n->slot - q->slot);
                sum += a == 1 && b == 1 ? 1.4142 : std::sqrt(double(a * a + b * b));
                ++links;
            }
            double best = links < 6 ? ideal[links] : ideal[5];
            for (int k = 6; k <= links; ++k) {
                const int half = k / 2;
                best += std::sqrt(double(half * half + 1));
            }
            energy += sum - best;
        }
    }
    EXPECT_NEAR(view.layout.energy, energy, 0.01 + std::fabs(energy) * 1e-5);
}

TEST_F(LayoutTest, ANodeWithoutLinksIsOneCellOfNoEnergy) {
    load("#ENTITIES\nalone exists\n");
    NetView& v = open("alone");
    const std::vector<Cell> cells = cellsOf(v);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].name, "alone");
    EXPECT_EQ(v.layout.grid.slotCount, 1);
    EXPECT_EQ(v.layout.grid.layerCount, 1);
    EXPECT_EQ(v.layout.energy, 0.0f);
    EXPECT_EQ(v.layout.clusterCount, 1);
    ImproveLayout(v);
    StepLayout(v);
    EXPECT_EQ(cellsOf(v).size(), 1u);
}

TEST_F(LayoutTest, ALinkSpanningThreeLayersGetsTwoFillersUntilTheNextRelayout) {
    load("#ENTITIES\na isa b\nb isa c\nc isa d\na isa d\n");
    NetView& v = open("d");
    EXPECT_EQ(v.layout.dummyCount, 2);
    EXPECT_EQ(column("a"), column("d") + 3);
    expectGridInvariants(v);
    ViewNode* a = node("a");
    ViewNode* d = node("d");
    ASSERT_EQ(a->slots[ParentSlot].size(), 2);
    EXPECT_TRUE(asNode(a->slots[ParentSlot].nodeAt(1))->hasFlag(NodeFlags::DummyNode));

    RemoveDummyNodes(v.layout);
    EXPECT_EQ(v.layout.dummyCount, 0);
    EXPECT_EQ(v.layout.dummyList, nullptr);
    // The links are the network's again, in the same places.
    EXPECT_EQ(a->slots[ParentSlot].nodeAt(0), node("b"));
    EXPECT_EQ(a->slots[ParentSlot].nodeAt(1), d);
    EXPECT_EQ(d->slots[ChildSlot].nodeAt(1), a);

    Relayout(v, false);
    EXPECT_EQ(v.layout.dummyCount, 2);
    expectGridInvariants(v);
}

TEST_F(LayoutTest, RaiseChildrenMovesOneLayerPerApplicationAndNeedsAShownParent) {
    load("#ENTITIES\nx isa p\ny isa q\n");
    NetView& v = open("p");
    ViewNode* x = node("x");
    ViewNode* p = node("p");
    p->layer = 0;
    x->layer = 4;
    for (int expected : {3, 2, 1, 1}) {
        JustifyDepth(v.layout, v.current, v.options.depthJustify);
        EXPECT_EQ(x->layer, expected);
    }
    // The mirror rule lowers a parent towards its child.
    v.options.depthJustify = DepthJustify::LowerParents;
    x->layer = 4;
    JustifyDepth(v.layout, v.current, v.options.depthJustify);
    EXPECT_EQ(p->layer, 1);

    NetView& w = open("q");
    ViewNode* y = node("y");
    node("q")->setFlag(1, NodeFlags::Hidden);
    y->layer = 4;
    w.options.depthJustify = DepthJustify::RaiseChildren;
    w.current = y;
    JustifyDepth(w.layout, w.current, w.options.depthJustify);
    EXPECT_EQ(y->layer, 4);
}

TEST_F(LayoutTest, ARelationClusterStandsBetweenTheEntityClustersItJoins) {
    load("#RELATIONS\nlinks exists\n#ENTITIES\nalpha exists\nomega exists\n"
         "#PROPERTIES\nalpha links omega\n");
    NetView& v = open("alpha");
    ASSERT_EQ(v.layout.clusterCount, 3);
    // Found in breadth-first order: the current node's cluster, the relation's, the far end's.
    ASSERT_EQ(v.layout.clusters.size(), 3u);
    EXPECT_EQ(shown(v.layout.clusters[0].seed), "alpha");
    EXPECT_TRUE(v.layout.clusters[1].seed->hasFlag(NodeFlags::RelationKind));
    EXPECT_EQ(v.layout.clusters[1].insertAt, 1);
    EXPECT_EQ(shown(v.layout.clusters[2].seed), "omega");
    EXPECT_LT(row("alpha"), row("links"));
    EXPECT_LT(row("links"), row("omega"));
    expectGridInvariants(v);
}

TEST_F(LayoutTest, RelationPlaceWeighsGapsByDistance) {
    Cluster a, b, c, relation;
    a.number = 0;
    b.number = 1;
    c.number = 2;
    relation.number = 3;
    relation.linkCounts[0] = {0, 0, 0, 0};
    relation.linkCounts[1] = {0, 0, 0, 0};
    const std::vector<const Cluster*> entities{&a, &b, &c};
    EXPECT_EQ(RelationInsertPlace(relation, entities), 0);
    // From-ends in the last cluster pull it after that one.
    relation.linkCounts[0][2] = 1;
    EXPECT_EQ(RelationInsertPlace(relation, entities), 3);
    // Three to-ends in the first cluster outweigh one from-end two gaps away.
    relation.linkCounts[1][0] = 3;
    EXPECT_EQ(RelationInsertPlace(relation, entities), 0);
}

TEST_F(LayoutTest, TargetsFollowTheJustification) {
    load("#ENTITIES\nc isa p\nc isa q\nk isa c\n");
    struct Case {
        Justification justification;
        int expected;
    };
    for (const Case& test : {Case{Justification::First, 2}, Case{Justification::Centred, 4},
                             Case{Justification::Last, 5}}) {
        NetView& v = open("p");
        ViewNode* c = node("c");
        ViewNode* p = node("p");
        ViewNode* q = node("q");
        ViewNode* k = node("k");
        k->setFlag(1, NodeFlags::Hidden);
        ASSERT_EQ(v.layout.grid.reset(7, 2), 1);
        p->slot = 2;
        q->slot = 5;
        p->layer = q->layer = 0;
        c->layer = 1;
        c->slot = 0;
        for (ViewNode* n : {p, q, c})
            v.layout.grid.place(n);
        v.options.justification = test.justification;
        EXPECT_TRUE(SweepLayout(v.layout, v.options.justification, SweepDirection::Downward,
                                SweepMode::KeepOrder, 1.0f));
        EXPECT_EQ(c->slot, test.expected) << ToInt(test.justification);
        if (test.justification == Justification::Centred) {
            EXPECT_FLOAT_EQ(c->barycentre, 3.5f);
        }
    }
    // Blended with the children's aim: 0.5 * 2 + 0.5 * (2 * 1 + 6 * 1) / 2 = 3.
    NetView& v = open("p");
    ViewNode* c = node("c");
    ViewNode* k = node("k");
    node("q")->setFlag(1, NodeFlags::Hidden);
    ASSERT_EQ(v.layout.grid.reset(7, 3), 1);
    node("p")->slot = 2;
    node("p")->layer = 0;
    c->layer = 1;
    c->slot = 0;
    k->layer = 2;
    k->slot = 6;
    for (ViewNode* n : {node("p"), c, k})
        v.layout.grid.place(n);
    SweepLayout(v.layout, v.options.justification, SweepDirection::Downward, SweepMode::KeepOrder,
                0.5f);
    EXPECT_FLOAT_EQ(c->barycentre, 3.0f);
    EXPECT_EQ(c->slot, 3);
}

TEST_F(LayoutTest, ATakenCellShiftsTheNearerRun) {
    // Three children of one parent all aim at its slot. The first takes it; the second finds
    // the rows above and below equally near and goes down; the third is nearer the top and
    // shifts the other two up, into a row opened at the front.
    load("#ENTITIES\na isa p\nb isa p\nc isa p\n");
    NetView& v = open("p");
    ASSERT_EQ(v.layout.grid.reset(3, 2), 1);
    ViewNode* p = node("p");
    p->layer = 0;
    p->slot = 0;
    v.layout.grid.place(p);
    int slot = 0;
    for (const char* name : {"c", "b", "a"}) {
        ViewNode* n = node(name);
        n->layer = 1;
        n->slot = slot++;
        v.layout.grid.place(n);
    }
    v.options.justification = Justification::Centred;
    EXPECT_TRUE(SweepLayout(v.layout, v.options.justification, SweepDirection::Downward,
                            SweepMode::Reorder, 1.0f));
    EXPECT_EQ(node("c")->slot, -1);
    EXPECT_EQ(node("b")->slot, 0);
    EXPECT_EQ(node("a")->slot, 1);
    EXPECT_EQ(v.layout.grid.slotOffset, 1);
    EXPECT_EQ(v.layout.grid.slotCount, 3);
    LayoutEnergy(v.layout);
    expectGridInvariants(v);
}

TEST(AimOrderKeyTest, IntegerOrderIsAimThenSlot) {
    // Aims as floats compare them (negative ones, both zeros, fractions, no aim at all), ties
    // by slot, negative slots included.
    const float aims[] = {-1e6f, -2.5f, -1.0f, -0.0f, 0.0f, 0.25f, 1.0f, 2.5f, 1e6f, NoTarget};
    const int slots[] = {-70000, -3, -1, 0, 1, 2, 70000};
    for (float a : aims)
        for (float b : aims)
            for (int s : slots)
                for (int t : slots) {
                    const bool before = a < b || (a == b && s < t);
                    EXPECT_EQ(aimOrderKey(a, s) < aimOrderKey(b, t), before)
                        << a << "@" << s << " against " << b << "@" << t;
                }
}

TEST_F(LayoutTest, ReorderSortsALayerByAimFromAnyStartingOrder) {
    // Parents p0.. stand in slot order. Child am has parents p(2m) and p(2m + 1), aiming at
    // 2m + 0.5; bm has p(2m + 1) alone, aiming at 2m + 1. Both want row 2m + 1, and only the
    // sort by aim decides that am takes it and bm goes after. The children start in the
    // reverse order, bm before am: layers of two, of a few and of many nodes, the last far out
    // of order, must all come out a0 b0 a1 b1 ...
    for (int pairs : {1, 2, 3, 30}) {
        SCOPED_TRACE(pairs);
        std::string text = "#ENTITIES\n";
        for (int j = 0; j < 2 * pairs; ++j)
            text += "p" + std::to_string(j) + " isa r\n";
        for (int m = 0; m < pairs; ++m) {
            const std::string m2 = std::to_string(2 * m);
            const std::string m21 = std::to_string(2 * m + 1);
            text += "a" + std::to_string(m) + " isa p" + m2 + "\n";
            text += "a" + std::to_string(m) + " isa p" + m21 + "\n";
            text += "b" + std::to_string(m) + " isa p" + m21 + "\n";
        }
        load(text);
        NetView& v = open("r", 2);
        node("r")->setFlag(1, NodeFlags::Hidden);
        ASSERT_EQ(v.layout.grid.reset(2 * pairs, 2), 1);
        auto named = [this](char kind, int i) {
            return node((std::string(1, kind) + std::to_string(i)).c_str());
        };
        auto put = [&v](ViewNode* n, int layer, int slot) {
            n->setFlag(0, NodeFlags::Hidden | NodeFlags::Unplaced);
            n->layer = layer;
            n->slot = slot;
            v.layout.grid.place(n);
        };
        for (int j = 0; j < 2 * pairs; ++j)
            put(named('p', j), 0, j);
        for (int m = 0; m < pairs; ++m) {
            put(named('b', m), 1, 2 * (pairs - 1 - m));
            put(named('a', m), 1, 2 * (pairs - 1 - m) + 1);
        }
        SweepLayout(v.layout, Justification::Centred, SweepDirection::Downward, SweepMode::Reorder,
                    1.0f);
        for (int m = 0; m < pairs; ++m) {
            EXPECT_LT(named('a', m)->slot, named('b', m)->slot) << m;
            if (m + 1 < pairs) {
                EXPECT_LT(named('b', m)->slot, named('a', m + 1)->slot) << m;
            }
        }
        LayoutEnergy(v.layout);
        expectGridInvariants(v);
    }
}

TEST_F(LayoutTest, ImproveLeavesALayoutAloneWhenTheFirstSweepMovesNothing) {
    load("#ENTITIES\nb isa a\nc isa b\n");
    NetView& v = open("a");
    const std::vector<Cell> before = cellsOf(v);
    v.layout.energy = 123.0f;
    ImproveLayout(v);
    EXPECT_EQ(v.layout.energy, 123.0f);
    const std::vector<Cell> after = cellsOf(v);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i].row, before[i].row);
}

TEST(IdealLinkSumTest, OneStraightLinkThenTwoAtEachSlotDistance) {
    // The listed sums up to five links, then one more link at distance k = n / 2 each.
    EXPECT_EQ(IdealLinkSum(0), 0.0f);
    EXPECT_EQ(IdealLinkSum(1), 1.0f);
    EXPECT_EQ(IdealLinkSum(5), 8.3006f);
    float sum = 8.3006f;
    std::vector<float> grown;
    for (int n = 6; n <= 40; ++n) {
        const int k = n / 2;
        sum += std::sqrt(static_cast<float>(k * k + 1));
        grown.push_back(sum);
    }
    // Asked from the largest count down, and again upwards: each count has one value.
    for (int n = 40; n >= 6; --n)
        EXPECT_EQ(IdealLinkSum(n), grown[static_cast<std::size_t>(n - 6)]) << n;
    for (int n = 6; n <= 40; ++n)
        EXPECT_EQ(IdealLinkSum(n), grown[static_cast<std::size_t>(n - 6)]) << n;
    EXPECT_NEAR(IdealLinkSum(6), 8.3006f + std::sqrt(10.0f), 1e-5);
}

TEST_F(LayoutTest, EnergyCountsExcessLinkLength) {
    load("#ENTITIES\nl isa p\nr isa p\n");
    NetView& v = open("p");
    ASSERT_EQ(v.layout.grid.reset(3, 2), 1);
    node("p")->slot = 0;
    node("p")->layer = 0;
    node("l")->slot = 0;
    node("l")->layer = 1;
    node("r")->slot = 2;
    node("r")->layer = 1;
    for (const char* name : {"p", "l", "r"})
        v.layout.grid.place(node(name));
    // p: 1 + sqrt 5 - 2.4142; l: 1 - 1; r: sqrt 5 - 1.
    EXPECT_NEAR(LayoutEnergy(v.layout), 2.2361 - 1.4142 + 1.2361, 1e-4);
    EXPECT_NEAR(node("p")->childEnergy, 0.8219, 1e-4);
    EXPECT_NEAR(node("r")->parentEnergy, 1.2361, 1e-4);
    // One slot across: the diagonal of the ideal pair, so the energy is a whole number again.
    node("r")->slot = 1;
    v.layout.grid.reset(3, 2);
    for (const char* name : {"p", "l", "r"})
        v.layout.grid.place(node(name));
    EXPECT_NEAR(LayoutEnergy(v.layout), 1.4142 - 1.0, 1e-4);
    // Straight links only: exactly the ideal.
    node("r")->slot = 0;
    node("r")->layer = 2;
    v.layout.grid.reset(3, 3);
    for (const char* name : {"p", "l", "r"})
        v.layout.grid.place(node(name));
    EXPECT_EQ(LayoutEnergy(v.layout), 2.0f - 2.4142f + 1.0f + 1.0f);
}

TEST_F(LayoutTest, GeneratedNetworksKeepTheGridInvariants) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        tools::GeneratorOptions options;
        options.seed = seed;
        options.entities = 60 + 20 * static_cast<int>(seed);
        options.relations = 8;
        options.properties = 25;
        options.formatted = false;
        load(tools::GenerateNetwork(options));
        NodeList* entities = net->nodesOfKind(0);
        ASSERT_NE(entities, nullptr);
        Node* start = asNode(entities->nodeAt(entities->size() / 2));
        std::string name = start->name;
        entities->destroy();
        for (const Justification justification :
             {Justification::First, Justification::Centred, Justification::Last}) {
            for (const DepthJustify depth :
                 {DepthJustify::RaiseChildren, DepthJustify::LowerParents}) {
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << " justification " << ToInt(justification)
                             << " depth " << ToInt(depth));
                view = std::make_unique<NetView>();
                view->options.justification = justification;
                view->options.depthJustify = depth;
                ASSERT_EQ(BuildViewNodes(*view, *net, net->find(name.c_str(), 0)), 1);
                StartViewLayout(*view, 1);
                {
                    SCOPED_TRACE("created");
                    expectGridInvariants(*view);
                }
                ImproveLayout(*view);
                {
                    SCOPED_TRACE("improved");
                    expectGridInvariants(*view);
                }
                for (int step = 0; step < 3; ++step)
                    StepLayout(*view);
                SCOPED_TRACE("stepped");
                expectGridInvariants(*view);
                // Fillers gone, every view node has its network node's neighbours again.
                RemoveDummyNodes(view->layout);
                view->layout.nodes->forEach([](NodeBase* n) {
                    const auto* v = static_cast<const ViewNode*>(n);
                    for (int slot = 0; slot < 4; ++slot) {
                        const NodeSlot mine = v->slots[slot];
                        const NodeSlot theirs = v->source->slots[slot];
                        EXPECT_EQ(mine ? mine.size() : 0, theirs ? theirs.size() : 0);
                        for (int i = 0, size = mine ? mine.size() : 0; i < size; ++i)
                            EXPECT_EQ(static_cast<const ViewNode*>(mine.nodeAt(i))->source,
                                      theirs.nodeAt(i));
                    }
                    return 0;
                });
            }
        }
    }
}

TEST_F(LayoutTest, CyclesOfIsaLinksEndEveryPass) {
    load("#ENTITIES\na isa b\nb isa c\nc isa a\nd isa a\nb isa d\ne isa e\ne isa a\n");
    for (const DepthJustify depth : {DepthJustify::RaiseChildren, DepthJustify::LowerParents}) {
        view = std::make_unique<NetView>();
        view->options.depthJustify = depth;
        ASSERT_EQ(BuildViewNodes(*view, *net, net->find("a", 0)), 1);
        StartViewLayout(*view, 1);
        ImproveLayout(*view);
        StepLayout(*view);
        Relayout(*view, false);
        MeasureDistances(*view);
        // Every node still has exactly one cell.
        std::map<std::string, int> cells;
        for (const Cell& cell : cellsOf(*view))
            if (!cell.name.empty())
                ++cells[cell.name];
        EXPECT_EQ(cells.size(), 5u);
        for (const auto& [name, count] : cells)
            EXPECT_EQ(count, 1) << name;
    }
}

TEST_F(LayoutTest, ManyClustersAreAllPlaced) {
    // Twelve entity clusters chained by relations: more passes than the visit marks have bits.
    std::string text = "#RELATIONS\nnext exists\n#ENTITIES\n";
    for (int i = 0; i < 12; ++i)
        text += "e" + std::to_string(i) + " exists\n";
    text += "#PROPERTIES\n";
    for (int i = 0; i + 1 < 12; ++i)
        text += "e" + std::to_string(i) + " next e" + std::to_string(i + 1) + "\n";
    load(text);
    NetView& v = open("e0");
    EXPECT_EQ(v.layout.clusterCount, 13);
    int entities = 0;
    for (const Cell& cell : cellsOf(v))
        entities += cell.name.find(' ') == std::string::npos && cell.name != "next";
    EXPECT_EQ(entities, 12);
    expectGridInvariants(v);
}

TEST_F(LayoutTest, PixelBoxesFollowOrientationScrollAndZoom) {
    load("#ENTITIES\nb isa a\nc isa a\nd isa b\nd isa a\n");
    NetView& v = open("a");
    v.geometry.cellWidth = 90.0f;
    v.geometry.cellHeight = 60.0f;
    v.geometry.clientWidth = 500;
    v.geometry.clientHeight = 400;
    ViewNode* d = node("d");
    const int r = row("d");
    const int l = column("d");
    // Half extents: f(90) = 31.05, f(60) = 22.8.
    struct Case {
        Orientation orientation;
        int x;
        int y;
    };
    for (const Case& test : {Case{Orientation::TopDown, 45 + 90 * r, 30 + 60 * l},
                             Case{Orientation::BottomUp, 45 + 90 * r, 400 - (30 + 60 * l)},
                             Case{Orientation::LeftToRight, 45 + 90 * l, 30 + 60 * r},
                             Case{Orientation::RightToLeft, 500 - (45 + 90 * l), 30 + 60 * r}}) {
        v.options.orientation = test.orientation;
        PlaceOnScreen(v);
        EXPECT_EQ(d->layoutBox.left, test.x - 31) << ToInt(test.orientation);
        EXPECT_EQ(d->layoutBox.right, test.x + 32) << ToInt(test.orientation);
        EXPECT_EQ(d->layoutBox.top, test.y - 22) << ToInt(test.orientation);
        EXPECT_EQ(d->layoutBox.bottom, test.y + 23) << ToInt(test.orientation);
    }
    // The link box: grown by 3 * 0.9 + 1 = 3, parent side first whatever the direction.
    v.options.orientation = Orientation::BottomUp;
    PlaceOnScreen(v);
    EXPECT_EQ(d->linkBox.top, d->layoutBox.bottom + 3);
    EXPECT_EQ(d->linkBox.bottom, d->layoutBox.top - 3);
    EXPECT_EQ(d->linkBox.left, d->layoutBox.left - 3);
    // Scrolling moves the picture by the scrolled-away part.
    v.options.orientation = Orientation::TopDown;
    PlaceOnScreen(v);
    const PixelBox before = d->layoutBox;
    v.geometry.firstVisibleSlot = 1;
    v.geometry.scrollY = 7;
    PlaceOnScreen(v);
    EXPECT_EQ(d->layoutBox.left, before.left - 90);
    EXPECT_EQ(d->layoutBox.top, before.top - 7);
    // A filler is a line's width across the slot axis; large cells give a third.
    v.geometry.firstVisibleSlot = 0;
    v.geometry.scrollY = 0;
    v.geometry.cellWidth = 300.0f;
    v.geometry.cellHeight = 150.0f;
    PlaceOnScreen(v);
    EXPECT_EQ(d->layoutBox.right - d->layoutBox.left, 2 * 100 + 1);
    EXPECT_EQ(d->layoutBox.bottom - d->layoutBox.top, 2 * 50 + 1);
    ASSERT_EQ(v.layout.dummyCount, 1);
    auto* filler = static_cast<ViewNode*>(v.layout.dummyList->nodeAt(0));
    EXPECT_EQ(filler->layoutBox.right - filler->layoutBox.left, 2);
    EXPECT_EQ(filler->layoutBox.bottom - filler->layoutBox.top, 2 * 50 + 1);

    EXPECT_EQ(CellExtentForWindow(500, 3), 166.0f);
    EXPECT_EQ(CellExtentForWindow(2, 5), 1.0f);
}

TEST_F(LayoutTest, ForEachCellVisitsARangeRowByRowAndStopsOnAnAnswer) {
    load("#ENTITIES\nb isa a\nc isa a\nd isa b\n");
    NetView& v = open("a");
    std::vector<Cell> all = cellsOf(v);
    ASSERT_EQ(all.size(), 4u);
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_TRUE(all[i - 1].row < all[i].row ||
                    (all[i - 1].row == all[i].row && all[i - 1].column < all[i].column));
    std::vector<Cell> deep;
    ForEachCell(v.layout.grid, &collectCell, &deep, 0, -1, 1, -1);
    EXPECT_EQ(deep.size(), 3u);
    int visits = 0;
    EXPECT_EQ(ForEachCell(
                  v.layout.grid,
                  [](void* context, ViewNode*, int, int) {
                      return ++*static_cast<int*>(context) == 2 ? 7 : 0;
                  },
                  &visits),
              7);
    EXPECT_EQ(visits, 2);
}

TEST_F(LayoutTest, TheSpotlightHidesByDistanceCountingFillersAsNoStep) {
    load("#ENTITIES\nb isa a\nc isa b\nd isa c\nd isa a\ne isa d\n");
    NetView& v = open("a");
    MeasureDistances(v);
    // d is reached straight from a, through its fillers.
    EXPECT_EQ(node("d")->distance, 1);
    EXPECT_EQ(node("e")->distance, 2);
    EXPECT_EQ(v.distances.greatestDistance, 2);
    EXPECT_EQ(v.distances.unshownCount, 0);
    EXPECT_TRUE(node("d")->hasFlag(NodeFlags::DistanceChanged));
    MeasureDistances(v);
    EXPECT_FALSE(node("d")->hasFlag(NodeFlags::DistanceChanged));

    EXPECT_TRUE(SetSpotlight(v, 1, 1));
    EXPECT_FALSE(SetSpotlight(v, 1, 1));
    Relayout(v, false);
    MeasureDistances(v);
    EXPECT_TRUE(node("c")->hasFlag(NodeFlags::Hidden));
    EXPECT_TRUE(node("e")->hasFlag(NodeFlags::Hidden));
    EXPECT_EQ(v.distances.unshownCount, 2);
    EXPECT_EQ(v.distances.smallestUnshown, 2);
    EXPECT_EQ(v.distances.greatestShown, 1);
    expectGridInvariants(v);

    EXPECT_TRUE(SetSpotlight(v, 2, 0));
    Relayout(v, false);
    EXPECT_FALSE(node("e")->hasFlag(NodeFlags::Hidden | NodeFlags::Unplaced));

    // Opened with a reveal distance of 2, only the neighbours stay.
    NetView& w = open("c", 2);
    EXPECT_FALSE(node("b")->hasFlag(NodeFlags::Hidden));
    EXPECT_FALSE(node("d")->hasFlag(NodeFlags::Hidden));
    EXPECT_TRUE(node("a")->hasFlag(NodeFlags::Hidden));
    EXPECT_TRUE(node("e")->hasFlag(NodeFlags::Hidden));
    EXPECT_EQ(cellsOf(w).size(), 3u);
}

TEST_F(LayoutTest, HidingCollectsTheNewlyHiddenAndHidesWhatOnlyHiddenNodesReach) {
    load("#ENTITIES\nb isa a\nc isa b\nd isa c\n");
    NetView& v = open("a");
    node("b")->setFlag(1, NodeFlags::Hidden);
    RemoveDummyNodes(v.layout);
    RecalcLayout(v, true);
    std::vector<std::string> newly;
    for (int i = 0, n = v.layout.newlyHidden ? v.layout.newlyHidden->size() : 0; i < n; ++i)
        newly.push_back(shown(v.layout.newlyHidden->nodeAt(i)));
    EXPECT_EQ(newly, (std::vector<std::string>{"c", "d"}));
    EXPECT_EQ(cellsOf(v).size(), 1u);
}

TEST_F(LayoutTest, TheFirstLayoutOfARunStartsTheLogAfresh) {
    // A folder of its own: tests running beside this one start logs of their own.
    char folder[] = "/tmp/tarvo-log-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    char* previous = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(folder), 0);
    {
        std::ofstream log(DebugLogPath());
        log << "earlier lines\n";
    }
    ForgetDebugLogRestart();
    load("#ENTITIES\nb isa a\n");
    NetView& v = open("a");
    Relayout(v, false);
    std::ifstream log(DebugLogPath());
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "In recalc_grid\n");
    ASSERT_EQ(::chdir(previous), 0);
    std::free(previous);
    std::remove((std::string(folder) + "/" + DebugLogPath()).c_str());
    ::rmdir(folder);
}

} // namespace
} // namespace tarvo
