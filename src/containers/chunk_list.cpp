// The block chain of ChunkList: growth at the end, shifting across blocks, visits and finds.
#include "containers/chunk_list.h"

#include "memory/shared_buffers.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tarvo {
namespace {

// Elements are read as pointers by the visits; a narrower element is read as far as it goes, so
// that a visit never runs past the block's buffer.
void* pointerIn(const ChunkList* block, int index) {
    void* pointer = nullptr;
    std::memcpy(&pointer, block->element(index),
                std::min(static_cast<std::size_t>(block->elementSize), sizeof pointer));
    return pointer;
}

void storePointer(ChunkList* block, int index, void* pointer) {
    std::memcpy(block->element(index), &pointer,
                std::min(static_cast<std::size_t>(block->elementSize), sizeof pointer));
}

bool holdsPointers(const ChunkList* list) {
    return list->elementSize >= static_cast<int>(sizeof(void*));
}

// The walk shared by the visits: stops at a null element or at the first non-zero answer.
// `stop`, when given, receives the position of the element answered (none without one).
template <typename Visit>
void* visitElements(ChunkList* list, Visit visit, Between between, ListPosition* stop = nullptr) {
    if (stop)
        *stop = {};
    for (ListPosition at = list->blockAt(0); at;) {
        void* element = pointerIn(at.block, at.index);
        if (!element)
            return nullptr;
        if (visit(element)) {
            if (stop)
                *stop = at;
            return element;
        }
        at = ChunkList::nextPosition(at);
        if (at && between)
            between();
    }
    return nullptr;
}

} // namespace

int identity(void* a, void* b) {
    return a == b ? 1 : 0;
}

ChunkList::ChunkList(int width, int blockCapacity, int initialRoom)
    : elementSize(width), capacity(static_cast<std::uint8_t>(blockCapacity)) {
    assert(width > 0 && "ChunkList: element size must be positive");
    assert(blockCapacity > 0 && blockCapacity <= kMaxCapacity &&
           "ChunkList: capacity must be 1 to 255");
    if (width <= 0 || blockCapacity <= 0 || blockCapacity > kMaxCapacity ||
        static_cast<std::int64_t>(width) * blockCapacity > std::numeric_limits<std::int32_t>::max())
        return;
    const int first = initialRoom <= 0 || initialRoom > blockCapacity ? blockCapacity : initialRoom;
    const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(first);
    data = static_cast<char*>(Allocate(static_cast<std::int32_t>(bytes)));
    if (!data)
        return;
    std::memset(data, 0, bytes);
    room = static_cast<std::uint8_t>(first);
}

ChunkList::ChunkList(int width, int blockCapacity, char* buffer, int bufferRoom)
    : elementSize(width), capacity(static_cast<std::uint8_t>(blockCapacity)) {
    assert(width > 0 && blockCapacity > 0 && blockCapacity <= kMaxCapacity && buffer &&
           bufferRoom > 0 && bufferRoom <= blockCapacity && "ChunkList: a bad inline buffer");
    data = buffer;
    room = static_cast<std::uint8_t>(bufferRoom);
    inlineData = 1;
    std::memset(data, 0, static_cast<std::size_t>(width) * static_cast<std::size_t>(bufferRoom));
}

bool ChunkList::reserve(int wanted) {
    if (wanted <= room)
        return true;
    if (!data || wanted > capacity)
        return false;
    int grown = room > 0 ? room : 1;
    while (grown < wanted)
        grown *= 2;
    grown = std::min(grown, static_cast<int>(capacity));
    const auto width = static_cast<std::size_t>(elementSize);
    const std::size_t bytes = width * static_cast<std::size_t>(grown);
    auto* buffer = static_cast<char*>(Allocate(static_cast<std::int32_t>(bytes)));
    if (!buffer)
        return false;
    const std::size_t kept = width * static_cast<std::size_t>(count);
    std::memcpy(buffer, data, kept);
    std::memset(buffer + kept, 0, bytes - kept);
    if (!inlineData)
        Release(data);
    data = buffer;
    inlineData = 0;
    room = static_cast<std::uint8_t>(grown);
    return true;
}

