// Tests of the network generator: repeatable, laid out as the writer lays files out, sized as
// asked, free of isa cycles, and every name reading back to a label that writes out unchanged.
#include "tools/network_generator.h"

#include "labels/label_markup.h"
#include "memory/size_class_heap.h"

#include "support/label_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tarvo::tools {
namespace {

using Words = std::vector<std::string>;
using Links = std::set<std::pair<std::string, std::string>>; // child, parent

// The words of one line, split as the word reader splits them; quoted words keep their quotes.
Words wordsOf(const std::string& line) {
    Words words;
    for (std::size_t at = line.find_first_not_of(' '); at != std::string::npos;
         at = line.find_first_not_of(' ', at)) {
        std::size_t end = line[at] == '"' ? line.find('"', at + 1) : line.find(' ', at);
        end = end == std::string::npos ? line.size() : end + (line[at] == '"');
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// The statements of each section, by section header, and the headers in file order.
struct Network {
    std::map<std::string, std::vector<Words>> sections;
    std::vector<std::string> headers;
};

Network parsed(const std::string& text) {
    Network network;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with('#'))
            network.headers.push_back(line);
        else if (!line.empty() && !network.headers.empty())
            network.sections[network.headers.back()].push_back(wordsOf(line));
    }
    return network;
}

// True when no isa path leads back to where it started: nodes whose parents are all taken
// away are taken away in turn until none is left.
bool acyclic(const Links& links) {
    std::map<std::string, int> parentsLeft;
    std::multimap<std::string, std::string> children;
    for (const auto& [child, parent] : links) {
        ++parentsLeft[child];
        parentsLeft[parent];
        children.emplace(parent, child);
    }
    std::vector<std::string> free;
    for (const auto& [name, count] : parentsLeft)
        if (count == 0)
            free.push_back(name);
    std::size_t taken = 0;
    for (; !free.empty(); ++taken) {
        const auto [begin, end] = children.equal_range(free.back());
        free.pop_back();
        for (auto it = begin; it != end; ++it)
            if (--parentsLeft[it->second] == 0)
                free.push_back(it->second);
    }
    return taken == parentsLeft.size();
}

class NetworkGeneratorTest : public testing_support::LabelStateTest {
protected:
    // Checks one name as the reader and the writer see it and files its label under its kind.
    void checkName(const std::string& name, std::map<std::string, std::string>& labels) {
        const bool quoted = name.front() == '"';
        const std::size_t quotes = quoted ? 1 : 0;
        const std::string inner = name.substr(quotes, name.size() - 2 * quotes);
        for (const char ch : inner) {
            const auto c = static_cast<unsigned char>(ch);
            EXPECT_TRUE(quoted ? c != '"' && c != '\t' && c != 0xff : c > 32 && c < 127) << name;
        }
        char* label = MarkupToLabel(inner.c_str(), ids);
        std::string written;
        LabelToMarkup(label, written);
        EXPECT_EQ(written, name);
        labels.emplace(name, label);
        Release(label);
    }

    // The names of one kind and its isa links, from a RELATIONS or ENTITIES section.
    Links readKind(const std::vector<Words>& statements, std::map<std::string, std::string>& labels,
                   int maxParents) {
        Links links;
        std::set<std::string> unlinked;
        std::map<std::string, int> parents;
        for (const Words& words : statements) {
            const bool alone = words.size() == 2 && words[1] == "exists";
            if (!alone && (words.size() != 3 || words[1] != "isa")) {
                ADD_FAILURE() << "not a statement: " << words.size() << " words";
                continue;
            }
            checkName(words[0], labels);
            if (alone) {
                EXPECT_TRUE(unlinked.insert(words[0]).second) << words[0];
                continue;
            }
            checkName(words[2], labels);
            EXPECT_TRUE(links.emplace(words[0], words[2]).second) << words[0];
            EXPECT_LE(++parents[words[0]], maxParents) << words[0];
        }
        for (const auto& [child, parent] : links)
            EXPECT_TRUE(!unlinked.contains(child) && !unlinked.contains(parent))
                << child << " " << parent;
        EXPECT_TRUE(acyclic(links));
        return links;
    }

