// Views laid out in slices on their window's timer: the picture they end with is the one a
// layout in one go gives, and whatever meets an unfinished layout (edits in other windows,
// undo, new requests, closing) is safe.
#include "view/layout_slices.h"

#include "containers/node_list.h"
#include "edit/changes.h"
#include "layout/layout_grid.h"
#include "layout/layout_improvement.h"
#include "layout/view_flags.h"
#include "model/network.h"
#include "platform/keys.h"
#include "platform/off_window_host.h"
#include "tools/network_generator.h"
#include "view/commands.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/view_changes.h"
#include "view/view_commands.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_window.h"

#include "support/network_text.h"
#include "support/null_display.h"
#include "support/view_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

int collectCell(void* context, ViewNode* node, int row, int column) {
    std::ostringstream& out = *static_cast<std::ostringstream*>(context);
    out << (node->hasFlag(NodeFlags::DummyNode) ? "~" : node->name) << '@' << row << ',' << column
        << ' ';
    return 0;
}

// What a layout leaves: every cell, the energy and the clusters.
std::string pictureOf(const NetView& view) {
    std::ostringstream out;
    ForEachCell(view.layout.grid, &collectCell, &out);
    out << "| energy " << view.layout.energy << " clusters " << view.layout.clusterCount;
    return out.str();
}

class LayoutSlicesTest : public ::testing::Test {
protected:
    struct Window {
        std::unique_ptr<platform::OffWindowHost> host;
        std::unique_ptr<NetView> view;
    };

    // The windows go before their network.
    void TearDown() override {
        while (!windows.empty())
            close(*windows.back().view);
        net.reset();
    }

    void loadGenerated(std::uint32_t seed, int entities) {
        tools::GeneratorOptions options;
        options.seed = seed;
        options.entities = entities;
        options.relations = 6;
        options.properties = 30;
        options.formatted = false;
        net = testing_support::ReadNetworkText(tools::GenerateNetwork(options));
        NodeList* all = net->nodesOfKind(0);
        ASSERT_NE(all, nullptr);
        start = asNode(all->nodeAt(all->size() / 2))->name;
        all->destroy();
    }

    // A view on the start node; `sliced` lays out in slices of one step each, whatever its
    // size, the long steps `pieceNodes` nodes at a time. A sliced view opens in slices too:
    // unless `unfinished`, its opening is driven to its end.
    NetView& open(bool sliced, int spotlightDepth = 0, bool unfinished = false) {
        Window window;
        window.host = std::make_unique<platform::OffWindowHost>(
            platform::Size{800, 600},
            [] { return std::make_unique<testing_support::NullDisplay>(); }, regions);
        window.view = std::make_unique<NetView>();
        window.view->slicing = {sliced ? 1 : 0, 0, pieceNodes};
        ViewStartup startup;
        startup.spotlightDepth = spotlightDepth;
        EXPECT_EQ(CreateView(*window.view, *net, net->find(start.c_str(), 0), window.host.get(),
                             &menus, startup),
                  1);
        windows.push_back(std::move(window));
        NetView& view = *windows.back().view;
        if (!unfinished)
            finishOpening(view);
        return view;
    }
    // Drives an opening to its end and runs what it left for the window's next turn.
    void finishOpening(NetView& view) {
        drive(view);
        hostOf(view).runPosted();
    }
    void close(NetView& view) {
        for (auto at = windows.begin(); at != windows.end(); ++at) {
            if (at->view.get() == &view) {
                DestroyView(view);
                windows.erase(at);
                return;
            }
        }
    }
    platform::OffWindowHost& hostOf(const NetView& view) {
        return *static_cast<platform::OffWindowHost*>(view.host);
    }
    bool ticking(const NetView& view) {
        return hostOf(view).timers.contains(platform::kLayoutTimer);
    }
    // Turns of the window's timer until the layout ends or `most` turns ran; how many ran.
    int drive(NetView& view, int most = 1000000) {
        int turns = 0;
        while (turns < most && ticking(view)) {
            hostOf(view).tick(platform::kLayoutTimer);
            ++turns;
        }
        return turns;
    }
    // What a paint of the view draws of its labels.
    std::size_t labelsPainted(NetView& view) {
        testing_support::NullDisplay display;
        std::vector<DrawnLabel> drawn;
        Paint(view, display, &drawn);
        return drawn.size();
    }

    std::unique_ptr<Network> net = std::make_unique<Network>();
    std::string start;
    // Small pieces, so that the turns stop in the middle of every long step.
    std::int32_t pieceNodes = 5;
    testing_support::NullDisplay regions;
    testing_support::RecordingMenus menus;
    std::vector<Window> windows;
};

// The layout requests a user makes of a view, each as one call.
struct Request {
    const char* name;
    std::function<void(NetView&)> make;
};

