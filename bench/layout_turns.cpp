// How long a whole-network layout in one window keeps the event loop from the other windows.
//
//   bench_layout_turns [--entities N | --wordnet] [--seed N] [--one-go] [--improve] [--open]
//
// Two view windows open on a generated network (default: 30,000 entities of the random DAG
// shape; --wordnet: the WordNet-like one, about 118k). The first reveals the whole network
// (with --improve it then changes orientation, which improves the layout too; with --open it
// opens on the whole network then, instead of revealing it later); meanwhile a
// zero-interval timer counts the turns of the event loop and asks the second window to
// repaint at each. The line printed gives the layout's wall time (up to the moment it is shown,
// without the paint that follows), the turns and the repaints of the second window during it,
// and the longest gap between turns and between repaints. With
// --one-go the first window lays out in one go, as every window did before layouts ran in
// slices. Run it under xvfb-run for real windows; without a display it uses the offscreen
// platform.
#include "containers/node_list.h"
#include "labels/font_table.h"
#include "layout/layout_grid.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/qt/qt_font_catalog.h"
#include "shell/net_view_widget.h"
#include "tools/network_generator.h"
#include "view/layout_slices.h"
#include "view/net_view.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_window.h"

#include "qt_bench_main.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The gaps between successive events of one kind while the layout runs.
struct Gaps {
    // Gaps above this are listed one by one.
    static constexpr double kLongGap = 50.0;
    int count = 0;
    double longest = 0.0;
    std::vector<double> longOnes;
    Clock::time_point last;
    bool started = false;

    // The first note starts the count; each later one is an event.
    void note(Clock::time_point at) {
        if (started) {
            const double gap = millisecondsBetween(last, at);
            longest = std::max(longest, gap);
            if (gap > kLongGap)
                longOnes.push_back(gap);
            ++count;
        }
        last = at;
        started = true;
    }
    // The gap from the last event to the layout's end counts too.
    void end(Clock::time_point at) {
        if (started)
            longest = std::max(longest, millisecondsBetween(last, at));
    }
};

// Notes the paints of the second window's drawing area while the layout runs.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const bool& measuring) : m_measuring(measuring) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_measuring)
            paints.note(Clock::now());
        return QObject::eventFilter(watched, event);
    }
    Gaps paints;

private:
    const bool& m_measuring;
};

struct Options {
    int entities = 30000;
    bool wordnet = false;
    std::uint32_t seed = 1;
    bool oneGo = false;
    bool improve = false;
    bool open = false;
};

Options readOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--entities") == 0 && i + 1 < argc)
            options.entities = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            options.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--wordnet") == 0)
            options.wordnet = true;
        else if (std::strcmp(argv[i], "--one-go") == 0)
            options.oneGo = true;
        else if (std::strcmp(argv[i], "--improve") == 0)
            options.improve = true;
        else if (std::strcmp(argv[i], "--open") == 0)
            options.open = true;
    }
    return options;
}

bool loadGenerated(tarvo::Network& net, const Options& options) {
    tarvo::tools::GeneratorOptions generated = tarvo::tools::WordNetOptions(options.seed);
    if (!options.wordnet) {
        generated = tarvo::tools::GeneratorOptions{};
        generated.seed = options.seed;
        generated.entities = options.entities;
        generated.relations = 10;
        generated.properties = options.entities / 10;
        generated.maxParents = 2;
        generated.formatted = false;
    }
    const std::string path =
        "/tmp/tarvo_bench_layout_turns_" + std::to_string(options.seed) + ".dat";
    const std::string text = tarvo::tools::GenerateNetwork(generated);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file)
        std::fclose(file);
    const bool read = written && tarvo::LoadNetworkFile(net, path.c_str());
    std::remove(path.c_str());
    return read && net.table();
}

