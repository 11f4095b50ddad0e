// What the inspection windows show: the link lists of each scope, the items' looks, moving a
// link among those shown and the shown-or-hidden marks, on a view of a small network.
#include "model/graph_walk.h"
#include "view/node_windows_content.h"

#include "containers/node_list.h"
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"
#include "labels/label_markup.h"
#include "labels/label_text.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "memory/size_class_heap.h"
#include "view/spotlight.h"

#include "support/null_display.h"
#include "support/view_fixture.h"

#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kLinks = R"(#RELATIONS
subject isa dependent
object isa dependent
#ENTITIES
noun isa word
pronoun isa noun
verb isa word
aux isa verb
main isa verb
modal isa aux
#PROPERTIES
verb subject noun
verb object noun
verb subject pronoun
aux subject pronoun
#FONTS
)";

// A property by its plain label "from relation to".
std::string shown(const NodeBase* node) {
    std::string text;
    PlainText(node->name, text);
    for (char& c : text)
        if (c == '\x7f')
            c = ' ';
    return text;
}

// A result list or a link slot.
template <typename List> Names namesOf(List list) {
    Names names;
    forEachNode(list, [&](NodeBase* n) { names.push_back(shown(n)); });
    return names;
}

class InspectionTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    void SetUp() override { load(kLinks); }

    Node* entity(const char* name) { return findNode(name, 0); }
    Node* relation(const char* name) { return findNode(name, 1); }
    // The network node of each element of the view's current node's slot, in order.
    Names viewSlot(int slot) {
        Names names;
        forEachNode(view->current->slotList(slot), [&](NodeBase* e) {
            names.push_back(shown(asViewNode(ThroughDummies(e, slot))->source));
        });
        return names;
    }
    Names lists(Node* s, const Node* r, ConnectionScope scope, bool to) {
        LinkLists links = BuildLinkLists(*net, s, r, scope);
        Names names = namesOf(to ? links.to : links.from);
        DisposeLinkLists(links);
        return names;
    }

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(InspectionTest, EachScopeListsItsLinks) {
    Node* aux = entity("aux");
    EXPECT_EQ(lists(aux, nullptr, ConnectionScope::Actual, false), (Names{"verb"}));
    EXPECT_EQ(lists(aux, nullptr, ConnectionScope::Actual, true), (Names{"modal"}));
    EXPECT_EQ(lists(aux, nullptr, ConnectionScope::Legal, false), (Names{"verb", "word"}));
    EXPECT_EQ(lists(entity("verb"), nullptr, ConnectionScope::Legal, true),
              (Names{"aux", "main", "modal"}));
    EXPECT_EQ(lists(aux, relation("subject"), ConnectionScope::Actual, true),
              (Names{"aux subject pronoun"}));
    EXPECT_TRUE(lists(aux, relation("object"), ConnectionScope::Actual, true).empty());
    EXPECT_EQ(lists(aux, relation("object"), ConnectionScope::Legal, true),
              (Names{"verb object noun"}))
        << "the ancestor's property the node inherits";
    EXPECT_EQ(lists(entity("noun"), relation("subject"), ConnectionScope::Actual, false),
              (Names{"verb subject noun"}))
        << "the node as the to-end";
    EXPECT_EQ(lists(aux, relation("object"), ConnectionScope::All, true),
              (Names{"modal", "aux subject pronoun"}))
        << "every link, whatever the relation";

    open("aux");
    PrepareViewInspection(*view);
    EXPECT_TRUE(entity("word")->hasFlag(NodeFlags::InViewMark | NodeFlags::AncestorMark))
        << "the view's nodes are in view, the current node's lineage marked";
    EXPECT_TRUE(entity("modal")->hasFlag(NodeFlags::DescendantMark));
    EXPECT_FALSE(entity("noun")->hasFlag(NodeFlags::DescendantMark));
    EXPECT_EQ(lists(aux, nullptr, ConnectionScope::Partition, true), (Names{"modal"}));
    entity("modal")->setFlag(0, NodeFlags::InViewMark);
    EXPECT_TRUE(lists(aux, nullptr, ConnectionScope::Partition, true).empty())
        << "outside the view";

    load("#ENTITIES\na isa b\nb isa a\n");
    EXPECT_EQ(lists(entity("a"), nullptr, ConnectionScope::Legal, false), (Names{"b"}))
        << "a cycle ends";
}

