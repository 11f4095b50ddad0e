// Generated networks written and read back: the network that comes back is the one written.
#include "netfile/network_file.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/font_table.h"
#include "model/network.h"
#include "platform/font_catalog.h"
#include "tools/network_generator.h"

#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

std::string nameOf(const NodeBase* node) {
    return node->name ? node->name : "<none>";
}

// Every node with the names in its four slots, in slot order: the network without its keys.
std::vector<std::string> describeNetwork(const Network& net) {
    std::vector<std::string> lines;
    net.table()->forEach(
        [](void* context, NodeBase* base) {
            const Node* node = asNode(base);
            std::string line = std::to_string(node->isProperty() * 2 + node->relationKind());
            line += "|" + nameOf(node);
            for (int slot = 0; slot < kLinkSlotCount; ++slot) {
                std::vector<std::string> names;
                const NodeList* list = node->slotList(slot);
                for (int i = 0, n = list ? list->size() : 0; i < n; ++i)
                    names.push_back(nameOf(list->nodeAt(i)));
                // A file keeps the order of each node's children (and of a relation's
                // properties); the other lists fill in the order the file's lines come.
                if (slot != ChildSlot)
                    std::sort(names.begin(), names.end());
                line += "|";
                for (const std::string& name : names)
                    line += name + ",";
            }
            static_cast<std::vector<std::string>*>(context)->push_back(line);
            return 0;
        },
        &lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Loads `text` from a file into a new network, which `net` then holds, and answers what it
// writes back.
std::string loadAndSave(std::unique_ptr<Network>& net, const std::string& text,
                        const std::string& folder) {
    const std::string in = folder + "/in.dat";
    const std::string out = folder + "/out.dat";
    if (std::FILE* file = std::fopen(in.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    net = std::make_unique<Network>();
    Diagnostics problems;
    LoadNetworkFile(*net, in.c_str(), nullptr, &problems);
    for (const Diagnostic& problem : problems)
        ADD_FAILURE() << "line " << problem.line << ": " << problem.message;
    EXPECT_EQ(WriteNetworkFile(*net, out.c_str()), 1);
    std::string written;
    if (std::FILE* file = std::fopen(out.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            written.append(chunk, n);
        std::fclose(file);
    }
    return written;
}

// A written network reads back into the same nodes with the same links, each node's children in
// the same order. The lines of the file come back too, though not always in the same order: the
// writer follows the table, whose buckets keep their nodes in the order a file first named them,
// and a file the writer made names them in another order than the file it was read from.
TEST(NetworkRoundTrip, GeneratedNetworksComeBackAsTheyWereWritten) {
    char pattern[] = "/tmp/tarvo-roundtrip-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    platform::ListedFontCatalog catalog("Arial;Courier New;DejaVu Sans;Times New Roman");
    BuildFontTable(catalog);
    std::unique_ptr<Network> net;
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(seed);
        tools::GeneratorOptions options;
        options.seed = seed;
        options.entities = 400;
        options.relations = 30;
        options.properties = 300;
        options.formatted = seed != 3;
        const std::string first = loadAndSave(net, tools::GenerateNetwork(options), folder);
        const std::vector<std::string> written = describeNetwork(*net);
        const std::string second = loadAndSave(net, first, folder);
        EXPECT_EQ(describeNetwork(*net), written);
        EXPECT_EQ(sortedLines(second), sortedLines(first));
        const std::string third = loadAndSave(net, second, folder);
        EXPECT_EQ(describeNetwork(*net), written);
    }
    net.reset();
    ReleaseFontTable();
    std::system(("rm -rf " + folder).c_str());
}

// The network that ships with the program: large enough to show every part of a view, and read
// without a complaint; what it writes reads back as the same network.
TEST(NetworkRoundTrip, TheShippedNetworkReadsCleanlyAndComesBack) {
    char pattern[] = "/tmp/tarvo-shipped-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    std::FILE* in = std::fopen(TARVO_SAMPLE_NETWORK, "rb");
    ASSERT_NE(in, nullptr);
    std::string text;
    for (int c; (c = std::fgetc(in)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(in);
    // The load fails the test on any problem it meets.
    std::unique_ptr<Network> net;
    const std::string written = loadAndSave(net, text, folder);
    int kinds[3] = {};
    net->table()->forEach(
        [](void* c, NodeBase* n) {
            ++static_cast<int*>(c)[asNode(n)->isProperty() ? 2 : asNode(n)->relationKind()];
            return 0;
        },
        kinds);
    EXPECT_GE(kinds[0] + kinds[1], 150);
    EXPECT_GE(kinds[1], 30);
    EXPECT_GE(kinds[2], 50);
    const std::vector<std::string> network = describeNetwork(*net);
    loadAndSave(net, written, folder);
    EXPECT_EQ(describeNetwork(*net), network);
    net.reset();
    std::system(("rm -rf " + folder).c_str());
}

} // namespace
} // namespace tarvo
