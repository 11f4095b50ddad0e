// Edits: grouping the records, sending groups to the network and the listeners, the undo
// stack and the history.
#include "edit/changes.h"

#include "model/network.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// ---------------------------------------------------------------------------------------------
// Lists

ChangeRecord* lastOf(ChangeRecord* list) {
    while (list && list->next)
        list = list->next;
    return list;
}

// Releases records from the head of the list, all of them or its first group, and answers the
// rest; see ReleaseRecord for `detachedFrom`.
ChangeRecord* releaseGroup(ChangeRecord* list, bool all, const Network* detachedFrom) {
    while (list) {
        ChangeRecord* record = list;
        list = list->next;
        const bool last = !record->continues();
        ReleaseRecord(record, detachedFrom);
        if (last && !all)
            break;
    }
    if (list)
        list->previous = nullptr;
    return list;
}

// Appends `tail` (a list) to `list` and answers the joined list.
ChangeRecord* append(ChangeRecord* list, ChangeRecord* tail) {
    ChangeRecord* last = lastOf(list);
    if (!last)
        return tail;
    last->next = tail;
    if (tail)
        tail->previous = last;
    return list;
}

// Applies the list's first group; `applied` receives how many of its records applied.
bool applyGroup(Network& net, ChangeRecord* list, int* applied) {
    *applied = 0;
    if (!list)
        return false;
    for (ChangeRecord* r = list; r; r = r->next) {
        if (!ApplyToNetwork(net, r))
            return false;
        ++*applied;
        if (!r->continues())
            break;
    }
    return true;
}

// Forgets the pending group and the undo records it pushed.
void abandon(ChangeState& state) {
    // The nodes the edit would have deleted are still in the network.
    state.pending = releaseGroup(state.pending, true, nullptr);
    if (std::exchange(state.pendingUndo, 0))
        state.undo = releaseGroup(state.undo, false, nullptr);
}

// Every record of the state; detached nodes of the undo stack that `net` does not hold again
// are destroyed.
void releaseAll(const Network& net, ChangeState& state) {
    // First, while the nodes an unsent edit names are surely still there.
    abandon(state);
    state.undo = releaseGroup(state.undo, true, &net);
    state.history = releaseGroup(state.history, true, nullptr);
}

// The edits of one network: what ChangeState keeps, and the views told of each group.
class EditHistory : public NetworkPart {
public:
    explicit EditHistory(Network& net) : m_network(net) {}
    ~EditHistory() override {
        // While the network's nodes are still there: the undo stack's detached nodes are told
        // apart from restored ones by looking them up.
        releaseAll(m_network, state);
    }
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    ChangeState state;
    std::vector<ChangeListener*> listeners;
    // Above zero while listeners are being told: removals then leave a gap, closed afterwards.
    int telling = 0;

private:
    const Network& m_network;
};

EditHistory& historyOf(Network& net) {
    std::unique_ptr<NetworkPart>& part = net.historyPart();
    if (!part)
        part = std::make_unique<EditHistory>(net);
    return static_cast<EditHistory&>(*part);
}

// Undoes the first `applied` records of a refused pending group with the inverses the edit
// pushed: those of the later steps head the undo stack, the ones needed come after them, newest
// first. True when everything that applied was taken back; otherwise `first` and `taken` give
// the inverses that did apply.
bool takeBack(Network& net, const ChangeRecord* group, int applied, ChangeRecord** first,
              int* taken) {
    *first = nullptr;
    *taken = 0;
    int later = 0;
    int needed = 0;
    int index = 0;
    for (const ChangeRecord* r = group; r; r = r->next, ++index) {
        if (r->hasInverse)
            ++(index < applied ? needed : later);
        else if (index < applied && !r->is<MarkDragStep>())
            return false;
    }
    ChangeRecord* inverse = changes(net).undo;
    for (; inverse && later > 0; --later)
        inverse = inverse->next;
    *first = inverse;
    for (; inverse && needed > 0; --needed, inverse = inverse->next, ++*taken)
        if (!ApplyToNetwork(net, inverse))
            return false;
    return needed == 0;
}

void tellListeners(Network& net, const ChangeRecord* group) {
    EditHistory& all = historyOf(net);
    ++all.telling;
    // A listener added meanwhile is not told: it starts from the network as it is now.
    for (std::size_t i = 0, count = all.listeners.size(); i < count; ++i)
        if (ChangeListener* listener = all.listeners[i])
            listener->applyChanges(group);
    if (--all.telling == 0)
        std::erase(all.listeners, nullptr);
}

// Tells the listeners of the first `count` records from `start` as one group, as though the
// group ended there: what a refused group changed before it stopped. The views must hear of it,
// or they keep copies of nodes the network no longer holds.
void tellPart(Network& net, ChangeRecord* start, int count) {
    if (!start || count <= 0)
        return;
    ChangeRecord* last = start;
    for (int i = 1; i < count && last->next; ++i)
        last = last->next;
    const std::uint8_t flags = last->flags;
    last->flags &= static_cast<std::uint8_t>(~ChangeFlags::Continues);
    tellListeners(net, start);
    last->flags = flags;
}

bool sendGroup(Network& net, ChangeRecord* list, int* applied) {
    if (!applyGroup(net, list, applied))
        return false;
    tellListeners(net, list);
    return true;
}

} // namespace