ChunkList::~ChunkList() {
    if (!inlineData)
        Release(data);
}

ChunkList* ChunkList::makeBlock() const {
    auto* block = new ChunkList(elementSize, capacity);
    if (block)
        block->ownsElements = ownsElements;
    return block;
}

void ChunkList::destroyElement(void*) {}
void ChunkList::copyElement(void*) {}
int ChunkList::matchElement(const void*, const void*) const {
    return 0;
}
float ChunkList::elementKey(const void*) const {
    return 0.0f;
}

ChunkList* ChunkList::newBlock() const {
    ChunkList* block = makeBlock();
    if (block && !block->data) {
        block->destroy();
        return nullptr;
    }
    assert((!block || (block->elementSize == elementSize && block->capacity == capacity)) &&
           "ChunkList: makeBlock must keep the element size and capacity");
    return block;
}

ChunkList* ChunkList::growBlock() {
    ChunkList* last = lastBlock();
    ChunkList* block = last->newBlock();
    if (!block)
        return nullptr;
    block->prev = last;
    last->next = block;
    firstBlock()->noteLastBlock(block);
    return block;
}

ChunkList* ChunkList::copy() const {
    ChunkList* head = nullptr;
    ChunkList* tail = nullptr;
    for (const ChunkList* from = this; from; from = from->next) {
        ChunkList* block = from->newBlock();
        if (!block) {
            if (head)
                head->destroy();
            return nullptr;
        }
        block->reserved = from->reserved;
        block->ownsElements = from->ownsElements;
        if (!block->reserve(from->count)) {
            block->destroy();
            if (head)
                head->destroy();
            return nullptr;
        }
        std::memcpy(block->data, from->data,
                    static_cast<std::size_t>(from->count) * static_cast<std::size_t>(elementSize));
        block->count = from->count;
        if (block->ownsElements) {
            for (int i = 0; i < block->count; ++i)
                block->copyElement(block->element(i));
        }
        block->prev = tail;
        if (tail)
            tail->next = block;
        else
            head = block;
        tail = block;
    }
    head->noteLastBlock(tail);
    return head;
}

void ChunkList::destroy() {
    // A chain cut off in the middle must not leave its predecessor pointing at freed blocks.
    if (prev) {
        firstBlock()->noteLastBlock(prev);
        prev->next = nullptr;
    }
    ChunkList* block = this;
    while (block) {
        ChunkList* following = block->next;
        if (block->ownsElements) {
            for (int i = 0; i < block->count; ++i)
                block->destroyElement(block->element(i));
        }
        delete block;
        block = following;
    }
}

int ChunkList::size() const {
    int total = 0;
    for (const ChunkList* block = this; block; block = block->next)
        total += block->count;
    return total;
}

ListPosition ChunkList::blockAt(int globalIndex) const {
    if (globalIndex < 0)
        return {};
    for (const ChunkList* block = this; block; block = block->next) {
        if (globalIndex < block->count)
            return {const_cast<ChunkList*>(block), globalIndex};
        globalIndex -= block->count;
    }
    return {};
}

int ChunkList::globalIndexOf(const ChunkList* block, int index) const {
    int before = 0;
    for (const ChunkList* at = this; at; at = at->next) {
        if (at == block)
            return before + index;
        before += at->count;
    }
    assert(false && "ChunkList: globalIndexOf of a block from another list");
    return -1;
}

ChunkList* ChunkList::lastBlock() const {
    if (!prev && m_lastBlock)
        return m_lastBlock;
    const ChunkList* block = this;
    while (block->next)
        block = block->next;
    return const_cast<ChunkList*>(block);
}

ListPosition ChunkList::lastPosition() const {
    ChunkList* last = lastBlock();
    if (last->count == 0)
        return {};
    return {last, last->count - 1};
}

ChunkList* ChunkList::firstBlock() const {
    const ChunkList* block = this;
    while (block->prev)
        block = block->prev;
    return const_cast<ChunkList*>(block);
}

