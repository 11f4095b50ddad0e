// The "Open Partition" dialog: the user types or selects the node a new view opens on, and how
// far from it the view shows nodes.
#pragma once

namespace tarvo {

class Network;
class Node;
struct ColourState;
struct DialogSet;
struct PartitionChoices;

// Runs the dialog in `set` on the nodes of `net`, drawn in `colours`. Answers the chosen node
// (null after Cancel); `kept` keeps it, the reveal distance, the kind and the expose bits, and
// the next run starts from them.
Node* ChoosePartition(DialogSet& set, PartitionChoices& kept, Network& net,
                      const ColourState& colours);

} // namespace tarvo
