// The untangling pass after the improvement sweeps: no crossings left on trees, never more
// crossings than the sweeps leave on layered DAGs, and only an exchange of nodes within the
// cells each layer held.
#include "layout/layout_untangle.h"

#include "containers/node_list.h"
#include "layout/layout_grid.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/links.h"
#include "model/network.h"
#include "view/layout.h"
#include "view/net_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// A network of `count` entities n0, n1, ... joined by the given (parent, child) links.
std::unique_ptr<Network> makeNetwork(int count, const std::vector<std::pair<int, int>>& links,
                                     std::vector<Node*>& nodes) {
    auto net = std::make_unique<Network>();
    nodes.clear();
    for (int i = 0; i < count; ++i) {
        auto* node = new Node;
        node->setName(("n" + std::to_string(i)).c_str(), 1);
        EXPECT_EQ(net->add(node), 1);
        nodes.push_back(node);
    }
    for (const auto& [parent, child] : links)
        addChild(nodes[static_cast<std::size_t>(parent)], nodes[static_cast<std::size_t>(child)]);
    return net;
}

// Node i's parent is (i - 1) / fanOut.
std::vector<std::pair<int, int>> treeLinks(int count, int fanOut) {
    std::vector<std::pair<int, int>> links;
    for (int i = 1; i < count; ++i)
        links.emplace_back((i - 1) / fanOut, i);
    return links;
}

// Every node but the first has one to three parents among the `window` nodes before it.
std::vector<std::pair<int, int>> dagLinks(int count, int window, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::pair<int, int>> links;
    for (int i = 1; i < count; ++i) {
        const int low = std::max(0, i - window);
        const int parents = std::min(1 + static_cast<int>(random() % 3), i - low);
        std::set<int> chosen;
        while (static_cast<int>(chosen.size()) < parents)
            chosen.insert(low + static_cast<int>(random() % static_cast<unsigned>(i - low)));
        for (int p : chosen)
            links.emplace_back(p, i);
    }
    return links;
}

// The grid's cells: per column, the node names (fillers unnamed) by row.
std::map<std::pair<int, int>, std::string> cellsOf(const NetView& view) {
    std::map<std::pair<int, int>, std::string> cells;
    const LayoutGrid& grid = view.layout.grid;
    for (int column = 0; column < grid.layerCount; ++column)
        for (int row = 0; row < grid.slotCount; ++row)
            if (const ViewNode* node = grid.at(row, column))
                cells[{column, row}] = node->hasFlag(NodeFlags::DummyNode) ? "" : node->name;
    return cells;
}

// Crossings counted pair by pair: two links between the same adjacent columns cross when
// their upper and lower ends come in opposite orders.
std::int64_t crossingsByPairs(const NetView& view) {
    const LayoutGrid& grid = view.layout.grid;
    std::vector<std::vector<std::pair<int, int>>> bands(
        static_cast<std::size_t>(std::max(0, grid.layerCount - 1)));
    for (int column = 0; column + 1 < grid.layerCount; ++column)
        for (int row = 0; row < grid.slotCount; ++row) {
            const ViewNode* node = grid.at(row, column);
            if (!node || !node->slots[ChildSlot])
                continue;
            for (int i = 0; i < node->slots[ChildSlot].size(); ++i) {
                const auto* child = static_cast<const ViewNode*>(node->slots[ChildSlot].nodeAt(i));
                if (!child->hasFlag(NodeFlags::Hidden) &&
                    child->layer + grid.layerOffset == column + 1)
                    bands[static_cast<std::size_t>(column)].emplace_back(row, child->slot +
                                                                                  grid.slotOffset);
            }
        }
    std::int64_t crossings = 0;
    for (const auto& band : bands)
        for (std::size_t a = 0; a < band.size(); ++a)
            for (std::size_t b = a + 1; b < band.size(); ++b)
                if ((band[a].first - band[b].first) * (band[a].second - band[b].second) < 0)
                    ++crossings;
    return crossings;
}

// Every node in the cell its slot and layer name.
void expectNodesInTheirCells(const NetView& view) {
    const LayoutGrid& grid = view.layout.grid;
    for (int column = 0; column < grid.layerCount; ++column)
        for (int row = 0; row < grid.slotCount; ++row)
            if (const ViewNode* node = grid.at(row, column)) {
                EXPECT_EQ(node->slot + grid.slotOffset, row) << node->name;
                EXPECT_EQ(node->layer + grid.layerOffset, column) << node->name;
            }
}

