// Benchmarks of reading and writing network files of generated networks, beside the cost of
// only splitting their words and of only reading their bytes.
#include "containers/node_table.h"
#include "labels/font_table.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "netfile/word_reader.h"
#include "platform/font_catalog.h"
#include "platform/ui.h"
#include "tools/network_generator.h"

#include "process_memory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using tarvo::bench::resetPeakResidentSize;
using tarvo::bench::statusBytes;

constexpr std::int64_t kSizes[] = {10000, 100000, 1000000};
// A load of the largest network takes seconds or more; one iteration per repetition is enough.
constexpr std::int64_t kOneIterationFrom = 1000000;

std::string networkPath(std::int64_t entities) {
    return "/tmp/tarvo_bench_netfile_" + std::to_string(entities) + ".dat";
}

// Generates the network file of this size once per run of the program; answers its size in
// bytes, or -1 when it could not be written.
std::int64_t ensureNetworkFile(std::int64_t entities) {
    static std::map<std::int64_t, std::int64_t> written;
    if (auto known = written.find(entities); known != written.end())
        return known->second;
    tarvo::tools::GeneratorOptions options;
    options.entities = static_cast<int>(entities);
    options.relations = static_cast<int>(std::max<std::int64_t>(entities / 100, 10));
    options.properties = static_cast<int>(entities);
    options.maxParents = 3;
    options.formatted = true;
    std::int64_t bytes = -1;
    {
        const std::string text = tarvo::tools::GenerateNetwork(options);
        if (std::FILE* file = std::fopen(networkPath(entities).c_str(), "wb")) {
            const bool complete = std::fwrite(text.data(), 1, text.size(), file) == text.size();
            if (std::fclose(file) == 0 && complete)
                bytes = static_cast<std::int64_t>(text.size());
        }
    }
    written[entities] = bytes;
    return bytes;
}

std::int64_t countNodes(const tarvo::Network& net) {
    std::int64_t count = 0;
    if (tarvo::NodeTable* table = net.table()) {
        table->forEach(
            [](void* context, tarvo::NodeBase*) {
                ++*static_cast<std::int64_t*>(context);
                return 0;
            },
            &count);
    }
    return count;
}

void setRates(benchmark::State& state, std::int64_t nodes, std::int64_t bytes) {
    const auto iterations = static_cast<double>(state.iterations());
    if (nodes > 0)
        state.counters["nodes/s"] = benchmark::Counter(iterations * static_cast<double>(nodes),
                                                       benchmark::Counter::kIsRate);
    state.counters["MB/s"] = benchmark::Counter(iterations * static_cast<double>(bytes) / 1e6,
                                                benchmark::Counter::kIsRate);
}

// ---------------------------------------------------------------------------------------------
// Memory of one load, measured in a fresh process: the heap keeps released blocks for reuse, so
// a load after an earlier one in the same process would not show its full growth.

struct LoadMemory {
    std::int64_t rssBefore = 0;
    std::int64_t peak = 0;
    std::int64_t rssAfter = 0;
    std::int64_t nodes = 0;
    bool valid = false;
};

constexpr const char* kMeasureLoadOption = "--measure-load=";

// The child's side: loads the file and prints what the load took, in bytes, on one line.
int measureLoad(const char* path) {
    const bool reset = resetPeakResidentSize();
    const std::int64_t before = statusBytes("VmRSS");
    const std::int64_t peakBefore = statusBytes("VmHWM");
    tarvo::Network net;
    tarvo::LoadNetworkFile(net, path);
    const std::int64_t peak = statusBytes("VmHWM");
    const std::int64_t after = statusBytes("VmRSS");
    // Without the reset the peak may still be the start-up's; it is then only valid when the
    // load went above it.
    const bool valid = before > 0 && peak > 0 && (reset || peak > peakBefore);
    std::printf("%lld %lld %lld %lld %d\n", static_cast<long long>(before),
                static_cast<long long>(peak), static_cast<long long>(after),
                static_cast<long long>(countNodes(net)), valid ? 1 : 0);
    return 0;
}

