// What a view asks of the window it is shown in: repaints, scroll bars, caret, mouse, cursor,
// timers, pop-up text and the title of its document window.
#pragma once

#include "platform/clipboard.h"
#include "platform/display.h"

#include <functional>
#include <memory>

namespace platform {

// Timer ids the view uses.
inline constexpr int kHoverTimer = 211;
inline constexpr int kDragTimer = 213;
// The turns of a layout that runs in slices.
inline constexpr int kLayoutTimer = 215;

enum class ScrollBar { Horizontal, Vertical };

enum class CursorShape {
    Arrow,
    Cross,
    SizeAll,
    SizeHorizontal,
    SizeVertical,
    Hand,
    IBeam,
    Wait,
    // The drags of the network view, drawn by the program (resources/cursors):
    DragReorder, // moving a node among its siblings
    Pan,         // moving the whole network under the window
    Zoom,        // zooming the cells
    ZoomAspect,  // zooming the cells, keeping their width to height
    DragLink,    // moving a link line to another node
    DragStub,    // moving the free end of a link's stub
};

// Receives the ticks of the timers a view starts through its host.
class TimerClient {
public:
    virtual ~TimerClient() = default;
    virtual void timerTick(int id) = 0;
};

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // The drawing area of the window, in pixels.
    virtual Size clientSize() const = 0;
    // Asks for a repaint of the rectangle (null: everything).
    virtual void invalidate(const Rect* rect) = 0;
    // Moves what is shown by (dx, dy) and asks for a repaint of what came into view.
    virtual void scrollContents(int dx, int dy) = 0;

    virtual void setScrollRange(ScrollBar bar, int minimum, int maximum) = 0;
    virtual void setScrollPosition(ScrollBar bar, int position) = 0;
    virtual int scrollPosition(ScrollBar bar) const = 0;

    virtual void createCaret(int width, int height) = 0;
    virtual void setCaretPosition(Point at) = 0;
    virtual void showCaret(bool shown) = 0;
    virtual void destroyCaret() = 0;

    virtual void captureMouse(bool captured) = 0;
    virtual void setCursor(CursorShape shape) = 0;

    // Starts (or restarts) timer `id`, ticking every `milliseconds` into `client`.
    virtual void startTimer(int id, int milliseconds, TimerClient& client) = 0;
    virtual void stopTimer(int id) = 0;

    // A small text (UTF-8, since it may show IPA) near the mouse, at `at` in the window's
    // coordinates; an empty text hides it.
    virtual void showPopupText(Point at, const char* text) = 0;

    // Runs `task` once the window has handled what it is doing now.
    virtual void postTask(std::function<void()> task) = 0;

    // The title (UTF-8) of the document window the view fills.
    virtual void setTitle(const char* title) = 0;

    // A display for measuring text outside painting, with the screen's resolution.
    virtual std::unique_ptr<Display> measuringDisplay() = 0;
    // Regions for hit tests outside painting.
    virtual RegionMaker& regions() = 0;
    // The clipboard the view's label editor copies to and pastes from.
    virtual Clipboard& clipboard() = 0;
};

} // namespace platform
