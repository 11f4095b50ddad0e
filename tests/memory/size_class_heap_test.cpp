// The size-class heap: exact reuse, buckets, stores, the report and the out-of-memory path.
#include "memory/size_class_heap.h"

#include "support/recording_ui.h"

#include "support/failing_allocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace tarvo {
namespace {

using testing_support::recordingUi;

class HeapTest : public ::testing::Test {
protected:
    void SetUp() override { CreateHeap(); }
    void TearDown() override {
        DestroyHeap();
        RestoreSystemAllocation();
        SetHeapReporter(&recordingUi());
    }

    static int recordsIn(int bucket) {
        int n = 0;
        for (SizeClass* r = currentHeap()->buckets[bucket]; r; r = r->next)
            ++n;
        return n;
    }
    static int storesOf(std::int32_t size) {
        for (SizeClass* r = currentHeap()->buckets[HeapBucketOf(size)]; r; r = r->next) {
            if (r->size != size)
                continue;
            int n = 0;
            for (FreeStore* s = r->firstStore; s; s = s->next)
                ++n;
            return n;
        }
        return -1;
    }
    static int spareStores() {
        int n = 0;
        for (FreeStore* s = currentHeap()->spareStores; s; s = s->next)
            ++n;
        return n;
    }
};

TEST_F(HeapTest, ZeroBytesGiveNoBlockOnlyWithAHeap) {
    EXPECT_EQ(Allocate(0), nullptr);
    DestroyHeap();
    void* block = Allocate(0);
    EXPECT_NE(block, nullptr) << "without a heap the system path serves every size";
    Release(block);
}

TEST_F(HeapTest, ReleasedBlockIsHandedOutAgainForTheSameSizeOnly) {
    void* a = Allocate(24);
    ASSERT_NE(a, nullptr);
    std::memset(a, 0xAB, 24);
    Release(a);
    EXPECT_EQ(IsReleased(a, 24), -1);
    EXPECT_EQ(IsReleased(a, 32), 0) << "a free block is only on the list of its own size";
    void* other = Allocate(32);
    EXPECT_NE(other, a);
    void* again = Allocate(24);
    EXPECT_EQ(again, a);
    EXPECT_EQ(IsReleased(a, 24), 0);
    Release(again);
    Release(other);
}

TEST_F(HeapTest, ReleaseToSystemPassesTheFreeLists) {
    void* kept = Allocate(4096);
    void* given = Allocate(4096);
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(given, nullptr);
    Release(kept);
    ReleaseToSystem(given);
    ReleaseToSystem(nullptr);
    EXPECT_EQ(IsReleased(kept, 4096), -1);
    EXPECT_EQ(IsReleased(given, 4096), 0) << "the block went back to the system";
    EXPECT_EQ(Allocate(4096), kept) << "only the released block is handed out again";
    Release(kept);
}

TEST_F(HeapTest, SizesOfOneBucketKeepSeparateRecords) {
    for (std::int32_t size : {16, 24, 2064})
        EXPECT_EQ(HeapBucketOf(size), 1) << size;
    EXPECT_EQ(HeapBucketOf(15), 0);
    EXPECT_EQ(HeapBucketOf(2048), 0);
    std::vector<void*> blocks;
    for (std::int32_t size : {16, 24, 2064})
        blocks.push_back(Allocate(size));
    for (void* b : blocks)
        Release(b);
    EXPECT_EQ(recordsIn(1), 3);
    EXPECT_EQ(Allocate(2064), blocks[2]);
    EXPECT_EQ(Allocate(16), blocks[0]);
    EXPECT_EQ(Allocate(24), blocks[1]);
    for (void* b : blocks)
        Release(b);
}

TEST_F(HeapTest, TheThirtyThirdReleaseOpensASecondStore) {
    std::vector<void*> blocks;
    blocks.reserve(33);
    for (int i = 0; i < 33; ++i)
        blocks.push_back(Allocate(40));
    for (int i = 0; i < 32; ++i)
        Release(blocks[static_cast<std::size_t>(i)]);
    EXPECT_EQ(storesOf(40), 1);
    Release(blocks[32]);
    EXPECT_EQ(storesOf(40), 2);
    EXPECT_EQ(spareStores(), 0);

    EXPECT_EQ(Allocate(40), blocks[32]) << "the last block released comes back first";
    EXPECT_EQ(storesOf(40), 1);
    EXPECT_EQ(spareStores(), 1) << "the emptied store waits for reuse";

    // The spare store serves the next size that needs one.
    void* small = Allocate(8);
    Release(small);
    EXPECT_EQ(spareStores(), 0);
    for (int i = 31; i >= 0; --i)
        EXPECT_EQ(Allocate(40), blocks[static_cast<std::size_t>(i)]);
    EXPECT_EQ(storesOf(40), 0);
    for (void* b : blocks)
        Release(b);
}

TEST_F(HeapTest, ManyLiveBlocksNeverOverlapAndSurviveReuse) {
    std::vector<std::pair<unsigned char*, int>> live;
    std::srand(7);
    for (int round = 0; round < 4000; ++round) {
        if (!live.empty() && std::rand() % 3 == 0) {
            const std::size_t k = static_cast<std::size_t>(std::rand()) % live.size();
            auto [p, size] = live[k];
            for (int i = 0; i < size; ++i)
                ASSERT_EQ(p[i], static_cast<unsigned char>(size)) << "block contents damaged";
            Release(p);
            live.erase(live.begin() + static_cast<long>(k));
        } else {
            const int size = 1 + std::rand() % 300;
            auto* p = static_cast<unsigned char*>(Allocate(size));
            ASSERT_NE(p, nullptr);
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(void*), 0u);
            std::memset(p, size, static_cast<std::size_t>(size));
            live.push_back({p, size});
        }
    }
    std::set<unsigned char*> distinct;
    for (auto [p, size] : live)
        distinct.insert(p);
    EXPECT_EQ(distinct.size(), live.size());
    for (auto [p, size] : live)
        Release(p);
}

