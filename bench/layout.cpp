// The layered layout of large views: the creation layout, the improvement sweeps and the view's
// own copy of the network, on trees and on layered DAGs of entities.
//
// Besides the timings every benchmark reports the shape of the result: the nodes in the grid,
// the fillers, the grid's slots and layers, the link crossings between adjacent layers and the
// memory the view took at its peak.
//
// `bench_layout --dot-dir DIR [--max-nodes N]` instead writes every graph as DIR/<graph>.dot
// for an outside layered-drawing program and prints one line per graph with our time and
// crossings, so that bench/compare_dot.sh can set the two side by side.
#include "view/layout.h"
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/layering.h"
#include "layout/layout_improvement.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "view/net_view.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Memory accounting: every block the process takes from malloc, through operator new or
// through the size-class heap's system allocation, counts while it is live.
namespace {

std::size_t liveBytes = 0;
std::size_t peakBytes = 0;

void* countedAllocate(std::size_t bytes) {
    void* block = std::malloc(bytes ? bytes : 1);
    if (block) {
        liveBytes += malloc_usable_size(block);
        peakBytes = std::max(peakBytes, liveBytes);
    }
    return block;
}

void countedFree(void* block) {
    if (!block)
        return;
    liveBytes -= malloc_usable_size(block);
    std::free(block);
}

} // namespace

