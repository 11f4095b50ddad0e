// The network file reader and writer.
#include "netfile/network_file.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/font_table.h"
#include "labels/label_markup.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "netfile/isa_walk.h"
#include "netfile/word_reader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace tarvo {
namespace {

constexpr int kCommentLineCharacters = 80;
// Font numbers of a file above this belong to no font table.
constexpr int kMaxFileFontNumber = 1 << 16;

char* wordBuffer() {
    return sharedBuffers().word;
}

// ---------------------------------------------------------------------------------------------
// Reading

// A word of a statement on its way to its node: its label and the fingerprint the table files
// it under, worked out once for the lookup and, when the word is new, the insertion.
struct PreparedWord {
    std::string label;
    std::uint32_t print = 0;
    int relationKind = 0;
    bool valid = false;
};

// Works out the label of a word and asks for its place in the table's index, so that the lookup
// that follows a little later finds it in the cache.
void PrepareWord(Network& net, const char* word, int relationKind, PreparedWord& prepared) {
    char unquoted[kWordBufferBytes];
    Unquote(word, unquoted, sizeof unquoted);
    prepared.relationKind = relationKind;
    prepared.valid = MarkupToLabel(unquoted, net.labelIds(), prepared.label);
    if (!prepared.valid)
        return;
    prepared.print = net.fingerprintOf(prepared.label.c_str(), relationKind);
    net.prefetch(prepared.print);
}

// Notes a label just read that names a font, for reconciling the fonts.
void NoteFontLabel(Network& net, Node* node) {
    std::vector<Node*>* listed = net.fontLabelNodes();
    if ((net.fontLabelsRead() && !listed) || !NamesFont(node->name))
        return;
    net.fontLabelsRead() = true;
    if (listed)
        listed->push_back(node);
}

// The node that a prepared word names, made and entered when new: a word naming a node already
// there costs neither a node nor a block.
Node* NodeForWord(Network& net, const PreparedWord& word) {
    if (!word.valid)
        return nullptr;
    const char* label = word.label.c_str();
    if (Node* known = net.find(label, word.relationKind, word.print))
        return known;
    Node* node = word.relationKind ? static_cast<Node*>(new Relation) : new Node;
    if (!node)
        return nullptr;
    node->setName(CopyText(word.label), 0);
    if (node->name && net.add(node, word.print)) {
        // Only a new node brings a new label; the properties' names are made of these.
        NoteFontLabel(net, node);
        return node;
    }
    // Out of memory: the node could not be named or entered.
    node->destroy();
    return nullptr;
}

// Progress is told after this many lines.
constexpr int kProgressLines = 4096;

class Reader {
public:
    Reader(Network& net, WordStream& in) : m_net(net), m_in(in) {}

    // Tells `progress` how far the read has come in `file`.
    void tellProgress(const ReadProgress* progress, std::FILE* file, int defaultFont) {
        m_progress = progress;
        m_defaultFont = defaultFont;
        m_file = file;
        struct stat status {};
        if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode))
            m_size = static_cast<long long>(status.st_size);
    }

    // False when the progress asked the read to stop.
    bool run() {
        if (!m_in.matchChar('#')) {
            m_in.reportProblem("Error loading network: no hash (#) character found.");
            return told(true);
        }
        openSection(Section::None);
        int toldAt = 0;
        while (m_in.peekNonBlank() != kEndOfInput) {
            if (m_progress && m_in.currentLine() - toldAt >= kProgressLines) {
                toldAt = m_in.currentLine();
                // Whoever is told sees every statement before this line made.
                makePending();
                if (!told(false))
                    return false;
            }
            if (m_in.matchChar('#')) {
                makePending();
                openSection(m_section);
                continue;
            }
            statement();
        }
        makePending();
        return told(true);
    }

