// The inheritance searches and the report, on small networks written as network files.
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"
#include "model/graph_walk.h"
#include "view/node_windows_content.h"

#include "containers/node_list.h"
#include "labels/label_text.h"
#include "memory/debug_log.h"
#include "model/links.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "support/network_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

using Names = std::vector<std::string>;

std::string shown(const NodeBase* node) {
    std::string text;
    PlainText(node->name, text);
    return text;
}

// Names of a search's result, which is disposed.
Names take(NodeList* list) {
    Names names;
    for (int i = 0, n = list ? list->size() : 0; i < n; ++i)
        names.push_back(shown(list->nodeAt(i)));
    DisposeList(list);
    return names;
}

Names namesOf(const NodeList* list) {
    Names names;
    for (int i = 0, n = list ? list->size() : 0; i < n; ++i)
        names.push_back(shown(list->nodeAt(i)));
    return names;
}

class InheritanceTest : public ::testing::Test {
protected:
    void TearDown() override { net.reset(); }
    void load(const std::string& text) { net = testing_support::ReadNetworkText(text); }
    Node* entity(const char* name) {
        Node* node = net->find(name, 0);
        EXPECT_NE(node, nullptr) << name;
        return node;
    }
    Node* relation(const char* name) { return net->find(name, 1); }

    std::unique_ptr<Network> net = std::make_unique<Network>();
};

TEST_F(InheritanceTest, AncestorsComeNearestFirstEachOnce) {
    load("#ENTITIES\nS isa P\nP isa G\n");
    EXPECT_EQ(take(AncestorNodes(entity("S"), ParentSlot)), (Names{"P", "G"}));
    load("#ENTITIES\nS isa P\nS isa Q\nP isa G\nQ isa G\n");
    EXPECT_EQ(take(AncestorNodes(entity("S"), ParentSlot)), (Names{"P", "Q", "G"}));
    load("#ENTITIES\nS isa P\nS isa G\nP isa G\n");
    EXPECT_EQ(take(AncestorNodes(entity("S"), ParentSlot)), (Names{"P", "G"}))
        << "G is a parent and a grandparent: listed once, at its nearer place";
    EXPECT_EQ(take(AncestorNodes(entity("G"), ParentSlot)), Names{});
}

TEST_F(InheritanceTest, NearerPropertiesOfARelationHideFartherOnes) {
    load("#ENTITIES\nS isa P\nP isa G\n#PROPERTIES\nP r X\nG r Y\nG q Z\nP r W\n");
    ReportLists lists;
    EXPECT_EQ(take(InheritedRelations(entity("S"), ParentSlot, lists)),
              (Names{"P r X", "P r W", "G q Z"}))
        << "both of P's r properties, G's q, and not G's r";
    EXPECT_EQ(namesOf(lists.ToSideList), (Names{"P r X", "P r W", "G r Y", "G q Z"}));
    EXPECT_EQ(namesOf(lists.StipulatedList), namesOf(lists.ToSideList));
}

TEST_F(InheritanceTest, OwnPropertiesAndRelatedNodes) {
    load("#PROPERTIES\nS r X\nS r X\nY q S\n");
    EXPECT_EQ(take(RelatedNodes(entity("S"), ParentSlot)), (Names{"X", "X", "Y"}));
    ReportLists lists;
    EXPECT_EQ(take(StipulatedRelations(entity("S"), ParentSlot, lists)),
              (Names{"S r X", "S r X", "Y q S"}))
        << "two properties of one name are two properties";
    EXPECT_EQ(namesOf(lists.StipulatedList), (Names{"S r X", "S r X", "Y q S"}));
    EXPECT_EQ(take(RelatedNodes(entity("X"), ParentSlot)), (Names{"S", "S"}));
}

TEST_F(InheritanceTest, OwnPropertiesOverrideInheritedOnesUpTheRelations) {
    // S's own r; its parent has r itself, r's parent rp and grandparent rg; far is unrelated.
    load("#RELATIONS\nr isa rp\nrp isa rg\n"
         "#ENTITIES\nS isa P\n"
         "#PROPERTIES\nS r own\nP r mine\nP rp up\nP rg top\nP far away\n");
    for (const char* value : {"own", "mine", "up", "top", "away"})
        entity(value)->flags &= ~OverriddenMark;
    InheritanceReport report;
    RunInheritanceReport(entity("S"), report);
    EXPECT_EQ(namesOf(report.inheritedProperties), (Names{"mine", "up", "top", "away"}));
    EXPECT_EQ(namesOf(report.overriddenTargets), (Names{"mine", "up", "top"}));
    EXPECT_EQ(namesOf(report.overriddenRelations), (Names{"r", "rp", "rg"}));
    for (const char* name : {"mine", "up", "top"})
        EXPECT_TRUE(entity(name)->hasFlag(OverriddenMark)) << name;
    EXPECT_FALSE(entity("away")->hasFlag(OverriddenMark));
    EXPECT_TRUE(relation("rp")->hasFlag(OverriddenMark));
    DisposeInheritanceReport(report);
}

