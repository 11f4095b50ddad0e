// The inheritance report.
#include "inheritance/inheritance_report.h"

#include "containers/node_list.h"
#include "inheritance/inheritance_searches.h"
#include "labels/label_text.h"
#include "memory/debug_log.h"
#include "model/graph_walk.h"
#include "model/node.h"

#include <string>
#include <utility>

namespace tarvo {
namespace {

constexpr int kParentSlot = ParentSlot;
// The inheritance window's lists: what the node stipulates and inherits, and via what.
constexpr int kStipulatedNodesList = 179;
constexpr int kStipulatedViaList = 180;
constexpr int kInheritedNodesList = 99;
constexpr int kInheritedViaList = 102;

// A heading and every node of `list`, each as its plain label and "##", while the log is on.
void logList(const char* heading, const NodeList* list) {
    if (!DebugLogOn)
        return;
    std::string text = heading;
    forEachNode(list, [&text](const NodeBase* node) {
        PlainText(node->name, text);
        text += "##\n";
    });
    LogText(text.c_str());
}

NodeList* copyOf(const NodeList* list) {
    NodeList* copy = nullptr;
    forEachNode(list, [&copy](NodeBase* node) { listAppend(copy, node); });
    return copy;
}

} // namespace

void RunInheritanceReport(Node* s, InheritanceReport& report, ReportSink* sink) {
    const auto fill = [sink](int listId, const NodeList* nodes) {
        if (sink)
            sink->fillList(listId, nodes);
    };
    ReportLists lists;

    report.related = RelatedNodes(s, kParentSlot);
    fill(kStipulatedNodesList, report.related);

    report.stipulated = StipulatedRelations(s, kParentSlot, lists);
    fill(kStipulatedViaList, report.stipulated);
    if (DebugLogOn) {
        std::string heading = "\nNode: ";
        PlainText(s->name, heading);
        heading += "\nStipulated relations:\n";
        logList(heading.c_str(), lists.StipulatedList);
    }
    DisposeList(lists.OwnStipulated);
    lists.OwnStipulated = copyOf(lists.StipulatedList);
    DisposeList(lists.StipulatedList);
    DisposeList(lists.FromSideList);
    DisposeList(lists.ToSideList);

    report.inheritedRelations = InheritedRelations(s, kParentSlot, lists);
    logList("Inherited relation list:\n", lists.StipulatedList);

    lists.AncestorList = AncestorNodes(s, kParentSlot);
    report.ancestors = copyOf(lists.AncestorList);
    logList("Ancestor nodes:\n", lists.AncestorList);

    report.inheritedProperties = InheritedProperties(s, kParentSlot, lists);
    // The report keeps the side lists before its lists are shown: they decide the direction of
    // each inherited "via:" item as it is drawn.
    report.toSide = std::exchange(lists.ToSideList, nullptr);
    report.fromSide = std::exchange(lists.FromSideList, nullptr);
    fill(kInheritedNodesList, report.inheritedProperties);
    fill(kInheritedViaList, report.inheritedRelations);
    logList("Inherited properties:\n", report.inheritedProperties);
    logList("Overrides:\n", lists.OverriddenTargets);
    logList("", lists.OverriddenRelations);

    report.overriddenTargets = lists.OverriddenTargets;
    report.overriddenRelations = lists.OverriddenRelations;
    lists.OverriddenTargets = nullptr;
    lists.OverriddenRelations = nullptr;
}

void DisposeInheritanceReport(InheritanceReport& report) {
    for (NodeList** list :
         {&report.related, &report.stipulated, &report.inheritedRelations, &report.ancestors,
          &report.inheritedProperties, &report.overriddenTargets, &report.overriddenRelations,
          &report.toSide, &report.fromSide})
        DisposeList(*list);
}

} // namespace tarvo
