// Views of networks from anywhere: whatever the file holds (cycles of isa links, nodes linked
// to themselves, relations of relations), laying a view out must end without fault and put
// every shown node in exactly one cell, with every downward link of the grid between adjacent
// layers.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/font_table.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "memory/shared_buffers.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "network_fuzzing.h"
#include "platform/font_catalog.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/spotlight.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

int countCell(void* context, tarvo::ViewNode* node, int, int) {
    auto& seen = *static_cast<std::map<const tarvo::ViewNode*, int>*>(context);
    if (++seen[node] > 1 || node->hasFlag(tarvo::NodeFlags::Hidden))
        std::abort();
    // Around a cycle of isa links some parent cannot stand above its child; every link that
    // does go down must reach the next layer, through fillers where it is long.
    tarvo::forEachNode(node->slots[tarvo::ParentSlot], [node](tarvo::NodeBase* parent) {
        const tarvo::ViewNode* p = tarvo::asViewNode(parent);
        if (!tarvo::isHidden(p) && p->layer < node->layer && p->layer + 1 != node->layer)
            std::abort();
    });
    return 0;
}

void checkGrid(const tarvo::NetView& view) {
    std::map<const tarvo::ViewNode*, int> seen;
    tarvo::ForEachCell(view.layout.grid, &countCell, &seen);
    if (!view.layout.grid.nodeAt(view.current->slot, view.current->layer))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::StartNetworkFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses the options and the reveal distance; the rest is the file.
    const std::uint8_t choice = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    platform::ListedFontCatalog catalog("Times New Roman;Arial");
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();
    std::unique_ptr<tarvo::Network> net = fuzzing::ReadNetworkBytes(bytes);
    if (tarvo::NodeList* nodes = net->nodesOfKind(choice & 1)) {
        tarvo::Node* start = tarvo::asNode(nodes->nodeAt((choice >> 1) % nodes->size()));
        nodes->destroy();
        tarvo::NetView view;
        view.options.justification = tarvo::FromInt<tarvo::Justification>((choice >> 2) % 3)
                                         .value_or(view.options.justification);
        view.options.depthJustify = tarvo::FromInt<tarvo::DepthJustify>((choice >> 4) & 1)
                                        .value_or(view.options.depthJustify);
        if (tarvo::BuildViewNodes(view, *net, start)) {
            tarvo::StartViewLayout(view, 1 + (choice >> 5));
            checkGrid(view);
            tarvo::ImproveLayout(view);
            tarvo::StepLayout(view);
            checkGrid(view);
            tarvo::MeasureDistances(view);
            tarvo::SetSpotlight(view, view.distances.greatestDistance, 0);
            tarvo::Relayout(view, false);
            checkGrid(view);
        }
    }
    net.reset();
    tarvo::ReleaseFontTable();
    return 0;
}
