// A view host without a window: for drawing views into images and for tests. It keeps what
// the view asked of it, and runs posted tasks when told to.
#pragma once

#include "platform/view_host.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform {

class OffWindowHost : public ViewHost {
public:
    using DisplayMaker = std::function<std::unique_ptr<Display>()>;

    // `measuring` makes the displays text is measured on; `regions` makes hit-test regions and
    // must outlive the host.
    OffWindowHost(Size clientArea, DisplayMaker measuring, RegionMaker& regions)
        : client(clientArea), m_measuring(std::move(measuring)), m_regions(regions) {}

    Size clientSize() const override { return client; }
    void invalidate(const Rect* rect) override;
    void scrollContents(int dx, int dy) override;
    void setScrollRange(ScrollBar bar, int minimum, int maximum) override;
    void setScrollPosition(ScrollBar bar, int position) override;
    int scrollPosition(ScrollBar bar) const override;
    void createCaret(int, int) override { caretShown = false; }
    void setCaretPosition(Point at) override { caret = at; }
    void showCaret(bool shown) override { caretShown = shown; }
    void destroyCaret() override { caretShown = false; }
    void captureMouse(bool captured) override { mouseCaptured = captured; }
    void setCursor(CursorShape shape) override { cursor = shape; }
    void startTimer(int id, int milliseconds, TimerClient& ticked) override;
    void stopTimer(int id) override { timers.erase(id); }
    void showPopupText(Point at, const char* text) override;
    void postTask(std::function<void()> task) override { m_posted.push_back(std::move(task)); }
    void setTitle(const char* text) override { title = text ? text : ""; }
    std::unique_ptr<Display> measuringDisplay() override;
    RegionMaker& regions() override { return m_regions; }
    Clipboard& clipboard() override { return board; }

    // Runs the posted tasks, and those they post, in order; answers how many ran.
    int runPosted();
    // Ticks timer `id` once, when it runs.
    void tick(int id);

    struct Bar {
        int minimum = 0;
        int maximum = 0;
        int position = 0;
    };
    struct Timer {
        int milliseconds = 0;
        TimerClient* client = nullptr;
    };

    Size client;
    std::string title;
    // Everything asked to be repainted since the last clear; a null rectangle is everything.
    bool everythingInvalid = false;
    std::vector<Rect> invalidated;
    Bar bars[2];
    Point caret;
    bool caretShown = false;
    bool mouseCaptured = false;
    CursorShape cursor = CursorShape::Arrow;
    std::map<int, Timer> timers;
    Point popupAt;
    std::string popupText;
    // The clipboard of this host alone.
    MemoryClipboard board;

private:
    DisplayMaker m_measuring;
    RegionMaker& m_regions;
    std::vector<std::function<void()>> m_posted;
};

} // namespace platform