// A small grammar: an auxiliary is a verb is a word. Words have a form, verbs a subject that is
// a noun; auxiliaries take an infinitive as complement and their own subject, a pronoun.
const char* const kGrammar = "#RELATIONS\n"
                             "subject isa dependent\n"
                             "complement isa dependent\n"
                             "#ENTITIES\n"
                             "verb isa word\n"
                             "auxiliary isa verb\n"
                             "pronoun isa noun\n"
                             "noun isa word\n"
                             "#PROPERTIES\n"
                             "word form stem\n"
                             "verb subject noun\n"
                             "auxiliary subject pronoun\n"
                             "auxiliary complement infinitive\n";

TEST_F(InheritanceTest, TheReportOfAnAuxiliary) {
    load(kGrammar);
    ASSERT_TRUE(StartDebugLog());
    InheritanceReport report;
    RunInheritanceReport(entity("auxiliary"), report);
    EXPECT_EQ(namesOf(report.related), (Names{"pronoun", "infinitive"}));
    EXPECT_EQ(namesOf(report.stipulated),
              (Names{"auxiliary subject pronoun", "auxiliary complement infinitive"}));
    EXPECT_EQ(namesOf(report.inheritedRelations), (Names{"verb subject noun", "word form stem"}));
    EXPECT_EQ(namesOf(report.ancestors), (Names{"verb", "word"}));
    EXPECT_EQ(namesOf(report.inheritedProperties), (Names{"noun", "stem"}));
    EXPECT_EQ(namesOf(report.overriddenTargets), (Names{"noun"}))
        << "the auxiliary's own subject overrides the verb's";
    EXPECT_EQ(namesOf(report.overriddenRelations), (Names{"subject"}));
    DisposeInheritanceReport(report);

    std::ifstream in(DebugLogPath());
    std::stringstream log;
    log << in.rdbuf();
    const std::string text = log.str();
    // The first part runs over two lines.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    for (const char* part :
         {"\nNode: auxiliary\nStipulated relations:\nauxiliary subject pronoun##\n"
          "auxiliary complement infinitive##\n",
          "Inherited relation list:\nverb subject noun##\nword form stem##\n",
          "Ancestor nodes:\nverb##\nword##\n",
          "Parent nodes of current relation (to): pos=0\nverb subject noun##\nword form stem##\n",
          "Inherited properties:\nnoun##\nstem##\nOverrides:\nnoun##\nsubject##\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nin:\n" << text;
    // NOLINTEND(bugprone-suspicious-missing-comma)
}

// The window's lists, filled the way the window fills them: each entry goes to the log.
class RecordingLists : public ReportSink {
public:
    void fillList(int listId, const NodeList* nodes) override {
        filled.push_back(listId);
        ListEntries(nodes);
    }
    std::vector<int> filled;
};

TEST_F(InheritanceTest, TheWindowListsAreFilledAmongTheReportLinesInTheirOrder) {
    load(kGrammar);
    ASSERT_TRUE(StartDebugLog());
    InheritanceReport report;
    RecordingLists lists;
    RunInheritanceReport(entity("auxiliary"), report, &lists);
    DisposeInheritanceReport(report);
    EXPECT_EQ(lists.filled, (std::vector<int>{179, 180, 99, 102}));

    std::ifstream in(DebugLogPath());
    std::stringstream log;
    log << in.rdbuf();
    const std::string text = log.str();
    // The stipulated lists come before the node's heading, the inherited ones between the
    // ancestors and the inherited properties, and nothing follows the overrides.
    const std::string stipulated =
        "pronoun##\ninfinitive##\n"
        "auxiliary subject pronoun##\nauxiliary complement infinitive##\n"
        "\nNode: auxiliary\nStipulated relations:\n";
    const std::string inherited = "noun##\nstem##\nverb subject noun##\nword form stem##\n"
                                  "Inherited properties:\nnoun##\nstem##\n"
                                  "Overrides:\nnoun##\nsubject##\n";
    const std::size_t first = text.find(stipulated);
    const std::size_t ancestors = text.find("Ancestor nodes:\nverb##\nword##\n");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_LT(first, ancestors) << text;
    ASSERT_GE(text.size(), inherited.size());
    EXPECT_EQ(text.substr(text.size() - inherited.size()), inherited) << text;
    EXPECT_LT(ancestors, text.size() - inherited.size()) << text;
}

TEST_F(InheritanceTest, EverySearchEndsAroundACycle) {
    load("#ENTITIES\na isa b\nb isa c\nc isa a\nc isa d\nS isa a\nS isa b\n"
         "#PROPERTIES\nb r x\nc r y\nd q z\nS r own\n");
    Node* s = entity("S");
    const Names ancestors = take(AncestorNodes(s, ParentSlot));
    ASSERT_FALSE(ancestors.empty());
    EXPECT_EQ(ancestors.front(), "a");
    for (const char* name : {"b", "c", "d"})
        EXPECT_NE(std::find(ancestors.begin(), ancestors.end(), name), ancestors.end()) << name;
    InheritanceReport report;
    RunInheritanceReport(s, report);
    EXPECT_FALSE(namesOf(report.inheritedProperties).empty());
    DisposeInheritanceReport(report);
    load("#ENTITIES\nloop isa loop\n");
    EXPECT_EQ(take(AncestorNodes(entity("loop"), ParentSlot)), (Names{"loop"}))
        << "its own parent, listed once";
}

// Sixty entities, each with the next two as parents, all in one cycle: a walk that told apart
// the ways through it would never end. Every search ends, and lists each node once.
TEST_F(InheritanceTest, ALargeCycleOfManyParentsIsWalkedOncePerNode) {
    constexpr int kCount = 60;
    std::string text = "#ENTITIES\n";
    for (int n = 0; n < kCount; ++n)
        for (int step = 1; step <= 2; ++step)
            text += "c" + std::to_string(n) + " isa c" + std::to_string((n + step) % kCount) + "\n";
    text += "#PROPERTIES\n";
    for (int n = 0; n < kCount; n += 3)
        text += "c" + std::to_string(n) + " r" + std::to_string(n % 4) + " v" + std::to_string(n) +
                "\n";
    load(text);
    Node* s = entity("c0");
    const Names ancestors = take(AncestorNodes(s, ParentSlot));
    EXPECT_EQ(ancestors.size(), static_cast<std::size_t>(kCount)) << "every node, itself too";
    EXPECT_EQ(ancestors.front(), "c1");
    EXPECT_EQ(ancestors[1], "c2");
    Names sorted = ancestors;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "no repeats";
    InheritanceReport report;
    RunInheritanceReport(s, report);
    const Names values = namesOf(report.inheritedProperties);
    Names sortedValues = values;
    std::sort(sortedValues.begin(), sortedValues.end());
    EXPECT_EQ(std::adjacent_find(sortedValues.begin(), sortedValues.end()), sortedValues.end());
    // The nearest property of each relation comes first: c3's, two steps up, before c6's.
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values.front(), "v3");
    DisposeInheritanceReport(report);
}