TEST_F(InspectionTest, ScopeCaptionsAndBoxes) {
    ConnectionScope scope = ConnectionScope::Actual;
    EXPECT_TRUE(ChooseConnectionScope(32, scope));
    EXPECT_EQ(scope, ConnectionScope::Partition);
    EXPECT_FALSE(ChooseConnectionScope(34, scope));
    EXPECT_EQ(scope, ConnectionScope::Partition);
    EXPECT_FALSE(ChooseConnectionScope(29, scope));
    EXPECT_TRUE(ChooseConnectionScope(33, scope));
    EXPECT_EQ(scope, ConnectionScope::All);

    EXPECT_EQ(SortCaption(inspect::kFromList, true), "Sort parent links");
    EXPECT_EQ(SortCaption(inspect::kToList, true), "Sort child links");
    EXPECT_EQ(SortCaption(inspect::kFromList, false), "Sort from links");
    EXPECT_EQ(SortCaption(inspect::kToList, false), "Sort to links");

    NodeList* nodes = NodeBoxNodes(*net, 0);
    EXPECT_EQ(namesOf(nodes), (Names{"aux", "main", "modal", "noun", "pronoun", "verb", "word"}));
    DisposeList(nodes);
    NodeList* relations = RelationBoxNodes(*net);
    EXPECT_EQ(namesOf(relations), (Names{"isa", "dependent", "object", "subject"}));
    DisposeList(relations);
}

