// The size-class heap: exact-size free lists that never give memory back until the heap goes.
#include "memory/size_class_heap.h"

#include <cassert>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace tarvo {
namespace {

void* mallocBlock(std::size_t bytes) {
    return std::malloc(bytes);
}
void freeBlock(void* memory) {
    std::free(memory);
}

struct MemoryState {
    SizeClassHeap* heap = nullptr;
    SystemAllocate systemAllocate = &mallocBlock;
    SystemFree systemFree = &freeBlock;
    HeapReporter* reporter = nullptr;
};

// The allocator serves the whole process, so its state, the reporter included, is the process's.
MemoryState& memory() {
    // One allocator per process: every node and text of every network comes from it.
    static MemoryState state;
    return state;
}

char* blockStart(void* block) {
    return static_cast<char*>(block) - kBlockHeaderBytes;
}

std::int32_t sizeWordOf(void* block) {
    std::int32_t size;
    std::memcpy(&size, blockStart(block), sizeof size);
    return size;
}

void writeHeader(char* start, std::int32_t size, std::uint32_t runOffset) {
    std::memcpy(start, &size, sizeof size);
    std::memcpy(start + sizeof size, &runOffset, sizeof runOffset);
}

// The run a block was carved from, or null for a block of its own.
BlockRun* runOf(void* block) {
    std::uint32_t offset;
    std::memcpy(&offset, blockStart(block) + sizeof(std::int32_t), sizeof offset);
    return offset ? reinterpret_cast<BlockRun*>(blockStart(block) - offset) : nullptr;
}

constexpr std::size_t kRunBytes = std::size_t{256} * 1024;
// The blocks of a run start after its record, at the alignment the system gives.
constexpr std::size_t kRunRecordBytes = (sizeof(BlockRun) + 15) / 16 * 16;
static_assert(kRunBytes <= UINT32_MAX, "a block's header holds its offset in its run");

// Runs serve only the ordinary system allocation: a test that replaces it to make allocation
// fail expects every block to ask it. Under the address sanitizer every block is its own, so
// that overruns between neighbours are still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCarveRuns = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCarveRuns = false;
#else
constexpr bool kCarveRuns = true;
#endif
#else
constexpr bool kCarveRuns = true;
#endif

} // namespace

namespace {

// A box with an OK button, through the reporter or else on standard error.
void notice(const char* caption, const char* text, bool error) {
    if (HeapReporter* reporter = memory().reporter) {
        reporter->notice(caption, text, error);
        return;
    }
    std::string line = caption;
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    std::fprintf(stderr, "%s: %s\n", line.c_str(), text);
}

} // namespace

void ReportOutOfMemory() {
    const char* const message = "Out of memory. Sorry!";
    if (HeapReporter* reporter = memory().reporter)
        reporter->outOfMemory(message);
    else
        std::fprintf(stderr, "error: %s\n", message);
}

