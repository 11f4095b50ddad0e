// The inheritance report for a node deep in a large hierarchy with several parents per node.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"
#include "labels/font_table.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/graph_walk.h"
#include "model/links.h"
#include "model/network.h"
#include "platform/font_catalog.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace tarvo;

std::uint64_t nextRandom(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Node* named(Network& net, Node* node, const std::string& name) {
    node->setName(name.c_str(), 1);
    net.add(node);
    return node;
}

// `depth` layers of entities, each node with `parents` parents in the layer above and one
// property of one of 100 relations to a random entity. Answers a node of the deepest layer.
Node* buildHierarchy(Network& net, int nodes, int depth, int parents) {
    std::uint64_t random = 20261208;
    std::vector<Node*> relations;
    relations.reserve(100);
    for (int r = 0; r < 100; ++r)
        relations.push_back(named(net, new Relation, "relation" + std::to_string(r)));
    const int perLayer = nodes / (depth + 1);
    std::vector<std::vector<Node*>> layers(static_cast<std::size_t>(depth + 1));
    std::vector<Node*> all;
    for (int layer = 0; layer <= depth; ++layer) {
        for (int i = 0; i < perLayer; ++i) {
            Node* node =
                named(net, new Node, "n" + std::to_string(layer) + "_" + std::to_string(i));
            if (layer > 0) {
                const auto& above = layers[static_cast<std::size_t>(layer - 1)];
                for (int p = 0; p < parents; ++p)
                    addChild(above[nextRandom(random) % above.size()], node);
            }
            layers[static_cast<std::size_t>(layer)].push_back(node);
            all.push_back(node);
        }
    }
    for (Node* from : all) {
        Node* relation = relations[nextRandom(random) % relations.size()];
        Node* to = all[nextRandom(random) % all.size()];
        net.add(new Property(relation, from, to, 0, -1, net.labelIds()));
    }
    return layers.back().front();
}

void Report(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    const int parents = static_cast<int>(state.range(1));
    Network net;
    Node* deep = buildHierarchy(net, 100000, depth, parents);
    int found = 0;
    for (auto _ : state) {
        InheritanceReport report;
        RunInheritanceReport(deep, report);
        found = report.inheritedProperties ? report.inheritedProperties->size() : 0;
        DisposeInheritanceReport(report);
    }
    state.counters["inherited"] = found;
}

// The report's searches one by one on the same node, each one's processor milliseconds as a
// counter.
void Searches(benchmark::State& state) {
    Network net;
    Node* deep = buildHierarchy(net, 100000, static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
    // Processor time: the machine may be shared while this runs.
    const auto since = [](std::clock_t start) {
        return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    };
    for (auto _ : state) {
        ReportLists lists;
        std::clock_t start = std::clock();
        NodeList* own = StipulatedRelations(deep, ParentSlot, lists);
        DisposeList(own);
        lists.OwnStipulated = lists.StipulatedList;
        lists.StipulatedList = nullptr;
        start = std::clock();
        NodeList* relations = InheritedRelations(deep, ParentSlot, lists);
        state.counters["relations_ms"] = since(start);
        start = std::clock();
        NodeList* ancestors = AncestorNodes(deep, ParentSlot);
        state.counters["ancestors_ms"] = since(start);
        start = std::clock();
        NodeList* values = InheritedProperties(deep, ParentSlot, lists);
        state.counters["properties_ms"] = since(start);
        state.counters["ancestors"] = listSize(ancestors);
        for (NodeList* list : {relations, ancestors, values})
            DisposeList(list);
    }
}

BENCHMARK(Searches)->Args({20, 2})->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK(Report)
    ->Args({20, 1})
    ->Args({10, 2})
    ->Args({12, 2})
    ->Args({14, 2})
    ->Args({20, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    // The report writes to the debugging log; keep it off the disk while measuring.
    tarvo::DebugLogOn = false;
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();
    platform::ListedFontCatalog catalog("Times New Roman");
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
