// A seeded generator of network files: random names and hierarchies, written as the writer does.
#include "tools/network_generator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo::tools {
namespace {

// splitmix64: small, fast, and the same sequence everywhere, which the standard distributions
// do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // A number in [0, bound); bound is positive.
    std::uint32_t below(std::uint64_t bound) {
        return static_cast<std::uint32_t>(((next() >> 32) * bound) >> 32);
    }

    bool percent(std::uint32_t chance) { return below(100) < chance; }

    template <std::size_t N> std::string_view pick(const std::string_view (&items)[N]) {
        return items[below(N)];
    }

private:
    std::uint64_t m_state;
};

// Each part of the network draws from its own stream, so that asking for more properties, say,
// leaves the names and hierarchies as they were.
enum class Part : std::uint64_t {
    Fonts = 1,
    RelationNames,
    RelationLinks,
    EntityNames,
    EntityLinks,
    Properties
};

Random streamFor(std::uint32_t seed, Part part) {
    Random mixer(static_cast<std::uint64_t>(part) << 32 | seed);
    return Random(mixer.next());
}

constexpr std::string_view kEntityWords[] = {
    "word",       "noun",    "verb",       "adjective",   "adverb",    "pronoun",
    "lexeme",     "stem",    "root",       "affix",       "suffix",    "prefix",
    "clause",     "phrase",  "tense",      "mood",        "aspect",    "case",
    "gender",     "plural",  "singular",   "vowel",       "consonant", "syllable",
    "morpheme",   "phoneme", "determiner", "preposition", "auxiliary", "participle",
    "infinitive", "gerund",  "finite",     "transitive",  "mass",      "proper"};

constexpr std::string_view kRelationWords[] = {
    "subject",    "object",    "dependent", "head",     "complement", "adjunct",
    "modifier",   "specifier", "predicate", "argument", "agent",      "patient",
    "theme",      "referent",  "sense",     "form",     "base",       "inflection",
    "antecedent", "governor",  "extractee", "sharer",   "landmark",   "result"};

// Short texts that read naturally raised or lowered.
constexpr std::string_view kShiftedTexts[] = {"1", "2", "3", "i", "j", "k", "n", "pl", "sg", "+"};

// Letters that the phonetic fonts draw as sounds.
constexpr std::string_view kPhoneticLetters = "ptkbdgmnNszSZTDfvlrjwhaeiouI@EOUV:";

constexpr std::string_view kCharacterEntities[] = {"&amp;", "&semi;", "&lthan;", "&gthan;",
                                                   "&dquote;"};

constexpr std::string_view kFontFaces[] = {"Arial", "Courier New", "DejaVu Sans",
                                           "Liberation Serif"};

// Windows-1252 letters of 0xE0-0xFE that can stand for a plain letter. 0xF7 is a sign, not a
// letter, and 0xFF is left out because the word reader takes it for the end of a quoted word.
struct Accents {
    char letter;
    std::string_view accented;
};

constexpr Accents kAccents[] = {
    {'a', "\xe0\xe1\xe2\xe3\xe4\xe5\xe6"},
    {'c', "\xe7"},
    {'d', "\xf0"},
    {'e', "\xe8\xe9\xea\xeb"},
    {'i', "\xec\xed\xee\xef"},
    {'n', "\xf1"},
    {'o', "\xf2\xf3\xf4\xf5\xf6\xf8"},
    {'t', "\xfe"},
    {'u', "\xf9\xfa\xfb\xfc"},
    {'y', "\xfd"},
};

std::string_view accentsFor(char letter) {
    for (const Accents& accents : kAccents)
        if (accents.letter == letter)
            return accents.accented;
    return {};
}

void appendNumber(std::string& out, std::uint32_t number) {
    char digits[16];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), number);
    out.append(digits, result.ptr);
}

// The fonts a network may name, numbered from 1 in the order of their faces, as the font
// table sorts them.
struct FontChoice {
    std::vector<std::string_view> faces;
    std::vector<bool> used;
};

FontChoice chooseFonts(Random random) {
    std::vector<std::string_view> pool(std::begin(kFontFaces), std::end(kFontFaces));
    for (std::size_t i = pool.size() - 1; i > 0; --i)
        std::swap(pool[i], pool[random.below(i + 1)]);
    FontChoice fonts;
    fonts.faces.assign(pool.begin(), pool.begin() + 1 + random.below(3));
    std::sort(fonts.faces.begin(), fonts.faces.end());
    fonts.used.assign(fonts.faces.size(), false);
    return fonts;
}

