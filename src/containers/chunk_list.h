// An ordered list stored as a doubly linked chain of fixed-capacity blocks of byte-copied elements.
// A block's buffer may start smaller than its capacity and grows as the block fills, so that a
// list of a few elements does not pay for a whole block; the blocks' boundaries are the same
// either way.
#pragma once

#include "memory/heap_object.h"

#include <cstdint>

namespace tarvo {

class ChunkList;

// A place in a list: a block and an index within it. A null block means "no position".
struct ListPosition {
    ChunkList* block = nullptr;
    int index = 0;

    explicit operator bool() const { return block != nullptr; }
};

// Visits read each element as a pointer; a non-zero answer stops the visit at that element.
using Visitor = int (*)(void* element);
using ContextVisitor = int (*)(void* context, void* element);
// Called between two visited elements (printing uses it for separators).
using Between = void (*)();
// Non-zero when `element` matches `value`.
using ElementMatch = int (*)(void* element, void* value);
using ContextMatch = int (*)(void* context, void* element, void* value);
// Orders two elements given by address, as for std::qsort.
using ElementOrder = int (*)(const void* a, const void* b);
using Replacer = void* (*)(void* element);
using ContextReplacer = void* (*)(void* context, void* element);

// The match most callers pass: 1 when a and b are the same pointer.
int identity(void* a, void* b);

class ChunkList : public HeapObject {
public:
    static constexpr int kMaxCapacity = 255;

    // One empty block; `data` is null when its buffer could not be allocated, and such a block
    // refuses every element. The buffer starts with room for `initialRoom` elements (0 or more
    // than the capacity: the whole capacity) and doubles, up to the capacity, as it fills.
    ChunkList(int width, int blockCapacity, int initialRoom = 0);
    ChunkList(const ChunkList&) = delete;
    ChunkList& operator=(const ChunkList&) = delete;

    // Element hooks, in this order. destroyElement and copyElement run only when ownsElements
    // is set.
    virtual ChunkList* makeBlock() const;
    virtual void destroyElement(void* element);
    virtual void copyElement(void* element);
    virtual int matchElement(const void* value, const void* element) const;
    virtual float elementKey(const void* element) const;

    // A new chain with this block's and every following block's elements and fields, made with
    // makeBlock so that it has this list's type; null when memory runs out.
    ChunkList* copy() const;
    // Releases this block and every following one, elements first when they are owned.
    void destroy();

    int size() const;
    bool isEmpty() const { return count == 0 && !next; }

    // The block and index holding a global index; none when negative or at or past the end.
    ListPosition blockAt(int globalIndex) const;
    // The global index of (block, index); -1 when block is not in this chain.
    int globalIndexOf(const ChunkList* block, int index) const;
    ChunkList* lastBlock() const;
    // The last element's position; none for an empty list.
    ListPosition lastPosition() const;
    ChunkList* firstBlock() const;
    static ListPosition nextPosition(ListPosition position);
    static ListPosition prevPosition(ListPosition position);

    // Address of element `index` of this block.
    void* element(int index) const {
        return data + static_cast<std::ptrdiff_t>(index) * elementSize;
    }
    // Address of the element at a global index, or null when out of range.
    void* elementAt(int globalIndex) const;
    // Copies the element out, or zero bytes when out of range; 1 when it was there.
    int getAt(void* destination, int globalIndex) const;

    // Each of these returns the block that received the value, or null when memory ran out (the
    // list is then unchanged). An index out of range appends.
    ChunkList* append(const void* value);
    ChunkList* insertAtIndex(const void* value, int globalIndex);
    // Removes the element at globalIndex, or the last one when out of range, into destination
    // (or destroys it when destination is null); 0 for an empty list.
    int removeAtIndex(int globalIndex, void* destination);

    // Unstable sort of all elements; 0 when no sorting room could be had.
    int sort(ElementOrder compare);
    // Same block structure and byte-identical elements.
    int equals(const ChunkList* other) const;

    void* forEach(Visitor visitor, Between between = nullptr);
    void* forEach(ContextVisitor visitor, void* context, Between between = nullptr);
    void replaceEach(Replacer replace);
    void replaceEach(ContextReplacer replace, void* context);

    // The block of the first element matching value and its index through `index`; null when
    // nothing matched.
    ChunkList* findElement(void* value, ElementMatch compare, int* index = nullptr);
    ChunkList* findElement(ContextMatch compare, void* context, void* value, int* index = nullptr);
    void* findValue(void* value, ElementMatch compare);

    // The block layout. Only the list operations change these. The pointers come first and the
    // bytes last, so that a block header (every link slot has one) has no padding inside.
    char* data = nullptr;
    ChunkList* prev = nullptr;
    ChunkList* next = nullptr;
    std::int32_t elementSize;
    std::int32_t count = 0;
    std::int32_t ownsElements = 0;
    std::uint8_t reserved = 0;
    std::uint8_t capacity;
    // The elements the buffer has room for now: from the initial room up to `capacity`.
    std::uint8_t room = 0;
    // Whether `data` is storage inside the block's object rather than a buffer of its own.
    std::uint8_t inlineData = 0;

protected:
    // One empty block whose buffer, with room for `bufferRoom` elements, is `buffer`: storage
    // the block's own object holds (and so never releases), until the block outgrows it.
    ChunkList(int width, int blockCapacity, char* buffer, int bufferRoom);
    // Blocks go through destroy(), which runs the element hooks first.
    virtual ~ChunkList();

private:
    // Called on the first block whenever the chain's end changes.
    void noteLastBlock(ChunkList* last) { m_lastBlock = last == this ? nullptr : last; }

    // The first block remembers the last one so that appending to a long list does not walk
    // the chain; null while the first block is the last.
    ChunkList* m_lastBlock = nullptr;

    // makeBlock, with a block whose buffer is missing given back as null.
    ChunkList* newBlock() const;
    // Grows this block's buffer to hold at least `wanted` elements (at most the capacity); false
    // when memory ran out, the block then unchanged.
    bool reserve(int wanted);
    // A fresh block linked after the last one, or null.
    ChunkList* growBlock();
};

} // namespace tarvo
