// The frame with real document windows on the shipped network, in a scratch copy of the working
// folder: menus and caption following the active document, the file commands, the save
// question, Close All and the routing of commands.
#include "shell/main_frame.h"

#include "dialogs/error_report.h"
#include "dialogs/modal_answer.h"
#include "dialogs/node_windows.h"
#include "dialogs/partition_choice.h"
#include "labels/label_text.h"
#include "model/network.h"
#include "model/view_node.h"
#include "shell/button_sets.h"
#include "shell/changes.h"
#include "shell/commands.h"
#include "shell/document_window.h"
#include "shell/net_view_widget.h"
#include "shell/startup.h"
#include "shell/tool_bar.h"
#include "support/network_text.h"
#include "view/net_view.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
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
class AnsweringUi : public platform::Ui {
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

class FrameDocumentsTest : public testing_support::DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        m_previousUi = platform::setUi(&ui);
        m_home = fs::current_path();
        m_work = fs::temp_directory_path() / ("tarvo-frame-" + std::to_string(::getpid()));
        fs::remove_all(m_work);
        fs::copy(TARVO_DATA_DIR, m_work, fs::copy_options::recursive);
        fs::current_path(m_work);
        ASSERT_TRUE(StartProgram());
        frame = std::make_unique<MainFrame>();
        frame->setNetworkPath("Databases/script.dat");
        frame->loadNetwork();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override {
        frame.reset();
        fileDialogRunner() = RunFileDialog;
        partitionChoices() = PartitionChoices{};
        ShutDownProgram();
        fs::current_path(m_home);
        fs::remove_all(m_work);
        platform::setUi(m_previousUi);
        errorState() = ErrorState{};
        DialogFixture::TearDown();
    }

