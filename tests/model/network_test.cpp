// Nodes, links and the network: identity, counters, properties, detach and restore, and
// lineages.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "model/links.h"
#include "model/network.h"

#include "labels/label_markup.h"
#include "labels/node_order.h"
#include "memory/size_class_heap.h"

#include "support/slot_nodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(net.table(), nullptr); }

    Network net;
    // A node of the network, made when absent.
    Node* entity(const char* name) { return named(new Node, name, 0); }
    Node* relation(const char* name) { return named(new Relation, name, 1); }
    Node* named(Node* node, const char* name, int kind) {
        node->setName(name, 1);
        if (!net.add(node)) {
            node->destroy();
            return net.find(name, kind);
        }
        return node;
    }
    Property* property(Node* r, Node* a, Node* b, int reversed = 0, int position = -1) {
        auto* p = new Property(r, a, b, reversed, position, net.labelIds());
        EXPECT_EQ(net.add(p), 1) << "every property is a node of its own";
        return p;
    }
};

using testing_support::slotOf;

TEST_F(NetworkTest, EntitiesAndRelationsOfOneNameAreDistinct) {
    Node* x = entity("x");
    Node* rx = relation("x");
    EXPECT_NE(x, rx);
    EXPECT_EQ(net.find("x", 0), x);
    EXPECT_EQ(net.find("x", 1), rx);
    EXPECT_EQ(net.find("y", 0), nullptr);
    EXPECT_EQ(entity("x"), x) << "the present node is found again, not made twice";

    const std::string bold = std::string("x") + kLabelEscape + "b";
    Node* formatted = entity(bold.c_str());
    EXPECT_NE(formatted, x) << "markup takes part in identity";
    EXPECT_EQ(net.take("x", 0), x);
    EXPECT_EQ(net.find("x", 0), nullptr);
    x->destroy();
}

TEST_F(NetworkTest, PropertiesAreDistinctAndNamedFromTheirEnds) {
    Node* cat = entity("cat");
    Node* eats = relation("eats");
    Node* fish = entity("fish");
    net.labelIds().setNext(0x1e);
    Property* p1 = property(eats, cat, fish);
    Property* p2 = property(eats, cat, fish);
    EXPECT_STREQ(p1->key, "eats \x7f*1e");
    EXPECT_STREQ(p2->key, "eats \x7f*1f");
    EXPECT_STREQ(p1->keyText(), p1->key);
    EXPECT_STREQ(p1->name, "cat\x7fr eats\x7fr fish");
    EXPECT_TRUE(p1->isProperty());
    EXPECT_EQ(p1->shape, kPropertyShape);

    Node* nameless = new Node;
    ASSERT_EQ(net.add(nameless), 1);
    Property* p3 = property(eats, nameless, fish);
    EXPECT_STREQ(p3->name, "\xa4\x7fr eats\x7fr fish") << "an anonymous end shows as 0xA4";
    EXPECT_EQ(slotOf(eats, ChildSlot), (std::vector<const NodeBase*>{p1, p2, p3}));
}

TEST_F(NetworkTest, PropertyPositionAndDirection) {
    Node* r = relation("r");
    Node* a = entity("a");
    Node* b = entity("b");
    Property* before = property(r, a, b);
    Property* front = property(r, a, b, 0, 0);
    EXPECT_EQ(slotOf(a, ToSlot), (std::vector<const NodeBase*>{front, before}));
    EXPECT_EQ(slotOf(b, FromSlot), (std::vector<const NodeBase*>{before, front}));

    Property* reversed = property(r, a, b, 1, 0);
    EXPECT_EQ(slotOf(a, FromSlot), (std::vector<const NodeBase*>{reversed}));
    EXPECT_EQ(first(reversed, FromSlot), b) << "reversed: B is the from-end";
    EXPECT_EQ(first(reversed, ToSlot), a);
}

