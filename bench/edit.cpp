// An edit and its undo in a 20,000-node network with three views open on the same part of it,
// each holding 2,000 nodes: the time from the command to every view laid out again.
//
// The network is ten separate parts of 40 layers of 50 entities, each below two of the layer
// above. The three views are opened on nodes of the first part, so every edit there reaches
// all three.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "edit/changes.h"
#include "labels/colours.h"
#include "labels/font_table.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/off_window_host.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_font_catalog.h"
#include "platform/qt/qt_region.h"
#include "view/net_view.h"
#include "view/view_operations.h"
#include "view/view_window.h"

#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kParts = 10;
constexpr int kLayers = 40;
constexpr int kPerLayer = 50;

std::string name(int part, int layer, int k) {
    return "p" + std::to_string(part) + "_" + std::to_string(layer) + "_" + std::to_string(k);
}

std::string partedNetwork() {
    std::string text = "#ENTITIES\n";
    for (int part = 0; part < kParts; ++part)
        for (int layer = 1; layer < kLayers; ++layer)
            for (int k = 0; k < kPerLayer; ++k) {
                text += name(part, layer, k) + " isa " + name(part, layer - 1, k) + "\n";
                text += name(part, layer, k) + " isa " +
                        name(part, layer - 1, (k + 1) % kPerLayer) + "\n";
            }
    return text + "#FONTS\n";
}

struct EditFixture {
    EditFixture() {
        const std::string text = partedNetwork();
        std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        tarvo::ReadNetworkStream(network, in);
        std::fclose(in);
        const std::array<std::string, 3> roots = {name(0, 20, 0), name(0, 5, 17), name(0, 33, 40)};
        for (std::size_t i = 0; i < hosts.size(); ++i) {
            hosts[i] = std::make_unique<platform::OffWindowHost>(
                platform::Size{1280, 900},
                [] { return std::make_unique<platform::qt::ImageDisplay>(1, 1); }, regions);
            tarvo::CreateView(views[i], network, network.find(roots[i].c_str(), 0), hosts[i].get(),
                              nullptr, {});
            hosts[i]->runPosted();
        }
    }
    ~EditFixture() {
        for (auto& view : views)
            tarvo::DestroyView(view);
    }
    int viewNodes(int i) const {
        int count = 0;
        views[static_cast<std::size_t>(i)].layout.nodes->forEach(
            [](void* c, tarvo::NodeBase*) {
                ++*static_cast<int*>(c);
                return 0;
            },
            &count);
        return count;
    }

    // Before the views, which go first.
    tarvo::Network network;
    // Before the hosts, which keep a reference to it.
    platform::qt::QtRegionMaker regions;
    std::array<std::unique_ptr<platform::OffWindowHost>, 3> hosts;
    std::array<tarvo::NetView, 3> views;
};

void InsertChild(benchmark::State& state) {
    EditFixture fixture;
    for (auto _ : state) {
        if (!tarvo::InsertNode(fixture.views[0], true, false))
            state.SkipWithError("the insert was refused");
        state.PauseTiming();
        tarvo::UndoLastChange(fixture.views[0]);
        state.ResumeTiming();
    }
    for (int i = 0; i < 3; ++i)
        state.counters["view" + std::to_string(i) + "_nodes"] = fixture.viewNodes(i);
}
BENCHMARK(InsertChild)->Unit(benchmark::kMillisecond);

void UndoInsert(benchmark::State& state) {
    EditFixture fixture;
    for (auto _ : state) {
        state.PauseTiming();
        tarvo::InsertNode(fixture.views[0], true, false);
        state.ResumeTiming();
        if (!tarvo::UndoLastChange(fixture.views[0]))
            state.SkipWithError("nothing to undo");
    }
}
BENCHMARK(UndoInsert)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
