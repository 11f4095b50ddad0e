// The inheritance searches against a reference that walks every path, on random hierarchies with
// and without cycles, and on lattices whose paths are too many to walk.
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"

#include "containers/node_list.h"
#include "labels/label_text.h"
#include "memory/debug_log.h"
#include "model/graph_walk.h"
#include "model/links.h"
#include "model/network.h"
#include "support/network_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

using Nodes = std::vector<NodeBase*>;
using Pairs = std::vector<std::pair<NodeBase*, NodeBase*>>;

std::string shown(const NodeBase* node) {
    std::string text;
    PlainText(node->name, text);
    return text;
}

// A result list or a link slot.
template <typename List> Nodes nodesOf(List list) {
    Nodes nodes;
    forEachNode(list, [&nodes](NodeBase* node) { nodes.push_back(node); });
    return nodes;
}

Nodes takeNodes(NodeList* list) {
    Nodes nodes = nodesOf(list);
    DisposeList(list);
    return nodes;
}

template <typename T> std::vector<T> firstPlaces(const std::vector<T>& items) {
    std::vector<T> once;
    for (const T& item : items)
        if (std::find(once.begin(), once.end(), item) == once.end())
            once.push_back(item);
    return once;
}

bool contains(const Nodes& nodes, const NodeBase* node) {
    return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
}

Nodes parentsOf(const NodeBase* n) {
    return nodesOf(n->slotList(ParentSlot));
}

// The searches as a walk of every path: the path walk expands a node once per path that
// reaches it, and every visit collects again. Its lists are compared with their repeats
// removed; its check log keeps the first check of each property, without the side lists.
class PathReference {
public:
    explicit PathReference(Node* s) : m_s(s) {
        for (NodeBase* r : nodesOf(s->slotList(ToSlot)))
            m_own.push_back(r);
        for (NodeBase* r : nodesOf(s->slotList(FromSlot)))
            m_own.push_back(r);
        run([this](Node* n) { climb(n, false); });
        inheritedRelations = m_result;
        run([this](Node* n) {
            if (!n->slotList(ParentSlot))
                return;
            for (NodeBase* p : parentsOf(n))
                if (m_result.empty() || !contains(m_pass, p))
                    m_pass.push_back(p);
            m_walk.addToFrontier(n);
        });
        ancestors = m_result;
        run([this](Node* n) { climb(n, true); });
        inheritedProperties = m_result;
    }

    Nodes inheritedRelations, ancestors, inheritedProperties, toSide, fromSide;
    Pairs overridden;
    // One entry per check: the property, the side it was checked on, and its log lines.
    struct Check {
        NodeBase* property;
        int side;
        std::string log;
    };
    std::vector<Check> checks;

private:
    template <typename Visit> void run(Visit visit) {
        m_result.clear();
        m_pass.clear();
        m_walk.setPassEnd([this] {
            m_result.insert(m_result.end(), m_pass.begin(), m_pass.end());
            m_pass.clear();
        });
        m_walk.run(m_s, visit);
    }

    void climb(Node* n, bool checking) {
        if (!n->slotList(ParentSlot))
            return;
        for (NodeBase* p : parentsOf(n)) {
            for (NodeBase* r : nodesOf(p->slotList(ToSlot)))
                checking ? check(r, ToSlot, toSide, "to") : take(r, toSide);
            for (NodeBase* r : nodesOf(p->slotList(FromSlot)))
                checking ? check(r, FromSlot, fromSide, "from") : take(r, fromSide);
            if (p->slotList(ParentSlot))
                m_walk.addToFrontier(asNode(p));
        }
        m_walk.addToFrontier(n);
    }

    void take(NodeBase* r, Nodes& side) {
        const NodeBase* rel = first(r, ParentSlot);
        if (!rel)
            return;
        const bool met = std::any_of(m_result.begin(), m_result.end(), [rel](NodeBase* a) {
            return asNode(a)->isProperty() && first(a, ParentSlot) == rel;
        });
        if (!met)
            m_pass.push_back(r);
        if (!contains(side, r))
            side.push_back(r);
    }

    void mark(NodeBase* t, NodeBase* rel) {
        overridden.emplace_back(t, rel);
        asNode(t)->setFlag(1, OverriddenMark);
        asNode(rel)->setFlag(1, OverriddenMark);
    }