// The names of one kind, in their file form, stored end to end.
class NameList {
public:
    std::string& text() { return m_text; }
    void endName() { m_ends.push_back(m_text.size()); }

    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_text).substr(begin, m_ends[i] - begin);
    }
    std::size_t averageSize() const { return m_ends.empty() ? 0 : m_text.size() / m_ends.size(); }

private:
    std::string m_text;
    std::vector<std::size_t> m_ends;
};

// What a formatted run of a name switches on. A run never holds a run of its own kind: a
// closing tag ends the kind whatever was open before, so the inner run would end the outer.
enum class RunKind { None, Bold, Italic, Phonetic, Position, Font };

// Makes the names of one kind. Every name ends in its own number, and nothing that stands
// before that number in the label is a digit, so no two names read to the same label. Runs of
// markup are separated by plain text and nested runs have text on both sides, because the
// writer would merge and reorder tags that meet.
class NameMaker {
public:
    NameMaker(const std::string_view* words, std::size_t wordCount, bool formatted, Random random,
              FontChoice& fonts)
        : m_words(words), m_wordCount(wordCount), m_formatted(formatted), m_random(random),
          m_fonts(fonts) {}

    void append(std::uint32_t number, std::string& out) {
        const std::uint32_t roll = m_random.below(100);
        if (m_formatted && roll < 25)
            appendFormatted(out);
        else if (roll >= 75)
            appendSpaced(out);
        else
            appendPlain(out);
        if (out.back() == '"') {
            out.pop_back();
            appendNumber(out, number);
            out += '"';
        } else {
            appendNumber(out, number);
        }
    }

private:
    std::string_view word() { return m_words[m_random.below(m_wordCount)]; }

    // "noun", "finite-verb"; the number follows.
    void appendPlain(std::string& out) {
        const std::size_t first = m_random.below(m_wordCount);
        out += m_words[first];
        if (m_random.percent(20)) {
            out += m_random.percent(50) ? '-' : '_';
            out += m_words[(first + 1 + m_random.below(m_wordCount - 1)) % m_wordCount];
        }
    }

    // "\"finite noun phrase \"": quoted for its blanks.
    void appendSpaced(std::string& out) {
        out += '"';
        const std::uint32_t words = 2 + m_random.below(2);
        for (std::uint32_t i = 0; i < words; ++i) {
            out += word();
            out += ' ';
        }
        out += '"';
    }

    // One to three pieces, plain text or runs of markup, joined by blanks; there is always a run
    // or a character entity, so the name is quoted as the writer would quote it.
    void appendFormatted(std::string& out) {
        out += '"';
        const std::size_t begin = out.size();
        const std::uint32_t pieces = 1 + m_random.below(3);
        bool marked = false;
        for (std::uint32_t i = 0; i < pieces; ++i) {
            if (i > 0)
                out += ' ';
            if (m_random.percent(65)) {
                appendRun(out, RunKind::None);
                marked = true;
            } else {
                marked |= appendText(out);
            }
        }
        if (!marked)
            out.insert(begin, m_random.pick(kCharacterEntities));
        out += '"';
    }

    // A word, at times with accented letters or a character entity; answers whether it holds
    // an entity.
    bool appendText(std::string& out) {
        const bool entity = m_random.percent(20);
        const bool entityFirst = m_random.percent(50);
        if (entity && entityFirst)
            out += m_random.pick(kCharacterEntities);
        const std::size_t begin = out.size();
        out += word();
        if (m_random.percent(30))
            accent(out, begin);
        if (entity && !entityFirst)
            out += m_random.pick(kCharacterEntities);
        return entity;
    }

    void accent(std::string& out, std::size_t begin) {
        const std::uint32_t letters = 1 + m_random.below(2);
        for (std::uint32_t i = 0; i < letters; ++i) {
            char& letter = out[begin + m_random.below(out.size() - begin)];
            const std::string_view accents = accentsFor(letter);
            if (!accents.empty())
                letter = accents[m_random.below(accents.size())];
        }
    }