ChangeState& changes(Network& net) {
    return historyOf(net).state;
}

ChangeRecord* RecordChange(Network& net, ChangeStep step, std::optional<ChangeStep> inverse,
                           int flags, std::int32_t position) {
    ChangeState& state = changes(net);
    auto* record = new ChangeRecord(std::move(step), flags | ChangeFlags::Continues, position);
    if (!record)
        return nullptr;
    if (inverse && (state.editingOptions & kKeepUndo)) {
        // Whether the inverse continues its group goes by the inverses this edit pushed, not by
        // its steps: a first step without an inverse must not join this edit to the one before.
        const int kept = flags & (ChangeFlags::SlotMask | ChangeFlags::RelationKind);
        auto* undo = new ChangeRecord(
            std::move(*inverse), kept | (state.pendingUndo ? ChangeFlags::Continues : 0), position);
        if (!undo) {
            delete record;
            return nullptr;
        }
        record->hasInverse = true;
        record->inverse = undo;
        undo->next = state.undo;
        if (state.undo)
            state.undo->previous = undo;
        state.undo = undo;
        ++state.pendingUndo;
    }
    state.pending = append(state.pending, record);
    return record;
}

bool ApplyGroupToNetwork(Network& net, ChangeRecord* list) {
    int applied = 0;
    return applyGroup(net, list, &applied);
}

bool SendChanges(Network& net, ChangeRecord* list) {
    int applied = 0;
    if (sendGroup(net, list, &applied))
        return true;
    tellPart(net, list, applied);
    return false;
}

bool CommitEdit(Network& net) {
    ChangeState& state = changes(net);
    // Taken out first: a listener may begin an edit of its own.
    ChangeRecord* group = std::exchange(state.pending, nullptr);
    const int pushed = std::exchange(state.pendingUndo, 0);
    if (!group)
        return false;
    int applied = 0;
    const bool whole = sendGroup(net, group, &applied);
    // The inverses are on the undo stack now, or about to be dropped.
    for (ChangeRecord* r = group; r; r = r->next)
        r->inverse = nullptr;
    bool changed = whole;
    if (!whole && applied > 0) {
        ChangeRecord* inverses = nullptr;
        int taken = 0;
        changed = !takeBack(net, group, applied, &inverses, &taken);
        // What stayed changed is told to the views: the part that applied, then the part of
        // its taking back that applied.
        if (changed) {
            tellPart(net, group, applied);
            tellPart(net, inverses, taken);
        }
    }
    if (!whole) {
        // The nodes a part that could not be taken back took out are not destroyed with the
        // records: nothing here tells whether something still holds them.
        if (pushed)
            state.undo = releaseGroup(state.undo, false, nullptr);
    }
    // Drag marks change how the views look, not the network: nothing to save or undo.
    bool marksOnly = true;
    for (const ChangeRecord* r = group; r; r = r->next)
        marksOnly = marksOnly && r->is<MarkDragStep>();
    if (marksOnly)
        changed = false;
    if (changed && (state.editingOptions & kKeepHistory)) {
        // Closed, so that the history's groups stay apart.
        lastOf(group)->flags &= static_cast<std::uint8_t>(~ChangeFlags::Continues);
        state.history = append(state.history, group);
    } else {
        releaseGroup(group, true, nullptr);
    }
    return whole;
}

void AbandonEdit(Network& net) {
    abandon(changes(net));
}

bool UndoLastEdit(Network& net) {
    ChangeState& state = changes(net);
    if (!state.undo || state.pending)
        return false;
    const bool applied = SendChanges(net, state.undo);
    // Restored nodes are in the network and stay; only those a refused undo left detached go.
    state.undo = releaseGroup(state.undo, false, &net);
    state.history = DropLastGroup(net, state.history);
    return applied;
}

void AddChangeListener(Network& net, ChangeListener* listener) {
    std::vector<ChangeListener*>& registered = historyOf(net).listeners;
    if (listener && std::find(registered.begin(), registered.end(), listener) == registered.end())
        registered.push_back(listener);
}

void RemoveChangeListener(Network& net, ChangeListener* listener) {
    EditHistory& all = historyOf(net);
    auto at = std::find(all.listeners.begin(), all.listeners.end(), listener);
    if (at == all.listeners.end())
        return;
    if (all.telling)
        *at = nullptr;
    else
        all.listeners.erase(at);
}

ChangeRecord* ReleaseGroup(Network& net, ChangeRecord* list, bool all, bool destroyDetached) {
    return releaseGroup(list, all, destroyDetached ? &net : nullptr);
}

ChangeRecord* DropLastGroup(Network&, ChangeRecord* list) {
    // The last group begins after the last record, other than the final one, that ends a group.
    ChangeRecord* start = list;
    for (ChangeRecord* r = list; r && r->next; r = r->next)
        if (!r->continues())
            start = r->next;
    if (!start)
        return nullptr;
    if (start->previous)
        start->previous->next = nullptr;
    const bool wholeList = start == list;
    releaseGroup(start, true, nullptr);
    return wholeList ? nullptr : list;
}

void ReleaseChanges(Network& net) {
    releaseAll(net, changes(net));
}

} // namespace tarvo