private:
    bool told(bool atEnd) {
        if (!m_progress)
            return true;
        const long at = std::ftell(m_file);
        long long done = at < 0 ? m_done : static_cast<long long>(at);
        // The stream's position counts what it has buffered; at the end, all of the file.
        if (atEnd)
            done = std::max(done, m_size);
        if (m_size > 0)
            done = std::min(done, m_size);
        m_done = std::max(m_done, done);
        // Whoever is told may paint what is open: the program's default font is in force
        // meanwhile, not the reader's own.
        const int reading = fonts().DefaultFont;
        fonts().DefaultFont = m_defaultFont;
        const bool go = (*m_progress)(m_done, m_size);
        fonts().DefaultFont = reading;
        return go;
    }

    // Reads the keyword after a '#', which may stand on a later line; a comment line keeps
    // the section in force. The rest of the keyword's own line is the comment.
    void openSection(Section before) {
        m_in.peekNonBlank();
        const int line = m_in.currentLine();
        m_section = SectionOf(readName());
        if (m_section != Section::Comment)
            return;
        // When the keyword itself ended its line, the comment is over: skipping on would
        // swallow the statement on the next line.
        if (m_in.currentLine() == line)
            m_in.skipLine(kCommentLineCharacters);
        m_section = before;
    }

    void statement() {
        switch (m_section) {
        case Section::Relations:
        case Section::Entities:
        case Section::Properties:
            queueStatement();
            break;
        case Section::Fonts:
            fontStatement();
            break;
        case Section::None:
        case Section::Comment:
            invalidStatement();
            break;
        }
    }

    // Statements are read a few ahead of making their nodes, so that the index and the nodes it
    // files under each word's fingerprint are read from memory in steps while later words are
    // split; by its lookup, a word finds both in the cache. The nodes are
    // still made statement by statement in the order of the words, which gives the table's
    // buckets their order, and a statement's lookups see every node the statements before it
    // made.
    struct Statement {
        Section section = Section::None;
        // An isa statement names two nodes; one naming a single node ("x exists") does not.
        bool isa = false;
        PreparedWord words[3];
    };
    static constexpr int kStatementsAhead = 12;
    // How many statements behind the newest the nodes of a word are asked for: by then its
    // index slot has come in.
    static constexpr int kNodesAhead = 4;
    // The statement `back` places behind the newest read; the newest is 0.
    Statement& pending(int back) {
        return m_pending[(m_first + m_pendingCount - 1 - back) % kStatementsAhead];
    }

    void queueStatement() {
        if (m_pendingCount == kStatementsAhead)
            makeFirst();
        Statement& next = m_pending[(m_first + m_pendingCount) % kStatementsAhead];
        next.section = m_section;
        if (m_section == Section::Properties) {
            prepare(next, 0, 0);
            prepare(next, 1, 1);
            prepare(next, 2, 0);
        } else {
            const int kind = m_section == Section::Relations ? 1 : 0;
            prepare(next, 0, kind);
            next.isa = strcasecmp(readName(), "isa") == 0;
            if (next.isa)
                prepare(next, 1, kind);
        }
        ++m_pendingCount;
        if (m_pendingCount > kNodesAhead)
            forEachWord(pending(kNodesAhead),
                        [&](std::uint32_t print) { m_net.prefetchNodes(print); });
    }

    template <typename F> static void forEachWord(const Statement& statement, F&& f) {
        const int words = statement.section == Section::Properties ? 3 : (statement.isa ? 2 : 1);
        for (int i = 0; i < words; ++i)
            if (statement.words[i].valid)
                f(statement.words[i].print);
    }

    // Makes the nodes of every statement read and not yet made, oldest first.
    void makePending() {
        while (m_pendingCount > 0)
            makeFirst();
    }

    void makeFirst() {
        Statement& statement = m_pending[m_first];
        m_first = (m_first + 1) % kStatementsAhead;
        --m_pendingCount;
        if (statement.section == Section::Properties)
            makeProperty(statement);
        else
            makeIsa(statement);
    }

    void makeIsa(const Statement& statement) {
        Node* child = NodeForWord(m_net, statement.words[0]);
        if (!statement.isa)
            return;
        Node* parent = NodeForWord(m_net, statement.words[1]);
        if (parent && child)
            addChild(parent, child);
    }

    void makeProperty(const Statement& statement) {
        Node* from = NodeForWord(m_net, statement.words[0]);
        Node* relation = NodeForWord(m_net, statement.words[1]);
        Node* to = NodeForWord(m_net, statement.words[2]);
        if (!from || !relation || !to)
            return;
        auto* property = new Property(relation, from, to, 0, -1, m_net.labelIds());
        if (!property)
            return;
        // A property's name shows its ends' names, fonts included.
        if (m_net.add(property, m_net.fingerprintOf(property->keyText(), 1)))
            NoteFontLabel(m_net, property);
        else
            property->destroy();
    }

    void fontStatement() {
        const int number = static_cast<int>(std::strtol(m_in.readWord(), nullptr, 10));
        m_in.readWord();
        char* face = readName();
        char unquoted[kWordBufferBytes];
        Unquote(face, unquoted, sizeof unquoted);
        m_net.fileFonts().push_back({number, unquoted});
        m_net.fontsRead() = true;
    }

    // A statement before any section: skipped to the end of its line. One report per file is
    // enough to say the file is not as it should be.
    void invalidStatement() {
        if (!m_invalidReported)
            m_in.reportProblem("Invalid network statement ignored");
        m_invalidReported = true;
        m_in.skipLine(INT32_MAX);
    }

    // Reads the next word of the statement as its word `at`. An anonymous label moves the
    // network's next id past its own, which the properties of the statements before it must not
    // see: they are made first.
    void prepare(Statement& statement, int at, int relationKind) {
        const char* word = readName();
        const char* markup = word[0] == '"' ? word + 1 : word;
        if (std::strncmp(markup, "<id=", 4) == 0)
            makePending();
        PrepareWord(m_net, word, relationKind, statement.words[at]);
    }

    // Reads one word of a statement into the word buffer (or the scratch buffer before
    // start-up).
    char* readName() {
        char* buffer = wordBuffer();
        return buffer ? m_in.readWord(buffer, kWordBufferBytes) : m_in.readWord();
    }

    Network& m_net;
    WordStream& m_in;
    const ReadProgress* m_progress = nullptr;
    std::FILE* m_file = nullptr;
    long long m_size = 0;
    long long m_done = 0;
    int m_defaultFont = 0;
    Section m_section = Section::None;
    bool m_invalidReported = false;
    // The statements read whose nodes are not made yet, from m_first on; their labels keep
    // their room from statement to statement.
    Statement m_pending[kStatementsAhead];
    int m_first = 0;
    int m_pendingCount = 0;
};

