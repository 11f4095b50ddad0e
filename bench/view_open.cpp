// Opening a view on a WordNet-sized network: the time from the network node to a laid-out view,
// at a few reveal distances and on the whole network, with the memory the view took at its peak.
//
//   bench_view_open [--seed N] [--reveal N]...   (default: --reveal 3 --reveal 6 --reveal 0)
//
// A reveal distance N shows the nodes up to N steps from the root, as `tarvo-cli layout
// --reveal N` does; 0 shows the whole network. Each line gives the distance, the time (and the
// processor time, split into making the copies, one walk of the network for the counts, and
// the rest: the layout, placement and measuring, as timed on their own beforehand), the peak
// resident memory beyond what was resident before, the cells of the grid that are nodes, the
// fillers and the copies the view holds.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/font_table.h"
#include "layout/layout_grid.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/font_catalog.h"
#include "tools/network_generator.h"
#include "view/net_view.h"
#include "view/spotlight.h"
#include "view/view_window.h"

#include "process_memory.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

using tarvo::bench::resetPeakResidentSize;
using tarvo::bench::statusBytes;

using namespace tarvo;

// The entity without parents that has the most children: the WordNet-like network's root.
Node* rootOf(Network& net) {
    struct Best {
        Node* node = nullptr;
        int children = -1;
    } best;
    net.table()->forEach(
        [](void* context, NodeBase* n) {
            auto* b = static_cast<Best*>(context);
            Node* node = asNode(n);
            if (!node->isEntity() || listSize(node->slots[ParentSlot]) > 0)
                return 0;
            const int children = listSize(node->slots[ChildSlot]);
            if (children > b->children) {
                b->node = node;
                b->children = children;
            }
            return 0;
        },
        &best);
    return best.node;
}

struct CellCount {
    int nodes = 0;
    int fillers = 0;
};

int countCell(void* context, ViewNode* node, int, int) {
    auto* count = static_cast<CellCount*>(context);
    ++(node->hasFlag(NodeFlags::DummyNode) ? count->fillers : count->nodes);
    return 0;
}

int copyCount(NetView& view) {
    int copies = 0;
    view.layout.nodes->forEach(
        [](void* context, NodeBase*) {
            ++*static_cast<int*>(context);
            return 0;
        },
        &copies);
    return copies;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double cpuSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// The parts of opening a view on their own: making the copies, and one walk of the network
// for the distance counts; the rest of the opening is the layout and its placement.
void timeParts(Network& net, Node* root, int reveal, double& build, double& walk) {
    NetView view;
    const std::clock_t start = std::clock();
    BuildViewNodes(view, net, root, ReachForSpotlight(reveal + 1));
    build = cpuSecondsSince(start);
    const std::clock_t walkStart = std::clock();
    MeasureDistances(view);
    walk = cpuSecondsSince(walkStart);
    DestroyViewNodes(view);
}

void openView(Network& net, Node* root, int reveal) {
    double build = 0.0;
    double walk = 0.0;
    timeParts(net, root, reveal, build, walk);
    const bool peakValid = resetPeakResidentSize();
    const long long before = statusBytes("VmRSS");
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    NetView view;
    ViewStartup startup;
    startup.spotlightDepth = reveal + 1;
    if (!CreateView(view, net, root, nullptr, nullptr, startup)) {
        std::printf("reveal %d: out of memory\n", reveal);
        return;
    }
    const double seconds = secondsSince(start);
    const double cpu = cpuSecondsSince(cpuStart);
    const long long peak = statusBytes("VmHWM");
    CellCount cells;
    ForEachCell(view.layout.grid, &countCell, &cells);
    const int copies = copyCount(view);
    std::printf("reveal %-5s %9.1f ms (cpu %7.1f: build %6.1f, walk %6.1f, layout and rest "
                "%7.1f)  peak %7.1f MB%s  cells %7d  fillers %7d  copies %7d\n",
                reveal > 0 ? std::to_string(reveal).c_str() : "all", seconds * 1000.0, cpu * 1000.0,
                build * 1000.0, walk * 1000.0, (cpu - build - walk) * 1000.0,
                static_cast<double>(peak - before) / 1e6, peakValid ? "" : " (unreset)",
                cells.nodes, cells.fillers, copies);
    std::fflush(stdout);
    DestroyView(view);
}

} // namespace

int main(int argc, char** argv) {
    tarvo::DebugLogOn = false;
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();
    platform::ListedFontCatalog catalog("Arial;Courier New;DejaVu Sans;Times New Roman");
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();

    std::uint32_t seed = 1;
    std::vector<int> reveals;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (std::strcmp(argv[i], "--reveal") == 0)
            reveals.push_back(std::atoi(argv[i + 1]));
    }
    if (reveals.empty())
        reveals = {3, 6, 0};

    const std::string path = "/tmp/tarvo_bench_view_open_" + std::to_string(seed) + ".dat";
    {
        const std::string text = tarvo::tools::GenerateNetwork(tarvo::tools::WordNetOptions(seed));
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
            std::fprintf(stderr, "error: could not write %s\n", path.c_str());
            return 1;
        }
        std::fclose(file);
    }
    int result = 0;
    {
        Network net;
        tarvo::LoadNetworkFile(net, path.c_str());
        Node* root = net.table() ? rootOf(net) : nullptr;
        if (!root) {
            std::fprintf(stderr, "error: the network has no root\n");
            result = 1;
        } else {
            std::printf("WordNet-like network, seed %u, root with %d children\n", seed,
                        listSize(root->slots[ChildSlot]));
            for (int reveal : reveals)
                openView(net, root, reveal);
        }
    }
    std::remove(path.c_str());
    tarvo::ReleaseFontTable();
    tarvo::ReleaseScratchText();
    tarvo::DestroyHeap();
    tarvo::ReleaseWordBuffer();
    return result;
}
