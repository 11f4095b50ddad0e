// Edits: every edit of the network is a group of change records that the network applies first
// and every open view then applies to its own nodes. The inverse records of each edit form the
// undo stack; applied groups are kept as the history.
#pragma once

#include "edit/change_records.h"

#include <cstdint>
#include <optional>

namespace tarvo {

class Network;

// What the program keeps of edits.
inline constexpr int kKeepUndo = 1;
inline constexpr int kKeepHistory = 2;

// Told of every group the network applied, to apply it to its own nodes.
class ChangeListener {
public:
    virtual void applyChanges(const ChangeRecord* group) = 0;

protected:
    ~ChangeListener() = default;
};

// The edits of one network.
struct ChangeState {
    // The records of the edit being built, in order.
    ChangeRecord* pending = nullptr;
    // Applied groups, oldest first.
    ChangeRecord* history = nullptr;
    // Inverse records, newest first.
    ChangeRecord* undo = nullptr;
    int editingOptions = kKeepUndo | kKeepHistory;
    // The inverse records the pending edit pushed on the undo stack: they head it.
    int pendingUndo = 0;
};
ChangeState& changes(Network& net);

// Appends a record of `step` to the pending group (bit 7 set) with the given slot and flags,
// and with the undo option pushes `inverse` (none: no inverse) on the undo stack with the same
// slot, kind and position; the inverse continues its group unless it is the edit's first. The
// appended record, or null when memory ran out. What is not kept is released.
ChangeRecord* RecordChange(Network& net, ChangeStep step, std::optional<ChangeStep> inverse,
                           int flags, std::int32_t position);

// Applies the first group of the list; false at the first record that fails.
bool ApplyGroupToNetwork(Network& net, ChangeRecord* list);

// Applies the list's first group to the network and, when all of it applied, to every
// listener. True when the network applied the whole group.
bool SendChanges(Network& net, ChangeRecord* list);
// Sends the pending group; then keeps it as history or releases it. When the network refused
// it, what of it applied is taken back with the edit's undo records, which are then dropped, so
// that the network, the views and the undo stack still agree. True when it applied.
bool CommitEdit(Network& net);
// Forgets the pending group and the undo records it pushed, for an edit given up.
void AbandonEdit(Network& net);
// Sends the newest group of the undo stack, releases it and drops the last history group.
// False when there is nothing to undo, while an edit is pending (its inverses head the stack),
// or when the network refused it.
bool UndoLastEdit(Network& net);

// The listeners hear of the groups of this network only.
void AddChangeListener(Network& net, ChangeListener* listener);
void RemoveChangeListener(Network& net, ChangeListener* listener);

// Releases records from the head of the list: all of them, or the first group. Returns the
// rest. With `destroyDetached` a node held detached is destroyed, with the properties that hang
// only on it; a node that was restored belongs to the network again and stays.
ChangeRecord* ReleaseGroup(Network& net, ChangeRecord* list, bool all, bool destroyDetached);
// Releases the list's last group; the list, or null when it became empty.
ChangeRecord* DropLastGroup(Network& net, ChangeRecord* list);
// History released, the undo stack released with its detached nodes, the pending group dropped.
// The network does this itself when it goes.
void ReleaseChanges(Network& net);

} // namespace tarvo
