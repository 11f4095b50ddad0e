// The layout of a view as JSON.
#include "cli/layout_json.h"

#include "cli/network_dump.h"
#include "containers/node_table.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
#include "model/network.h"
#include "view/layout.h"
#include "view/net_view.h"

#include <cstdio>

namespace tarvo::cli {
namespace {

struct JsonList {
    std::string text;
    bool first = true;
    void add(const std::string& item) {
        if (!first)
            text += ',';
        first = false;
        text += item;
    }
};

int addCell(void* context, ViewNode* node, int row, int column) {
    const bool dummy = node->hasFlag(NodeFlags::DummyNode);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers,
                  ",\"slot\":%d,\"layer\":%d,\"dummy\":%s,\"distance\":%d}", row, column,
                  dummy ? "true" : "false", static_cast<int>(node->distance));
    static_cast<JsonList*>(context)->add(
        "{\"name\":" + (dummy ? std::string("\"\"") : markupOf(node)) + numbers);
    return 0;
}

struct HiddenList {
    NodeTable* viewTable;
    JsonList list;
};

// A node of the network the view reaches: listed when its copy is hidden or when the view
// holds no copy of it, as the view keeps none of what lies beyond its hidden edge.
int addHidden(void* context, NodeBase* node) {
    auto* hidden = static_cast<HiddenList*>(context);
    const ViewNode* copy = copyInView(*hidden->viewTable, asNode(node));
    if (!copy)
        hidden->list.add(markupOf(node));
    else if (copy->hasFlag(NodeFlags::Hidden))
        hidden->list.add(markupOf(copy));
    return 0;
}

// The hidden nodes in the order of a table holding a copy of everything the view's root
// reaches, entered in the order a walk from the root finds them: the order of the view's own
// table when it held all of them.
std::string hiddenNodes(const NetView& view) {
    HiddenList hidden{view.layout.nodes, {}};
    if (!view.layout.nodes || !view.root || !view.root->source)
        return {};
    NodeTable* reached = MakeNodeTable();
    if (!reached)
        return {};
    WalkNetwork(view.root->source, -1,
                [reached](const Node* node, int) { reached->insert(const_cast<Node*>(node)); });
    reached->forEach(&addHidden, &hidden);
    // The table holds the network's nodes without owning them.
    reached->destroy();
    delete reached;
    return hidden.list.text;
}

} // namespace

std::string LayoutJson(const NetView& view) {
    JsonList cells;
    ForEachCell(view.layout.grid, &addCell, &cells);
    const std::string hidden = hiddenNodes(view);
    char head[160];
    std::snprintf(head, sizeof head, "{\"clusters\":%d,\"energy\":%.4f,\"slots\":%d,\"layers\":%d,",
                  static_cast<int>(view.layout.clusterCount),
                  static_cast<double>(view.layout.energy),
                  static_cast<int>(view.layout.grid.slotCount),
                  static_cast<int>(view.layout.grid.layerCount));
    return std::string(head) + "\"cells\":[" + cells.text + "],\"hidden\":[" + hidden + "]}";
}

} // namespace tarvo::cli
