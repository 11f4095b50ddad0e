// The frame: running out of memory ends in the orderly exit through the Exit command.
#include "shell/main_frame.h"

#include "diagnostics/error_report.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "platform/settings.h"
#include "shell/startup.h"
#include "view/commands.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "support/failing_allocation.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Boxes are recorded rather than shown, so nothing modal stops the test.
class Recorder : public platform::Ui, public ErrorPresenter {
public:
    void errorBox(const char* message, bool fatal) override {
        messages.push_back(std::string(fatal ? "fatal: " : "") + message);
    }
    platform::Answer messageBox(const char* caption, const char* text, platform::Buttons,
                                platform::Icon) override {
        messages.push_back(std::string(caption) + ": " + text);
        return platform::Answer::Ok;
    }
    std::vector<std::string> messages;
};

TEST(MainFrame, OutOfMemoryPostsExitAndTheFrameCloses) {
    Recorder recorder;
    ErrorReport errors(recorder);
    ProgramHeapReporter reporter(recorder, errors);
    HeapReporter* previous = SetHeapReporter(&reporter);
    ASSERT_TRUE(StartProgram(errors));
    {
        platform::MemorySettings settings;
        MainFrame frame(settings, recorder, errors);
        EXPECT_EQ(frame.windowTitle(), "Tarvo++");
        frame.client()->addSubWindow(new QWidget)->show();
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        reporter.setFrame(&frame);

        SetSystemAllocation(&testing_support::noMemory, &testing_support::plainFree);
        EXPECT_EQ(Allocate(4096), nullptr);
        RestoreSystemAllocation();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0], "fatal: Out of memory. Sorry!");
        EXPECT_TRUE(frame.isVisible()) << "the exit waits until the current event is done";

        QTRY_VERIFY_WITH_TIMEOUT(!frame.isVisible(), 2000);
        EXPECT_TRUE(frame.client()->subWindowList().isEmpty())
            << "closing the frame closes its documents first";
        reporter.setFrame(nullptr);
    }
    ShutDownProgram(errors);
    EXPECT_TRUE(errors.suppressed());
    EXPECT_EQ(currentHeap(), nullptr);
    // The shutdown releases the text buffers the test process made for every test.
    AllocateWordBuffer();
    AllocateScratchText();
    SetHeapReporter(previous);
}

TEST(MainFrame, TheHeapsNoticesAreMessageBoxesAndNeedNoFrame) {
    Recorder recorder;
    ErrorReport errors(recorder);
    ProgramHeapReporter reporter(recorder, errors);
    reporter.notice("HEAPL:disp()", "statistics", false);
    reporter.outOfMemory("Out of memory. Sorry!");
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0], "HEAPL:disp(): statistics");
    EXPECT_EQ(recorder.messages[1], "fatal: Out of memory. Sorry!");
    EXPECT_TRUE(errors.fatal());
    QCoreApplication::processEvents();
}

} // namespace
} // namespace tarvo
