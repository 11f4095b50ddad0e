// Link slot storage: the single and list forms, the moves between them, and that readers see
// the order and the blocks of 64 a plain list of the same nodes has.
#include "containers/node_slot.h"
#include "model/node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tarvo {
namespace {

using Nodes = std::vector<NodeBase*>;

class NodeSlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 200; ++i)
            pool.push_back(new Node);
    }
    void TearDown() override {
        slotClear(slot);
        for (NodeBase* node : pool)
            node->destroy();
    }

    // What every reader sees, checked against each other: indexing, the visit and the cursor.
    static Nodes read(NodeSlot s) {
        Nodes byIndex;
        for (int i = 0; i < s.size(); ++i)
            byIndex.push_back(s.nodeAt(i));
        Nodes visited;
        forEachNode(s, [&visited](NodeBase* node) { visited.push_back(node); });
        Nodes cursored;
        SlotCursor cursor(s);
        while (NodeBase* node = cursor.next())
            cursored.push_back(node);
        EXPECT_EQ(byIndex, visited);
        EXPECT_EQ(byIndex, cursored);
        EXPECT_EQ(s.nodeAt(s.size()), nullptr);
        EXPECT_EQ(s.nodeAt(-1), nullptr);
        return byIndex;
    }

    // One node is held directly, none means an empty word, from two on there is a list.
    static void expectForm(NodeSlot s) {
        const int size = s.size();
        EXPECT_EQ(s.isEmpty(), size == 0);
        EXPECT_EQ(s.single() != nullptr, size == 1);
        EXPECT_EQ(s.list() != nullptr, size >= 2);
    }

    Nodes pool;
    NodeSlot slot;
};

TEST_F(NodeSlotTest, OneNodeGrowsToAListAndShrinksBack) {
    NodeBase* a = pool[0];
    NodeBase* b = pool[1];
    NodeBase* c = pool[2];
    EXPECT_EQ(slotRemoveAt(slot, -1), nullptr) << "nothing to remove";
    ASSERT_EQ(slotAppend(slot, a), 1);
    expectForm(slot);
    EXPECT_EQ(slot.first(), a);
    ASSERT_EQ(slotInsertAt(slot, b, 0), 1) << "before the single node";
    expectForm(slot);
    EXPECT_EQ(read(slot), (Nodes{b, a}));
    ASSERT_EQ(slotInsertAt(slot, c, 1), 1);
    EXPECT_EQ(read(slot), (Nodes{b, c, a}));
    EXPECT_EQ(slotRemoveAt(slot, 0), b);
    EXPECT_EQ(slotRemove(slot, a), 1);
    expectForm(slot);
    EXPECT_EQ(slot.single(), c) << "the last node left goes back to the single form";
    EXPECT_EQ(slotRemove(slot, a), 0);
    EXPECT_EQ(slotRemoveAt(slot, 7), c) << "out of range removes the last";
    expectForm(slot);

    // A single node with an insertion anywhere but 0 takes it after itself.
    slotAppend(slot, a);
    slotInsertAt(slot, b, 5);
    EXPECT_EQ(read(slot), (Nodes{a, b}));
    slotRemoveAt(slot, 1);
    slotInsertAt(slot, b, -1);
    EXPECT_EQ(read(slot), (Nodes{a, b}));
}

TEST_F(NodeSlotTest, UniqueMoveAndReplaceInEveryForm) {
    NodeBase* a = pool[0];
    NodeBase* b = pool[1];
    NodeBase* c = pool[2];
    EXPECT_EQ(slotMoveOrInsert(slot, a, 3), 1) << "an empty slot takes the node";
    EXPECT_EQ(slotMoveOrInsert(slot, a, 0), 0) << "a single node stays where it is";
    EXPECT_EQ(slotAddUnique(slot, a), 0);
    EXPECT_EQ(slot.single(), a);
    EXPECT_EQ(slotAddUnique(slot, b), 1);
    EXPECT_EQ(slotMoveOrInsert(slot, c, 0), 1);
    EXPECT_EQ(read(slot), (Nodes{c, a, b}));
    EXPECT_EQ(slotMoveOrInsert(slot, c, -1), 0);
    EXPECT_EQ(read(slot), (Nodes{a, b, c}));

    EXPECT_TRUE(slotReplaceNode(slot, b, a));
    EXPECT_EQ(read(slot), (Nodes{a, a, c}));
    EXPECT_TRUE(slotReplaceAt(slot, 1, b));
    EXPECT_FALSE(slotReplaceAt(slot, 3, b));
    EXPECT_FALSE(slotReplaceNode(slot, pool[9], b));
    EXPECT_EQ(read(slot), (Nodes{a, b, c}));
    slotRemove(slot, a);
    slotRemove(slot, b);
    EXPECT_TRUE(slotReplaceNode(slot, c, a));
    EXPECT_FALSE(slotReplaceAt(slot, 1, b));
    EXPECT_EQ(slot.single(), a);
}