namespace {

// A block with its header straight from the system, or null after the out-of-memory report.
void* systemBlock(std::int32_t size) {
    if (size > std::numeric_limits<std::int32_t>::max() - kBlockHeaderBytes) {
        ReportOutOfMemory();
        return nullptr;
    }
    char* start = static_cast<char*>(
        memory().systemAllocate(static_cast<std::size_t>(size) + kBlockHeaderBytes));
    if (!start) {
        ReportOutOfMemory();
        return nullptr;
    }
    writeHeader(start, size, 0);
    return start + kBlockHeaderBytes;
}

bool carvesRuns() {
    return kCarveRuns && memory().systemAllocate == &mallocBlock;
}

// A small block from the newest run, a new run begun when it is full; null when no run could be
// had, and the caller then asks the system for the block alone.
void* carvedBlock(SizeClassHeap& heap, std::int32_t size) {
    const auto bytes = (static_cast<std::size_t>(size) + kBlockHeaderBytes + 7) / 8 * 8;
    if (!heap.runs || static_cast<std::size_t>(heap.runEnd - heap.runFree) < bytes) {
        auto* start = static_cast<char*>(mallocBlock(kRunBytes));
        if (!start)
            return nullptr;
        auto* run = reinterpret_cast<BlockRun*>(start);
        *run = {heap.runs, 0, false};
        heap.runs = run;
        heap.runFree = start + kRunRecordBytes;
        heap.runEnd = start + kRunBytes;
    }
    char* start = heap.runFree;
    heap.runFree += bytes;
    writeHeader(start, size,
                static_cast<std::uint32_t>(start - reinterpret_cast<char*>(heap.runs)));
    ++heap.runs->blocksOut;
    return start + kBlockHeaderBytes;
}

// Gives a block back for good: a block of its own to the system, a carved one to its run, which
// goes back to the system once the heap has gone and its last block is back.
void freeSystemBlock(void* block) {
    BlockRun* run = runOf(block);
    if (!run) {
        memory().systemFree(blockStart(block));
        return;
    }
    if (--run->blocksOut == 0 && run->orphaned)
        freeBlock(run);
}

// The heap's own records come from the system too; a failure here is not reported because the
// callers have a way around it (the block then bypasses the free lists).
template <typename T> T* systemRecord() {
    return static_cast<T*>(memory().systemAllocate(sizeof(T)));
}

void showDamagedHeap() {
    char caption[32];
    std::snprintf(caption, sizeof caption, "Error %d\n", 999);
    notice(caption, "A damaged size record was found in the memory heap.", true);
}

// The size record for `size`, made when missing; null only when no record could be made.
SizeClass* findSizeClass(SizeClassHeap& heap, std::int32_t size) {
    SizeClass*& head = heap.buckets[HeapBucketOf(size)];
    SizeClass* before = nullptr;
    for (SizeClass* record = head; record; before = record, record = record->next) {
        if (record->size == -1) {
            showDamagedHeap();
            break;
        }
        if (record->size != size)
            continue;
        // The size met goes to the front of its bucket: a program asks for a few sizes far
        // more often than for the others.
        if (before) {
            before->next = record->next;
            record->next = head;
            head = record;
        }
        return record;
    }
    SizeClass* record = heap.spareRecords;
    if (record)
        heap.spareRecords = record->next;
    else if (!(record = systemRecord<SizeClass>()))
        return nullptr;
    record->firstStore = nullptr;
    record->size = size;
    record->next = head;
    head = record;
    return record;
}

FreeStore* takeStore(SizeClassHeap& heap) {
    FreeStore* store = heap.spareStores;
    if (store)
        heap.spareStores = store->next;
    else if (!(store = systemRecord<FreeStore>()))
        return nullptr;
    store->next = nullptr;
    store->used = 0;
    return store;
}

void* popFreeBlock(SizeClassHeap& heap, SizeClass& record) {
    FreeStore* store = record.firstStore;
    if (!store || store->used == 0)
        return nullptr;
    void* block = store->pointers[--store->used];
    if (store->used == 0) {
        record.firstStore = store->next;
        store->next = heap.spareStores;
        heap.spareStores = store;
    }
    return block;
}

bool pushFreeBlock(SizeClassHeap& heap, SizeClass& record, void* block) {
    FreeStore* store = record.firstStore;
    if (!store || store->used == kFreeStoreSlots) {
        FreeStore* fresh = takeStore(heap);
        if (!fresh)
            return false;
        fresh->next = store;
        record.firstStore = fresh;
        store = fresh;
    }
    store->pointers[store->used++] = block;
    return true;
}

} // namespace

SizeClassHeap* currentHeap() {
    return memory().heap;
}

int HeapBucketOf(std::int32_t size) {
    // Unsigned arithmetic keeps the damaged-record marker and any odd size in range.
    return static_cast<int>((static_cast<std::uint32_t>(size) / 16u) % kHeapBucketCount);
}

void CreateHeap() {
    if (memory().heap)
        return;
    auto* heap = systemRecord<SizeClassHeap>();
    if (!heap) {
        ReportOutOfMemory();
        return;
    }
    std::memset(heap, 0, sizeof *heap);
    memory().heap = heap;
}

void DestroyHeap() {
    SizeClassHeap* heap = memory().heap;
    if (!heap)
        return;
    SystemFree give = memory().systemFree;
    for (SizeClass* bucket : heap->buckets) {
        for (SizeClass* record = bucket; record;) {
            for (FreeStore* store = record->firstStore; store;) {
                for (int i = 0; i < store->used; ++i)
                    freeSystemBlock(store->pointers[i]);
                FreeStore* next = store->next;
                give(store);
                store = next;
            }
            SizeClass* next = record->next;
            give(record);
            record = next;
        }
    }
    for (FreeStore* store = heap->spareStores; store;) {
        FreeStore* next = store->next;
        give(store);
        store = next;
    }
    // A run whose blocks are all back goes now; one with blocks still in use goes when the last
    // of them is released.
    for (BlockRun* run = heap->runs; run;) {
        BlockRun* next = run->next;
        if (run->blocksOut == 0)
            freeBlock(run);
        else
            run->orphaned = true;
        run = next;
    }
    for (SizeClass* record = heap->spareRecords; record;) {
        SizeClass* next = record->next;
        give(record);
        record = next;
    }
    give(heap);
    memory().heap = nullptr;
}