// ---------------------------------------------------------------------------------------------
// Writing

// Writes one network to one stream.
class Writer {
public:
    explicit Writer(WordStream& out) : m_out(out) {}

    void writeNetwork(NodeTable* table) {
        m_out.writeText("#RELATIONS\n");
        writeIsaLines(table, 1);
        m_out.writeText("\n\n#ENTITIES\n");
        writeIsaLines(table, 0);
        m_out.writeText("\n\n#PROPERTIES\n");
        writePropertyLines(table);
        m_out.writeText("\n\n#FONTS\n");
        std::string fontLines;
        WriteFontsSection(fontLines);
        m_out.writeText(fontLines.c_str());
    }

private:
    void writeName(const char* label) {
        std::string markup;
        LabelToMarkup(label, markup);
        m_out.writeText(markup.c_str());
    }

    void writeIsaLine(const NodeBase* child, const NodeBase* parent) {
        if (m_kind == 1) {
            noteNamed(child);
            noteNamed(parent);
        }
        writeName(child->name);
        m_out.writeText(" isa ");
        writeName(parent->name);
        m_out.writeText("\n");
    }

    // The component's lines: each node's children in list order, grouped by node in the
    // order of the walk.
    void writeComponent(Node* first) {
        for (const Node* x : IsaLineOrder(first))
            forEachNode(x->slotList(ChildSlot), [&](NodeBase* child) {
                if (!asNode(child)->isProperty())
                    writeIsaLine(child, x);
            });
    }

    // The table's buckets in table order: rows, then buckets, each with its list of nodes.
    template <typename F> static void forEachBucket(NodeTable* table, F&& f) {
        for (int row = 0; row < table->rowCount(); ++row)
            for (int b = 0; b < table->bucketsPerRow(); ++b)
                if (NodeList* bucket = table->bucket(row, b))
                    f(bucket);
    }

    static void markBucket(const NodeList* bucket, bool on) {
        forEachNode(bucket, [&](NodeBase* n) {
            if (on)
                n->visitMark |= kIsaInBucket;
            else
                n->visitMark &= static_cast<std::uint8_t>(~kIsaInBucket);
        });
    }

