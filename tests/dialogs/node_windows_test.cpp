// The inheritance report and link inspection windows on views of small networks and of the
// shipped sample: their lists, the debug log, moving links, widening, cycles and placement.
#include "dialogs/node_windows.h"

#include "containers/node_list.h"
#include "diagnostics/error_report.h"
#include "dialogs/dialog_base.h"
#include "inheritance/inheritance_report.h"
#include "inheritance/inheritance_searches.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "view/node_windows_content.h"
#include "view/spotlight.h"

#include "support/null_display.h"
#include "support/recording_ui.h"
#include "support/view_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>

#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

constexpr const char* kVerbs = R"(#RELATIONS
subject isa dependent
#ENTITIES
noun isa word
verb isa word
aux isa verb
main isa verb
#PROPERTIES
verb subject noun
aux subject pronoun
#FONTS
)";

std::string logText() {
    std::ifstream in(DebugLogPath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class InspectionDialogsTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    void TearDown() override {
        windows.closeAll();
        ViewFixture::TearDown();
    }

    DialogBase* window(InspectionKind kind) {
        QCoreApplication::processEvents();
        return qobject_cast<DialogBase*>(windows.openWindow(kind));
    }
    // The one window a test opened.
    DialogBase* window() {
        DialogBase* links = window(InspectionKind::Links);
        return links ? links : window(InspectionKind::Report);
    }
    QListWidget* list(int id) { return window()->control<QListWidget>(id); }
    Node* itemNode(int id, int row) {
        return asNode(
            reinterpret_cast<NodeBase*>(list(id)->item(row)->data(Qt::UserRole).value<quintptr>()));
    }
    bool enabled(int id) { return window()->control<QAbstractButton>(id)->isEnabled(); }

    DialogSet dialogs;
    testing_support::RecordingUi presenter;
    ErrorReport errors{presenter};
    InspectionWindows windows{dialogs, errors};

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(InspectionDialogsTest,
       ANodeWithoutPropertiesOrParentsShowsFourEmptyListsAndTheBoxMovesTheView) {
    load(kVerbs);
    open("word");
    windows.toggleInheritanceReport(*view);
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->windowTitle(), "Inheritance Dialog");
    for (const int id : {inspect::kStipulatedNodes, inspect::kStipulatedVia,
                         inspect::kInheritedNodes, inspect::kInheritedVia})
        EXPECT_EQ(list(id)->count(), 0) << id;
    auto* box = window()->control<QComboBox>(inspect::kNodeBox);
    ASSERT_EQ(box->count(), 6);
    EXPECT_EQ(box->itemText(0), "aux");
    EXPECT_EQ(box->currentText(), "word");

    box->setCurrentIndex(box->findText("verb"));
    EXPECT_EQ(view->current->source, findNode("verb", 0)) << "the view moves to the chosen node";
    ASSERT_EQ(list(inspect::kStipulatedNodes)->count(), 1);
    EXPECT_EQ(itemNode(inspect::kStipulatedNodes, 0), findNode("noun", 0));
    windows.toggleInheritanceReport(*view);
    EXPECT_EQ(window(), nullptr);
}

TEST_F(InspectionDialogsTest, WithTheLogOffOnlyTheInheritedPropertiesWriteToIt) {
    load(kVerbs);
    open("aux");
    const bool before = DebugLogOn;
    DebugLogOn = false;
    // What the searches write by themselves.
    RestartDebugLog("");
    InheritanceReport report;
    RunInheritanceReport(findNode("aux", 0), report);
    DisposeInheritanceReport(report);
    const std::string searches = logText();
    RestartDebugLog("");
    windows.toggleInheritanceReport(*view);
    ASSERT_NE(window(), nullptr);
    DebugLogOn = before;
    EXPECT_NE(searches.find("Parent nodes of current relation"), std::string::npos);
    EXPECT_EQ(logText(), searches);
    EXPECT_EQ(list(inspect::kInheritedNodes)->count(), 1);
    EXPECT_EQ(itemNode(inspect::kStipulatedNodes, 0), findNode("pronoun", 0));
}

TEST_F(InspectionDialogsTest, TheReportsListsReachTheLogAmongItsLinesNotAfterThem) {
    load(kVerbs);
    open("aux");
    const bool before = DebugLogOn;
    DebugLogOn = true;
    RestartDebugLog("");
    windows.toggleInheritanceReport(*view);
    ASSERT_NE(window(), nullptr);
    DebugLogOn = before;
    const std::string log = logText();
    const std::size_t related = log.find("pronoun##");
    const std::size_t node = log.find("\nNode: aux\n");
    const std::size_t overrides = log.find("Overrides:\n");
    ASSERT_NE(related, std::string::npos) << log;
    ASSERT_NE(node, std::string::npos) << log;
    ASSERT_NE(overrides, std::string::npos) << log;
    EXPECT_LT(related, node) << "the stipulated nodes come before the node's heading\n" << log;
    EXPECT_LT(node, overrides);
}

TEST_F(InspectionDialogsTest, MoveButtonsFollowTheSelectionAndReorderTheNetworkAndTheView) {
    load(kVerbs);
    open("verb");
    windows.toggleLinkWindow(*view);
    ASSERT_TRUE(windows.linkWindowOpen(*view));
    EXPECT_EQ(window()->windowTitle(), "Inspect links");
    QListWidget* children = list(inspect::kToList);
    ASSERT_EQ(children->count(), 2);
    EXPECT_FALSE(enabled(inspect::kMoveUp) || enabled(inspect::kMoveDown)) << "no selection";
    children->setCurrentRow(1);
    EXPECT_TRUE(enabled(inspect::kMoveUp));
    EXPECT_FALSE(enabled(inspect::kMoveDown)) << "the last link";

    ASSERT_TRUE(window()->press(inspect::kMoveUp));
    Node* main = findNode("main", 0);
    EXPECT_EQ(findNode("verb", 0)->first(ChildSlot), main);
    EXPECT_EQ(asViewNode(ThroughDummies(view->current->first(ChildSlot), ChildSlot))->source, main);
    EXPECT_EQ(itemNode(inspect::kToList, 0), main);
    EXPECT_EQ(list(inspect::kToList)->currentRow(), 0) << "the moved link stays selected";
    EXPECT_FALSE(enabled(inspect::kMoveUp));
}

TEST_F(InspectionDialogsTest, ARelationChosenInTheToolBarTurnsTheLinkWindowToIt) {
    load(kVerbs);
    open("verb");
    windows.toggleLinkWindow(*view);
    ASSERT_TRUE(windows.linkWindowOpen(*view));
    auto* box = window()->control<QComboBox>(inspect::kRelationBox);
    EXPECT_EQ(box->currentText(), "isa");
    auto* fromLabel = window()->findChild<QLabel*>(QStringLiteral("fromLabel"));
    ASSERT_NE(fromLabel, nullptr);
    EXPECT_EQ(fromLabel->text(), "Parents");

    view->selectedRelation = findNode("subject", 1);
    ASSERT_NE(view->selectedRelation, nullptr);
    windows.relationChosen(*view);
    EXPECT_EQ(box->currentText(), "subject");
    EXPECT_EQ(fromLabel->text(), "&From");
    // No choice leaves the window as it is.
    view->selectedRelation = nullptr;
    windows.relationChosen(*view);
    EXPECT_EQ(box->currentText(), "subject");
}

TEST_F(InspectionDialogsTest, TheNextLinkWindowShowsTheScopeTheLastOneChose) {
    load(kVerbs);
    open("aux");
    const auto parents = [this] {
        std::vector<Node*> nodes;
        nodes.reserve(static_cast<std::size_t>(list(inspect::kFromList)->count()));
        for (int row = 0; row < list(inspect::kFromList)->count(); ++row)
            nodes.push_back(itemNode(inspect::kFromList, row));
        return nodes;
    };
    const std::vector<Node*> own{findNode("verb", 0)};
    const std::vector<Node*> legal{findNode("verb", 0), findNode("word", 0)};
    const auto checked = [this](ConnectionScope scope) {
        return window()->control<QAbstractButton>(inspect::kFirstScope + ToInt(scope))->isChecked();
    };
    windows.toggleLinkWindow(*view);
    ASSERT_TRUE(windows.linkWindowOpen(*view));
    EXPECT_TRUE(checked(ConnectionScope::Actual));
    EXPECT_EQ(parents(), own);
    ASSERT_TRUE(window()->press(inspect::kFirstScope + ToInt(ConnectionScope::Legal)));
    EXPECT_EQ(parents(), legal);

    windows.toggleLinkWindow(*view);
    ASSERT_FALSE(windows.linkWindowOpen(*view));
    windows.toggleLinkWindow(*view);
    ASSERT_TRUE(windows.linkWindowOpen(*view));
    EXPECT_TRUE(checked(ConnectionScope::Legal));
    EXPECT_EQ(parents(), legal);

    windows.toggleLinkWindow(*view);
    windows.forgetPlaces();
    windows.toggleLinkWindow(*view);
    EXPECT_TRUE(checked(ConnectionScope::Actual)) << "forgotten with the places";
    EXPECT_EQ(parents(), own);
}

TEST_F(InspectionDialogsTest, TheExtensionWidensAndShowsRelatedNodesAndTheInheritancePath) {
    load(kVerbs);
    open("aux");
    windows.toggleLinkWindow(*view);
    const int narrow = window()->width();
    ASSERT_TRUE(window()->press(inspect::kExtend));
    EXPECT_GT(window()->width(), narrow * 18 / 10);
    ASSERT_EQ(list(inspect::kRelatedList)->count(), 1);
    EXPECT_EQ(itemNode(inspect::kRelatedList, 0), findNode("pronoun", 0));
    ASSERT_EQ(list(inspect::kPathList)->count(), 2);
    EXPECT_EQ(itemNode(inspect::kPathList, 1), findNode("word", 0));
}

TEST_F(InspectionDialogsTest, AReportOnACycleEndsAndBothWindowsStandSideBySideKeepingTheirPlaces) {
    load("#ENTITIES\na isa b\nb isa c\nc isa a\n#PROPERTIES\nb r x\nc r y\n#FONTS\n");
    open("a");
    windows.toggleInheritanceReport(*view);
    DialogBase* report = window(InspectionKind::Report);
    ASSERT_NE(report, nullptr);
    EXPECT_GT(list(inspect::kInheritedNodes)->count(), 0);

    report->move(report->pos() + QPoint(40, 30));
    report->resize(report->width(), report->height() + 90);
    const QPoint reportPlace = report->pos();
    const int reportHeight = report->height();
    windows.toggleLinkWindow(*view);
    EXPECT_TRUE(windows.linkWindowOpen(*view));
    EXPECT_EQ(window(InspectionKind::Report), report) << "the report stays beside the links";
    DialogBase* links = window(InspectionKind::Links);
    ASSERT_NE(links, nullptr);
    EXPECT_FALSE(links->frameGeometry().intersects(report->frameGeometry()))
        << "the link window stands beside the report, not over it";
    links->resize(links->width(), links->height() + 50);
    const QPoint linkPlace = links->pos();
    const int linkHeight = links->height();

    // Each kind closes and opens on its own, where it stood and as tall as it was.
    windows.toggleInheritanceReport(*view);
    EXPECT_EQ(window(InspectionKind::Report), nullptr);
    EXPECT_EQ(window(InspectionKind::Links), links);
    windows.toggleInheritanceReport(*view);
    report = window(InspectionKind::Report);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->pos(), reportPlace);
    EXPECT_EQ(report->height(), reportHeight);
    windows.toggleLinkWindow(*view);
    windows.toggleLinkWindow(*view);
    links = window(InspectionKind::Links);
    ASSERT_NE(links, nullptr);
    EXPECT_EQ(links->pos(), linkPlace);
    EXPECT_EQ(links->height(), linkHeight);
    windows.viewClosing(*view);
    EXPECT_EQ(window(InspectionKind::Report), nullptr);
    EXPECT_EQ(window(InspectionKind::Links), nullptr);
}

