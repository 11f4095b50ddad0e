// A network: its node table, lookups by name and kind, and the walks over its nodes that the
// dialogs and the views need.
#pragma once

#include "model/label_ids.h"
#include "model/node.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvo {

class ChunkList;
class NodeTable;

// What a layer above the model keeps with each network (the edit history, the shapes of the
// load): the network owns it and lets it go before its nodes.
class NetworkPart {
public:
    virtual ~NetworkPart() = default;
};

// A font that a network file names: its number in the file and its face.
struct FileFont {
    int number = 0;
    std::string face;
};

// One network: its table of nodes, the relation that stands for the isa link, the ids of its
// anonymous labels, the fonts its file named, and the parts the layers above keep with it. The
// program holds the open one; views, dialogs, readers and writers are given it.
class Network {
public:
    // An empty network. Without memory for its table, table() is null and nothing is added.
    Network();
    ~Network();
    Network(const Network&) = delete;
    Network& operator=(const Network&) = delete;

    NodeTable* table() const { return m_table; }
    // The relation that stands for the isa link itself; not a node of the table.
    Node* isaRelation() const { return m_isa; }
    LabelIds& labelIds() { return m_labelIds; }

    // 1 when inserted; 0 when an equal node is there already, which is then the table's last
    // match.
    int add(Node* node);
    // The same at `place` in its table bucket (negative: at the end), where take reported it:
    // putting back what was taken out, in the reverse order, gives back the table's order.
    int addAt(Node* node, int place);
    // The node with this key text and kind, or null.
    Node* find(const char* text, int relationKind) const;
    // For a reader that looks a key up and enters it when new: the fingerprint the table files
    // the key under, worked out once for find, prefetch and add.
    std::uint32_t fingerprintOf(const char* text, int relationKind) const;
    Node* find(const char* text, int relationKind, std::uint32_t print) const;
    // Brings the start of find's search into the cache while the caller does other work.
    void prefetch(std::uint32_t print) const;
    // The next step of the same, for a caller that looks up several words ahead: the nodes
    // filed under the fingerprint, once their index slot is in.
    void prefetchNodes(std::uint32_t print) const;
    // add at the end of its bucket, given the fingerprint of the node's key and kind: the
    // reader's, which keeps the list of font labels (fontLabelNodes) for the caller to fill.
    int add(Node* node, std::uint32_t print);
    // The same, answering the bucket block and the index in it.
    ChunkList* findBlock(const char* text, int relationKind, int* index) const;
    // Takes the node out of the table and answers it, or null when absent; its place in its
    // table bucket goes to `place`.
    Node* take(const char* text, int relationKind, int* place = nullptr);
    // `node` itself is in the table: not a copy of a view, nor one held detached by a deletion.
    bool holds(const Node* node) const;
    // The entities (relationKind 0) or relations (1), properties left out, in table order,
    // each with its flags cleared to its kind; null when there are none.
    NodeList* nodesOfKind(int relationKind) const;

    // The fonts of the latest read, until they are reconciled with the font table.
    std::vector<FileFont>& fileFonts() { return m_fileFonts; }
    bool& fontsRead() { return m_fontsRead; }
    // Whether a label may hold a font number that reconciling the fonts renumbers. A read into
    // an empty network clears it and sets it at the first label naming a font, so that the
    // labels of a file without fonts in them are not gone through again.
    bool& fontLabelsRead() { return m_fontLabelsRead; }
    // For a read into an empty network, until its fonts are reconciled: the nodes whose labels
    // name a font, so that reconciling goes through these alone. Null when the labels that may
    // name fonts are not known one by one: a node added or taken out by anyone but the reader
    // drops the list, as the table may then hold others, or no longer hold these.
    std::vector<Node*>* fontLabelNodes() {
        return m_fontLabelsListed ? &m_fontLabelNodes : nullptr;
    }
    // Starts the list empty (`listed`), or drops it.
    void listFontLabels(bool listed);

    // The edit history and the shapes, made by their own layers when first asked for.
    std::unique_ptr<NetworkPart>& historyPart() { return m_history; }
    std::unique_ptr<NetworkPart>& shapesPart() { return m_shapes; }

private:
    NodeTable* m_table = nullptr;
    Node* m_isa = nullptr;
    LabelIds m_labelIds;
    std::vector<FileFont> m_fileFonts;
    bool m_fontsRead = false;
    bool m_fontLabelsRead = true;
    bool m_fontLabelsListed = false;
    std::vector<Node*> m_fontLabelNodes;
    std::unique_ptr<NetworkPart> m_history;
    std::unique_ptr<NetworkPart> m_shapes;
};

// A table with the network's dimensions, key hash and key equality; null when out of memory.
NodeTable* MakeNodeTable();

// The node of any table of nodes (a view's own, for instance) with this key text and kind.
Node* findNodeIn(NodeTable* table, const char* text, int relationKind);

// Destroys every node of the table, then the table.
void closeNetwork(NodeTable* table);

// Sets or clears DescendantMark on n and everything below it (direction 0), or AncestorMark
// on n and everything above it (direction 1). Each node is handled once, so isa cycles end.
void markLineage(Node* n, int direction, int on);

} // namespace tarvo