const Request kRequests[] = {
    {"justification", [](NetView& v) { SetJustification(v, Justification::Last); }},
    {"orientation", [](NetView& v) { SetOrientation(v, Orientation::LeftToRight); }},
    {"untangle", [](NetView& v) { ViewCommand(v, cmd::kUntangle); }},
    {"reveal", [](NetView& v) { RevealNetwork(v); }},
};

TEST_F(LayoutSlicesTest, SlicedLayoutsEndAsLayoutsInOneGo) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        loadGenerated(seed, 90 + 20 * static_cast<int>(seed));
        for (const Request& request : kRequests) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << request.name);
            NetView& whole = open(false, 3);
            NetView& sliced = open(true, 3);
            EXPECT_EQ(pictureOf(sliced), pictureOf(whole));

            request.make(whole);
            request.make(sliced);
            EXPECT_FALSE(LayoutUnfinished(whole));
            ASSERT_TRUE(LayoutUnfinished(sliced));
            EXPECT_EQ(labelsPainted(sliced), 0u);
            EXPECT_GT(drive(sliced), 1);
            EXPECT_FALSE(LayoutUnfinished(sliced));
            EXPECT_EQ(pictureOf(sliced), pictureOf(whole));
            EXPECT_EQ(labelsPainted(sliced), labelsPainted(whole));
            EXPECT_EQ(sliced.geometry.scrollX, whole.geometry.scrollX);
            EXPECT_EQ(sliced.geometry.scrollY, whole.geometry.scrollY);
            close(sliced);
            close(whole);
        }
    }
}

TEST_F(LayoutSlicesTest, WhatMeetsAnUnfinishedLayoutEndsInTheOneGoPicture) {
    // Each is done to both views, the one laid out in one go and the one in slices, at a turn
    // of the slices' timer: in the pipeline, while its result is shown, or in the sweeps.
    struct Action {
        const char* name;
        // Done once to the network through `other`, a third window on it, and so meeting
        // both views; or done to each view.
        bool onTheNetwork;
        std::function<void(NetView& view, NetView& other)> act;
    };
    const Action actions[] = {
        {"edit elsewhere", true,
         [](NetView&, NetView& other) { EXPECT_TRUE(InsertNode(other, true, false)); }},
        {"edit and undo elsewhere", true,
         [](NetView&, NetView& other) {
             EXPECT_TRUE(InsertNode(other, false, false));
             EXPECT_TRUE(UndoLastChange(other));
         }},
        {"undo in the view", true,
         [](NetView& view, NetView&) { EXPECT_TRUE(UndoLastChange(view)); }},
        {"relabel elsewhere", true,
         [](NetView&, NetView& other) { EXPECT_TRUE(SetLabel(other, other.current, "renamed")); }},
        {"justification", false,
         [](NetView& view, NetView&) { SetJustification(view, Justification::First); }},
        {"orientation", false,
         [](NetView& view, NetView&) { SetOrientation(view, Orientation::BottomUp); }},
        {"reveal", false, [](NetView& view, NetView&) { RevealNetwork(view); }},
    };
    for (const Request* begin : {&kRequests[0], &kRequests[1]}) {
        for (const Action& action : actions) {
            for (int turns : {0, 1, 4, 8, 10, 14, 40, 70, 110}) {
                SCOPED_TRACE(testing::Message() << begin->name << " then " << action.name
                                                << " after " << turns << " turns");
                loadGenerated(5, 140);
                NetView& other = open(false);
                // Something to undo, made before the views open.
                EXPECT_TRUE(InsertNode(other, true, false));
                NetView& whole = open(false, 3);
                NetView& sliced = open(true, 3);
                drive(sliced);
                begin->make(whole);
                begin->make(sliced);
                drive(sliced, turns);
                if (action.onTheNetwork) {
                    // Undone in the view being laid out.
                    action.act(sliced, other);
                } else {
                    action.act(whole, other);
                    action.act(sliced, other);
                }
                drive(sliced);
                EXPECT_EQ(pictureOf(sliced), pictureOf(whole));
                EXPECT_EQ(CheckViewAgainstNetwork(sliced), "");
                // The view laid out in one go holds the network's links as well.
                EXPECT_EQ(CheckViewAgainstNetwork(whole), "");
                while (!windows.empty())
                    close(*windows.back().view);
            }
        }
    }
}

