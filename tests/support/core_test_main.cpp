// Entry point of the core tests: the start-up buffers exist and boxes are recorded, not shown.
#include "support/recording_ui.h"

#include "memory/debug_log.h"
#include "memory/shared_buffers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace testing_support {

RecordingUi& recordingUi() {
    static RecordingUi presenter;
    return presenter;
}

namespace {

class ResetBetweenTests : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        recordingUi().boxes.clear();
        recordingUi().nextAnswer = platform::Answer::Ok;
    }
};

// Each test process keeps its own debugging log: the tests run side by side in one folder.
const char* ownDebugLog() {
    static const std::string path = "list-" + std::to_string(::getpid()) + ".out";
    return path.c_str();
}

} // namespace
} // namespace testing_support

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tarvo::SetHeapReporter(&testing_support::recordingUi());
    tarvo::DebugLogPath() = testing_support::ownDebugLog();
    tarvo::AllocateWordBuffer();
    tarvo::AllocateScratchText();
    ::testing::UnitTest::GetInstance()->listeners().Append(new testing_support::ResetBetweenTests);
    const int result = RUN_ALL_TESTS();
    tarvo::ReleaseScratchText();
    tarvo::ReleaseWordBuffer();
    tarvo::SetHeapReporter(nullptr);
    std::remove(testing_support::ownDebugLog());
    return result;
}
