// The frame with real document windows on the shipped network, in a scratch copy of the working
// folder: menus and caption following the active document, the file commands, the save
// question, Close All and the routing of commands.
#include "shell/main_frame.h"

#include "diagnostics/error_report.h"
#include "dialogs/modal_answer.h"
#include "dialogs/node_windows.h"
#include "dialogs/partition_choice.h"
#include "edit/changes.h"
#include "labels/label_text.h"
#include "layout/view_node.h"
#include "memory/shared_buffers.h"
#include "model/network.h"
#include "platform/settings.h"
#include "shell/button_sets.h"
#include "shell/document_window.h"
#include "shell/net_view_widget.h"
#include "shell/startup.h"
#include "shell/tool_bar.h"
#include "shell/view_preferences.h"
#include "support/network_text.h"
#include "view/commands.h"
#include "view/net_view.h"
#include "view/node_windows_content.h"
#include "view/view_changes.h"
#include "view/view_operations.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing_support::ModalAnswer;

// Boxes are recorded and answered from a queue (then Ok).
class AnsweringUi : public platform::Ui, public ErrorPresenter {
public:
    void errorBox(const char* message, bool) override { texts.emplace_back(message); }
    platform::Answer messageBox(const char*, const char* text, platform::Buttons,
                                platform::Icon) override {
        texts.emplace_back(text);
        if (answers.empty())
            return platform::Answer::Ok;
        const platform::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<std::string> texts;
    std::deque<platform::Answer> answers;
};

class FrameDocumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_home = fs::current_path();
        m_work = fs::temp_directory_path() / ("tarvo-frame-" + std::to_string(::getpid()));
        fs::remove_all(m_work);
        fs::copy(TARVO_DATA_DIR, m_work, fs::copy_options::recursive);
        fs::current_path(m_work);
        ASSERT_TRUE(StartProgram(errors));
        frame = std::make_unique<MainFrame>(settings, ui, errors);
        frame->setNetworkPath("Databases/script.dat");
        frame->loadNetwork();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override {
        frame.reset();
        ShutDownProgram(errors);
        // The shutdown releases the text buffers the test process made for every test.
        AllocateWordBuffer();
        AllocateScratchText();
        fs::current_path(m_home);
        fs::remove_all(m_work);
    }