TEST_F(HeapTest, DuplicateTextLeavesRoomForThirteenMore) {
    EXPECT_EQ(DuplicateText(nullptr), nullptr);
    char* copy = DuplicateText("isa");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "isa");
    Release(copy);
    EXPECT_EQ(IsReleased(copy, 3 + 14), -1) << "the block is sized text + terminator + 13";
}

TEST_F(HeapTest, ReportCountsFreeBlocksPerSize) {
    void* a = Allocate(40);
    void* b = Allocate(40);
    Release(a);
    Release(b);
    const std::string consumed = std::to_string(2 * (40 + kBlockHeaderBytes));
    EXPECT_EQ(HeapReportText(),
              "[40 x 2] \nspare 0 \nmemory used 80 \nmemory consumed " + consumed + "\n");
    HeapReport();
    ASSERT_EQ(recordingUi().boxes.size(), 1u);
    EXPECT_EQ(recordingUi().boxes[0].caption, "HEAPL:disp()");
    EXPECT_EQ(recordingUi().boxes[0].text, HeapReportText());
}

TEST_F(HeapTest, ReportListsEmptiedRecordsAndSpareStores) {
    void* a = Allocate(40);
    Release(a);
    EXPECT_EQ(Allocate(40), a);
    EXPECT_EQ(HeapReportText(), "[40 x 0] \nspare 0 \nmemory used 0 \nmemory consumed 0\n");
    Release(a);
}

TEST_F(HeapTest, DamagedRecordIsReportedAndTheSizeIsServedAnyway) {
    void* a = Allocate(40);
    Release(a);
    currentHeap()->buckets[HeapBucketOf(40)]->size = -1;
    void* b = Allocate(40);
    ASSERT_NE(b, nullptr);
    ASSERT_FALSE(recordingUi().boxes.empty());
    EXPECT_EQ(recordingUi().boxes[0].caption, "Error 999\n");
    Release(b);
    // Repair the record so that the heap can be torn down.
    currentHeap()->buckets[HeapBucketOf(40)]->next->size = 40;
}

