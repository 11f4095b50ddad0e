// Tests of the block lists: block boundaries, shifting across blocks, visits, sorting, ownership.
#include "containers/chunk_list.h"
#include "containers/node_list.h"

#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include "support/failing_allocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace tarvo {
namespace {

struct ListDeleter {
    void operator()(ChunkList* list) const { list->destroy(); }
};
using ListPtr = std::unique_ptr<ChunkList, ListDeleter>;
using NodeListPtr = std::unique_ptr<NodeList, ListDeleter>;

// Distinct, never dereferenced node pointers.
NodeBase* fakeNode(int n) {
    return reinterpret_cast<NodeBase*>(std::uintptr_t(n + 1) * 16);
}

int blockCount(const ChunkList* list) {
    int blocks = 0;
    for (; list; list = list->next)
        ++blocks;
    return blocks;
}

// The chain's links and fill rule: every block but the last full, none but the first empty.
::testing::AssertionResult chainIsSound(const ChunkList* list) {
    int total = 0;
    for (const ChunkList* block = list; block; block = block->next) {
        if (block->next && block->next->prev != block)
            return ::testing::AssertionFailure() << "broken links";
        if (block->count < 0 || block->count > block->capacity ||
            (block->next && block->count != block->capacity) ||
            (block != list && block->count == 0))
            return ::testing::AssertionFailure() << "bad count " << block->count;
        total += block->count;
    }
    if (list->prev || total != list->size())
        return ::testing::AssertionFailure() << "bad first block or size";
    const ChunkList* last = list;
    while (last->next)
        last = last->next;
    if (list->lastBlock() != last)
        return ::testing::AssertionFailure() << "the first block lost track of the last";
    return ::testing::AssertionSuccess();
}

template <typename T> std::vector<T> contentsOf(const ChunkList* list) {
    std::vector<T> values(static_cast<std::size_t>(list->size()));
    for (int i = 0; i < list->size(); ++i)
        list->getAt(&values[static_cast<std::size_t>(i)], i);
    return values;
}

NodeList* nodeListOf(int size) {
    auto* list = new NodeList;
    for (int i = 0; i < size; ++i)
        list->append(fakeNode(i));
    return list;
}

TEST(NodeListTest, AppendFillsBlocksOf64AndRemovingTheLastDropsAnEmptiedBlock) {
    struct Case {
        int size, blocks, lastCount, blocksAfterRemoval;
    };
    const Case cases[] = {{0, 1, 0, 1},  {1, 1, 1, 1},    {63, 1, 63, 1}, {64, 1, 64, 1},
                          {65, 2, 1, 1}, {128, 2, 64, 2}, {129, 3, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        NodeListPtr list(nodeListOf(c.size));
        EXPECT_TRUE(chainIsSound(list.get()));
        EXPECT_EQ(blockCount(list.get()), c.blocks);
        EXPECT_EQ(list->lastBlock()->count, c.lastCount);
        EXPECT_EQ(list->removeAtIndex(-1), c.size ? fakeNode(c.size - 1) : nullptr);
        EXPECT_TRUE(chainIsSound(list.get()));
        EXPECT_EQ(blockCount(list.get()), c.blocksAfterRemoval);
    }
}

TEST(NodeListTest, InsertAtFrontOfFullFirstBlockPushesItsLastIntoTheSecond) {
    NodeListPtr list(nodeListOf(65));
    EXPECT_EQ(list->insertAtIndex(fakeNode(1000), 0), list.get());
    ASSERT_EQ(blockCount(list.get()), 2);
    const auto* second = static_cast<NodeList*>(list->next);
    EXPECT_EQ(list->node(0), fakeNode(1000));
    EXPECT_EQ(list->node(63), fakeNode(62));
    EXPECT_EQ(second->count, 2);
    EXPECT_EQ(second->node(0), fakeNode(63));
}

// Random edits, with indexes out of range on both sides, checked against std::vector and the
// chain's shape after every step; the second half shrinks the list to empty and beyond.
TEST(ChunkListTest, RandomEditsMatchVector) {
    std::mt19937 random(20240611);
    for (int capacity : {1, 2, 3, 64, 255}) {
        SCOPED_TRACE(capacity);
        ListPtr list(new ChunkList(sizeof(std::int32_t), capacity));
        std::vector<std::int32_t> expected;
        for (std::int32_t step = 0; step < 3000; ++step) {
            const int size = static_cast<int>(expected.size());
            const int index = std::uniform_int_distribution<int>(-2, size + 2)(random);
            const int op = std::uniform_int_distribution<int>(0, 9)(random);
            const bool inside = index >= 0 && index < size;
            const bool grow = step < 1500 ? op < 6 : op < 3;
            if (grow && op % 2 == 0) {
                ASSERT_NE(list->append(&step), nullptr);
                expected.push_back(step);
            } else if (grow) {
                ASSERT_NE(list->insertAtIndex(&step, index), nullptr);
                expected.insert(inside ? expected.begin() + index : expected.end(), step);
            } else {
                std::int32_t removed = -1;
                ASSERT_EQ(list->removeAtIndex(index, &removed), size > 0 ? 1 : 0);
                if (size > 0) {
                    const int at = inside ? index : size - 1;
                    EXPECT_EQ(removed, expected[static_cast<std::size_t>(at)]);
                    expected.erase(expected.begin() + at);
                }
            }
            ASSERT_TRUE(chainIsSound(list.get())) << "after step " << step;
            ASSERT_EQ(contentsOf<std::int32_t>(list.get()), expected) << "after step " << step;
        }
    }
}

struct VisitLog {
    int stopAt = -1;
    std::vector<void*> seen;
};
int logVisit(void* context, void* element) {
    auto* log = static_cast<VisitLog*>(context);
    log->seen.push_back(element);
    return static_cast<int>(log->seen.size()) - 1 == log->stopAt;
}
int betweenCalls = 0;
void countBetween() {
    ++betweenCalls;
}

TEST(ChunkListTest, ForEachVisitsInOrderAndStopsAtTheMatch) {
    struct Case {
        int size, stopAt, visits, betweens;
    };
    const Case cases[] = {{0, -1, 0, 0},  {1, -1, 1, 0},     {5, -1, 5, 4},
                          {130, 0, 1, 0}, {130, 66, 67, 66}, {130, 129, 130, 129}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.size << " stop " << c.stopAt);
        NodeListPtr list(nodeListOf(c.size));
        VisitLog log{c.stopAt, {}};
        betweenCalls = 0;
        void* found = list->forEach(logVisit, &log, countBetween);
        ASSERT_EQ(static_cast<int>(log.seen.size()), c.visits);
        EXPECT_EQ(betweenCalls, c.betweens);
        for (int i = 0; i < c.visits; ++i)
            EXPECT_EQ(log.seen[static_cast<std::size_t>(i)], fakeNode(i));
        const ListPosition expected = list->blockAt(c.stopAt);
        EXPECT_EQ(found, c.stopAt < 0 ? nullptr : fakeNode(c.stopAt));
        // A find of the element the visit stopped at names its block and index.
        int index = -1;
        EXPECT_EQ(list->findElement(found, identity, &index), expected.block);
        if (expected) {
            EXPECT_EQ(index, expected.index);
        }
    }
    // A null element ends the visit.
    ListPtr list(new ChunkList(sizeof(void*), 4));
    for (void* p : {static_cast<void*>(fakeNode(0)), static_cast<void*>(nullptr),
                    static_cast<void*>(fakeNode(2))})
        list->append(&p);
    VisitLog log;
    EXPECT_EQ(list->forEach(logVisit, &log), nullptr);
    EXPECT_EQ(log.seen.size(), 1u);
}

TEST(ChunkListTest, FindsReportTheMatchOrNothing) {
    NodeListPtr list(nodeListOf(100));
    int index = -1;
    EXPECT_EQ(list->findElement(fakeNode(70), identity, &index), list->next);
    EXPECT_EQ(index, 6);
    for (int at : {0, 63, 64, 65, 99})
        EXPECT_EQ(list->findValue(fakeNode(at), identity), fakeNode(at)) << at;
    EXPECT_EQ(list->findValue(fakeNode(100), identity), nullptr);
    index = -1;
    EXPECT_EQ(list->findElement(fakeNode(100), identity, &index), nullptr);
    EXPECT_EQ(index, -1) << "a failed find leaves the index alone";

    NodeBase* out = fakeNode(7);
    EXPECT_EQ(list->getAt(&out, 100), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(list->elementAt(-1), nullptr);
}

TEST(ChunkListTest, EqualsComparesBlocksAndBytes) {
    auto ints = [](int capacity, const std::vector<std::int32_t>& values) {
        ListPtr list(new ChunkList(sizeof(std::int32_t), capacity));
        for (std::int32_t v : values)
            list->append(&v);
        return list;
    };
    ListPtr base = ints(3, {1, 2, 3, 4, 5, 6});
    const std::pair<ListPtr, int> cases[] = {
        {ints(3, {1, 2, 3, 4, 5, 6}), 1}, {ints(3, {1, 2, 3, 4, 5, 7}), 0},
        {ints(3, {1, 2, 3, 4, 5}), 0},    {ints(3, {1, 2, 3, 4, 5, 6, 7}), 0},
        {ints(4, {1, 2, 3, 4, 5, 6}), 0}, {ListPtr(base->copy()), 1}};
    for (const auto& [other, equal] : cases) {
        EXPECT_EQ(base->equals(other.get()), equal);
        EXPECT_EQ(other->equals(base.get()), equal);
    }
}

// A list that owns its elements and counts what its hooks do.
int copiedCount = 0;
int destroyedCount = 0;
class CountingList : public ChunkList {
public:
    CountingList() : ChunkList(sizeof(std::int32_t), 3) {}
    ChunkList* makeBlock() const override {
        auto* block = new CountingList;
        block->ownsElements = ownsElements;
        return block;
    }
    void copyElement(void* element) override {
        ++copiedCount;
        *static_cast<std::int32_t*>(element) += 1000;
    }
    void destroyElement(void*) override { ++destroyedCount; }
};

TEST(ChunkListTest, CopyMakesBlocksOfTheListsOwnTypeAndRunsHooksOnlyWhenOwning) {
    for (int owns : {0, 1}) {
        SCOPED_TRACE(owns);
        copiedCount = destroyedCount = 0;
        ListPtr source(new CountingList);
        source->ownsElements = owns;
        for (std::int32_t v = 0; v < 7; ++v)
            source->append(&v);
        ListPtr copy(source->copy());
        ASSERT_TRUE(chainIsSound(copy.get()));
        for (ChunkList* block = copy.get(); block; block = block->next)
            EXPECT_NE(dynamic_cast<CountingList*>(block), nullptr);
        EXPECT_EQ(copiedCount, owns ? 7 : 0);
        EXPECT_EQ(contentsOf<std::int32_t>(copy.get())[6], owns ? 1006 : 6);
        EXPECT_EQ(contentsOf<std::int32_t>(source.get())[6], 6);

        std::int32_t out = 0;
        copy->removeAtIndex(0, &out);
        EXPECT_EQ(destroyedCount, 0);
        copy->removeAtIndex(0, nullptr);
        copy.reset();
        EXPECT_EQ(destroyedCount, owns ? 6 : 0);
    }
}

int sortWidth = 0;
int compareBytes(const void* a, const void* b) {
    return std::memcmp(a, b, static_cast<std::size_t>(sortWidth));
}

// Sorting borrows the word buffer for at most 399 bytes of elements; otherwise, or when there is
// no word buffer, it allocates and leaves the word buffer alone.
TEST(ChunkListTest, SortBorrowsTheWordBufferOnlyUpTo399Bytes) {
    struct Case {
        int elementSize, count;
        bool hasWord, borrows;
    };
    const Case cases[] = {{3, 133, true, true},  {1, 399, true, true}, {4, 100, true, false},
                          {1, 400, true, false}, {8, 1, true, false},  {16, 300, true, false},
                          {3, 133, false, false}};
    char* word = sharedBuffers().word;
    ASSERT_NE(word, nullptr);
    std::mt19937 random(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.elementSize << " x " << c.count);
        ListPtr list(new ChunkList(c.elementSize, 10));
        std::vector<std::vector<unsigned char>> expected;
        for (int i = 0; i < c.count; ++i) {
            std::vector<unsigned char> bytes(static_cast<std::size_t>(c.elementSize));
            std::generate(bytes.begin(), bytes.end(), std::ref(random));
            list->append(bytes.data());
            expected.push_back(bytes);
        }
        std::sort(expected.begin(), expected.end());
        std::memset(word, 0x5A, kWordBufferBytes);
        sharedBuffers().word = c.hasWord ? word : nullptr;
        sortWidth = c.elementSize;
        EXPECT_EQ(list->sort(compareBytes), 1);
        sharedBuffers().word = word;
        for (int i = 0; i < c.count; ++i)
            ASSERT_EQ(std::memcmp(list->elementAt(i), expected[static_cast<std::size_t>(i)].data(),
                                  static_cast<std::size_t>(c.elementSize)),
                      0);
        const bool untouched =
            std::all_of(word, word + kWordBufferBytes, [](char b) { return b == 0x5A; });
        EXPECT_EQ(untouched, !c.borrows);
    }
}

TEST(NodeListTest, VariableOperationsMakeAndDropTheList) {
    NodeList* list = nullptr;
    EXPECT_EQ(listRemove(list, fakeNode(0)), 0);
    EXPECT_EQ(listAddUnique(list, fakeNode(0)), 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->capacity, NodeList::kNodesPerBlock);
    EXPECT_EQ(listAddUnique(list, fakeNode(0)), 0);
    for (int i = 1; i < 65; ++i)
        listAppend(list, fakeNode(i));
    listAppend(list, fakeNode(3));
    EXPECT_EQ(listRemove(list, fakeNode(200)), 0);
    EXPECT_EQ(listRemove(list, fakeNode(3)), 1);
    EXPECT_EQ(list->indexOf(fakeNode(3)), 64);
    EXPECT_EQ(listRemove(list, fakeNode(3)), 1);
    EXPECT_EQ(blockCount(list), 1);
    for (int i = 0; i < 65; ++i)
        listRemove(list, fakeNode(i));
    EXPECT_EQ(list, nullptr);
}

// A move must give what a removal followed by an insertion gives.
TEST(NodeListTest, MoveOrInsertMatchesRemoveThenInsert) {
    for (int size : {1, 2, 5, 64, 65, 66, 130}) {
        for (int from : {0, 1, 62, 63, 64, 65, size - 1}) {
            if (from >= size)
                continue;
            for (int position : {-1, 0, 1, from - 1, from, from + 1, 63, 64, 65, size - 2, size - 1,
                                 size, size + 3}) {
                SCOPED_TRACE(::testing::Message() << size << ": " << from << " to " << position);
                NodeList* list = nodeListOf(size);
                std::vector<NodeBase*> expected = contentsOf<NodeBase*>(list);
                EXPECT_EQ(listMoveOrInsert(list, fakeNode(from), position), 0);
                if (from != position) {
                    expected.erase(expected.begin() + from);
                    const bool inside = position >= 0 && position < size - 1;
                    expected.insert(inside ? expected.begin() + position : expected.end(),
                                    fakeNode(from));
                }
                EXPECT_TRUE(chainIsSound(list));
                EXPECT_EQ(contentsOf<NodeBase*>(list), expected);
                list->destroy();
            }
        }
    }
    NodeList* list = nullptr;
    EXPECT_EQ(listMoveOrInsert(list, fakeNode(5), 3), 1);
    EXPECT_EQ(listMoveOrInsert(list, fakeNode(1), 0), 1);
    EXPECT_EQ(contentsOf<NodeBase*>(list), (std::vector{fakeNode(1), fakeNode(5)}));
    list->destroy();
}

// Small buffers that grow must give the lists that full blocks gave: the same order, every
// block but the last holding exactly 64, and each global index at (its block, index % 64).
::testing::AssertionResult blocksAreOf64(const ChunkList* list) {
    int global = 0;
    int blockNumber = 0;
    for (const ChunkList* block = list; block; block = block->next, ++blockNumber) {
        if (block->capacity != NodeList::kNodesPerBlock)
            return ::testing::AssertionFailure() << "capacity " << int(block->capacity);
        if (block->room < block->count || block->room > block->capacity)
            return ::testing::AssertionFailure() << "room " << int(block->room);
        for (int i = 0; i < block->count; ++i, ++global) {
            const ListPosition at = list->blockAt(global);
            if (at.block != block || at.index != i || list->globalIndexOf(block, i) != global ||
                at.index != global % NodeList::kNodesPerBlock ||
                blockNumber != global / NodeList::kNodesPerBlock)
                return ::testing::AssertionFailure() << "position of " << global;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(NodeListTest, GrowingBuffersKeepOrderAndBlockPositions) {
    auto check = [](const NodeList* list, const std::vector<NodeBase*>& model) {
        ASSERT_TRUE(chainIsSound(list));
        ASSERT_TRUE(blocksAreOf64(list));
        ASSERT_EQ(contentsOf<NodeBase*>(list), model);
    };
    enum Where { Front, Middle, End };
    int next = 0;
    for (int size : {3, 4, 5, 63, 64, 65, 127, 128, 129}) {
        for (Where where : {Front, Middle, End}) {
            SCOPED_TRACE(::testing::Message() << size << " at " << int(where));
            NodeListPtr list(new NodeList);
            std::vector<NodeBase*> model;
            // Grown one insertion at a time past 4, 64, 65 and 128.
            while (static_cast<int>(model.size()) < size) {
                const int at = where == Front    ? 0
                               : where == Middle ? static_cast<int>(model.size()) / 2
                                                 : static_cast<int>(model.size());
                NodeBase* node = fakeNode(next++);
                ASSERT_NE(list->insertAtIndex(node, at), nullptr);
                model.insert(model.begin() + at, node);
                check(list.get(), model);
            }
            // A fresh list starts small; a full first block has all its room.
            if (size >= NodeList::kNodesPerBlock) {
                EXPECT_EQ(list->room, NodeList::kNodesPerBlock);
            } else {
                EXPECT_LT(list->room, 2 * size);
            }
            // A copy has the same blocks and elements, and grows on as the original does.
            NodeListPtr copy(list->copy());
            ASSERT_NE(copy, nullptr);
            EXPECT_EQ(copy->equals(list.get()), 1);
            check(copy.get(), model);
            ASSERT_NE(copy->append(fakeNode(next)), nullptr);
            std::vector<NodeBase*> longer = model;
            longer.push_back(fakeNode(next++));
            check(copy.get(), longer);
            // Shrunk back to empty the same way.
            while (!model.empty()) {
                const int at = where == Front    ? 0
                               : where == Middle ? static_cast<int>(model.size()) / 2
                                                 : static_cast<int>(model.size()) - 1;
                ASSERT_EQ(list->removeAtIndex(at), model[static_cast<std::size_t>(at)]);
                model.erase(model.begin() + at);
                check(list.get(), model);
            }
        }
    }
}

// A buffer that cannot grow refuses the element and leaves the list as it was.
TEST(NodeListTest, ABufferThatCannotGrowRefusesTheElement) {
    if (currentHeap())
        GTEST_SKIP() << "a heap's free lists would serve the allocations";
    for (int size : {NodeList::kFirstRoom, 4, 8, 16, 32, 64 + NodeList::kFirstRoom}) {
        SCOPED_TRACE(size);
        NodeListPtr list(nodeListOf(size));
        const std::vector<NodeBase*> before = contentsOf<NodeBase*>(list.get());
        testing_support::failingAllocation = 0;
        SetSystemAllocation(testing_support::mallocFailingOnce, testing_support::plainFree);
        EXPECT_EQ(list->insertAtIndex(fakeNode(500), 0), nullptr);
        testing_support::failingAllocation = 0;
        EXPECT_EQ(list->append(fakeNode(501)), nullptr);
        RestoreSystemAllocation();
        testing_support::failingAllocation = -1;
        EXPECT_TRUE(chainIsSound(list.get()));
        EXPECT_EQ(contentsOf<NodeBase*>(list.get()), before);
        ASSERT_NE(list->insertAtIndex(fakeNode(502), 0), nullptr);
        EXPECT_EQ(list->nodeAt(0), fakeNode(502));
    }
}

using testing_support::allowedAllocations;
using testing_support::countedMalloc;
using testing_support::plainFree;

TEST(NodeListTest, RunningOutOfMemoryLeavesListsAsTheyWere) {
    if (currentHeap())
        GTEST_SKIP() << "a heap's free lists would serve the allocations";
    // A new block takes one allocation, its object, which holds room for its first elements; a
    // block of a copy takes a second one for its buffer.
    for (int allowed : {0, 1}) {
        SCOPED_TRACE(allowed);
        NodeListPtr list(nodeListOf(128));
        const std::vector<NodeBase*> before = contentsOf<NodeBase*>(list.get());
        NodeList* fresh = nullptr;
        SetSystemAllocation(countedMalloc, plainFree);
        for (int attempt = 0; attempt < 3; ++attempt) {
            allowedAllocations = 0;
            const bool stored = attempt == 0   ? list->append(fakeNode(900))
                                : attempt == 1 ? list->insertAtIndex(fakeNode(901), 0)
                                               : listAppend(fresh, fakeNode(902));
            EXPECT_FALSE(stored);
        }
        // A copy that runs out on its last block gives nothing back.
        allowedAllocations = 2 + allowed;
        EXPECT_EQ(list->copy(), nullptr);
        RestoreSystemAllocation();
        EXPECT_EQ(fresh, nullptr);
        EXPECT_TRUE(chainIsSound(list.get()));
        EXPECT_EQ(contentsOf<NodeBase*>(list.get()), before);
    }
}

} // namespace
} // namespace tarvo
