// The program's memory: a size-class heap that keeps released blocks on free lists for reuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// Every block handed out is preceded by a header whose first word holds the requested size.
// The header is one word wide in principle; it is padded to 8 bytes so that the data after it
// stays aligned for pointers on this machine. The second word says where a small block's run
// begins (see BlockRun), 0 for a block of its own from the system.
inline constexpr int kBlockHeaderBytes = 8;
// Blocks up to this size are carved out of runs.
inline constexpr std::int32_t kRunBlockLimit = 512;

inline constexpr int kHeapBucketCount = 128;
inline constexpr int kFreeStoreSlots = 32;

// A chain of up to 32 free blocks of one size.
struct FreeStore {
    void* pointers[kFreeStoreSlots];
    FreeStore* next;
    int used;
};

// The free blocks of one exact size.
struct SizeClass {
    FreeStore* firstStore;
    std::int32_t size;
    SizeClass* next;
};

// A large piece of system memory that small blocks are carved from, one after the other: such a
// block costs its header and nothing more, where a block of its own from the system also pays
// the system's header and rounding. A run counts its blocks that are out (those on the free
// lists included), and goes back to the system with the heap, or after it, when its last block
// comes back.
struct BlockRun {
    BlockRun* next;
    std::int64_t blocksOut;
    // Set when the heap went while blocks of the run were still in use.
    bool orphaned;
};

struct SizeClassHeap {
    SizeClass* buckets[kHeapBucketCount];
    SizeClass* spareRecords;
    FreeStore* spareStores;
    // The runs, the newest first, and the part of the newest not yet carved.
    BlockRun* runs;
    char* runFree;
    char* runEnd;
};

// The heap in use, or null before CreateHeap and after DestroyHeap.
SizeClassHeap* currentHeap();

// The bucket a block size belongs to.
int HeapBucketOf(std::int32_t size);

void CreateHeap();
void DestroyHeap();

// A block of at least `size` bytes, or null for size 0 (with a heap) and when memory runs out.
void* Allocate(std::int32_t size);
// Gives a block from Allocate back; null is ignored.
void Release(void* block);
// Gives a block from Allocate straight back to the system, past the free lists: for big
// buffers that grow, whose old sizes are not asked for again, and would otherwise stay held
// on free lists for the rest of the run. Null is ignored.
void ReleaseToSystem(void* block);
// A copy of `text` in a new block with room for 13 more characters, or null for null.
char* DuplicateText(const char* text);
// A copy of `text` in a block just big enough for it and its terminator, or null when memory
// runs out.
char* CopyText(std::string_view text);
// -1 when `block` is on the free list of `size`, else 0.
int IsReleased(void* block, std::int32_t size);

// The heap statistics as one text, and the box that shows it.
std::string HeapReportText();
void HeapReport();

// The system allocation under the heap; tests replace it to make allocation fail.
using SystemAllocate = void* (*)(std::size_t bytes);
using SystemFree = void (*)(void* memory);
void SetSystemAllocation(SystemAllocate allocate, SystemFree free);
void RestoreSystemAllocation();

// What the heap tells the user. The shell hands in one that shows the program's boxes; without
// one the heap writes to standard error.
class HeapReporter {
public:
    virtual ~HeapReporter() = default;
    // Memory ran out: the fatal error box with `message`, and the program's way out after it.
    virtual void outOfMemory(const char* message) = 0;
    // A box with an OK button: a damaged size record (`error`), the heap statistics.
    virtual void notice(const char* caption, const char* text, bool error) = 0;
};

// The fatal "Out of memory" report, for memory that other allocators failed to give.
void ReportOutOfMemory();

// Installs `reporter` (null: standard error) and answers the previous one.
HeapReporter* SetHeapReporter(HeapReporter* reporter);

} // namespace tarvo