TEST_F(HeapTest, BlocksCrossTheHeapsLifetimeBothWays) {
    DestroyHeap();
    void* early = Allocate(56);
    CreateHeap();
    Release(early);
    EXPECT_EQ(IsReleased(early, 56), -1) << "a block from before the heap joins its free lists";
    void* late = Allocate(56);
    EXPECT_EQ(late, early);
    DestroyHeap();
    Release(late); // straight back to the system; the sanitizer run checks this
    CreateHeap();
}

// Small blocks are carved one after the other from runs; a block then costs its size and its
// header, nothing more. Blocks of several runs never overlap, and each keeps what was written.
TEST_F(HeapTest, SmallBlocksArePackedAndNeverOverlapAcrossRuns) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "under the address sanitizer every block is its own";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "under the address sanitizer every block is its own";
#endif
#endif
    auto* a = static_cast<char*>(Allocate(24));
    auto* b = static_cast<char*>(Allocate(24));
    auto* odd = static_cast<char*>(Allocate(13));
    auto* after = static_cast<char*>(Allocate(8));
    EXPECT_EQ(b - a, 24 + kBlockHeaderBytes);
    EXPECT_EQ(odd - b, 24 + kBlockHeaderBytes);
    EXPECT_EQ(after - odd, 16 + kBlockHeaderBytes) << "sizes round up to keep pointers aligned";
    for (void* block : {a, b, odd, after})
        Release(block);

    // Enough blocks of a few sizes, the largest carved one among them, to fill several runs.
    struct Piece {
        unsigned char* at;
        std::int32_t size;
    };
    std::vector<Piece> pieces;
    const std::int32_t sizes[] = {8, 40, 200, kRunBlockLimit, kRunBlockLimit + 1};
    for (int i = 0; i < 6000; ++i) {
        const std::int32_t size = sizes[i % 5];
        auto* at = static_cast<unsigned char*>(Allocate(size));
        ASSERT_NE(at, nullptr);
        std::memset(at, i & 0xFF, static_cast<std::size_t>(size));
        pieces.push_back({at, size});
    }
    std::vector<Piece> sorted = pieces;
    std::sort(sorted.begin(), sorted.end(),
              [](const Piece& l, const Piece& r) { return l.at < r.at; });
    for (std::size_t i = 1; i < sorted.size(); ++i)
        ASSERT_GE(sorted[i].at - sorted[i - 1].at, sorted[i - 1].size + kBlockHeaderBytes);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        const auto fill = static_cast<unsigned char>(i & 0xFF);
        ASSERT_EQ(piece.at[0], fill) << i;
        ASSERT_EQ(piece.at[piece.size - 1], fill) << i;
    }
    // Released blocks go to their size's free list and come back for that size, as any block.
    Release(pieces[1].at);
    EXPECT_EQ(IsReleased(pieces[1].at, 40), -1);
    EXPECT_EQ(Allocate(40), pieces[1].at);
    for (const Piece& piece : pieces)
        Release(piece.at);
}

// A carved block in use when the heap goes stays usable, and goes back after it; a heap made
// later takes such a block onto its free lists like any other.
TEST_F(HeapTest, CarvedBlocksOutliveTheHeapThatCarvedThem) {
    auto* kept = static_cast<char*>(Allocate(48));
    auto* late = static_cast<char*>(Allocate(48));
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(late, nullptr);
    std::memset(kept, 'k', 48);
    DestroyHeap();
    EXPECT_EQ(kept[47], 'k');
    std::memset(late, 'l', 48);
    Release(kept);
    EXPECT_EQ(late[0], 'l') << "the run stays while one of its blocks is out";
    CreateHeap();
    Release(late);
    EXPECT_EQ(IsReleased(late, 48), -1);
    EXPECT_EQ(Allocate(48), late);
    Release(late);
}