    void appendRun(std::string& out, RunKind outer) {
        RunKind kind = outer;
        while (kind == outer)
            kind = runKind();
        std::string_view close;
        switch (kind) {
        case RunKind::Bold:
            out += "<b>";
            close = "<\\b>";
            break;
        case RunKind::Italic:
            out += "<i>";
            close = "<\\i>";
            break;
        case RunKind::Phonetic:
            out += "<phon>";
            close = "<\\phon>";
            break;
        case RunKind::Position:
            close = appendPositionTag(out);
            break;
        case RunKind::Font:
            appendFontTag(out);
            close = "<\\f>";
            break;
        case RunKind::None:
            break;
        }
        appendRunText(out, kind);
        if (outer == RunKind::None && m_random.percent(20)) {
            appendRun(out, kind);
            appendRunText(out, kind);
        }
        out += close;
    }

    RunKind runKind() {
        const std::uint32_t roll = m_random.below(100);
        if (roll < 25)
            return RunKind::Bold;
        if (roll < 50)
            return RunKind::Italic;
        if (roll < 65)
            return RunKind::Phonetic;
        if (roll < 90)
            return RunKind::Position;
        return RunKind::Font;
    }

    // Answers the closing tag.
    std::string_view appendPositionTag(std::string& out) {
        switch (m_random.below(3)) {
        case 0:
            out += "<sml>";
            return "<\\sml>";
        case 1:
            out += "<super>";
            return "<\\super>";
        default:
            out += "<sub>";
            return "<\\sub>";
        }
    }

    void appendFontTag(std::string& out) {
        const std::uint32_t font = m_random.below(m_fonts.faces.size());
        m_fonts.used[font] = true;
        out += "<f=";
        appendNumber(out, font + 1);
        out += '>';
    }

    void appendRunText(std::string& out, RunKind kind) {
        if (kind == RunKind::Phonetic) {
            const std::uint32_t letters = 2 + m_random.below(4);
            for (std::uint32_t i = 0; i < letters; ++i)
                out += kPhoneticLetters[m_random.below(kPhoneticLetters.size())];
        } else if (kind == RunKind::Position && m_random.percent(60)) {
            out += m_random.pick(kShiftedTexts);
        } else {
            appendText(out);
        }
    }

    const std::string_view* m_words;
    std::size_t m_wordCount;
    bool m_formatted;
    Random m_random;
    FontChoice& m_fonts;
};

template <std::size_t N>
NameList makeNames(const std::string_view (&words)[N], std::uint32_t count, bool formatted,
                   Random random, FontChoice& fonts) {
    NameList names;
    NameMaker maker(words, N, formatted, random, fonts);
    for (std::uint32_t i = 0; i < count; ++i) {
        maker.append(i + 1, names.text());
        names.endName();
    }
    return names;
}

// Adjacency lists of one kind in creation order: the entries of node i are
// items[start[i] .. start[i + 1]).
struct Adjacency {
    std::vector<std::uint32_t> start{0};
    std::vector<std::uint32_t> items;

    std::uint32_t size() const { return static_cast<std::uint32_t>(start.size() - 1); }
    const std::uint32_t* begin(std::uint32_t node) const { return items.data() + start[node]; }
    const std::uint32_t* end(std::uint32_t node) const { return items.data() + start[node + 1]; }
    bool empty(std::uint32_t node) const { return start[node] == start[node + 1]; }
};

// Per cent of the nodes that stay apart from the hierarchy and are written "exists".
constexpr std::uint32_t kLonerPercent = 3;

// The parents of each node. The first few nodes are the roots; every later node but the loners
// takes parents among the linked nodes made before it, so the hierarchy has no cycle.
Adjacency makeParents(std::uint32_t count, std::uint32_t maxParents, Random random) {
    Adjacency parents;
    parents.start.reserve(count + std::size_t{1});
    std::vector<std::uint32_t> linked;
    const std::uint32_t roots = std::min(count, 2 + random.below(3));
    for (std::uint32_t node = 0; node < count; ++node) {
        if (node >= roots && random.percent(kLonerPercent)) {
            parents.start.push_back(parents.start.back());
            continue;
        }
        const std::size_t first = parents.items.size();
        const std::uint32_t wanted =
            node < roots
                ? 0
                : std::min(1 + random.below(maxParents), static_cast<std::uint32_t>(linked.size()));
        for (std::uint32_t i = 0; i < wanted; ++i) {
            // A repeated pick is drawn again a few times, then given up: that node has fewer.
            for (int attempt = 0; attempt < 8; ++attempt) {
                const std::uint32_t parent = linked[random.below(linked.size())];
                if (std::find(parents.items.begin() + static_cast<std::ptrdiff_t>(first),
                              parents.items.end(), parent) == parents.items.end()) {
                    parents.items.push_back(parent);
                    break;
                }
            }
        }
        parents.start.push_back(static_cast<std::uint32_t>(parents.items.size()));
        linked.push_back(node);
    }
    return parents;
}

