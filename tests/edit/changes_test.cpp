// Change records on the network: groups, listeners, undo of every record type, the history,
// and the edits the network must refuse without losing or corrupting anything.
#include "edit/changes.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "tools/network_generator.h"

#include "support/network_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// verb sits between noun and modal among word's children, and its properties come first in
// subject's list: a restore that lost positions would show in the file.
const char* const kNetwork = R"(#RELATIONS
subject isa dependent
object isa dependent
#ENTITIES
noun isa word
verb isa word
pronoun isa noun
auxiliary isa verb
modal isa auxiliary
modal isa word
#PROPERTIES
verb subject noun
verb object noun
auxiliary subject pronoun
#FONTS
)";

// x stands in the middle of its parents (p, q, r), of q's children (u, x, v) and of r's
// children (t, x, s), and has children of its own.
const char* const kMiddleLinks = R"(#ENTITIES
x isa p
u isa q
x isa q
v isa q
t isa r
x isa r
s isa r
w isa x
y isa x
#PROPERTIES
#FONTS
)";

int groupCount(const ChangeRecord* list) {
    int count = 0;
    for (; list; list = list->next)
        count += !list->continues() || !list->next;
    return count;
}

// Records the types of the first group of every list it is told of.
class Recorder final : public ChangeListener {
public:
    void applyChanges(const ChangeRecord* group) override {
        std::vector<int> types;
        for (const ChangeRecord* r = group; r; r = r->continues() ? r->next : nullptr)
            types.push_back(r->kind());
        groups.push_back(types);
        if (onTold)
            onTold();
    }
    std::vector<std::vector<int>> groups;
    std::function<void()> onTold;
};

class ChangeTest : public ::testing::Test {
protected:
    Node* entity(const char* name) { return net->find(name, 0); }
    Node* relation(const char* name) { return net->find(name, 1); }

    // Steps recorded with their inverses.
    bool linkStep(std::uint8_t type, Node* a, int slot, Node* b, const char* by = nullptr,
                  int position = -1) {
        if (type == ChangeType::AddLink) {
            AddLinkStep step(a, b, CopyText(by));
            RemoveLinkStep inverse = ReversedStep(step);
            return RecordChange(*net, std::move(step), std::move(inverse), slot, position);
        }
        RemoveLinkStep step{a, b, CopyText(by)};
        AddLinkStep inverse = ReversedStep(step);
        return RecordChange(*net, std::move(step), std::move(inverse), slot, position);
    }
    bool insertStep(Node* at, const char* name, int slot, const char* by = nullptr,
                    int position = -1) {
        return RecordChange(*net, InsertStep{at, CopyText(name), CopyText(by)},
                            RemoveStep{CopyText(name), CopyText(by)}, slot, position);
    }
    bool deleteStep(Node* n, int flags = 0) {
        return RecordChange(*net, DeleteStep{n}, RestoreStep(n, OwnedPositions(recordPositions(n))),
                            flags, -1);
    }
    bool renameStep(const char* from, const char* to, int flags = 0) {
        return RecordChange(*net, RenameStep(CopyText(from), CopyText(to)),
                            RenameStep(CopyText(to), CopyText(from)), flags, -1);
    }
    bool markStep(Node* n) {
        return RecordChange(*net, MarkDragStep{n}, std::nullopt, ChildSlot, 1);
    }
    // A step the network refuses, without an inverse.
    bool failingStep() {
        return RecordChange(*net, RemoveStep{CopyText("nothing"), nullptr}, std::nullopt, 0, -1);
    }
    bool committed(bool recorded) { return recorded && CommitEdit(*net); }

    void SetUp() override {
        net = testing_support::ReadNetworkText(kNetwork);
        AddChangeListener(*net, &views);
    }
    void TearDown() override {
        RemoveChangeListener(*net, &views);
        net.reset();
    }

    std::unique_ptr<Network> net;
    Recorder views;
};

