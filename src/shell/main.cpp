// Entry point of the program: start-up, the frame, the event loop and the orderly shutdown.
#include "diagnostics/error_report.h"
#include "dialogs/error_box.h"
#include "memory/size_class_heap.h"
#include "platform/qt/qt_settings.h"
#include "platform/qt/qt_ui.h"
#include "shell/main_frame.h"
#include "shell/startup.h"
#include "view/commands.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal reaches the process, not an object: its handler finds the pipe and the flag here.
int terminationPipe[2] = {-1, -1};
// Set once a termination was asked for: a start-up still under way then stops short.
bool terminating = false;

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[0], &byte, 1);
}

// A termination request (log-out, kill) closes the frame the way its close box does, so that
// the shutdown runs in order instead of the process vanishing mid-way.
void closeFrameOnTermination(tarvo::MainFrame& frame) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminationPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(terminationPipe[1], QSocketNotifier::Read, &frame);
    QObject::connect(notifier, &QSocketNotifier::activated, &frame, [&frame] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(terminationPipe[1], &byte, 1);
        terminating = true;
        // Open dialogs give up first; the frame closes once their loops have ended.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            if (QApplication::activeModalWidget() == modal)
                break;
        }
        QMetaObject::invokeMethod(
            &frame, [&frame] { frame.command(tarvo::cmd::kExit); }, Qt::QueuedConnection);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(platform::qt::kOrganisationName));
    QApplication::setApplicationName(QString::fromLatin1(platform::qt::kApplicationName));
    platform::qt::initResources();
    platform::qt::QtUi presenter;
    tarvo::ErrorBoxPresenter errorBoxes;
    tarvo::ErrorReport errors(errorBoxes);
    tarvo::ProgramHeapReporter heapReporter(presenter, errors);
    tarvo::SetHeapReporter(&heapReporter);

    if (!tarvo::StartProgram(errors)) {
        tarvo::ShutDownProgram(errors);
        tarvo::SetHeapReporter(nullptr);
        return 1;
    }
    int result;
    {
        // The user's settings file is read now and written only when a setting changes.
        platform::qt::QtSettings settings;
        tarvo::MainFrame frame(settings, presenter, errors);
        presenter.setOwner(&frame);
        errorBoxes.setOwner(&frame);
        heapReporter.setFrame(&frame);
        closeFrameOnTermination(frame);
        // The splash stands while the start-up network loads; the frame shows after it.
        frame.startUp();
        result = 0;
        if (!terminating) {
            frame.show();
            // The first thing to do is to pick the node a document opens on.
            frame.postCommand(tarvo::cmd::kOpenPartition);
            result = QApplication::exec();
        }
        heapReporter.setFrame(nullptr);
        errorBoxes.setOwner(nullptr);
        presenter.setOwner(nullptr);
    }
    tarvo::ShutDownProgram(errors);
    tarvo::SetHeapReporter(nullptr);
    return result;
}