TEST_F(NetworkTest, CountersFollowTheLists) {
    Node* a = entity("a");
    Node* b = entity("b");
    Node* c = entity("c");
    link(a, ChildSlot, b);
    link(a, ChildSlot, b);
    EXPECT_EQ(a->counts[ChildSlot], 2);
    EXPECT_EQ(b->counts[ParentSlot], 2);
    EXPECT_EQ(slotOf(b, ParentSlot), (std::vector<const NodeBase*>{a, a}));

    addChild(a, c);
    insertLink(a, ChildSlot, c, 0, 1);
    EXPECT_EQ(slotOf(a, ChildSlot), (std::vector<const NodeBase*>{c, b, b}));
    EXPECT_EQ(a->counts[ChildSlot], 3) << "a move keeps the counter";
    insertLink(a, ChildSlot, c, 0, 0);
    EXPECT_EQ(a->counts[ChildSlot], 4) << "without moving, a duplicate is inserted";
    moveLink(a, ChildSlot, 0, -1);
    EXPECT_EQ(slotOf(a, ChildSlot), (std::vector<const NodeBase*>{c, b, b, c}));
    EXPECT_EQ(a->counts[ChildSlot], 4);
    EXPECT_EQ(positionOf(a, ChildSlot, b), 1);
    EXPECT_TRUE(replaceLinkNode(a, ChildSlot, b, a));
    EXPECT_EQ(slotOf(a, ChildSlot), (std::vector<const NodeBase*>{c, a, b, c}));
    EXPECT_TRUE(replaceLinkNode(a, ChildSlot, a, b));
    EXPECT_FALSE(replaceLinkNode(a, ChildSlot, a, b)) << "no a left to replace";

    EXPECT_EQ(unlink(b, ParentSlot, c), 0) << "no link, nothing touched";
    EXPECT_EQ(removeLink(a, ChildSlot, a), nullptr);
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(removeLinkAt(a, ChildSlot, -1), nullptr);
    EXPECT_TRUE(a->slots[ChildSlot].isEmpty()) << "the last removal empties the slot";
    EXPECT_EQ(a->counts[ChildSlot], 0);
    EXPECT_EQ(first(a, ChildSlot), nullptr);
    EXPECT_EQ(removeLinkAt(a, ChildSlot, 0), nullptr);

    EXPECT_EQ(replaceSlot(c, ParentSlot, nullptr), 0);
    EXPECT_TRUE(c->slots[ParentSlot].isEmpty());
}

TEST_F(NetworkTest, DetachAndRestorePutEveryBackLinkWhereItWas) {
    Node* word = entity("word");
    Node* noun = entity("noun");
    Node* verb = entity("verb");
    Node* other = entity("other");
    Node* subject = relation("subject");
    Node* dependent = relation("dependent");
    addChild(dependent, subject);
    addChild(other, noun);
    addChild(word, verb);
    addChild(word, noun);
    addChild(word, other);
    Property* p = property(subject, verb, noun);
    Property* q = property(subject, other, noun);
    Property* r = property(subject, noun, verb, 0, 0);

    auto snapshot = [&] {
        std::vector<std::vector<const NodeBase*>> all;
        for (const Node* n :
             {word, noun, verb, other, subject, dependent, asNode(p), asNode(q), asNode(r)})
            for (int slot = 0; slot < kLinkSlotCount; ++slot)
                all.push_back(slotOf(n, slot));
        return all;
    };
    EXPECT_EQ(recordPositions(entity("lonely")), nullptr);

    for (Node* deleted : {noun, subject}) {
        SCOPED_TRACE(deleted->name);
        const auto before = snapshot();
        int count = 0;
        std::int32_t* positions = recordPositions(deleted, &count);
        ASSERT_NE(positions, nullptr);
        detachNode(deleted);
        EXPECT_NE(snapshot(), before);
        if (deleted == noun) {
            EXPECT_EQ(slotOf(word, ChildSlot), (std::vector<const NodeBase*>{verb, other}));
            EXPECT_EQ(slotOf(subject, ChildSlot), (std::vector<const NodeBase*>{}))
                << "the properties on the deleted node leave their relation";
            EXPECT_EQ(slotOf(noun, ParentSlot), (std::vector<const NodeBase*>{other, word}))
                << "the deleted node keeps its own lists";
        }
        restorePositions(deleted, positions);
        Release(positions);
        EXPECT_EQ(snapshot(), before);
    }
}