TEST_F(ChangeTest, AGroupAppliesWholeBeforeTheViewsAreToldAndUndoTakesItBackNewestFirst) {
    ASSERT_TRUE(committed(renameStep("pronoun", "name")));
    EXPECT_STREQ(first(entity("auxiliary"), ToSlot)->name, "auxiliary\x7fr subject\x7fr name")
        << "a property shows its ends' present names";
    const std::string before = testing_support::NetworkAsText(*net);
    Node* modal = entity("modal");
    bool appliedWhenTold = false;
    views.onTold = [&] {
        appliedWhenTold = !entity("modal") && positionOf(entity("word"), ChildSlot, modal) < 0;
    };
    ASSERT_TRUE(deleteStep(modal));
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, entity("word"), ChildSlot, entity("noun"), {}, 0));
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, relation("dependent"), ChildSlot,
                         relation("object"), nullptr, 1));
    ASSERT_TRUE(CommitEdit(*net));
    EXPECT_TRUE(appliedWhenTold);
    EXPECT_EQ(views.groups.back(), (std::vector<int>{2, 21, 21}));
    EXPECT_EQ(groupCount(changes(*net).history), 2);

    views.onTold = nullptr;
    ASSERT_TRUE(UndoLastEdit(*net));
    EXPECT_EQ(views.groups.back(), (std::vector<int>{20, 20, 5}));
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    EXPECT_EQ(groupCount(changes(*net).undo), 1) << "the rename is still to be undone";
    EXPECT_EQ(groupCount(changes(*net).history), 1);
}

TEST_F(ChangeTest, AFailingRecordStopsItsGroupAndARefusedEditIsTakenBack) {
    const std::string before = testing_support::NetworkAsText(*net);
    Node* word = entity("word");
    Node* pronoun = entity("pronoun");
    // Applied straight: the record before the failing one stays, the one after never runs.
    changes(*net).editingOptions = 0;
    ASSERT_TRUE(linkStep(ChangeType::AddLink, word, ChildSlot, pronoun));
    ASSERT_TRUE(failingStep());
    ASSERT_TRUE(linkStep(ChangeType::AddLink, entity("noun"), ChildSlot, entity("verb")));
    EXPECT_FALSE(ApplyGroupToNetwork(*net, changes(*net).pending));
    EXPECT_EQ(positionOf(word, ChildSlot, pronoun), 3);
    EXPECT_EQ(positionOf(entity("noun"), ChildSlot, entity("verb")), -1);
    AbandonEdit(*net);
    unlink(word, ChildSlot, pronoun);

    // Committed with undo: what applied is taken back with the edit's own inverses.
    changes(*net).editingOptions = kKeepUndo | kKeepHistory;
    ASSERT_TRUE(linkStep(ChangeType::AddLink, word, ChildSlot, pronoun));
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, word, ChildSlot, entity("auxiliary")));
    EXPECT_FALSE(CommitEdit(*net));
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    EXPECT_TRUE(views.groups.empty());
    EXPECT_EQ(changes(*net).undo, nullptr);
    EXPECT_EQ(changes(*net).history, nullptr);

    // Without undo nothing takes it back: the network changed, so it is history, and the
    // views hear of the part that applied.
    changes(*net).editingOptions = kKeepHistory;
    ASSERT_TRUE(linkStep(ChangeType::AddLink, word, ChildSlot, pronoun));
    ASSERT_TRUE(failingStep());
    ASSERT_TRUE(linkStep(ChangeType::AddLink, entity("noun"), ChildSlot, entity("verb")));
    EXPECT_FALSE(CommitEdit(*net));
    EXPECT_GE(positionOf(word, ChildSlot, pronoun), 0);
    EXPECT_EQ(groupCount(changes(*net).history), 1);
    ASSERT_EQ(views.groups.size(), 1u);
    EXPECT_EQ(views.groups.back(), (std::vector<int>{ChangeType::AddLink}));
    unlink(word, ChildSlot, pronoun);

    // An undo refused half way: the restore of verb applies, that of modal (its name taken
    // meanwhile) does not. The views are told of the restore that applied, alone.
    changes(*net).editingOptions = kKeepUndo | kKeepHistory;
    ASSERT_TRUE(deleteStep(entity("modal")));
    ASSERT_TRUE(deleteStep(entity("verb")));
    ASSERT_TRUE(CommitEdit(*net));
    views.groups.clear();
    Node* taken = new Node;
    taken->setName("modal", 1);
    ASSERT_EQ(net->add(taken), 1);
    EXPECT_FALSE(UndoLastEdit(*net));
    ASSERT_NE(entity("verb"), nullptr);
    EXPECT_EQ(entity("modal"), taken);
    ASSERT_EQ(views.groups.size(), 1u);
    EXPECT_EQ(views.groups.back(), (std::vector<int>{ChangeType::Restore}));
}

