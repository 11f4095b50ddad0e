// Tests of the node table and of the key hash that places nodes in it.
#include "containers/node_table.h"

#include "containers/key_hash.h"
#include "containers/node_list.h"

#include "memory/size_class_heap.h"

#include "support/failing_allocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// Stands in for a node: the table sees it only through the hash and the equality.
struct TestNode {
    std::string key;
};

NodeBase* asNode(TestNode* node) {
    return reinterpret_cast<NodeBase*>(node);
}
const TestNode* asTest(const NodeBase* node) {
    return reinterpret_cast<const TestNode*>(node);
}
int hashKey(const NodeBase* node, int* row) {
    return KeyHash(asTest(node)->key.c_str(), row);
}
int sameKey(const NodeBase* a, const NodeBase* b) {
    return asTest(a)->key == asTest(b)->key;
}
// Equal when the keys agree on their first letter: a looser rule for one find.
int sameInitial(const NodeBase* a, const NodeBase* b) {
    return asTest(a)->key[0] == asTest(b)->key[0];
}

// A deliberately weak fingerprint, so that many unequal keys share one.
std::uint32_t keyLength(const NodeBase* node) {
    return static_cast<std::uint32_t>(asTest(node)->key.size());
}

using TablePtr = std::unique_ptr<NodeTable>;
TablePtr keyTable(bool fingerprinted = false) {
    return TablePtr(NodeTable::make(kTableBucketsPerRow, kTableRows, hashKey, sameKey,
                                    fingerprinted ? keyLength : nullptr));
}

TEST(KeyHashTest, KnownKeysLandInTheirRowAndBucket) {
    struct Case {
        const char* key;
        int row, bucket;
    };
    // Worked out by hand: h = h * 19 + c over signed bytes; row h % 7, bucket h / 7 % 49.
    const Case cases[] = {{"", 0, 0},           {"a", 6, 13},         {"cat", 3, 44},
                          {"eats fish", 3, 16}, {"\xe9t\xe9", 0, 34}, {"\xff", 3, 26},
                          {nullptr, 0, 0}};
    for (const Case& c : cases) {
        int row = -1;
        EXPECT_EQ(KeyHash(c.key, &row), c.bucket) << (c.key ? c.key : "null");
        EXPECT_EQ(row, c.row);
    }
}

// Markup codes, including ones cut short by the end of the text, leave the hash alone; bytes
// after a terminator would change it if they were read.
TEST(KeyHashTest, MarkupDoesNotMoveAKey) {
    // DEL is written \177 here; the last three keys end inside a code.
    const std::pair<std::string, std::string> variants[] = {
        {"cat", "\177bcat"},       {"cat", "c\17712fat"},      {"cat", "ca\177i\177pt"},
        {"cat", "cat\177r"},       {"1a", "\177*1a"},          {"ab", "a\177\177b"},
        {"ab", {"ab\177\0zz", 6}}, {"ab", {"ab\17712\0z", 7}}, {"ab", {"ab\177i\177\0q", 7}}};
    for (const auto& [plain, marked] : variants) {
        int plainRow = -1;
        int markedRow = -2;
        EXPECT_EQ(KeyHash(plain.c_str(), &plainRow), KeyHash(marked.data(), &markedRow));
        EXPECT_EQ(plainRow, markedRow) << marked;
    }
}

// The probe and the stored node are different objects with equal keys throughout.
TEST(NodeTableTest, InsertAndRemoveHandBackThePresentNode) {
    TablePtr table = keyTable();
    TestNode present{"cat"};
    TestNode probe{"cat"};
    EXPECT_EQ(table->insert(asNode(&present)), 1);
    EXPECT_EQ(table->insert(asNode(&probe)), 0);
    EXPECT_EQ(table->lastMatch().element, asNode(&present));
    // Each table keeps its own: a find in another table leaves this one's alone.
    TablePtr other = keyTable();
    TestNode elsewhere{"cat"};
    ASSERT_EQ(other->insert(asNode(&elsewhere)), 1);
    EXPECT_EQ(other->insert(asNode(&probe)), 0);
    EXPECT_EQ(other->lastMatch().element, asNode(&elsewhere));
    EXPECT_EQ(table->lastMatch().element, asNode(&present));

    NodeBase* variable = asNode(&probe);
    EXPECT_EQ(table->remove(variable), 1);
    EXPECT_EQ(variable, asNode(&present));
    int row = -1;
    const int bucket = KeyHash("cat", &row);
    EXPECT_EQ(table->bucket(row, bucket), nullptr);
    variable = asNode(&probe);
    EXPECT_EQ(table->remove(variable), 0);
    EXPECT_EQ(variable, asNode(&probe));
}

