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
};

// Runs the searches for `s` and fills `report`, which then owns its lists.
void RunInheritanceReport(Node* s, InheritanceReport& report);
void DisposeInheritanceReport(InheritanceReport& report);

} // namespace tarvo
