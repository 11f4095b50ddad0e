// A presenter for tests: it records every box instead of showing it, for the message boxes, the
// error report and the heap alike.
#pragma once

#include "diagnostics/error_report.h"
#include "memory/size_class_heap.h"
#include "platform/ui.h"

#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
    std::string caption; // "Error" or "Fatal Error" for the error box
    std::string text;
    bool fatal = false;
};

class RecordingUi : public platform::Ui, public tarvo::ErrorPresenter, public tarvo::HeapReporter {
public:
    void errorBox(const char* message, bool fatal) override {
        boxes.push_back({fatal ? "Fatal Error" : "Error", message, fatal});
    }
    platform::Answer messageBox(const char* caption, const char* text, platform::Buttons,
                                platform::Icon) override {
        boxes.push_back({caption, text, false});
        return nextAnswer;
    }
    void outOfMemory(const char* message) override { errorBox(message, true); }
    void notice(const char* caption, const char* text, bool) override {
        boxes.push_back({caption, text, false});
    }

    std::vector<ShownBox> boxes;
    platform::Answer nextAnswer = platform::Answer::Ok;
};

// The recording presenter the core tests' main makes the heap's reporter; cleared before every
// test.
RecordingUi& recordingUi();

} // namespace testing_support
