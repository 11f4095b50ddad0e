// The frame: running out of memory ends in the orderly exit through the Exit command.
#include "shell/main_frame.h"

#include "diagnostics/error_report.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "platform/settings.h"
#include "shell/startup.h"
#include "support/recording_ui.h"
#include "view/commands.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "support/failing_allocation.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Boxes are recorded rather than shown, so nothing modal stops the test.
class Recorder : public platform::Ui {
public:
    void errorBox(const char* message, bool fatal) override {
        messages.push_back(std::string(fatal ? "fatal: " : "") + message);
    }
    platform::Answer messageBox(const char*, const char*, platform::Buttons,
                                platform::Icon) override {
        return platform::Answer::Ok;
    }
    std::vector<std::string> messages;
};

TEST(MainFrame, OutOfMemoryPostsExitAndTheFrameCloses) {
    Recorder recorder;
    platform::Ui* previous = platform::setUi(&recorder);
    ASSERT_TRUE(StartProgram());
    {
        platform::MemorySettings settings;
        MainFrame frame(settings);
        EXPECT_EQ(frame.windowTitle(), "Tarvo++");
        frame.client()->addSubWindow(new QWidget)->show();
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        SetCommandTarget(&frame);
        SetOutOfMemoryHook([] { PostFrameCommand(cmd::kExit); });

        SetSystemAllocation(&testing_support::noMemory, &testing_support::plainFree);
        EXPECT_EQ(Allocate(4096), nullptr);
        RestoreSystemAllocation();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0], "fatal: Out of memory. Sorry!");
        EXPECT_TRUE(frame.isVisible()) << "the exit waits until the current event is done";

        QTRY_VERIFY_WITH_TIMEOUT(!frame.isVisible(), 2000);
        EXPECT_TRUE(frame.client()->subWindowList().isEmpty())
            << "closing the frame closes its documents first";
        SetOutOfMemoryHook(nullptr);
        SetCommandTarget(nullptr);
    }
    ShutDownProgram();
    EXPECT_TRUE(errorState().ErrorsSuppressed);
    EXPECT_EQ(currentHeap(), nullptr);
    // The shutdown releases the text buffers the test process made for every test.
    AllocateWordBuffer();
    AllocateScratchText();
    platform::setUi(previous);
    errorState() = ErrorState{};
}

} // namespace
} // namespace tarvo