void* operator new(std::size_t bytes) {
    if (void* block = countedAllocate(bytes))
        return block;
    throw std::bad_alloc();
}
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    return countedAllocate(bytes);
}
void operator delete(void* block) noexcept {
    countedFree(block);
}
void operator delete(void* block, std::size_t) noexcept {
    countedFree(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    countedFree(block);
}

namespace {

using namespace tarvo;

// Graphs.

enum Family { kTree = 0, kDag = 1 };

const char* familyName(int family) {
    return family == kTree ? "tree" : "dag";
}

constexpr int kSizes[] = {1000, 5000, 20000};
// DAG parents are drawn from the nodes just before the child, which makes the depth grow with
// the node count: the longest paths from the root have 35, 123 and 452 links at the three
// sizes.
constexpr int kDagWindow = 200;

struct Graph {
    int nodes = 0;
    // Parent and child indexes, in the order the links are made.
    std::vector<std::pair<int, int>> links;
};

// A number in [0, range), the same on every platform: mt19937's output sequence is fixed by
// the standard, and the mapping from it is our own.
int uniformBelow(std::mt19937& random, int range) {
    return static_cast<int>(
        (static_cast<std::uint64_t>(random()) * static_cast<std::uint64_t>(range)) >> 32);
}

// Tree: node i's parent is node (i - 1) / 4; node 0 is the root.
// DAG: node i > 0 has 1 to 3 distinct parents among the nodes [max(0, i - 200), i); every node
// descends from node 0, the root.
Graph makeGraph(int family, int nodes) {
    Graph graph;
    graph.nodes = nodes;
    if (family == kTree) {
        for (int i = 1; i < nodes; ++i)
            graph.links.emplace_back((i - 1) / 4, i);
        return graph;
    }
    std::mt19937 random(20240611u);
    for (int i = 1; i < nodes; ++i) {
        const int low = std::max(0, i - kDagWindow);
        const int count = std::min(1 + uniformBelow(random, 3), i - low);
        int chosen[3];
        for (int k = 0; k < count;) {
            const int parent = low + uniformBelow(random, i - low);
            if (std::find(chosen, chosen + k, parent) != chosen + k)
                continue;
            chosen[k++] = parent;
            graph.links.emplace_back(parent, i);
        }
    }
    return graph;
}

std::string graphName(int family, int nodes) {
    return std::string(familyName(family)) + "_" + std::to_string(nodes);
}

// The network of one graph, kept while consecutive benchmarks use it.
struct LoadedNetwork {
    int family = -1;
    int nodes = 0;
    Node* root = nullptr;
    std::unique_ptr<Network> network;
};

LoadedNetwork& loaded() {
    static LoadedNetwork network;
    return network;
}

// Gives the heap's free blocks back, so that what the next measurement takes is not served
// from blocks an earlier graph released.
void emptyHeapFreeLists() {
    DestroyHeap();
    CreateHeap();
}

void unloadNetwork() {
    loaded() = LoadedNetwork{};
    emptyHeapFreeLists();
}

// The root of the graph's network, building it unless it is the one open already.
Node* loadNetwork(int family, int nodes) {
    LoadedNetwork& current = loaded();
    if (current.root && current.family == family && current.nodes == nodes)
        return current.root;
    unloadNetwork();
    const Graph graph = makeGraph(family, nodes);
    auto network = std::make_unique<Network>();
    std::vector<Node*> made(static_cast<std::size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        Node* node = new Node;
        char name[16];
        std::snprintf(name, sizeof name, "n%d", i);
        node->setName(name, 1);
        network->add(node);
        made[static_cast<std::size_t>(i)] = node;
    }
    for (const auto& [parent, child] : graph.links)
        addChild(made[static_cast<std::size_t>(parent)], made[static_cast<std::size_t>(child)]);
    current = LoadedNetwork{family, nodes, made.front(), std::move(network)};
    return current.root;
}

// What a layout produced.

struct LayoutShape {
    std::int64_t nodes = 0;
    std::int64_t dummies = 0;
    std::int64_t slots = 0;
    std::int64_t layers = 0;
    std::int64_t links = 0;
    std::int64_t crossings = 0;
    // Links in the grid that do not join adjacent layers, and nodes whose slot and layer do
    // not name the cell holding them; both should stay 0.
    std::int64_t longLinks = 0;
    std::int64_t misplaced = 0;
    // The layout's own measure of its link lengths, which the improvement lowers.
    double energy = 0.0;
};

int visibleRow(const LayoutGrid& grid, const ViewNode* node) {
    return node->slot + grid.slotOffset;
}

int visibleColumn(const LayoutGrid& grid, const ViewNode* node) {
    return node->layer + grid.layerOffset;
}

// Crossing pairs among links given as (upper row, lower row): pairs whose rows change order
// between the two layers. Sorted by upper row, each link crosses the earlier links of a
// strictly smaller upper row that end on a strictly greater lower row, which a Fenwick tree
// over the lower rows counts.
std::int64_t countCrossings(std::vector<std::pair<int, int>>& band) {
    std::sort(band.begin(), band.end());
    std::vector<int> lower;
    lower.reserve(band.size());
    for (const auto& link : band)
        lower.push_back(link.second);
    std::sort(lower.begin(), lower.end());
    lower.erase(std::unique(lower.begin(), lower.end()), lower.end());
    std::vector<std::int64_t> tree(lower.size() + 1, 0);
    auto rank = [&lower](int row) {
        return static_cast<std::size_t>(std::lower_bound(lower.begin(), lower.end(), row) -
                                        lower.begin()) +
               1;
    };
    std::int64_t crossings = 0;
    std::int64_t inserted = 0;
    for (std::size_t start = 0; start < band.size();) {
        std::size_t end = start;
        while (end < band.size() && band[end].first == band[start].first)
            ++end;
        for (std::size_t k = start; k < end; ++k) {
            std::int64_t atOrBelow = 0;
            for (std::size_t i = rank(band[k].second); i > 0; i -= i & (~i + 1))
                atOrBelow += tree[i];
            crossings += inserted - atOrBelow;
        }
        for (std::size_t k = start; k < end; ++k) {
            for (std::size_t i = rank(band[k].second); i < tree.size(); i += i & (~i + 1))
                ++tree[i];
            ++inserted;
        }
        start = end;
    }
    return crossings;
}

LayoutShape measureShape(const NetView& view) {
    const LayoutGrid& grid = view.layout.grid;
    LayoutShape shape;
    shape.dummies = view.layout.dummyCount;
    shape.energy = view.layout.energy;
    shape.slots = grid.slotCount;
    shape.layers = grid.layerCount;
    std::vector<std::vector<std::pair<int, int>>> bands(
        static_cast<std::size_t>(std::max(0, grid.layerCount - 1)));
    for (int column = 0; column < grid.layerCount; ++column) {
        for (int row = 0; row < grid.slotCount; ++row) {
            const ViewNode* node = grid.at(row, column);
            if (!node)
                continue;
            if (!node->hasFlag(NodeFlags::DummyNode))
                ++shape.nodes;
            if (visibleRow(grid, node) != row || visibleColumn(grid, node) != column)
                ++shape.misplaced;
            const NodeSlot children = node->slots[ChildSlot];
            for (int i = 0, size = children ? children.size() : 0; i < size; ++i) {
                const auto* child = static_cast<const ViewNode*>(children.nodeAt(i));
                if (child->hasFlag(NodeFlags::Hidden))
                    continue;
                ++shape.links;
                if (visibleColumn(grid, child) != column + 1) {
                    ++shape.longLinks;
                    continue;
                }
                bands[static_cast<std::size_t>(column)].emplace_back(row, visibleRow(grid, child));
            }
        }
    }
    for (auto& band : bands)
        shape.crossings += countCrossings(band);
    return shape;
}

// Benchmarks.

void reportShape(benchmark::State& state, const LayoutShape& shape) {
    state.counters["nodes"] = static_cast<double>(shape.nodes);
    state.counters["dummies"] = static_cast<double>(shape.dummies);
    state.counters["slots"] = static_cast<double>(shape.slots);
    state.counters["layers"] = static_cast<double>(shape.layers);
    state.counters["crossings"] = static_cast<double>(shape.crossings);
    state.counters["energy"] = shape.energy;
    if (shape.longLinks)
        state.counters["long_links"] = static_cast<double>(shape.longLinks);
    if (shape.misplaced)
        state.counters["misplaced"] = static_cast<double>(shape.misplaced);
}

enum class Stage { Build, Creation, Improved, Untangled };

bool improves(Stage stage) {
    return stage == Stage::Improved || stage == Stage::Untangled;
}

// The view on the graph's root made from scratch up to `stage`, with the peak of the memory it
// took meanwhile, in MiB, beyond what was live before.
double buildMeasured(NetView& view, Node* root, Stage stage) {
    DestroyViewNodes(view);
    emptyHeapFreeLists();
    const std::size_t before = liveBytes;
    peakBytes = liveBytes;
    view.options.untangle = stage == Stage::Untangled;
    BuildViewNodes(view, *loaded().network, root);
    if (stage != Stage::Build)
        StartViewLayout(view, 1);
    if (improves(stage))
        ImproveLayout(view);
    return static_cast<double>(peakBytes - before) / (1024.0 * 1024.0);
}

int countNode(void* context, NodeBase*) {
    ++*static_cast<int*>(context);
    return 0;
}

int viewNodeCount(NetView& view) {
    int count = 0;
    if (view.layout.nodes)
        view.layout.nodes->forEach(&countNode, &count);
    return count;
}

// The view's own copy of the network, with its table, from the root; the copy the previous
// iteration made is destroyed outside the timing.
void BuildView(benchmark::State& state, int family, int nodes) {
    Node* root = loadNetwork(family, nodes);
    NetView view;
    const double peak = buildMeasured(view, root, Stage::Build);
    for (auto _ : state) {
        state.PauseTiming();
        DestroyViewNodes(view);
        state.ResumeTiming();
        BuildViewNodes(view, *loaded().network, root);
    }
    state.counters["nodes"] = viewNodeCount(view);
    state.counters["peak_MiB"] = peak;
}

// The creation layout, alone or followed by the improvement sweeps (and the untangling pass
// after them for the Untangled stage), on a view built already.
// The previous iteration's fillers are removed outside the timing, so that each iteration
// times what opening a view costs.
void timeLayout(benchmark::State& state, int family, int nodes, Stage stage) {
    Node* root = loadNetwork(family, nodes);
    NetView view;
    const double peak = buildMeasured(view, root, stage);
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDummyNodes(view.layout);
        state.ResumeTiming();
        RecalcLayout(view, false);
        if (improves(stage))
            ImproveLayout(view);
    }
    reportShape(state, measureShape(view));
    state.counters["peak_MiB"] = peak;
}

void CreationLayout(benchmark::State& state, int family, int nodes) {
    timeLayout(state, family, nodes, Stage::Creation);
}

void CreationAndImprove(benchmark::State& state, int family, int nodes) {
    timeLayout(state, family, nodes, Stage::Improved);
}

void CreationImproveUntangle(benchmark::State& state, int family, int nodes) {
    timeLayout(state, family, nodes, Stage::Untangled);
}

// One upward sweep with full blend, the improvement's first and usually largest step, on a
// fresh creation layout each time.
void FirstSweep(benchmark::State& state, int family, int nodes) {
    Node* root = loadNetwork(family, nodes);
    NetView view;
    buildMeasured(view, root, Stage::Creation);
    for (auto _ : state) {
        state.PauseTiming();
        RecalcLayout(view, false);
        state.ResumeTiming();
        SweepLayout(view.layout, view.options.justification, tarvo::SweepDirection::Upward,
                    tarvo::SweepMode::Reorder, 1.0f);
    }
    reportShape(state, measureShape(view));
}

// Taking the fillers out again, as every later layout and closing the view do first. The
// layout that puts them in runs outside the timing, so the iterations are few and fixed: the
// framework would otherwise repeat that layout until the short removals added up.
void RemoveFillers(benchmark::State& state, int family, int nodes) {
    Node* root = loadNetwork(family, nodes);
    NetView view;
    buildMeasured(view, root, Stage::Build);
    std::int64_t dummies = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RecalcLayout(view, false);
        dummies = view.layout.dummyCount;
        state.ResumeTiming();
        RemoveDummyNodes(view.layout);
    }
    state.counters["dummies"] = static_cast<double>(dummies);
}

