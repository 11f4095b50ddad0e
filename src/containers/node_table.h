// NodeTable, the fixed-size hash table that indexes the nodes of a network or of a view.
#pragma once

#include "containers/node_list.h"
#include "memory/heap_object.h"

#include <cstdint>

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

    // The index: parallel arrays of fingerprints and nodes, `m_indexMask + 1` slots (a power of
    // two, or none), a null node marking a free slot.
    NodeBase* indexed(const NodeBase* node) const;
    int indexSlotOf(const NodeBase* node) const;
    int indexHome(std::uint32_t print) const;
    // Room for one more node; false when memory ran out.
    bool reserveIndex();
    void indexAdd(NodeBase* node, std::uint32_t print);
    void indexRemoveAt(int at);
    bool hasIndex() const { return m_fingerprint != nullptr; }

    int m_bucketsPerRow;
    int m_rowCount;
    NodeList*** m_rows = nullptr;
    LastMatch m_lastMatch;
    NodeHash m_hash;
    NodeEqual m_equal;
    NodeFingerprint m_fingerprint = nullptr;
    std::uint32_t* m_indexPrints = nullptr;
    NodeBase** m_indexNodes = nullptr;
    std::uint32_t m_indexMask = 0;
    int m_indexShift = 32;
    int m_indexCount = 0;
};

} // namespace tarvo