// T is reached from S through A and through B: its property is found along both paths, in the
// same pass, and listed and checked once.
TEST_F(InheritanceTest, WhatSeveralPathsReachIsListedOnceAtItsFirstPlace) {
    load("#ENTITIES\nS isa A\nS isa B\nA isa T\nB isa T\nA isa U\nB isa U\nT isa U\n"
         "#PROPERTIES\nT r V\nU q W\nB q W\n");
    ASSERT_TRUE(StartDebugLog());
    InheritanceReport report;
    RunInheritanceReport(entity("S"), report);
    EXPECT_EQ(namesOf(report.ancestors), (Names{"A", "B", "T", "U"}));
    EXPECT_EQ(namesOf(report.inheritedRelations), (Names{"B q W", "T r V"}));
    EXPECT_EQ(namesOf(report.inheritedProperties), (Names{"W", "V"}));
    DisposeInheritanceReport(report);
    const std::string text = [] {
        std::ifstream in(DebugLogPath());
        std::stringstream log;
        log << in.rdbuf();
        return log.str();
    }();
    const std::string check = "Parent nodes of current relation (to): pos=2\n";
    const std::size_t at = text.find(check);
    EXPECT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find(check, at + 1), std::string::npos) << "T r V is checked once:\n" << text;
}

TEST_F(InheritanceTest, NearAncestorsAreAtMostTwoParentLevelsUp) {
    load("#RELATIONS\nr isa rp\nrp isa rg\nrg isa rt\n#PROPERTIES\nA r B\n");
    const NodeBase* property = first(relation("r"), ChildSlot);
    ASSERT_NE(property, nullptr);
    EXPECT_TRUE(IsNearAncestor(property, relation("r"))) << "its own relation";
    EXPECT_TRUE(IsNearAncestor(property, relation("rp")));
    EXPECT_TRUE(IsNearAncestor(property, relation("rg")));
    EXPECT_FALSE(IsNearAncestor(property, relation("rt")));
    EXPECT_TRUE(IsNearAncestor(relation("r"), relation("rg")));
    EXPECT_FALSE(IsNearAncestor(relation("rt"), relation("r")));
}

} // namespace
} // namespace tarvo
