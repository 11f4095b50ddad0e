// NodeTable: rows of bucket lists found through the table's hash.
#include "containers/node_table.h"

#include <cassert>
#include <cstring>

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
    if (table && fingerprint) {
        const std::size_t bytes = sizeof(ChunkList*) * static_cast<std::size_t>(bucketsPerRow) *
                                  static_cast<std::size_t>(rowCount);
        auto* prints = static_cast<ChunkList**>(Allocate(static_cast<std::int32_t>(bytes)));
        auto* rows = static_cast<ChunkList***>(Allocate(
            static_cast<std::int32_t>(sizeof(ChunkList**) * static_cast<std::size_t>(rowCount))));
        if (prints && rows) {
            std::memset(prints, 0, bytes);
            for (int row = 0; row < rowCount; ++row)
                rows[row] = prints + static_cast<std::ptrdiff_t>(row) * bucketsPerRow;
            table->m_prints = rows;
            table->m_fingerprint = fingerprint;
        } else {
            // Without room for the fingerprints the table works as well, only slower.
            Release(prints);
            Release(rows);
        }
    }
    return table;
}

ChunkList*& NodeTable::printsOf(const NodeList* const* bucket) const {
    // The bucket's place in its row gives the place of its fingerprint list.
    for (int row = 0; row < m_rowCount; ++row) {
        const NodeList* const* first = m_rows[row];
        if (bucket >= first && bucket < first + m_bucketsPerRow)
            return m_prints[row][bucket - first];
    }
    assert(false && "NodeTable: a bucket outside the table");
    return m_prints[0][0];
}

ChunkList* NodeTable::findByPrint(NodeList* list, const ChunkList* prints, const NodeBase* node,
                                  int* index) {
    const std::uint32_t wanted = m_fingerprint(node);
    for (ChunkList* block = list; block && prints; block = block->next, prints = prints->next) {
        const auto* values = reinterpret_cast<const std::uint32_t*>(prints->data);
        for (int i = 0; i < block->count; ++i) {
            if (values[i] != wanted)
                continue;
            NodeBase* element = static_cast<NodeList*>(block)->node(i);
            if (!m_equal(element, node))
                continue;
            m_lastMatch = {block, i, element};
            if (index)
                *index = i;
            return block;
        }
    }
    m_lastMatch = {};
    return nullptr;
}

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

NodeList* NodeTable::bucket(int row, int bucket) const {
    if (!m_rows || row < 0 || row >= m_rowCount || bucket < 0 || bucket >= m_bucketsPerRow)
        return nullptr;
    return m_rows[row][bucket];
}

ChunkList* NodeTable::find(const NodeBase* node, NodeEqual compare, int* index) {
    NodeList** bucket = bucketOf(node);
    if (!bucket || !*bucket) {
        m_lastMatch = {};
        return nullptr;
    }
    if (m_prints && (!compare || compare == m_equal))
        return findByPrint(*bucket, printsOf(bucket), node, index);
    EqualMatch match{compare ? compare : m_equal};
    int at = 0;
    ChunkList* block =
        (*bucket)->findElement(matchWithEqual, &match, const_cast<NodeBase*>(node), &at);
    m_lastMatch = {};
    if (!block)
        return nullptr;
    m_lastMatch = {block, at, static_cast<NodeList*>(block)->node(at)};
    if (index)
        *index = at;
    return block;
}

NodeBase* NodeTable::lookup(const NodeBase* node, NodeEqual compare) {
    return find(node, compare) ? m_lastMatch.element : nullptr;
}

int NodeTable::insert(NodeBase* node) {
    return insertAt(node, -1);
}

int NodeTable::insertAt(NodeBase* node, int place) {
    assert(node && "NodeTable: cannot insert null");
    NodeList** bucket = bucketOf(node);
    // A failed insertion must not leave an earlier find's node as the one present.
    m_lastMatch = {};
    if (!node || !bucket)
        return 0;
    if (*bucket && find(node))
        return 0;
    const int size = listSize(*bucket);
    const int index = place < 0 || place > size ? size : place;
    // A failed insertion leaves a new bucket list empty; listAppend then gives it back.
    if (!(*bucket ? (*bucket)->insertAtIndex(node, index) : listAppend(*bucket, node)))
        return 0;
    if (!m_prints)
        return 1;
    ChunkList*& prints = printsOf(bucket);
    if (!prints)
        prints = new ChunkList(sizeof(std::uint32_t), NodeList::kNodesPerBlock);
    const std::uint32_t print = m_fingerprint(node);
    // Both lists grow their blocks alike, so the fingerprint goes to the same index.
    if (!prints || !prints->data || !prints->insertAtIndex(&print, index)) {
        // The two lists must stay in step: without room for the fingerprint, no node.
        (*bucket)->removeAtIndex(index);
        if ((*bucket)->isEmpty()) {
            (*bucket)->destroy();
            *bucket = nullptr;
        }
        return 0;
    }
    return 1;
}

int NodeTable::remove(NodeBase*& node, int* place) {
    NodeList** bucket = bucketOf(node);
    int index = 0;
    ChunkList* block = bucket && *bucket ? find(node, nullptr, &index) : nullptr;
    if (!block)
        return 0;
    NodeList* list = *bucket;
    const int position = list->globalIndexOf(block, index);
    if (place)
        *place = position;
    node = list->removeAtIndex(position);
    if (m_prints) {
        ChunkList*& prints = printsOf(bucket);
        if (prints) {
            prints->removeAtIndex(position, nullptr);
            if (prints->isEmpty()) {
                prints->destroy();
                prints = nullptr;
            }
        }
    }
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
    if (!m_prints)
        return;
    for (int i = 0; i < m_rowCount * m_bucketsPerRow; ++i)
        if (ChunkList* prints = m_prints[0][i])
            prints->destroy();
    Release(m_prints[0]);
    Release(m_prints);
    m_prints = nullptr;
}

} // namespace tarvo