TEST_F(NodeSlotTest, AdoptingAndCopyingListsOfEverySize) {
    for (const int size : {0, 1, 2, 70}) {
        SCOPED_TRACE(size);
        NodeList* list = nullptr;
        for (int i = 0; i < size; ++i)
            listAppend(list, pool[static_cast<std::size_t>(i)]);
        slotAppend(slot, pool[199]);
        slotAppend(slot, pool[198]);
        slotAdopt(slot, list);
        expectForm(slot);
        const Nodes held = read(slot);
        EXPECT_EQ(held, Nodes(pool.begin(), pool.begin() + size));

        NodeList* copy = slotToList(slot);
        EXPECT_EQ(listSize(copy), size);
        slotClear(slot);
        Nodes copied;
        forEachNode(copy, [&copied](NodeBase* node) { copied.push_back(node); });
        EXPECT_EQ(copied, held) << "the copy outlives the slot";
        if (copy)
            copy->destroy();
    }
    // Adopting the slot's own list keeps it.
    slotAppend(slot, pool[0]);
    slotAppend(slot, pool[1]);
    slotAdopt(slot, slot.list());
    EXPECT_EQ(read(slot), (Nodes{pool[0], pool[1]}));
}

int pick(std::mt19937& random, int below) {
    return static_cast<int>(random() % static_cast<unsigned>(below));
}

// Random insertions, removals and moves, in the slot and in a plain list side by side: the same
// nodes in the same order throughout, and from two nodes on the same blocks, so that every
// block-relative position (block start, place in block) is what the plain list gives.
TEST_F(NodeSlotTest, RandomEditsKeepTheOrderAndBlocksOfAPlainList) {
    std::mt19937 random(21);
    NodeList* plain = nullptr;
    Nodes model;
    std::size_t largest = 0;
    std::size_t smallestSince = 0;
    for (int step = 0; step < 4000; ++step) {
        const int size = static_cast<int>(model.size());
        const int choice = pick(random, 10);
        NodeBase* node = pool[static_cast<std::size_t>(pick(random, 200))];
        const int position = size ? pick(random, size + 2) - 1 : -1;
        // Growing more often while small, so that the slot crosses 1, 2, 64 and 128 both ways.
        const bool grow = size < 2 || (size < 150 && choice < 6 - step / 1000);
        if (grow) {
            ASSERT_EQ(slotInsertAt(slot, node, position), 1);
            if (!plain)
                listAppend(plain, node);
            else
                plain->insertAtIndex(node, position);
            const bool atEnd = position < 0 || position >= size;
            model.insert(atEnd ? model.end() : model.begin() + position, node);
        } else if (choice == 9) {
            const int moved = slotMoveOrInsert(slot, node, position);
            const int inPlain = listMoveOrInsert(plain, node, position);
            ASSERT_EQ(moved, inPlain);
            auto at = std::find(model.begin(), model.end(), node);
            if (at == model.end()) {
                const bool atEnd = position < 0 || position >= size;
                model.insert(atEnd ? model.end() : model.begin() + position, node);
            } else {
                model.erase(at);
                const int last = static_cast<int>(model.size());
                model.insert(
                    position < 0 || position > last ? model.end() : model.begin() + position, node);
            }
        } else {
            const int at = position < 0 || position >= size ? size - 1 : position;
            ASSERT_EQ(slotRemoveAt(slot, position), model[static_cast<std::size_t>(at)]);
            plain->removeAtIndex(position);
            model.erase(model.begin() + at);
            if (model.empty()) {
                plain->destroy();
                plain = nullptr;
            }
        }
        if (model.size() > largest)
            largest = smallestSince = model.size();
        smallestSince = std::min(smallestSince, model.size());
        ASSERT_EQ(read(slot), model) << "step " << step;
        expectForm(slot);
        if (slot.list()) {
            ASSERT_TRUE(slot.list()->equals(plain)) << "step " << step;
        }
        for (NodeBase* probe : {node, pool[0]}) {
            const auto found = std::find(model.begin(), model.end(), probe);
            ASSERT_EQ(slot.indexOf(probe),
                      found == model.end() ? -1 : static_cast<int>(found - model.begin()));
        }
    }
    EXPECT_GT(largest, 128u) << "the edits reach a third block";
    EXPECT_LE(smallestSince, 1u) << "and come back to the single form";
    if (plain)
        plain->destroy();
}

} // namespace
} // namespace tarvo
