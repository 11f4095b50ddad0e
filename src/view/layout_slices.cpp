// The layout of a big view in slices on its window's event loop.
#include "view/layout_slices.h"

#include "containers/node_table.h"
#include "layout/layout_improvement.h"
#include "memory/size_class_heap.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/view_mouse.h"
#include "view/view_options.h"

#include <chrono>
#include <new>

namespace tarvo {

// Where a run stands: in the pipeline (its pieces in m_recalc), showing its result, in the
// improvement, or done.
enum class LayoutRun::Step : std::int8_t {
    Recalc,
    Show,
    ImproveBegin,
    Improving,
    ImproveEnd,
    Done
};

namespace {

std::int64_t viewNodeCount(NetView& view) {
    std::int64_t count = 0;
    if (view.layout.nodes)
        view.layout.nodes->forEach(
            [](void* counted, NodeBase*) {
                ++*static_cast<std::int64_t*>(counted);
                return 0;
            },
            &count);
    return count;
}


// The run leaves the view: the timer stops, and what was to follow the layout runs.
void endRun(NetView& view) {
    std::unique_ptr<LayoutRun> run = std::move(view.layoutRun);
    if (view.host)
        view.host->stopTimer(platform::kLayoutTimer);
    // The picture replaces the "laying out" state, whatever the last step repainted.
    RepaintView(view);
    if (run)
        run->runAfter(view);
}

} // namespace

LayoutRun::LayoutRun(NetView& view, const LayoutRequest& request, const PixelBox& before)
    : m_view(view), m_collectNewlyHidden(request.collectNewlyHidden),
      m_improvements(request.improve ? 1 : 0), m_before(before),
      m_step(request.recalc    ? Step::Recalc
             : request.improve ? Step::ImproveBegin
                               : Step::Done),
      m_show(request.show), m_opening(!request.show) {}

LayoutRun::~LayoutRun() = default;

void LayoutRun::timerTick(int id) {
    if (id != platform::kLayoutTimer)
        return;
    // Ending destroys this run: nothing of it is touched after.
    if (runSlice(m_view.slicing.sliceMilliseconds))
        endRun(m_view);
}

bool LayoutRun::runSlice(std::int32_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const Clock::duration budget = std::chrono::milliseconds(milliseconds);
    Clock::time_point stepStart = start;
    // At least one step; another only when one more like the last still fits the budget.
    for (;;) {
        runStep();
        const Clock::time_point now = Clock::now();
        if (m_step == Step::Done || budget == Clock::duration::zero() ||
            (now - start) + (now - stepStart) > budget)
            break;
        stepStart = now;
    }
    return m_step == Step::Done;
}

void LayoutRun::runStep() {
    switch (m_step) {
    case Step::Recalc:
        // A walk under way whose marks another pass took (a command the window takes while
        // laying out walks the view too) cannot go on: the pipeline starts again.
        if (!m_recalc || (m_recalc->midStep() && m_view.layout.passNumber != m_passes))
            m_recalc = std::make_unique<RecalcPieces>(m_collectNewlyHidden);
        // The pipeline ends early without a current node or memory, and what it left is shown.
        if (m_recalc->resume(m_view, m_view.slicing.pieceNodes)) {
            m_recalc.reset();
            m_step = Step::Show;
        }
        m_passes = m_view.layout.passNumber;
        return;
    case Step::Show:
        if (m_show)
            ShowLayout(m_view, m_before);
        m_step = m_improvements > 0 ? Step::ImproveBegin : Step::Done;
        return;
    case Step::ImproveBegin:
    case Step::Improving:
        improvementStep();
        return;
    case Step::ImproveEnd:
        EndImprovement(m_view, m_moved);
        m_step = --m_improvements > 0 ? Step::ImproveBegin : Step::Done;
        return;
    case Step::Done:
        return;
    }
}

void LayoutRun::improvementStep() {
    try {
        if (m_step == Step::ImproveBegin) {
            m_improvement = std::make_unique<ArrangementImprovement>(m_view.layout,
                                                                     m_view.options.justification);
            m_step = Step::Improving;
            return;
        }
        if (m_improvement->step())
            return;
        m_moved = m_improvement->moved();
        m_improvement.reset();
        m_step = Step::ImproveEnd;
    } catch (const std::bad_alloc&) {
        // As in one go: the nodes keep what the sweeps gave them, and nothing is shown.
        m_improvement.reset();
        ReportOutOfMemory();
        m_step = Step::Done;
    }
}

void LayoutRun::extend(const LayoutRequest& later, AfterLayout then) {
    if (later.recalc) {
        // Whatever this run did is laid out afresh. The current node stays where it is on the
        // screen now: its box changes only once a layout is shown.
        m_before = m_view.current ? m_view.current->layoutBox : PixelBox{};
        m_improvement.reset();
        m_improvements = 0;
        m_collectNewlyHidden = later.collectNewlyHidden;
        m_show = later.show;
        m_step = Step::Recalc;
        m_recalc.reset();
        // The first step at once: it takes the fillers out and lets the grid go, so that
        // nothing meets cells of destroyed nodes until the new grid is built.
        runStep();
    }
    if (later.improve && ++m_improvements == 1 && m_step == Step::Done)
        m_step = Step::ImproveBegin;
    m_after.push_back(std::move(then));
}

void LayoutRun::settle() {
    if (!m_improvement)
        return;
    m_improvement.reset();
    m_step = Step::ImproveBegin;
}

void LayoutRun::runAfter(NetView& view) {
    for (AfterLayout& then : m_after)
        if (then)
            then(view);
}

bool LayoutUnfinished(const NetView& view) {
    return view.layoutRun != nullptr;
}

bool OpeningUnfinished(const NetView& view) {
    return view.layoutRun && view.layoutRun->opening();
}

bool SlicesLayout(NetView& view) {
    return view.host && view.slicing.fromNodes > 0 && viewNodeCount(view) >= view.slicing.fromNodes;
}

bool StartSlicedLayout(NetView& view, const LayoutRequest& request, AfterLayout then) {
    if (!view.layoutRun && !SlicesLayout(view))
        return false;
    if (view.layoutRun) {
        view.layoutRun->extend(request, std::move(then));
        return true;
    }
    const PixelBox before = view.current ? view.current->layoutBox : PixelBox{};
    view.layoutRun = std::make_unique<LayoutRun>(view, LayoutRequest{.show = request.show}, before);
    view.layoutRun->extend(request, std::move(then));
    // A drag in this view would end on cells that are being laid out.
    ForgetMouse(view);
    view.host->captureMouse(false);
    view.host->startTimer(platform::kLayoutTimer, 0, *view.layoutRun);
    RepaintView(view);
    return true;
}

void SettleLayout(NetView& view) {
    if (view.layoutRun)
        view.layoutRun->settle();
}

void StopLayout(NetView& view) {
    if (!view.layoutRun)
        return;
    if (view.host)
        view.host->stopTimer(platform::kLayoutTimer);
    view.layoutRun.reset();
}

} // namespace tarvo