// A lattice: `depth` + 1 layers of `width` nodes, each node below the top layer with 2
// distinct parents drawn from the layer above.
Adjacency makeLatticeParents(std::uint32_t width, std::uint32_t depth, Random random) {
    Adjacency parents;
    parents.start.reserve(std::size_t{width} * (depth + 1) + 1);
    for (std::uint32_t layer = 0; layer <= depth; ++layer) {
        for (std::uint32_t i = 0; i < width; ++i) {
            if (layer > 0) {
                const std::uint32_t above = (layer - 1) * width;
                const std::uint32_t first = random.below(width);
                const std::uint32_t second = (first + 1 + random.below(width - 1)) % width;
                parents.items.push_back(above + first);
                parents.items.push_back(above + second);
            }
            parents.start.push_back(static_cast<std::uint32_t>(parents.items.size()));
        }
    }
    return parents;
}

// Per cent of the nodes of a WordNet-like hierarchy with a second parent.
constexpr std::uint32_t kSecondParentPercent = 2;

// How many nodes of WordNet's noun hierarchy stand at each depth below its root, roughly: a
// narrow top, the bulk some eight to eleven levels down, a thin tail to the deepest level.
constexpr std::uint32_t kWordNetLevels[kWordNetDepth + 1] = {
    1,     3,     20,   150,  1000, 4000, 9000, 15000, 19000, 20000,
    17000, 12000, 8000, 5500, 3300, 1800, 900,  250,   77};

// A weight with a heavy tail (Pareto, shape 1.2): most parents draw few children, a few draw
// hundreds.
double heavyWeight(Random& random) {
    const double u = (static_cast<double>(random.below(1u << 30)) + 1.0) / (1u << 30);
    return std::pow(u, -1.0 / 1.2);
}

// A WordNet-like hierarchy: level by level, the level sizes of kWordNetLevels scaled to
// `count`, each node taking its parent in the level above with the chance of that parent's
// heavy-tailed weight. A few nodes take a second parent, any node of a level above.
Adjacency makeWordNetParents(std::uint32_t count, Random random) {
    std::uint64_t profileTotal = 0;
    for (std::uint32_t size : kWordNetLevels)
        profileTotal += size;
    std::vector<std::uint32_t> levels;
    std::uint32_t made = 0;
    for (std::size_t level = 0; level <= kWordNetDepth && made < count; ++level) {
        const std::uint64_t scaled = std::uint64_t{kWordNetLevels[level]} * count / profileTotal;
        std::uint32_t size =
            level == 0 ? 1 : std::max<std::uint32_t>(1, static_cast<std::uint32_t>(scaled));
        if (level == kWordNetDepth || made + size > count)
            size = count - made;
        levels.push_back(size);
        made += size;
    }
    Adjacency parents;
    parents.start.reserve(count + std::size_t{1});
    std::vector<double> cumulative;
    std::uint32_t levelStart = 0;
    std::uint32_t aboveStart = 0;
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const std::uint32_t above = levelStart - aboveStart;
        cumulative.clear();
        double total = 0.0;
        for (std::uint32_t i = 0; i < above; ++i)
            cumulative.push_back(total += heavyWeight(random));
        for (std::uint32_t i = 0; i < levels[level]; ++i) {
            if (level > 0) {
                const double pick = total * random.below(1u << 30) / (1u << 30);
                const auto at = std::upper_bound(cumulative.begin(), cumulative.end(), pick);
                const auto parent =
                    aboveStart + static_cast<std::uint32_t>(
                                     std::min<std::ptrdiff_t>(at - cumulative.begin(), above - 1));
                parents.items.push_back(parent);
                if (levelStart > 1 && random.percent(kSecondParentPercent)) {
                    const std::uint32_t second = random.below(levelStart);
                    if (second != parent)
                        parents.items.push_back(second);
                }
            }
            parents.start.push_back(static_cast<std::uint32_t>(parents.items.size()));
        }
        aboveStart = levelStart;
        levelStart += levels[level];
    }
    return parents;
}