TEST_F(LayoutSlicesTest, AnUnfinishedViewTakesNoEditsAndNoDrags) {
    loadGenerated(7, 120);
    NetView& sliced = open(true, 3);
    drive(sliced);
    const std::string before = testing_support::NetworkAsText(*net);
    SetJustification(sliced, Justification::First);
    ASSERT_TRUE(LayoutUnfinished(sliced));
    EXPECT_TRUE(ViewCommand(sliced, cmd::kInsertChild));
    EXPECT_TRUE(ViewCommand(sliced, cmd::kDeleteNode));
    EXPECT_TRUE(ViewKey(sliced, platform::keys::kInsert, false, true));
    EXPECT_TRUE(ViewKey(sliced, platform::keys::kDelete, false, false));
    ViewMouseDown(sliced, {400, 300}, false, false);
    EXPECT_FALSE(DragRunning(sliced));
    EXPECT_EQ(HoverText(sliced, {400, 300}), "");
    EXPECT_EQ(testing_support::NetworkAsText(*net), before);
    // Once laid out it takes them again.
    drive(sliced);
    EXPECT_TRUE(ViewCommand(sliced, cmd::kInsertChild));
    EXPECT_NE(testing_support::NetworkAsText(*net), before);
}

TEST_F(LayoutSlicesTest, ClosingTheViewOrTheNetworkMidLayoutIsSafe) {
    for (int turns : {0, 1, 3, 9, 12, 20}) {
        SCOPED_TRACE(testing::Message() << turns << " turns");
        loadGenerated(9, 150);
        NetView& sliced = open(true, 3);
        NetView& other = open(false);
        drive(sliced);
        SetOrientation(sliced, Orientation::RightToLeft);
        drive(sliced, turns);
        if (turns % 2 == 0) {
            // The window closes, its timer with it; the network lives on.
            platform::OffWindowHost& host = hostOf(sliced);
            DestroyView(sliced);
            EXPECT_FALSE(host.timers.contains(platform::kLayoutTimer));
            windows.erase(windows.begin());
            EXPECT_TRUE(InsertNode(other, true, false));
        }
        // The network is replaced: its windows close, then it goes.
        TearDown();
        net = std::make_unique<Network>();
    }
}

TEST_F(LayoutSlicesTest, TheUntangleEntryTogglesTheOptionAndItsCheck) {
    loadGenerated(4, 120);
    NetView& view = open(false);
    NetView& expected = open(false);
    ASSERT_FALSE(view.options.untangle);
    EXPECT_TRUE(ViewCommand(view, cmd::kUntangle));
    EXPECT_TRUE(view.options.untangle);
    EXPECT_TRUE(menus.checks[cmd::kUntangle]);
    EXPECT_TRUE(menus.enables[cmd::kUntangle]);
    // The picture is that of a layout improved and untangled.
    expected.options.untangle = true;
    Relayout(expected, false);
    ImproveLayout(expected);
    EXPECT_EQ(pictureOf(view), pictureOf(expected));
    // Per view: the other keeps its own.
    EXPECT_TRUE(ViewCommand(expected, cmd::kUntangle));
    EXPECT_FALSE(expected.options.untangle);
    EXPECT_TRUE(view.options.untangle);
    EXPECT_TRUE(ViewCommand(view, cmd::kUntangle));
    EXPECT_FALSE(view.options.untangle);
    EXPECT_FALSE(menus.checks[cmd::kUntangle]);
}

int misplacedCell(void* context, ViewNode* node, int row, int column) {
    const LayoutGrid& grid = *static_cast<const LayoutGrid*>(context);
    return node->slot + grid.slotOffset != row || node->layer + grid.layerOffset != column;
}

TEST_F(LayoutSlicesTest, AnImprovementSteppedOrLetGoLeavesTheNodesInTheirCells) {
    loadGenerated(6, 110);
    NetView& whole = open(false);
    NetView& stepped = open(false);
    const bool moved = ImproveArrangement(whole.layout, whole.options.justification);
    int steps = 0;
    {
        ArrangementImprovement improvement(stepped.layout, stepped.options.justification);
        while (improvement.step())
            ++steps;
        EXPECT_TRUE(improvement.done());
        EXPECT_EQ(improvement.moved(), moved);
    }
    EXPECT_GT(steps, 2);
    EXPECT_EQ(pictureOf(stepped), pictureOf(whole));
    EXPECT_EQ(ForEachCell(stepped.layout.grid, &misplacedCell, &stepped.layout.grid), 0);

    // Stopped after each number of sweeps, the nodes name the cells the sweeps left them in.
    for (int stop = 0; stop < steps; ++stop) {
        SCOPED_TRACE(stop);
        Relayout(stepped, false);
        {
            ArrangementImprovement improvement(stepped.layout, stepped.options.justification);
            for (int k = 0; k < stop; ++k)
                improvement.step();
        }
        EXPECT_EQ(ForEachCell(stepped.layout.grid, &misplacedCell, &stepped.layout.grid), 0);
    }
}

