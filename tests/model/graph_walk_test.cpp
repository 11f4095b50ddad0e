// The walk engine on small hand-linked graphs: the steps at which nodes are reached, the slot
// mask, the end around cycles, the callbacks, and walks that run inside other walks.
#include "model/graph_walk.h"

#include "containers/node_list.h"
#include "model/links.h"
#include "model/node.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// Nodes named by one letter, destroyed with the graph.
class Graph {
public:
    ~Graph() {
        for (Node* n : m_nodes)
            n->destroy();
    }
    Node* operator[](char name) {
        for (Node* n : m_nodes)
            if (n->name && n->name[0] == name)
                return n;
        auto* n = new Node;
        const char text[2] = {name, '\0'};
        n->setName(text, 1);
        m_nodes.push_back(n);
        return n;
    }
    // "ab bc" makes b a child of a and c a child of b.
    void isa(const char* pairs) {
        for (const char* p = pairs; p[0] && p[1]; p += p[2] ? 3 : 2)
            addChild((*this)[p[0]], (*this)[p[1]]);
    }

private:
    std::vector<Node*> m_nodes;
};

// What a visitor saw of one node: its name, the walk's pass and slot.
struct Reached {
    char name;
    int pass;
    int slot;
    bool operator==(const Reached&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Reached& r) {
    return out << r.name << "@" << r.pass << "/" << r.slot;
}

// Walks from `start`, recording every node reached and expanding the ones not seen before.
std::vector<Reached> walkOnce(GraphWalk& walk, Node* start) {
    std::vector<Reached> seen;
    std::vector<const Node*> expanded;
    walk.run(start, [&](Node* n) {
        seen.push_back({n->name[0], walk.passCount(), walk.currentSlot()});
        for (const Node* e : expanded)
            if (e == n)
                return;
        expanded.push_back(n);
        walk.addToFrontier(n);
    });
    return seen;
}

TEST(GraphWalkTest, NodesAreReachedPassByPassThroughTheSelectedSlots) {
    Graph g;
    g.isa("ab ac bd cd");
    GraphWalk down(1u << ChildSlot);
    EXPECT_EQ(walkOnce(down, g['a']), (std::vector<Reached>{{'a', 0, 0},
                                                            {'b', 1, ChildSlot},
                                                            {'c', 1, ChildSlot},
                                                            {'d', 2, ChildSlot},
                                                            {'d', 2, ChildSlot}}));
    EXPECT_EQ(down.passCount(), 3) << "one more than the last step that reached a node";

    GraphWalk up(1u << ParentSlot);
    EXPECT_EQ(walkOnce(up, g['d']), (std::vector<Reached>{{'d', 0, 0},
                                                          {'b', 1, ParentSlot},
                                                          {'c', 1, ParentSlot},
                                                          {'a', 2, ParentSlot},
                                                          {'a', 2, ParentSlot}}));

    // Every slot, parents before children, with a node met again wherever it is met.
    GraphWalk both;
    EXPECT_EQ(walkOnce(both, g['b']), (std::vector<Reached>{{'b', 0, 0},
                                                            {'a', 1, ParentSlot},
                                                            {'d', 1, ChildSlot},
                                                            {'b', 2, ChildSlot},
                                                            {'c', 2, ChildSlot},
                                                            {'b', 2, ParentSlot},
                                                            {'c', 2, ParentSlot},
                                                            {'a', 3, ParentSlot},
                                                            {'d', 3, ChildSlot}}));

    // Run again, the walk starts afresh.
    EXPECT_EQ(walkOnce(down, g['d']), (std::vector<Reached>{{'d', 0, 0}}));
    EXPECT_EQ(down.passCount(), 1);
}

TEST(GraphWalkTest, AWalkAroundACycleEndsWhereItComesBack) {
    Graph g;
    g.isa("ab bc ca");
    GraphWalk down(1u << ChildSlot);
    int visits = 0;
    // A visitor that expands everything it meets: only the walk's own path check ends this.
    down.run(g['a'], [&](Node* n) {
        ++visits;
        ASSERT_LT(visits, 100) << "the walk went round the cycle";
        down.addToFrontier(n);
    });
    EXPECT_EQ(visits, 4) << "a, b, c, then a once more before the walk stops";
    Graph loop;
    loop.isa("xx");
    visits = 0;
    down.run(loop['x'], [&](Node* n) {
        ++visits;
        ASSERT_LT(visits, 100);
        down.addToFrontier(n);
    });
    EXPECT_EQ(visits, 2);
}

TEST(GraphWalkTest, PassEndsAndSlotStartsAreHeardInOrder) {
    Graph g;
    g.isa("ab bc");
    GraphWalk walk;
    std::string heard;
    walk.setPassEnd([&] { heard += "|"; });
    walk.setSlotStart([&](const NodeBase* owner, int slot) {
        heard += owner->name[0];
        heard += slot == ParentSlot ? '^' : 'v';
    });
    std::vector<const Node*> expanded;
    walk.run(g['b'], [&](Node* n) {
        heard += n->name[0];
        for (const Node* e : expanded)
            if (e == n)
                return;
        expanded.push_back(n);
        walk.addToFrontier(n);
    });
    EXPECT_EQ(heard, "b|b^abvc|avbc^b|");
}

TEST(GraphWalkTest, AWalkInsideAVisitorLeavesTheOuterWalkAsItWas) {
    Graph g;
    g.isa("ab bc cd");
    GraphWalk outer(1u << ChildSlot);
    std::vector<Reached> seen;
    std::vector<int> innerReach;
    outer.run(g['a'], [&](Node* n) {
        seen.push_back({n->name[0], outer.passCount(), outer.currentSlot()});
        // A walk up from every node reached, before the outer walk goes on from it.
        GraphWalk inner(1u << ParentSlot);
        innerReach.push_back(static_cast<int>(walkOnce(inner, n).size()));
        EXPECT_EQ(outer.passCount(), seen.back().pass);
        EXPECT_EQ(outer.currentSlot(), seen.back().slot);
        outer.addToFrontier(n);
    });
    EXPECT_EQ(seen,
              (std::vector<Reached>{
                  {'a', 0, 0}, {'b', 1, ChildSlot}, {'c', 2, ChildSlot}, {'d', 3, ChildSlot}}));
    EXPECT_EQ(innerReach, (std::vector<int>{1, 2, 3, 4}));
}

TEST(GraphWalkTest, ListHelpersTreatANullListAsEmpty) {
    Graph g;
    NodeList* list = nullptr;
    EXPECT_FALSE(ListContains(list, g['a']));
    AppendAll(list, nullptr);
    EXPECT_EQ(list, nullptr);
    listAppend(list, g['a']);
    listAppend(list, g['b']);
    NodeList* copy = nullptr;
    AppendAll(copy, list);
    AppendAll(copy, list);
    ASSERT_EQ(listSize(copy), 4);
    EXPECT_EQ(copy->nodeAt(2), g['a']);
    EXPECT_TRUE(ListContains(copy, g['b']));
    EXPECT_FALSE(ListContains(copy, g['c']));
    DisposeList(copy);
    DisposeList(list);
    EXPECT_EQ(list, nullptr);
    DisposeList(list);
}

} // namespace
} // namespace tarvo
