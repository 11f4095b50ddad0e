// The current network as JSON lines.
#include "cli/network_dump.h"

#include "containers/node_list.h"
#include "containers/node_table.h"
#include "inheritance/inheritance_report.h"
#include "labels/label_markup.h"
#include "model/network.h"
#include "platform/cp1252.h"
#include "view/node_windows_content.h"

namespace tarvo::cli {
namespace {

// A result list or a link slot.
template <typename Nodes> std::string namesOf(Nodes list) {
    std::string out = "[";
    forEachNode(list, [&out](const NodeBase* node) {
        if (out.size() > 1)
            out += ',';
        out += markupOf(node);
    });
    return out + "]";
}

const char* kindOf(const Node* node) {
    return node->isProperty() ? "property" : node->isRelation() ? "relation" : "entity";
}

} // namespace

std::string markupOf(const NodeBase* node) {
    std::string markup;
    LabelToMarkup(node->name, markup);
    return JsonString(platform::Cp1252ToUtf8(markup));
}

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

namespace {
// The inheritance window's lists without the window: their entries go to the debugging log as
// the window's would, in the same order.
class LoggedLists : public ReportSink {
public:
    void fillList(int, const NodeList* nodes) override { ListEntries(nodes); }
};
} // namespace

std::string ReportJson(Node* node) {
    InheritanceReport report;
    LoggedLists lists;
    RunInheritanceReport(node, report, &lists);
    std::string json = "{\"node\":" + markupOf(node);
    json += ",\"related\":" + namesOf(report.related);
    json += ",\"stipulated\":" + namesOf(report.stipulated);
    json += ",\"inherited_relations\":" + namesOf(report.inheritedRelations);
    json += ",\"ancestors\":" + namesOf(report.ancestors);
    json += ",\"inherited_properties\":" + namesOf(report.inheritedProperties);
    json += ",\"overridden_targets\":" + namesOf(report.overriddenTargets);
    json += ",\"overridden_relations\":" + namesOf(report.overriddenRelations) + "}";
    DisposeInheritanceReport(report);
    return json;
}

void DumpNetwork(const Network& net, std::FILE* out) {
    NodeTable* table = net.table();
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
                line += "\":" + namesOf(node->slotList(slot));
            }
            line += "}\n";
            std::fputs(line.c_str(), file);
            return 0;
        },
        out);
}

} // namespace tarvo::cli