void* Allocate(std::int32_t size) {
    assert(size >= 0 && "Allocate: negative size");
    if (size < 0)
        return nullptr;
    SizeClassHeap* heap = memory().heap;
    if (!heap)
        return systemBlock(size);
    if (size == 0)
        return nullptr;
    if (SizeClass* record = findSizeClass(*heap, size)) {
        if (void* block = popFreeBlock(*heap, *record))
            return block;
    }
    if (size <= kRunBlockLimit && carvesRuns())
        if (void* block = carvedBlock(*heap, size))
            return block;
    return systemBlock(size);
}

void Release(void* block) {
    if (!block)
        return;
    SizeClassHeap* heap = memory().heap;
    if (!heap) {
        freeSystemBlock(block);
        return;
    }
    SizeClass* record = findSizeClass(*heap, sizeWordOf(block));
    // Without room on the free lists the block simply goes back to the system.
    if (!record || !pushFreeBlock(*heap, *record, block))
        freeSystemBlock(block);
}

void ReleaseToSystem(void* block) {
    if (block)
        freeSystemBlock(block);
}

char* DuplicateText(const char* text) {
    if (!text)
        return nullptr;
    const std::size_t length = std::strlen(text);
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 14)) {
        ReportOutOfMemory();
        return nullptr;
    }
    auto* copy = static_cast<char*>(Allocate(static_cast<std::int32_t>(length + 14)));
    if (copy)
        std::memcpy(copy, text, length + 1);
    return copy;
}

char* CopyText(std::string_view text) {
    if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return nullptr;
    auto* copy = static_cast<char*>(Allocate(static_cast<std::int32_t>(text.size() + 1)));
    if (!copy)
        return nullptr;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

int IsReleased(void* block, std::int32_t size) {
    SizeClassHeap* heap = memory().heap;
    if (!heap)
        return 0;
    SizeClass* record = findSizeClass(*heap, size);
    if (!record)
        return 0;
    for (FreeStore* store = record->firstStore; store; store = store->next)
        for (int i = 0; i < store->used; ++i)
            if (store->pointers[i] == block)
                return -1;
    return 0;
}

std::string HeapReportText() {
    SizeClassHeap* heap = memory().heap;
    std::string text;
    unsigned long long used = 0;
    unsigned long long consumed = 0;
    unsigned spare = 0;
    char piece[64];
    if (heap) {
        for (SizeClass* bucket : heap->buckets) {
            for (SizeClass* record = bucket; record; record = record->next) {
                unsigned count = 0;
                for (FreeStore* store = record->firstStore; store; store = store->next)
                    count += static_cast<unsigned>(store->used);
                std::snprintf(piece, sizeof piece, "[%u x %u] ",
                              static_cast<unsigned>(record->size), count);
                text += piece;
                const auto size = static_cast<std::uint32_t>(record->size);
                used += static_cast<unsigned long long>(size) * count;
                consumed += (static_cast<unsigned long long>(size) + kBlockHeaderBytes) * count;
            }
        }
        for (FreeStore* store = heap->spareStores; store; store = store->next)
            spare += static_cast<unsigned>(store->used);
    }
    std::snprintf(piece, sizeof piece, "\nspare %u ", spare);
    text += piece;
    std::snprintf(piece, sizeof piece, "\nmemory used %llu ", used);
    text += piece;
    std::snprintf(piece, sizeof piece, "\nmemory consumed %llu\n", consumed);
    text += piece;
    return text;
}

void HeapReport() {
    const std::string text = HeapReportText();
    notice("HEAPL:disp()", text.c_str(), false);
}

void SetSystemAllocation(SystemAllocate allocate, SystemFree free) {
    memory().systemAllocate = allocate;
    memory().systemFree = free;
}

void RestoreSystemAllocation() {
    SetSystemAllocation(&mallocBlock, &freeBlock);
}

HeapReporter* SetHeapReporter(HeapReporter* reporter) {
    return std::exchange(memory().reporter, reporter);
}

} // namespace tarvo