    // In table order, bucket by bucket; while a bucket is gone through, its nodes carry
    // kIsaInBucket, which the walk of a component starting among them asks for. Properties
    // take no part: they have no isa lines of their own, and a read gives them other keys, so
    // other places in the table, than they have now.
    void writeIsaLines(NodeTable* table, int kind) {
        m_kind = kind;
        table->forEach([](NodeBase* node) {
            node->visitMark = 0;
            return 0;
        });
        forEachBucket(table, [&](const NodeList* bucket) {
            markBucket(bucket, true);
            forEachNode(bucket, [&](NodeBase* base) {
                Node* node = asNode(base);
                if (node->relationKind() != kind || node->isProperty())
                    return;
                if (!node->slotList(ParentSlot) && !node->slotList(ChildSlot)) {
                    writeName(node->name);
                    m_out.writeText(" exists\n");
                } else if (!(node->visitMark & kIsaVisited)) {
                    writeComponent(node);
                }
            });
            markBucket(bucket, false);
        });
    }

    // The property lines, grouped by relation. Within a bucket the relations go in the order
    // the isa lines first name them, those without isa lines after them in table order: the
    // order in which a read makes them, and so the order of the bucket read back.
    void writePropertyLines(NodeTable* table) {
        std::vector<const Node*> holders;
        forEachBucket(table, [&](const NodeList* bucket) {
            holders.clear();
            forEachNode(bucket, [&](NodeBase* x) {
                if (x->slotList(ChildSlot))
                    holders.push_back(asNode(x));
            });
            std::stable_sort(holders.begin(), holders.end(), [&](const Node* a, const Node* b) {
                return firstNamed(a) < firstNamed(b);
            });
            for (const Node* x : holders)
                writeProperties(x);
        });
    }

    void writeProperties(const Node* x) {
        forEachNode(x->slotList(ChildSlot), [&](NodeBase* base) {
            const Node* p = asNode(base);
            const NodeBase* from = first(p, FromSlot);
            const NodeBase* relation = first(p, ParentSlot);
            const NodeBase* to = first(p, ToSlot);
            if (!p->isProperty() || !from || !relation || !to)
                return;
            writeName(from->name);
            m_out.writeText(" ");
            writeName(relation->name);
            m_out.writeText(" ");
            writeName(to->name);
            m_out.writeText("\n");
        });
    }

    // Where the isa lines of relations first name the node; past every line when they do not.
    int firstNamed(const Node* x) const {
        const auto at = m_namedAt.find(x);
        return at == m_namedAt.end() ? INT_MAX : at->second;
    }

    void noteNamed(const NodeBase* x) { m_namedAt.emplace(x, static_cast<int>(m_namedAt.size())); }

    WordStream& m_out;
    // The relations the isa lines have named, each with its place in the order of first naming.
    std::unordered_map<const NodeBase*, int> m_namedAt;
    int m_kind = 0;
};

