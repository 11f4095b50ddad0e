// NodeTable, the fixed-size hash table that indexes the nodes of a network or of a view.
#pragma once

#include "containers/node_list.h"
#include "memory/heap_object.h"

#include <cstdint>
#include <cstring>

namespace tarvo {

inline constexpr int kTableBucketsPerRow = 49;
inline constexpr int kTableRows = 7;

// The bucket of a node within its row; the row through `row`.
using NodeHash = int (*)(const NodeBase* node, int* row);
// Non-zero when a and b are the same node for the table; `a` is the stored node.
using NodeEqual = int (*)(const NodeBase* a, const NodeBase* b);
// A number that equal nodes share, so that most unequal ones are told apart without comparing
// their keys.
using NodeFingerprint = std::uint32_t (*)(const NodeBase* node);
using NodeVisitor = int (*)(NodeBase* node);
using NodeContextVisitor = int (*)(void* context, NodeBase* node);

// The rows and buckets never grow or rehash: each bucket's list grows with its nodes, and the
// order of forEach is that of the rows, buckets and lists. With a fingerprint function the table
// also keeps an index, an open-addressing hash of the fingerprints that grows as it fills, which
// answers lookups in constant time however long the bucket lists get. The table owns the bucket
// lists and the index but not the nodes, which their maker destroys before the table. A node's
// key must not change while it is in the table: a rename takes the node out and puts it back.
class NodeTable : public HeapObject {
public:
    NodeTable(int bucketsPerRow, int rowCount, NodeHash hash, NodeEqual equal);
    NodeTable(const NodeTable&) = delete;
    NodeTable& operator=(const NodeTable&) = delete;
    ~NodeTable();

    // A table with its rows, or null when memory runs out.
    static NodeTable* make(int bucketsPerRow, int rowCount, NodeHash hash, NodeEqual equal,
                           NodeFingerprint fingerprint = nullptr);

    // Where the table's latest find stopped: the block, the index and the node matched; empty
    // when nothing matched. A lookup and a refused insertion set only the node (the block stays
    // null), as only find has to work out where the node stands. Valid until the table's next
    // find, lookup, insert or removal.
    struct LastMatch {
        ChunkList* block = nullptr;
        int index = 0;
        NodeBase* element = nullptr;
    };

    // The block of the bucket list holding the node that compare (default: equal) matches, its
    // index through `index`; sets the last match, which is empty when nothing matched.
    ChunkList* find(const NodeBase* node, NodeEqual compare = nullptr, int* index = nullptr);
    NodeBase* lookup(const NodeBase* node, NodeEqual compare = nullptr);
    // The fingerprint the index files `node` under; 0 for a table without an index.
    std::uint32_t fingerprintOf(const NodeBase* node) const;
    // lookup and insert for a caller that has the node's fingerprint already (fingerprintOf),
    // so that a key looked up and then entered is fingerprinted once.
    NodeBase* lookup(const NodeBase* node, std::uint32_t print);
    int insert(NodeBase* node, std::uint32_t print);
    // Asks the processor for the index slot where a lookup of `print` starts, so that a caller
    // with work to do before the lookup does not wait for memory at it.
    void prefetch(std::uint32_t print) const;
    // Calls f with each node the index files under `print`, comparing no keys: for a caller that
    // brings them into the cache well ahead of its lookup.
    template <typename F> void forEachFiled(std::uint32_t print, F&& f) const {
        if (!m_index)
            return;
        for (auto slot = static_cast<std::uint32_t>(indexHome(print));;
             slot = (slot + 1) & m_indexMask) {
            const IndexSlot& at = m_index[slot];
            NodeBase* stored = at.node();
            if (!stored)
                return;
            if (at.print == print)
                f(stored);
        }
    }
    // 1 when inserted at the end of its bucket; 0 when an equal node is present, which is then
    // the last match's element (or when memory ran out, with an empty last match).
    int insert(NodeBase* node);
    // As insert, at `place` in its bucket's list (negative or past the end: at the end). Putting
    // a removed node back at the place its removal reported gives back the bucket as it was,
    // and with it the order of forEach.
    int insertAt(NodeBase* node, int place);
    // Removes the node equal to `node` and hands the stored node back through it, and its place
    // in its bucket's list through `place`; 0 when absent.
    int remove(NodeBase*& node, int* place = nullptr);
    // Rows, buckets and lists in order; 1 at the first visitor call answering non-zero, else 0.
    int forEach(NodeVisitor visitor);
    int forEach(NodeContextVisitor visitor, void* context);
    // Releases the bucket lists (not the nodes) and the rows.
    void destroy();

    bool hasRows() const { return m_rows != nullptr; }
    // No node in any bucket.
    bool isEmpty() const;
    int bucketsPerRow() const { return m_bucketsPerRow; }
    int rowCount() const { return m_rowCount; }
    const LastMatch& lastMatch() const { return m_lastMatch; }
    // The list of one bucket, null when empty.
    NodeList* bucket(int row, int bucket) const;

private:
    // The bucket variable for a node, null when the table has no rows.
    NodeList** bucketOf(const NodeBase* node) const;
    // The place of `stored` in its bucket's list: the block and index through `at`, the answer
    // the global index; -1 when absent.
    int placeOf(const NodeBase* stored, ListPosition* at) const;
    // Sets the last match to `element` without its place.
    void matched(NodeBase* element) { m_lastMatch = {nullptr, 0, element}; }

    // The index: `m_indexMask + 1` slots (a power of two, or none), a null node marking a free
    // slot. A slot holds the fingerprint beside the node, so that a probe passing unequal
    // fingerprints reads one cache line and never the nodes.
    // The address is kept in 32-bit halves: a slot takes 12 bytes rather than 16 on a 64-bit
    // machine, as much as separate arrays of fingerprints and nodes took.
    struct IndexSlot {
        std::uint32_t print;
        std::uint32_t address[sizeof(NodeBase*) / sizeof(std::uint32_t)];

        NodeBase* node() const {
            std::uintptr_t value = 0;
            std::memcpy(&value, address, sizeof address);
            return reinterpret_cast<NodeBase*>(value);
        }
        void set(std::uint32_t fingerprint, NodeBase* node) {
            print = fingerprint;
            const auto value = reinterpret_cast<std::uintptr_t>(node);
            std::memcpy(address, &value, sizeof address);
        }
    };
    static_assert(sizeof(std::uintptr_t) == sizeof(IndexSlot::address),
                  "NodeTable: an address must fill the halves of an index slot");
    NodeBase* indexed(const NodeBase* node, std::uint32_t print) const;
    int indexSlotOf(const NodeBase* node, std::uint32_t print) const;
    int indexHome(std::uint32_t print) const;
    // Room for one more node; false when memory ran out.
    bool reserveIndex();
    void indexAdd(NodeBase* node, std::uint32_t print);
    void indexRemoveAt(int at);
    bool hasIndex() const { return m_fingerprint != nullptr; }
    // insertAt with the node's fingerprint worked out (0 without an index).
    int insertPrinted(NodeBase* node, int place, std::uint32_t print);

    int m_bucketsPerRow;
    int m_rowCount;
    NodeList*** m_rows = nullptr;
    LastMatch m_lastMatch;
    NodeHash m_hash;
    NodeEqual m_equal;
    NodeFingerprint m_fingerprint = nullptr;
    IndexSlot* m_index = nullptr;
    std::uint32_t m_indexMask = 0;
    int m_indexShift = 32;
    int m_indexCount = 0;
};

} // namespace tarvo