TEST_F(ChangeTest, EveryTypeRoundTripsWithItsInverse) {
    const int relationKind = ChangeFlags::RelationKind;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"insert a child",
         [this] { return insertStep(entity("noun"), "proper", ChildSlot, {}, 0); }},
        {"insert by a new relation",
         [this] { return insertStep(entity("verb"), "clause", ToSlot, "comp"); }},
        // The inverse names the relation too, but other properties keep it alive.
        {"insert by a relation that stays",
         [this] { return insertStep(entity("verb"), "clause", FromSlot, "subject", 0); }},
        {"delete a node with links and properties", [this] { return deleteStep(entity("verb")); }},
        {"delete a relation with properties",
         [=, this] { return deleteStep(relation("subject"), relationKind); }},
        {"rename a relation",
         [=, this] { return renameStep("object", "complement", relationKind); }},
        {"add an isa link",
         [this] {
             return linkStep(ChangeType::AddLink, entity("word"), ChildSlot, entity("pronoun"), {},
                             1);
         }},
        {"remove an isa link",
         [this] {
             return linkStep(ChangeType::RemoveLink, entity("word"), ChildSlot, entity("verb"), {},
                             1);
         }},
        {"add a property link",
         [this] {
             return linkStep(ChangeType::AddLink, entity("modal"), ToSlot, entity("noun"), "object",
                             0);
         }},
        {"remove a property link",
         [this] {
             return linkStep(ChangeType::RemoveLink, entity("auxiliary"), ToSlot, entity("pronoun"),
                             "subject", 0);
         }},
        {"reorder",
         [this] {
             Node* word = entity("word");
             OwnedList order = CopyList(word->slotList(ChildSlot));
             order->insertAtIndex(order->removeAtIndex(0), -1);
             return RecordChange(*net, ReorderStep{word, std::move(order)},
                                 ReorderStep{word, CopyList(word->slotList(ChildSlot))}, ChildSlot,
                                 -1);
         }},
    };
    const std::string before = testing_support::NetworkAsText(*net);
    const int nodes = testing_support::NetworkNodeCount(*net);
    for (const auto& [what, step] : cases) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(committed(step()));
        EXPECT_NE(testing_support::NetworkAsText(*net), before);
        ASSERT_TRUE(UndoLastEdit(*net));
        EXPECT_EQ(testing_support::NetworkAsText(*net), before);
        EXPECT_EQ(testing_support::NetworkNodeCount(*net), nodes)
            << "nothing left behind in the table";
        EXPECT_EQ(changes(*net).undo, nullptr);
        EXPECT_EQ(changes(*net).history, nullptr);
    }
    // A drag mark is for the views alone.
    ASSERT_TRUE(committed(markStep(entity("word"))));
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    EXPECT_EQ(views.groups.back(), (std::vector<int>{32}));
}

TEST_F(ChangeTest, RefusedRecordsLeaveTheNetworkWhole) {
    const std::string before = testing_support::NetworkAsText(*net);
    const int nodes = testing_support::NetworkNodeCount(*net);
    Node* noun = entity("noun");
    Node* word = entity("word");
    // A rename onto a taken name keeps the node, under its name, in the table.
    EXPECT_FALSE(committed(renameStep("noun", "verb")));
    EXPECT_EQ(entity("noun"), noun);
    // An insert under a taken name, a removal by a relation that is not there (none is made),
    // a reorder that drops a neighbour, a link that is there on one side only.
    EXPECT_FALSE(committed(insertStep(word, "noun", ChildSlot)));
    EXPECT_FALSE(
        committed(linkStep(ChangeType::RemoveLink, entity("verb"), ToSlot, noun, "agent")));
    OwnedList fewer = CopyList(word->slotList(ChildSlot));
    fewer->removeAtIndex(0);
    EXPECT_FALSE(committed(
        RecordChange(*net, ReorderStep{word, std::move(fewer)}, std::nullopt, ChildSlot, -1)));
    removeLink(word, ChildSlot, noun);
    EXPECT_FALSE(committed(linkStep(ChangeType::RemoveLink, noun, ParentSlot, word)));
    insertLink(word, ChildSlot, noun, 0, 0);
    EXPECT_EQ(positionOf(noun, ParentSlot, word), 0) << "the half link was left alone";
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), nodes);
    EXPECT_EQ(relation("agent"), nullptr);
    EXPECT_TRUE(views.groups.empty());
    EXPECT_EQ(changes(*net).undo, nullptr);

    EXPECT_TRUE(committed(renameStep("noun", "noun"))) << "its own name is no conflict";
    EXPECT_EQ(entity("noun"), noun);
    // Removing a relation takes its properties out of the table and off their ends.
    ASSERT_TRUE(committed(
        RecordChange(*net, RemoveRelationStep{CopyText("subject"), nullptr}, std::nullopt, 0, -1)));
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), nodes - 3);
    EXPECT_EQ(entity("verb")->counts[ToSlot], 1);
    EXPECT_TRUE(entity("pronoun")->slotList(FromSlot).isEmpty());
}

