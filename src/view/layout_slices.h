// A big view's layout spread over short turns of its window's event loop, so that the other
// windows go on painting and taking input while it runs.
#pragma once

#include "layout/view_node.h"
#include "platform/view_host.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tarvo {

class ArrangementImprovement;
class NetView;
class RecalcPieces;

// From how many view nodes the program's windows lay a view out in slices.
inline constexpr std::int32_t kSlicedLayoutNodes = 20000;
// How long one slice works before the event loop gets its turn, in milliseconds.
inline constexpr std::int32_t kLayoutSliceMilliseconds = 50;
// How many nodes one piece of a long step of the pipeline (a walk of the layering, the grid's
// construction) works through: a few milliseconds' worth, so that a slice ends near its time.
inline constexpr std::int32_t kLayoutPieceNodes = 4096;

// When a view lays out in slices: from `fromNodes` view nodes on (0: never, the layout runs
// in one go as it does for tools and tests), each slice working `sliceMilliseconds` at most
// (0: one step of the layout per slice), the long steps of the pipeline going `pieceNodes`
// nodes at a time (0: whole).
struct LayoutSlicing {
    std::int32_t fromNodes = 0;
    std::int32_t sliceMilliseconds = kLayoutSliceMilliseconds;
    std::int32_t pieceNodes = kLayoutPieceNodes;
};

// Work to do once a layout is shown, in the order it was asked for.
using AfterLayout = std::function<void(NetView&)>;

// What a layout is asked to do: the whole pipeline as Relayout runs it (`recalc`, with
// `collectNewlyHidden`), then the improvement as ImproveLayout runs it (`improve`).
struct LayoutRequest {
    bool recalc = false;
    bool collectNewlyHidden = false;
    bool improve = false;
    // Whether the pipeline's result is shown as Relayout shows it; a view being opened shows
    // its first layout in its own way, once it is there.
    bool show = true;
};

// A layout under way in slices; the view holds it until it ends.
class LayoutRun : public platform::TimerClient {
public:
    LayoutRun(NetView& view, const LayoutRequest& request, const PixelBox& before);
    LayoutRun(const LayoutRun&) = delete;
    LayoutRun& operator=(const LayoutRun&) = delete;
    ~LayoutRun() override;

    void timerTick(int id) override;

    // Runs steps until the layout is shown; true when it has ended.
    bool runSlice(std::int32_t milliseconds);
    // A later request while this run is under way, to end as the two run one after the
    // other would: a later pipeline lays out afresh, from its beginning, and only what it asks
    // follows; a later improvement waits for what this run does first.
    void extend(const LayoutRequest& later, AfterLayout then);
    // Ends an improvement under way, giving the nodes their slots, and starts it again at the
    // next slice: the nodes are about to change.
    void settle();
    // Runs what was to follow the layout, once it is shown.
    void runAfter(NetView& view);
    // Whether the run lays out a view being opened, whose opening ends with it.
    bool opening() const { return m_opening; }

private:
    enum class Step : std::int8_t;
    void runStep();
    void improvementStep();

    NetView& m_view;
    bool m_collectNewlyHidden;
    // The improvements still to run.
    int m_improvements;
    // The current node's box when the first request came: the picture moves so that it
    // stays where the user saw it.
    PixelBox m_before;
    Step m_step;
    bool m_show = true;
    bool m_opening = false;
    std::unique_ptr<RecalcPieces> m_recalc;
    // The view's pass count after the last piece: a pass in between spoils a walk under way.
    std::uint32_t m_passes = 0;
    std::unique_ptr<ArrangementImprovement> m_improvement;
    bool m_moved = false;
    std::vector<AfterLayout> m_after;
};

// Whether the view is being laid out in slices: it shows no cells and takes no edits.
bool LayoutUnfinished(const NetView& view);
// Whether the view is being opened in slices: it takes no commands until it is open, as none
// could have reached it before an opening in one go.
bool OpeningUnfinished(const NetView& view);
// Whether the view is big enough to lay out in slices and its window can run them.
bool SlicesLayout(NetView& view);
// Starts the layout in slices when the view is big enough and its window can run it, or
// takes an unfinished one over into it; false when the caller runs the layout in one go.
bool StartSlicedLayout(NetView& view, const LayoutRequest& request, AfterLayout then);
// Before the view's nodes change: an improvement under way gives the nodes their slots and
// starts again afterwards.
void SettleLayout(NetView& view);
// The view goes: its unfinished layout stops, nothing of it shown.
void StopLayout(NetView& view);

} // namespace tarvo
