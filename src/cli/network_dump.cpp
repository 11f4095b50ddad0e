// The current network as JSON lines.
#include "cli/network_dump.h"

#include "labels/label_markup.h"
#include "model/network.h"
#include "model/node_list.h"
#include "model/node_table.h"
#include "platform/cp1252.h"

namespace tarvo::cli {
namespace {

std::string markupOf(const NodeBase* node) {
    std::string markup;
    LabelToMarkup(node->name, markup);
    return JsonString(platform::Cp1252ToUtf8(markup));
}

const char* kindOf(const Node* node) {
    return node->isProperty() ? "property" : node->isRelation() ? "relation" : "entity";
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void DumpNetwork(std::FILE* out) {
    NodeTable* table = currentNetwork();
    if (!table)
        return;
    table->forEach(
        [](void* context, NodeBase* base) {
            auto* file = static_cast<std::FILE*>(context);
            const Node* node = asNode(base);
            std::string line = "{\"kind\":\"";
            line += kindOf(node);
            line += "\",\"name\":" + markupOf(node);
            for (int slot = 0; slot < kLinkSlotCount; ++slot) {
                line += ",\"";
                line += kSlotNames[slot];
                line += "\":[";
                const NodeList* list = node->slotList(slot);
                for (int i = 0, n = list ? list->size() : 0; i < n; ++i) {
                    if (i > 0)
                        line += ',';
                    line += markupOf(list->nodeAt(i));
                }
                line += ']';
            }
            line += "}\n";
            std::fputs(line.c_str(), file);
            return 0;
        },
        out);
}

} // namespace tarvo::cli
