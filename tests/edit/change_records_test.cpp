// What change records own: each text goes back to the heap once, an inverse keeps copies of its
// own, and the node a restore holds detached is destroyed exactly once, and only when the
// network does not hold it again. The heap's free lists show what was released, and how often.
#include "edit/change_records.h"

#include "containers/node_list.h"
#include "edit/changes.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "model/node.h"

#include "support/network_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

const char* const kNetwork = R"(#RELATIONS
subject isa dependent
object isa dependent
#ENTITIES
noun isa word
verb isa word
pronoun isa noun
auxiliary isa verb
modal isa auxiliary
#PROPERTIES
verb subject noun
verb object noun
auxiliary subject pronoun
#FONTS
)";

// How often the block is on the free lists of its size: once after one release.
int timesReleased(const void* block, std::size_t size) {
    const SizeClassHeap* heap = currentHeap();
    const auto bytes = static_cast<std::int32_t>(size);
    int count = 0;
    for (const SizeClass* c = heap ? heap->buckets[HeapBucketOf(bytes)] : nullptr; c; c = c->next)
        for (const FreeStore* store = c->size == bytes ? c->firstStore : nullptr; store;
             store = store->next)
            for (int i = 0; i < store->used; ++i)
                count += store->pointers[i] == block ? 1 : 0;
    return count;
}

// The block DuplicateText gives a name of this length.
std::size_t textBlock(const char* text) {
    return std::strlen(text) + 14;
}

// Takes blocks of the size off the free lists until the released `block` comes back, and
// writes over it as a new owner would.
void takeAndOverwrite(const void* block, std::size_t size, std::vector<void*>& taken) {
    while (timesReleased(block, size) > 0) {
        auto* next = static_cast<char*>(Allocate(static_cast<std::int32_t>(size)));
        taken.push_back(next);
        if (next == block) {
            std::memset(next, 'x', size - 1);
            next[size - 1] = '\0';
        }
    }
}

void* noMemory(std::size_t) {
    return nullptr;
}
void plainFree(void* memory) {
    std::free(memory);
}

class ChangeRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateHeap();
        net = testing_support::ReadNetworkText(kNetwork);
        ASSERT_NE(net, nullptr);
    }
    void TearDown() override {
        RestoreSystemAllocation();
        net.reset();
        DestroyHeap();
    }

    Node* entity(const char* name) { return net->find(name, 0); }

    bool recordDelete(Node* n) {
        return RecordChange(*net, DeleteStep{n}, RestoreStep(n, OwnedPositions(recordPositions(n))),
                            0, -1) != nullptr;
    }

    std::unique_ptr<Network> net;
};

// The deleted node and its own properties, with the sizes of their blocks.
struct HeldNodes {
    explicit HeldNodes(Node* n) {
        nodes.push_back({n, sizeof(Node)});
        forEachNode(n->slotList(FromSlot), [&](NodeBase* p) {
            nodes.push_back({p, sizeof(Property)});
        });
        forEachNode(n->slotList(ToSlot), [&](NodeBase* p) {
            nodes.push_back({p, sizeof(Property)});
        });
    }
    // How often each was released, as one number when they agree, -1 when they do not.
    int timesEachReleased() const {
        const int first = timesReleased(nodes[0].first, nodes[0].second);
        for (const auto& [block, size] : nodes)
            if (timesReleased(block, size) != first)
                return -1;
        return first;
    }
    std::vector<std::pair<const void*, std::size_t>> nodes;
};

