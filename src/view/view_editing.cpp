// Edits issued from a view: each is a group of change records that the network applies first
// and every view then applies to its own nodes.
#include "view/net_view.h"
#include "view/view_operations.h"

namespace tarvo {

bool UndoLastChange(NetView&) {
    return false;
}
bool DeleteCurrentNode(NetView&) {
    return false;
}
bool InsertNode(NetView&, bool, bool, const char*, int) {
    return false;
}
bool ReorderSlot(NetView&, ViewNode*, int, const NodeList*) {
    return false;
}
bool SetLabel(NetView&, ViewNode*, const char*) {
    return false;
}

} // namespace tarvo
