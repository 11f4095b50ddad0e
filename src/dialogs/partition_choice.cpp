// The partition dialog's list, typed search and reveal distance.
#include "dialogs/partition_choice.h"

#include "containers/node_list.h"
#include "labels/label_markup.h"
#include "labels/label_text.h"
#include "labels/node_order.h"
#include "model/network.h"
#include "model/node.h"

#include <cstdlib>
#include <string>

namespace tarvo {

NodeList* PartitionList(Network& net, int kind, int expose) {
    NodeList* all = net.nodesOfKind(kind);
    if (!all)
        return nullptr;
    expose &= kExposeBits;
    forEachNode(all, [&](NodeBase* n) { setFormattingKey(asNode(n), expose); });
    // Equal measures go by label, letter case ignored.
    all->sort(byDistanceThenLabel);
    NodeList* shown = nullptr;
    forEachNode(all, [&](NodeBase* n) {
        if (!asNode(n)->hasFlag(static_cast<std::uint32_t>(expose)))
            listAppend(shown, n);
    });
    all->destroy();
    return shown;
}

int BestTypedMatch(const NodeList* list, const char* typed) {
    const std::string text = std::string(typed ? typed : "").substr(0, kMostTypedCharacters);
    BestMatch best;
    forEachNode(list, [&](NodeBase* n) { best.offer(TypedMatchScore(n->name, text.c_str())); });
    return best.ordinal();
}

int RevealDistance(bool ticked, const char* field) {
    if (!ticked || !field)
        return 1;
    const std::string start = std::string(field).substr(0, 4);
    // Digits up to a point or anything else; the whole part is the number whatever the locale.
    const long value = std::strtol(start.c_str(), nullptr, 10);
    const int n = value < 0 || value >= kRevealLimit ? 0 : static_cast<int>(value);
    return 1 + n;
}

} // namespace tarvo