ListPosition ChunkList::nextPosition(ListPosition position) {
    if (!position)
        return {};
    if (position.index + 1 < position.block->count)
        return {position.block, position.index + 1};
    ChunkList* following = position.block->next;
    if (!following || following->count == 0)
        return {};
    return {following, 0};
}

ListPosition ChunkList::prevPosition(ListPosition position) {
    if (!position)
        return {};
    if (position.index > 0)
        return {position.block, position.index - 1};
    ChunkList* before = position.block->prev;
    if (!before || before->count == 0)
        return {};
    return {before, before->count - 1};
}

void* ChunkList::elementAt(int globalIndex) const {
    const ListPosition position = blockAt(globalIndex);
    return position ? position.block->element(position.index) : nullptr;
}

int ChunkList::getAt(void* destination, int globalIndex) const {
    const void* source = elementAt(globalIndex);
    if (!source) {
        std::memset(destination, 0, static_cast<std::size_t>(elementSize));
        return 0;
    }
    std::memcpy(destination, source, static_cast<std::size_t>(elementSize));
    return 1;
}

ChunkList* ChunkList::append(const void* value) {
    ChunkList* last = lastBlock();
    if (!last->data)
        return nullptr;
    if (last->count == last->capacity) {
        last = growBlock();
        if (!last)
            return nullptr;
    }
    if (!last->reserve(last->count + 1))
        return nullptr;
    std::memcpy(last->element(last->count), value, static_cast<std::size_t>(elementSize));
    ++last->count;
    return last;
}

ChunkList* ChunkList::insertAtIndex(const void* value, int globalIndex) {
    const ListPosition at = blockAt(globalIndex);
    if (!at)
        return append(value);
    ChunkList* last = lastBlock();
    if (last->count == last->capacity) {
        last = growBlock();
        if (!last)
            return nullptr;
    }
    // Every block before the last is full, so only the last one may need a larger buffer; a
    // fresh block always has room for its first element.
    if (!last->reserve(last->count + 1))
        return nullptr;
    ++last->count;
    const std::size_t width = static_cast<std::size_t>(elementSize);
    // From the end backwards, each block after the target moves up by one and takes the last
    // element of the (full) block before it.
    for (ChunkList* block = last; block != at.block; block = block->prev) {
        std::memmove(block->element(1), block->element(0),
                     static_cast<std::size_t>(block->count - 1) * width);
        const ChunkList* before = block->prev;
        std::memcpy(block->element(0), before->element(before->count - 1), width);
    }
    ChunkList* target = at.block;
    std::memmove(target->element(at.index + 1), target->element(at.index),
                 static_cast<std::size_t>(target->count - 1 - at.index) * width);
    std::memcpy(target->element(at.index), value, width);
    return target;
}

int ChunkList::removeAtIndex(int globalIndex, void* destination) {
    ListPosition at = blockAt(globalIndex);
    if (!at)
        at = lastPosition();
    if (!at)
        return 0;
    const std::size_t width = static_cast<std::size_t>(elementSize);
    ChunkList* block = at.block;
    if (destination)
        std::memcpy(destination, block->element(at.index), width);
    else if (block->ownsElements)
        block->destroyElement(block->element(at.index));

    std::memmove(block->element(at.index), block->element(at.index + 1),
                 static_cast<std::size_t>(block->count - 1 - at.index) * width);
    // Each following block hands its first element back to the end of the block before it.
    ChunkList* last = block;
    for (ChunkList* following = block->next; following; following = following->next) {
        std::memcpy(last->element(last->count - 1), following->element(0), width);
        std::memmove(following->element(0), following->element(1),
                     static_cast<std::size_t>(following->count - 1) * width);
        last = following;
    }
    --last->count;
    if (last->count == 0 && last->prev) {
        // Unlinked here rather than by destroy(), which would walk back from the last block.
        ChunkList* before = last->prev;
        firstBlock()->noteLastBlock(before);
        before->next = nullptr;
        last->prev = nullptr;
        last->destroy();
    }
    return 1;
}