// Each benchmark on every graph, as <benchmark>/<family>/<nodes>, the graphs in the order
// that keeps one network open for all of its benchmarks.
void registerBenchmarks() {
    using Body = void (*)(benchmark::State&, int, int);
    const std::pair<const char*, Body> bodies[] = {
        {"BuildView", &BuildView},
        {"CreationLayout", &CreationLayout},
        {"CreationAndImprove", &CreationAndImprove},
        {"CreationImproveUntangle", &CreationImproveUntangle},
        {"FirstSweep", &FirstSweep},
        {"RemoveFillers", &RemoveFillers}};
    for (int family : {kTree, kDag})
        for (int nodes : kSizes)
            for (const auto& [name, body] : bodies) {
                auto* registered = benchmark::RegisterBenchmark(
                    (std::string(name) + "/" + familyName(family) + "/" + std::to_string(nodes))
                        .c_str(),
                    body, family, nodes);
                registered->Unit(benchmark::kMillisecond);
                if (body == &RemoveFillers)
                    registered->Iterations(5);
            }
}

// The DOT mode.

bool writeDot(const std::string& path, const Graph& graph) {
    std::ofstream out(path);
    out << "digraph {\n";
    for (int i = 0; i < graph.nodes; ++i)
        out << "  n" << i << ";\n";
    for (const auto& [parent, child] : graph.links)
        out << "  n" << parent << " -> n" << child << ";\n";
    out << "}\n";
    return static_cast<bool>(out);
}