// The inverse lists; each node's children in the order they were made.
Adjacency childrenOf(const Adjacency& parents) {
    const std::uint32_t count = parents.size();
    Adjacency children;
    children.start.assign(count + std::size_t{1}, 0);
    for (std::uint32_t parent : parents.items)
        ++children.start[parent + 1];
    for (std::uint32_t node = 0; node < count; ++node)
        children.start[node + 1] += children.start[node];
    children.items.resize(parents.items.size());
    std::vector<std::uint32_t> next(children.start.begin(), children.start.end() - 1);
    for (std::uint32_t node = 0; node < count; ++node)
        for (const std::uint32_t* parent = parents.begin(node); parent != parents.end(node);
             ++parent)
            children.items[next[*parent]++] = node;
    return children;
}

// The properties, grouped by relation as the writer finds them among each relation's children;
// within a relation they stand in the order they were made.
Adjacency makeProperties(std::uint32_t count, std::uint32_t entities, std::uint32_t relations,
                         Random random, std::vector<std::uint32_t>& ends) {
    std::vector<std::uint32_t> relationOf(count);
    ends.resize(2 * std::size_t{count});
    for (std::uint32_t i = 0; i < count; ++i) {
        relationOf[i] = random.below(relations);
        const std::uint32_t from = random.below(entities);
        ends[2 * std::size_t{i}] = from;
        ends[2 * std::size_t{i} + 1] =
            entities > 1 ? (from + 1 + random.below(entities - 1)) % entities : from;
    }
    Adjacency byRelation;
    byRelation.start.assign(relations + std::size_t{1}, 0);
    for (std::uint32_t relation : relationOf)
        ++byRelation.start[relation + 1];
    for (std::uint32_t relation = 0; relation < relations; ++relation)
        byRelation.start[relation + 1] += byRelation.start[relation];
    byRelation.items.resize(count);
    std::vector<std::uint32_t> next(byRelation.start.begin(), byRelation.start.end() - 1);
    for (std::uint32_t i = 0; i < count; ++i)
        byRelation.items[next[relationOf[i]]++] = i;
    return byRelation;
}

// The isa lines of one kind, in the writer's order: a node without links is written "exists";
// otherwise its whole isa component is walked breadth first, parents before children, and each
// node reached writes the links to its children. `propertiesOf`, for relations, keeps a relation
// that has properties but no isa link from being written "exists".
void appendIsaLines(const NameList& names, const Adjacency& parents, const Adjacency* propertiesOf,
                    std::string& out) {
    const Adjacency children = childrenOf(parents);
    const std::uint32_t count = parents.size();
    std::vector<bool> visited(count, false);
    std::vector<std::uint32_t> queue;
    const auto visit = [&](std::uint32_t node) {
        if (visited[node])
            return;
        visited[node] = true;
        queue.push_back(node);
        for (const std::uint32_t* child = children.begin(node); child != children.end(node);
             ++child) {
            out += names[*child];
            out += " isa ";
            out += names[node];
            out += '\n';
        }
    };
    for (std::uint32_t node = 0; node < count; ++node) {
        if (parents.empty(node) && children.empty(node)) {
            if (!propertiesOf || propertiesOf->empty(node)) {
                out += names[node];
                out += " exists\n";
            }
            continue;
        }
        queue.clear();
        visit(node);
        for (std::size_t next = 0; next < queue.size(); ++next) {
            const std::uint32_t reached = queue[next];
            for (const std::uint32_t* parent = parents.begin(reached);
                 parent != parents.end(reached); ++parent)
                visit(*parent);
            for (const std::uint32_t* child = children.begin(reached);
                 child != children.end(reached); ++child)
                visit(*child);
        }
    }
}

void appendPropertyLines(const NameList& entities, const NameList& relations,
                         const Adjacency& byRelation, const std::vector<std::uint32_t>& ends,
                         std::string& out) {
    for (std::uint32_t relation = 0; relation < byRelation.size(); ++relation) {
        for (const std::uint32_t* property = byRelation.begin(relation);
             property != byRelation.end(relation); ++property) {
            out += entities[ends[2 * std::size_t{*property}]];
            out += ' ';
            out += relations[relation];
            out += ' ';
            out += entities[ends[2 * std::size_t{*property} + 1]];
            out += '\n';
        }
    }
}

