// Edits issued from a view reach the network and every open view, and Undo takes them back:
// the views' own nodes always keep the links of the network's.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "edit/changes.h"
#include "labels/label_cells.h"
#include "labels/label_markup.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "platform/keys.h"
#include "tools/network_generator.h"
#include "view/commands.h"
#include "view/view_changes.h"
#include "view/view_commands.h"
#include "view/view_editing.h"
#include "view/view_operations.h"
#include "view/view_paint.h"

#include "support/failing_allocation.h"
#include "support/network_text.h"
#include "support/null_display.h"
#include "support/view_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

using testing_support::kGrammar;

class ViewEditingTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    void TearDown() override {
        closeSecond();
        ViewFixture::TearDown();
    }
    // A second view on the same network, in a window of its own.
    NetView& openSecond(const char* name) {
        closeSecond();
        secondHost = std::make_unique<platform::OffWindowHost>(platform::Size{600, 400},
                                                               measuring(), regions());
        second = std::make_unique<NetView>();
        ViewStartup startup;
        startup.title = name;
        EXPECT_EQ(CreateView(*second, *net, findNode(name, 0), secondHost.get(), &menus, startup),
                  1);
        secondHost->runPosted();
        return *second;
    }
    void closeSecond() {
        if (second)
            DestroyView(*second);
        second.reset();
        secondHost.reset();
    }
    void expectBothMatchTheNetwork() {
        EXPECT_EQ(CheckViewAgainstNetwork(*view), "");
        if (second) {
            EXPECT_EQ(CheckViewAgainstNetwork(*second), "");
        }
    }
    ViewNode* copyIn(NetView& v, const char* name) { return FindViewNode(v, findNode(name, 0)); }
    // Makes the named node current, with the first of its parents as current link.
    void goTo(NetView& v, const char* name) {
        ViewNode* node = copyIn(v, name);
        ASSERT_NE(node, nullptr) << name;
        GoToNode(v, node, 2);
    }

    std::unique_ptr<platform::OffWindowHost> secondHost;
    std::unique_ptr<NetView> second;

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(ViewEditingTest, AnInsertReachesTheNetworkAndBothViewsAndUndoTakesItBack) {
    load(kGrammar);
    const std::string before = testing_support::NetworkAsText(*net);
    NetView& a = open("word");
    NetView& b = openSecond("noun");
    Node* word = findNode("word", 0);
    const int children = listSize(word->slotList(ChildSlot));

    // Ctrl+Insert: a new child of the current node, with an empty label of its own.
    EXPECT_TRUE(ViewKey(a, platform::keys::kInsert, false, true));
    ASSERT_EQ(listSize(word->slotList(ChildSlot)), children + 1);
    Node* added = asNode(word->slotList(ChildSlot).nodeAt(children));
    EXPECT_TRUE(IsAnonymousNode(added));
    EXPECT_EQ(findNode(added->name, 0), added);
    EXPECT_NE(FindViewNode(a, added), nullptr);
    EXPECT_NE(FindViewNode(b, added), nullptr);
    expectBothMatchTheNetwork();

    // A second empty insert makes a second node rather than meeting the first.
    EXPECT_TRUE(InsertNode(a, true, false));
    EXPECT_EQ(listSize(word->slotList(ChildSlot)), children + 2);
    expectBothMatchTheNetwork();

    // With a relation chosen in the tool bar the new node is joined by that relation; undoing
    // it keeps the relation, which other properties use.
    Node* subject = findNode("subject", 1);
    const int properties = listSize(subject->slotList(ChildSlot));
    a.selectedRelation = subject;
    EXPECT_TRUE(InsertNode(a, true, false));
    EXPECT_EQ(listSize(subject->slotList(ChildSlot)), properties + 1);
    expectBothMatchTheNetwork();
    EXPECT_TRUE(UndoLastChange(a));
    EXPECT_EQ(findNode("subject", 1), subject);
    EXPECT_EQ(listSize(subject->slotList(ChildSlot)), properties);

    EXPECT_TRUE(ViewCommand(a, cmd::kUndo));
    EXPECT_TRUE(ViewCommand(b, cmd::kUndo));
    EXPECT_EQ(changes(*net).undo, nullptr);
    EXPECT_EQ(changes(*net).history, nullptr);
    expectBothMatchTheNetwork();
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    // Nothing left to undo: the command does nothing.
    EXPECT_FALSE(UndoLastChange(a));
}

