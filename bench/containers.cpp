// Benchmarks of the model's containers and the heap under them, beside the standard library.
#include "containers/key_hash.h"
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using tarvo::NodeBase;
using tarvo::NodeList;

// The list benchmarks store fake node pointers; nothing dereferences them.
NodeBase* fakeNode(std::int64_t n) {
    return reinterpret_cast<NodeBase*>((n + 1) * 16);
}

NodeList* filledList(std::int64_t size) {
    auto* list = new NodeList;
    for (std::int64_t i = 0; i < size; ++i)
        list->append(fakeNode(i));
    return list;
}

std::vector<void*> filledVector(std::int64_t size) {
    std::vector<void*> vector;
    for (std::int64_t i = 0; i < size; ++i)
        vector.push_back(fakeNode(i));
    return vector;
}

void NodeListAppend(benchmark::State& state) {
    for (auto _ : state) {
        NodeList* list = filledList(state.range(0));
        benchmark::DoNotOptimize(list);
        state.PauseTiming();
        list->destroy();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void VectorAppend(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<void*> vector = filledVector(state.range(0));
        benchmark::DoNotOptimize(vector.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void NodeListInsertFront(benchmark::State& state) {
    for (auto _ : state) {
        auto* list = new NodeList;
        for (std::int64_t i = 0; i < state.range(0); ++i)
            list->insertAtIndex(fakeNode(i), 0);
        benchmark::DoNotOptimize(list);
        state.PauseTiming();
        list->destroy();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void VectorInsertFront(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<void*> vector;
        for (std::int64_t i = 0; i < state.range(0); ++i)
            vector.insert(vector.begin(), fakeNode(i));
        benchmark::DoNotOptimize(vector.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Removes every element, from the front (index 0) or from the back (index -1).
template <int Index> void NodeListRemove(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        NodeList* list = filledList(state.range(0));
        state.ResumeTiming();
        for (std::int64_t i = 0; i < state.range(0); ++i)
            benchmark::DoNotOptimize(list->removeAtIndex(Index));
        state.PauseTiming();
        list->destroy();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <bool Front> void VectorRemove(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<void*> vector = filledVector(state.range(0));
        state.ResumeTiming();
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            if (Front)
                vector.erase(vector.begin());
            else
                vector.pop_back();
        }
        benchmark::DoNotOptimize(vector.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Mixed small sizes as the model asks for them: nodes, list blocks, names, row arrays.
constexpr int kBatch = 1024;
std::vector<std::int32_t> mixedSizes() {
    std::vector<std::int32_t> sizes;
    std::uint32_t seed = 12345;
    for (int i = 0; i < kBatch; ++i) {
        seed = seed * 1103515245u + 12345u;
        sizes.push_back(static_cast<std::int32_t>(8 + (seed >> 16) % 249));
    }
    return sizes;
}

void HeapAllocateRelease(benchmark::State& state) {
    const std::vector<std::int32_t> sizes = mixedSizes();
    std::vector<void*> blocks(kBatch);
    for (auto _ : state) {
        for (std::size_t i = 0; i < blocks.size(); ++i)
            blocks[i] = tarvo::Allocate(sizes[i]);
        benchmark::DoNotOptimize(blocks.data());
        for (void* block : blocks)
            tarvo::Release(block);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void MallocFree(benchmark::State& state) {
    const std::vector<std::int32_t> sizes = mixedSizes();
    std::vector<void*> blocks(kBatch);
    for (auto _ : state) {
        for (std::size_t i = 0; i < blocks.size(); ++i)
            blocks[i] = std::malloc(static_cast<std::size_t>(sizes[i]));
        benchmark::DoNotOptimize(blocks.data());
        for (void* block : blocks)
            std::free(block);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

struct BenchNode {
    char key[24];
};

int hashBenchNode(const NodeBase* node, int* row) {
    return tarvo::KeyHash(reinterpret_cast<const BenchNode*>(node)->key, row);
}
int sameBenchKey(const NodeBase* a, const NodeBase* b) {
    return std::strcmp(reinterpret_cast<const BenchNode*>(a)->key,
                       reinterpret_cast<const BenchNode*>(b)->key) == 0;
}

std::vector<BenchNode> distinctNames(std::int64_t count) {
    std::vector<BenchNode> nodes(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < nodes.size(); ++i)
        std::snprintf(nodes[i].key, sizeof nodes[i].key, "n%lld", static_cast<long long>(i));
    return nodes;
}

NodeBase* asNode(BenchNode& node) {
    return reinterpret_cast<NodeBase*>(&node);
}

tarvo::NodeTable* benchTable() {
    return tarvo::NodeTable::make(tarvo::kTableBucketsPerRow, tarvo::kTableRows, hashBenchNode,
                                  sameBenchKey);
}

void NodeTableInsert(benchmark::State& state) {
    std::vector<BenchNode> nodes = distinctNames(state.range(0));
    for (auto _ : state) {
        tarvo::NodeTable* table = benchTable();
        for (BenchNode& node : nodes)
            benchmark::DoNotOptimize(table->insert(asNode(node)));
        state.PauseTiming();
        delete table;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void NodeTableLookup(benchmark::State& state) {
    std::vector<BenchNode> nodes = distinctNames(state.range(0));
    std::vector<BenchNode> probes = distinctNames(state.range(0));
    tarvo::NodeTable* table = benchTable();
    for (BenchNode& node : nodes)
        table->insert(asNode(node));
    for (auto _ : state) {
        for (BenchNode& probe : probes)
            benchmark::DoNotOptimize(table->lookup(asNode(probe)));
    }
    delete table;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// For scale: the standard hash set over the same names.
void UnorderedSetInsert(benchmark::State& state) {
    std::vector<BenchNode> nodes = distinctNames(state.range(0));
    for (auto _ : state) {
        std::unordered_set<std::string> set;
        for (BenchNode& node : nodes)
            benchmark::DoNotOptimize(set.insert(node.key));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void UnorderedSetLookup(benchmark::State& state) {
    std::vector<BenchNode> nodes = distinctNames(state.range(0));
    std::unordered_set<std::string> set;
    for (BenchNode& node : nodes)
        set.insert(node.key);
    for (auto _ : state) {
        for (BenchNode& node : nodes)
            benchmark::DoNotOptimize(set.find(node.key));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr std::int64_t kMillion = 1000000;
// Insertion and removal at the front shift the whole sequence on every step for std::vector
// (and walk every block for the list), so those run on a tenth of the elements for both sides.
constexpr std::int64_t kFrontCount = 100000;
constexpr std::int64_t kNames = 100000;

// Appending walks to the last block, so the smaller sizes show how the cost grows with length.
BENCHMARK(NodeListAppend)->Arg(1000)->Arg(10000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(VectorAppend)->Arg(1000)->Arg(10000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(NodeListInsertFront)->Arg(kFrontCount)->Unit(benchmark::kMillisecond);
BENCHMARK(VectorInsertFront)->Arg(kFrontCount)->Unit(benchmark::kMillisecond);
BENCHMARK(NodeListRemove<0>)
    ->Name("NodeListRemoveFront")
    ->Arg(kFrontCount)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(VectorRemove<true>)
    ->Name("VectorRemoveFront")
    ->Arg(kFrontCount)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(NodeListRemove<-1>)
    ->Name("NodeListRemoveBack")
    ->Arg(10000)
    ->Arg(kMillion)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(VectorRemove<false>)
    ->Name("VectorRemoveBack")
    ->Arg(10000)
    ->Arg(kMillion)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(HeapAllocateRelease);
BENCHMARK(MallocFree);
BENCHMARK(NodeTableInsert)->Arg(kNames)->Unit(benchmark::kMillisecond);
BENCHMARK(NodeTableLookup)->Arg(kNames)->Unit(benchmark::kMillisecond);
BENCHMARK(UnorderedSetInsert)->Arg(kNames)->Unit(benchmark::kMillisecond);
BENCHMARK(UnorderedSetLookup)->Arg(kNames)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The program's start-up order: the word buffer, then the heap, then the other buffers.
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tarvo::ReleaseScratchText();
    tarvo::DestroyHeap();
    tarvo::ReleaseWordBuffer();
    return 0;
}
