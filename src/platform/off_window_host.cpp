// The off-window view host.
#include "platform/off_window_host.h"

#include <algorithm>

namespace platform {

void OffWindowHost::invalidate(const Rect* rect) {
    if (!rect)
        everythingInvalid = true;
    else if (!rect->empty())
        invalidated.push_back(*rect);
}

void OffWindowHost::scrollContents(int, int) {
    everythingInvalid = true;
}

void OffWindowHost::setScrollRange(ScrollBar bar, int minimum, int maximum) {
    Bar& b = bars[static_cast<int>(bar)];
    b.minimum = minimum;
    b.maximum = std::max(minimum, maximum);
    b.position = std::clamp(b.position, b.minimum, b.maximum);
}

void OffWindowHost::setScrollPosition(ScrollBar bar, int position) {
    Bar& b = bars[static_cast<int>(bar)];
    b.position = std::clamp(position, b.minimum, b.maximum);
}

int OffWindowHost::scrollPosition(ScrollBar bar) const {
    return bars[static_cast<int>(bar)].position;
}

void OffWindowHost::startTimer(int id, int milliseconds, TimerClient& ticked) {
    timers[id] = {milliseconds, &ticked};
}

void OffWindowHost::showPopupText(Point at, const char* text) {
    popupAt = at;
    popupText = text ? text : "";
}

std::unique_ptr<Display> OffWindowHost::measuringDisplay() {
    return m_measuring ? m_measuring() : nullptr;
}

int OffWindowHost::runPosted() {
    int ran = 0;
    while (!m_posted.empty()) {
        std::function<void()> task = std::move(m_posted.front());
        m_posted.erase(m_posted.begin());
        task();
        ++ran;
    }
    return ran;
}

void OffWindowHost::tick(int id) {
    const auto found = timers.find(id);
    if (found != timers.end() && found->second.client)
        found->second.client->timerTick(id);
}

} // namespace platform