// The back links of a deleted node sit in slots of every form: the only node of a slot, one of
// two in an array, the last of a full array of 64, the 65th that made a list, and deep in a
// second block of 64. Each goes back to its place and its slot to the form it had.
TEST_F(NetworkTest, DetachAndRestoreAcrossEverySlotForm) {
    Node* hub = entity("hub");
    Node* alone = entity("alone");
    Node* pair = entity("pair");
    Node* full = entity("full");
    Node* overflowing = entity("overflowing");
    Node* crowd = entity("crowd");
    addChild(alone, hub);
    addChild(pair, entity("first"));
    addChild(pair, hub);
    for (int i = 0; i < 64; ++i) {
        addChild(full, i == 63 ? hub : entity(("f" + std::to_string(i)).c_str()));
        addChild(overflowing, entity(("o" + std::to_string(i)).c_str()));
    }
    addChild(overflowing, hub);
    for (int i = 0; i < 100; ++i) {
        if (i == 70)
            addChild(crowd, hub);
        addChild(crowd, entity(("c" + std::to_string(i)).c_str()));
    }
    addChild(hub, entity("below"));
    const auto before = [&] {
        return std::vector<std::vector<const NodeBase*>>{
            slotOf(alone, ChildSlot), slotOf(pair, ChildSlot),
            slotOf(full, ChildSlot),  slotOf(overflowing, ChildSlot),
            slotOf(crowd, ChildSlot), slotOf(entity("below"), ParentSlot)};
    };
    const auto kept = before();
    ASSERT_EQ(positionOf(crowd, ChildSlot, hub), 70);
    std::int32_t* positions = recordPositions(hub);
    ASSERT_NE(positions, nullptr);
    detachNode(hub);
    EXPECT_TRUE(alone->slotList(ChildSlot).isEmpty());
    EXPECT_NE(pair->slotList(ChildSlot).single(), nullptr) << "one child left: no array";
    EXPECT_NE(full->slotList(ChildSlot).array(), nullptr);
    EXPECT_NE(overflowing->slotList(ChildSlot).list(), nullptr) << "a list down to 64 stays a list";
    EXPECT_EQ(crowd->counts[ChildSlot], 100);
    EXPECT_TRUE(entity("below")->slotList(ParentSlot).isEmpty());
    restorePositions(hub, positions);
    Release(positions);
    EXPECT_EQ(before(), kept);
    EXPECT_EQ(crowd->counts[ChildSlot], 101);
    EXPECT_EQ(pair->counts[ChildSlot], 2);
    EXPECT_NE(pair->slotList(ChildSlot).array(), nullptr);
    EXPECT_NE(full->slotList(ChildSlot).array(), nullptr);
    EXPECT_EQ(full->counts[ChildSlot], 64);
    EXPECT_NE(overflowing->slotList(ChildSlot).list(), nullptr);
    EXPECT_EQ(overflowing->counts[ChildSlot], 65);
}

TEST_F(NetworkTest, LineagesAreMarkedOnceEvenAroundCycles) {
    Node* a = entity("a");
    Node* b = entity("b");
    Node* c = entity("c");
    Node* d = entity("d");
    addChild(a, b);
    addChild(b, c);
    addChild(a, c);
    addChild(c, a); // a cycle: a isa c and c isa a
    markLineage(b, 0, 1);
    for (Node* n : {a, b, c})
        EXPECT_TRUE(n->hasFlag(NodeFlags::DescendantMark)) << n->name;
    EXPECT_FALSE(d->hasFlag(NodeFlags::DescendantMark));
    markLineage(c, 1, 1);
    EXPECT_TRUE(b->hasFlag(NodeFlags::AncestorMark));
    markLineage(a, 0, 0);
    EXPECT_FALSE(c->hasFlag(NodeFlags::DescendantMark));
}

TEST_F(NetworkTest, NodesOfKindLeaveOutPropertiesAndSortByDistanceThenLabel) {
    Node* r = relation("r");
    Node* b = entity("b");
    Node* a = entity("A");
    Node* c = entity("c");
    property(r, a, b);
    b->flags |= NodeFlags::DescendantMark;
    NodeList* entities = net.nodesOfKind(0);
    ASSERT_NE(entities, nullptr);
    EXPECT_EQ(entities->size(), 3);
    EXPECT_EQ(b->flags, 0u);
    b->distance = 2;
    a->distance = c->distance = 1;
    entities->sort(byDistanceThenLabel);
    EXPECT_EQ((std::vector<const NodeBase*>{entities->nodeAt(0), entities->nodeAt(1),
                                            entities->nodeAt(2)}),
              (std::vector<const NodeBase*>{b, a, c}));
    entities->destroy();
    NodeList* relations = net.nodesOfKind(1);
    ASSERT_NE(relations, nullptr);
    EXPECT_EQ(relations->size(), 1) << "properties share the relations' kind bit but not the list";
    relations->destroy();
}