    // Opens a document on the node typed into the partition dialog; "" cancels it.
    int open(const char* typed, const std::string& title) {
        ModalAnswer answer([typed](DialogBase& dialog) {
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
    QString caption() const { return frame->windowTitle(); }
    QStringList menuTitles() const {
        QStringList titles;
        for (const QAction* a : frame->menuBar()->actions())
            titles << a->text();
        return titles;
    }
    // Answers the file dialogs with `path` (empty: cancel), counting the runs.
    void chooseFile(const std::string& path) {
        fileDialogRunner() = [this, path](QWidget*, bool save, FileChoice& choice) {
            ++fileDialogs;
            lastDialogSaved = save;
            if (path.empty())
                return false;
            choice.path = path;
            choice.title = fs::path(path).filename().string();
            return true;
        };
    }

    AnsweringUi ui;
    std::unique_ptr<MainFrame> frame;
    int fileDialogs = 0;
    bool lastDialogSaved = false;

private:
    platform::Ui* m_previousUi = nullptr;
    fs::path m_home;
    fs::path m_work;
};

TEST_F(FrameDocumentsTest, MenuBarCaptionAndToolBarFollowTheActiveDocument) {
    EXPECT_EQ(menuTitles(), (QStringList{"&Net", "&Help"}));
    EXPECT_EQ(open("", "none"), 0) << "cancelling the partition dialog opens nothing";
    EXPECT_TRUE(frame->documents().isEmpty());
    EXPECT_EQ(frame->toolBar()->buttonSet(), nullptr);

    ASSERT_EQ(open("noun", "first"), 1);
    ASSERT_EQ(open("verb", "second"), 1);
    EXPECT_EQ(menuTitles(), (QStringList{"&Net", "&Edit", "&View", "&Window", "&Help"}));
    EXPECT_EQ(caption(), "Tarvo++ - second");
    EXPECT_EQ(frame->toolBar()->buttonSet(), &buttonDefinitions().net);
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
    const ButtonSet& net = buttonDefinitions().net;
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
    EXPECT_EQ(frame->toolBar()->buttonSet(), &buttonDefinitions().netEdit);
    QComboBox* fonts = frame->toolBar()->list(kFontList);
    EXPECT_TRUE(fonts->isVisibleTo(frame->toolBar()));
    ASSERT_GT(fonts->count(), 1);
    fonts->setCurrentIndex(1);
    EXPECT_EQ(frame->fontListSelection(), fonts->itemData(1).toInt());
    EXPECT_EQ(frame->command(cmd::kText), 1);
    EXPECT_EQ(frame->toolBar()->buttonSet(), &buttonDefinitions().net);
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
    EXPECT_NE(currentNetwork(), nullptr) << "closing the last document leaves the network";
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

    // F4 and F3 open the inspection windows beside the view, one at a time; F4 again closes.
    QTest::keyClick(viewWindow, Qt::Key_F4);
    ASSERT_NE(OpenInspectionWindow(), nullptr);
    EXPECT_EQ(OpenInspectionWindow()->windowTitle(), "Inheritance Dialog");
    QTest::keyClick(viewWindow, Qt::Key_F3);
    ASSERT_NE(OpenInspectionWindow(), nullptr);
    EXPECT_EQ(OpenInspectionWindow()->windowTitle(), "Inspect links");
    QTest::keyClick(viewWindow, Qt::Key_F3);
    EXPECT_EQ(OpenInspectionWindow(), nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    viewWindow->setFocus();

    // Ctrl+Z undoes through the accelerator table; the insert was the view's own key.
    const int before = ::testing_support::NetworkNodeCount();
    QTest::keyClick(frame->activeDocument()->viewWidget(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(::testing_support::NetworkNodeCount(), before + 1);
    QTest::keyClick(frame->activeDocument()->viewWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(::testing_support::NetworkNodeCount(), before);
    EXPECT_EQ(routed.last().at(0).toInt(), cmd::kUndo);
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
    ASSERT_NE(changes().history, nullptr);
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
    ReleaseChanges();
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
        EXPECT_EQ(frame->toolBar()->buttonSet(), &buttonDefinitions().net);
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
        EXPECT_EQ(
            FindButton(buttonDefinitions().net, cmd::kInspectLinks)->has(ButtonState::Pressed),
            opened);
    }
    EXPECT_EQ(frame->command(cmd::kText), 1);
    ASSERT_EQ(frame->toolBar()->buttonSet(), &buttonDefinitions().netEdit);
    expectInStep("editing a label");
    EXPECT_EQ(frame->command(cmd::kText), 1);
    ASSERT_EQ(frame->toolBar()->buttonSet(), &buttonDefinitions().net);
    expectInStep("after editing");
}

TEST_F(FrameDocumentsTest, SelectNetworkKeepsUnsavedWorkUnlessTheUserLetsItGo) {
    // Cancelled: one more window on the network already loaded.
    chooseFile("");
    {
        ModalAnswer answer([](DialogBase& dialog) { dialog.press(1); });
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
    NodeTable* edited = currentNetwork();
    ui.answers = {platform::Answer::Cancel};
    EXPECT_EQ(frame->command(cmd::kSelectNetwork), 0);
    EXPECT_EQ(ui.texts.back(), "Save current changes in Databases/script.dat?");
    EXPECT_EQ(currentNetwork(), edited) << "Cancel keeps the network and its changes";
    EXPECT_NE(changes().history, nullptr);
    EXPECT_EQ(frame->documents().size(), 1);

    ui.answers = {platform::Answer::No};
    {
        ModalAnswer answer([](DialogBase& dialog) {
            dialog.control<QLineEdit>(20)->setText("verb");
            dialog.press(1);
        });
        EXPECT_EQ(frame->command(cmd::kSelectNetwork), 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->networkPath(), "Databases/Other.dat") << "the letter case is kept";
    EXPECT_EQ(changes().history, nullptr);
    ASSERT_EQ(frame->documents().size(), 1) << "the old network's windows closed";
    EXPECT_EQ(frame->documents().at(0)->title(), "Other.dat");
    EXPECT_EQ(caption(), "Tarvo++ - Other.dat");
}

} // namespace
} // namespace tarvo
