// What the partition dialog decides, apart from its window: the list of nodes it offers, the
// node that typing selects, the reveal distance, and the choices kept from one run to the next.
#pragma once

namespace tarvo {

class Network;
class Node;
class NodeList;

// Expose bits: which formatting brings a node forward in the list (capitals, italic, phonetic,
// any formatting), in the order of the dialog's four buttons.
inline constexpr int kExposeBits = 0xF;
// The longest text the typed search looks at.
inline constexpr int kMostTypedCharacters = 999;
// Reveal distances typed from this on, or below 0, count as 0.
inline constexpr int kRevealLimit = 128;

// What the dialog keeps from one run to the next; the frame holds it.
struct PartitionChoices {
    // The node chosen by the last run; null after Cancel.
    Node* chosen = nullptr;
    // 0 entities, 1 relations.
    int kind = 0;
    int expose = 0;
    // How far from the chosen node the new view shows nodes: 1 + the distance typed.
    int revealDistance = 1;
};

// The entities (kind 0) or relations (1) of the network for the dialog's list: the
// most formatted first by the expose bits' measure, equal ones by label without regard to
// case, leaving out nodes whose flags carry one of the expose bits. Null when there are none.
// The caller owns the list.
NodeList* PartitionList(Network& net, int kind, int expose);

// The place in the list of the node whose label best matches the typed text (UTF-8, matched as
// TypedMatchScore matches it; the first of equal scores); -1 for an empty list.
int BestTypedMatch(const NodeList* list, const char* typed);

// The reveal distance of the dialog's answer: 1 + the number in the distance field when the
// reveal box is ticked (its first four characters, the fraction dropped; 0 outside 0..127).
int RevealDistance(bool ticked, const char* field);

} // namespace tarvo