int ChunkList::sort(ElementOrder compare) {
    const int total = size();
    if (total < 2)
        return 1;
    const std::int64_t bytes = static_cast<std::int64_t>(total) * elementSize;
    if (bytes > std::numeric_limits<std::int32_t>::max())
        return 0;
    // Small sorts borrow the shared word buffer so that they allocate nothing.
    char* area = sharedBuffers().word;
    const bool borrowed = area && bytes < kWordBufferBytes;
    if (!borrowed)
        area = static_cast<char*>(Allocate(static_cast<std::int32_t>(bytes)));
    if (!area)
        return 0;

    char* at = area;
    for (const ChunkList* block = this; block; block = block->next) {
        const std::size_t blockBytes =
            static_cast<std::size_t>(block->count) * static_cast<std::size_t>(elementSize);
        std::memcpy(at, block->data, blockBytes);
        at += blockBytes;
    }
    std::qsort(area, static_cast<std::size_t>(total), static_cast<std::size_t>(elementSize),
               compare);
    at = area;
    for (ChunkList* block = this; block; block = block->next) {
        const std::size_t blockBytes =
            static_cast<std::size_t>(block->count) * static_cast<std::size_t>(elementSize);
        std::memcpy(block->data, at, blockBytes);
        at += blockBytes;
    }
    if (!borrowed)
        Release(area);
    return 1;
}

int ChunkList::equals(const ChunkList* other) const {
    if (!other || other->elementSize != elementSize)
        return 0;
    const ChunkList* mine = this;
    const ChunkList* theirs = other;
    for (; mine && theirs; mine = mine->next, theirs = theirs->next) {
        if (mine->count != theirs->count)
            return 0;
        if (std::memcmp(mine->data, theirs->data,
                        static_cast<std::size_t>(mine->count) *
                            static_cast<std::size_t>(elementSize)) != 0)
            return 0;
    }
    return !mine && !theirs ? 1 : 0;
}

void* ChunkList::forEach(Visitor visitor, Between between) {
    assert(holdsPointers(this) && "ChunkList: visits need elements that hold a pointer");
    return visitElements(
        this, [visitor](void* element) { return visitor(element); }, between);
}

void* ChunkList::forEach(ContextVisitor visitor, void* context, Between between) {
    assert(holdsPointers(this) && "ChunkList: visits need elements that hold a pointer");
    return visitElements(
        this, [visitor, context](void* element) { return visitor(context, element); }, between);
}

void ChunkList::replaceEach(Replacer replace) {
    assert(holdsPointers(this) && "ChunkList: replacing needs elements that hold a pointer");
    for (ChunkList* block = this; block; block = block->next) {
        for (int i = 0; i < block->count; ++i) {
            storePointer(block, i, replace(pointerIn(block, i)));
        }
    }
}

void ChunkList::replaceEach(ContextReplacer replace, void* context) {
    assert(holdsPointers(this) && "ChunkList: replacing needs elements that hold a pointer");
    for (ChunkList* block = this; block; block = block->next) {
        for (int i = 0; i < block->count; ++i) {
            storePointer(block, i, replace(context, pointerIn(block, i)));
        }
    }
}

ChunkList* ChunkList::findElement(ContextMatch compare, void* context, void* value, int* index) {
    assert(holdsPointers(this) && "ChunkList: finds need elements that hold a pointer");
    ListPosition at;
    void* found = visitElements(
        this, [=](void* element) { return compare(context, element, value); }, nullptr, &at);
    if (!found)
        return nullptr;
    if (index)
        *index = at.index;
    return at.block;
}

ChunkList* ChunkList::findElement(void* value, ElementMatch compare, int* index) {
    auto plain = [](void* context, void* element, void* wanted) {
        return (*static_cast<ElementMatch*>(context))(element, wanted);
    };
    return findElement(plain, &compare, value, index);
}

void* ChunkList::findValue(void* value, ElementMatch compare) {
    int index = 0;
    ChunkList* block = findElement(value, compare, &index);
    return block ? pointerIn(block, index) : nullptr;
}

} // namespace tarvo