LoadMemory measureLoadInChild(std::int64_t entities) {
    static std::map<std::int64_t, LoadMemory> measured;
    if (auto known = measured.find(entities); known != measured.end())
        return known->second;
    LoadMemory memory;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::string command = "'";
        command.append(self.string()).append("' '").append(kMeasureLoadOption);
        command.append(networkPath(entities)).append("'");
        if (std::FILE* child = ::popen(command.c_str(), "r")) {
            long long before = 0, peak = 0, after = 0, nodes = 0;
            int valid = 0;
            const int fields = std::fscanf(child, "%lld %lld %lld %lld %d", &before, &peak, &after,
                                           &nodes, &valid);
            const int status = ::pclose(child);
            memory = {before, peak, after, nodes, fields == 5 && valid && status == 0};
        }
    }
    measured[entities] = memory;
    return memory;
}

void setMemoryCounters(benchmark::State& state, std::int64_t entities) {
    const LoadMemory memory = measureLoadInChild(entities);
    if (!memory.valid || memory.nodes <= 0) {
        state.SetLabel("memory not measured");
        return;
    }
    const auto growth = static_cast<double>(memory.peak - memory.rssBefore);
    state.counters["peakMB"] = growth / 1e6;
    state.counters["bytes/node"] = growth / static_cast<double>(memory.nodes);
    state.counters["keptMB"] = static_cast<double>(memory.rssAfter - memory.rssBefore) / 1e6;
}

// ---------------------------------------------------------------------------------------------
// The benchmarks

// The network of this size, loaded once for the write benchmarks and kept until another size
// is needed.
struct LoadedNetwork {
    std::int64_t entities = -1;
    std::unique_ptr<tarvo::Network> network;
};

LoadedNetwork& loadedNetwork() {
    static LoadedNetwork loaded;
    return loaded;
}

bool ensureLoaded(std::int64_t entities) {
    LoadedNetwork& loaded = loadedNetwork();
    if (loaded.entities == entities && loaded.network)
        return true;
    loaded = LoadedNetwork{};
    if (ensureNetworkFile(entities) < 0)
        return false;
    auto network = std::make_unique<tarvo::Network>();
    tarvo::LoadNetworkFile(*network, networkPath(entities).c_str());
    if (!network->table())
        return false;
    loaded = LoadedNetwork{entities, std::move(network)};
    return true;
}

void ReadNetwork(benchmark::State& state) {
    const std::int64_t bytes = ensureNetworkFile(state.range(0));
    if (bytes < 0) {
        state.SkipWithError("could not write the network file");
        return;
    }
    const std::string path = networkPath(state.range(0));
    // The write benchmarks may have left a network loaded; every timed load starts without one.
    loadedNetwork() = LoadedNetwork{};
    std::int64_t nodes = 0;
    // The problems are counted, so that a bad load still shows in the results.
    std::size_t errors = 0;
    for (auto _ : state) {
        auto net = std::make_unique<tarvo::Network>();
        tarvo::Diagnostics problems;
        tarvo::LoadNetworkFile(*net, path.c_str(), nullptr, &problems);
        errors += problems.size();
        state.PauseTiming();
        nodes = countNodes(*net);
        net.reset();
        state.ResumeTiming();
    }
    setRates(state, nodes, bytes);
    state.counters["nodes"] = static_cast<double>(nodes);
    if (errors)
        state.counters["errors"] = static_cast<double>(errors);
    setMemoryCounters(state, state.range(0));
}

void WriteNetwork(benchmark::State& state) {
    if (!ensureLoaded(state.range(0))) {
        state.SkipWithError("could not load the network");
        return;
    }
    const std::string path = networkPath(state.range(0)) + ".written";
    for (auto _ : state) {
        if (!tarvo::WriteNetworkFile(*loadedNetwork().network, path.c_str())) {
            state.SkipWithError("the network could not be written");
            break;
        }
    }
    std::error_code error;
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path, error));
    setRates(state, countNodes(*loadedNetwork().network), error ? 0 : bytes);
    std::filesystem::remove(path, error);
}

// The writer without the disk: the same text into a stream that drops it.
void WriteNetworkStream(benchmark::State& state) {
    if (!ensureLoaded(state.range(0))) {
        state.SkipWithError("could not load the network");
        return;
    }
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (!sink) {
        state.SkipWithError("could not open /dev/null");
        return;
    }
    for (auto _ : state) {
        if (!tarvo::WriteNetworkStream(*loadedNetwork().network, sink)) {
            state.SkipWithError("the network could not be written");
            break;
        }
    }
    std::fclose(sink);
    // The sink keeps no count; the text written is the read file's within a few bytes.
    setRates(state, countNodes(*loadedNetwork().network), ensureNetworkFile(state.range(0)));
}

