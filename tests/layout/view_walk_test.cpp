// The layout's breadth-first walk: the order a GraphWalk with a visit-once visitor gives, on
// graphs with cycles, repeated links and relation slots, whole or resumed in pieces.
#include "layout/view_walk.h"

#include "model/graph_walk.h"
#include "model/links.h"
#include "model/network.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// `count` entities with random isa links both ways (so with cycles) and a few relation links,
// some of them repeated.
std::unique_ptr<Network> randomNetwork(int count, std::uint32_t seed, std::vector<Node*>& nodes) {
    std::mt19937 random(seed);
    auto net = std::make_unique<Network>();
    nodes.clear();
    for (int i = 0; i < count; ++i) {
        auto* node = new Node;
        node->setName(("w" + std::to_string(i)).c_str(), 1);
        EXPECT_EQ(net->add(node), 1);
        nodes.push_back(node);
    }
    auto any = [&] { return nodes[random() % nodes.size()]; };
    for (int i = 0; i < 2 * count; ++i)
        addChild(any(), any());
    for (int i = 0; i < count / 3; ++i) {
        Node* from = any();
        Node* to = any();
        appendLink(from, ToSlot, to);
        appendLink(to, FromSlot, from);
        if (i % 4 == 0)
            appendLink(from, ToSlot, to);
    }
    return net;
}

struct Visit {
    const Node* node;
    int slot;
    const NodeBase* owner;
};

// The order a GraphWalk from `start` hears of the nodes, each expanded once, with the slot and
// its owner each came through.
std::vector<Visit> graphWalkOrder(Node* start, std::uint32_t mask, VisitMarks& marks) {
    std::vector<Visit> order;
    const NodeBase* owner = nullptr;
    GraphWalk walk(mask);
    walk.setSlotStart([&owner](const NodeBase* o, int) { owner = o; });
    walk.run(start, [&](Node* reached) {
        order.push_back({reached, walk.currentSlot(), owner});
        VisitOnce(marks, walk, reached);
    });
    return order;
}

std::vector<Visit> viewWalkOrder(Node* start, std::uint32_t mask, const VisitMarks& marks,
                                 std::int64_t piece) {
    std::vector<Visit> order;
    const NodeBase* owner = nullptr;
    ViewWalk walk(marks, mask);
    auto visit = [&](Node* reached) {
        order.push_back({reached, walk.currentSlot(), owner});
        walk.visitOnce(reached);
    };
    walk.start(start, visit);
    for (int pieces = 0; pieces < 100000; ++pieces) {
        std::int64_t budget = piece;
        if (walk.resume(budget, visit, [&owner](const NodeBase* o, int) { owner = o; }))
            break;
        // A piece ends only when its budget is spent.
        EXPECT_EQ(budget, 0);
    }
    EXPECT_TRUE(walk.done());
    return order;
}

void expectSameOrder(const std::vector<Visit>& expected, const std::vector<Visit>& actual) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].node, expected[i].node);
        EXPECT_EQ(actual[i].slot, expected[i].slot);
        EXPECT_EQ(actual[i].owner, expected[i].owner);
    }
}

TEST(ViewWalkTest, VisitsInTheOrderOfAGraphWalkWholeOrInPieces) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        std::vector<Node*> nodes;
        std::unique_ptr<Network> net = randomNetwork(60 + 20 * static_cast<int>(seed), seed, nodes);
        for (std::uint32_t mask : {kAllSlots, 3u, 1u}) {
            // Each walk gets a fresh pass: bit 1, then bit 2 on the same nodes.
            VisitMarks graphMarks{1, 0};
            const std::vector<Visit> expected = graphWalkOrder(nodes[0], mask, graphMarks);
            if (mask == kAllSlots) {
                ASSERT_GT(expected.size(), 10u);
            }
            for (std::int64_t piece : {-1, 1, 3, 17}) {
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << ", mask " << mask << ", piece " << piece);
                for (Node* n : nodes)
                    n->visitMark = 0;
                expectSameOrder(expected, viewWalkOrder(nodes[0], mask, VisitMarks{2, 0}, piece));
            }
            for (Node* n : nodes)
                n->visitMark = 0;
        }
    }
}

TEST(ViewWalkTest, VisitsEachNodeOncePerPassAndStopsAtVisitedOnes) {
    std::vector<Node*> nodes;
    std::unique_ptr<Network> net = randomNetwork(50, 9, nodes);
    // Polarity 1: a clear bit counts as visited.
    for (Node* n : nodes)
        n->visitMark = 0xff;
    const VisitMarks marks{4, 1};
    // Nodes visited before the walk starts are neither taken in nor expanded.
    MarkVisited(marks, nodes[1]);
    ViewWalk walk(marks);
    std::vector<const Node*> taken;
    walk.run(nodes[0], [&](Node* reached) {
        if (walk.visitOnce(reached))
            taken.push_back(reached);
    });
    std::vector<int> times(nodes.size(), 0);
    for (const Node* n : taken)
        for (std::size_t i = 0; i < nodes.size(); ++i)
            times[i] += nodes[i] == n;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        EXPECT_LE(times[i], 1) << i;
    EXPECT_EQ(times[1], 0);
    EXPECT_EQ(times[0], 1);
    // Every node taken in is marked in this pass, the others untouched.
    for (std::size_t i = 0; i < nodes.size(); ++i)
        EXPECT_EQ(IsVisited(marks, nodes[i]), times[i] == 1 || i == 1) << i;
}

} // namespace
} // namespace tarvo