TEST(NodeTableTest, KeysDifferingOnlyInMarkupShareABucketAndStayDistinct) {
    TablePtr table = keyTable();
    TestNode plain{"cat"};
    TestNode bold{"\177bcat\177b"};
    EXPECT_EQ(table->insert(asNode(&plain)), 1);
    EXPECT_EQ(table->insert(asNode(&bold)), 1);
    int row = -1;
    const int bucket = KeyHash("cat", &row);
    ASSERT_NE(table->bucket(row, bucket), nullptr);
    EXPECT_EQ(table->bucket(row, bucket)->size(), 2);
    EXPECT_EQ(table->lookup(asNode(&bold)), asNode(&bold));

    // A compare given to a find replaces the table's equality for that find only.
    TestNode italic{"\177icat"};
    EXPECT_EQ(table->lookup(asNode(&italic)), nullptr);
    EXPECT_EQ(table->lookup(asNode(&italic), sameInitial), asNode(&bold));
}

struct Collected {
    std::vector<NodeBase*> nodes;
    std::size_t stopAfter = 0;
};
int collect(void* context, NodeBase* node) {
    auto* collected = static_cast<Collected*>(context);
    collected->nodes.push_back(node);
    return collected->nodes.size() == collected->stopAfter;
}

// Random inserts and removals of generated keys, some with markup, against std::map.
// With fingerprints kept beside the buckets, finds answer the same.
TEST(NodeTableTest, GeneratedKeysMatchAMap) {
    for (bool fingerprinted : {false, true}) {
        SCOPED_TRACE(fingerprinted);
        TablePtr table = keyTable(fingerprinted);
        Collected none;
        EXPECT_EQ(table->forEach(collect, &none), 0);
        EXPECT_TRUE(none.nodes.empty());

        std::mt19937 random(99);
        std::vector<std::unique_ptr<TestNode>> nodes;
        std::map<std::string, NodeBase*> expected;
        for (int step = 0; step < 6000; ++step) {
            std::string key = "k" + std::to_string(random() % 1500);
            if (random() % 4 == 0)
                key.insert(1, "\1772f");
            nodes.push_back(std::make_unique<TestNode>(TestNode{key}));
            NodeBase* node = asNode(nodes.back().get());
            const auto present = expected.find(key);
            if (random() % 3 == 0) {
                ASSERT_EQ(table->remove(node), present != expected.end() ? 1 : 0);
                if (present != expected.end()) {
                    EXPECT_EQ(node, present->second);
                    expected.erase(present);
                }
            } else if (present != expected.end()) {
                ASSERT_EQ(table->insert(node), 0);
                ASSERT_EQ(table->lastMatch().element, present->second);
            } else {
                ASSERT_EQ(table->insert(node), 1);
                expected.emplace(key, node);
            }
        }
        for (const auto& [key, node] : expected) {
            TestNode probe{key};
            ASSERT_EQ(table->lookup(asNode(&probe)), node);
        }
        Collected all;
        EXPECT_EQ(table->forEach(collect, &all), 0);
        EXPECT_EQ(all.nodes.size(), expected.size());
        Collected some{{}, 5};
        EXPECT_EQ(table->forEach(collect, &some), 1);
        EXPECT_EQ(some.nodes.size(), 5u);
    }
}

int oneBucket(const NodeBase*, int* row) {
    *row = 0;
    return 0;
}

// Nodes taken out and put back in the reverse order at the places their removal reported give
// back the bucket, across its blocks, with the fingerprints in step for the finds.
TEST(NodeTableTest, NodesPutBackAtTheirPlacesRestoreTheBucketOrder) {
    TablePtr table(NodeTable::make(kTableBucketsPerRow, kTableRows, oneBucket, sameKey, keyLength));
    std::vector<TestNode> nodes;
    nodes.reserve(150);
    for (int i = 0; i < 150; ++i)
        nodes.push_back({"k" + std::to_string(i)});
    for (TestNode& node : nodes)
        ASSERT_EQ(table->insert(asNode(&node)), 1);
    auto order = [&] {
        Collected all;
        table->forEach(collect, &all);
        return all.nodes;
    };
    const std::vector<NodeBase*> before = order();
    // The first and last of a block, the last of all, a middle one.
    const int taken[] = {0, 63, 64, 149, 100, 1};
    std::vector<int> places;
    for (int i : taken) {
        NodeBase* node = asNode(&nodes[static_cast<std::size_t>(i)]);
        int place = -1;
        ASSERT_EQ(table->remove(node, &place), 1);
        places.push_back(place);
    }
    EXPECT_EQ(places, (std::vector<int>{0, 62, 62, 146, 97, 0}));
    for (int k = static_cast<int>(places.size()) - 1; k >= 0; --k)
        ASSERT_EQ(table->insertAt(asNode(&nodes[static_cast<std::size_t>(taken[k])]),
                                  places[static_cast<std::size_t>(k)]),
                  1);
    EXPECT_EQ(order(), before);
    for (TestNode& node : nodes) {
        TestNode probe{node.key};
        ASSERT_EQ(table->lookup(asNode(&probe)), asNode(&node)) << node.key;
    }
    // A present key is refused; a place past the end appends, as insert does.
    TestNode again{"k7"};
    EXPECT_EQ(table->insertAt(asNode(&again), 0), 0);
    NodeBase* node = asNode(&nodes[7]);
    ASSERT_EQ(table->remove(node), 1);
    ASSERT_EQ(table->insertAt(node, 1000), 1);
    EXPECT_EQ(order().back(), node);
}