// The best of three runs of creation layout and improvement, each on a freshly built view,
// with the untangling pass when asked.
double bestLayoutMilliseconds(Node* root, LayoutShape& shape, bool untangle) {
    double best = 0.0;
    for (int run = 0; run < 3; ++run) {
        NetView view;
        view.options.untangle = untangle;
        BuildViewNodes(view, *loaded().network, root);
        const auto start = std::chrono::steady_clock::now();
        RecalcLayout(view, false);
        ImproveLayout(view);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (run == 0 || took.count() < best)
            best = took.count();
        shape = measureShape(view);
    }
    return best;
}

int runDotMode(const std::string& directory, int maxNodes) {
    for (int family : {kTree, kDag}) {
        for (int nodes : kSizes) {
            if (nodes > maxNodes)
                continue;
            const std::string name = graphName(family, nodes);
            if (!writeDot((directory + "/").append(name).append(".dot"),
                          makeGraph(family, nodes))) {
                std::fprintf(stderr, "bench_layout: cannot write %s/%s.dot\n", directory.c_str(),
                             name.c_str());
                return 1;
            }
            LayoutShape shape;
            const double milliseconds =
                bestLayoutMilliseconds(loadNetwork(family, nodes), shape, false);
            LayoutShape untangled;
            const double untangledMilliseconds =
                bestLayoutMilliseconds(loadNetwork(family, nodes), untangled, true);
            std::printf("%s ours_ms=%.2f crossings=%lld layers=%lld dummies=%lld energy=%.1f "
                        "untangled_ms=%.2f untangled_crossings=%lld untangled_energy=%.1f\n",
                        name.c_str(), milliseconds, static_cast<long long>(shape.crossings),
                        static_cast<long long>(shape.layers), static_cast<long long>(shape.dummies),
                        shape.energy, untangledMilliseconds,
                        static_cast<long long>(untangled.crossings), untangled.energy);
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The first layout restarts the debugging log; keep it off the disk while measuring.
    tarvo::DebugLogOn = false;
    // Counted from the start, so that every block the heap gives back was counted when taken.
    tarvo::SetSystemAllocation(&countedAllocate, &countedFree);
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();

    std::string dotDirectory;
    int maxNodes = *std::max_element(std::begin(kSizes), std::end(kSizes));
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dot-dir") == 0 && i + 1 < argc)
            dotDirectory = argv[++i];
        else if (std::strcmp(argv[i], "--max-nodes") == 0 && i + 1 < argc)
            maxNodes = std::atoi(argv[++i]);
    }
    int result = 0;
    if (!dotDirectory.empty()) {
        result = runDotMode(dotDirectory, maxNodes);
    } else {
        registerBenchmarks();
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            return 1;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    unloadNetwork();
    return result;
}