void appendFontLines(const FontChoice& fonts, std::string& out) {
    for (std::size_t i = 0; i < fonts.faces.size(); ++i) {
        if (!fonts.used[i])
            continue;
        appendNumber(out, static_cast<std::uint32_t>(i + 1));
        out += " isa \"";
        out += fonts.faces[i];
        out += "\"\n";
    }
}

std::uint32_t countOf(int requested) {
    return requested > 0 ? static_cast<std::uint32_t>(requested) : 0;
}

} // namespace

namespace {

// The lattice's layer width for the entities asked for: at least 2, so that a node can have
// two distinct parents.
std::uint32_t latticeWidth(const GeneratorOptions& options) {
    const std::uint32_t layers = countOf(options.latticeDepth) + 1;
    return std::max<std::uint32_t>(2, countOf(options.entities) / layers);
}

std::uint32_t entityCountOf(const GeneratorOptions& options) {
    if (options.shape == GeneratorOptions::Shape::Lattice)
        return latticeWidth(options) * (countOf(options.latticeDepth) + 1);
    return countOf(options.entities);
}

Adjacency entityHierarchy(const GeneratorOptions& options, std::uint32_t count) {
    Random random = streamFor(options.seed, Part::EntityLinks);
    switch (options.shape) {
    case GeneratorOptions::Shape::Lattice:
        return makeLatticeParents(latticeWidth(options), countOf(options.latticeDepth), random);
    case GeneratorOptions::Shape::WordNet:
        return makeWordNetParents(count, random);
    case GeneratorOptions::Shape::Random:
        break;
    }
    return makeParents(count, std::max<std::uint32_t>(1, countOf(options.maxParents)), random);
}

} // namespace

GeneratorOptions WordNetOptions(std::uint32_t seed) {
    GeneratorOptions options;
    options.seed = seed;
    options.shape = GeneratorOptions::Shape::WordNet;
    options.entities = 118000;
    options.relations = 8;
    options.properties = 100000;
    options.maxParents = 2;
    return options;
}

std::vector<std::vector<std::uint32_t>> EntityParents(const GeneratorOptions& options) {
    const Adjacency parents = entityHierarchy(options, entityCountOf(options));
    std::vector<std::vector<std::uint32_t>> lists(parents.size());
    for (std::uint32_t node = 0; node < parents.size(); ++node)
        lists[node].assign(parents.begin(node), parents.end(node));
    return lists;
}

std::string GenerateNetwork(const GeneratorOptions& options) {
    const std::uint32_t seed = options.seed;
    const std::uint32_t entityCount = entityCountOf(options);
    const std::uint32_t relationCount = countOf(options.relations);
    const std::uint32_t propertyCount =
        entityCount > 0 && relationCount > 0 ? countOf(options.properties) : 0;
    const std::uint32_t maxParents = std::max<std::uint32_t>(1, countOf(options.maxParents));

    FontChoice fonts = chooseFonts(streamFor(seed, Part::Fonts));
    const NameList relations = makeNames(kRelationWords, relationCount, options.formatted,
                                         streamFor(seed, Part::RelationNames), fonts);
    const NameList entities = makeNames(kEntityWords, entityCount, options.formatted,
                                        streamFor(seed, Part::EntityNames), fonts);
    const Adjacency relationParents =
        makeParents(relationCount, maxParents, streamFor(seed, Part::RelationLinks));
    const Adjacency entityParents = entityHierarchy(options, entityCount);
    std::vector<std::uint32_t> propertyEnds;
    const Adjacency properties = makeProperties(propertyCount, entityCount, relationCount,
                                                streamFor(seed, Part::Properties), propertyEnds);

    // Sized once, so that a large network is not copied while it grows.
    std::string out;
    out.reserve(64 +
                (relationParents.items.size() + relationCount) * (2 * relations.averageSize() + 6) +
                (entityParents.items.size() + entityCount) * (2 * entities.averageSize() + 6) +
                propertyCount * (2 * entities.averageSize() + relations.averageSize() + 3));
    out += "#RELATIONS\n";
    appendIsaLines(relations, relationParents, &properties, out);
    out += "\n\n#ENTITIES\n";
    appendIsaLines(entities, entityParents, nullptr, out);
    out += "\n\n#PROPERTIES\n";
    appendPropertyLines(entities, relations, properties, propertyEnds, out);
    out += "\n\n#FONTS\n";
    appendFontLines(fonts, out);
    return out;
}

} // namespace tarvo::tools