// A fingerprint as good as the key hash itself, as the network's tables have.
std::uint32_t keyPrint(const NodeBase* node) {
    return KeyHashValue(asTest(node)->key.c_str());
}

// The table's order, and the node each key finds, against a model: one vector per bucket in
// list order. Renames (out, new key, back in at the same place), removals and insertions at
// chosen places run on thousands of nodes, so that the index grows several times and its
// slots are freed and reused; every removal must report the place the model has.
TEST(NodeTableTest, IndexedLookupsFollowRenamesRemovalsAndPutBacks) {
    for (NodeHash hash : {oneBucket, hashKey}) {
        SCOPED_TRACE(hash == oneBucket ? "one bucket" : "key hash");
        TablePtr table(NodeTable::make(kTableBucketsPerRow, kTableRows, hash, sameKey, keyPrint));
        std::vector<std::unique_ptr<TestNode>> nodes;
        std::map<std::pair<int, int>, std::vector<NodeBase*>> buckets;
        std::map<std::string, NodeBase*> byKey;
        auto bucketOf = [&](const NodeBase* node) -> std::vector<NodeBase*>& {
            int row = 0;
            const int bucket = hash(node, &row);
            return buckets[{row, bucket}];
        };
        auto take = [&](NodeBase* node) {
            std::vector<NodeBase*>& model = bucketOf(node);
            const auto at = std::find(model.begin(), model.end(), node);
            const int expected = static_cast<int>(at - model.begin());
            model.erase(at);
            byKey.erase(asTest(node)->key);
            TestNode probe{asTest(node)->key};
            NodeBase* variable = asNode(&probe);
            int place = -1;
            EXPECT_EQ(table->remove(variable, &place), 1);
            EXPECT_EQ(variable, node);
            EXPECT_EQ(place, expected);
            return place;
        };
        auto put = [&](NodeBase* node, int place) {
            std::vector<NodeBase*>& model = bucketOf(node);
            const bool inside = place >= 0 && place <= static_cast<int>(model.size());
            model.insert(inside ? model.begin() + place : model.end(), node);
            byKey[asTest(node)->key] = node;
            ASSERT_EQ(table->insertAt(node, place), 1);
        };
        std::mt19937 random(7);
        for (int i = 0; i < 3000; ++i) {
            nodes.push_back(std::make_unique<TestNode>(TestNode{"n" + std::to_string(i)}));
            put(asNode(nodes.back().get()), -1);
        }
        for (int step = 0; step < 3000; ++step) {
            NodeBase* node = asNode(nodes[random() % nodes.size()].get());
            if (!byKey.contains(asTest(node)->key))
                continue;
            const std::string old = asTest(node)->key;
            const int place = take(node);
            switch (random() % 3) {
            case 0: // renamed: the same node under a new key, at the place it had
                reinterpret_cast<TestNode*>(node)->key = "r" + std::to_string(step);
                put(node, place);
                break;
            case 1: // removed, then put back at the front of its bucket
                put(node, 0);
                break;
            default: // removed for good
                break;
            }
            TestNode probe{old};
            const auto present = byKey.find(old);
            ASSERT_EQ(table->lookup(asNode(&probe)),
                      present == byKey.end() ? nullptr : present->second)
                << old;
        }
        std::vector<NodeBase*> expected;
        for (const auto& [where, model] : buckets)
            expected.insert(expected.end(), model.begin(), model.end());
        Collected all;
        table->forEach(collect, &all);
        EXPECT_EQ(all.nodes, expected);
        for (const auto& [key, node] : byKey) {
            TestNode probe{key};
            ASSERT_EQ(table->lookup(asNode(&probe)), node) << key;
            // A find answers the node's place, as the bucket shows it.
            int index = -1;
            ChunkList* block = table->find(asNode(&probe), nullptr, &index);
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(static_cast<NodeList*>(block)->node(index), node);
            EXPECT_EQ(table->lastMatch().block, block);
            EXPECT_EQ(table->lastMatch().index, index);
            EXPECT_EQ(table->lastMatch().element, node);
        }
        // A refused insertion names the node present.
        const auto& [key, present] = *byKey.begin();
        TestNode again{key};
        EXPECT_EQ(table->insert(asNode(&again)), 0);
        EXPECT_EQ(table->lastMatch().element, present);
    }
}