TEST_F(NetworkTest, PrintingAndFormattingKeys) {
    Node* cat = entity("cat");
    Node* eats = relation("eats");
    Node* fish = entity("two fish");
    property(eats, cat, fish);
    ::testing::internal::CaptureStdout();
    cat->print();
    std::fputs("|", stdout);
    eats->print();
    std::fputs("|", stdout);
    Node* nameless = new Node;
    nameless->print();
    nameless->destroy();
    EXPECT_EQ(
        ::testing::internal::GetCapturedStdout(),
        "cat ---- --<cat, eats, \"two fish\">--|eats <<cat, eats, \"two fish\">>|* ---- ----");

    const std::string italic = std::string("\x7fiAb\x7fi");
    Node* formatted = entity(italic.c_str());
    setFormattingKey(formatted, 2);
    EXPECT_EQ(formatted->distance, 1000) << "every letter italic";
    setFormattingKey(formatted, 1);
    EXPECT_EQ(formatted->distance, 500) << "one capital in two letters";
}

// A large network found through the table's index: renames done as the edits do them (out,
// new name, in again; undone back at the place it had) keep the save order and move the lookups
// with the node, entities and relations of one name stay apart, and a removed node's name finds
// nothing.
TEST_F(NetworkTest, LookupsInALargeNetworkFollowRenamesAndRemovals) {
    constexpr int kCount = 5000;
    std::vector<Node*> entities;
    std::vector<Node*> relations;
    for (int i = 0; i < kCount; ++i) {
        const std::string name = "n" + std::to_string(i);
        entities.push_back(entity(name.c_str()));
        relations.push_back(relation(name.c_str()));
    }
    auto order = [&] {
        std::vector<NodeBase*> nodes;
        net.table()->forEach(
            [](void* context, NodeBase* node) {
                static_cast<std::vector<NodeBase*>*>(context)->push_back(node);
                return 0;
            },
            &nodes);
        return nodes;
    };
    const std::vector<NodeBase*> before = order();
    ASSERT_EQ(before.size(), 2u * kCount);
    // Answers the place the node had; it goes in at `at` (-1: at the end of its new bucket).
    auto rename = [&](Node* node, const char* to, int at) {
        int place = -1;
        EXPECT_EQ(net.take(node->keyText(), node->relationKind(), &place), node);
        Release(node->name);
        node->setName(to, 1);
        EXPECT_EQ(net.addAt(node, at), 1);
        return place;
    };
    for (int i = 0; i < kCount; i += 7) {
        const std::string name = "n" + std::to_string(i);
        const std::string renamed = "renamed " + name;
        const int place = rename(entities[static_cast<std::size_t>(i)], renamed.c_str(), -1);
        EXPECT_EQ(net.find(name.c_str(), 0), nullptr);
        EXPECT_EQ(net.find(renamed.c_str(), 0), entities[static_cast<std::size_t>(i)]);
        EXPECT_EQ(net.find(name.c_str(), 1), relations[static_cast<std::size_t>(i)]);
        EXPECT_EQ(net.find(renamed.c_str(), 1), nullptr);
        // Undone as the edit history undoes it: back at the place it was taken from.
        rename(entities[static_cast<std::size_t>(i)], name.c_str(), place);
    }
    EXPECT_EQ(order(), before) << "renamed back, every node is where it was";
    for (int i = 0; i < kCount; i += 3) {
        const std::string name = "n" + std::to_string(i);
        Node* taken = net.take(name.c_str(), 1);
        ASSERT_EQ(taken, relations[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(net.holds(taken));
        EXPECT_EQ(net.find(name.c_str(), 1), nullptr);
        EXPECT_EQ(net.find(name.c_str(), 0), entities[static_cast<std::size_t>(i)]);
        taken->destroy();
    }
    for (int i = 0; i < kCount; ++i) {
        const std::string name = "n" + std::to_string(i);
        EXPECT_EQ(net.find(name.c_str(), 1),
                  i % 3 ? relations[static_cast<std::size_t>(i)] : nullptr);
        EXPECT_TRUE(net.holds(entities[static_cast<std::size_t>(i)]));
    }
}

} // namespace
} // namespace tarvo