// The mode a new file gets: the old file's, or what the user's umask allows.
mode_t modeFor(const char* path) {
    struct stat old;
    if (::stat(path, &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

Section SectionOf(const char* keyword) {
    static const char* const kKeywords[] = {"RELATIONS", "ENTITIES", "PROPERTIES", "FONTS"};
    for (int k = 0; k < 4; ++k)
        if (strcasecmp(keyword, kKeywords[k]) == 0)
            return static_cast<Section>(k + 1);
    return Section::Comment;
}

Node* GetOrCreateNode(Network& net, const char* word, int relationKind) {
    PreparedWord prepared;
    PrepareWord(net, word, relationKind, prepared);
    return NodeForWord(net, prepared);
}

bool ReadNetworkFile(Network& net, const char* path, Diagnostics* problems,
                     const ReadProgress& progress) {
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        const std::string message =
            "Error opening net file: " + std::string(path).substr(0, 99) + ".";
        if (problems)
            problems->push_back({message, 0});
        return false;
    }
    ReadNetworkStream(net, file, problems, progress);
    std::fclose(file);
    return true;
}

void ReadNetworkStream(Network& net, std::FILE* file, Diagnostics* problems,
                       const ReadProgress& progress) {
    if (!net.table())
        return;
    WordStream in(file, problems);
    // Font numbers in the file are the file's own, renumbered once the fonts are reconciled.
    // While reading, no number stands for the default font, so that a tag naming the file's
    // font n is kept even where n is also the default font's index in this table.
    const int defaultFont = fonts().DefaultFont;
    fonts().DefaultFont = -1;
    const bool empty = net.table()->isEmpty();
    if (empty)
        net.fontLabelsRead() = false;
    net.listFontLabels(empty);
    Reader reader(net, in);
    if (progress)
        reader.tellProgress(&progress, file, defaultFont);
    reader.run();
    fonts().DefaultFont = defaultFont;
}

void ReconcileFonts(Network& net) {
    // Labels made after this may name fonts again: until the next read, every label is gone
    // through.
    const bool labelsNameFonts = net.fontLabelsRead();
    net.fontLabelsRead() = true;
    std::vector<Node*> listed;
    const bool wereListed = net.fontLabelNodes() != nullptr;
    if (wereListed)
        listed.swap(*net.fontLabelNodes());
    net.listFontLabels(false);
    std::vector<FileFont>& fileFonts = net.fileFonts();
    for (const FileFont& font : fileFonts)
        AddFontByName(font.face.c_str());
    SortFontTable();
    // The sort moves the default font: it is chosen again before labels fall back to it.
    ChoosePreferredFonts();
    if (!net.fontsRead())
        return;
    // A file written with a larger font table numbers its fonts beyond this one's: the map
    // reaches its largest number, so that those labels keep their fonts. Numbers the file does
    // not list beyond the table (-1 in the map) and numbers past any table fall back to the
    // default font when labels are remapped.
    const int size = FontCount();
    int mapSize = size;
    for (const FileFont& font : fileFonts)
        if (font.number >= mapSize && font.number < kMaxFileFontNumber)
            mapSize = font.number + 1;
    std::vector<int> map(static_cast<std::size_t>(mapSize), -1);
    std::fill(map.begin(), map.begin() + size, 0);
    for (const FileFont& font : fileFonts) {
        if (font.number < 0 || font.number >= mapSize)
            continue;
        for (int i = 0; i < size; ++i) {
            if (font.face == FontAt(i)->font.faceName) {
                map[static_cast<std::size_t>(font.number)] = i;
                break;
            }
        }
    }
    const auto remap = [](void* context, NodeBase* node) {
        const auto* fontMap = static_cast<const std::vector<int>*>(context);
        char* renamed =
            RemapLabelFonts(node->name, fontMap->data(), static_cast<int>(fontMap->size()));
        if (renamed) {
            Release(node->name);
            node->name = renamed;
        }
        return 0;
    };
    if (!labelsNameFonts) {
        // Nothing to renumber.
    } else if (wereListed) {
        // A label names a font only where the read listed it.
        for (Node* node : listed)
            remap(&map, node);
    } else if (NodeTable* table = net.table()) {
        table->forEach(remap, &map);
    }
    fileFonts.clear();
    net.fontsRead() = false;
}

int WriteNetworkFile(Network& net, const char* path) {
    if (!net.table() || !path || !*path)
        return 0;
    std::string temporary = std::string(path) + ".saving-XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return 0;
    ::fchmod(descriptor, modeFor(path));
    std::FILE* file = ::fdopen(descriptor, "w");
    if (!file) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return 0;
    }
    bool written = WriteNetworkStream(net, file) && ::fsync(descriptor) == 0;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path) != 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    return 1;
}

bool WriteNetworkStream(Network& net, std::FILE* file) {
    if (!net.table())
        return false;
    WordStream out(file);
    Writer(out).writeNetwork(net.table());
    return !out.failed() && std::fflush(file) == 0;
}

bool LoadNetworkFile(Network& net, const char* path, const FontListAdder& addToFontList,
                     Diagnostics* problems, const ReadProgress& progress) {
    // A read stopped part way is thrown away: the font table stays as it was.
    bool stopped = false;
    ReadProgress watched;
    if (progress)
        watched = [&](long long done, long long total) {
            const bool go = progress(done, total);
            stopped = stopped || !go;
            return go;
        };
    const bool opened = ReadNetworkFile(net, path, problems, watched);
    if (stopped)
        return opened;
    ReconcileFonts(net);
    ChoosePreferredFonts(addToFontList);
    return opened;
}

} // namespace tarvo