TEST_F(ViewEditingTest, DeletingMovesEveryViewOffTheNodeAndUndoRestoresItsPlaces) {
    load(kGrammar);
    const std::string before = testing_support::NetworkAsText(*net);
    NetView& a = open("word");
    NetView& b = openSecond("auxiliary");
    goTo(a, "auxiliary");
    ASSERT_NE(a.currentLink, nullptr);
    // Without a current link there is nothing to move to: refused.
    ViewNode* link = a.currentLink;
    a.currentLink = nullptr;
    EXPECT_FALSE(DeleteCurrentNode(a));
    a.currentLink = link;

    EXPECT_TRUE(ViewCommand(a, cmd::kDeleteNode));
    EXPECT_EQ(findNode("auxiliary", 0), nullptr);
    EXPECT_EQ(a.current, link);
    ASSERT_NE(b.current, nullptr);
    EXPECT_NE(b.current->source, nullptr);
    EXPECT_EQ(copyIn(a, "auxiliary"), nullptr);
    EXPECT_EQ(copyIn(b, "auxiliary"), nullptr);
    expectBothMatchTheNetwork();

    EXPECT_TRUE(UndoLastChange(b));
    EXPECT_NE(copyIn(a, "auxiliary"), nullptr);
    EXPECT_NE(copyIn(b, "auxiliary"), nullptr);
    expectBothMatchTheNetwork();
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
}

TEST_F(ViewEditingTest, FormattingRelabelsTheWholeLabelAndARenameOntoATakenNameIsRefused) {
    load(kGrammar);
    NetView& a = open("word");
    NetView& b = openSecond("word");
    goTo(a, "noun");
    EXPECT_TRUE(ViewCommand(a, cmd::kBold));
    Node* noun = a.current->source;
    LabelCells* cells = CellsOfLabel(noun->name);
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(CellsToText(*cells, 0, cells->size(), kCellsAsPlainText), std::string("noun"));
    EXPECT_TRUE(cells->cellAt(1)->style & kBold);
    cells->destroy();
    EXPECT_EQ(copyIn(b, noun->name), FindViewNode(b, noun));
    EXPECT_STREQ(a.current->name, noun->name);
    // Bold again takes it off.
    EXPECT_TRUE(ViewCommand(a, cmd::kBold));
    EXPECT_STREQ(noun->name, "noun");

    EXPECT_FALSE(SetLabel(a, a.current, "verb"));
    EXPECT_FALSE(SetLabel(a, a.current, "noun"));
    EXPECT_STREQ(noun->name, "noun");
    EXPECT_EQ(findNode("noun", 0), noun);

    EXPECT_TRUE(UndoLastChange(a));
    EXPECT_TRUE(UndoLastChange(a));
    EXPECT_STREQ(noun->name, "noun");
    expectBothMatchTheNetwork();
}

// One allocation failing, each in turn, while an edit is recorded (for a relabelling: its name,
// the old name, the inverse's two names, the two records): the edit is either made with an
// inverse that takes it back, or not made at all.
TEST_F(ViewEditingTest, AnEditShortOfMemoryIsUndoableOrNotMade) {
    load(kGrammar);
    NetView& a = open("word");
    goTo(a, "noun");
    const std::string before = testing_support::NetworkAsText(*net);
    const std::pair<const char*, std::function<bool()>> edits[] = {
        {"relabel", [&] { return SetLabel(a, a.current, "name"); }},
        {"insert a child", [&] { return InsertNode(a, true, false, "proper", -1); }},
    };
    for (const auto& [what, edit] : edits) {
        int made = 0;
        for (int failing = 0; failing < 4; ++failing) {
            SCOPED_TRACE(std::string(what) + ", allocation " + std::to_string(failing));
            testing_support::failingAllocation = failing;
            SetSystemAllocation(testing_support::mallocFailingOnce, testing_support::plainFree);
            const bool edited = edit();
            RestoreSystemAllocation();
            if (edited) {
                ++made;
                EXPECT_TRUE(UndoLastChange(a)) << "an edit made is one that can be undone";
            }
            EXPECT_EQ(testing_support::NetworkAsText(*net), before);
            EXPECT_EQ(changes(*net).pending, nullptr);
            EXPECT_EQ(changes(*net).undo, nullptr);
        }
        EXPECT_EQ(made, 0) << what << ": each of these runs out before the edit is recorded";
    }
    expectBothMatchTheNetwork();
}