    void checkNetwork(const GeneratorOptions& options) {
        const std::string text = GenerateNetwork(options);
        Network network = parsed(text);
        ASSERT_EQ(network.headers, (Words{"#RELATIONS", "#ENTITIES", "#PROPERTIES", "#FONTS"}));
        for (std::size_t i = 1; i < network.headers.size(); ++i)
            EXPECT_NE(text.find("\n\n" + network.headers[i] + "\n"), std::string::npos);

        std::map<std::string, std::string> relations;
        std::map<std::string, std::string> entities;
        readKind(network.sections["#RELATIONS"], relations, options.maxParents);
        const Links isa = readKind(network.sections["#ENTITIES"], entities, options.maxParents);
        const std::size_t entityCount = entities.size();
        for (const Words& words : network.sections["#PROPERTIES"]) {
            ASSERT_EQ(words.size(), 3u);
            checkName(words[1], relations);
            checkName(words[0], entities);
            checkName(words[2], entities);
        }
        EXPECT_EQ(entities.size(), entityCount) << "a property names an unknown entity";
        EXPECT_EQ(entities.size(), std::size_t(options.entities));
        EXPECT_EQ(relations.size(), std::size_t(options.relations));
        EXPECT_EQ(network.sections["#PROPERTIES"].size(), std::size_t(options.properties));

        // Two spellings of one label would be one node once read.
        for (const auto* kind : {&relations, &entities}) {
            std::set<std::string> labels;
            for (const auto& [name, label] : *kind)
                EXPECT_TRUE(labels.insert(label).second) << name;
        }
        if (options.maxParents > 1 && options.entities >= 100) {
            std::map<std::string, int> parents;
            for (const auto& link : isa)
                ++parents[link.first];
            EXPECT_TRUE(std::any_of(parents.begin(), parents.end(),
                                    [](const auto& entry) { return entry.second > 1; }));
        }

        // FONTS lists exactly the fonts that the names use.
        std::set<std::string> listed;
        for (const Words& words : network.sections["#FONTS"]) {
            ASSERT_TRUE(words.size() == 3 && words[1] == "isa" && words[2].front() == '"');
            listed.insert("<f=" + words[0] + ">");
        }
        std::set<std::string> used;
        for (std::size_t at = text.find("<f="); at != std::string::npos;
             at = text.find("<f=", at + 1))
            used.insert(text.substr(at, text.find('>', at) + 1 - at));
        EXPECT_EQ(listed, used);
    }
};

TEST_F(NetworkGeneratorTest, IsRepeatableAndFollowsTheSeed) {
    GeneratorOptions options;
    const std::string first = GenerateNetwork(options);
    EXPECT_EQ(GenerateNetwork(options), first);
    options.seed = 2;
    EXPECT_NE(GenerateNetwork(options), first);
}

TEST_F(NetworkGeneratorTest, NetworksAreWellFormedAndSizedAsAsked) {
    const GeneratorOptions cases[] = {
        {1, 2000, 40, 2000, 3, true}, {7, 300, 1, 20, 1, false}, {3, 1, 1, 2, 3, true},
        {4, 2, 30, 0, 5, true},       {5, 0, 0, 0, 3, true},
    };
    for (const GeneratorOptions& options : cases) {
        SCOPED_TRACE(::testing::Message() << "seed " << options.seed);
        checkNetwork(options);
    }
}

TEST_F(NetworkGeneratorTest, FormattedNamesUseTheWholeMarkupAndPlainNamesNone) {
    GeneratorOptions options;
    options.entities = 2000;
    const std::string formatted = GenerateNetwork(options);
    for (const char* markup : {"<b>", "<i>", "<phon>", "<sml>", "<super>", "<sub>", "<f=", "&amp;",
                               "&semi;", "&lthan;", "&gthan;", "&dquote;", "\xe9"})
        EXPECT_NE(formatted.find(markup), std::string::npos) << markup;
    options.formatted = false;
    const std::string plain = GenerateNetwork(options);
    EXPECT_EQ(plain.find_first_of("<&"), std::string::npos);
    EXPECT_TRUE(std::all_of(plain.begin(), plain.end(), [](unsigned char c) { return c < 127; }));
    EXPECT_NE(plain.find("\" isa "), std::string::npos) << "no name with a blank";
}

TEST_F(NetworkGeneratorTest, LatticesGiveEveryNodeTwoParentsInTheLayerAbove) {
    GeneratorOptions options;
    options.shape = GeneratorOptions::Shape::Lattice;
    options.latticeDepth = 9;
    options.entities = 200;
    checkNetwork(options);
    const auto parents = EntityParents(options);
    ASSERT_EQ(parents.size(), 200u);
    constexpr std::uint32_t width = 20;
    for (std::uint32_t node = 0; node < parents.size(); ++node) {
        const std::uint32_t layer = node / width;
        if (layer == 0) {
            EXPECT_TRUE(parents[node].empty()) << node;
            continue;
        }
        ASSERT_EQ(parents[node].size(), 2u) << node;
        EXPECT_NE(parents[node][0], parents[node][1]) << node;
        for (std::uint32_t parent : parents[node])
            EXPECT_EQ(parent / width, layer - 1) << node;
    }
    // Too few entities for two layers of two still give a lattice of width 2.
    options.entities = 3;
    EXPECT_EQ(EntityParents(options).size(), 20u);
}

TEST_F(NetworkGeneratorTest, WordNetShapedNetworksAreOneDeepTreeWithSkewedBranching) {
    GeneratorOptions options = WordNetOptions(5);
    options.entities = 20000;
    options.properties = 3000;
    checkNetwork(options);
    const auto parents = EntityParents(options);
    EXPECT_EQ(EntityParents(options), parents) << "the same seed, the same hierarchy";
    ASSERT_EQ(parents.size(), 20000u);
    std::vector<int> depth(parents.size(), 0);
    std::vector<int> children(parents.size(), 0);
    int roots = 0;
    int secondParents = 0;
    int deepest = 0;
    for (std::size_t node = 0; node < parents.size(); ++node) {
        const auto& own = parents[node];
        if (own.empty()) {
            ++roots;
            continue;
        }
        ASSERT_LE(own.size(), 2u);
        for (std::uint32_t parent : own) {
            ASSERT_LT(parent, node) << "parents are made first";
            ++children[parent];
        }
        secondParents += own.size() == 2 ? 1 : 0;
        depth[node] = depth[own[0]] + 1;
        deepest = std::max(deepest, depth[node]);
    }
    EXPECT_EQ(roots, 1);
    EXPECT_LE(deepest, kWordNetDepth);
    EXPECT_GE(deepest, 10);
    EXPECT_GT(secondParents, 20000 / 100);
    EXPECT_LT(secondParents, 20000 * 3 / 100);
    // A few nodes with hundreds of children, most with few.
    const int most = *std::max_element(children.begin(), children.end());
    EXPECT_GE(most, 100);
    const auto few = std::count_if(children.begin(), children.end(), [](int c) { return c <= 3; });
    EXPECT_GT(few, 20000 * 9 / 10);
}

} // namespace
} // namespace tarvo::tools
