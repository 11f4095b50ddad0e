// A presenter for tests: it records every box instead of showing it.
#pragma once

#include "platform/ui.h"

#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
    std::string caption; // "Error" or "Fatal Error" for the error box
    std::string text;
    bool fatal = false;
};

class RecordingUi : public platform::Ui {
public:
    void errorBox(const char* message, bool fatal) override {
        boxes.push_back({fatal ? "Fatal Error" : "Error", message, fatal});
    }
    platform::Answer messageBox(const char* caption, const char* text, platform::Buttons,
                                platform::Icon) override {
        boxes.push_back({caption, text, false});
        return nextAnswer;
    }

    std::vector<ShownBox> boxes;
    platform::Answer nextAnswer = platform::Answer::Ok;
};

// The recording presenter installed by the core tests' main; cleared before every test.
RecordingUi& recordingUi();

} // namespace testing_support
