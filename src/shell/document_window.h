// A document window ("MdiNetChild"): one view of the loaded network in the frame's document
// area, centred on the node the user picked when it was opened.
#pragma once

#include <QMdiSubWindow>

#include <memory>
#include <string>

namespace tarvo {

class MainFrame;
class NetView;
class NetViewWidget;
class Node;
class ViewMenus;

class DocumentWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // A window on `node` titled `title`, showing nodes up to `revealDistance` around it.
    DocumentWindow(MainFrame& frame, Node* node, const std::string& title, int revealDistance);
    ~DocumentWindow() override;

    // The view; null when it could not be made.
    NetView* view() const;
    NetViewWidget* viewWidget() const { return m_widget; }
    const std::string& title() const { return m_title; }

    // Carries out a document command in the view; false when the view does not handle it.
    bool command(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    MainFrame& m_frame;
    std::string m_title;
    NetViewWidget* m_widget;
    std::unique_ptr<ViewMenus> m_menus;
    std::unique_ptr<NetView> m_view;
};

} // namespace tarvo