TEST_F(InspectionDialogsTest, TheNodeBoxAndTheListsShowPhoneticNamesAsIpa) {
    load("#RELATIONS\nsound isa dependent\n#ENTITIES\n<phon>Sip<\\phon> isa \"caf\xe9\"\n"
         "\"caf\xe9\" isa word\n#PROPERTIES\n\"caf\xe9\" sound <phon>Sip<\\phon>\n#FONTS\n");
    open("caf\xe9");
    windows.toggleInheritanceReport(*view);
    ASSERT_NE(window(), nullptr);
    auto* box = window()->control<QComboBox>(inspect::kNodeBox);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    // In the order of the labels' bytes, each shown as the user reads it.
    EXPECT_EQ(items,
              (QStringList{QString::fromUtf8("caf\u00e9"), QString::fromUtf8("\u0283ip"), "word"}));
    EXPECT_EQ(box->currentText(), QString::fromUtf8("caf\u00e9"));
    QListWidget* stipulated = list(inspect::kStipulatedNodes);
    ASSERT_EQ(stipulated->count(), 1);
    EXPECT_EQ(stipulated->item(0)->text(), QString::fromUtf8("\u0283"))
        << "type-ahead goes by the first character as shown";
}

TEST_F(InspectionDialogsTest, TheSampleNetworksOverriddenPropertyIsDrawnRed) {
    std::ifstream in(TARVO_DATA_DIR "/Databases/script.dat");
    std::stringstream text;
    text << in.rdbuf();
    load(text.str());
    open("modal");
    windows.toggleInheritanceReport(*view);
    QListWidget* inherited = list(inspect::kInheritedNodes);
    const Node* overridden = findNode("non-finite verb", 0);
    ASSERT_NE(overridden, nullptr);
    int row = -1;
    for (int i = 0; i < inherited->count(); ++i)
        if (itemNode(inspect::kInheritedNodes, i) == overridden)
            row = i;
    ASSERT_GE(row, 0);
    EXPECT_TRUE(overridden->hasFlag(OverriddenMark));
    inherited->setCurrentRow(-1);
    const QImage picture = inherited->viewport()->grab().toImage();
    const auto redIn = [&](int r) {
        const QRect item = inherited->visualItemRect(inherited->item(r));
        for (int y = item.top(); y <= item.bottom(); ++y)
            for (int x = item.left(); x <= item.right(); ++x)
                if (picture.pixelColor(x, y) == QColor(255, 0, 0))
                    return true;
        return false;
    };
    EXPECT_TRUE(redIn(row));
    EXPECT_FALSE(redIn(row == 0 ? 1 : 0)) << "a value not overridden";
}

} // namespace
} // namespace tarvo