// The floor of a read: every word of the file taken by the word reader, and nothing made of it.
void SplitWords(benchmark::State& state) {
    const std::int64_t bytes = ensureNetworkFile(state.range(0));
    if (bytes < 0) {
        state.SkipWithError("could not write the network file");
        return;
    }
    const std::string path = networkPath(state.range(0));
    std::int64_t words = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "r");
        if (!file) {
            state.SkipWithError("could not open the network file");
            break;
        }
        {
            tarvo::WordStream in(file);
            words = 0;
            while (in.peekNonBlank() != tarvo::kEndOfInput) {
                benchmark::DoNotOptimize(
                    in.readWord(tarvo::sharedBuffers().word, tarvo::kWordBufferBytes));
                ++words;
            }
        }
        std::fclose(file);
    }
    setRates(state, 0, bytes);
    state.counters["words"] = static_cast<double>(words);
}

// The floor under that: the file's bytes read from the page cache.
void ReadBytes(benchmark::State& state) {
    const std::int64_t bytes = ensureNetworkFile(state.range(0));
    if (bytes < 0) {
        state.SkipWithError("could not write the network file");
        return;
    }
    const std::string path = networkPath(state.range(0));
    std::vector<char> buffer(static_cast<std::size_t>(bytes) + 1);
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            state.SkipWithError("could not open the network file");
            break;
        }
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
        std::fclose(file);
        if (read != static_cast<std::size_t>(bytes)) {
            state.SkipWithError("the network file was cut short");
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    setRates(state, 0, bytes);
}

// Registered size by size, so that the write benchmarks of a size share one load of it.
void registerBenchmarks() {
    using Function = void (*)(benchmark::State&);
    const std::pair<const char*, Function> benchmarks[] = {
        {"ReadNetwork", ReadNetwork},
        {"WriteNetwork", WriteNetwork},
        {"WriteNetworkStream", WriteNetworkStream},
        {"SplitWords", SplitWords},
        {"ReadBytes", ReadBytes},
    };
    for (const std::int64_t size : kSizes) {
        for (const auto& [name, function] : benchmarks) {
            benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name, function);
            b->Arg(size)->Unit(benchmark::kMillisecond)->UseRealTime();
            if (size >= kOneIterationFrom && function == ReadNetwork)
                b->Iterations(1);
        }
    }
}

// The console report, keeping the time of every run (the median when repeated) for the ratio
// of a read to its floor printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    using benchmark::ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& reports) override {
        benchmark::ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            m_repeated = m_repeated || median;
            if (median || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                m_times[{run.run_name.function_name, run.run_name.args}] =
                    run.GetAdjustedRealTime();
        }
    }

    void Finalize() override {
        benchmark::ConsoleReporter::Finalize();
        std::FILE* out = stdout;
        std::fflush(out);
        bool header = false;
        for (const std::int64_t size : kSizes) {
            const std::string args = std::to_string(size);
            const auto read = m_times.find({"ReadNetwork", args});
            const auto split = m_times.find({"SplitWords", args});
            if (read == m_times.end() || split == m_times.end() || split->second <= 0)
                continue;
            if (!header)
                std::fprintf(out, "\nReadNetwork / SplitWords (real time%s)\n",
                             m_repeated ? ", medians" : "");
            header = true;
            std::fprintf(out, "%10lld  %8.1f\n", static_cast<long long>(size),
                         read->second / split->second);
        }
    }

private:
    std::map<std::pair<std::string, std::string>, double> m_times;
    bool m_repeated = false;
};

} // namespace

int main(int argc, char** argv) {
    // The program's start-up order: the word buffer, then the heap, then the other buffers.
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();
    platform::ListedFontCatalog catalog("Arial;Courier New;DejaVu Sans;Times New Roman");
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();

    int result = 0;
    const std::size_t optionLength = std::strlen(kMeasureLoadOption);
    if (argc == 2 && std::strncmp(argv[1], kMeasureLoadOption, optionLength) == 0) {
        result = measureLoad(argv[1] + optionLength);
    } else {
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            return 1;
        registerBenchmarks();
        RatioReporter reporter(::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                       : benchmark::ConsoleReporter::OO_None);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
    }

    loadedNetwork() = LoadedNetwork{};
    tarvo::ReleaseFontTable();
    tarvo::ReleaseScratchText();
    tarvo::DestroyHeap();
    tarvo::ReleaseWordBuffer();
    return result;
}
