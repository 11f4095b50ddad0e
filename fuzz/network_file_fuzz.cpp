// Network files from anywhere: any bytes must read without fault and without hanging, and what
// the writer makes of them must read back into a network no larger than the one written.
#include "containers/node_table.h"
#include "diagnostics/error_report.h"
#include "labels/font_table.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "network_fuzzing.h"
#include "platform/font_catalog.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int nodeCount(const tarvo::Network& net) {
    int count = 0;
    net.table()->forEach(
        [](void* c, tarvo::NodeBase*) {
            ++*static_cast<int*>(c);
            return 0;
        },
        &count);
    return count;
}

std::string writeNetwork(tarvo::Network& net) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    tarvo::WriteNetworkStream(net, out);
    std::fclose(out);
    std::string written(text, size);
    std::free(text);
    return written;
}

std::unique_ptr<tarvo::Network> readNetwork(const std::string& bytes) {
    std::unique_ptr<tarvo::Network> net = fuzzing::ReadNetworkBytes(bytes);
    tarvo::ReconcileFonts(*net);
    tarvo::ChoosePreferredFonts();
    return net;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::StartNetworkFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    platform::ListedFontCatalog catalog("Times New Roman;Arial;Courier New");
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();
    std::unique_ptr<tarvo::Network> net =
        readNetwork(std::string(reinterpret_cast<const char*>(data), size));
    const int before = nodeCount(*net);
    const std::string written = writeNetwork(*net);
    net = readNetwork(written);
    // Nodes nobody links and nobody names in a statement of their kind are not written; every
    // other node comes back, so the count can only stay or fall by those.
    if (nodeCount(*net) > before)
        std::abort();
    net.reset();
    tarvo::ReleaseFontTable();
    return 0;
}
