// The frame window.
#include "shell/main_frame.h"

#include "dialogs/dialog_base.h"
#include "shell/commands.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>

namespace tarvo {
namespace {

QPointer<MainFrame>& commandTarget() {
    static QPointer<MainFrame> frame;
    return frame;
}

} // namespace

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent), m_client(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MdiNetFrame"));
    setWindowTitle(QStringLiteral("Tarvo++"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));
    m_client->setObjectName(QStringLiteral("MDICLIENT"));
    m_client->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_client);
    createMenus();
    resize(900, 640);
    // Dialogs opened without an owner belong to the frame.
    dialogState().mainFrame = this;
}

void MainFrame::createMenus() {
    QMenu* net = menuBar()->addMenu(QStringLiteral("&Net"));
    QAction* exit = net->addAction(QStringLiteral("E&xit"));
    exit->setData(cmd::kExit);
    connect(exit, &QAction::triggered, this, [this] { command(cmd::kExit); });
}

int MainFrame::command(int id) {
    switch (id) {
    case cmd::kExit:
        close();
        return 1;
    case cmd::kCloseAll:
        m_client->closeAllSubWindows();
        return 1;
    case cmd::kTileHorizontal:
    case cmd::kTileVertical:
        m_client->tileSubWindows();
        return 1;
    case cmd::kCascade:
        m_client->cascadeSubWindows();
        return 1;
    default:
        return 0;
    }
}

void MainFrame::closeEvent(QCloseEvent* event) {
    m_client->closeAllSubWindows();
    if (!m_client->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void SetCommandTarget(MainFrame* frame) {
    commandTarget() = frame;
}

void PostFrameCommand(int id) {
    MainFrame* frame = commandTarget();
    if (!frame)
        return;
    QMetaObject::invokeMethod(
        frame, [frame, id] { frame->command(id); }, Qt::QueuedConnection);
}

} // namespace tarvo
