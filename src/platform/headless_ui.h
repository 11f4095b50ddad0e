// A presenter without windows, for programs that have none: it writes to stderr.
#pragma once

#include "platform/ui.h"

namespace platform {

class HeadlessUi : public Ui {
public:
    // Writes "<caption>: <text>" and answers OK for an OK box, else the cautious choice
    // (Cancel, or No without Cancel).
    Answer messageBox(const char* caption, const char* text, Buttons buttons, Icon icon) override;
};

} // namespace platform
