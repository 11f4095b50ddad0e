// Views opened on small networks written as network files, in a window that is not there:
// the host keeps what the view asks of it and the menus keep their captions and checks.
#pragma once

#include "edit/changes.h"
#include "labels/colours.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/off_window_host.h"
#include "support/network_text.h"
#include "view/net_view.h"
#include "view/view_menus.h"
#include "view/view_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace testing_support {

class RecordingMenus : public tarvo::ViewMenus {
public:
    void setPopupCaption(int menu, int item, const char* caption) override {
        captions[{menu, item}] = caption;
    }
    void checkItem(int id, bool checked) override { checks[id] = checked; }
    void enableItem(int id, bool enabled) override { enables[id] = enabled; }
    void showGroupValue(int group, int value) override { groups[group] = value; }
    void setSizeCaption(const char*) override {}
    void closeNodeListDropDown() override {}
    void repaintNodeList() override {}
    tarvo::ViewNode* nodeListSelection() const override { return listSelection; }
    void selectInNodeList(tarvo::ViewNode* node) override {
        listSelection = node;
        ++listSelections;
    }
    void showRelationChoice(tarvo::Node* relation, bool enabled) override {
        relationChoice = relation;
        relationChoiceEnabled = enabled;
        ++relationChoices;
    }
    tarvo::Node* relationListSelection() const override { return relationSelection; }

    std::map<std::pair<int, int>, std::string> captions;
    std::map<int, bool> checks;
    std::map<int, bool> enables;
    std::map<int, int> groups;
    // The node list's selection, and how often the view selected there.
    tarvo::ViewNode* listSelection = nullptr;
    int listSelections = 0;
    // What the tool bar's second list last showed, and how often it changed.
    tarvo::Node* relationChoice = nullptr;
    bool relationChoiceEnabled = true;
    int relationChoices = 0;
    // The relation the second list has selected.
    tarvo::Node* relationSelection = nullptr;
};

class ViewFixture : public ::testing::Test {
protected:
    using DisplayMaker = platform::OffWindowHost::DisplayMaker;

    virtual DisplayMaker measuring() = 0;
    virtual platform::RegionMaker& regions() = 0;

    // The views go before their network, and the network with its edits.
    void TearDown() override {
        close();
        net.reset();
    }
    void load(const std::string& text) {
        close();
        net = ReadNetworkText(text);
    }
    tarvo::Network& network() { return *net; }
    tarvo::Node* findNode(const char* name, int relationKind) {
        return net->find(name, relationKind);
    }
    // A view on the named entity in a window of the given client size, after the scale to the
    // window that creation leaves posted.
    tarvo::NetView& open(const char* name, int width = 800, int height = 600,
                         bool runPosted = true) {
        close();
        host = std::make_unique<platform::OffWindowHost>(platform::Size{width, height}, measuring(),
                                                         regions());
        view = std::make_unique<tarvo::NetView>();
        view->colours = &palette;
        tarvo::Node* node = findNode(name, 0);
        EXPECT_NE(node, nullptr) << name;
        tarvo::ViewStartup startup;
        startup.title = name;
        startup.openAt = openViewsAt;
        EXPECT_EQ(tarvo::CreateView(*view, *net, node, host.get(), &menus, startup), 1);
        if (runPosted)
            host->runPosted();
        return *view;
    }
    void close() {
        if (view)
            tarvo::DestroyView(*view);
        view.reset();
        host.reset();
    }

    // The network of the test, read by load(); an empty one until then.
    std::unique_ptr<tarvo::Network> net = std::make_unique<tarvo::Network>();
    // The colours the views are drawn in, as before start-up unless a test sets them.
    tarvo::ColourState palette;
    RecordingMenus menus;
    // Where the views of the test open: at readable size, as in the program, or fitted to the
    // window.
    tarvo::OpenAt openViewsAt = tarvo::OpenAt::Readable;
    std::unique_ptr<platform::OffWindowHost> host;
    std::unique_ptr<tarvo::NetView> view;
};

inline const char* const kGrammar = R"(#RELATIONS
subject isa dependent
#ENTITIES
noun isa word
verb isa word
auxiliary isa verb
modal isa auxiliary
modal isa word
#PROPERTIES
verb subject noun
#FONTS
)";

} // namespace testing_support
