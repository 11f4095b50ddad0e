// A presenter without windows, for the command-line tool and for tests: it writes to stderr.
#pragma once

#include "platform/ui.h"

namespace platform {

class HeadlessUi : public Ui {
public:
    // Writes "<caption>: <text>" and answers OK for an OK box, else the cautious choice
    // (Cancel, or No without Cancel).
    Answer messageBox(const char* caption, const char* text, Buttons buttons, Icon icon) override;
};

// A presenter that shows nothing at all, for fuzzing and measuring: the boxes that a run raises
// would only drown what is being looked at. OK boxes answer OK, others the cautious choice.
class SilentUi : public Ui {
public:
    Answer messageBox(const char*, const char*, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
};

} // namespace platform
