// The inheritance report of one node: everything the searches find for it, in the order the
// report runs them, with the findings written to the debugging log.
#pragma once

namespace tarvo {

class Node;
class NodeList;

struct InheritanceReport {
    NodeList* related = nullptr;             // RelatedNodes
    NodeList* stipulated = nullptr;          // StipulatedRelations
    NodeList* inheritedRelations = nullptr;  // InheritedRelations
    NodeList* ancestors = nullptr;           // AncestorNodes
    NodeList* inheritedProperties = nullptr; // InheritedProperties
    NodeList* overriddenTargets = nullptr;   // as the inherited properties left them
    NodeList* overriddenRelations = nullptr;
    // The side lists of the inherited relations: a property in toSide has the node as its
    // from-end, one in fromSide as its to-end.
    NodeList* toSide = nullptr;
    NodeList* fromSide = nullptr;
};

// Where the report shows its lists as it makes them: the inheritance window's lists 179, 180,
// 99 and 102. Filling a list writes its entries to the debugging log, so the lists are filled
// at their places among the report's own log lines.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    // `nodes` stays the report's; the sink keeps no pointer to the list itself.
    virtual void fillList(int listId, const NodeList* nodes) = 0;
};

// Runs the searches for `s` and fills `report`, which then owns its lists. With a sink, the
// stipulated lists are filled as they are found and the inherited ones once the inherited
// properties are known, each before the log lines that follow them.
void RunInheritanceReport(Node* s, InheritanceReport& report, ReportSink* sink = nullptr);
void DisposeInheritanceReport(InheritanceReport& report);

} // namespace tarvo
