// The inheritance searches: what a node is related to, what it stipulates, what it inherits
// from its ancestors, and which inherited values and relations its own properties override.
#pragma once

#include <cstdint>

namespace tarvo {

class Node;
class NodeBase;
class NodeList;

// Set on a node that a search found overridden; nothing clears it.
inline constexpr std::uint32_t OverriddenMark = 0x10000;

// The lists the searches fill beside their results, for the report. The lists are the holder's:
// it empties them when it goes.
struct ReportLists {
    ReportLists() = default;
    ~ReportLists();
    ReportLists(const ReportLists&) = delete;
    ReportLists& operator=(const ReportLists&) = delete;

    // Properties met in the to slot (the searched node is their from-end), each once.
    NodeList* ToSideList = nullptr;
    // Properties met in the from slot (the searched node is their to-end), each once.
    NodeList* FromSideList = nullptr;
    // After a search: ToSideList, then FromSideList.
    NodeList* StipulatedList = nullptr;
    // The node's own properties, kept while the inherited ones are computed.
    NodeList* OwnStipulated = nullptr;
    NodeList* AncestorList = nullptr;
    NodeList* OverriddenTargets = nullptr;
    NodeList* OverriddenRelations = nullptr;
};

// Each search answers a list the caller disposes (null: empty). `slot` is the slot the walk
// climbs: the parent slot at every call site. The searches given `lists` fill them as the
// comments of the fields say.

// The other end of each of S's own properties, duplicates included.
NodeList* RelatedNodes(Node* s, int slot);
// S's own properties.
NodeList* StipulatedRelations(Node* s, int slot, ReportLists& lists);
// The properties of S's ancestors that no nearer property of the same relation hides, each once.
NodeList* InheritedRelations(Node* s, int slot, ReportLists& lists);
// S's ancestors, nearest first, each once however many paths reach it.
NodeList* AncestorNodes(Node* s, int slot);
// The values of the ancestors' properties, each once, marking those S's own properties override
// (each overridden value and relation pair listed once). Needs ToSideList and FromSideList from
// InheritedRelations of S, and OwnStipulated, in `lists`. Each check it makes goes to the log,
// with the side list's entries from the checked property's block on that no earlier check wrote.
NodeList* InheritedProperties(Node* s, int slot, ReportLists& lists);

// True when y stands at most two parent levels above x (properties count as their relations).
bool IsNearAncestor(const NodeBase* x, const NodeBase* y);

} // namespace tarvo
