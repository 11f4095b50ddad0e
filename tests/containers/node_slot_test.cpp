// Link slot storage: the single, array and list forms, the moves between them, and that readers
// see the order and the blocks of 64 a plain list of the same nodes has.
#include "containers/node_slot.h"
#include "memory/size_class_heap.h"
#include "model/node.h"
#include "support/failing_allocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
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

    // One node is held directly, none means an empty word, from two to 64 there is an array
    // (with room for no more than four times its nodes), past 64 a list; a list shrinking back
    // stays one down to 33 nodes.
    static void expectForm(NodeSlot s) {
        const int size = s.size();
        EXPECT_EQ(s.isEmpty(), size == 0);
        EXPECT_EQ(s.single() != nullptr, size == 1);
        EXPECT_EQ(s.array() != nullptr || s.list() != nullptr, size >= 2);
        if (size > 64) {
            EXPECT_NE(s.list(), nullptr) << size;
        }
        if (size >= 2 && size <= 32) {
            EXPECT_NE(s.array(), nullptr) << size;
        }
        if (const SlotArray* array = s.array()) {
            EXPECT_GE(array->room, size);
            EXPECT_LE(array->room, std::max(2, 4 * size));
        }
    }

    // The block and the place in it of every node, as a caller counting block-relative
    // positions sees them: an array is the first block of a list.
    static std::vector<std::pair<int, int>> blockPlaces(NodeSlot s) {
        if (s.list())
            return blockPlaces(s.list());
        std::vector<std::pair<int, int>> places(static_cast<std::size_t>(s.size()));
        for (std::size_t i = 0; i < places.size(); ++i)
            places[i] = {0, static_cast<int>(i)};
        return places;
    }
    static std::vector<std::pair<int, int>> blockPlaces(const NodeList* list) {
        std::vector<std::pair<int, int>> places;
        int number = 0;
        for (const ChunkList* block = list; block; block = block->next, ++number)
            for (int i = 0; i < block->count; ++i)
                places.emplace_back(number, i);
        return places;
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
    for (const int size : {0, 1, 2, 40, 64, 65, 70}) {
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
    for (int i = 0; i < 70; ++i)
        slotAppend(slot, pool[static_cast<std::size_t>(i)]);
    slotAdopt(slot, slot.list());
    EXPECT_EQ(read(slot), Nodes(pool.begin(), pool.begin() + 70));
}

// Appending and inserting at the front, one node after another, against a plain vector: the
// array's room doubles 2, 4, ... 64, the 65th node makes a list, and removals bring the slot back
// through an array to one node.
TEST_F(NodeSlotTest, GrowthAcrossEveryFormAndBack) {
    for (const bool atFront : {false, true}) {
        SCOPED_TRACE(atFront);
        Nodes model;
        for (int size = 1; size <= 130; ++size) {
            NodeBase* node = pool[static_cast<std::size_t>(size)];
            ASSERT_EQ(slotInsertAt(slot, node, atFront ? 0 : -1), 1);
            model.insert(atFront ? model.begin() : model.end(), node);
            ASSERT_EQ(read(slot), model) << size;
            expectForm(slot);
            if (const SlotArray* array = slot.array()) {
                EXPECT_EQ(array->room,
                          static_cast<int>(std::bit_ceil(static_cast<unsigned>(size))));
            }
        }
        // From the middle, so that both neighbours of every removal move.
        while (!model.empty()) {
            const int middle = static_cast<int>(model.size()) / 2;
            ASSERT_EQ(slotRemoveAt(slot, middle), model[static_cast<std::size_t>(middle)]);
            model.erase(model.begin() + middle);
            ASSERT_EQ(read(slot), model) << model.size();
            expectForm(slot);
            if (model.size() == 40) {
                EXPECT_NE(slot.list(), nullptr) << "a list down to 40 stays a list";
            }
        }
        EXPECT_TRUE(slot.isEmpty());
    }
}

// A slot whose next form cannot be had for want of memory refuses the node and stays as it was:
// one node that cannot become an array, an array that cannot double, a full array that cannot
// become a list.
TEST_F(NodeSlotTest, RunningOutOfMemoryLeavesTheSlotAsItWas) {
    if (currentHeap())
        GTEST_SKIP() << "a heap's free lists would serve the allocations";
    for (const int size : {1, 2, 4, 64}) {
        SCOPED_TRACE(size);
        for (int i = 0; i < size; ++i)
            slotAppend(slot, pool[static_cast<std::size_t>(i)]);
        const Nodes before = read(slot);
        SetSystemAllocation(testing_support::noMemory, testing_support::plainFree);
        const int appended = slotAppend(slot, pool[199]);
        const int inserted = slotInsertAt(slot, pool[198], 0);
        RestoreSystemAllocation();
        EXPECT_EQ(appended, 0);
        EXPECT_EQ(inserted, 0);
        EXPECT_EQ(read(slot), before);
        expectForm(slot);
        ASSERT_EQ(slotAppend(slot, pool[199]), 1);
        EXPECT_EQ(slot.size(), size + 1);
        slotClear(slot);
    }
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
        ASSERT_EQ(blockPlaces(slot), blockPlaces(plain)) << "step " << step;
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