// A caller that fingerprints a key once and then looks it up and enters it gets what the plain
// lookup and insertion give, through the index's growth from 64 slots on and with fingerprints
// that many unequal keys share, so that the keys themselves decide.
TEST(NodeTableTest, LookupsAndInsertionsGivenTheFingerprintAgreeWithThePlainOnes) {
    TablePtr table = keyTable(true);
    std::vector<std::unique_ptr<TestNode>> nodes;
    nodes.reserve(200);
    for (int i = 0; i < 200; ++i)
        nodes.push_back(std::make_unique<TestNode>(TestNode{"k" + std::to_string(i * 7 % 200)}));
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        NodeBase* node = asNode(nodes[i].get());
        const std::uint32_t print = table->fingerprintOf(node);
        EXPECT_EQ(print, keyLength(node));
        table->prefetch(print);
        ASSERT_EQ(table->lookup(node, print), nullptr) << i;
        // Every other one the plain way, so that both kinds of entry meet in the probe runs.
        ASSERT_EQ(i % 2 ? table->insert(node, print) : table->insert(node), 1) << i;
        ASSERT_EQ(table->lookup(node, print), node) << i;
        TestNode twin{asTest(node)->key};
        EXPECT_EQ(table->insert(asNode(&twin), print), 0) << "an equal key is refused";
        EXPECT_EQ(table->lastMatch().element, node);
    }
    // Every other one removed: the rest stay found by both lookups, the removed by neither.
    for (std::size_t i = 0; i < nodes.size(); i += 2) {
        NodeBase* node = asNode(nodes[i].get());
        ASSERT_EQ(table->remove(node), 1);
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        TestNode probe{nodes[i]->key};
        NodeBase* expected = i % 2 ? asNode(nodes[i].get()) : nullptr;
        EXPECT_EQ(table->lookup(asNode(&probe), table->fingerprintOf(asNode(&probe))), expected)
            << probe.key;
        EXPECT_EQ(table->lookup(asNode(&probe)), expected) << probe.key;
    }
    // Without an index the fingerprint is 0 and the lookups scan the bucket.
    TablePtr plain = keyTable(false);
    TestNode cat{"cat"};
    EXPECT_EQ(plain->fingerprintOf(asNode(&cat)), 0u);
    plain->prefetch(0);
    ASSERT_EQ(plain->insert(asNode(&cat), 0), 1);
    TestNode probe{"cat"};
    EXPECT_EQ(plain->lookup(asNode(&probe), 0u), asNode(&cat));
}

int wildHash(const NodeBase*, int* row) {
    *row = 9;
    return -60;
}

TEST(NodeTableTest, AHashOutOfRangeNeverReachesOutsideTheTable) {
    TablePtr table(NodeTable::make(kTableBucketsPerRow, kTableRows, wildHash, sameKey));
    TestNode node{"x"};
    EXPECT_DEBUG_DEATH(
        {
            EXPECT_EQ(table->insert(asNode(&node)), 1);
            EXPECT_EQ(table->lookup(asNode(&node)), asNode(&node));
        },
        "out of range");
}

using testing_support::allowedAllocations;
using testing_support::countedMalloc;
using testing_support::plainFree;

TEST(NodeTableTest, RunningOutOfMemoryGivesNoTableOrRefusesTheInsert) {
    if (currentHeap())
        GTEST_SKIP() << "a heap's free lists would serve the allocations";
    TestNode node{"cat"};
    SetSystemAllocation(countedMalloc, plainFree);
    // The table object, its row array and seven rows: a failure at any of them gives null.
    for (int allowed = 0; allowed < 9; ++allowed) {
        allowedAllocations = allowed;
        EXPECT_EQ(keyTable(), nullptr) << allowed;
    }
    allowedAllocations = 9;
    TablePtr table = keyTable();
    ASSERT_NE(table, nullptr);
    // A bucket list that cannot be had. The refusal names no present node, also after an
    // earlier find matched one.
    allowedAllocations = 0;
    TestNode dog{"dog"};
    RestoreSystemAllocation();
    ASSERT_EQ(table->insert(asNode(&dog)), 1);
    ASSERT_EQ(table->lookup(asNode(&dog)), asNode(&dog));
    SetSystemAllocation(countedMalloc, plainFree);
    allowedAllocations = 0;
    EXPECT_EQ(table->insert(asNode(&node)), 0);
    EXPECT_EQ(table->lastMatch().element, nullptr) << "not the dog of the find before";
    RestoreSystemAllocation();
    EXPECT_EQ(table->lookup(asNode(&node)), nullptr);
    EXPECT_EQ(table->insert(asNode(&node)), 1);
}

} // namespace
} // namespace tarvo