    void check(NodeBase* r, int endSlot, const Nodes& side, const char* direction) {
        NodeBase* t = first(r, endSlot);
        NodeBase* rel = first(r, ParentSlot);
        const auto at = std::find(side.begin(), side.end(), r);
        const bool found = at != side.end();
        const int global = found ? static_cast<int>(at - side.begin()) : 0;
        if (!t || contains(m_result, t))
            return;
        m_pass.push_back(t);
        std::string log = "Parent nodes of current relation (" + std::string(direction) +
                          "): pos=" + std::to_string(global % NodeList::kNodesPerBlock) + "\n";
        bool hidden = contains(m_own, r);
        for (NodeBase* e : m_own)
            hidden = hidden || (rel && IsNearAncestor(e, rel));
        for (NodeBase* a : m_result)
            hidden = hidden || IsNearAncestor(a, t);
        if (hidden && rel)
            mark(t, rel);
        if (rel && !asNode(rel)->hasFlag(OverriddenMark) && found) {
            log += endSlot == ToSlot ? "checking for parent relation:..."
                                     : "checking for parent relation...";
            const bool later = std::any_of(at + 1, side.end(), [rel](NodeBase* other) {
                return first(other, ParentSlot) == rel;
            });
            log += later ? "found\n" : "\n";
            if (later)
                mark(t, rel);
        }
        checks.push_back({r, endSlot, log});
    }

    Node* m_s;
    Nodes m_own;
    GraphWalk m_walk{1u << ParentSlot};
    Nodes m_result;
    Nodes m_pass;
};

// The log lines of the checks once each side list's labels are left out.
std::string checkLines(const std::string& log) {
    std::istringstream lines(log);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.size() < 2 || line.compare(line.size() - 2, 2, "##") != 0)
            kept += line + "\n";
    return kept;
}

std::string readLog() {
    std::ifstream in(DebugLogPath());
    std::stringstream log;
    log << in.rdbuf();
    return log.str();
}

void clearMarks(Network& net) {
    net.table()->forEach(
        [](void*, NodeBase* node) {
            asNode(node)->flags &= ~OverriddenMark;
            return 0;
        },
        nullptr);
}

