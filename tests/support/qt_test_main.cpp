// Entry point of the widget tests: one application object on the offscreen platform.
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Each test process keeps its own debugging log: the tests run side by side in one folder.
const char* ownDebugLog() {
    static const std::string path = "list-" + std::to_string(::getpid()) + ".out";
    return path.c_str();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Widget tests never need a display; listing the tests at build time has none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Nothing a test does reaches the user's own files: standard places lie in the test area,
    // and the user's settings store in a folder of this process that goes at the end.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsFolder;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settingsFolder.path());
    platform::qt::initResources();
    tarvo::DebugLogPath() = ownDebugLog();
    tarvo::AllocateWordBuffer();
    tarvo::AllocateScratchText();
    const int result = RUN_ALL_TESTS();
    tarvo::ReleaseScratchText();
    tarvo::ReleaseWordBuffer();
    std::remove(ownDebugLog());
    return result;
}
