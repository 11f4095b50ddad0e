// The "Open Partition" dialog: the user types or selects the node a new view opens on, and how
// far from it the view shows nodes.
#pragma once

namespace tarvo {

// Runs the dialog. Answers the chosen node (null after Cancel); partitionChoices() keeps it,
// the reveal distance, the kind and the expose bits.
class Network;
class Node;
Node* ChoosePartition(Network& net);

} // namespace tarvo