// A test's own system allocation is asked for every block, so that its failures reach the
// callers as they did before blocks were carved.
TEST_F(HeapTest, AReplacedSystemAllocationIsAskedForEverySmallBlock) {
    void* warm = Allocate(16); // the size's record and a free block, made while memory lasts
    Release(warm);
    testing_support::allowedAllocations = 1;
    SetSystemAllocation(&testing_support::countedMalloc, &testing_support::plainFree);
    void* reused = Allocate(16);
    void* asked = Allocate(16);
    EXPECT_EQ(reused, warm) << "a free block needs no system allocation";
    EXPECT_NE(asked, nullptr);
    EXPECT_EQ(Allocate(16), nullptr) << "the next block finds the system out of memory";
    Release(reused);
    Release(asked);
}

// A reporter that keeps what the heap told it.
struct CountingReporter : HeapReporter {
    void outOfMemory(const char* message) override { outOfMemoryMessages.emplace_back(message); }
    void notice(const char* caption, const char* text, bool error) override {
        notices.push_back(std::string(caption) + (error ? " (error): " : ": ") + text);
    }
    std::vector<std::string> outOfMemoryMessages;
    std::vector<std::string> notices;
};

TEST_F(HeapTest, OutOfMemoryGoesToTheReporterOnceForEachFailure) {
    CountingReporter reporter;
    EXPECT_EQ(SetHeapReporter(&reporter), &recordingUi());
    SetSystemAllocation(&testing_support::noMemory, &testing_support::plainFree);
    EXPECT_EQ(Allocate(100), nullptr);
    ASSERT_EQ(reporter.outOfMemoryMessages.size(), 1u);
    EXPECT_EQ(reporter.outOfMemoryMessages[0], "Out of memory. Sorry!");
    // A size beyond what a block header can hold fails the same way, before asking the system.
    RestoreSystemAllocation();
    EXPECT_EQ(Allocate(std::numeric_limits<std::int32_t>::max()), nullptr);
    EXPECT_EQ(reporter.outOfMemoryMessages.size(), 2u);
    ReportOutOfMemory();
    EXPECT_EQ(reporter.outOfMemoryMessages.size(), 3u);
    EXPECT_TRUE(reporter.notices.empty());
    EXPECT_TRUE(recordingUi().boxes.empty()) << "only the installed reporter hears of it";
}

TEST_F(HeapTest, NoticesGoToTheReporterAndWithoutOneToStandardError) {
    CountingReporter reporter;
    SetHeapReporter(&reporter);
    HeapReport();
    void* a = Allocate(40);
    Release(a);
    currentHeap()->buckets[HeapBucketOf(40)]->size = -1;
    void* b = Allocate(40);
    ASSERT_EQ(reporter.notices.size(), 2u);
    EXPECT_EQ(reporter.notices[0].substr(0, 14), "HEAPL:disp(): ");
    EXPECT_EQ(reporter.notices[1],
              "Error 999\n (error): A damaged size record was found in the memory heap.");
    Release(b);
    currentHeap()->buckets[HeapBucketOf(40)]->next->size = 40;

    SetHeapReporter(nullptr);
    testing::internal::CaptureStderr();
    ReportOutOfMemory();
    HeapReport();
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written.substr(0, 44), "error: Out of memory. Sorry!\nHEAPL:disp(): [");
}

TEST_F(HeapTest, ReleaseWithoutRoomForBookkeepingGoesToTheSystem) {
    void* a = Allocate(72);
    SetSystemAllocation(&testing_support::noMemory, &testing_support::plainFree);
    Release(a); // no record can be made: the block is given back instead of lost
    EXPECT_EQ(IsReleased(a, 72), 0);
    EXPECT_TRUE(recordingUi().boxes.empty()) << "bookkeeping failures are not user errors";
}

} // namespace
} // namespace tarvo