// A view window on the network's first entity, shown and painted once; spotlight depth 0
// shows the whole network.
struct ViewWindow {
    ViewWindow(tarvo::Network& net, int x, bool slices, int spotlightDepth = 3) {
        tarvo::NodeList* entities = net.nodesOfKind(0);
        tarvo::Node* node =
            entities && entities->size() > 0 ? tarvo::asNode(entities->nodeAt(0)) : nullptr;
        if (entities)
            entities->destroy();
        view.slicing.fromNodes = slices ? tarvo::kSlicedLayoutNodes : 0;
        tarvo::ViewStartup startup;
        startup.spotlightDepth = spotlightDepth;
        widget.resize(640, 480);
        widget.move(x, 0);
        opened = node && tarvo::CreateView(view, net, node, &widget.host(), nullptr, startup);
        if (opened)
            widget.setView(&view);
        widget.show();
    }
    ~ViewWindow() {
        widget.setView(nullptr);
        if (opened)
            tarvo::DestroyView(view);
    }
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    tarvo::NetView view;
    tarvo::NetViewWidget widget;
    bool opened = false;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tarvo::DebugLogOn = false;
    platform::qt::QtFontCatalog catalog;
    SetUpProgramParts(catalog);
    const Options options = readOptions(argc, argv);

    int result = 0;
    {
        tarvo::Network net;
        if (!loadGenerated(net, options)) {
            std::fprintf(stderr, "error: could not make the network\n");
            return 1;
        }
        // With --open the first window opens once the layout is timed.
        std::unique_ptr<ViewWindow> first =
            options.open ? nullptr : std::make_unique<ViewWindow>(net, 0, !options.oneGo);
        ViewWindow other(net, 660, true);
        bool measuring = false;
        PaintCounter counter(measuring);
        other.widget.viewport()->installEventFilter(&counter);
        Gaps turns;
        Clock::time_point start;
        Clock::time_point requested;
        Clock::time_point end;
        bool ended = false;

        QTimer turn;
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [&] {
            if (!measuring) {
                if (ended)
                    QApplication::quit();
                return;
            }
            turns.note(Clock::now());
            other.widget.viewport()->update();
        });
        // The layout's end, as it happens: the paint of the whole network that follows is
        // painting's cost, not the layout's.
        const auto endMeasuring = [&] {
            end = Clock::now();
            turns.end(end);
            counter.paints.end(end);
            measuring = false;
            ended = true;
        };
        // The layout starts once both windows are up and painted.
        QTimer::singleShot(500, [&] {
            measuring = true;
            start = Clock::now();
            turns.note(start);
            counter.paints.note(start);
            turn.start();
            if (options.open)
                first = std::make_unique<ViewWindow>(net, 0, !options.oneGo, 0);
            else
                tarvo::RevealNetwork(first->view);
            if (options.improve)
                tarvo::SetOrientation(first->view, tarvo::Orientation::LeftToRight);
            requested = Clock::now();
            if (tarvo::LayoutUnfinished(first->view))
                first->view.layoutRun->extend({}, [&](tarvo::NetView&) { endMeasuring(); });
            else
                endMeasuring();
        });
        if ((first && !first->opened) || !other.opened) {
            std::fprintf(stderr, "error: could not open the windows\n");
            result = 1;
        } else {
            QApplication::exec();
            int cells = 0;
            tarvo::ForEachCell(
                first->view.layout.grid,
                [](void* counted, tarvo::ViewNode*, int, int) {
                    ++*static_cast<int*>(counted);
                    return 0;
                },
                &cells);
            std::printf("%s%s%s: %s layout %.0f ms (the request's own call %.0f ms), %d cells with "
                        "fillers; "
                        "event loop turns %d, longest gap %.1f ms; repaints of the other "
                        "window %d, longest gap %.1f ms\n",
                        options.wordnet ? "wordnet" : "dag",
                        options.wordnet ? "" : (" " + std::to_string(options.entities)).c_str(),
                        options.open ? " opened" : "", options.oneGo ? "one-go" : "sliced",
                        millisecondsBetween(start, end), millisecondsBetween(start, requested),
                        cells, turns.count, turns.longest, counter.paints.count,
                        counter.paints.longest);
            std::printf("  gaps between turns over %.0f ms, in order:", Gaps::kLongGap);
            for (double gap : turns.longOnes)
                std::printf(" %.0f", gap);
            std::printf("\n");
        }
        other.widget.viewport()->removeEventFilter(&counter);
    }
    tarvo::ReleaseFontTable();
    tarvo::ReleaseScratchText();
    tarvo::DestroyHeap();
    tarvo::ReleaseWordBuffer();
    return result;
}