    // Opens a document on the node typed into the partition dialog; "" cancels it.
    int open(const char* typed, const std::string& title) {
        ModalAnswer answer(frame->dialogs(), [typed](DialogBase& dialog) {
            if (!*typed) {
                dialog.press(2);
                return;
            }
            dialog.control<QLineEdit>(20)->setText(QString::fromLatin1(typed));
            dialog.press(1);
        });
        const int opened = frame->openDocument(title);
        QCoreApplication::processEvents();
        return opened;
    }
    // The frame goes and a new one starts on the same settings, as at the program's next run.
    void restartFrame() {
        frame.reset();
        frame = std::make_unique<MainFrame>(settings, ui, errors);
        frame->setNetworkPath("Databases/script.dat");
        frame->loadNetwork();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    // Chooses "Readable label size..." in the VIEW menu and types `typed` (null: cancels);
    // answers the prompt and the size the dialog offered.
    std::pair<QString, QString> chooseReadableSize(const char* typed) {
        std::pair<QString, QString> shown;
        ModalAnswer answer(frame->dialogs(), [&shown, typed](DialogBase& dialog) {
            shown.first = dialog.control<QLabel>(10)->text();
            shown.second = dialog.control<QLineEdit>(20)->text();
            if (!typed) {
                dialog.press(2);
                return;
            }
            dialog.control<QLineEdit>(20)->setText(QString::fromLatin1(typed));
            dialog.press(1);
        });
        QAction* item = frame->menuItems(MenuBarKind::View).items.at(cmd::kReadableLabelSize);
        EXPECT_TRUE(item->isEnabled());
        item->trigger();
        QCoreApplication::processEvents();
        return shown;
    }
    NetView& activeView() const { return *frame->activeDocument()->view(); }
    QString caption() const { return frame->windowTitle(); }
    QStringList menuTitles() const {
        QStringList titles;
        for (const QAction* a : frame->menuBar()->actions())
            titles << a->text();
        return titles;
    }
    // Answers the file dialogs with `path` (empty: cancel), counting the runs.
    void chooseFile(const std::string& path) {
        frame->setFileDialogRunner([this, path](QWidget*, bool save, FileChoice& choice) {
            ++fileDialogs;
            lastDialogSaved = save;
            if (path.empty())
                return false;
            choice.path = path;
            choice.title = fs::path(path).filename().string();
            return true;
        });
    }

    AnsweringUi ui;
    ErrorReport errors{ui};
    platform::MemorySettings settings;
    std::unique_ptr<MainFrame> frame;
    int fileDialogs = 0;
    bool lastDialogSaved = false;

private:
    fs::path m_home;
    fs::path m_work;
};

// A closed document waits for its deletion; a frame that goes before takes it along while the
// frame is whole, so that the view's teardown still finds the frame's parts.
TEST_F(FrameDocumentsTest, AFrameGoingTakesAlongTheClosedWindowsThatWaitForDeletion) {
    ASSERT_EQ(open("noun", "first"), 1);
    ASSERT_EQ(open("verb", "second"), 1);
    const QPointer<DocumentWindow> closed = frame->documents().at(0);
    const QPointer<DocumentWindow> open = frame->documents().at(1);
    closed->close();
    QCoreApplication::processEvents();
    ASSERT_FALSE(closed.isNull()) << "the deletion waits for the event loop";
    ASSERT_EQ(frame->documents().size(), 1);
    frame.reset();
    EXPECT_TRUE(closed.isNull());
    EXPECT_TRUE(open.isNull());
}

TEST_F(FrameDocumentsTest, MenuBarCaptionAndToolBarFollowTheActiveDocument) {
    EXPECT_EQ(menuTitles(), (QStringList{"&Net", "&Help"}));
    EXPECT_EQ(open("", "none"), 0) << "cancelling the partition dialog opens nothing";
    EXPECT_TRUE(frame->documents().isEmpty());
    EXPECT_EQ(frame->toolBar()->buttonSet(), nullptr);

    ASSERT_EQ(open("noun", "first"), 1);
    ASSERT_EQ(open("verb", "second"), 1);
    EXPECT_EQ(menuTitles(), (QStringList{"&Net", "&Edit", "&View", "&Window", "&Help"}));
    EXPECT_EQ(caption(), "Tarvo++ - second");
    EXPECT_EQ(frame->toolBar()->buttonSet(), &frame->buttons().net);
    EXPECT_TRUE(frame->toolBar()->list(kNodeList)->isVisibleTo(frame->toolBar()));
    EXPECT_EQ(frame->toolBar()->list(kNodeList)->currentText(), "verb");

    DocumentWindow* first = frame->documents().at(0);
    frame->client()->setActiveSubWindow(first);
    EXPECT_EQ(frame->activeDocument(), first);
    EXPECT_EQ(caption(), "Tarvo++ - first");
    EXPECT_EQ(frame->toolBar()->list(kNodeList)->currentText(), "noun");
    // The view's options reach the VIEW menu: the orientation pop-up names the value.
    const QMenu* viewMenu = frame->menuItems(MenuBarKind::View).popups.at(2);
    EXPECT_EQ(viewMenu->actions().at(7)->text(), "&Orientation:\tTop-down");
    EXPECT_TRUE(frame->menuItems(MenuBarKind::View).items.at(cmd::kLeftToRight + 2)->isChecked());
    // The buttons follow the menu items: highlighting is on, nothing to undo yet, and the
    // orientation button shows the choice made.
    const ButtonSet& net = frame->buttons().net;
    EXPECT_TRUE(FindButton(net, cmd::kHighlightLinks)->has(ButtonState::Pressed));
    EXPECT_TRUE(FindButton(net, cmd::kUndo)->has(ButtonState::Disabled));
    EXPECT_EQ(frame->command(cmd::kLeftToRight), 1);
    EXPECT_EQ(viewMenu->actions().at(7)->text(), "&Orientation:\tLeft to right");
    EXPECT_NE(FindButton(net, cmd::kLeftToRight), nullptr);
    bool shown = false;
    for (int i = 0; i < net.count; ++i)
        shown = shown || net.buttons[i].command == cmd::kLeftToRight;
    EXPECT_TRUE(shown) << "the orientation button takes the chosen alternative";

    // Editing a label brings the editing buttons and the font list; its end brings them back.
    EXPECT_EQ(frame->command(cmd::kText), 1);
    EXPECT_EQ(frame->toolBar()->buttonSet(), &frame->buttons().netEdit);
    QComboBox* fonts = frame->toolBar()->list(kFontList);
    EXPECT_TRUE(fonts->isVisibleTo(frame->toolBar()));
    ASSERT_GT(fonts->count(), 1);
    fonts->setCurrentIndex(1);
    EXPECT_EQ(frame->fontListSelection(), fonts->itemData(1).toInt());
    EXPECT_EQ(frame->command(cmd::kText), 1);
    EXPECT_EQ(frame->toolBar()->buttonSet(), &frame->buttons().net);
    EXPECT_FALSE(fonts->isVisibleTo(frame->toolBar()));

    EXPECT_EQ(frame->command(cmd::kClose), 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(frame->documents().size(), 1);
    frame->documents().at(0)->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->documents().isEmpty());
    EXPECT_EQ(menuTitles(), (QStringList{"&Net", "&Help"}));
    EXPECT_EQ(caption(), "Tarvo++ - (untitled)");
    EXPECT_EQ(frame->toolBar()->buttonSet(), nullptr);
    EXPECT_NE(frame->network().table(), nullptr) << "closing the last document leaves the network";
}

TEST_F(FrameDocumentsTest, MenuItemsAndAcceleratorsIssueTheirCommands) {
    for (MenuBarKind kind : {MenuBarKind::Init, MenuBarKind::View}) {
        const auto& items = frame->menuItems(kind).items;
        for (int id : {cmd::kNewEntity, cmd::kNewRelation, cmd::kOptions})
            EXPECT_FALSE(items.at(id)->isEnabled()) << id << " is handled by no window";
    }
    EXPECT_FALSE(frame->menuItems(MenuBarKind::Init).items.at(cmd::kTextWindow)->isEnabled());
    ASSERT_EQ(open("noun", "script.dat"), 1);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

    QSignalSpy routed(frame.get(), &MainFrame::commandRouted);
    QAction* inspect = frame->menuItems(MenuBarKind::View).items.at(cmd::kInspectLinks);
    EXPECT_EQ(inspect->text(), "Inspect &links...\tF3");
    inspect->trigger();
    QTest::keyClick(frame->activeDocument()->viewWidget(), Qt::Key_F3);
    ASSERT_EQ(routed.size(), 2);
    EXPECT_EQ(routed.at(0).at(0).toInt(), cmd::kInspectLinks);
    EXPECT_EQ(routed.at(1).at(0).toInt(), cmd::kInspectLinks);

    // Letters typed in the view choose in the node list, and the view goes there; Tab moves the
    // keyboard on to that list.
    NetViewWidget* viewWindow = frame->activeDocument()->viewWidget();
    QTest::keyClicks(viewWindow, "plu");
    const QString chosen = frame->toolBar()->list(kNodeList)->currentText();
    EXPECT_TRUE(chosen.startsWith("plu")) << chosen.toStdString();
    ASSERT_NE(frame->activeDocument()->view()->current, nullptr);
    std::string current;
    PlainText(frame->activeDocument()->view()->current->name, current);
    EXPECT_EQ(current, chosen.toStdString());
    viewWindow->setFocus();
    QTest::keyClick(viewWindow, Qt::Key_Tab);
    EXPECT_TRUE(frame->toolBar()->list(kNodeList)->hasFocus());
    viewWindow->setFocus();

    // F4 and F3 open the inspection windows beside the view, side by side; each key again
    // closes its own.
    QTest::keyClick(viewWindow, Qt::Key_F4);
    ASSERT_NE(frame->inspectionWindows().openWindow(InspectionKind::Report), nullptr);
    EXPECT_EQ(frame->inspectionWindows().openWindow(InspectionKind::Report)->windowTitle(),
              "Inheritance Dialog");
    QTest::keyClick(viewWindow, Qt::Key_F3);
    ASSERT_NE(frame->inspectionWindows().openWindow(InspectionKind::Links), nullptr);
    EXPECT_EQ(frame->inspectionWindows().openWindow(InspectionKind::Links)->windowTitle(),
              "Inspect links");
    EXPECT_NE(frame->inspectionWindows().openWindow(InspectionKind::Report), nullptr);
    QTest::keyClick(viewWindow, Qt::Key_F3);
    EXPECT_EQ(frame->inspectionWindows().openWindow(InspectionKind::Links), nullptr);
    QTest::keyClick(viewWindow, Qt::Key_F4);
    EXPECT_EQ(frame->inspectionWindows().openWindow(InspectionKind::Report), nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    viewWindow->setFocus();

    // Ctrl+Z undoes through the accelerator table; the insert was the view's own key.
    const int before = ::testing_support::NetworkNodeCount(frame->network());
    QTest::keyClick(frame->activeDocument()->viewWidget(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(::testing_support::NetworkNodeCount(frame->network()), before + 1);
    QTest::keyClick(frame->activeDocument()->viewWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(::testing_support::NetworkNodeCount(frame->network()), before);
    EXPECT_EQ(routed.last().at(0).toInt(), cmd::kUndo);
}

TEST_F(FrameDocumentsTest, TheUntangleEntryIsCheckedPerView) {
    ASSERT_EQ(open("noun", "first"), 1);
    DocumentWindow* first = frame->activeDocument();
    QAction* untangle = frame->menuItems(MenuBarKind::View).items.at(cmd::kUntangle);
    EXPECT_TRUE(untangle->isCheckable());
    EXPECT_FALSE(untangle->isChecked());
    untangle->trigger();
    EXPECT_TRUE(first->view()->options.untangle);
    EXPECT_TRUE(untangle->isChecked());
    // A second view starts without it, and each shows its own when active.
    ASSERT_EQ(open("verb", "second"), 1);
    DocumentWindow* second = frame->activeDocument();
    EXPECT_FALSE(second->view()->options.untangle);
    EXPECT_FALSE(untangle->isChecked());
    frame->client()->setActiveSubWindow(first);
    EXPECT_TRUE(untangle->isChecked());
    untangle->trigger();
    EXPECT_FALSE(first->view()->options.untangle);
    EXPECT_FALSE(untangle->isChecked());
}

TEST_F(FrameDocumentsTest, InspectionWindowsFollowInsertsUndoAndDeletesInTheirView) {
    ASSERT_EQ(open("modal", "script.dat"), 1);
    DocumentWindow* document = frame->activeDocument();
    NetView& view = *document->view();
    NetViewWidget* viewWindow = document->viewWidget();
    frame->command(cmd::kInspectProperties);
    frame->command(cmd::kInspectLinks);
    auto* report =
        qobject_cast<DialogBase*>(frame->inspectionWindows().openWindow(InspectionKind::Report));
    auto* links =
        qobject_cast<DialogBase*>(frame->inspectionWindows().openWindow(InspectionKind::Links));
    ASSERT_NE(report, nullptr);
    ASSERT_NE(links, nullptr);
    const auto box = [](DialogBase* window, int id) { return window->control<QComboBox>(id); };
    const auto currentName = [&] {
        std::string name;
        PlainText(view.current->name, name);
        return QString::fromStdString(name);
    };
    // Each window shows the view's current node in its node box, and every node of its kind.
    const auto follows = [&](const char* step, int entities) {
        SCOPED_TRACE(step);
        for (auto [window, id] :
             {std::pair{report, inspect::kNodeBox}, std::pair{links, inspect::kLinkNodeBox}}) {
            EXPECT_EQ(box(window, id)->currentText(), currentName());
            EXPECT_EQ(box(window, id)->count(), entities);
            // Drawing every item of the box and of the lists reads each node they hold.
            box(window, id)->showPopup();
            QCoreApplication::processEvents();
            (void)window->grab();
            box(window, id)->hidePopup();
        }
    };
    const int entities = box(report, inspect::kNodeBox)->count();
    follows("opened", entities);

    // Insert a child and go to it, as a click on it does.
    Node* modal = view.current->source;
    QTest::keyClick(viewWindow, Qt::Key_Insert, Qt::ControlModifier);
    Node* child = asNode(modal->slotList(ChildSlot).nodeAt(modal->slotList(ChildSlot).size() - 1));
    ViewNode* copy = FindViewNode(view, child);
    ASSERT_NE(copy, nullptr);
    GoToNode(view, copy, 2, nullptr, true);
    QCoreApplication::processEvents();
    follows("inserted", entities + 1);
    // Undo destroys the node the windows were showing.
    frame->command(cmd::kUndo);
    follows("undone", entities);
    EXPECT_EQ(view.current->source, modal);
    // Delete takes the current node out: the windows leave it too.
    QTest::keyClick(viewWindow, Qt::Key_Delete);
    ASSERT_NE(view.current->source, modal);
    follows("deleted", entities - 1);
    EXPECT_EQ(box(report, inspect::kNodeBox)->findText("modal"), -1);
    // Choosing a node in the report's box still moves the view, after all that.
    QComboBox* nodes = box(report, inspect::kNodeBox);
    nodes->setCurrentIndex(nodes->findText("verb"));
    QCoreApplication::processEvents();
    EXPECT_EQ(currentName(), "verb");
    follows("chosen", entities - 1);
}

TEST_F(FrameDocumentsTest, SaveWritesTheFileTheNetworkWasReadFromAndNeverOverAFailedLoad) {
    // A network file in a "Databases" folder outside the working folder.
    const fs::path elsewhere =
        fs::temp_directory_path() / ("tarvo-elsewhere-" + std::to_string(::getpid())) / "Databases";
    fs::create_directories(elsewhere);
    const std::string tiny = (elsewhere / "tiny.dat").string();
    const std::string text = "#RELATIONS\n#ENTITIES\nleaf isa stem\n#PROPERTIES\n#FONTS\n";
    {
        std::FILE* out = std::fopen(tiny.c_str(), "w");
        ASSERT_NE(out, nullptr);
        std::fputs(text.c_str(), out);
        std::fclose(out);
    }
    const auto contents = [](const std::string& path) {
        std::FILE* in = std::fopen(path.c_str(), "r");
        std::string read;
        if (!in)
            return read;
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, in))
            read.append(buffer, n);
        std::fclose(in);
        return read;
    };

    // The chosen file is the one read, and Save writes it back there.
    chooseFile(tiny);
    ModalAnswer answer(frame->dialogs(), [](DialogBase& dialog) {
        dialog.control<QLineEdit>(20)->setText(QStringLiteral("leaf"));
        dialog.press(1);
    });
    EXPECT_EQ(frame->command(cmd::kSelectNetwork), 1);
    ASSERT_NE(frame->network().find("leaf", 0), nullptr) << "read from the chosen file";
    EXPECT_EQ(caption(), "Tarvo++ - tiny.dat");
    frame->command(cmd::kInsertChild);
    EXPECT_EQ(frame->command(cmd::kSave), 1);
    EXPECT_EQ(fileDialogs, 1) << "Save needs no name";
    EXPECT_NE(contents(tiny), text);
    EXPECT_NE(contents(tiny).find("leaf"), std::string::npos);
    EXPECT_FALSE(fs::exists("Databases/tiny.dat")) << "nothing written in the working folder";

    // A file that cannot be read leaves a network without a file: Save asks for one, and the
    // chosen name is never written with the empty network.
    const std::string missing = (elsewhere / "missing.dat").string();
    chooseFile(missing);
    ui.answers = {platform::Answer::No};
    frame->command(cmd::kSelectNetwork);
    EXPECT_TRUE(frame->fileChoice().path.empty());
    EXPECT_EQ(caption(), "Tarvo++ - (untitled)");
    chooseFile("");
    EXPECT_EQ(frame->command(cmd::kSave), 0) << "cancelling the asked name saves nothing";
    EXPECT_EQ(fileDialogs, 3);
    EXPECT_TRUE(lastDialogSaved);
    EXPECT_FALSE(fs::exists(missing));
    fs::remove_all(elsewhere.parent_path());
}

TEST_F(FrameDocumentsTest, SaveAsksForANameFirstAndReportsAFailedWrite) {
    chooseFile("Databases/saved.dat");
    EXPECT_EQ(frame->command(cmd::kSave), 1);
    EXPECT_EQ(fileDialogs, 1);
    EXPECT_TRUE(lastDialogSaved);
    EXPECT_TRUE(fs::exists("Databases/saved.dat"));
    EXPECT_EQ(caption(), "Tarvo++ - saved.dat");
    EXPECT_EQ(frame->command(cmd::kSave), 1);
    EXPECT_EQ(fileDialogs, 1) << "a second save keeps the name";

    chooseFile("");
    EXPECT_EQ(frame->command(cmd::kSaveAs), 0);
    chooseFile("missing/folder/x.dat");
    EXPECT_EQ(frame->command(cmd::kSaveAs), 0);
    ASSERT_FALSE(ui.texts.empty());
    EXPECT_EQ(ui.texts.back(), "Could not write file x.dat");
}

TEST_F(FrameDocumentsTest, ClosingAsksOnlyAfterAnEditAndCancelKeepsTheProgram) {
    ASSERT_EQ(open("noun", "script.dat"), 1);
    frame->command(cmd::kInsertChild);
    ASSERT_NE(changes(frame->network()).history, nullptr);
    ui.answers = {platform::Answer::Cancel};
    EXPECT_FALSE(frame->close());
    ASSERT_EQ(ui.texts.size(), 1u);
    EXPECT_EQ(ui.texts[0], "Save current changes in Databases/script.dat?");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->documents().size(), 1);

    ui.answers = {platform::Answer::No};
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(frame->documents().isEmpty());

    // Without history nothing is asked.
    ReleaseChanges(frame->network());
    ui.texts.clear();
    frame->show();
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(ui.texts.empty());
}

TEST_F(FrameDocumentsTest, CloseAllClosesEveryDocumentEvenAMinimisedOne) {
    for (const char* name : {"noun", "verb", "word"})
        ASSERT_EQ(open(name, name), 1);
    frame->documents().at(1)->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->command(cmd::kCloseAll), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->documents().isEmpty());
    EXPECT_EQ(frame->shownMenuBar(), MenuBarKind::Init);
}

TEST_F(FrameDocumentsTest, ClosingADocumentShowsTheNextOneAndEachViewShowsItsOwnRelation) {
    ASSERT_EQ(open("noun", "first"), 1);
    DocumentWindow* first = frame->activeDocument();
    QComboBox* relations = frame->toolBar()->list(kRelationList);
    relations->setCurrentIndex(relations->findText("subject"));
    ASSERT_GE(relations->currentIndex(), 0);
    frame->command(kRelationList);
    ASSERT_EQ(open("verb", "second"), 1);
    DocumentWindow* second = frame->activeDocument();
    EXPECT_EQ(relations->currentIndex(), -1) << "a new view has chosen no relation";
    frame->client()->setActiveSubWindow(first);
    EXPECT_EQ(relations->currentText(), "subject");
    frame->client()->setActiveSubWindow(second);
    EXPECT_EQ(relations->currentIndex(), -1);

    // Closing the active document brings up the other one under its own title.
    for (int closes : {cmd::kClose, 0}) {
        frame->client()->setActiveSubWindow(first);
        if (closes)
            EXPECT_EQ(frame->command(cmd::kClose), 1);
        else
            first->close();
        QCoreApplication::processEvents();
        ASSERT_EQ(frame->documents().size(), 1);
        EXPECT_EQ(frame->activeDocument(), second);
        EXPECT_EQ(caption(), "Tarvo++ - second");
        EXPECT_EQ(frame->shownMenuBar(), MenuBarKind::View);
        EXPECT_EQ(frame->toolBar()->buttonSet(), &frame->buttons().net);
        EXPECT_EQ(relations->currentIndex(), -1);
        if (closes) {
            ASSERT_EQ(open("word", "first"), 1);
            first = frame->activeDocument();
        }
    }
    // Close All leaves no title.
    ASSERT_EQ(open("word", "third"), 1);
    EXPECT_EQ(frame->command(cmd::kCloseAll), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->documents().isEmpty());
    EXPECT_EQ(caption(), "Tarvo++ - (untitled)");
}

TEST_F(FrameDocumentsTest, MenuAndToolBarStayInStepThroughInspectionAndEditing) {
    ASSERT_EQ(open("noun", "script.dat"), 1);
    const auto& items = frame->menuItems(MenuBarKind::View).items;
    // Every button of the set shown whose command has a menu item is greyed with it.
    auto expectInStep = [&](const char* when) {
        SCOPED_TRACE(when);
        const ButtonSet* set = frame->toolBar()->buttonSet();
        ASSERT_NE(set, nullptr);
        int greyed = 0;
        for (int i = 0; i < set->count; ++i) {
            const ButtonRecord& button = set->buttons[i];
            const auto item = items.find(button.command);
            if (item == items.end())
                continue;
            EXPECT_EQ(button.has(ButtonState::Disabled), !item->second->isEnabled())
                << button.label;
            greyed += item->second->isEnabled() ? 0 : 1;
        }
        EXPECT_GT(greyed, 0) << "nothing greyed: the comparison shows nothing";
    };
    expectInStep("opened");
    // F3 checks its item and presses its button at once, and again clears them.
    const QAction* inspect = items.at(cmd::kInspectLinks);
    for (const bool opened : {true, false}) {
        EXPECT_EQ(frame->command(cmd::kInspectLinks), 1);
        EXPECT_EQ(inspect->isChecked(), opened);
        EXPECT_EQ(FindButton(frame->buttons().net, cmd::kInspectLinks)->has(ButtonState::Pressed),
                  opened);
    }
    // The window's own close box clears them too.
    EXPECT_EQ(frame->command(cmd::kInspectLinks), 1);
    auto* links =
        qobject_cast<DialogBase*>(frame->inspectionWindows().openWindow(InspectionKind::Links));
    ASSERT_NE(links, nullptr);
    links->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->inspectionWindows().openWindow(InspectionKind::Links), nullptr);
    EXPECT_FALSE(inspect->isChecked());
    EXPECT_FALSE(FindButton(frame->buttons().net, cmd::kInspectLinks)->has(ButtonState::Pressed));
    EXPECT_EQ(frame->command(cmd::kText), 1);
    ASSERT_EQ(frame->toolBar()->buttonSet(), &frame->buttons().netEdit);
    expectInStep("editing a label");
    EXPECT_EQ(frame->command(cmd::kText), 1);
    ASSERT_EQ(frame->toolBar()->buttonSet(), &frame->buttons().net);
    expectInStep("after editing");
}