TEST_F(ChangeTest, EditsStayApartOnTheUndoStack) {
    const std::string before = testing_support::NetworkAsText(*net);
    ASSERT_TRUE(
        committed(linkStep(ChangeType::AddLink, entity("word"), ChildSlot, entity("pronoun"))));
    const std::string afterFirst = testing_support::NetworkAsText(*net);
    // An edit whose first step has no inverse still closes its own group.
    ASSERT_TRUE(markStep(entity("noun")));
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, entity("noun"), ChildSlot, entity("pronoun")));
    EXPECT_FALSE(UndoLastEdit(*net)) << "the pending edit's inverses head the stack";
    ASSERT_TRUE(CommitEdit(*net));
    ASSERT_TRUE(UndoLastEdit(*net));
    EXPECT_EQ(testing_support::NetworkAsText(*net), afterFirst);
    ASSERT_TRUE(UndoLastEdit(*net));
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);

    // An edit given up leaves neither records nor a changed network.
    ASSERT_TRUE(deleteStep(entity("verb")));
    AbandonEdit(*net);
    EXPECT_EQ(changes(*net).pending, nullptr);
    EXPECT_EQ(changes(*net).undo, nullptr);
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);

    // A restore refused because the name was taken meanwhile: the node stays out, and goes
    // with its undo record.
    ASSERT_TRUE(committed(deleteStep(entity("modal"))));
    Node* taken = new Node;
    taken->setName("modal", 1);
    ASSERT_EQ(net->add(taken), 1);
    EXPECT_FALSE(UndoLastEdit(*net));
    EXPECT_EQ(entity("modal"), taken);
    EXPECT_EQ(changes(*net).history, nullptr);
}

TEST_F(ChangeTest, ListenersMayLeaveWhileOthersAreToldAndOptionsChooseWhatIsKept) {
    Recorder later;
    AddChangeListener(*net, &later);
    AddChangeListener(*net, &later);
    views.onTold = [&] {
        RemoveChangeListener(*net, &later);
        RemoveChangeListener(*net, &views);
    };
    ASSERT_TRUE(committed(markStep(entity("word"))));
    ASSERT_TRUE(committed(markStep(entity("word"))));
    EXPECT_EQ(views.groups.size(), 1u);
    EXPECT_TRUE(later.groups.empty());

    const int kept = groupCount(changes(*net).history);
    changes(*net).editingOptions = 0;
    ASSERT_TRUE(committed(renameStep("noun", "name")));
    EXPECT_EQ(changes(*net).undo, nullptr);
    EXPECT_EQ(groupCount(changes(*net).history), kept);
    // A deleted node held by the undo stack goes at release with its properties: the leak
    // checker sees to that.
    changes(*net).editingOptions = kKeepUndo;
    ASSERT_TRUE(committed(deleteStep(entity("verb"))));
    EXPECT_EQ(groupCount(changes(*net).history), kept);
    ReleaseChanges(*net);
    EXPECT_EQ(changes(*net).undo, nullptr);
}

// The writer walks the table bucket by bucket, so Undo must put every node it took out back at
// its place in its bucket: after a delete (with the node's properties), a rename and a removed
// property link, for every node of a generated network. A refused edit is taken back alike.
TEST_F(ChangeTest, UndoPutsEveryNodeBackAtItsPlaceInTheTable) {
    tools::GeneratorOptions options;
    options.entities = 40;
    options.relations = 4;
    options.properties = 20;
    options.formatted = false;
    const std::string text = tools::GenerateNetwork(options);
    RemoveChangeListener(*net, &views);
    net = testing_support::ReadNetworkText(text);
    AddChangeListener(*net, &views);
    // The file and the keys in table order, which the file shows only in part.
    auto state = [this] {
        std::string keys = testing_support::NetworkAsText(*net);
        net->table()->forEach(
            [](void* context, NodeBase* n) {
                *static_cast<std::string*>(context) += std::string(asNode(n)->keyText()) + "\n";
                return 0;
            },
            &keys);
        return keys;
    };
    auto undone = [&](bool recorded) {
        const std::string was = state();
        return committed(recorded) && UndoLastEdit(*net) && state() == was;
    };
    for (int kind : {0, 1}) {
        NodeList* nodes = net->nodesOfKind(kind);
        const int flags = kind ? ChangeFlags::RelationKind : 0;
        forEachNode(nodes, [&](NodeBase* x) {
            Node* n = asNode(x);
            const std::string name = n->name;
            SCOPED_TRACE(name);
            EXPECT_TRUE(undone(deleteStep(n, flags))) << "delete";
            EXPECT_TRUE(undone(renameStep(name.c_str(), "renamed", flags))) << "rename";
            std::vector<Node*> properties;
            forEachNode(n->slotList(ToSlot), [&](NodeBase* p) { properties.push_back(asNode(p)); });
            for (Node* p : properties)
                EXPECT_TRUE(
                    undone(linkStep(ChangeType::RemoveLink, n, ToSlot, asNode(first(p, ToSlot)),
                                    first(p, ParentSlot)->name, positionOf(n, ToSlot, p))))
                    << "property link";
        });
        nodes->destroy();
    }
    const std::string before = state();
    ASSERT_TRUE(deleteStep(entity("morpheme4")));
    ASSERT_TRUE(renameStep("proper40", "renamed"));
    ASSERT_TRUE(failingStep());
    EXPECT_FALSE(CommitEdit(*net));
    EXPECT_EQ(state(), before);
}