// A random hierarchy of `count` entities and a few relations, the entity n0 searched. Without
// `cycles` every parent comes later in the numbering than its child.
std::string randomHierarchy(std::mt19937& random, int count, bool cycles) {
    const auto below = [&random](int n) {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    std::string text = "#RELATIONS\n";
    for (int r = 0; r < 3; ++r)
        if (below(2))
            text += "r" + std::to_string(r) + " isa r" + std::to_string(r + 1 + below(2)) + "\n";
    text += "#ENTITIES\n";
    for (int n = 0; n < count; ++n) {
        const int parents = n == 0 ? 1 + below(3) : below(4);
        for (int p = 0; p < parents; ++p) {
            const int parent = cycles ? below(count) : n + 1 + below(count - n);
            if (parent < count)
                text += "n" + std::to_string(n) + " isa n" + std::to_string(parent) + "\n";
        }
    }
    text += "#PROPERTIES\n";
    for (int i = 0, properties = count + below(count); i < properties; ++i)
        text += "n" + std::to_string(below(count)) + " r" + std::to_string(below(5)) + " n" +
                std::to_string(below(count)) + "\n";
    return text;
}

// Runs the report's searches on s as the report does, the check log restarted before the
// inherited properties.
struct Searched {
    Nodes inheritedRelations, ancestors, inheritedProperties, toSide, fromSide;
    Pairs overridden;
    std::string log;
};

Searched search(Node* s) {
    Searched found;
    ReportLists lists;
    NodeList* own = StipulatedRelations(s, ParentSlot, lists);
    DisposeList(own);
    AppendAll(lists.OwnStipulated, lists.StipulatedList);
    DisposeList(lists.StipulatedList);
    found.inheritedRelations = takeNodes(InheritedRelations(s, ParentSlot, lists));
    found.ancestors = takeNodes(AncestorNodes(s, ParentSlot));
    EXPECT_TRUE(RestartDebugLog(""));
    found.inheritedProperties = takeNodes(InheritedProperties(s, ParentSlot, lists));
    found.log = readLog();
    found.toSide = nodesOf(lists.ToSideList);
    found.fromSide = nodesOf(lists.FromSideList);
    const Nodes targets = nodesOf(lists.OverriddenTargets);
    const Nodes relations = nodesOf(lists.OverriddenRelations);
    EXPECT_EQ(targets.size(), relations.size());
    for (std::size_t i = 0; i < std::min(targets.size(), relations.size()); ++i)
        found.overridden.emplace_back(targets[i], relations[i]);
    return found;
}

std::string names(const Nodes& nodes) {
    std::string text;
    for (const NodeBase* node : nodes)
        text += shown(node) + "; ";
    return text;
}

void expectSameAsEveryPath(Network& net, Node* s, const std::string& network) {
    clearMarks(net);
    const PathReference paths(s);
    clearMarks(net);
    const Searched found = search(s);
    SCOPED_TRACE(network);
    EXPECT_EQ(names(found.inheritedRelations), names(firstPlaces(paths.inheritedRelations)));
    EXPECT_EQ(names(found.ancestors), names(firstPlaces(paths.ancestors)));
    EXPECT_EQ(names(found.inheritedProperties), names(firstPlaces(paths.inheritedProperties)));
    EXPECT_EQ(names(found.toSide), names(paths.toSide));
    EXPECT_EQ(names(found.fromSide), names(paths.fromSide));
    EXPECT_EQ(found.overridden, firstPlaces(paths.overridden));
    std::vector<std::pair<NodeBase*, int>> checked;
    std::string lines;
    for (const PathReference::Check& check : paths.checks) {
        const std::pair<NodeBase*, int> key{check.property, check.side};
        if (std::find(checked.begin(), checked.end(), key) != checked.end())
            continue;
        checked.push_back(key);
        lines += check.log;
    }
    EXPECT_EQ(checkLines(found.log), lines);
    // Each entry of the side lists is written at most once.
    Nodes sides = found.toSide;
    sides.insert(sides.end(), found.fromSide.begin(), found.fromSide.end());
    for (const NodeBase* r : sides) {
        const std::string label = "\n" + shown(r) + "##\n";
        const auto sameLabel = [&r](const NodeBase* other) { return shown(other) == shown(r); };
        std::size_t written = 0;
        for (std::size_t at = found.log.find(label); at != std::string::npos;
             at = found.log.find(label, at + 1))
            ++written;
        EXPECT_LE(written,
                  static_cast<std::size_t>(std::count_if(sides.begin(), sides.end(), sameLabel)))
            << shown(r);
    }
}

TEST(InheritancePathsTest, TheSearchesFindWhatEveryPathFindsOnRandomHierarchies) {
    for (const bool cycles : {false, true}) {
        std::mt19937 random(cycles ? 7 : 3);
        for (int round = 0; round < 150; ++round) {
            const int count = cycles ? 3 + round % 6 : 4 + round % 14;
            const std::string text = randomHierarchy(random, count, cycles);
            std::unique_ptr<Network> net = testing_support::ReadNetworkText(text);
            Node* s = net->find("n0", 0);
            ASSERT_NE(s, nullptr) << text;
            expectSameAsEveryPath(*net, s, text);
        }
    }
}

// A lattice: `depth` layers of two entities, each a child of both entities above it, so that
// the bottom node has 2^depth paths to the top. Each entity has a property of a relation of its
// own layer; the top layer also one of the relation "near", which the first layer has too.
std::string lattice(int depth) {
    std::string text = "#ENTITIES\n";
    const auto name = [](int layer, int side) {
        return "L" + std::to_string(layer) + (side ? "b" : "a");
    };
    for (int side = 0; side < 2; ++side)
        text += "S isa " + name(1, side) + "\n";
    for (int layer = 1; layer < depth; ++layer)
        for (int side = 0; side < 2; ++side)
            for (int above = 0; above < 2; ++above)
                text += name(layer, side) + " isa " + name(layer + 1, above) + "\n";
    text += "#PROPERTIES\n";
    for (int layer = 1; layer <= depth; ++layer)
        for (int side = 0; side < 2; ++side)
            text +=
                name(layer, side) + " r" + std::to_string(layer) + " v" + name(layer, side) + "\n";
    text += name(1, 0) + " near first\n" + name(depth, 1) + " near last\n";
    return text;
}

TEST(InheritancePathsTest, ALatticeTooDeepToWalkPathByPathReportsEachNodeOnce) {
    constexpr int kDepth = 16;
    std::unique_ptr<Network> net = testing_support::ReadNetworkText(lattice(kDepth));
    Node* s = net->find("S", 0);
    ASSERT_NE(s, nullptr);
    InheritanceReport report;
    RunInheritanceReport(s, report);
    std::vector<std::string> ancestors;
    for (const NodeBase* node : nodesOf(report.ancestors))
        ancestors.push_back(shown(node));
    std::vector<std::string> nearestFirst;
    for (int layer = 1; layer <= kDepth; ++layer)
        for (const char* side : {"a", "b"})
            nearestFirst.push_back("L" + std::to_string(layer) + side);
    EXPECT_EQ(ancestors, nearestFirst);

    // Every layer's values once; the near relation's farther property is hidden by the nearer.
    const Nodes values = nodesOf(report.inheritedProperties);
    EXPECT_EQ(values.size(), 2u * kDepth + 2);
    EXPECT_EQ(firstPlaces(values), values);
    Nodes relations = nodesOf(report.inheritedRelations);
    EXPECT_EQ(relations.size(), 2u * kDepth + 1);
    EXPECT_EQ(firstPlaces(relations), relations);
    EXPECT_TRUE(std::none_of(relations.begin(), relations.end(),
                             [](const NodeBase* r) { return shown(r) == "L16b near last"; }));
    DisposeInheritanceReport(report);

    // The same shape shallow enough to walk path by path gives the same lists.
    net = testing_support::ReadNetworkText(lattice(7));
    expectSameAsEveryPath(*net, net->find("S", 0), "lattice of depth 7");
}

} // namespace
} // namespace tarvo