// An undo the network refuses after part of it applied: the views hear of that part. Here
// the part removes, and so destroys, a node both views show.
TEST_F(ViewEditingTest, AnUndoRefusedHalfWayTellsTheViewsWhatItChanged) {
    load(kGrammar);
    NetView& a = open("word");
    NetView& b = openSecond("verb");
    const auto insert = [&](const char* parent, const char* name) {
        return RecordChange(*net, InsertStep{findNode(parent, 0), CopyText(name), nullptr},
                            RemoveStep{CopyText(name), nullptr}, ChildSlot, -1);
    };
    ASSERT_TRUE(insert("noun", "proper"));
    ASSERT_TRUE(insert("verb", "clause"));
    ASSERT_TRUE(CommitEdit(*net));
    ASSERT_NE(copyIn(a, "clause"), nullptr);
    ASSERT_NE(copyIn(b, "clause"), nullptr);
    // The node the undo removes last is renamed behind the change records' back, so that the
    // undo's second step finds nothing to remove.
    auto* rename = new ChangeRecord(RenameStep(CopyText("proper"), CopyText("common")), 0, -1);
    ASSERT_TRUE(ApplyToNetwork(*net, rename));
    ReleaseRecord(rename, nullptr);

    EXPECT_FALSE(UndoLastChange(a));
    EXPECT_EQ(findNode("clause", 0), nullptr);
    EXPECT_NE(findNode("common", 0), nullptr);
    // Neither view keeps a copy of the destroyed node, and both still paint.
    expectBothMatchTheNetwork();
    for (NetView* v : {&a, &b}) {
        testing_support::NullDisplay display;
        Paint(*v, display);
    }
}

TEST_F(ViewEditingTest, ReorderingMovesTheCurrentNodeAmongItsSiblings) {
    load(kGrammar);
    NetView& a = open("word");
    goTo(a, "noun");
    Node* word = findNode("word", 0);
    ASSERT_EQ(positionOf(word, ChildSlot, findNode("noun", 0)), 0);
    // Ctrl+Shift+Right: one place later.
    EXPECT_TRUE(ViewKey(a, platform::keys::kRight, true, true));
    EXPECT_EQ(positionOf(word, ChildSlot, findNode("noun", 0)), 1);
    expectBothMatchTheNetwork();
    EXPECT_TRUE(UndoLastChange(a));
    EXPECT_EQ(positionOf(word, ChildSlot, findNode("noun", 0)), 0);
}

TEST_F(ViewEditingTest, ADragMarkChangesOnlyTheViews) {
    load(kGrammar);
    const std::string before = testing_support::NetworkAsText(*net);
    NetView& a = open("word");
    NetView& b = openSecond("word");
    Node* word = findNode("word", 0);
    ASSERT_NE(RecordChange(*net, MarkDragStep{word}, std::nullopt, ChildSlot, 1), nullptr);
    EXPECT_TRUE(CommitEdit(*net));
    EXPECT_TRUE(copyIn(a, "noun")->hasFlag(NodeFlags::DragMark));
    EXPECT_TRUE(copyIn(b, "verb")->hasFlag(NodeFlags::DragMark));
    EXPECT_FALSE(findNode("noun", 0)->hasFlag(NodeFlags::DragMark));
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    EXPECT_EQ(changes(*net).undo, nullptr);
}

TEST_F(ViewEditingTest, ARelationChosenForNewLinksIsForgottenWhenAnUndoDestroysIt) {
    load(kGrammar);
    open("verb");
    // Shift+Ctrl+Insert: a child joined by a new relation with an empty name.
    ASSERT_TRUE(InsertNode(*view, true, true));
    Node* made = nullptr;
    net->table()->forEach(
        [](void* context, NodeBase* n) {
            Node* node = asNode(n);
            if (!node->relationKind() || node->isProperty() || !IsAnonymousLabel(node->name))
                return 0;
            *static_cast<Node**>(context) = node;
            return 1;
        },
        &made);
    ASSERT_NE(made, nullptr);
    view->selectedRelation = made;
    ASSERT_TRUE(UndoLastChange(*view));
    EXPECT_EQ(view->selectedRelation, nullptr) << "the relation is gone with the undo";
    // The next insert is joined by isa, not by the destroyed relation.
    const int before = testing_support::NetworkNodeCount(*net);
    ASSERT_TRUE(InsertNode(*view, true, false));
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), before + 1);
}

TEST_F(ViewEditingTest, TwoNetworksOpenSideBySideKeepTheirEditsApart) {
    load(kGrammar);
    NetView& a = open("word");
    // A second network read from the same file, with a view of its own.
    std::unique_ptr<Network> other = testing_support::ReadNetworkText(kGrammar);
    platform::OffWindowHost otherHost({600, 400}, measuring(), regions());
    NetView b;
    ASSERT_EQ(CreateView(b, *other, other->find("word", 0), &otherHost, &menus, {}), 1);
    otherHost.runPosted();
    const std::string untouched = testing_support::NetworkAsText(*other);
    ASSERT_TRUE(InsertNode(a, true, false));
    EXPECT_NE(testing_support::NetworkAsText(*net), untouched);
    EXPECT_EQ(testing_support::NetworkAsText(*other), untouched) << "the edit stays in its network";
    EXPECT_EQ(changes(*other).history, nullptr);
    EXPECT_EQ(CheckViewAgainstNetwork(b), "") << "the other view heard nothing of it";
    EXPECT_FALSE(UndoLastChange(b)) << "nothing to undo in the other network";
    EXPECT_NE(testing_support::NetworkAsText(*net), untouched);
    // Each network numbers its own anonymous labels: the same insert there makes the same file.
    ASSERT_TRUE(InsertNode(b, true, false));
    EXPECT_EQ(testing_support::NetworkAsText(*other), testing_support::NetworkAsText(*net));
    ASSERT_TRUE(UndoLastChange(a));
    EXPECT_EQ(testing_support::NetworkAsText(*net), untouched);
    EXPECT_NE(testing_support::NetworkAsText(*other), untouched);
    EXPECT_EQ(CheckViewAgainstNetwork(a), "");
    EXPECT_EQ(CheckViewAgainstNetwork(b), "");
    DestroyView(b);
}

