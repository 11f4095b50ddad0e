// The layout of a view as JSON.
#include "cli/layout_json.h"

#include "cli/network_dump.h"
#include "containers/node_table.h"
#include "layout/view_flags.h"
#include "layout/view_node.h"
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

int addHidden(void* context, NodeBase* node) {
    if (asNode(node)->hasFlag(NodeFlags::Hidden))
        static_cast<JsonList*>(context)->add(markupOf(node));
    return 0;
}

} // namespace

std::string LayoutJson(const NetView& view) {
    JsonList cells;
    ForEachCell(view.layout.grid, &addCell, &cells);
    JsonList hidden;
    if (view.layout.nodes)
        view.layout.nodes->forEach(&addHidden, &hidden);
    char head[160];
    std::snprintf(head, sizeof head, "{\"clusters\":%d,\"energy\":%.4f,\"slots\":%d,\"layers\":%d,",
                  static_cast<int>(view.layout.clusterCount),
                  static_cast<double>(view.layout.energy),
                  static_cast<int>(view.layout.grid.slotCount),
                  static_cast<int>(view.layout.grid.layerCount));
    return std::string(head) + "\"cells\":[" + cells.text + "],\"hidden\":[" + hidden.text + "]}";
}

} // namespace tarvo::cli
