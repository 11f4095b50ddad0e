// NodeTable: rows of bucket lists found through the table's hash.
#include "containers/node_table.h"

#include <bit>
#include <cassert>
#include <cstring>
#include <limits>

namespace tarvo {
namespace {

struct EqualMatch {
    NodeEqual equal;
};

int matchWithEqual(void* context, void* element, void* value) {
    return static_cast<EqualMatch*>(context)->equal(static_cast<const NodeBase*>(element),
                                                    static_cast<const NodeBase*>(value));
}

struct TypedVisit {
    NodeContextVisitor visitor;
    void* context;
};

int visitTyped(void* context, void* element) {
    auto* visit = static_cast<TypedVisit*>(context);
    return visit->visitor(visit->context, static_cast<NodeBase*>(element));
}

int visitPlain(void* context, NodeBase* node) {
    return (*static_cast<NodeVisitor*>(context))(node);
}

} // namespace

NodeTable::NodeTable(int bucketsPerRow, int rowCount, NodeHash hash, NodeEqual equal)
    : m_bucketsPerRow(bucketsPerRow), m_rowCount(rowCount), m_hash(hash), m_equal(equal) {
    assert(bucketsPerRow > 0 && rowCount > 0 && "NodeTable: needs at least one bucket");
    assert(hash && equal && "NodeTable: needs a hash and an equality");
    if (bucketsPerRow <= 0 || rowCount <= 0)
        return;
    auto* rows = static_cast<NodeList***>(Allocate(
        static_cast<std::int32_t>(sizeof(NodeList**) * static_cast<std::size_t>(rowCount))));
    if (!rows)
        return;
    std::memset(rows, 0, sizeof(NodeList**) * static_cast<std::size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        const std::size_t bytes = sizeof(NodeList*) * static_cast<std::size_t>(bucketsPerRow);
        rows[row] = static_cast<NodeList**>(Allocate(static_cast<std::int32_t>(bytes)));
        if (!rows[row]) {
            for (int made = 0; made < row; ++made)
                Release(rows[made]);
            Release(rows);
            return;
        }
        std::memset(rows[row], 0, bytes);
    }
    m_rows = rows;
}

NodeTable::~NodeTable() {
    destroy();
}

NodeTable* NodeTable::make(int bucketsPerRow, int rowCount, NodeHash hash, NodeEqual equal,
                           NodeFingerprint fingerprint) {
    auto* table = new NodeTable(bucketsPerRow, rowCount, hash, equal);
    if (table && !table->hasRows()) {
        delete table;
        return nullptr;
    }
    // The index is made on the first insertion.
    if (table)
        table->m_fingerprint = fingerprint;
    return table;
}

// ---------------------------------------------------------------------------------------------
// The index

int NodeTable::indexHome(std::uint32_t print) const {
    // Fibonacci hashing spreads fingerprints that differ only in their low bits.
    return static_cast<int>((print * 0x9E3779B1u) >> m_indexShift);
}

int NodeTable::indexSlotOf(const NodeBase* node, std::uint32_t print) const {
    if (!m_index)
        return -1;
    for (auto slot = static_cast<std::uint32_t>(indexHome(print));;
         slot = (slot + 1) & m_indexMask) {
        const IndexSlot& at = m_index[slot];
        const NodeBase* stored = at.node();
        if (!stored)
            return -1;
        if (at.print == print && m_equal(stored, node))
            return static_cast<int>(slot);
    }
}

NodeBase* NodeTable::indexed(const NodeBase* node, std::uint32_t print) const {
    const int slot = indexSlotOf(node, print);
    return slot < 0 ? nullptr : m_index[slot].node();
}

std::uint32_t NodeTable::fingerprintOf(const NodeBase* node) const {
    return hasIndex() ? m_fingerprint(node) : 0;
}

void NodeTable::prefetch(std::uint32_t print) const {
    if (m_index)
        __builtin_prefetch(&m_index[indexHome(print)]);
}

bool NodeTable::reserveIndex() {
    const std::uint32_t slots = m_index ? m_indexMask + 1 : 0;
    // At most three quarters full, so that probe runs stay short.
    if (4u * static_cast<std::uint32_t>(m_indexCount + 1) <= 3u * slots)
        return true;
    const std::uint32_t grown = slots ? slots * 2 : 64;
    const std::size_t bytes = sizeof(IndexSlot) * grown;
    if (bytes > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    auto* index = static_cast<IndexSlot*>(Allocate(static_cast<std::int32_t>(bytes)));
    if (!index)
        return false;
    std::memset(static_cast<void*>(index), 0, bytes);
    IndexSlot* old = m_index;
    m_index = index;
    m_indexMask = grown - 1;
    m_indexShift = 32 - std::countr_zero(grown);
    m_indexCount = 0;
    for (std::uint32_t slot = 0; slot < slots; ++slot)
        if (NodeBase* node = old[slot].node())
            indexAdd(node, old[slot].print);
    Release(old);
    return true;
}

void NodeTable::indexAdd(NodeBase* node, std::uint32_t print) {
    auto slot = static_cast<std::uint32_t>(indexHome(print));
    while (m_index[slot].node())
        slot = (slot + 1) & m_indexMask;
    m_index[slot].set(print, node);
    ++m_indexCount;
}

void NodeTable::indexRemoveAt(int at) {
    // Backward shifting: every node of the run after the freed slot that may move into it
    // does, so that no probe run is broken and no tombstones pile up.
    auto hole = static_cast<std::uint32_t>(at);
    for (std::uint32_t slot = (hole + 1) & m_indexMask; m_index[slot].node();
         slot = (slot + 1) & m_indexMask) {
        const auto home = static_cast<std::uint32_t>(indexHome(m_index[slot].print));
        // The distance from its home to the slot, against that to the hole.
        if (((slot - home) & m_indexMask) < ((slot - hole) & m_indexMask))
            continue;
        m_index[hole] = m_index[slot];
        hole = slot;
    }
    m_index[hole].set(0, nullptr);
    --m_indexCount;
}

// ---------------------------------------------------------------------------------------------

NodeList** NodeTable::bucketOf(const NodeBase* node) const {
    if (!m_rows)
        return nullptr;
    int row = 0;
    int bucket = m_hash(node, &row);
    assert(row >= 0 && row < m_rowCount && "NodeTable: the hash gave a row out of range");
    assert(bucket >= 0 && bucket < m_bucketsPerRow &&
           "NodeTable: the hash gave a bucket out of range");
    // A faulty hash must not reach outside the table in a release build.
    row = static_cast<int>(static_cast<unsigned>(row) % static_cast<unsigned>(m_rowCount));
    bucket =
        static_cast<int>(static_cast<unsigned>(bucket) % static_cast<unsigned>(m_bucketsPerRow));
    return &m_rows[row][bucket];
}

bool NodeTable::isEmpty() const {
    for (int row = 0; m_rows && row < m_rowCount; ++row)
        for (int b = 0; b < m_bucketsPerRow; ++b)
            if (m_rows[row][b])
                return false;
    return true;
}

NodeList* NodeTable::bucket(int row, int bucket) const {
    if (!m_rows || row < 0 || row >= m_rowCount || bucket < 0 || bucket >= m_bucketsPerRow)
        return nullptr;
    return m_rows[row][bucket];
}

int NodeTable::placeOf(const NodeBase* stored, ListPosition* at) const {
    NodeList** bucket = bucketOf(stored);
    int global = 0;
    for (ChunkList* block = bucket ? *bucket : nullptr; block; block = block->next) {
        const auto* nodes = reinterpret_cast<NodeBase* const*>(block->data);
        for (int i = 0; i < block->count; ++i) {
            if (nodes[i] == stored) {
                *at = {block, i};
                return global + i;
            }
        }
        global += block->count;
    }
    *at = {};
    return -1;
}

ChunkList* NodeTable::find(const NodeBase* node, NodeEqual compare, int* index) {
    NodeList** bucket = bucketOf(node);
    if (!bucket || !*bucket) {
        matched(nullptr);
        return nullptr;
    }
    if (hasIndex() && (!compare || compare == m_equal)) {
        NodeBase* element = indexed(node, m_fingerprint(node));
        ListPosition at;
        if (!element || placeOf(element, &at) < 0) {
            matched(nullptr);
            return nullptr;
        }
        m_lastMatch = {at.block, at.index, element};
        if (index)
            *index = at.index;
        return at.block;
    }
    EqualMatch match{compare ? compare : m_equal};
    int at = 0;
    ChunkList* block =
        (*bucket)->findElement(matchWithEqual, &match, const_cast<NodeBase*>(node), &at);
    matched(nullptr);
    if (!block)
        return nullptr;
    m_lastMatch = {block, at, static_cast<NodeList*>(block)->node(at)};
    if (index)
        *index = at;
    return block;
}

NodeBase* NodeTable::lookup(const NodeBase* node, NodeEqual compare) {
    if (hasIndex() && (!compare || compare == m_equal))
        return lookup(node, m_fingerprint(node));
    return find(node, compare) ? m_lastMatch.element : nullptr;
}

NodeBase* NodeTable::lookup(const NodeBase* node, std::uint32_t print) {
    if (!hasIndex())
        return lookup(node, nullptr);
    assert(print == m_fingerprint(node) && "NodeTable: a lookup given another node's fingerprint");
    // The node alone is wanted, not its place in the bucket.
    matched(m_rows ? indexed(node, print) : nullptr);
    return m_lastMatch.element;
}

int NodeTable::insert(NodeBase* node) {
    return insertAt(node, -1);
}

int NodeTable::insert(NodeBase* node, std::uint32_t print) {
    assert((!hasIndex() || print == m_fingerprint(node)) &&
           "NodeTable: an insertion given another node's fingerprint");
    return insertPrinted(node, -1, print);
}

int NodeTable::insertAt(NodeBase* node, int place) {
    return insertPrinted(node, place, node ? fingerprintOf(node) : 0);
}

int NodeTable::insertPrinted(NodeBase* node, int place, std::uint32_t print) {
    assert(node && "NodeTable: cannot insert null");
    NodeList** bucket = bucketOf(node);
    // A failed insertion must not leave an earlier find's node as the one present.
    matched(nullptr);
    if (!node || !bucket)
        return 0;
    if (*bucket && (hasIndex() ? lookup(node, print) : lookup(node)))
        return 0;
    // The index makes room first, so that a refusal leaves the bucket list as it was.
    if (hasIndex() && !reserveIndex())
        return 0;
    // A failed insertion leaves a new bucket list empty; listAppend then gives it back. An
    // insertion at the end needs not count a long bucket list first.
    const bool atEnd = place < 0 || !*bucket || place >= listSize(*bucket);
    if (!(atEnd ? listAppend(*bucket, node) : (*bucket)->insertAtIndex(node, place)))
        return 0;
    if (hasIndex())
        indexAdd(node, print);
    return 1;
}

int NodeTable::remove(NodeBase*& node, int* place) {
    NodeList** bucket = bucketOf(node);
    matched(nullptr);
    if (!bucket || !*bucket)
        return 0;
    int slot = -1;
    NodeBase* stored = nullptr;
    if (hasIndex()) {
        slot = indexSlotOf(node, m_fingerprint(node));
        stored = slot < 0 ? nullptr : m_index[slot].node();
    } else if (find(node)) {
        stored = m_lastMatch.element;
    }
    ListPosition at;
    const int position = stored ? placeOf(stored, &at) : -1;
    matched(nullptr);
    if (position < 0)
        return 0;
    if (slot >= 0)
        indexRemoveAt(slot);
    if (place)
        *place = position;
    NodeList* list = *bucket;
    node = list->removeAtIndex(position);
    if (list->isEmpty()) {
        list->destroy();
        *bucket = nullptr;
    }
    return 1;
}

int NodeTable::forEach(NodeContextVisitor visitor, void* context) {
    if (!m_rows)
        return 0;
    TypedVisit visit{visitor, context};
    for (int row = 0; row < m_rowCount; ++row) {
        for (int bucket = 0; bucket < m_bucketsPerRow; ++bucket) {
            NodeList* list = m_rows[row][bucket];
            if (list && list->forEach(visitTyped, &visit))
                return 1;
        }
    }
    return 0;
}

int NodeTable::forEach(NodeVisitor visitor) {
    return forEach(visitPlain, &visitor);
}

void NodeTable::destroy() {
    if (!m_rows)
        return;
    for (int row = 0; row < m_rowCount; ++row) {
        for (int bucket = 0; bucket < m_bucketsPerRow; ++bucket) {
            if (NodeList* list = m_rows[row][bucket])
                list->destroy();
        }
        Release(m_rows[row]);
    }
    Release(m_rows);
    m_rows = nullptr;
    Release(m_index);
    m_index = nullptr;
    m_indexMask = 0;
    m_indexShift = 32;
    m_indexCount = 0;
    matched(nullptr);
}

} // namespace tarvo