// Every node's neighbours, slot by slot in list order.
std::string linkLists(Network& net) {
    std::string lists;
    net.table()->forEach(
        [](void* context, NodeBase* n) {
            std::string& out = *static_cast<std::string*>(context);
            out += std::string(n->name) + ":";
            for (int slot = 0; slot < n->linkSlotCount; ++slot) {
                forEachNode(n->slotList(slot),
                            [&](NodeBase* x) { out += " " + std::string(x->name); });
                out += " |";
            }
            out += "\n";
            return 0;
        },
        &lists);
    return lists;
}

TEST_F(ChangeTest, UndoPutsARemovedLinkBackAtItsPlaceInBothLists) {
    RemoveChangeListener(*net, &views);
    net = testing_support::ReadNetworkText(kMiddleLinks);
    AddChangeListener(*net, &views);
    Node* x = entity("x");
    Node* q = entity("q");
    Node* r = entity("r");
    const std::string lists = linkLists(*net);
    const std::string file = testing_support::NetworkAsText(*net);
    struct Removal {
        const char* what;
        Node* first;
        int slot;
        Node* second;
        int position;
    };
    const Removal removals[] = {
        {"from the parent's side", q, ChildSlot, x, 1},
        {"from the child's side", x, ParentSlot, q, 1},
        {"at a position that does not hold the link", r, ChildSlot, x, 0},
        {"at no position", x, ParentSlot, r, -1},
    };
    for (const Removal& c : removals) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(committed(
            linkStep(ChangeType::RemoveLink, c.first, c.slot, c.second, nullptr, c.position)));
        EXPECT_LT(positionOf(c.first, c.slot, c.second), 0);
        ASSERT_TRUE(UndoLastEdit(*net));
        EXPECT_EQ(linkLists(*net), lists);
        EXPECT_EQ(testing_support::NetworkAsText(*net), file);
    }

    // Several removals, each an edit of its own, undone newest first: each undo gives back the
    // network as it was before that edit.
    std::vector<std::string> states;
    for (const Removal& c : removals) {
        if (positionOf(c.first, c.slot, c.second) < 0)
            continue;
        states.push_back(linkLists(*net));
        ASSERT_TRUE(committed(
            linkStep(ChangeType::RemoveLink, c.first, c.slot, c.second, nullptr, c.position)));
    }
    states.push_back(linkLists(*net));
    ASSERT_TRUE(committed(linkStep(ChangeType::RemoveLink, x, ChildSlot, entity("w"), nullptr, 0)));
    // A node deleted in the middle of its neighbours' lists comes back there too.
    states.push_back(linkLists(*net));
    ASSERT_TRUE(committed(deleteStep(x)));
    for (auto state = states.rbegin(); state != states.rend(); ++state) {
        ASSERT_TRUE(UndoLastEdit(*net));
        EXPECT_EQ(linkLists(*net), *state);
    }
    EXPECT_EQ(testing_support::NetworkAsText(*net), file);

    // The same removals as one edit, undone at once.
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, q, ChildSlot, x, nullptr, 1));
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, x, ParentSlot, r, nullptr, 1));
    ASSERT_TRUE(linkStep(ChangeType::RemoveLink, entity("p"), ChildSlot, x, nullptr, 0));
    ASSERT_TRUE(CommitEdit(*net));
    EXPECT_TRUE(x->slotList(ParentSlot).isEmpty());
    ASSERT_TRUE(UndoLastEdit(*net));
    EXPECT_EQ(linkLists(*net), lists);
    EXPECT_EQ(testing_support::NetworkAsText(*net), file);
}

} // namespace
} // namespace tarvo