TEST_F(InspectionTest, MoveButtonsFollowThePlaceAmongTheMovableLinks) {
    EXPECT_FALSE(MoveEnabling(-1, 3).up || MoveEnabling(-1, 3).down) << "no selection";
    EXPECT_TRUE(!MoveEnabling(0, 3).up && MoveEnabling(0, 3).down);
    EXPECT_TRUE(MoveEnabling(1, 3).up && MoveEnabling(1, 3).down);
    EXPECT_TRUE(MoveEnabling(2, 3).up && !MoveEnabling(2, 3).down) << "the last link";
    EXPECT_FALSE(MoveEnabling(0, 1).up || MoveEnabling(0, 1).down);

    // Legal parents of aux: verb is its own, word only inherited.
    LinkLists links = BuildLinkLists(*net, entity("aux"), nullptr, ConnectionScope::Legal);
    int count = 0;
    EXPECT_EQ(MovablePlace(entity("aux"), ParentSlot, links.from, 0, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(MovablePlace(entity("aux"), ParentSlot, links.from, 1, &count), -1);
    DisposeLinkLists(links);
}

TEST_F(InspectionTest, MovingASubjectLinkPassesOverTheLinksOfOtherRelations) {
    open("verb");
    LinkLists links =
        BuildLinkLists(*net, entity("verb"), relation("subject"), ConnectionScope::Actual);
    ASSERT_EQ(namesOf(links.to), (Names{"verb subject noun", "verb subject pronoun"}));
    EXPECT_TRUE(MoveShownLink(*view, ToSlot, links.to, 1, -1));
    const Names moved{"verb subject pronoun", "verb object noun", "verb subject noun"};
    EXPECT_EQ(namesOf(entity("verb")->slotList(ToSlot)), moved);
    EXPECT_EQ(viewSlot(ToSlot), moved);
    EXPECT_FALSE(MoveShownLink(*view, ToSlot, links.to, 0, -1)) << "already first";
    DisposeLinkLists(links);
}

TEST_F(InspectionTest, ReportItemsShowRelationsDirectionsAndOverrides) {
    Node* aux = entity("aux");
    InheritanceReport report;
    RunInheritanceReport(aux, report);
    Node* own = asNode(aux->first(ToSlot));
    ItemLook look = InspectionItemLook(inspect::kStipulatedVia, aux, own, 0, 17, false);
    EXPECT_EQ(look.drawn, relation("subject")) << "a property drawn as its relation";
    EXPECT_EQ(look.direction, Direction::Out);
    look = InspectionItemLook(inspect::kStipulatedVia, entity("pronoun"), own, 0, 17, false);
    EXPECT_EQ(look.direction, Direction::In);

    Node* object = asNode(entity("verb")->slotList(ToSlot).nodeAt(1));
    const auto inheritedVia = [&](Node* item, const InheritanceReport* shown) {
        return InspectionItemLook(inspect::kInheritedVia, aux, item, 0, 17, false, shown).direction;
    };
    EXPECT_EQ(inheritedVia(object, &report), Direction::Out);
    EXPECT_EQ(inheritedVia(own, &report), Direction::Unknown)
        << "its own property is in neither side list of the inherited ones";
    EXPECT_EQ(inheritedVia(object, nullptr), Direction::Unknown) << "no report shown";
    // The link window's searches for another node leave the shown report's directions alone.
    LinkLists other =
        BuildLinkLists(*net, entity("noun"), relation("subject"), ConnectionScope::Legal);
    DisposeLinkLists(other);
    InheritanceReport mainReport;
    RunInheritanceReport(entity("main"), mainReport);
    DisposeInheritanceReport(mainReport);
    EXPECT_EQ(inheritedVia(object, &report), Direction::Out);

    // The own subject property overrides the inherited subjects' values.
    ASSERT_TRUE(ListContains(report.overriddenTargets, entity("noun")));
    look = InspectionItemLook(inspect::kInheritedNodes, aux, entity("noun"), 0, 17, false);
    EXPECT_TRUE(look.look.markOverridden && look.drawn->hasFlag(OverriddenMark));

    EXPECT_FALSE(InspectionItemLook(inspect::kStipulatedNodes, aux, own, 71, 88, false).skipped);
    EXPECT_TRUE(InspectionItemLook(inspect::kStipulatedNodes, aux, own, -1, 16, false).skipped);
    EXPECT_TRUE(InspectionItemLook(inspect::kStipulatedNodes, aux, own, 72, 89, false).skipped);
    EXPECT_EQ(InspectionItemLook(inspect::kToList, aux, own, 0, 17, false).drawn, entity("pronoun"))
        << "a link list shows the property's other end";
    DisposeInheritanceReport(report);
}

TEST_F(InspectionTest, ListEntriesTakeTheFirstCharacterAndLogOnlyWhileTheLogIsOn) {
    NodeList* nodes = NodeBoxNodes(*net, 0);
    const bool before = DebugLogOn;
    for (const bool on : {false, true}) {
        RestartDebugLog("");
        DebugLogOn = on;
        const std::vector<ListEntry> entries = ListEntries(nodes);
        DebugLogOn = before;
        ASSERT_EQ(entries.size(), 7u);
        EXPECT_EQ(entries[3].text, "n");
        EXPECT_EQ(EntryRow(entries, entity("noun")), 3);
        std::ifstream in(DebugLogPath());
        std::stringstream log;
        log << in.rdbuf();
        EXPECT_EQ(log.str().find("noun##\n") != std::string::npos, on) << log.str();
    }
    DisposeList(nodes);
}

TEST_F(InspectionTest, ListEntriesTakeTheFirstCharacterAsTheUserReadsIt) {
    // Phonetic names begin with the IPA symbol of their first byte, accented ones with their
    // letter, whole in UTF-8; the log keeps the names' own bytes.
    load("#ENTITIES\n<phon>Sip<\\phon> isa word\n\"\xe9t\xe9\" isa word\n"
         "\"<phon>*e<\\phon>\" isa word\n#FONTS\n");
    NodeList* nodes = nullptr;
    for (const char* name : {"<phon>Sip<\\phon>", "\xe9t\xe9", "<phon>*e<\\phon>", "word"}) {
        char* label = MarkupToLabel(name, net->labelIds());
        listAppend(nodes, findNode(label, 0));
        Release(label);
    }
    const bool before = DebugLogOn;
    RestartDebugLog("");
    DebugLogOn = true;
    const std::vector<ListEntry> entries = ListEntries(nodes);
    DebugLogOn = before;
    std::vector<std::string> firsts;
    firsts.reserve(entries.size());
    for (const ListEntry& entry : entries)
        firsts.push_back(entry.text);
    EXPECT_EQ(firsts, (Names{"\u0283", "\u00e9", "\u25cc", "w"}));
    std::ifstream in(DebugLogPath());
    std::stringstream log;
    log << in.rdbuf();
    EXPECT_EQ(log.str(), "Sip##\n\xe9t\xe9##\n*e##\nword##\n");
    DisposeList(nodes);
}

TEST_F(InspectionTest, ADoubleClickTogglesTheMarkAndTheSortedLinkInTheView) {
    open("aux");
    PrepareViewInspection(*view);
    Node* modal = entity("modal");
    ViewNode* copy = asViewNode(findNodeIn(view->layout.nodes, "modal", 0));
    EXPECT_TRUE(ToggleShownMark(view.get(), inspect::kToList, modal, ChildSlot));
    EXPECT_TRUE(modal->hasFlag(ShownMarkBit(inspect::kToList)));
    EXPECT_TRUE(isHidden(copy));
    const OwnedList children = CopyList(entity("aux")->slotList(ChildSlot));
    MarkHiddenLinks(*view, inspect::kToList, children.get(), ChildSlot);
    EXPECT_TRUE(modal->hasFlag(ShownMarkBit(inspect::kToList))) << "kept from the view";
    EXPECT_TRUE(ToggleShownMark(view.get(), inspect::kToList, modal, ChildSlot));
    EXPECT_FALSE(isHidden(copy));

    EXPECT_FALSE(ToggleShownMark(nullptr, inspect::kToList, entity("verb"), -1))
        << "an ancestor of the inspected node in the children's list";
    EXPECT_FALSE(ToggleShownMark(nullptr, inspect::kFromList, modal, -1))
        << "a descendant in another list";
    EXPECT_TRUE(ToggleShownMark(nullptr, inspect::kFromList, entity("verb"), -1));
    EXPECT_TRUE(entity("verb")->hasFlag(ShownMarkBit(inspect::kFromList)));
}

} // namespace
} // namespace tarvo
