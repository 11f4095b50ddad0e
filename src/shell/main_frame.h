// The frame window: the multiple-document area and the frame's commands.
#pragma once

#include <QMainWindow>

class QMdiArea;

namespace tarvo {

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrame(QWidget* parent = nullptr);

    QMdiArea* client() const { return m_client; }

public Q_SLOTS:
    // Carries out a command of the menus, accelerators or tool bar; answers the command's result.
    int command(int id);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();

    QMdiArea* m_client;
};

// Makes `frame` the target of the commands that arrive from outside the frame (out of memory).
void SetCommandTarget(MainFrame* frame);
// Posts `id` to the frame, to be carried out once the current event is finished.
void PostFrameCommand(int id);

} // namespace tarvo