TEST_F(FrameDocumentsTest, SelectNetworkKeepsUnsavedWorkUnlessTheUserLetsItGo) {
    // Cancelled: one more window on the network already loaded.
    chooseFile("");
    {
        ModalAnswer answer(frame->dialogs(), [](DialogBase& dialog) { dialog.press(1); });
        EXPECT_EQ(frame->command(cmd::kSelectNetwork), 1);
    }
    EXPECT_EQ(frame->documents().size(), 1);

    // Outside the program's folders: refused by name, nothing opens.
    fs::create_directory("Elsewhere");
    fs::copy_file("Databases/script.dat", "Elsewhere/other.dat");
    chooseFile((fs::current_path() / "Elsewhere/other.dat").string());
    EXPECT_EQ(frame->command(cmd::kSelectNetwork), 0);
    EXPECT_EQ(ui.texts.back(), "Could not read file other.dat!");
    EXPECT_EQ(frame->documents().size(), 1);

    fs::copy_file("Databases/script.dat", "Databases/Other.dat");
    chooseFile((fs::current_path() / "Databases/Other.dat").string());
    frame->command(cmd::kInsertChild);
    const Network* edited = &frame->network();
    ui.answers = {platform::Answer::Cancel};
    EXPECT_EQ(frame->command(cmd::kSelectNetwork), 0);
    EXPECT_EQ(ui.texts.back(), "Save current changes in Databases/script.dat?");
    EXPECT_EQ(&frame->network(), edited) << "Cancel keeps the network and its changes";
    EXPECT_NE(changes(frame->network()).history, nullptr);
    EXPECT_EQ(frame->documents().size(), 1);

    ui.answers = {platform::Answer::No};
    {
        ModalAnswer answer(frame->dialogs(), [](DialogBase& dialog) {
            dialog.control<QLineEdit>(20)->setText("verb");
            dialog.press(1);
        });
        EXPECT_EQ(frame->command(cmd::kSelectNetwork), 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->networkPath(), "Databases/Other.dat") << "the letter case is kept";
    EXPECT_EQ(changes(frame->network()).history, nullptr);
    ASSERT_EQ(frame->documents().size(), 1) << "the old network's windows closed";
    EXPECT_EQ(frame->documents().at(0)->title(), "Other.dat");
    EXPECT_EQ(caption(), "Tarvo++ - Other.dat");
}

TEST_F(FrameDocumentsTest, WhereViewsOpenIsKeptInTheSettingsForTheNextRun) {
    ASSERT_EQ(open("noun", "script.dat"), 1);
    EXPECT_EQ(activeView().options.openAt, OpenAt::Readable);
    EXPECT_FALSE(settings.holds(kOpenAtKey)) << "opening a view writes nothing";
    frame->menuItems(MenuBarKind::View).items.at(cmd::kOpenReadable + 1)->trigger();
    EXPECT_EQ(settings.integer(kOpenAtKey, -1), ToInt(OpenAt::FitToWindow));
    ASSERT_EQ(open("verb", "script.dat"), 1);
    EXPECT_EQ(activeView().options.openAt, OpenAt::FitToWindow);

    restartFrame();
    EXPECT_EQ(frame->openViewsAt(), OpenAt::FitToWindow);
    ASSERT_EQ(open("noun", "script.dat"), 1);
    EXPECT_EQ(activeView().options.openAt, OpenAt::FitToWindow);
    const QMenu* viewMenu = frame->menuItems(MenuBarKind::View).popups.at(2);
    EXPECT_EQ(viewMenu->actions().at(9)->text(), "Open views &at:\tFit to window");
    EXPECT_TRUE(frame->menuItems(MenuBarKind::View).items.at(cmd::kOpenReadable + 1)->isChecked());
    EXPECT_EQ(frame->command(cmd::kOpenReadable), 1);
    EXPECT_EQ(settings.integer(kOpenAtKey, -1), ToInt(OpenAt::Readable));
}

TEST_F(FrameDocumentsTest, TheReadableLabelSizeIsAskedForKeptAndUsedByTheViewsOpenedAfter) {
    ASSERT_EQ(open("noun", "first"), 1);
    NetView& first = activeView();
    EXPECT_EQ(first.options.readablePoints, kReadablePoints);
    ASSERT_LT(first.fonts.labelPoints, 16) << "the size chosen below must make a difference";
    const float firstSlot = first.geometry.slotExtent;

    // Cancel, and text that is no number, change nothing; the latter says what is wanted.
    EXPECT_EQ(chooseReadableSize(nullptr),
              std::pair(QString("Readable label size in points (8 to 36):"), QString("10")));
    EXPECT_EQ(chooseReadableSize("big").second, "10");
    ASSERT_FALSE(ui.texts.empty());
    EXPECT_EQ(ui.texts.back(), "The readable label size is a whole number of points from 8 to 36.");
    EXPECT_FALSE(settings.holds(kReadablePointsKey));
    EXPECT_EQ(first.geometry.slotExtent, firstSlot);

    // The size is kept; the active view, which opens readable, opens again at it.
    chooseReadableSize("16");
    EXPECT_EQ(frame->readablePoints(), 16);
    EXPECT_EQ(settings.integer(kReadablePointsKey, 0), 16);
    EXPECT_EQ(first.options.readablePoints, 16);
    EXPECT_GE(first.fonts.labelPoints, 16);
    EXPECT_GT(first.geometry.slotExtent, firstSlot);
    const float firstAtSixteen = first.geometry.slotExtent;

    // A new view opens with it; set to fit the window, it keeps its scale when the size
    // changes, and so does the view that is not active.
    ASSERT_EQ(open("verb", "second"), 1);
    NetView& second = activeView();
    EXPECT_EQ(second.options.readablePoints, 16);
    EXPECT_GE(second.fonts.labelPoints, 16);
    EXPECT_EQ(frame->command(cmd::kOpenReadable + 1), 1);
    const float secondSlot = second.geometry.slotExtent;
    EXPECT_EQ(chooseReadableSize("99").second, "16");
    EXPECT_EQ(frame->readablePoints(), kMostReadablePoints) << "too large a size gives the most";
    EXPECT_EQ(second.geometry.slotExtent, secondSlot);
    EXPECT_EQ(first.geometry.slotExtent, firstAtSixteen);
    EXPECT_EQ(first.options.readablePoints, 16);

    restartFrame();
    EXPECT_EQ(frame->readablePoints(), kMostReadablePoints);
    ASSERT_EQ(open("noun", "third"), 1);
    EXPECT_EQ(activeView().options.readablePoints, kMostReadablePoints);
    EXPECT_EQ(activeView().options.openAt, OpenAt::FitToWindow);
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

TEST_F(FrameDocumentsTest, ACancelledReadLeavesTheOpenNetworkAndItsWindowsAsTheyWere) {
    ASSERT_EQ(open("noun", "first"), 1);
    Network* const before = &frame->network();
    const std::string pathBefore = frame->networkPath();
    const QString captionBefore = caption();
    fs::copy_file("Databases/script.dat", "Databases/other.dat");
    const std::string other = (fs::current_path() / "Databases/other.dat").string();
    chooseFile(other);
    int told = 0;
    frame->setReadProgressMaker([&told](QWidget*) {
        return [&told](long long, long long) {
            ++told;
            return false;
        };
    });
    EXPECT_EQ(frame->command(cmd::kSelectNetwork), 0);
    QCoreApplication::processEvents();
    EXPECT_GT(told, 0);
    EXPECT_EQ(&frame->network(), before);
    EXPECT_NE(frame->network().find("noun", 0), nullptr);
    EXPECT_EQ(frame->documents().size(), 1);
    EXPECT_EQ(activeView().network, before);
    EXPECT_EQ(frame->networkPath(), pathBefore);
    EXPECT_EQ(caption(), captionBefore);
    EXPECT_TRUE(ui.texts.empty()) << "nothing asked or told";

    // Read through, the chosen file replaces the network.
    frame->setReadProgressMaker([](QWidget*) { return [](long long, long long) { return true; }; });
    {
        ModalAnswer answer(frame->dialogs(), [](DialogBase& dialog) { dialog.press(2); });
        frame->command(cmd::kSelectNetwork);
    }
    QCoreApplication::processEvents();
    EXPECT_NE(frame->networkPath(), pathBefore);
    EXPECT_NE(frame->network().find("noun", 0), nullptr);
    EXPECT_TRUE(frame->documents().empty());
}

} // namespace
} // namespace tarvo