TEST_F(ViewEditingTest, AnIsaLinkThatWouldCloseACycleIsRefused) {
    load(kGrammar);
    NetView& a = open("word");
    // word is above modal: making modal a parent of word would close a cycle.
    EXPECT_FALSE(AddLink(a, copyIn(a, "word"), ParentSlot, copyIn(a, "modal")));
    EXPECT_FALSE(AddLink(a, copyIn(a, "noun"), ParentSlot, copyIn(a, "word")));
    EXPECT_TRUE(AddLink(a, copyIn(a, "modal"), ParentSlot, copyIn(a, "noun")));
    expectBothMatchTheNetwork();
}

// Random edits on generated networks with two views open, each followed by the check that the
// views keep the network's links; undoing all of them gives back the file as it was.
TEST_F(ViewEditingTest, RandomEditsKeepTheViewsInStepAndUndoRestoresTheFile) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        tools::GeneratorOptions options;
        options.seed = seed;
        options.entities = 40;
        options.relations = 4;
        options.properties = 20;
        options.formatted = seed % 2 == 0;
        load(tools::GenerateNetwork(options));
        const std::string before = testing_support::NetworkAsText(*net);
        std::vector<NodeBase*> entities;
        net->table()->forEach(
            [](void* c, NodeBase* n) {
                if (asNode(n)->isEntity() && n->first(ParentSlot))
                    static_cast<std::vector<NodeBase*>*>(c)->push_back(n);
                return 0;
            },
            &entities);
        ASSERT_GE(entities.size(), 2u);
        NetView& a = open(entities[0]->name);
        NetView& b = openSecond(entities[1]->name);
        std::mt19937 random(seed);
        int edits = 0;
        for (int step = 0; step < 60; ++step) {
            NetView& v = random() % 2 ? a : b;
            // A random node of the view becomes current.
            std::vector<NodeBase*> shown;
            v.layout.nodes->forEach(
                [](void* c, NodeBase* n) {
                    static_cast<std::vector<NodeBase*>*>(c)->push_back(n);
                    return 0;
                },
                &shown);
            auto* target = asViewNode(shown[random() % shown.size()]);
            GoToNode(v, target, 2);
            auto* other = asViewNode(shown[random() % shown.size()]);
            const ChangeRecord* top = changes(*net).undo;
            const int op = static_cast<int>(random() % 7);
            switch (op) {
            case 0:
                InsertNode(v, random() % 2, false);
                break;
            case 1:
                InsertNode(v, true, !v.current->source->relationKind());
                break;
            case 2:
                DeleteCurrentNode(v);
                break;
            case 3:
                AddLink(v, v.current, static_cast<int>(random() % 2), other);
                break;
            case 4:
                if (v.currentLink)
                    MoveLinkEnd(v, v.current, v.linkDirection ^ 1, v.currentLink, other);
                break;
            case 5:
                MoveAmongSiblings(v, random() % 2 ? 1 : -1);
                break;
            case 6:
                ViewCommand(v, cmd::kItalic);
                break;
            }
            edits += changes(*net).undo != top ? 1 : 0;
            ASSERT_EQ(CheckViewAgainstNetwork(a), "") << "step " << step << " edit " << op;
            ASSERT_EQ(CheckViewAgainstNetwork(b), "") << "step " << step << " edit " << op;
        }
        EXPECT_GT(edits, 10);
        while (changes(*net).undo) {
            ASSERT_TRUE(UndoLastChange(random() % 2 ? a : b));
            ASSERT_EQ(CheckViewAgainstNetwork(a), "");
            ASSERT_EQ(CheckViewAgainstNetwork(b), "");
        }
        EXPECT_EQ(changes(*net).history, nullptr);
        EXPECT_EQ(testing_support::NetworkAsText(*net), before);
        closeSecond();
    }
}

} // namespace
} // namespace tarvo