struct Laid {
    std::unique_ptr<Network> net;
    std::unique_ptr<NetView> view;
};

// A view on n0, laid out and improved as a new view is, untangled when asked.
Laid layOut(int count, const std::vector<std::pair<int, int>>& links, bool untangle) {
    Laid laid;
    std::vector<Node*> nodes;
    laid.net = makeNetwork(count, links, nodes);
    laid.view = std::make_unique<NetView>();
    laid.view->options.untangle = untangle;
    EXPECT_EQ(BuildViewNodes(*laid.view, *laid.net, nodes.front()), 1);
    StartViewLayout(*laid.view, 1);
    ImproveLayout(*laid.view);
    return laid;
}

// Each layer holds the same nodes after untangling: the pass only reorders within layers.
void expectSameNodesPerLayer(const NetView& plain, const NetView& untangled) {
    std::map<int, std::multiset<std::string>> plainNames, untangledNames;
    for (const auto& [cell, name] : cellsOf(plain))
        plainNames[cell.first - plain.layout.grid.layerOffset].insert(name);
    for (const auto& [cell, name] : cellsOf(untangled))
        untangledNames[cell.first - untangled.layout.grid.layerOffset].insert(name);
    EXPECT_EQ(plainNames, untangledNames);
}

TEST(UntangleTest, TreesComeOutWithoutCrossings) {
    std::int64_t leftBySweeps = 0;
    for (const int fanOut : {2, 3, 4, 6})
        for (const int count : {40, 333, 1500}) {
            SCOPED_TRACE(testing::Message() << "fan-out " << fanOut << ", " << count << " nodes");
            const std::vector<std::pair<int, int>> links = treeLinks(count, fanOut);
            const Laid plain = layOut(count, links, false);
            const Laid untangled = layOut(count, links, true);
            leftBySweeps += LinkCrossings(plain.view->layout);
            EXPECT_EQ(LinkCrossings(untangled.view->layout), 0);
            EXPECT_EQ(crossingsByPairs(*untangled.view), 0);
            expectNodesInTheirCells(*untangled.view);
            expectSameNodesPerLayer(*plain.view, *untangled.view);
        }
    // Otherwise the trees above would not show that the pass takes crossings out.
    EXPECT_GT(leftBySweeps, 0);
}

TEST(UntangleTest, DagsNeverGainCrossings) {
    std::int64_t before = 0;
    std::int64_t after = 0;
    for (const std::uint32_t seed : {1u, 7u, 42u, 2024u})
        for (const int window : {5, 30}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", window " << window);
            const int count = 120 + static_cast<int>(seed % 5) * 40;
            const std::vector<std::pair<int, int>> links = dagLinks(count, window, seed);
            const Laid plain = layOut(count, links, false);
            const Laid untangled = layOut(count, links, true);
            const std::int64_t plainCrossings = crossingsByPairs(*plain.view);
            const std::int64_t untangledCrossings = crossingsByPairs(*untangled.view);
            EXPECT_EQ(LinkCrossings(plain.view->layout), plainCrossings);
            EXPECT_EQ(LinkCrossings(untangled.view->layout), untangledCrossings);
            EXPECT_LE(untangledCrossings, plainCrossings);
            expectNodesInTheirCells(*untangled.view);
            expectSameNodesPerLayer(*plain.view, *untangled.view);
            before += plainCrossings;
            after += untangledCrossings;
        }
    EXPECT_LT(after, before) << "the pass should lower crossings on some of these DAGs";
}

TEST(UntangleTest, ALayoutWithoutCrossingsIsLeftAlone) {
    // A chain and a star have no crossings to take out.
    for (const auto& links : {treeLinks(12, 1), treeLinks(9, 8)}) {
        const int count = static_cast<int>(links.size()) + 1;
        const Laid plain = layOut(count, links, false);
        const Laid untangled = layOut(count, links, true);
        EXPECT_EQ(cellsOf(*plain.view), cellsOf(*untangled.view));
        EXPECT_FALSE(UntangleArrangement(untangled.view->layout));
    }
}

} // namespace
} // namespace tarvo