// What an opening leaves beside the picture: the scale, the scroll, the distance counts.
std::string openedStateOf(const NetView& view) {
    std::ostringstream out;
    out << pictureOf(view) << " | scale " << view.geometry.slotExtent << ' '
        << view.geometry.layerExtent << " scroll " << view.geometry.scrollX << ','
        << view.geometry.scrollY << " distances " << view.distances.greatestDistance << ' '
        << view.distances.greatestShown << ' ' << view.distances.unshownCount << ' '
        << view.distances.smallestUnshown << " painted " << view.painted;
    return out.str();
}

TEST_F(LayoutSlicesTest, AnOpeningInSlicesEndsAsAnOpeningInOneGo) {
    for (std::uint32_t seed : {11u, 12u}) {
        loadGenerated(seed, 100 + 30 * static_cast<int>(seed - 11));
        for (int spotlightDepth : {0, 3}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", spotlight " << spotlightDepth);
            NetView& whole = open(false, spotlightDepth);
            NetView& sliced = open(true, spotlightDepth, true);
            ASSERT_TRUE(OpeningUnfinished(sliced));
            EXPECT_EQ(labelsPainted(sliced), 0u);
            // Nothing the user asks reaches a view before it is open.
            const Justification before = sliced.options.justification;
            EXPECT_TRUE(ViewCommand(sliced, cmd::kJustifyFirst));
            EXPECT_TRUE(ViewCommand(sliced, cmd::kRevealNetwork));
            EXPECT_EQ(sliced.options.justification, before);
            // The long steps go in pieces: more turns than steps.
            EXPECT_GT(drive(sliced), kRecalcSteps + 2);
            EXPECT_FALSE(LayoutUnfinished(sliced));
            hostOf(sliced).runPosted();
            EXPECT_EQ(openedStateOf(sliced), openedStateOf(whole));
            EXPECT_EQ(labelsPainted(sliced), labelsPainted(whole));
            // Open, it takes commands again.
            SetJustification(whole, Justification::First);
            EXPECT_TRUE(ViewCommand(sliced, cmd::kJustifyFirst));
            drive(sliced);
            EXPECT_EQ(pictureOf(sliced), pictureOf(whole));
            close(sliced);
            close(whole);
        }
    }
}

TEST_F(LayoutSlicesTest, WhatMeetsAnUnfinishedOpeningEndsAsAfterAnOpeningInOneGo) {
    loadGenerated(13, 130);
    int turns = 0;
    {
        NetView& counted = open(true, 3, true);
        turns = drive(counted);
        close(counted);
    }
    ASSERT_GT(turns, 8);
    for (int at : {0, 1, turns / 4, turns / 2, 3 * turns / 4, turns - 1}) {
        for (const bool closing : {false, true}) {
            SCOPED_TRACE(testing::Message() << "after " << at << " of " << turns << " turns"
                                            << (closing ? ", closing" : ", an edit elsewhere"));
            NetView& other = open(false);
            NetView& whole = open(false, 3);
            NetView& sliced = open(true, 3, true);
            drive(sliced, at);
            ASSERT_TRUE(OpeningUnfinished(sliced));
            if (closing) {
                platform::OffWindowHost& host = hostOf(sliced);
                DestroyView(sliced);
                EXPECT_FALSE(host.timers.contains(platform::kLayoutTimer));
                windows.pop_back();
                EXPECT_TRUE(InsertNode(other, true, false));
                EXPECT_EQ(CheckViewAgainstNetwork(whole), "");
            } else {
                // Met by both: the view laid out in one go is open already.
                EXPECT_TRUE(InsertNode(other, true, false));
                finishOpening(sliced);
                EXPECT_EQ(pictureOf(sliced), pictureOf(whole));
                EXPECT_EQ(CheckViewAgainstNetwork(sliced), "");
            }
            while (!windows.empty())
                close(*windows.back().view);
            loadGenerated(13, 130);
        }
    }
}

TEST_F(LayoutSlicesTest, AnotherPassOfTheMarksMidStepStartsThePipelineAgain) {
    // A command the window takes while laying out may walk the view and take the visit marks
    // of the step under way; the layout still ends as in one go.
    loadGenerated(14, 120);
    NetView& whole = open(false, 3);
    NetView& sliced = open(true, 3);
    SetJustification(whole, Justification::Last);
    SetJustification(sliced, Justification::Last);
    // After longer and longer runs of turns, so that it meets every step and the pipeline,
    // started again each time, ends at last.
    for (int gap = 3; gap < 400 && LayoutUnfinished(sliced); gap += 3) {
        drive(sliced, gap);
        sliced.layout.newPass();
    }
    drive(sliced);
    EXPECT_FALSE(LayoutUnfinished(sliced));
    EXPECT_EQ(pictureOf(sliced), pictureOf(whole));
    EXPECT_EQ(CheckViewAgainstNetwork(sliced), "");
}

} // namespace
} // namespace tarvo