TEST_F(ChangeRecordTest, ADetachedNodeIsDestroyedExactlyOnceAndOnlyWhenNothingHoldsIt) {
    const std::string before = testing_support::NetworkAsText(*net);
    struct Case {
        const char* what;
        // After the delete was recorded; answers whether the node is still the network's.
        std::function<bool()> then;
    };
    const Case cases[] = {
        {"released with the undo stack",
         [this] {
             CommitEdit(*net);
             ReleaseChanges(*net);
             return false;
         }},
        {"restored by undo, then released",
         [this] {
             CommitEdit(*net);
             UndoLastEdit(*net);
             ReleaseChanges(*net);
             return true;
         }},
        {"given up before it applied",
         [this] {
             AbandonEdit(*net);
             ReleaseChanges(*net);
             return true;
         }},
        {"refused back because its name was taken, then the rest released",
         [this] {
             CommitEdit(*net);
             auto* taken = new Node;
             taken->setName("verb", 1);
             net->add(taken);
             EXPECT_FALSE(UndoLastEdit(*net));
             ReleaseChanges(*net);
             return false;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        net = testing_support::ReadNetworkText(kNetwork);
        Node* verb = entity("verb");
        const HeldNodes held(verb);
        ASSERT_EQ(held.nodes.size(), 3u) << "verb with its two properties";
        ASSERT_TRUE(recordDelete(verb));
        const bool kept = c.then();
        EXPECT_EQ(held.timesEachReleased(), kept ? 0 : 1);
        if (kept) {
            EXPECT_EQ(entity("verb"), verb);
            EXPECT_EQ(testing_support::NetworkAsText(*net), before);
        }
    }
}

TEST_F(ChangeRecordTest, ANetworkThatGoesDestroysTheNodesItsUndoStackHoldsDetached) {
    const HeldNodes held(entity("verb"));
    ASSERT_TRUE(recordDelete(entity("verb")));
    ASSERT_TRUE(CommitEdit(*net));
    EXPECT_EQ(held.timesEachReleased(), 0);
    net.reset();
    EXPECT_EQ(held.timesEachReleased(), 1);
}

// Without history the step's records go once the edit applied; the inverses on the undo stack
// must not share their texts, which the heap hands out again at once.
TEST_F(ChangeRecordTest, AnInverseKeepsCopiesOfItsOwnOnceTheStepIsReleased) {
    changes(*net).editingOptions = kKeepUndo;
    const std::string before = testing_support::NetworkAsText(*net);
    struct Case {
        const char* what;
        std::function<bool(std::vector<const char*>&)> record;
    };
    const Case cases[] = {
        {"add a property link",
         [this](std::vector<const char*>& texts) {
             AddLinkStep step(entity("modal"), entity("noun"), CopyText("object"));
             texts.push_back(step.relation.get());
             RemoveLinkStep inverse = ReversedStep(step);
             return RecordChange(*net, std::move(step), std::move(inverse), ToSlot, 0) != nullptr;
         }},
        {"remove a property link",
         [this](std::vector<const char*>& texts) {
             RemoveLinkStep step{entity("auxiliary"), entity("pronoun"), CopyText("subject")};
             texts.push_back(step.relation.get());
             AddLinkStep inverse = ReversedStep(step);
             return RecordChange(*net, std::move(step), std::move(inverse), ToSlot, 0) != nullptr;
         }},
        {"rename",
         [this](std::vector<const char*>& texts) {
             RenameStep step(CopyText("pronoun"), CopyText("name"));
             texts.push_back(step.from.get());
             texts.push_back(step.to.get());
             RenameStep inverse = ReversedStep(step);
             return RecordChange(*net, std::move(step), std::move(inverse), 0, -1) != nullptr;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<const char*> texts;
        ASSERT_TRUE(c.record(texts));
        std::vector<std::size_t> sizes(texts.size());
        std::transform(texts.begin(), texts.end(), sizes.begin(), textBlock);
        ASSERT_TRUE(CommitEdit(*net));
        EXPECT_NE(testing_support::NetworkAsText(*net), before);
        ASSERT_EQ(changes(*net).history, nullptr);
        std::vector<void*> reused;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(timesReleased(texts[i], sizes[i]), 1);
            takeAndOverwrite(texts[i], sizes[i], reused);
        }
        EXPECT_TRUE(UndoLastEdit(*net));
        EXPECT_EQ(testing_support::NetworkAsText(*net), before);
        for (void* block : reused)
            Release(block);
    }
}

// When memory runs out for the record or for its inverse, the edit is left as it was and what
// the step and the inverse were given goes back once, by its owner.
TEST_F(ChangeRecordTest, ARecordThatCannotBeMadeReleasesItsOperandsOnce) {
    for (int spareRecords : {0, 1}) {
        SCOPED_TRACE(spareRecords);
        ASSERT_TRUE(RecordChange(*net, MarkDragStep{entity("word")}, std::nullopt, 0, 1));
        AbandonEdit(*net);
        // The record released just now is the one spare block of its size, or it is taken.
        void* taken = spareRecords ? nullptr : Allocate(sizeof(ChangeRecord));
        // Room on the free lists for the texts, so that they are seen going back.
        for (const char* name : {"proper", "proper"})
            Release(DuplicateText(name));
        char* name = DuplicateText("proper");
        char* inverseName = DuplicateText("proper");
        SetSystemAllocation(noMemory, plainFree);
        EXPECT_EQ(RecordChange(*net, InsertStep{entity("noun"), OwnedText(name), nullptr},
                               RemoveStep{OwnedText(inverseName), nullptr}, ChildSlot, 0),
                  nullptr);
        RestoreSystemAllocation();
        EXPECT_EQ(timesReleased(name, textBlock("proper")), 1);
        EXPECT_EQ(timesReleased(inverseName, textBlock("proper")), 1);
        EXPECT_EQ(changes(*net).pending, nullptr);
        EXPECT_EQ(changes(*net).undo, nullptr);
        EXPECT_EQ(changes(*net).pendingUndo, 0);
        EXPECT_FALSE(CommitEdit(*net));
        Release(taken);
    }
}

// The number a kind answers is the one the views and the debug log know it by.
TEST_F(ChangeRecordTest, EachKindAnswersItsNumber) {
    Node* word = entity("word");
    std::pair<ChangeStep, int> kinds[] = {
        {InsertStep{word, CopyText("a"), nullptr}, 1},
        {DeleteStep{word}, 2},
        {RemoveStep{CopyText("a"), nullptr}, 3},
        {RemoveRelationStep{CopyText("a"), nullptr}, 4},
        {RestoreStep(word, nullptr), 5},
        {RenameStep(CopyText("a"), CopyText("b")), 10},
        {AddLinkStep(word, word, nullptr), 20},
        {RemoveLinkStep{word, word, nullptr}, 21},
        {ReorderStep{word, nullptr}, 22},
        {MarkDragStep{word}, 32},
    };
    for (auto& [step, number] : kinds) {
        // Released without its network: the node the restore names stays the network's.
        const ChangeRecord record(std::move(step), 0, -1);
        EXPECT_EQ(record.kind(), number);
    }
    EXPECT_EQ(entity("word"), word);
    EXPECT_EQ(timesReleased(word, sizeof(Node)), 0);
}

} // namespace
} // namespace tarvo
