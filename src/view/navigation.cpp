// Moving through the network: the current node, the link cursor, the grid moves and the
// spotlight.
#include "view/net_view.h"
#include "view/view_operations.h"

namespace tarvo {

void ChooseCurrentLink(NetView& view) {
    view.currentLink = nullptr;
}
void GoToNode(NetView&, ViewNode*, int, ViewNode*, bool) {}
void StepSibling(NetView&, int) {}
void EnterSlot(NetView&, int) {}
void EnterRelationSlot(NetView&, int) {}
void GoToLayerEnd(NetView&, bool, bool) {}
void MoveAlongLayer(NetView&, int) {}
void MoveAcrossLayers(NetView&, int) {}
void Page(NetView&, int) {}
void ShowCurrent(NetView&) {}
void GoToListSelection(NetView&) {}
void UpdateSpotlightMenu(NetView&) {}
void ReduceSpotlight(NetView&) {}
void ExpandSpotlight(NetView&) {}
void RevealNetwork(NetView&) {}
void ToggleSlotHidden(NetView&, int) {}
void ToggleSlotHidden(NetView&, ViewNode*, int, bool) {}
void ToggleNodeHidden(NetView&, ViewNode*) {}
void RevealPathTo(NetView&, ViewNode*) {}

} // namespace tarvo
