// Entry point of the widget tests: one application object on the offscreen platform.
#include "memory/shared_buffers.h"
#include "platform/qt/qt_ui.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Widget tests never need a display; listing the tests at build time has none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::qt::initResources();
    tarvo::AllocateWordBuffer();
    tarvo::AllocateScratchText();
    const int result = RUN_ALL_TESTS();
    tarvo::ReleaseScratchText();
    tarvo::ReleaseWordBuffer();
    return result;
}
