// Moving through a view: the link cursor and its keys, the grid moves and paging, scrolling to
// the current node, the spotlight and its menu, in a window that is not there.
#include "containers/node_list.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "platform/keys.h"
#include "view/commands.h"
#include "view/spotlight.h"
#include "view/view_commands.h"
#include "view/view_operations.h"
#include "view/view_scale.h"

#include "support/null_display.h"
#include "support/view_fixture.h"

#include <tuple>

namespace tarvo {
namespace {

using namespace platform::keys;

class NavigationTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    // The view's copy of the entity, or else the relation, of that name.
    ViewNode* node(const char* name) {
        Node* source = findNode(name, 0) ? findNode(name, 0) : findNode(name, 1);
        EXPECT_NE(source, nullptr) << name;
        return source ? viewNodeFor(*view->layout.nodes, source) : nullptr;
    }
    void key(int k, bool shift = false, bool ctrl = false) { ViewKey(*view, k, shift, ctrl); }
    bool hidden(const char* name) { return node(name)->hasFlag(NodeFlags::Hidden); }
    bool flag(const char* name, std::uint32_t mask) { return node(name)->hasFlag(mask); }

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(NavigationTest, CursorKeysStepSiblingsWithWrappingAndEnterSlots) {
    load("#RELATIONS\nsubject isa dependent\nobject isa dependent\n#ENTITIES\nb isa a\nc isa a\n"
         "d isa a\n#PROPERTIES\nb subject c\nb object c\n#FONTS\n");
    NetView& v = open("a");
    v.selectedRelation = findNode("object", 1);
    // P1 and P2 are the properties "b subject c" and "b object c".
    const NodeSlot properties = node("b")->slotList(ToSlot);
    auto named = [&](const char* name) {
        return name[0] == 'P' ? asViewNode(properties.nodeAt(name[1] - '1')) : node(name);
    };
    struct Step {
        int key;
        bool shift;
        const char* current;
        const char* link;
        int index;
    } steps[] = {
        {kDown, false, "b", "a", 0},
        {kRight, false, "c", "a", 1},
        {kRight, false, "d", "a", 2},
        {kRight, false, "b", "a", 0},
        {kLeft, false, "d", "a", 2},
        // d has no children: nothing moves.
        {kDown, false, "d", "a", 2},
        {kLeft, false, "c", "a", 1},
        {kLeft, false, "b", "a", 0},
        {kRight, true, "P1", "b", 0},
        {kRight, false, "P2", "b", 1},
        {kRight, true, "c", "P2", 0},
        // Back through the property we came by, not the first of c's.
        {kLeft, true, "P2", "c", 1},
        {kUp, false, "object", "P2", 0},
    };
    for (const Step& s : steps) {
        ViewNode* before = v.current;
        key(s.key, s.shift);
        EXPECT_EQ(v.current, named(s.current)) << s.current;
        EXPECT_EQ(v.currentLink, named(s.link)) << s.current;
        EXPECT_EQ(v.linkCursor.index, s.index) << s.current;
        EXPECT_TRUE(v.current->hasFlag(NodeFlags::CurrentMark) &&
                    v.currentLink->hasFlag(NodeFlags::CurrentLinkMark));
        EXPECT_TRUE(before == v.current || !before->hasFlag(NodeFlags::CurrentMark));
    }
    // Only entities choose a relation in the second list; it changes with the kind only.
    EXPECT_EQ(menus.relationChoices, 3);
    EXPECT_EQ(menus.relationChoice, nullptr);
    EXPECT_FALSE(menus.relationChoiceEnabled);
    // Left to right, the Left key goes to the parents.
    ViewCommand(v, cmd::kLeftToRight);
    key(kLeft);
    EXPECT_EQ(v.current, node("dependent"));
}

TEST_F(NavigationTest, GridMovesSkipFillersAndEmptyCellsAndSelectInTheList) {
    load(testing_support::kGrammar);
    NetView& v = open("word");
    // A filler put in the first cell of the first layer makes the grid
    //   filler     .          .          .          .
    //   dependent  subject    property   .          .
    //   word       filler     noun       .          .
    //   .          verb       auxiliary  modal      .
    //   .          filler     filler     .          .
    ASSERT_EQ(v.layout.grid.insertFrontRows(1), 1);
    auto* filler = new ViewNode();
    filler->setFlag(1, NodeFlags::DummyNode);
    listAppend(v.layout.dummyList, filler);
    v.layout.grid.put(-v.layout.grid.slotOffset, -v.layout.grid.layerOffset, filler);
    ASSERT_EQ(v.layout.grid.at(1, 0), node("dependent"));
    ASSERT_TRUE(v.layout.grid.at(2, 1)->hasFlag(NodeFlags::DummyNode));
    // Keys with Ctrl carry kCtrl. The last layer is empty: End takes the last one with a node.
    constexpr int kCtrl = 0x10000;
    const std::tuple<const char*, int, const char*> moves[] = {
        {"word", kHome, "dependent"},
        {"noun", kHome | kCtrl, "word"},
        {"word", kEnd, "modal"},
        {"word", kEnd | kCtrl, "modal"},
        {"subject", kRight | kCtrl, "verb"},
        {"verb", kRight | kCtrl, "verb"},
        {"verb", kLeft | kCtrl, "subject"},
        {"dependent", kLeft | kCtrl, "dependent"},
        {"word", kDown | kCtrl, "noun"},
        {"noun", kUp | kCtrl, "word"},
        {"modal", kDown | kCtrl, "modal"},
        {"verb", kUp | kCtrl, "verb"}};
    for (const auto& [from, k, to] : moves) {
        GoToNode(v, node(from), 2);
        menus.listSelection = nullptr;
        key(k & ~kCtrl, false, (k & kCtrl) != 0);
        EXPECT_EQ(v.current, node(to)) << from << " key " << k;
        EXPECT_EQ(menus.listSelection, v.current != node(from) ? v.current : nullptr);
    }
}

// a to e, one above the other.
const char* const kChain = "#ENTITIES\nb isa a\nc isa b\nd isa c\ne isa d\n#FONTS\n";

TEST_F(NavigationTest, PagesAreAsManyLayersAsTheWindowShowsAndStopAtTheEnds) {
    load(kChain);
    NetView& v = open("a", 300, 300);
    SetCellExtents(v, 100.0f, 100.0f);
    const char* pages[][3] = {
        {"a", "d", "+"}, {"d", "e", "+"}, {"e", "e", "+"}, {"e", "b", "-"}, {"c", "a", "-"}};
    for (const auto& p : pages) {
        GoToNode(v, node(p[0]), 2);
        key(*p[2] == '+' ? kPageDown : kPageUp);
        EXPECT_EQ(v.current, node(p[1])) << p[0] << p[2];
    }
}

TEST_F(NavigationTest, GoingToANodeScrollsItsCellJustIntoView) {
    load(kChain);
    NetView& v = open("a", 300, 200);
    SetCellExtents(v, 100.0f, 100.0f);
    // Layers run down the window: a cell below shows at the bottom edge, one above at the top,
    // each with the room its markers take on both sides.
    const int m = v.geometry.layerMargin;
    ASSERT_GT(m, 0);
    const std::pair<const char*, int> visits[] = {
        {"e", 300 + 2 * m}, {"a", 0}, {"c", 100 + 2 * m}, {"b", 100}, {"d", 200 + 2 * m}};
    for (const auto& [name, scrollY] : visits) {
        GoToNode(v, node(name), 2);
        EXPECT_EQ(v.geometry.scrollY, scrollY) << name;
    }
    EXPECT_EQ(v.geometry.scrollY, v.geometry.scrollRangeY - 100)
        << "the last cell has the picture's end margin";
    host->invalidated.clear();
    GoToNode(v, v.current, 0);
    EXPECT_TRUE(host->invalidated.empty()) << "the current node shows: nothing to do";
    // Space brings it back.
    ScrollViewBy(v, 0, -200);
    key(kSpace);
    EXPECT_EQ(v.geometry.scrollY, 200 + 2 * m);
    // A cell larger than the window is centred on it.
    SetCellExtents(v, 100.0f, 300.0f);
    GoToNode(v, node("b"), 2);
    EXPECT_EQ(v.geometry.scrollY, v.geometry.layerMargin + 300 + 150 - 100);
    // Right to left the first layer is at the right, where the origin is 0.
    SetCellExtents(v, 100.0f, 100.0f);
    ViewCommand(v, cmd::kLeftToRight + ToInt(Orientation::RightToLeft));
    GoToNode(v, node("a"), 2);
    EXPECT_EQ(v.geometry.scrollX, 0);
    GoToNode(v, node("e"), 2);
    EXPECT_EQ(v.geometry.scrollX, 500 + 2 * m - 300);
}

TEST_F(NavigationTest, ChosenLinksKeepTheOldOneOrTakeTheNearestAndDistancesFollow) {
    // c's and d's first parent b lies further from r than their second, a.
    load("#ENTITIES\na isa r\nq isa r\nb isa q\nc isa b\nc isa a\nd isa b\nd isa a\n#FONTS\n");
    NetView& v = open("r");
    v.options.distanceMode = {};
    GoToNode(v, node("c"), 2);
    EXPECT_EQ(v.currentLink, node("a"));
    // a's link to c passes a filler.
    EXPECT_EQ(ThroughDummies(v.linkCursor.list.nodeAt(v.linkCursor.index), ChildSlot), node("c"));
    const std::pair<const char*, bool> changed[] = {{"c", true}, {"a", false}, {"b", true},
                                                    {"q", true}, {"d", false}, {"r", true}};
    for (const auto& [name, change] : changed)
        EXPECT_EQ(flag(name, NodeFlags::DistanceChanged), change) << name;
    EXPECT_EQ(node("r")->distance, 2);
    // Shown numbers are repainted, which takes the marks away.
    v.options.distanceMode = {DistanceShade::None, true};
    GoToNode(v, node("d"), 2);
    EXPECT_EQ(v.currentLink, node("a")) << "kept, though b is as near to c";
    EXPECT_FALSE(flag("c", NodeFlags::DistanceChanged));
    // A link given, and one that does not lead to the node.
    GoToNode(v, node("c"), 5, node("b"));
    EXPECT_TRUE(flag("b", NodeFlags::CurrentLinkMark));
    EXPECT_FALSE(flag("a", NodeFlags::CurrentLinkMark));
    GoToNode(v, node("r"), 4, node("d"));
    EXPECT_EQ(v.currentLink, nullptr);
    menus.listSelection = node("q");
    ViewCommand(v, cmd::kSelectNode);
    EXPECT_EQ(v.current, node("q"));
    EXPECT_EQ(v.currentLink, node("r"));
}

// r above a and b; a above a1 and a2, a1 above x.
const char* const kTree = "#ENTITIES\na isa r\nb isa r\na1 isa a\na2 isa a\nx isa a1\n#FONTS\n";

TEST_F(NavigationTest, SpotlightKeysNarrowAndWidenWhatIsShownAndTheMenuFollows) {
    load(kTree);
    NetView& v = open("r");
    auto expectMenu = [&](bool unshown, bool reducible) {
        EXPECT_EQ(menus.enables[cmd::kRevealNetwork], unshown);
        EXPECT_EQ(menus.enables[cmd::kExpandSpotlight], unshown);
        EXPECT_EQ(menus.enables[cmd::kReduceSpotlight], reducible);
    };
    expectMenu(false, true);
    key(kPageDown, true, true);
    EXPECT_TRUE(hidden("x"));
    EXPECT_FALSE(hidden("a1"));
    expectMenu(true, true);
    key(kPageDown, true, true);
    key(kPageDown, true, true);
    EXPECT_TRUE(hidden("b"));
    expectMenu(true, false);
    host->everythingInvalid = false;
    key(kPageDown, true, true);
    EXPECT_FALSE(host->everythingInvalid) << "only the current node shows: nothing to reduce";
    key(kPageUp, true, true);
    EXPECT_FALSE(hidden("a"));
    EXPECT_TRUE(hidden("a1"));
    key(kHome, true, true);
    EXPECT_FALSE(hidden("x"));
    expectMenu(false, true);
    // Going to a hidden node shows the way to it only.
    ReduceSpotlight(v);
    ReduceSpotlight(v);
    ReduceSpotlight(v);
    GoToNode(v, node("a1"), 2);
    EXPECT_FALSE(hidden("a1"));
    EXPECT_FALSE(hidden("a"));
    EXPECT_TRUE(hidden("a2")) << "as far from r as a1, but not on the way";
    EXPECT_TRUE(hidden("b"));
    EXPECT_EQ(v.layout.grid.nodeAt(node("a1")->slot, node("a1")->layer), node("a1"));
}

TEST_F(NavigationTest, HideParentsHidesThemAllOrRevealsThemAll) {
    load("#ENTITIES\nc isa a\nc isa b\nd isa c\nc isa r\nd isa r\n#FONTS\n");
    NetView& v = open("c");
    ViewCommand(v, cmd::kHideParents);
    EXPECT_TRUE(hidden("a") && hidden("b") && hidden("r"));
    EXPECT_TRUE(menus.checks[cmd::kHideParents]);
    ViewCommand(v, cmd::kHideParents);
    EXPECT_FALSE(hidden("a") || hidden("b") || hidden("r"));
    // With one parent visible the command hides again.
    ToggleNodeHidden(v, node("a"));
    ToggleNodeHidden(v, node("b"));
    ViewCommand(v, cmd::kHideParents);
    EXPECT_TRUE(hidden("r"));
    EXPECT_TRUE(hidden("a"));
    // r's children hold the current node: toggling them reveals and never hides c.
    ToggleNodeHidden(v, node("d"));
    ToggleSlotHidden(v, node("r"), ChildSlot, false);
    EXPECT_FALSE(hidden("c") || hidden("d"));
    ToggleNodeHidden(v, v.current);
    EXPECT_FALSE(hidden("c"));
    // A click on a marker reveals, where the menu would hide.
    ToggleNodeHidden(v, node("r"));
    ToggleSlotHidden(v, v.current, ParentSlot, true);
    EXPECT_FALSE(hidden("a") || hidden("b") || hidden("r"));
    GoToNode(v, node("d"), 2);
    EXPECT_FALSE(menus.enables[cmd::kHideChildren]) << "d has no children";
    EXPECT_TRUE(menus.enables[cmd::kHideParents]);
}

} // namespace
} // namespace tarvo
